// The pruning pass before it read each key once, kept for comparison.
#ifndef ZEVR_PRUNE_REFERENCE_H
#define ZEVR_PRUNE_REFERENCE_H

#include "store.h"

namespace Reference {
void PruneInheritedValues();
void PruneServerTree(HKEY hive, const char* path, const char* subKeyName,
                     const char* defaultsKeyName);
LONG PruneDefaultsKey(HKEY hive, const char* levelPath, const char* defaultsKeyName);
} // namespace Reference

#endif
