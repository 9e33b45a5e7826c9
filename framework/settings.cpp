// Look-ups in the settings table (settingrows.cpp) and the checks of its values;
// settingtext.cpp reads and writes the values as people type and see them.
#include "settings.h"

#include <stdio.h>
#include <string.h>

char LowerCase(char c)
{
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

int SameIgnoringCase(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (LowerCase(*a) != LowerCase(*b))
            return 0;
    return *a == *b;
}

const SettingRow* FindSettingInKey(SettingHive hive, const char* key, const char* valueName)
{
    if (key == NULL || valueName == NULL)
        return NULL;
    for (int i = 0; i < GetSettingCount(); ++i) {
        const SettingRow* row = GetSettingRow(i);
        if (row->Hive == hive && SameIgnoringCase(row->Key, key) &&
            SameIgnoringCase(row->Name, valueName))
            return row;
    }
    return NULL;
}

const SettingRow* FindNfsSetting(const char* valueName)
{
    if (valueName == NULL)
        return NULL;
    for (int i = 0; i < GetSettingCount(); ++i) {
        const SettingRow* row = GetSettingRow(i);
        if (row->Sheet == SheetNfsClient && SameIgnoringCase(row->Name, valueName))
            return row;
    }
    return NULL;
}

const SettingRow* FindLevelSetting(const char* valueName, SettingType type)
{
    if (valueName == NULL)
        return NULL;
    for (int i = 0; i < GetSettingCount(); ++i) {
        const SettingRow* row = GetSettingRow(i);
        if (row->Scope == ScopeLevels && row->Type == type && strcmp(row->Name, valueName) == 0)
            return row;
    }
    return NULL;
}

const char* GetSheetName(SettingSheet sheet)
{
    switch (sheet) {
    case SheetNfsClient:
        return "NFS client";
    case SheetFileSharing:
        return "file sharing";
    case SheetNameService:
        return "name service";
    }
    return "";
}

const char* GetPageName(SettingPage page)
{
    static const char* const names[] = {"NFS General", "Security",          "Caching",
                                        "Tuning",      "Files and Folders", "Advanced",
                                        "NFS Server",  "Logging",           "NIS/NIS+"};
    return (int)page >= 0 && (int)page < (int)(sizeof(names) / sizeof(names[0])) ? names[page] : "";
}

const char* GetTypeName(SettingType type)
{
    switch (type) {
    case TypeDword:
        return "REG_DWORD";
    case TypeString:
        return "REG_SZ";
    case TypeMultiString:
        return "REG_MULTI_SZ";
    }
    return "";
}

static int IsLevelName(const char* name)
{
    return name != NULL && name[0] != '\0' && strchr(name, '\\') == NULL;
}

int BuildSettingKeyPath(const SettingRow* row, const char* server, const char* resource,
                        char* output, size_t size)
{
    if (output == NULL || size == 0)
        return 0;
    output[0] = '\0';
    if (row == NULL || (resource != NULL && server == NULL))
        return 0;
    if (size > LevelKeyPathSize)
        size = LevelKeyPathSize;
    int written;
    if (row->Scope == ScopeMachine) {
        if (server != NULL)
            return 0;
        written = snprintf(output, size, "%s", row->Key);
    } else if (server == NULL) {
        written = snprintf(output, size, "zevrnfs\\%s", row->Key);
    } else if (!IsLevelName(server) || (resource != NULL && !IsLevelName(resource))) {
        return 0;
    } else if (resource == NULL) {
        written = snprintf(output, size, "zevrnfs\\Servers\\%s\\%s", server, row->Key);
    } else {
        written = snprintf(output, size, "zevrnfs\\Servers\\%s\\Resources\\%s\\%s", server,
                           resource, row->Key);
    }
    if (written < 0 || (size_t)written >= size) {
        output[0] = '\0';
        return 0;
    }
    return 1;
}

int FindChoiceByNumber(const SettingRow* row, uint32_t number)
{
    if (row == NULL)
        return -1;
    for (int i = 0; i < row->ChoiceCount; ++i)
        if (row->Choices[i].Text == NULL && row->Choices[i].Number == number)
            return i;
    return -1;
}

int FindChoiceByText(const SettingRow* row, const char* text)
{
    if (row == NULL || text == NULL)
        return -1;
    for (int i = 0; i < row->ChoiceCount; ++i)
        if (row->Choices[i].Text != NULL && strcmp(row->Choices[i].Text, text) == 0)
            return i;
    return -1;
}

SettingCheck CheckSettingNumber(const SettingRow* row, uint32_t value, uint32_t* stored)
{
    if (row == NULL || row->Type != TypeDword)
        return SettingRefused;
    uint32_t result = value;
    SettingCheck check = SettingAccepted;
    switch (row->Kind) {
    case KindFlag:
        if (value > 1)
            return SettingRefused;
        break;
    case KindChoice:
        if (FindChoiceByNumber(row, value) < 0)
            return SettingRefused;
        break;
    case KindList:
    case KindMask:
        if (value < row->Minimum || value > row->Maximum)
            return SettingRefused;
        break;
    case KindClamped:
        // The field is read as a signed number before it is clamped.
        if ((int32_t)value < (int32_t)row->Minimum) {
            result = row->Minimum;
            check = SettingClamped;
        } else if ((int32_t)value > (int32_t)row->Maximum) {
            result = row->Maximum;
            check = SettingClamped;
        }
        break;
    case KindNumber:
        break;
    default:
        return SettingRefused;
    }
    if (stored != NULL)
        *stored = result;
    return check;
}

SettingCheck CheckSettingText(const SettingRow* row, const char* text)
{
    if (row == NULL || text == NULL || row->Type == TypeDword)
        return SettingRefused;
    size_t length = strlen(text);
    switch (row->Kind) {
    case KindChoice:
        return FindChoiceByText(row, text) >= 0 ? SettingAccepted : SettingRefused;
    case KindText:
        return length <= row->Maximum ? SettingAccepted : SettingRefused;
    case KindHostList:
        // No entry at all is an empty list, which the page stores as well.
        return length <= row->Maximum ? SettingAccepted : SettingRefused;
    case KindCodes: {
        if (length > row->Maximum)
            return SettingRefused;
        char one[2] = {0, 0};
        for (const char* p = text; *p != '\0'; ++p) {
            one[0] = *p;
            if (FindChoiceByText(row, one) < 0)
                return SettingRefused;
        }
        return SettingAccepted;
    }
    default:
        return SettingRefused;
    }
}

int IsKeptAsStored(const SettingRow* row, const char* data, size_t size)
{
    if (row == NULL || row->Type == TypeDword || row->Kind == KindChoice)
        return 0;
    size_t zeros = row->Type == TypeMultiString ? 2 : 1;
    size_t have = 0;
    while (have < zeros && have < size && data[size - 1 - have] == '\0')
        ++have;
    // An empty list stored as one zero byte needs nothing more.
    if (zeros == 2 && size == 1 && data[0] == '\0')
        have = zeros;
    // A text of Maximum characters is stored with its terminator; a list
    // typed as Maximum characters, with one terminator per entry and the
    // closing empty string, is two bytes longer than the text.
    return size + (zeros - have) > (size_t)row->Maximum + zeros ? 1 : 0;
}

const SettingRow* FindPairedSetting(const SettingRow* row, int* isMinimum)
{
    if (row == NULL || row->Pair == NULL)
        return NULL;
    if (isMinimum != NULL)
        *isMinimum = row->PairIsMinimum;
    return FindSettingInKey(row->Hive, row->Key, row->Pair);
}

const SettingRow* FindRequiredSetting(const SettingRow* row)
{
    if (row == NULL || row->Requires == NULL)
        return NULL;
    return FindSettingInKey(row->Hive, row->Key, row->Requires);
}

int IsRequirementMet(uint32_t value, uint32_t requiredValue)
{
    return value == 0 || requiredValue != 0 ? 1 : 0;
}

int IsPairInOrder(uint32_t minimum, uint32_t maximum)
{
    return minimum <= maximum ? 1 : 0;
}
