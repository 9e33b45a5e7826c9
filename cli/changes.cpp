// Changes: set, unset and import all end here. Each change is checked
// against its row and level, then the whole list runs on a scratch copy of
// the settings first, so that the rules between two values of one level
// (a minimum up to its maximum, a value that needs a flag) are checked on
// the result; a dry run stops there. Otherwise the changes are made for
// real, values equal to what they inherit are pruned as the sheet does,
// and the difference is printed.
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

// Every key the tool edits, for snapshots and scratch copies.
static std::vector<KeyName> EditedRoots()
{
    std::vector<KeyName> roots;
    roots.push_back({HKEY_CURRENT_USER, BuildSettingsPath(HKEY_CURRENT_USER, GetNfsRootPath())});
    std::set<std::string> seen;
    for (int i = 0; i < GetSettingCount(); ++i) {
        const SettingRow* row = GetSettingRow(i);
        if (!IsNfsRow(row) || row->Scope != ScopeMachine)
            continue;
        std::string path = KeyFullPath(row, row->Key);
        if (seen.insert(path).second)
            roots.push_back({HiveOf(row), path});
    }
    return roots;
}

static uint32_t EffectiveNumber(const SettingRow* row, const Level& level)
{
    InheritedValue found;
    LookUpMountDefault(HKEY_CURRENT_USER, KeySubPath(row, level).c_str(), row->Name, REG_DWORD, 1,
                       &found);
    return found.Number;
}

// Every level's cache minimums above their maximums and values set while
// the flag they need is clear, as the pages would never store them.
std::vector<Breach> FindBreaches()
{
    std::vector<Breach> found;
    for (const Level& level : ListLevels()) {
        if (!LevelNamesFit(level))
            continue;
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

static LONG OpenForChange(const SettingRow* row, const std::string& subPath, bool create, HKEY* key)
{
    if (row->Absolute)
        return create ? CreateKeyAbsolute(HiveOf(row), subPath.c_str(), key)
                      : RegOpenKeyExA(HiveOf(row), subPath.c_str(), 0, KEY_ALL_ACCESS, key);
    return create ? CreateSettingsKey(HiveOf(row), subPath.c_str(), key)
                  : OpenSettingsKey(HiveOf(row), subPath.c_str(), key);
}

// Stores or removes one value through the library's typed setters.
static int ApplyChange(const Change& change)
{
    const SettingRow* row = change.Row;
    std::string path = KeySubPath(row, change.Where);
    HKEY key;
    LONG rc = OpenForChange(row, path, !change.Remove, &key);
    if (change.Remove) {
        if (rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND)
            return 1;
        if (rc != ERROR_SUCCESS)
            return 0;
        rc = DeleteSettingsValue(key, row->Name);
        CloseSettingsKey(key);
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    }
    if (rc != ERROR_SUCCESS)
        return 0;
    int done;
    if (row->Type == TypeDword)
        done = SetDwordValue(key, row->Name, change.Number);
    else if (row->Type == TypeString)
        done = SetStringValue(key, row->Name, change.Text.c_str());
    else
        done = SetMultiStringValue(key, row->Name, change.Text.c_str());
    CloseSettingsKey(key);
    return done;
}

// Every stored NFS client setting, as removals, for import --replace.
static std::vector<Change> RemoveEverything()
{
    std::vector<Change> removals;
    for (const Level& level : ListLevels()) {
        if (!LevelNamesFit(level))
            continue;
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

// Applies the changes in order (after the removals of --replace), stopping
// at the first the registry refuses; prunes when all went through. *done
// gets how many of changes went through, *removing whether the removals
// failed.
static bool ApplyAll(const std::vector<Change>& changes, bool replace, size_t* done, bool* removing)
{
    *done = 0;
    *removing = true;
    if (replace)
        for (const Change& removal : RemoveEverything())
            if (!ApplyChange(removal))
                return false;
    *removing = false;
    for (; *done < changes.size(); ++*done)
        if (!ApplyChange(changes[*done]))
            return false;
    PruneInheritedValues();
    return true;
}

// Runs the changes on a scratch copy first: the pairs are checked on the
// result, and a dry run ends there with the difference. Otherwise they are
// made for real and the difference printed.
int RunChanges(const std::vector<Change>& changes, bool replace, bool dryRun)
{
    std::vector<KeyName> roots = EditedRoots();
    std::vector<KeyName> precreate;
    for (const Change& change : changes)
        if (!change.Remove)
            precreate.push_back({HiveOf(change.Row),
                                 KeyFullPath(change.Row, KeySubPath(change.Row, change.Where))});
    RegTree before;
    ReadKeys(roots, &before);
    std::set<std::string> breachesBefore;
    for (const Breach& breach : FindBreaches())
        breachesBefore.insert(breach.Text);

    if (!EnterScratch(roots, precreate)) {
        fprintf(stderr, "zevrcfg: cannot make a scratch copy of the settings; nothing written\n");
        return ExitRegistry;
    }
    size_t done = 0;
    bool removing = false;
    bool applied = ApplyAll(changes, replace, &done, &removing);
    std::vector<Breach> breaches = FindBreaches();
    RegTree after;
    ReadKeys(roots, &after);
    LeaveScratch();
    if (!applied) {
        fprintf(stderr, "zevrcfg: the scratch copy refused a change; nothing written\n");
        return ExitRegistry;
    }
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
        std::string key = std::string(HiveName(HiveOf(change.Row))) + "\\" +
                          KeyFullPath(change.Row, KeySubPath(change.Row, change.Where));
        auto found = after.find(key);
        if (found == after.end() || found->second.count(change.Row->Name) == 0)
            printf("%s equals what it inherits: pruned, as the sheet does\n",
                   DescribeChange(change).c_str());
    }
    if (dryRun) {
        if (PrintDifference(before, after, stdout) == 0)
            printf("no change\n");
        printf("dry run: nothing written\n");
        return ExitDone;
    }

    applied = ApplyAll(changes, replace, &done, &removing);
    RegTree now;
    ReadKeys(roots, &now);
    if (PrintDifference(before, now, stdout) == 0)
        printf("no change\n");
    if (applied)
        return ExitDone;
    fprintf(stderr, "zevrcfg: the registry refused a change: %s\n",
            removing ? "removing the stored settings (--replace)"
                     : DescribeChange(changes[done]).c_str());
    for (size_t i = 0; i < changes.size(); ++i)
        fprintf(stderr, "  %s: %s\n", i < done ? "written" : "not written",
                DescribeChange(changes[i]).c_str());
    fprintf(stderr, "zevrcfg: values equal to what they inherit were not pruned\n");
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
