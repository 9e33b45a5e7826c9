// The pruning pass of the NFS client settings store: every per-user
// mount-default value that equals what its key inherits is deleted, and so
// is a mount-defaults key left without values.
//
// The walk reads each defaults key once, data and all, before it goes below
// it, and holds what it read: the keys below compare their values with those
// readings instead of asking the registry level by level. An apply prunes
// twice, with the other pages' saves in between; the second pass starts from
// the first one's reading and goes back to the registry only for the
// top-level keys, the only ones the pages write, and for what the first pass
// could not settle.
#include "store.h"

#include <stdlib.h>
#include <string.h>

#include "registry.h"
#include "prunereading.h"
#include "storepaths.h"

// 1 when the value equals, for certain, what its key inherits from the
// levels above as they are held now; *undecided is set when the answer is
// not known for certain.
static int EqualsHeldInheritance(const HeldKey* key, const HeldValue* value, int* undecided)
{
    if (!value->Prunable || Held.Failed)
        return 0;
    const char* name = PoolText(value->Name);
    int certain = !HasForeignBytes(name);
    int equal = 0;
    int answered = 0;
    for (int parent = key->Parent; parent >= 0 && !answered; parent = Held.Keys[parent].Parent) {
        const HeldKey* level = &Held.Keys[parent];
        if (level->State == KeyMissing)
            continue;
        if (level->State == KeyUnreadable) {
            certain = 0;
            continue;
        }
        const HeldValue* found = FindHeldValue(level, name);
        if (found == NULL) {
            if (level->Flags & KeyForeignNames)
                certain = 0;
        } else if (value->Kind == KindText) {
            if (found->Kind == KindText) {
                equal = strcmp(PoolText(found->Text), PoolText(value->Text)) == 0;
                answered = 1;
            }
        } else if (found->Kind == KindNumber) {
            equal = found->Number == value->Number;
            answered = 1;
        } else if (found->Kind == KindShortNumber) {
            certain = 0;
        }
    }
    if (!answered) {
        if (value->Kind == KindText) {
            const char* builtIn = FindStringDefault(name);
            equal = builtIn != NULL && strcmp(builtIn, PoolText(value->Text)) == 0;
        } else {
            equal = FindDwordDefault(name) == value->Number;
            // The registry reads such a name as the row's value, which the
            // exact table lookup does not find.
            if (equal && IsCaseVariantOfDwordDefault(name))
                certain = 0;
        }
    }
    if (!certain)
        *undecided = 1;
    return certain && equal;
}

static int NameIsListed(const char* names, size_t used, const char* name)
{
    for (size_t at = 0; at < used; at += strlen(names + at) + 1) {
        if (EqualIgnoringCase(names + at, name))
            return 1;
    }
    return 0;
}

// Marks the values of the key at index that go: all of them when all is
// set, else only those left undecided and those whose name is among the
// written ones; the others stay as the last pass found them. Returns the
// number marked.
static int ListEqualValues(int index, int all, const char* written, size_t writtenUsed)
{
    // The deletion list's bound: a full list leaves the remaining values for
    // the next pass.
    char list[DeletionListSize];
    size_t used = 0;
    list[0] = '\0';
    int listed = 0;
    HeldKey* key = &Held.Keys[index];
    for (size_t i = 0; i < key->Count; ++i) {
        HeldValue* value = ValueOf(key, i);
        if (value->Flags & ValueDeleted)
            continue;
        const char* name = PoolText(value->Name);
        if (!all && !(value->Flags & ValueUndecided) && !NameIsListed(written, writtenUsed, name))
            continue;
        value->Flags &= ~ValueUndecided;
        int undecided = 0;
        if (EqualsHeldInheritance(key, value, &undecided)) {
            if (AddToDeletionList(list, sizeof(list), &used, name)) {
                value->Flags |= ValueListed;
                ++listed;
            } else {
                key->Flags |= KeyCheckAll;
            }
        } else if (undecided) {
            value->Flags |= ValueUndecided;
        }
    }
    return listed;
}

// Deletes the listed values from the open key and, when none is left, the
// key itself; closes the key. Returns what deleting the key answered, or
// ERROR_SUCCESS.
static LONG DeleteListedValues(int index, HKEY key)
{
    HeldKey* held = &Held.Keys[index];
    size_t left = held->Others;
    for (size_t i = 0; i < held->Count; ++i) {
        HeldValue* value = ValueOf(held, i);
        if (value->Flags & ValueListed) {
            value->Flags &= ~ValueListed;
            if (DeleteSettingsValue(key, PoolText(value->Name)) == ERROR_SUCCESS)
                value->Flags |= ValueDeleted;
            else
                value->Flags |= ValueUndecided;
        }
        left += !(value->Flags & ValueDeleted);
    }
    // Only a key read to its end and left without values goes; deleting a
    // key takes its values with it, so a failed look counts as values.
    LONG rc = ERROR_NO_MORE_ITEMS;
    if (held->State == KeyRead && left == 0) {
        char name[ValueNameSize];
        DWORD nameSize = sizeof(name);
        DWORD type = 0;
        rc = EnumValueName(key, 0, name, &nameSize, &type);
    } else {
        rc = ERROR_SUCCESS;
    }
    CloseSettingsKey(key);
    if (rc != ERROR_NO_MORE_ITEMS)
        return ERROR_SUCCESS;
    rc = DeleteSettingsKey(held->Hive, PoolText(held->Path));
    if (rc == ERROR_SUCCESS) {
        held->State = KeyMissing;
        held->Flags &= ~KeyDeleteFailed;
    } else {
        held->Flags |= KeyDeleteFailed;
    }
    return rc;
}

static int JoinKeyPath(char* keyPath, const char* levelPath, const char* defaultsKeyName)
{
    size_t length = strlen(levelPath);
    const char* separator = length > 0 && levelPath[length - 1] == '\\' ? "" : "\\";
    return JoinText(keyPath, LevelPathSize, levelPath, separator, defaultsKeyName);
}

// Prunes the defaults key of the level at path after the levels below it,
// which hang from path + subKeyName (none when subKeyName is NULL); walk
// holds the keys read on the way down. Returns what PruneDefaultsKey
// answers for the level.
static LONG PruneLevel(HKEY hive, const char* path, const char* subKeyName,
                       const char* defaultsKeyName, int* walk, int depth)
{
    size_t keys = Held.KeyCount, values = Held.ValueCount, pool = Held.PoolUsed;
    char keyPath[LevelPathSize];
    int own = -1;
    HKEY ownKey = NULL;
    LONG rc = ERROR_FILENAME_EXCED_RANGE;
    if (JoinKeyPath(keyPath, path, defaultsKeyName)) {
        int parent = ParentOf(hive, keyPath, walk, depth);
        own = ReadHeldKey(hive, keyPath, parent, &ownKey, &rc);
        if (own >= 0)
            Held.Keys[own].Flags |= KeyPruned;
        else if (rc == ERROR_SUCCESS)
            CloseSettingsKey(ownKey);
    }
    char treePath[LevelPathSize];
    HKEY tree;
    // A tree whose paths would not fit is left alone as a whole.
    if (subKeyName != NULL && JoinText(treePath, sizeof(treePath), path, subKeyName) &&
        OpenSettingsKey(hive, treePath, &tree) == ERROR_SUCCESS) {
        int below = depth;
        if (own >= 0 && depth < WalkDepth)
            walk[below++] = own;
        char name[SubKeyNameSize];
        for (DWORD index = 0;; ++index) {
            LONG enumRc = EnumSubKey(tree, index, name, sizeof(name));
            if (enumRc == ERROR_MORE_DATA)
                continue;
            if (enumRc != ERROR_SUCCESS)
                break;
            char childPath[LevelPathSize];
            if (JoinText(childPath, sizeof(childPath), treePath, "\\", name))
                PruneLevel(hive, childPath, "\\Resources", defaultsKeyName, walk, below);
        }
        CloseSettingsKey(tree);
    }
    if (own >= 0 && rc == ERROR_SUCCESS) {
        ListEqualValues(own, 1, "", 0);
        rc = DeleteListedValues(own, ownKey);
    }
    // Without a second pass to come, a finished level is not needed again.
    if (!KeepReading && !Held.Failed) {
        Held.KeyCount = keys;
        Held.ValueCount = values;
        Held.PoolUsed = pool;
    }
    return rc;
}

static void PruneBothTrees()
{
    const char* root = GetNfsRootPath();
    PruneServerTree(HKEY_CURRENT_USER, root, "Servers", "MachineMountDefaults");
    PruneServerTree(HKEY_CURRENT_USER, root, "Servers", "UserMountDefaults");
}

void PruneServerTree(HKEY hive, const char* path, const char* subKeyName,
                     const char* defaultsKeyName)
{
    // Machine-wide settings are never pruned.
    if (hive != HKEY_CURRENT_USER || path == NULL || subKeyName == NULL || defaultsKeyName == NULL)
        return;
    int walk[WalkDepth];
    PruneLevel(hive, path, subKeyName, defaultsKeyName, walk, 0);
    if (!KeepReading)
        DropReading();
}

LONG PruneDefaultsKey(HKEY hive, const char* levelPath, const char* defaultsKeyName)
{
    if (hive != HKEY_CURRENT_USER)
        return ERROR_ACCESS_DENIED;
    if (levelPath == NULL || defaultsKeyName == NULL)
        return ERROR_INVALID_PARAMETER;
    int walk[WalkDepth];
    LONG rc = PruneLevel(hive, levelPath, NULL, defaultsKeyName, walk, 0);
    if (!KeepReading)
        DropReading();
    return rc;
}

void PruneInheritedValues()
{
    ForgetPruneReading();
    PruneBothTrees();
}

void PruneAndKeepReading()
{
    ForgetPruneReading();
    KeepReading = 1;
    PruneBothTrees();
    KeepReading = 0;
    ReadingKept = !Held.Failed;
    if (!ReadingKept)
        DropReading();
}

void ForgetPruneReading()
{
    DropReading();
}

static int SameAnswer(const HeldValue* a, const HeldValue* b)
{
    if (a->Kind != b->Kind || a->Prunable != b->Prunable)
        return 0;
    if (a->Kind == KindText)
        return strcmp(PoolText(a->Text), PoolText(b->Text)) == 0;
    return a->Kind != KindNumber || a->Number == b->Number;
}

// Adds to names every name whose answer differs between the held values
// old and new of one key.
static void AddChangedNames(const HeldKey* old, const HeldKey* now, char** names, size_t* used,
                            size_t* capacity)
{
    const HeldKey* sides[2] = {old, now};
    for (int side = 0; side < 2; ++side) {
        const HeldKey* key = sides[side];
        const HeldKey* other = sides[1 - side];
        for (size_t i = 0; i < key->Count; ++i) {
            const HeldValue* value = ValueOf(key, i);
            if (value->Flags & ValueDeleted)
                continue;
            const char* name = PoolText(value->Name);
            const HeldValue* match = FindHeldValue(other, name);
            if (match != NULL && SameAnswer(value, match))
                continue;
            size_t length = strlen(name) + 1;
            if (!Grow((void**)names, capacity, *used + length, 1))
                return;
            memcpy(*names + *used, name, length);
            *used += length;
        }
    }
}

static int AncestorWasReread(const HeldKey* key)
{
    for (int parent = key->Parent; parent >= 0; parent = Held.Keys[parent].Parent) {
        if (Held.Keys[parent].Flags & KeyReread)
            return 1;
    }
    return 0;
}

void PruneAfterPageSaves()
{
    if (!ReadingKept || Held.Failed) {
        PruneInheritedValues();
        return;
    }
    // The top-level keys are read again: the pages have written them since.
    // A value whose name was written there may now equal what it inherits,
    // at any level. Keys that could not be read are tried again.
    char* written = NULL;
    size_t writtenUsed = 0, writtenCapacity = 0;
    size_t keyCount = Held.KeyCount;
    for (size_t i = 0; i < keyCount && !Held.Failed; ++i) {
        HeldKey old = Held.Keys[i];
        int top = old.Parent < 0;
        if (!(old.Flags & KeyPruned) || (!top && old.State != KeyUnreadable))
            continue;
        HeldKey* key = &Held.Keys[i];
        key->Flags |= top ? KeyCheckAll : KeyReread;
        HKEY opened;
        LONG rc = OpenSettingsKey(key->Hive, PoolText(key->Path), &opened);
        if (rc != ERROR_SUCCESS) {
            key->State = IsMissingKey(rc) ? KeyMissing : KeyUnreadable;
            key->Count = 0;
            key->Others = 0;
        } else {
            ReadValues((int)i, opened);
            CloseSettingsKey(opened);
        }
        if (top)
            AddChangedNames(&old, &Held.Keys[i], &written, &writtenUsed, &writtenCapacity);
    }
    // Deeper levels first, as in the first pass: a level is compared with
    // the levels above as they were before this pass pruned them.
    for (size_t i = keyCount; i-- > 0 && !Held.Failed;) {
        HeldKey* key = &Held.Keys[i];
        if (!(key->Flags & KeyPruned) || key->State != KeyRead)
            continue;
        int all = (key->Flags & (KeyCheckAll | KeyReread)) || AncestorWasReread(key);
        key->Flags &= ~KeyCheckAll;
        int listed = ListEqualValues((int)i, all, written != NULL ? written : "", writtenUsed);
        if (listed == 0 && !(key->Flags & KeyDeleteFailed))
            continue;
        HKEY opened;
        if (OpenSettingsKey(key->Hive, PoolText(key->Path), &opened) != ERROR_SUCCESS) {
            for (size_t v = 0; v < key->Count; ++v)
                ValueOf(key, v)->Flags &= ~ValueListed;
            continue;
        }
        DeleteListedValues((int)i, opened);
    }
    free(written);
    DropReading();
}
