#include "registry.h"

static char SettingsPath[SettingsPathSize];
static LONG WriteFailureShown;
// Registry calls made through this layer; the store's benchmark reads it.
static DWORD RegistryCalls;

// Keys whose creation failed since the sheet was prepared, by root and
// path. The sheets use fewer keys than this; a failure beyond it is not
// remembered.
enum { FailedKeyCapacity = 16 };
static struct {
    HKEY root;
    LONG code;
    char path[SettingsPathSize];
} FailedKeys[FailedKeyCapacity];
static int FailedKeyCount;

// The sheets keep a handful of long texts at most; the names are the
// library's own, all far shorter than a slot.
enum { KeptCapacity = 8, KeptNameSize = 32 };
static char KeptValues[KeptCapacity][KeptNameSize];

static LONG RealOpenKey(HKEY hive, const char* path, HKEY* key)
{
    return RegOpenKeyA(hive, path, key);
}
static LONG RealCreateKey(HKEY hive, const char* path, HKEY* key)
{
    return RegCreateKeyA(hive, path, key);
}
static LONG RealCloseKey(HKEY key)
{
    return RegCloseKey(key);
}
static LONG RealDeleteKey(HKEY hive, const char* path)
{
    return RegDeleteKeyA(hive, path);
}
static LONG RealDeleteValue(HKEY key, const char* valueName)
{
    return RegDeleteValueA(key, valueName);
}
static LONG RealEnumKey(HKEY key, DWORD index, char* name, DWORD nameSize)
{
    return RegEnumKeyA(key, index, name, nameSize);
}
static LONG RealEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type,
                          BYTE* data, DWORD* dataSize)
{
    return RegEnumValueA(key, index, name, nameSize, NULL, type, data, dataSize);
}
static LONG RealQueryValue(HKEY key, const char* valueName, DWORD* type, BYTE* data, DWORD* size)
{
    return RegQueryValueExA(key, valueName, NULL, type, data, size);
}
static LONG RealSetValue(HKEY key, const char* valueName, DWORD type, const BYTE* data, DWORD size)
{
    return RegSetValueExA(key, valueName, 0, type, data, size);
}
static const RegistryBackend Registry = {RealOpenKey,   RealCreateKey,   RealCloseKey,
                                         RealDeleteKey, RealDeleteValue, RealEnumKey,
                                         RealEnumValue, RealQueryValue,  RealSetValue};
static const RegistryBackend* Backend = &Registry;

void DirectRegistryCalls(const RegistryBackend* backend)
{
    Backend = backend != NULL ? backend : &Registry;
}

static const char MachineRoot[] = "SOFTWARE\\ZEVR\\CC\\1.0\\";
static const char UserRoot[] = "Software\\ZEVR\\CC\\1.0\\";

// Builds the path into the shared buffer; false when it does not fit, in
// which case the buffer holds a terminated but shortened path.
static bool BuildPath(HKEY hive, const char* subPath)
{
    const char* root = "";
    if (hive == HKEY_LOCAL_MACHINE)
        root = MachineRoot;
    else if (hive == HKEY_CURRENT_USER)
        root = UserRoot;
    if (subPath == NULL)
        subPath = "";

    size_t used = 0;
    bool fits = true;
    const char* parts[2] = {root, subPath};
    for (const char* part : parts) {
        for (; *part != '\0'; ++part) {
            if (used + 1 >= sizeof(SettingsPath)) {
                fits = false;
                break;
            }
            SettingsPath[used++] = *part;
        }
    }
    SettingsPath[used] = '\0';
    if (used > 0 && SettingsPath[used - 1] == '\\')
        SettingsPath[used - 1] = '\0';
    return fits;
}

const char* BuildSettingsPath(HKEY hive, const char* subPath)
{
    BuildPath(hive, subPath);
    return SettingsPath;
}

static LONG EarlierFailure(HKEY root, const char* path)
{
    for (int i = 0; i < FailedKeyCount; ++i)
        if (FailedKeys[i].root == root && lstrcmpiA(FailedKeys[i].path, path) == 0)
            return FailedKeys[i].code;
    return ERROR_SUCCESS;
}

// Creates the key unless it failed before; a new failure is remembered.
static LONG CreateRemembered(HKEY root, const char* path, HKEY* key)
{
    LONG rc = EarlierFailure(root, path);
    if (rc != ERROR_SUCCESS)
        return rc;
    ++RegistryCalls;
    rc = Backend->CreateKey(root, path, key);
    if (rc != ERROR_SUCCESS && FailedKeyCount < FailedKeyCapacity &&
        lstrlenA(path) < SettingsPathSize) {
        FailedKeys[FailedKeyCount].root = root;
        FailedKeys[FailedKeyCount].code = rc;
        lstrcpyA(FailedKeys[FailedKeyCount].path, path);
        ++FailedKeyCount;
    }
    return rc;
}

void ForgetFailedKeys()
{
    FailedKeyCount = 0;
}

LONG OpenSettingsKey(HKEY hive, const char* subPath, HKEY* key)
{
    if (!BuildPath(hive, subPath))
        return ERROR_FILENAME_EXCED_RANGE;
    ++RegistryCalls;
    return Backend->OpenKey(hive, SettingsPath, key);
}

LONG CreateSettingsKey(HKEY hive, const char* subPath, HKEY* key)
{
    if (!BuildPath(hive, subPath))
        return ERROR_FILENAME_EXCED_RANGE;
    return CreateRemembered(hive, SettingsPath, key);
}

LONG CreateKeyAbsolute(HKEY root, const char* fullPath, HKEY* key)
{
    return CreateRemembered(root, fullPath, key);
}

LONG CloseSettingsKey(HKEY key)
{
    ++RegistryCalls;
    return Backend->CloseKey(key);
}

LONG DeleteSettingsKey(HKEY hive, const char* subPath)
{
    if (!BuildPath(hive, subPath))
        return ERROR_FILENAME_EXCED_RANGE;
    ++RegistryCalls;
    return Backend->DeleteKey(hive, SettingsPath);
}

LONG DeleteSettingsValue(HKEY key, const char* valueName)
{
    ++RegistryCalls;
    return Backend->DeleteValue(key, valueName);
}

LONG EnumSubKey(HKEY key, DWORD index, char* name, DWORD nameSize)
{
    ++RegistryCalls;
    return Backend->EnumKey(key, index, name, nameSize);
}

LONG EnumValueName(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type)
{
    ++RegistryCalls;
    return Backend->EnumValue(key, index, name, nameSize, type, NULL, NULL);
}

LONG EnumValueData(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data,
                   DWORD* dataSize)
{
    ++RegistryCalls;
    return Backend->EnumValue(key, index, name, nameSize, type, data, dataSize);
}

LONG QueryRawValue(HKEY key, const char* valueName, DWORD* type, BYTE* data, DWORD* size)
{
    ++RegistryCalls;
    return Backend->QueryValue(key, valueName, type, data, size);
}

LONG SetRawValue(HKEY key, const char* valueName, DWORD type, const BYTE* data, DWORD size)
{
    ++RegistryCalls;
    return Backend->SetValue(key, valueName, type, data, size);
}

// Makes sure that the first `read` bytes of buffer end in `zeros` zero
// bytes, appending what is missing when there is room. Values stored
// without their terminator must never reach a caller unterminated.
static bool TerminateData(char* buffer, DWORD capacity, DWORD* read, DWORD zeros)
{
    DWORD have = 0;
    while (have < zeros && have < *read && buffer[*read - 1 - have] == '\0')
        ++have;
    // An empty multi-string stored as one zero byte is already complete.
    if (zeros == 2 && *read == 1 && buffer[0] == '\0')
        have = zeros;
    if (*read + (zeros - have) > capacity)
        return false;
    for (; have < zeros; ++have)
        buffer[(*read)++] = '\0';
    return true;
}

static TextReadResult GetTextValue(HKEY key, const char* valueName, char* buffer, DWORD* size,
                                   DWORD expectedType, DWORD zeros)
{
    DWORD capacity = *size;
    DWORD type = 0;
    LONG rc = QueryRawValue(key, valueName, &type, (BYTE*)buffer, size);
    if (rc == ERROR_MORE_DATA && capacity > 0) {
        // Whatever part was copied ends in a terminator, for callers that
        // show the buffer anyway.
        buffer[capacity - 1] = '\0';
        // Asked again for the type alone: what a call that ran out of room
        // says about it is not to be relied on.
        DWORD needed = 0;
        type = 0;
        if (QueryRawValue(key, valueName, &type, NULL, &needed) == ERROR_SUCCESS &&
            type == expectedType)
            return TextTooLong;
        return TextMissing;
    }
    if (rc != ERROR_SUCCESS)
        return TextMissing;
    if (type != expectedType || !TerminateData(buffer, capacity, size, zeros)) {
        // Another type, or the text and its terminator do not fit: the
        // buffer still ends in a terminator.
        if (*size < capacity)
            buffer[*size] = '\0';
        else if (capacity > 0)
            buffer[capacity - 1] = '\0';
        return type == expectedType ? TextTooLong : TextMissing;
    }
    return TextRead;
}

TextReadResult ReadStringValue(HKEY key, const char* valueName, char* buffer, DWORD* size)
{
    return GetTextValue(key, valueName, buffer, size, REG_SZ, 1);
}

TextReadResult ReadMultiStringValue(HKEY key, const char* valueName, char* buffer, DWORD* size)
{
    return GetTextValue(key, valueName, buffer, size, REG_MULTI_SZ, 2);
}

int GetStringValue(HKEY key, const char* valueName, char* buffer, DWORD* size)
{
    return ReadStringValue(key, valueName, buffer, size) == TextRead ? 1 : 0;
}

int GetMultiStringValue(HKEY key, const char* valueName, char* buffer, DWORD* size)
{
    return ReadMultiStringValue(key, valueName, buffer, size) == TextRead ? 1 : 0;
}

int GetDwordValue(HKEY key, const char* valueName, DWORD* value)
{
    DWORD type = 0;
    DWORD size = sizeof(DWORD);
    // Read into a scratch word: a shorter value must not leave the caller's
    // number half written.
    DWORD read = 0;
    if (QueryRawValue(key, valueName, &type, (BYTE*)&read, &size) != ERROR_SUCCESS)
        return 0;
    if (type != REG_DWORD || size != sizeof(DWORD))
        return 0;
    *value = read;
    return 1;
}

static int FindKeptValue(const char* valueName)
{
    for (int i = 0; i < KeptCapacity; ++i)
        if (KeptValues[i][0] != '\0' && lstrcmpiA(KeptValues[i], valueName) == 0)
            return i;
    return -1;
}

void KeepValue(const char* valueName)
{
    if (FindKeptValue(valueName) >= 0 || lstrlenA(valueName) >= KeptNameSize)
        return;
    for (int i = 0; i < KeptCapacity; ++i) {
        if (KeptValues[i][0] == '\0') {
            lstrcpyA(KeptValues[i], valueName);
            return;
        }
    }
}

void ReleaseValue(const char* valueName)
{
    int i = FindKeptValue(valueName);
    if (i >= 0)
        KeptValues[i][0] = '\0';
}

int IsValueKept(const char* valueName)
{
    return FindKeptValue(valueName) >= 0 ? 1 : 0;
}

void ForgetKeptValues()
{
    for (int i = 0; i < KeptCapacity; ++i)
        KeptValues[i][0] = '\0';
}

int SetStringValue(HKEY key, const char* valueName, const char* text)
{
    return SetRawValue(key, valueName, REG_SZ, (const BYTE*)text, lstrlenA(text) + 1) ==
                   ERROR_SUCCESS
               ? 1
               : 0;
}

int SetDwordValue(HKEY key, const char* valueName, DWORD value)
{
    return SetRawValue(key, valueName, REG_DWORD, (const BYTE*)&value, sizeof(value)) ==
                   ERROR_SUCCESS
               ? 1
               : 0;
}

DWORD MultiStringSize(const char* list)
{
    DWORD size = 0;
    const char* p = list;
    while (*p != '\0') {
        DWORD length = lstrlenA(p) + 1;
        size += length;
        p += length;
    }
    return size + 1;
}

int SetMultiStringValue(HKEY key, const char* valueName, const char* list)
{
    return SetRawValue(key, valueName, REG_MULTI_SZ, (const BYTE*)list, MultiStringSize(list)) ==
                   ERROR_SUCCESS
               ? 1
               : 0;
}

DWORD GetRegistryCallCount()
{
    return RegistryCalls;
}

void ReportWriteFailure()
{
    // The box's own message loop can run page code that fails again; one
    // box says it all.
    if (WriteFailureShown)
        return;
    WriteFailureShown = 1;
    // Not a resource string: adding one would change the compiled resources.
    MessageBoxA(NULL, "Write Register Failed", NULL, MB_OK | MB_ICONEXCLAMATION);
    WriteFailureShown = 0;
}
