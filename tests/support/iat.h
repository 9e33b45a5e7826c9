// Replaces a function that a loaded module imports, in that module's import
// table, so that a test can make a system call behave as it needs.
#ifndef ZEVR_TEST_IAT_H
#define ZEVR_TEST_IAT_H

#include <windows.h>

// Returns the previous entry, or NULL when module does not import
// dll!function by name.
void* ReplaceImport(HMODULE module, const char* dll, const char* function, void* replacement);

#endif
