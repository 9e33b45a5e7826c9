// The apply step of the tool against a registry model: all or nothing, and
// a write that fails midway undone from the reading.
#include "regmodel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

// The registry under test, and how it misbehaves.
struct Fake {
    RegModel Registry;
    std::set<std::string> Denied; // keys that open for reading only
    int Writes = 0;
    int FailFrom = -1; // this write and every later one fail
    int FailOnly = -1; // this write alone fails
};

Fake* Now;

long Open(void*, const std::string& path, int rights, void** handle)
{
    if (FindKey(&Now->Registry, path) == NULL)
        return 2;
    if ((rights & ~RightRead) && Now->Denied.count(KeyId(path)))
        return 5;
    *handle = new std::string(path);
    return 0;
}

bool Fails()
{
    int write = Now->Writes++;
    return (Now->FailFrom >= 0 && write >= Now->FailFrom) || write == Now->FailOnly;
}

TreeKey* KeyAt(void* handle)
{
    return FindKey(&Now->Registry, *(std::string*)handle);
}

long MakeChild(void*, void* parent, const std::string& name, void** handle)
{
    if (Fails())
        return 5;
    std::string path = *(std::string*)parent + "\\" + name;
    MakeKey(&Now->Registry, path);
    *handle = new std::string(path);
    return 0;
}

long Read(void*, void* handle, std::vector<TreeValue>* values, std::vector<std::string>* children)
{
    TreeKey* key = KeyAt(handle);
    if (key == NULL)
        return 1018;
    *values = key->Values;
    for (const std::string& child : key->Children)
        children->push_back(LastName(Now->Registry.Keys[child].Path));
    return 0;
}

long SetValue(void*, void* handle, const TreeValue& value)
{
    if (Fails())
        return 5;
    PutValue(KeyAt(handle), value);
    return 0;
}

long DropValueOp(void*, void* handle, const std::string& name)
{
    if (Fails())
        return 5;
    return DropValue(KeyAt(handle), name) ? 0 : 2;
}

long DropChild(void*, void* parent, const std::string& name)
{
    if (Fails())
        return 5;
    std::string path = *(std::string*)parent + "\\" + name;
    if (FindKey(&Now->Registry, path) == NULL || !FindKey(&Now->Registry, path)->Children.empty())
        return 5;
    RemoveKey(&Now->Registry, path);
    return 0;
}

void Close(void*, void* handle)
{
    delete (std::string*)handle;
}

std::string Reason(long code)
{
    return "error " + std::to_string(code);
}

const TreeOps Ops = {NULL, Open, MakeChild, Read, SetValue, DropValueOp, DropChild, Close, Reason};

// Every key and value, sorted: the registry keeps no order that matters.
std::string Dump(const RegModel& model)
{
    std::vector<std::string> lines;
    for (const auto& entry : model.Keys) {
        lines.push_back(entry.second.Path);
        for (const TreeValue& value : entry.second.Values)
            lines.push_back(entry.second.Path + ": " + value.Name + " = " +
                            std::to_string(value.Type) + ":" + value.Data);
    }
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

TreeValue Number(const char* name, uint32_t number)
{
    return TreeValue{name, 4, std::string((const char*)&number, 4)};
}

const char Root[] = "HKEY_CURRENT_USER\\Software\\Suite";

// A reading with a value to change, one to drop, a key to empty and remove
// (with a subkey), and a server whose name differs only in case from the
// key the result writes.
RegModel Reading()
{
    RegModel model;
    TreeKey& hive = model.Keys[KeyId("HKEY_CURRENT_USER")];
    hive.Path = "HKEY_CURRENT_USER";
    hive.Outside = true;
    MakeKey(&model, "HKEY_CURRENT_USER\\Software")->Outside = true;
    PutValue(MakeKey(&model, std::string(Root) + "\\Top"), Number("RSize", 1024));
    PutValue(FindKey(&model, std::string(Root) + "\\Top"), Number("WSize", 2048));
    PutValue(MakeKey(&model, std::string(Root) + "\\Servers\\nas1\\Defaults"),
             Number("Retries", 3));
    PutValue(MakeKey(&model, std::string(Root) + "\\Servers\\old\\Defaults"), Number("Retries", 1));
    MakeKey(&model, std::string(Root) + "\\Servers\\old\\Resources\\r");
    return model;
}

RegModel Result(const RegModel& reading)
{
    RegModel model = reading;
    PutValue(FindKey(&model, std::string(Root) + "\\Top"), Number("RSize", 4096));
    DropValue(FindKey(&model, std::string(Root) + "\\Top"), "WSize");
    PutValue(FindKey(&model, std::string(Root) + "\\Servers\\NAS1\\Defaults"),
             Number("Timeout", 9));
    RemoveKey(&model, std::string(Root) + "\\Servers\\old");
    PutValue(MakeKey(&model, std::string(Root) + "\\Servers\\new\\Resources\\r\\Defaults"),
             Number("ReadOnly", 1));
    return model;
}

} // namespace

TEST(ApplyStep, WritesOnlyTheDifferenceInTheStoredCase)
{
    RegModel reading = Reading(), result = Result(reading);
    std::vector<TreeEdit> edits = DiffTrees(reading, result);
    // "@" stands for the root.
    std::string expected = "+ @\\Servers\\new\n"
                           "+ @\\Servers\\new\\Resources\n"
                           "+ @\\Servers\\new\\Resources\\r\n"
                           "+ @\\Servers\\new\\Resources\\r\\Defaults\n"
                           "+ @\\Servers\\nas1\\Defaults: Timeout = 9\n"
                           "+ @\\Servers\\new\\Resources\\r\\Defaults: ReadOnly = 1\n"
                           "~ @\\Top: RSize = 1024 -> 4096\n"
                           "- @\\Top: WSize = 2048\n"
                           "- @\\Servers\\old\\Defaults: Retries = 1\n"
                           "- @\\Servers\\old\\Resources\\r\n"
                           "- @\\Servers\\old\\Resources\n"
                           "- @\\Servers\\old\\Defaults\n"
                           "- @\\Servers\\old\n";
    for (size_t at; (at = expected.find('@')) != std::string::npos;)
        expected.replace(at, 1, Root);
    EXPECT_EQ(expected, FormatEdits(edits));
    EXPECT_TRUE(DiffTrees(reading, reading).empty());

    Fake fake;
    Now = &fake;
    fake.Registry = reading;
    ApplyReport dry = ApplyEdits(reading, edits, Ops, true);
    EXPECT_EQ(ApplyDone, dry.Result);
    EXPECT_EQ(Dump(reading), Dump(fake.Registry));
    ApplyReport report = ApplyEdits(reading, edits, Ops, false);
    EXPECT_EQ(ApplyDone, report.Result);
    EXPECT_EQ(Dump(result), Dump(fake.Registry));
}

TEST(ApplyStep, AWriteThatFailsMidwayIsUndoneFromTheReading)
{
    RegModel reading = Reading(), result = Result(reading);
    std::vector<TreeEdit> edits = DiffTrees(reading, result);
    for (int failing = 0; failing < (int)edits.size(); ++failing) {
        Fake fake;
        Now = &fake;
        fake.Registry = reading;
        fake.FailOnly = failing;
        ApplyReport report = ApplyEdits(reading, edits, Ops, false);
        ASSERT_EQ(ApplyFailed, report.Result) << failing;
        std::string refused = FormatEdits({edits[failing]});
        refused.pop_back();
        EXPECT_EQ(std::vector<std::string>{"the registry refused " + refused + ": error 5"},
                  report.Errors);
        EXPECT_EQ(Dump(reading), Dump(fake.Registry)) << "failing write " << failing;

        // The undos fail too: each write made is named as not restored.
        fake.Registry = reading;
        fake.Writes = 0;
        fake.FailOnly = -1;
        fake.FailFrom = failing;
        report = ApplyEdits(reading, edits, Ops, false);
        ASSERT_EQ((size_t)failing + 1, report.Errors.size()) << failing;
        if (failing > 0)
            EXPECT_EQ("could not restore " + FormatEdits({edits[0]}).substr(0, 10),
                      report.Errors.back().substr(0, 28));
    }
}

TEST(ApplyStep, ADeniedOrChangedKeyStopsEverythingBeforeTheFirstWrite)
{
    RegModel reading = Reading(), result = Result(reading);
    std::vector<TreeEdit> edits = DiffTrees(reading, result);
    struct {
        const char* what;
        void (*spoil)(Fake* fake);
        int result;
        const char* error;
    } rows[] = {
        {"a value to change denied",
         [](Fake* f) { f->Denied.insert(KeyId(std::string(Root) + "\\Top")); }, ApplyDenied,
         "cannot change the values of HKEY_CURRENT_USER\\Software\\Suite\\Top: error 5"},
        {"a key to remove denied",
         [](Fake* f) {
             f->Denied.insert(KeyId(std::string(Root) + "\\Servers\\old\\Resources\\r"));
         },
         ApplyDenied,
         "cannot remove HKEY_CURRENT_USER\\Software\\Suite\\Servers\\old\\Resources\\r"},
        {"the parent of a key to make denied",
         [](Fake* f) { f->Denied.insert(KeyId(std::string(Root) + "\\Servers")); }, ApplyDenied,
         "cannot make keys below HKEY_CURRENT_USER\\Software\\Suite\\Servers: error 5"},
        {"a value written meanwhile",
         [](Fake* f) {
             PutValue(FindKey(&f->Registry, std::string(Root) + "\\Top"), Number("RSize", 512));
         },
         ApplyChanged, "HKEY_CURRENT_USER\\Software\\Suite\\Top changed meanwhile"},
        {"a key to make made meanwhile",
         [](Fake* f) { MakeKey(&f->Registry, std::string(Root) + "\\Servers\\NEW"); }, ApplyChanged,
         "HKEY_CURRENT_USER\\Software\\Suite\\Servers changed meanwhile"},
        {"a key to remove given a subkey meanwhile",
         [](Fake* f) { MakeKey(&f->Registry, std::string(Root) + "\\Servers\\old\\Resources\\s"); },
         ApplyChanged,
         "HKEY_CURRENT_USER\\Software\\Suite\\Servers\\old\\Resources changed meanwhile"},
    };
    for (const auto& row : rows) {
        for (bool dry : {true, false}) {
            Fake fake;
            Now = &fake;
            fake.Registry = reading;
            row.spoil(&fake);
            std::string spoiled = Dump(fake.Registry);
            ApplyReport report = ApplyEdits(reading, edits, Ops, dry);
            EXPECT_EQ(row.result, report.Result) << row.what;
            ASSERT_FALSE(report.Errors.empty()) << row.what;
            EXPECT_EQ(0u, report.Errors[0].find(row.error)) << row.what << ": " << report.Errors[0];
            EXPECT_EQ(spoiled, Dump(fake.Registry)) << row.what;
        }
    }
}
