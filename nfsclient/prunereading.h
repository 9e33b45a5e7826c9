// The pruning pass's reading of the defaults keys, shared by the pass's two
// files and by nothing else: the values of every key read so far, held in
// one pool of texts, with the level each key inherits from. prunereading.cpp
// fills and looks up the reading; prune.cpp decides, deletes and walks.
#pragma once

#include <stddef.h>

#include "registry.h"

enum {
    // A sub-key name of 255 characters does not fit and is skipped; it could
    // not be part of a settings path anyway.
    SubKeyNameSize = 255,
    ValueNameSize = 256,
    // Texts longer than this are neither inherited nor pruned, as with the
    // lookups' 256-byte buffer.
    ValueDataSize = 256,
    // Levels of the walk remembered on its way down; deeper ones are read
    // again when a lookup needs them.
    WalkDepth = 32,
};

// How a held value answers a lookup of its name. Values of other types, or
// too long to read, answer nothing: they are not held, only counted.
enum HeldKind { KindNumber, KindShortNumber, KindText };
enum ValueFlags {
    ValueDeleted = 1,
    ValueListed = 2,
    // Its comparison was not certain, or its deletion failed: the next pass
    // of the same apply looks at it again.
    ValueUndecided = 4,
};
struct HeldValue {
    size_t Name; // offsets into the text pool, which moves as it grows
    size_t Text;
    DWORD Number;
    unsigned char Kind;
    unsigned char Prunable; // the key's own value can be compared
    unsigned char Flags;
};

enum KeyState { KeyMissing, KeyRead, KeyUnreadable };
enum KeyFlags {
    KeyPruned = 1,   // the walk prunes it, rather than only reading it for lookups
    KeyCheckAll = 2, // every value is looked at again by the next pass
    KeyReread = 4,   // read again by the second pass: the keys below check all
    KeyDeleteFailed = 8,
    // A name with bytes outside ASCII: the registry may match it to a name
    // that an ASCII comparison does not.
    KeyForeignNames = 16,
};
struct HeldKey {
    HKEY Hive;
    size_t Path;
    int Parent; // the level it inherits from, or -1 for the built-in table
    size_t First;
    size_t Count;
    DWORD Others; // values that are not held
    unsigned char State;
    unsigned char Flags;
};

struct HeldReading {
    HeldKey* Keys;
    size_t KeyCount, KeyCapacity;
    HeldValue* Values;
    size_t ValueCount, ValueCapacity;
    char* Pool;
    size_t PoolUsed, PoolCapacity;
    // Memory ran out: nothing more is deleted, and nothing is kept.
    int Failed;
};

extern HeldReading Held;
// The reading is kept after the pass, for PruneAfterPageSaves.
extern int KeepReading;
extern int ReadingKept;

int Grow(void** block, size_t* capacity, size_t needed, size_t unit);
void DropReading();
const char* PoolText(size_t offset);
int AddText(const char* text, size_t* offset);
HeldValue* ValueOf(const HeldKey* key, size_t i);
int HasForeignBytes(const char* text);
void HoldValue(HeldKey* key, const char* name, DWORD type, BYTE* data, DWORD size);
int IsMissingKey(LONG rc);
void ReadValues(int index, HKEY key);
int ReadHeldKey(HKEY hive, const char* path, int parent, HKEY* key, LONG* openResult);
int ParentOf(HKEY hive, const char* path, const int* walk, int depth);
const HeldValue* FindHeldValue(const HeldKey* key, const char* name);
