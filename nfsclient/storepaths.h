// Platform-free part of the NFS client settings store: the inheritance
// level of a mount-defaults path and the built-in defaults.
#ifndef ZEVR_STOREPATHS_H
#define ZEVR_STOREPATHS_H

#include <stddef.h>
#include <stdint.h>

enum { LevelPathSize = 256 };

// The path of the level a mount-defaults path inherits from, in output
// (LevelPathSize bytes): 1, or 0 at the top level.
// Also 0, with an empty output, for a path that names no level (fewer than
// three backslashes before its key name, other than "zevrnfs\X") and for a
// parent that would not fit the output; any length of path is read safely.
int GetParentLevelPath(char* output, const char* path);
// Where a mount-default value comes from (a LookUpMountDefault answer): the built-in table or one
// of the three levels.
enum LevelOrigin { LevelBuiltIn, LevelTop, LevelServer, LevelResource };
// The level of a mount-defaults path: zevrnfs\X is the top level,
// zevrnfs\Servers\S\X a server, anything deeper a resource (as
// GetParentLevelPath walks it). A path that names no level counts as the top.
int GetLevelOfPath(const char* path);
// The built-in default of a value; 0 (numbers) or NULL (texts) when the
// name has no row.
uint32_t FindDwordDefault(const char* valueName);
const char* FindStringDefault(const char* valueName);
// 1 when valueName differs from a number row's name only in letter case.
// The registry ignores case in value names, so such a value is that row's
// value although the exact lookup above does not find it.
int IsCaseVariantOfDwordDefault(const char* valueName);
// 1 when a and b differ at most in the case of ASCII letters.
int EqualIgnoringCase(const char* a, const char* b);

// Joins up to four texts (NULL parts are left out) into output of size
// bytes: 1, or 0 with an empty output when the whole would not fit. Settings
// paths are built with this, never shortened: a shortened path names
// another key.
int JoinText(char* output, size_t size, const char* first, const char* second,
             const char* third = NULL, const char* fourth = NULL);

// Deletion list of the pruning pass: names one after another, each with its
// terminator, closed by an empty name. Start it with list[0] = 0 and
// *used = 0. Adds name and returns 1, or returns 0 and leaves the list as it
// was when the name would not fit in size bytes or is empty (an empty name
// would end the list).
enum { DeletionListSize = 1000 };
int AddToDeletionList(char* list, size_t size, size_t* used, const char* name);

#endif
