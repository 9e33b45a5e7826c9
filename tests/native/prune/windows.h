// The few Win32 types and constants that the settings store's pruning code
// uses, so that it builds natively against the registry model beside this
// file.
#ifndef ZEVR_MODEL_WINDOWS_H
#define ZEVR_MODEL_WINDOWS_H

#include <stdint.h>

typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned char BYTE;
typedef struct ModelKey* HKEY;

#define HKEY_CURRENT_USER ((HKEY)(uintptr_t)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(uintptr_t)0x80000002u)

enum {
    ERROR_SUCCESS = 0,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_PATH_NOT_FOUND = 3,
    ERROR_ACCESS_DENIED = 5,
    ERROR_INVALID_PARAMETER = 87,
    ERROR_FILENAME_EXCED_RANGE = 206,
    ERROR_MORE_DATA = 234,
    ERROR_NO_MORE_ITEMS = 259,
    ERROR_KEY_DELETED = 1018,
};

enum {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_MULTI_SZ = 7,
};

#endif
