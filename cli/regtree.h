// zevrcfg's view of whole registry trees: the redirection of the process's
// hives (--registry), snapshots of the keys the tool edits and their
// difference, and the volatile scratch copy that dry runs and checks work
// on.
#ifndef ZEVR_REGTREE_H
#define ZEVR_REGTREE_H

#include <windows.h>

#include <map>
#include <string>
#include <vector>

struct StoredValue {
    DWORD Type;
    std::string Data;
};
// Key path ("HKEY_CURRENT_USER\Software\...") to its values by name; a key
// without values is there with an empty map.
typedef std::map<std::string, std::map<std::string, StoredValue>> RegTree;

// A key from its hive's root, as the tool names it.
struct KeyName {
    HKEY Hive;
    std::string Path;
};

// Redirects HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE to HKCU\key\HKCU and
// HKCU\key\HKLM, as the setup host does. 1, or 0 when a key cannot be made.
int RedirectRegistry(const char* key);

// Adds the keys below each root (and the roots) to tree; missing roots are
// left out.
void ReadKeys(const std::vector<KeyName>& roots, RegTree* tree);

// One value's data for people: a number, a quoted text, a list of texts, or
// the type and size.
std::string DescribeStoredValue(const StoredValue& value);

// Writes what changed from before to after, a line per key or value
// ("+" added, "-" removed, "~" changed); returns the number of lines.
int PrintDifference(const RegTree& before, const RegTree& after, FILE* out);

// Copies the roots into a volatile scratch key and redirects both hives
// there, so that the tool's own code works on the copy. The keys in
// precreate are made too (volatile), since the registry refuses the
// library's ordinary keys below volatile ones. 1, or 0 when the copy
// cannot be made (nothing stays redirected then).
int EnterScratch(const std::vector<KeyName>& roots, const std::vector<KeyName>& precreate);
// Redirects the hives back and deletes the scratch copy.
void LeaveScratch();

// A key's path ("HKEY_LOCAL_MACHINE\SOFTWARE\...") as the registry view
// this program writes names it: with WOW6432Node for a 32-bit program on
// 64-bit Windows, unless --registry redirected the hives.
std::string ShownKeyPath(const std::string& path);

// The hive's name as .reg files and messages spell it.
const char* HiveName(HKEY hive);

#endif
