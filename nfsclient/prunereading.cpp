// The pruning pass's reading: each defaults key's values read once, data
// and all, and held with the level the key inherits from, so that the keys
// below compare with what is held instead of asking the registry again.
// The deciding and deleting that use the reading are in prune.cpp.
#include "prunereading.h"

#include <stdlib.h>
#include <string.h>

#include "store.h"
#include "storepaths.h"

HeldReading Held;
int KeepReading;
int ReadingKept;

int Grow(void** block, size_t* capacity, size_t needed, size_t unit)
{
    if (needed <= *capacity)
        return 1;
    size_t next = *capacity < 64 ? 64 : *capacity;
    while (next < needed)
        next *= 2;
    void* grown = realloc(*block, next * unit);
    if (grown == NULL) {
        Held.Failed = 1;
        return 0;
    }
    *block = grown;
    *capacity = next;
    return 1;
}

void DropReading()
{
    free(Held.Keys);
    free(Held.Values);
    free(Held.Pool);
    memset(&Held, 0, sizeof(Held));
    ReadingKept = 0;
}

const char* PoolText(size_t offset)
{
    return Held.Pool + offset;
}

int AddText(const char* text, size_t* offset)
{
    size_t length = strlen(text) + 1;
    if (!Grow((void**)&Held.Pool, &Held.PoolCapacity, Held.PoolUsed + length, 1))
        return 0;
    memcpy(Held.Pool + Held.PoolUsed, text, length);
    *offset = Held.PoolUsed;
    Held.PoolUsed += length;
    return 1;
}

HeldValue* ValueOf(const HeldKey* key, size_t i)
{
    return &Held.Values[key->First + i];
}

int HasForeignBytes(const char* text)
{
    for (; *text != '\0'; ++text) {
        if ((unsigned char)*text >= 0x80)
            return 1;
    }
    return 0;
}

// Holds one enumerated value of the key last added, as the lookups and the
// comparison with what it inherits read it.
void HoldValue(HeldKey* key, const char* name, DWORD type, BYTE* data, DWORD size)
{
    HeldValue value;
    memset(&value, 0, sizeof(value));
    if (type == REG_DWORD && size <= sizeof(DWORD)) {
        // A shorter number cannot be read: lookups through it are not sure.
        value.Kind = size == sizeof(DWORD) ? KindNumber : KindShortNumber;
        value.Prunable = value.Kind == KindNumber;
        memcpy(&value.Number, data, size);
    } else if (type == REG_SZ) {
        // A text stored without its terminator counts when one fits.
        if (size == 0 || data[size - 1] != '\0') {
            if (size >= ValueDataSize) {
                ++key->Others;
                return;
            }
            data[size] = '\0';
        }
        value.Kind = KindText;
        // Data after the text's terminator would go with the value.
        value.Prunable = size <= strlen((const char*)data) + 1;
        if (!AddText((const char*)data, &value.Text))
            return;
    } else {
        ++key->Others;
        return;
    }
    // The unnamed value stays: an empty name would end the deletion list.
    if (name[0] == '\0')
        value.Prunable = 0;
    if (HasForeignBytes(name))
        key->Flags |= KeyForeignNames;
    if (!AddText(name, &value.Name) ||
        !Grow((void**)&Held.Values, &Held.ValueCapacity, Held.ValueCount + 1, sizeof(HeldValue)))
        return;
    Held.Values[Held.ValueCount++] = value;
    ++key->Count;
}

int IsMissingKey(LONG rc)
{
    return rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND;
}

// Reads the values of the held key at index from the open key.
void ReadValues(int index, HKEY key)
{
    Held.Keys[index].First = Held.ValueCount;
    Held.Keys[index].Count = 0;
    Held.Keys[index].Others = 0;
    Held.Keys[index].State = KeyRead;
    for (DWORD i = 0;; ++i) {
        char name[ValueNameSize];
        BYTE data[ValueDataSize + 1];
        DWORD nameSize = sizeof(name);
        DWORD type = 0;
        DWORD size = ValueDataSize;
        LONG rc = EnumValueData(key, i, name, &nameSize, &type, data, &size);
        // A long name or long data: a value that is neither inherited nor
        // pruned, but that keeps its key.
        if (rc == ERROR_MORE_DATA) {
            ++Held.Keys[index].Others;
            continue;
        }
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS || size > ValueDataSize) {
            Held.Keys[index].State = KeyUnreadable;
            break;
        }
        name[sizeof(name) - 1] = '\0';
        HoldValue(&Held.Keys[index], name, type, data, size);
    }
}

// Adds a held key for path and reads it. *key is left open when it could be
// opened (and key is not NULL); *openResult gets the answer of opening it.
int ReadHeldKey(HKEY hive, const char* path, int parent, HKEY* key, LONG* openResult)
{
    HeldKey held;
    memset(&held, 0, sizeof(held));
    held.Hive = hive;
    held.Parent = parent;
    held.First = Held.ValueCount;
    if (!AddText(path, &held.Path) ||
        !Grow((void**)&Held.Keys, &Held.KeyCapacity, Held.KeyCount + 1, sizeof(HeldKey)))
        return -1;
    int index = (int)Held.KeyCount++;
    Held.Keys[index] = held;
    HKEY opened;
    LONG rc = OpenSettingsKey(hive, path, &opened);
    if (openResult != NULL)
        *openResult = rc;
    if (rc != ERROR_SUCCESS) {
        Held.Keys[index].State = IsMissingKey(rc) ? KeyMissing : KeyUnreadable;
        return index;
    }
    ReadValues(index, opened);
    if (key != NULL)
        *key = opened;
    else
        CloseSettingsKey(opened);
    return index;
}

// The held key that the key at path inherits from, read now when the walk
// did not pass it on its way down; -1 for the built-in table.
int ParentOf(HKEY hive, const char* path, const int* walk, int depth)
{
    char parent[LevelPathSize];
    if (!GetParentLevelPath(parent, path))
        return -1;
    for (int i = depth - 1; i >= 0; --i) {
        const HeldKey* level = &Held.Keys[walk[i]];
        if (level->Hive == hive && strcmp(PoolText(level->Path), parent) == 0)
            return walk[i];
    }
    int grandparent = ParentOf(hive, parent, walk, depth);
    return ReadHeldKey(hive, parent, grandparent, NULL, NULL);
}

const HeldValue* FindHeldValue(const HeldKey* key, const char* name)
{
    for (size_t i = 0; i < key->Count; ++i) {
        const HeldValue* value = ValueOf(key, i);
        if (!(value->Flags & ValueDeleted) && EqualIgnoringCase(PoolText(value->Name), name))
            return value;
    }
    return NULL;
}
