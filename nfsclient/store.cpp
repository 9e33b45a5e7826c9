#include "store.h"

#include <string.h>

#include "registry.h"
#include "settings.h"
#include "storepaths.h"

enum { InheritedTextSize = 256 };

static const char NfsRoot[] = "zevrnfs\\";
static const char ServiceParametersPath[] =
    "System\\CurrentControlSet\\Services\\Zevrnfs\\Parameters";

static char NfsPath[LevelPathSize];
static char InheritedText[InheritedTextSize];

const char* GetNfsRootPath()
{
    return NfsRoot;
}

const char* BuildNfsPath(const char* keyName)
{
    if (keyName == NULL)
        keyName = "";
    if (!JoinText(NfsPath, sizeof(NfsPath), NfsRoot, keyName)) {
        // Cut at 255 characters: longer than any sub-path the registry layer
        // accepts, so the result names no key rather than a shortened one.
        size_t used = sizeof(NfsRoot) - 1;
        memcpy(NfsPath, NfsRoot, used);
        for (; used < sizeof(NfsPath) - 1 && *keyName != '\0'; ++used)
            NfsPath[used] = *keyName++;
        NfsPath[used] = '\0';
    }
    return NfsPath;
}

const char* GetMachineDefaultsPath()
{
    return BuildNfsPath("MachineMountDefaults");
}

const char* GetUserDefaultsPath()
{
    return BuildNfsPath("UserMountDefaults");
}

const char* GetAuthServersPath()
{
    return "zevrnfs\\Authentication\\Servers";
}

const char* GetAutomounterPath()
{
    return "zevrnfs\\Automounter";
}

LONG CreateServiceParametersKey(HKEY* key)
{
    return CreateKeyAbsolute(HKEY_LOCAL_MACHINE, ServiceParametersPath, key);
}

// How one level answers a lookup. A value that is missing, of another type
// or too long is passed over; one that exists but cannot be read (access
// denied, a number of fewer than four bytes) is passed over as well, but
// the lookup's result is then not known for certain.
enum LevelAnswer { LevelHasValue, LevelPassesOver, LevelUnreadable };

static bool IsMissing(LONG rc)
{
    return rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND;
}

static LevelAnswer ReadLevelDword(HKEY key, const char* valueName, DWORD* value)
{
    DWORD type = 0;
    DWORD size = sizeof(DWORD);
    LONG rc = QueryRawValue(key, valueName, &type, (BYTE*)value, &size);
    if (rc == ERROR_SUCCESS) {
        if (type != REG_DWORD)
            return LevelPassesOver;
        return size == sizeof(DWORD) ? LevelHasValue : LevelUnreadable;
    }
    return rc == ERROR_MORE_DATA || IsMissing(rc) ? LevelPassesOver : LevelUnreadable;
}

// Reads a REG_SZ value into buffer (limit bytes), terminated; *stored gets
// the size of the stored data.
static LevelAnswer ReadLevelText(HKEY key, const char* valueName, char* buffer, DWORD limit,
                                 DWORD* stored)
{
    DWORD type = 0;
    DWORD size = limit;
    LONG rc = QueryRawValue(key, valueName, &type, (BYTE*)buffer, &size);
    if (rc != ERROR_SUCCESS)
        return rc == ERROR_MORE_DATA || IsMissing(rc) ? LevelPassesOver : LevelUnreadable;
    if (type != REG_SZ)
        return LevelPassesOver;
    *stored = size;
    if (size == 0 || buffer[size - 1] != '\0') {
        // Stored without its terminator: the text counts when one fits.
        if (size >= limit)
            return LevelPassesOver;
        buffer[size] = '\0';
    }
    return LevelHasValue;
}

// The one inheritance walk, for numbers (REG_DWORD) and texts (REG_SZ). It
// reads the key at path itself when own is set, else starts at the level
// above; a level that does not answer hands the lookup one level further
// up, with its key still open, until the built-in table answers. *certain is
// cleared when some level on the way could not be read, or when the built-in
// row is met under a name that differs only in case. *origin gets the level
// that answered.
static void WalkLevels(HKEY hive, const char* path, const char* valueName, DWORD type, DWORD limit,
                       int own, InheritedValue* found, int* certain)
{
    char parent[LevelPathSize];
    if (!own) {
        if (!GetParentLevelPath(parent, path)) {
            found->Origin = LevelBuiltIn;
            if (type == REG_DWORD) {
                if (IsCaseVariantOfDwordDefault(valueName))
                    *certain = 0;
                found->Number = FindDwordDefault(valueName);
            } else {
                found->Text = FindStringDefault(valueName);
            }
            return;
        }
        path = parent;
    }
    HKEY key;
    LONG rc = OpenSettingsKey(hive, path, &key);
    if (rc != ERROR_SUCCESS) {
        if (!IsMissing(rc))
            *certain = 0;
        WalkLevels(hive, path, valueName, type, limit, 0, found, certain);
        return;
    }
    DWORD stored = 0;
    LevelAnswer answer = type == REG_DWORD
                             ? ReadLevelDword(key, valueName, &found->Number)
                             : ReadLevelText(key, valueName, InheritedText, limit, &stored);
    if (answer == LevelHasValue) {
        if (type == REG_SZ)
            found->Text = InheritedText;
        found->Origin = GetLevelOfPath(path);
    } else {
        if (answer == LevelUnreadable)
            *certain = 0;
        WalkLevels(hive, path, valueName, type, limit, 0, found, certain);
    }
    CloseSettingsKey(key);
}

static DWORD InheritDword(HKEY hive, const char* path, const char* valueName, int* certain)
{
    InheritedValue found = {0, NULL, LevelBuiltIn};
    WalkLevels(hive, path, valueName, REG_DWORD, 0, 0, &found, certain);
    return found.Number;
}

static const char* InheritString(HKEY hive, const char* path, const char* valueName, DWORD limit,
                                 int* certain)
{
    InheritedValue found = {0, NULL, LevelBuiltIn};
    WalkLevels(hive, path, valueName, REG_SZ, limit, 0, &found, certain);
    return found.Text;
}

int LookUpMountDefault(HKEY hive, const char* path, const char* valueName, DWORD type, int own,
                       InheritedValue* found)
{
    found->Number = 0;
    found->Text = NULL;
    found->Origin = LevelBuiltIn;
    if (type != REG_DWORD && type != REG_SZ)
        return 0;
    int certain = 1;
    WalkLevels(hive, path, valueName, type, sizeof(InheritedText), own, found, &certain);
    return certain;
}

DWORD GetInheritedDword(HKEY hive, const char* path, const char* valueName)
{
    int certain = 1;
    return InheritDword(hive, path, valueName, &certain);
}

DWORD GetInheritedUserDefault(const char* valueName)
{
    return GetInheritedDword(HKEY_CURRENT_USER, GetUserDefaultsPath(), valueName);
}

DWORD GetInheritedMachineDefault(const char* valueName)
{
    return GetInheritedDword(HKEY_CURRENT_USER, GetMachineDefaultsPath(), valueName);
}

const char* GetInheritedString(HKEY hive, const char* path, const char* valueName, DWORD limit)
{
    // The result buffer has a fixed size, whatever the caller asks for.
    if (limit > sizeof(InheritedText))
        limit = sizeof(InheritedText);
    int certain = 1;
    return InheritString(hive, path, valueName, limit, &certain);
}

DWORD GetPageDefault(const SettingRow* row)
{
    char path[LevelKeyPathSize];
    if (row->Scope == ScopeMachine || !BuildSettingKeyPath(row, NULL, NULL, path, sizeof(path)))
        return row->DefaultNumber;
    return GetInheritedDword(HKEY_CURRENT_USER, path, row->Name);
}

const char* GetPageDefaultText(const SettingRow* row)
{
    char path[LevelKeyPathSize];
    if (row->Scope == ScopeMachine || !BuildSettingKeyPath(row, NULL, NULL, path, sizeof(path)))
        return row->DefaultText;
    return GetInheritedString(HKEY_CURRENT_USER, path, row->Name, InheritedTextSize);
}
