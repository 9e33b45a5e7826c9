// Platform-free part of the NFS client settings store: the inheritance
// level of a mount-defaults path and the built-in defaults.
#ifndef ZEVR_STOREPATHS_H
#define ZEVR_STOREPATHS_H

#include <stdint.h>

enum { LevelPathSize = 256 };

// The path of the level a mount-defaults path inherits from, in output
// (LevelPathSize bytes): 1, or 0 at the top level.
int GetParentLevelPath(char* output, const char* path);
// The built-in default of a value; 0 (numbers) or NULL (texts) when the
// name has no row.
uint32_t FindDwordDefault(const char* valueName);
const char* FindStringDefault(const char* valueName);

#endif
