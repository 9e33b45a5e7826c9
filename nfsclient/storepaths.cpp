#include "storepaths.h"
#include "settings.h"

#include <string.h>

static const char NfsRoot[] = "zevrnfs\\";

int GetParentLevelPath(char* output, const char* path)
{
    if (output == NULL)
        return 0;
    output[0] = '\0';
    if (path == NULL)
        return 0;
    const char* last = strrchr(path, '\\');
    if (last == NULL)
        return 0;
    size_t headLength = (size_t)(last - path) + 1;
    const char* keyName = last + 1;
    if (headLength == sizeof(NfsRoot) - 1 && memcmp(path, NfsRoot, headLength) == 0)
        return 0;

    // The first three backslashes of the head; the search never passes the
    // head's last one.
    const char* first = strchr(path, '\\');
    const char* second = first < last ? strchr(first + 1, '\\') : NULL;
    const char* third = second != NULL && second < last ? strchr(second + 1, '\\') : NULL;
    if (third == NULL)
        return 0;
    // zevrnfs\Servers\S\ inherits from zevrnfs\; anything deeper from the
    // server, zevrnfs\Servers\S\.
    size_t keep = (size_t)((third == last ? first : third) - path) + 1;
    size_t nameLength = strlen(keyName);
    if (keep + nameLength >= LevelPathSize)
        return 0;
    memcpy(output, path, keep);
    memcpy(output + keep, keyName, nameLength + 1);
    return 1;
}

int GetLevelOfPath(const char* path)
{
    int separators = 0;
    for (; path != NULL && *path != '\0'; ++path)
        separators += *path == '\\';
    if (separators > 3)
        return LevelResource;
    return separators == 3 ? LevelServer : LevelTop;
}

// The built-in defaults are the table's mount defaults that have one;
// NfsVersion has none and, like any name without one, inherits 0.
static const SettingRow* FindBuiltIn(const char* valueName, SettingType type)
{
    const SettingRow* row = FindLevelSetting(valueName, type);
    return row != NULL && row->Origin == OriginBuiltIn ? row : NULL;
}

uint32_t FindDwordDefault(const char* valueName)
{
    const SettingRow* row = FindBuiltIn(valueName, TypeDword);
    return row != NULL ? row->DefaultNumber : 0;
}

const char* FindStringDefault(const char* valueName)
{
    const SettingRow* row = FindBuiltIn(valueName, TypeString);
    return row != NULL ? row->DefaultText : NULL;
}

int EqualIgnoringCase(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        char x = (*a >= 'A' && *a <= 'Z') ? (char)(*a - 'A' + 'a') : *a;
        char y = (*b >= 'A' && *b <= 'Z') ? (char)(*b - 'A' + 'a') : *b;
        if (x != y)
            return 0;
    }
    return *a == *b;
}

int IsCaseVariantOfDwordDefault(const char* valueName)
{
    if (valueName == NULL)
        return 0;
    for (int i = 0; i < GetSettingCount(); ++i) {
        const SettingRow* row = GetSettingRow(i);
        if (row->Scope == ScopeLevels && row->Type == TypeDword && row->Origin == OriginBuiltIn &&
            strcmp(row->Name, valueName) != 0 && EqualIgnoringCase(row->Name, valueName))
            return 1;
    }
    return 0;
}

int JoinText(char* output, size_t size, const char* first, const char* second, const char* third,
             const char* fourth)
{
    if (output == NULL || size == 0)
        return 0;
    const char* parts[4] = {first, second, third, fourth};
    size_t used = 0;
    for (const char* part : parts) {
        if (part == NULL)
            continue;
        size_t length = strlen(part);
        if (length >= size - used) {
            output[0] = '\0';
            return 0;
        }
        memcpy(output + used, part, length);
        used += length;
    }
    output[used] = '\0';
    return 1;
}

int AddToDeletionList(char* list, size_t size, size_t* used, const char* name)
{
    if (list == NULL || used == NULL || name == NULL || name[0] == '\0' || *used >= size)
        return 0;
    size_t length = strlen(name) + 1;
    // The name, its terminator and the closing empty name.
    if (length + 1 > size - *used)
        return 0;
    memcpy(list + *used, name, length);
    *used += length;
    list[*used] = '\0';
    return 1;
}
