// A registry tree held in memory, and how a command's end state reaches
// the registry: the keys the tool edits are read once into a model, the
// command runs on the model, and only the difference between the reading
// and the result is written. Written all or nothing: every key is opened
// with the rights its edits need before the first write, checked against
// the reading, and restored from the reading should a write still fail.
// Platform-free, so that the apply step runs natively against a model.
#ifndef ZEVR_REGMODEL_H
#define ZEVR_REGMODEL_H

#include <stdint.h>

#include <map>
#include <string>
#include <vector>

struct TreeValue {
    std::string Name;
    uint32_t Type;
    std::string Data;
};

struct TreeKey {
    std::string Path; // from the hive's name, as stored: "HKEY_CURRENT_USER\Software\..."
    std::vector<TreeValue> Values;
    std::vector<std::string> Children; // their Ids, in the order read or made
    // Above the keys read: known to exist, its values and other children
    // never read, never part of a difference.
    bool Outside = false;
};

// Keys by Id: the path with ASCII letters folded, as the registry matches
// names without regard to case.
struct RegModel {
    std::map<std::string, TreeKey> Keys;
};

std::string FoldName(const std::string& name);
// The Id of the key at path ("HIVE\a\b"); the parent's is the path's head.
std::string KeyId(const std::string& path);
TreeKey* FindKey(RegModel* model, const std::string& path);
const TreeKey* FindKey(const RegModel& model, const std::string& path);
// The key at path, made with the missing keys above it; NULL when no key
// above it is in the model (nothing is made then).
TreeKey* MakeKey(RegModel* model, const std::string& path);
// Removes the key and everything below it.
void RemoveKey(RegModel* model, const std::string& path);
TreeValue* FindValue(TreeKey* key, const std::string& name);
const TreeValue* FindValue(const TreeKey& key, const std::string& name);
void PutValue(TreeKey* key, const TreeValue& value);
// 1 when the value was there.
int DropValue(TreeKey* key, const std::string& name);
// The last part of a path.
std::string LastName(const std::string& path);

// One value's data for people: a number, a quoted text, a list of texts, or
// the type and size.
std::string DescribeTreeValue(const TreeValue& value);

// What turns before into after: keys made (parents first), values set,
// values removed, keys removed (children first).
enum EditKind { EditMakeKey, EditSetValue, EditDropValue, EditDropKey };
struct TreeEdit {
    int Kind;
    std::string Key;  // the key's path
    TreeValue Value;  // set: the new value; drop: the old one
    bool Had = false; // set: the key held a value of that name before
    TreeValue Old;
};
std::vector<TreeEdit> DiffTrees(const RegModel& before, const RegModel& after);
// The difference for people, a line per key or value ("+" added, "-"
// removed, "~" changed), masks in octal; showKey, when given, spells each
// key's path as the registry view written names it.
std::string FormatEdits(const std::vector<TreeEdit>& edits,
                        std::string (*showKey)(const std::string&) = NULL);

// The registry under the apply step. Handles are the operations' own;
// results are 0 or an error code, which Reason turns into words.
enum { RightRead = 1, RightSetValue = 2, RightMakeKey = 4, RightDelete = 8 };
struct TreeOps {
    void* Context;
    // The existing key at path, opened level by level with the rights.
    long (*Open)(void* context, const std::string& path, int rights, void** handle);
    long (*MakeChild)(void* context, void* parent, const std::string& name, void** handle);
    // The key's values and its children's names as they are now.
    long (*Read)(void* context, void* handle, std::vector<TreeValue>* values,
                 std::vector<std::string>* children);
    long (*SetValue)(void* context, void* handle, const TreeValue& value);
    long (*DropValue)(void* context, void* handle, const std::string& name);
    long (*DropChild)(void* context, void* parent, const std::string& name);
    void (*Close)(void* context, void* handle);
    std::string (*Reason)(long code);
};

// What ApplyEdits did: 0 written (or, dry, writable), else the reason on
// Errors, a line each.
enum { ApplyDone, ApplyDenied, ApplyChanged, ApplyFailed };
struct ApplyReport {
    int Result = ApplyDone;
    std::vector<std::string> Errors;
};
// Opens every key the edits need, checks that each still holds what before
// read, and (unless dry) makes the edits; a failing edit undoes those made,
// from before.
ApplyReport ApplyEdits(const RegModel& before, const std::vector<TreeEdit>& edits,
                       const TreeOps& ops, bool dry);

#endif
