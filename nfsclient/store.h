// The NFS client settings store: key paths, the service Parameters key,
// three-level inheritance of mount defaults and the pruning pass.
#ifndef ZEVR_STORE_H
#define ZEVR_STORE_H

#include <windows.h>

#include "storepaths.h"

const char* GetNfsRootPath();
const char* BuildNfsPath(const char* keyName);
const char* GetMachineDefaultsPath();
const char* GetUserDefaultsPath();
const char* GetAuthServersPath();
const char* GetAutomounterPath();
LONG CreateServiceParametersKey(HKEY* key);

DWORD GetInheritedDword(HKEY hive, const char* path, const char* valueName);
const char* GetInheritedString(HKEY hive, const char* path, const char* valueName, DWORD limit);

void PruneInheritedValues();
void PruneServerTree(HKEY hive, const char* path, const char* subKeyName,
                     const char* defaultsKeyName);
LONG PruneDefaultsKey(HKEY hive, const char* levelPath, const char* defaultsKeyName);

#endif
