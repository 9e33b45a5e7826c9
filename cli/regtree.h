// zevrcfg's view of the registry: the redirection of the process's hives
// (--registry), the one reading of the keys the tool edits into a model,
// the registry layer's calls directed to that model while a command works
// out its end state, and the registry operations that write the difference.
#ifndef ZEVR_REGTREE_H
#define ZEVR_REGTREE_H

#include <windows.h>

#include <string>
#include <vector>

#include "regmodel.h"

// A key from its hive's root, as the tool names it.
struct KeyName {
    HKEY Hive;
    std::string Path;
};

// Redirects HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE to HKCU\key\HKCU and
// HKCU\key\HKLM, as the setup host does. 1, or 0 when a key cannot be made.
int RedirectRegistry(const char* key);

// A key's path ("HKEY_LOCAL_MACHINE\SOFTWARE\...") as the registry view
// this program writes names it: with WOW6432Node for a 32-bit program on
// 64-bit Windows, unless --registry redirected the hives.
std::string ShownKeyPath(const std::string& path);

// The hive's name as .reg files and messages spell it.
const char* HiveName(HKEY hive);

// Reads the keys below each root (and the roots) into model, opening each
// key from its parent; the keys above a root that exist are held as
// outside keys. A key that cannot be read is named in problems, a line
// each, and left out.
void ReadTree(const std::vector<KeyName>& roots, RegModel* model,
              std::vector<std::string>* problems);

// Directs the registry layer's calls to model (NULL: back to the registry).
void WorkOnModel(RegModel* model);

// The registry operations the apply step writes with.
TreeOps RegistryOps();

// Registry calls the tool made itself (the layer's own go to the model).
DWORD GetToolRegistryCalls();

#endif
