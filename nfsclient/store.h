// The NFS client settings store: key paths, the service Parameters key,
// three-level inheritance of mount defaults and the pruning pass.
#ifndef ZEVR_STORE_H
#define ZEVR_STORE_H

#include <windows.h>

#include "storepaths.h"

struct SettingRow;

// Sub-paths for the registry layer. BuildNfsPath and the two defaults paths
// share one static buffer that the next of these calls overwrites.
const char* GetNfsRootPath();
const char* BuildNfsPath(const char* keyName);
const char* GetMachineDefaultsPath();
const char* GetUserDefaultsPath();
const char* GetAuthServersPath();
const char* GetAutomounterPath();
LONG CreateServiceParametersKey(HKEY* key);

// What the mount-defaults key at path inherits (never its own value). The
// text is a built-in, or a static buffer the next lookup overwrites, or NULL
// for a name without a row; limit is held to that buffer's 256 bytes.
DWORD GetInheritedDword(HKEY hive, const char* path, const char* valueName);
const char* GetInheritedString(HKEY hive, const char* path, const char* valueName, DWORD limit);
// What one lookup found: the number, or the text (as GetInheritedString
// hands it back), and the level that answered.
struct InheritedValue {
    DWORD Number;
    const char* Text;
    int Origin; // a LevelOrigin
};
// The one walk behind both lookups above, for type REG_DWORD or REG_SZ
// (anything else finds nothing and returns 0). With own set it starts at the
// key at path itself, so that found is the value that key holds or else
// inherits, and found->Origin tells which. Returns 1 when every level on the
// way could be read, 0 when the answer is not certain.
int LookUpMountDefault(HKEY hive, const char* path, const char* valueName, DWORD type, int own,
                       InheritedValue* found);
// The same for the current user's two mount-defaults keys, which the pages
// edit.
DWORD GetInheritedUserDefault(const char* valueName);
DWORD GetInheritedMachineDefault(const char* valueName);

// A page's default for its row: what the top level inherits for mount
// defaults, the table's fixed default for machine-wide values.
DWORD GetPageDefault(const SettingRow* row);
const char* GetPageDefaultText(const SettingRow* row);

// Deletes the per-user mount-default values that equal what they inherit,
// and mount-defaults keys left empty. Any hive but HKEY_CURRENT_USER is
// refused: machine-wide settings are never pruned.
void PruneInheritedValues();
// The two passes of an apply, with pages saving top-level values in
// between: the first keeps what it read of the tree, the second starts from
// that reading (and is a whole pass when nothing is kept) and forgets it.
// Nothing else may change the keys below the top level in between.
void PruneAndKeepReading();
void PruneAfterPageSaves();
// Frees a kept reading that no second pass used.
void ForgetPruneReading();
void PruneServerTree(HKEY hive, const char* path, const char* subKeyName,
                     const char* defaultsKeyName);
LONG PruneDefaultsKey(HKEY hive, const char* levelPath, const char* defaultsKeyName);

#endif
