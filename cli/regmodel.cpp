#include "regmodel.h"

#include <stdio.h>
#include <string.h>

#include <set>

#include "cfgfile.h"
#include "settings.h"

enum { TypeText = 1, TypeNumber = 4, TypeList = 7 };

std::string FoldName(const std::string& name)
{
    std::string folded = name;
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    return folded;
}

std::string KeyId(const std::string& path)
{
    return FoldName(path);
}

static std::string HeadOf(const std::string& path)
{
    size_t at = path.rfind('\\');
    return at == std::string::npos ? std::string() : path.substr(0, at);
}

std::string LastName(const std::string& path)
{
    size_t at = path.rfind('\\');
    return at == std::string::npos ? path : path.substr(at + 1);
}

TreeKey* FindKey(RegModel* model, const std::string& path)
{
    auto found = model->Keys.find(KeyId(path));
    return found == model->Keys.end() ? NULL : &found->second;
}

const TreeKey* FindKey(const RegModel& model, const std::string& path)
{
    auto found = model.Keys.find(KeyId(path));
    return found == model.Keys.end() ? NULL : &found->second;
}

TreeKey* MakeKey(RegModel* model, const std::string& path)
{
    TreeKey* key = FindKey(model, path);
    if (key != NULL)
        return key;
    std::string head = HeadOf(path);
    TreeKey* parent = head.empty() ? NULL : MakeKey(model, head);
    if (parent == NULL)
        return NULL;
    // The parent's name as stored, the new part as given.
    std::string id = KeyId(path);
    parent->Children.push_back(id);
    TreeKey& made = model->Keys[id];
    made.Path = parent->Path + "\\" + LastName(path);
    return &made;
}

void RemoveKey(RegModel* model, const std::string& path)
{
    std::string id = KeyId(path);
    auto found = model->Keys.find(id);
    if (found == model->Keys.end())
        return;
    std::vector<std::string> children = found->second.Children;
    for (const std::string& child : children)
        RemoveKey(model, child);
    TreeKey* parent = FindKey(model, HeadOf(id));
    if (parent != NULL)
        for (size_t i = 0; i < parent->Children.size(); ++i)
            if (parent->Children[i] == id) {
                parent->Children.erase(parent->Children.begin() + i);
                break;
            }
    model->Keys.erase(id);
}

TreeValue* FindValue(TreeKey* key, const std::string& name)
{
    std::string folded = FoldName(name);
    for (TreeValue& value : key->Values)
        if (FoldName(value.Name) == folded)
            return &value;
    return NULL;
}

const TreeValue* FindValue(const TreeKey& key, const std::string& name)
{
    return FindValue(const_cast<TreeKey*>(&key), name);
}

void PutValue(TreeKey* key, const TreeValue& value)
{
    TreeValue* found = FindValue(key, value.Name);
    if (found == NULL) {
        key->Values.push_back(value);
        return;
    }
    // The registry keeps the stored name's case when a value is set again.
    found->Type = value.Type;
    found->Data = value.Data;
}

int DropValue(TreeKey* key, const std::string& name)
{
    std::string folded = FoldName(name);
    for (size_t i = 0; i < key->Values.size(); ++i)
        if (FoldName(key->Values[i].Name) == folded) {
            key->Values.erase(key->Values.begin() + i);
            return 1;
        }
    return 0;
}

std::string DescribeTreeValue(const TreeValue& value)
{
    char text[64];
    if (value.Type == TypeNumber && value.Data.size() == 4) {
        uint32_t number;
        memcpy(&number, value.Data.data(), 4);
        snprintf(text, sizeof(text), "%lu", (unsigned long)number);
        return text;
    }
    if (value.Type == TypeText)
        return QuoteValue(std::string(value.Data.c_str()), 1);
    if (value.Type == TypeList) {
        std::vector<std::string> entries;
        for (size_t at = 0; at < value.Data.size() && value.Data[at] != '\0';) {
            std::string entry(value.Data.c_str() + at);
            entries.push_back(entry);
            at += entry.size() + 1;
        }
        return "{" + EncodeList(entries) + "}";
    }
    snprintf(text, sizeof(text), "(type %lu, %lu bytes)", (unsigned long)value.Type,
             (unsigned long)value.Data.size());
    return text;
}

static bool SameData(const TreeValue& a, const TreeValue& b)
{
    return a.Type == b.Type && a.Data == b.Data;
}

std::vector<TreeEdit> DiffTrees(const RegModel& before, const RegModel& after)
{
    std::vector<TreeEdit> makes, sets, drops, dropKeys;
    // By Id a parent sorts before its children.
    for (const auto& entry : after.Keys) {
        const TreeKey& key = entry.second;
        if (key.Outside)
            continue;
        const TreeKey* old = FindKey(before, key.Path);
        if (old == NULL) {
            TreeEdit edit;
            edit.Kind = EditMakeKey;
            edit.Key = key.Path;
            makes.push_back(edit);
        }
        for (const TreeValue& value : key.Values) {
            const TreeValue* was = old != NULL ? FindValue(*old, value.Name) : NULL;
            if (was != NULL && SameData(*was, value))
                continue;
            TreeEdit edit;
            edit.Kind = EditSetValue;
            edit.Key = old != NULL ? old->Path : key.Path;
            edit.Value = value;
            if (was != NULL) {
                edit.Had = true;
                edit.Old = *was;
                edit.Value.Name = was->Name;
            }
            sets.push_back(edit);
        }
    }
    for (auto entry = before.Keys.rbegin(); entry != before.Keys.rend(); ++entry) {
        const TreeKey& key = entry->second;
        if (key.Outside)
            continue;
        const TreeKey* now = FindKey(after, key.Path);
        for (const TreeValue& value : key.Values) {
            if (now != NULL && FindValue(*now, value.Name) != NULL)
                continue;
            TreeEdit edit;
            edit.Kind = EditDropValue;
            edit.Key = key.Path;
            edit.Value = value;
            drops.push_back(edit);
        }
        if (now == NULL) {
            TreeEdit edit;
            edit.Kind = EditDropKey;
            edit.Key = key.Path;
            dropKeys.push_back(edit);
        }
    }
    std::vector<TreeEdit> edits = makes;
    edits.insert(edits.end(), sets.begin(), sets.end());
    edits.insert(edits.end(), drops.begin(), drops.end());
    edits.insert(edits.end(), dropKeys.begin(), dropKeys.end());
    return edits;
}

// A mask in octal, as it is typed and exported; any other value as stored.
static std::string DescribeEditValue(const TreeValue& value)
{
    const SettingRow* row = FindNfsSetting(value.Name.c_str());
    if (row != NULL && row->Kind == KindMask && value.Type == TypeNumber &&
        value.Data.size() == 4) {
        uint32_t number;
        memcpy(&number, value.Data.data(), 4);
        char text[16];
        snprintf(text, sizeof(text), "0%lo", (unsigned long)number);
        return text;
    }
    return DescribeTreeValue(value);
}

static std::string FormatEdit(const TreeEdit& edit,
                              std::string (*showKey)(const std::string&) = NULL)
{
    std::string key = showKey != NULL ? showKey(edit.Key) : edit.Key;
    switch (edit.Kind) {
    case EditMakeKey:
        return "+ " + key;
    case EditDropKey:
        return "- " + key;
    case EditDropValue:
        return "- " + key + ": " + edit.Value.Name + " = " + DescribeEditValue(edit.Value);
    }
    if (edit.Had)
        return "~ " + key + ": " + edit.Value.Name + " = " + DescribeEditValue(edit.Old) + " -> " +
               DescribeEditValue(edit.Value);
    return "+ " + key + ": " + edit.Value.Name + " = " + DescribeEditValue(edit.Value);
}

std::string FormatEdits(const std::vector<TreeEdit>& edits,
                        std::string (*showKey)(const std::string&))
{
    std::string text;
    for (const TreeEdit& edit : edits)
        text += FormatEdit(edit, showKey) + "\n";
    return text;
}

// ---- apply -----------------------------------------------------------------

struct Needs {
    std::string Path;
    int Rights = RightRead;
    bool CheckValues = false;        // its values change: they must be as read
    bool CheckChildren = false;      // it goes: its children must be as read
    std::vector<std::string> Unmade; // children to make: none may exist yet
};

static const char* RightsWord(int rights)
{
    if (rights & RightDelete)
        return "remove";
    if (rights & RightSetValue)
        return "change the values of";
    if (rights & RightMakeKey)
        return "make keys below";
    return "read";
}

static bool SameValues(const std::vector<TreeValue>& now, const TreeKey& read)
{
    if (now.size() != read.Values.size())
        return false;
    for (const TreeValue& value : now) {
        const TreeValue* was = FindValue(read, value.Name);
        if (was == NULL || !SameData(*was, value))
            return false;
    }
    return true;
}

static bool SameChildren(const std::vector<std::string>& now, const TreeKey& read)
{
    std::set<std::string> names;
    for (const std::string& child : read.Children)
        names.insert(FoldName(LastName(child)));
    std::set<std::string> current;
    for (const std::string& name : now)
        current.insert(FoldName(name));
    return names == current;
}

// Opens and checks every key the edits touch; the handles land in opened.
static ApplyReport Prepare(const RegModel& before, const std::vector<TreeEdit>& edits,
                           const TreeOps& ops, std::map<std::string, void*>* opened)
{
    ApplyReport report;
    std::map<std::string, Needs> needs;
    std::set<std::string> made;
    for (const TreeEdit& edit : edits) {
        std::string id = KeyId(edit.Key);
        if (edit.Kind == EditMakeKey) {
            made.insert(id);
            std::string parent = HeadOf(id);
            if (made.count(parent))
                continue;
            const TreeKey* read = FindKey(before, parent);
            Needs& need = needs[parent];
            need.Path = read != NULL ? read->Path : HeadOf(edit.Key);
            need.Rights |= RightMakeKey;
            need.Unmade.push_back(LastName(edit.Key));
        } else if (!made.count(id)) {
            Needs& need = needs[id];
            need.Path = edit.Key;
            if (edit.Kind == EditDropKey) {
                need.Rights |= RightDelete;
                need.CheckChildren = true;
                Needs& parent = needs[HeadOf(id)];
                parent.Path = HeadOf(edit.Key);
            } else {
                need.Rights |= RightSetValue;
            }
            need.CheckValues = true;
        }
    }
    for (auto& entry : needs) {
        Needs& need = entry.second;
        void* handle = NULL;
        long rc = ops.Open(ops.Context, need.Path, need.Rights, &handle);
        if (rc != 0) {
            report.Errors.push_back("cannot " + std::string(RightsWord(need.Rights)) + " " +
                                    need.Path + ": " + ops.Reason(rc));
            report.Result = ApplyDenied;
            continue;
        }
        (*opened)[entry.first] = handle;
    }
    if (report.Result != ApplyDone)
        return report;
    // What is about to change must still be what was read: a sheet or
    // another run may have written since.
    for (auto& entry : needs) {
        Needs& need = entry.second;
        std::vector<TreeValue> values;
        std::vector<std::string> children;
        long rc = ops.Read(ops.Context, (*opened)[entry.first], &values, &children);
        const TreeKey* read = FindKey(before, need.Path);
        bool same = rc == 0 && read != NULL;
        if (same && need.CheckValues)
            same = SameValues(values, *read);
        if (same && need.CheckChildren)
            same = SameChildren(children, *read);
        for (const std::string& name : need.Unmade)
            for (const std::string& child : children)
                if (FoldName(child) == FoldName(name))
                    same = false;
        if (!same) {
            report.Errors.push_back(need.Path + " changed meanwhile");
            report.Result = ApplyChanged;
        }
    }
    return report;
}

// The open key by Id; NULL when it is not open (its making failed).
static void* HandleOf(const std::map<std::string, void*>& opened, const std::string& id)
{
    auto found = opened.find(id);
    return found == opened.end() ? NULL : found->second;
}

// What the registry says of a handle that is not open.
static const long NotOpen = 6;

static long MakeChildOf(const std::string& path, const TreeOps& ops,
                        std::map<std::string, void*>* opened)
{
    std::string id = KeyId(path);
    void* parent = HandleOf(*opened, HeadOf(id));
    void* handle = NULL;
    long rc =
        parent == NULL ? NotOpen : ops.MakeChild(ops.Context, parent, LastName(path), &handle);
    if (rc == 0)
        (*opened)[id] = handle;
    return rc;
}

static long DropChildOf(const std::string& path, const TreeOps& ops,
                        std::map<std::string, void*>* opened)
{
    std::string id = KeyId(path);
    void* parent = HandleOf(*opened, HeadOf(id));
    long rc = parent == NULL ? NotOpen : ops.DropChild(ops.Context, parent, LastName(path));
    // Its own handle goes only with the key: an undo may still need it.
    void* handle = HandleOf(*opened, id);
    if (rc == 0 && handle != NULL) {
        ops.Close(ops.Context, handle);
        opened->erase(id);
    }
    return rc;
}

static long SetOrDrop(const std::string& path, const TreeValue* value, const std::string& name,
                      const TreeOps& ops, const std::map<std::string, void*>& opened)
{
    void* handle = HandleOf(opened, KeyId(path));
    if (handle == NULL)
        return NotOpen;
    return value != NULL ? ops.SetValue(ops.Context, handle, *value)
                         : ops.DropValue(ops.Context, handle, name);
}

static long Undo(const TreeEdit& edit, const TreeOps& ops, std::map<std::string, void*>* opened)
{
    switch (edit.Kind) {
    case EditMakeKey:
        return DropChildOf(edit.Key, ops, opened);
    case EditSetValue:
        return SetOrDrop(edit.Key, edit.Had ? &edit.Old : NULL, edit.Value.Name, ops, *opened);
    case EditDropValue:
        return SetOrDrop(edit.Key, &edit.Value, "", ops, *opened);
    }
    return MakeChildOf(edit.Key, ops, opened);
}

static long Do(const TreeEdit& edit, const TreeOps& ops, std::map<std::string, void*>* opened)
{
    switch (edit.Kind) {
    case EditMakeKey:
        return MakeChildOf(edit.Key, ops, opened);
    case EditSetValue:
        return SetOrDrop(edit.Key, &edit.Value, "", ops, *opened);
    case EditDropValue:
        return SetOrDrop(edit.Key, NULL, edit.Value.Name, ops, *opened);
    }
    return DropChildOf(edit.Key, ops, opened);
}

ApplyReport ApplyEdits(const RegModel& before, const std::vector<TreeEdit>& edits,
                       const TreeOps& ops, bool dry)
{
    std::map<std::string, void*> opened;
    ApplyReport report = Prepare(before, edits, ops, &opened);
    if (report.Result == ApplyDone && !dry) {
        size_t done = 0;
        long rc = 0;
        for (; done < edits.size(); ++done)
            if ((rc = Do(edits[done], ops, &opened)) != 0)
                break;
        if (done < edits.size()) {
            report.Result = ApplyFailed;
            report.Errors.push_back("the registry refused " + FormatEdit(edits[done]) + ": " +
                                    ops.Reason(rc));
            while (done-- > 0) {
                rc = Undo(edits[done], ops, &opened);
                if (rc != 0)
                    report.Errors.push_back("could not restore " + FormatEdit(edits[done]) + ": " +
                                            ops.Reason(rc));
            }
        }
    }
    for (auto& entry : opened)
        if (entry.second != NULL)
            ops.Close(ops.Context, entry.second);
    return report;
}
