// The pruning pass as it was before it learned to read each key once: the
// reference that the differential test holds the library's pass to. Kept
// as it was, apart from the lookups the pass does not use.
#include "reference.h"

#include <string.h>

#include "registry.h"
#include "storepaths.h"

namespace Reference {

enum {
    InheritedTextSize = 256,
    // Names met while pruning: a sub-key name of 255 characters does not fit
    // and is skipped; it could not be part of a settings path anyway.
    SubKeyNameSize = 255,
    ValueNameSize = 256,
};

static const char NfsRoot[] = "zevrnfs\\";

static char InheritedText[InheritedTextSize];

// The pruning pass compares every value of a key with the same one or two
// keys above it. While a pass runs, the keys its lookups open are kept open,
// with the answer of opening them, and reused: opening and closing them again
// for every value made most of the pass's registry calls. A walk holds at
// most two at a time and touches them on every use, so the least recently
// used one of four is never one in use.
enum { KeptLevelCount = 4 };
struct KeptLevel {
    HKEY Hive;
    char Path[LevelPathSize]; // empty: a free entry
    LONG Result;
    HKEY Key;
    DWORD LastUse;
};
static KeptLevel KeptLevels[KeptLevelCount];
static DWORD KeptLevelUses;
static int PruneDepth; // nonzero while a pruning pass runs

static const char* GetNfsRootPath()
{
    return NfsRoot;
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

static void ForgetLevel(KeptLevel* level)
{
    if (level->Path[0] != '\0' && level->Result == ERROR_SUCCESS)
        CloseSettingsKey(level->Key);
    level->Path[0] = '\0';
}

static void ForgetLevelAt(HKEY hive, const char* path)
{
    for (KeptLevel& level : KeptLevels) {
        if (level.Hive == hive && strcmp(level.Path, path) == 0)
            ForgetLevel(&level);
    }
}

// Opens the level key at path for a lookup; outside a pruning pass simply
// OpenSettingsKey, and CloseLevelKey simply CloseSettingsKey.
static LONG OpenLevelKey(HKEY hive, const char* path, HKEY* key)
{
    if (PruneDepth == 0)
        return OpenSettingsKey(hive, path, key);
    KeptLevel* slot = &KeptLevels[0];
    for (KeptLevel& level : KeptLevels) {
        if (level.Path[0] != '\0' && level.Hive == hive && strcmp(level.Path, path) == 0) {
            level.LastUse = ++KeptLevelUses;
            *key = level.Key;
            return level.Result;
        }
        if (level.Path[0] == '\0' || (slot->Path[0] != '\0' && level.LastUse < slot->LastUse))
            slot = &level;
    }
    LONG rc = OpenSettingsKey(hive, path, key);
    // A path too long to keep is opened for this lookup alone.
    if (strlen(path) >= sizeof(slot->Path))
        return rc;
    ForgetLevel(slot);
    slot->Hive = hive;
    strcpy(slot->Path, path);
    slot->Result = rc;
    slot->Key = *key;
    slot->LastUse = ++KeptLevelUses;
    return rc;
}

static void CloseLevelKey(HKEY key)
{
    if (PruneDepth != 0) {
        // Kept keys are closed when the pass forgets them.
        for (const KeptLevel& level : KeptLevels) {
            if (level.Path[0] != '\0' && level.Result == ERROR_SUCCESS && level.Key == key)
                return;
        }
    }
    CloseSettingsKey(key);
}

static void BeginPruning()
{
    ++PruneDepth;
}

static void EndPruning()
{
    if (--PruneDepth > 0)
        return;
    for (KeptLevel& level : KeptLevels)
        ForgetLevel(&level);
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
// row is met under a name that differs only in case; pruning then keeps the
// value. *origin gets the level that answered.
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
    LONG rc = OpenLevelKey(hive, path, &key);
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
    CloseLevelKey(key);
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

// 1 when the value named valueName of the key at keyPath equals what the key
// inherits, for certain; values that cannot be read as a plain number or a
// plain text are never equal.
static int EqualsInherited(HKEY hive, HKEY key, const char* keyPath, const char* valueName,
                           DWORD type)
{
    int certain = 1;
    if (type == REG_DWORD) {
        DWORD value = 0;
        if (ReadLevelDword(key, valueName, &value) != LevelHasValue)
            return 0;
        DWORD inherited = InheritDword(hive, keyPath, valueName, &certain);
        return certain && value == inherited;
    }
    if (type == REG_SZ) {
        char text[InheritedTextSize];
        DWORD stored = 0;
        if (ReadLevelText(key, valueName, text, sizeof(text), &stored) != LevelHasValue)
            return 0;
        // Data after the text's terminator would go with the value.
        if (stored > strlen(text) + 1)
            return 0;
        const char* inherited = InheritString(hive, keyPath, valueName, sizeof(text), &certain);
        return certain && inherited != NULL && strcmp(inherited, text) == 0;
    }
    return 0;
}

void PruneInheritedValues()
{
    const char* root = GetNfsRootPath();
    BeginPruning();
    Reference::PruneServerTree(HKEY_CURRENT_USER, root, "Servers", "MachineMountDefaults");
    Reference::PruneServerTree(HKEY_CURRENT_USER, root, "Servers", "UserMountDefaults");
    EndPruning();
}

static void PruneTree(HKEY hive, const char* path, const char* subKeyName,
                      const char* defaultsKeyName);
static LONG PruneKey(HKEY hive, const char* levelPath, const char* defaultsKeyName);

void PruneServerTree(HKEY hive, const char* path, const char* subKeyName,
                     const char* defaultsKeyName)
{
    BeginPruning();
    PruneTree(hive, path, subKeyName, defaultsKeyName);
    EndPruning();
}

LONG PruneDefaultsKey(HKEY hive, const char* levelPath, const char* defaultsKeyName)
{
    BeginPruning();
    LONG rc = PruneKey(hive, levelPath, defaultsKeyName);
    EndPruning();
    return rc;
}

static void PruneTree(HKEY hive, const char* path, const char* subKeyName,
                      const char* defaultsKeyName)
{
    // Machine-wide settings are never pruned.
    if (hive != HKEY_CURRENT_USER || path == NULL || subKeyName == NULL)
        return;
    char keyPath[LevelPathSize];
    HKEY key;
    // A tree whose paths would not fit is left alone as a whole.
    if (JoinText(keyPath, sizeof(keyPath), path, subKeyName) &&
        OpenSettingsKey(hive, keyPath, &key) == ERROR_SUCCESS) {
        char name[SubKeyNameSize];
        for (DWORD index = 0;; ++index) {
            LONG rc = EnumSubKey(key, index, name, sizeof(name));
            if (rc == ERROR_MORE_DATA)
                continue;
            if (rc != ERROR_SUCCESS)
                break;
            char childPath[LevelPathSize];
            if (JoinText(childPath, sizeof(childPath), keyPath, "\\", name))
                PruneTree(hive, childPath, "\\Resources", defaultsKeyName);
        }
        CloseSettingsKey(key);
    }
    PruneKey(hive, path, defaultsKeyName);
}

static LONG PruneKey(HKEY hive, const char* levelPath, const char* defaultsKeyName)
{
    if (hive != HKEY_CURRENT_USER)
        return ERROR_ACCESS_DENIED;
    if (levelPath == NULL || defaultsKeyName == NULL)
        return ERROR_INVALID_PARAMETER;
    size_t length = strlen(levelPath);
    const char* separator = length > 0 && levelPath[length - 1] == '\\' ? "" : "\\";
    char keyPath[LevelPathSize];
    if (!JoinText(keyPath, sizeof(keyPath), levelPath, separator, defaultsKeyName))
        return ERROR_FILENAME_EXCED_RANGE;
    // The keys below were compared with this one while it was kept open; now
    // its values go, and perhaps the key itself.
    ForgetLevelAt(hive, keyPath);
    HKEY key;
    LONG rc = OpenSettingsKey(hive, keyPath, &key);
    if (rc != ERROR_SUCCESS)
        return rc;

    // Deleting while enumerating would shift the indexes: names are
    // collected first. A full list leaves the remaining values for the next
    // pass; each of them still equals what it inherits.
    char list[DeletionListSize];
    size_t used = 0;
    list[0] = '\0';
    char name[ValueNameSize];
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = sizeof(name);
        DWORD type = 0;
        rc = EnumValueName(key, index, name, &nameSize, &type);
        // A name longer than any the store knows: that value stays.
        if (rc == ERROR_MORE_DATA)
            continue;
        if (rc != ERROR_SUCCESS)
            break;
        if (EqualsInherited(hive, key, keyPath, name, type))
            AddToDeletionList(list, sizeof(list), &used, name);
    }
    for (const char* listed = list; *listed != '\0'; listed += strlen(listed) + 1)
        DeleteSettingsValue(key, listed);

    // Only a key that has no values left goes; deleting a key takes its
    // values with it, so a failed look counts as values.
    DWORD nameSize = sizeof(name);
    DWORD type = 0;
    rc = EnumValueName(key, 0, name, &nameSize, &type);
    CloseSettingsKey(key);
    if (rc != ERROR_NO_MORE_ITEMS)
        return ERROR_SUCCESS;
    return DeleteSettingsKey(hive, keyPath);
}

} // namespace Reference
