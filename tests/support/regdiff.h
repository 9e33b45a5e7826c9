// The registry-diff guard: a snapshot of a test's whole registry (both
// redirected hives) before and after a sheet, and the changes between them
// checked against the keys and values of the library's settings table.
#ifndef ZEVR_TEST_REGDIFF_H
#define ZEVR_TEST_REGDIFF_H

#include <windows.h>

#include <map>
#include <string>
#include <vector>

struct StoredValue {
    DWORD type = 0;
    std::string data;
    bool operator==(const StoredValue& other) const
    {
        return type == other.type && data == other.data;
    }
};

// Key paths are "HKCU\..." or "HKLM\...", in the letter case the registry
// keeps; value names as stored ("" is the default value).
struct RegistrySnapshot {
    std::map<std::string, std::map<std::string, StoredValue>> keys;
};

struct RegistryChange {
    enum Kind { KeyAdded, KeyRemoved, ValueAdded, ValueRemoved, ValueChanged } kind;
    std::string key;
    std::string value; // empty for key changes
};

// The stand-in libraries' log key is not part of the snapshot.
RegistrySnapshot TakeRegistrySnapshot();
std::vector<RegistryChange> DiffRegistry(const RegistrySnapshot& before,
                                         const RegistrySnapshot& after);

// Whether the library may make this change: it writes only the values it
// documents, creates only their keys, and its pruning pass removes values
// and emptied keys of the mount-defaults keys at every level.
bool IsDocumentedChange(const RegistryChange& change);

// Every change that IsDocumentedChange refuses, one a line ("" when none).
std::string UndocumentedChanges(const RegistrySnapshot& before, const RegistrySnapshot& after);
// Every change of a value, one a line ("" when none): what Cancel must not
// make. Keys created while the pages load are not counted.
std::string ValueChanges(const RegistrySnapshot& before, const RegistrySnapshot& after);

#endif
