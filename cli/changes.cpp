// Changes: set, unset and import all end here. Each change is checked
// against its row and level, then the whole list runs on the model of the
// settings read once, values equal to what they inherit are pruned as the
// sheet does, and the rules between two values of one level (a minimum up
// to its maximum, a value that needs a flag) are checked on the result.
// Only the difference from the reading is written, all or nothing; a dry
// run prints it and writes nothing.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <set>
#include <string>
#include <vector>

#include "cfgfile.h"
#include "regtree.h"
#include "registry.h"
#include "serverlist.h"
#include "settings.h"
#include "store.h"
#include "commands.h"

static std::string DescribeChange(const Change& change)
{
    std::string text = change.Row->Name;
    if (change.Remove)
        return "unset " + text + " at " + DescribeLevel(change.Where);
    Reading reading;
    reading.Number = change.Number;
    reading.Text = change.Text;
    if (change.Row->Type == TypeMultiString)
        for (const char* p = change.Text.c_str(); *p != '\0'; p += strlen(p) + 1)
            reading.Entries.push_back(p);
    return text + " = " + InputForm(change.Row, reading, 1) + " at " + DescribeLevel(change.Where);
}

static uint32_t EffectiveNumber(const SettingRow* row, const Level& level)
{
    InheritedValue found;
    LookUpAt(row, level, &found);
    return found.Number;
}

// Every level's cache minimums above their maximums and values set while
// the flag they need is clear, as the pages would never store them.
std::vector<Breach> FindBreaches()
{
    std::vector<Breach> found;
    for (const Level& level : ListLevels()) {
        for (int i = 0; i < GetSettingCount(); ++i) {
            const SettingRow* row = GetSettingRow(i);
            if (row->Scope != ScopeLevels)
                continue;
            std::string where = DescribeLevel(level) + ": " + row->Name + " ";
            int isMinimum = 0;
            const SettingRow* other = FindPairedSetting(row, &isMinimum);
            if (other != NULL && isMinimum) {
                uint32_t minimum = EffectiveNumber(row, level);
                uint32_t maximum = EffectiveNumber(other, level);
                if (!IsPairInOrder(minimum, maximum))
                    found.push_back({where + std::to_string(minimum) + " is above " + other->Name +
                                         " " + std::to_string(maximum) +
                                         "; the page saves a minimum only up to its maximum",
                                     level, row, other});
            }
            other = FindRequiredSetting(row);
            if (other != NULL) {
                uint32_t value = EffectiveNumber(row, level);
                if (!IsRequirementMet(value, EffectiveNumber(other, level)))
                    found.push_back({where + std::to_string(value) + " needs " + other->Name +
                                         " 1; the page stores " + row->Name + " as 0 while " +
                                         other->Name + " is 0",
                                     level, row, other});
            }
        }
    }
    return found;
}

// Stores or removes one value in the model, as the typed setters store it.
static void ApplyChange(const Change& change)
{
    const SettingRow* row = change.Row;
    std::string path = RowKeyPath(row, change.Where);
    if (change.Remove) {
        TreeKey* key = FindKey(&SettingsTree, path);
        if (key != NULL)
            DropValue(key, row->Name);
        return;
    }
    TreeValue value = {row->Name, REG_DWORD, std::string((const char*)&change.Number, 4)};
    if (row->Type == TypeString) {
        value.Type = REG_SZ;
        value.Data = std::string(change.Text.c_str()) + '\0';
    } else if (row->Type == TypeMultiString) {
        value.Type = REG_MULTI_SZ;
        value.Data = change.Text;
    }
    PutValue(MakeKey(&SettingsTree, path), value);
}

// Every stored NFS client setting, as removals, for import --replace.
static std::vector<Change> RemoveEverything()
{
    std::vector<Change> removals;
    for (const Level& level : ListLevels()) {
        for (int i = 0; i < GetSettingCount(); ++i) {
            const SettingRow* row = GetSettingRow(i);
            // Machine-wide values once, with the top level.
            if (!IsNfsRow(row) || (row->Scope == ScopeMachine && level.Kind != SectionTop))
                continue;
            // Nothing a file can hold brings a kept value back: it stays.
            Reading reading = ReadOwnValue(row, level);
            if (!reading.Stored || reading.Kept)
                continue;
            Change change;
            change.Row = row;
            change.Where = level;
            change.Remove = true;
            removals.push_back(change);
        }
    }
    return removals;
}

// Removes, from the model, the keys below Servers that the command left
// without values and subkeys; keys that were empty already stay. Returns
// whether the key at path is still there.
static bool RemoveEmptied(const std::string& path)
{
    TreeKey* key = FindKey(&SettingsTree, path);
    if (key == NULL)
        return false;
    std::vector<std::string> children = key->Children;
    for (const std::string& child : children)
        RemoveEmptied(SettingsTree.Keys[child].Path);
    key = FindKey(&SettingsTree, path);
    if (!key->Values.empty() || !key->Children.empty())
        return true;
    const TreeKey* read = FindKey(StoredTree, path);
    if (read != NULL && read->Values.empty() && read->Children.empty())
        return true;
    RemoveKey(&SettingsTree, path);
    return false;
}

// The command's end state, worked out on the model: the changes (after the
// removals of --replace), the sheet's pruning pass, and the emptied keys
// removed.
static void ApplyAll(const std::vector<Change>& changes, bool replace)
{
    if (replace)
        for (const Change& removal : RemoveEverything())
            ApplyChange(removal);
    for (const Change& change : changes)
        ApplyChange(change);
    PruneInheritedValues();
    std::string servers = std::string(HiveName(HKEY_CURRENT_USER)) + "\\" +
                          BuildSettingsPath(HKEY_CURRENT_USER, GetNfsRootPath()) + "\\Servers";
    TreeKey* tree = FindKey(&SettingsTree, servers);
    if (tree == NULL)
        return;
    std::vector<std::string> children = tree->Children;
    for (const std::string& child : children)
        RemoveEmptied(SettingsTree.Keys[child].Path);
    // Servers itself only when this command made it.
    if (FindKey(StoredTree, servers) == NULL)
        RemoveEmptied(servers);
}

static void PrintErrors(const ApplyReport& report)
{
    for (const std::string& error : report.Errors)
        fprintf(stderr, "zevrcfg: %s\n", error.c_str());
}

// Works out the end state on the model; the rules between two values are
// checked on the result. Then only the difference from the reading is
// written (a dry run prints it and checks that it could be written).
int RunChanges(const std::vector<Change>& changes, bool replace, bool dryRun)
{
    LoadSettings();
    std::set<std::string> breachesBefore;
    for (const Breach& breach : FindBreaches())
        breachesBefore.insert(breach.Text);
    ApplyAll(changes, replace);
    std::vector<Breach> breaches = FindBreaches();
    WorkOnModel(NULL);
    int refused = 0;
    for (const Breach& breach : breaches) {
        if (breachesBefore.count(breach.Text))
            continue;
        // Named by the file's first line that sets either value there.
        int line = 0;
        for (const Change& change : changes)
            if (line == 0 && change.Line > 0 && SameLevel(change.Where, breach.Where) &&
                (change.Row == breach.First || change.Row == breach.Second))
                line = change.Line;
        if (line > 0)
            fprintf(stderr, "zevrcfg: line %d: %s\n", line, breach.Text.c_str());
        else
            fprintf(stderr, "zevrcfg: %s\n", breach.Text.c_str());
        refused = 1;
    }
    if (refused) {
        fprintf(stderr, "zevrcfg: nothing written\n");
        return ExitRefused;
    }
    // A value equal to what it inherits is not kept: say so, or the missing
    // line in the difference would puzzle.
    for (const Change& change : changes) {
        if (change.Remove)
            continue;
        const TreeKey* key = FindKey(SettingsTree, RowKeyPath(change.Row, change.Where));
        if (key == NULL || FindValue(*key, change.Row->Name) == NULL)
            printf("%s equals what it inherits: pruned, as the sheet does\n",
                   DescribeChange(change).c_str());
    }
    std::vector<TreeEdit> edits = DiffTrees(StoredTree, SettingsTree);
    ApplyReport report = ApplyEdits(StoredTree, edits, RegistryOps(), dryRun);
    if (dryRun || report.Result == ApplyDone) {
        fputs(edits.empty() ? "no change\n" : FormatEdits(edits, ShownKeyPath).c_str(), stdout);
        if (dryRun)
            printf("dry run: nothing written\n");
    }
    PrintErrors(report);
    if (report.Result == ApplyDone)
        return ExitDone;
    if (dryRun)
        fprintf(stderr, "zevrcfg: a real run would write nothing\n");
    else if (report.Result != ApplyFailed)
        fprintf(stderr, "zevrcfg: nothing written\n");
    else if (report.Errors.size() == 1)
        fprintf(stderr, "zevrcfg: what was written is restored as it was read\n");
    else
        fprintf(stderr, "zevrcfg: the rest is restored as it was read\n");
    return ExitRegistry;
}

const SettingRow* FindEditable(const std::string& name, std::string* error)
{
    const SettingRow* row = FindNfsSetting(name.c_str());
    if (row != NULL)
        return row;
    for (int i = 0; i < GetSettingCount(); ++i) {
        const SettingRow* other = GetSettingRow(i);
        if (lstrcmpiA(other->Name, name.c_str()) == 0) {
            *error = name + " is shown only: the " + GetPageName(other->Page) +
                     " page edits it, with rules of its own";
            return NULL;
        }
    }
    *error = "unknown setting " + name + " (zevrcfg show lists them)";
    return NULL;
}

// Checks the row against the level; a machine-wide value has no levels.
int CheckScope(const SettingRow* row, const Level& level, std::string* error)
{
    if (row->Scope == ScopeMachine && level.Kind != SectionTop && level.Kind != SectionMachine) {
        *error = std::string(row->Name) + " is machine-wide: it has no server or resource level";
        return 0;
    }
    if (row->Scope == ScopeLevels && level.Kind == SectionMachine) {
        *error = std::string(row->Name) + " is a mount default: it belongs to [top], [server] or "
                                          "[resource]";
        return 0;
    }
    return 1;
}

// Reads the page's text form of a value into change; clamps are allowed
// only where clamp is set.
int ParseChangeValue(const SettingRow* row, const std::string& input, bool clamp, Change* change,
                     std::string* error)
{
    uint32_t number = 0;
    std::string typed = input;
    // A host list is judged as the page's field holds it: joined by commas.
    std::vector<char> list(input.size() + 2);
    if (row->Type == TypeMultiString && SplitServerList(list.data(), list.size(), input.c_str()))
        typed = JoinServerList(list.data(), list.size());
    std::vector<char> text(typed.size() + ValueBufferSize);
    SettingCheck check = ParseSettingInput(row, typed.c_str(), &number, text.data(), text.size());
    if (check == SettingRefused || (check == SettingClamped && !clamp)) {
        char why[256];
        DescribeRefusal(row, typed.c_str(), why, sizeof(why));
        if (check == SettingClamped)
            *error = std::string(row->Name) + ": " + QuoteValue(input, 0) +
                     " is not accepted; the page accepts " + DescribeAcceptedOf(row) +
                     " (it would be clamped to " + std::to_string(number) + ")";
        else if (row->Type == TypeMultiString && typed.size() > row->Maximum)
            // A long list is described by its size rather than repeated.
            *error = std::string(row->Name) + ": " + why;
        else
            *error =
                std::string(row->Name) + ": " + QuoteValue(input, 0) + " is not accepted; " + why;
        return 0;
    }
    if (check == SettingClamped)
        fprintf(stderr, "zevrcfg: %s: %s clamped to %lu, as the page does\n", row->Name,
                input.c_str(), (unsigned long)number);
    change->Number = number;
    if (row->Type == TypeString) {
        change->Text = text.data();
    } else if (row->Type == TypeMultiString) {
        SplitServerList(list.data(), list.size(), text.data());
        change->Text.assign(list.data(), MultiStringSize(list.data()));
    }
    return 1;
}
