// The NFS client settings store: key paths, the service Parameters key,
// three-level inheritance of mount defaults and the pruning pass.
#ifndef ZEVR_STORE_H
#define ZEVR_STORE_H

#include <windows.h>

#include "storepaths.h"

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
// The same for the current user's two mount-defaults keys, which the pages
// edit.
DWORD GetInheritedUserDefault(const char* valueName);
DWORD GetInheritedMachineDefault(const char* valueName);

// Deletes the per-user mount-default values that equal what they inherit,
// and mount-defaults keys left empty. Any hive but HKEY_CURRENT_USER is
// refused: machine-wide settings are never pruned.
void PruneInheritedValues();
void PruneServerTree(HKEY hive, const char* path, const char* subKeyName,
                     const char* defaultsKeyName);
LONG PruneDefaultsKey(HKEY hive, const char* levelPath, const char* defaultsKeyName);

#endif
