// Levels and key paths: where each setting lives. A level is the top, a
// server, a resource of one, or the machine; a row's key at a level is
// built from the settings table, and server and resource names are
// checked to be key names. The keys the tool edits are read once into a
// model that every command then works on; the levels that exist are listed
// from that reading, in an order that is the same on every machine. The message helper every
// command uses is here too, at the bottom of the tool, so that main only calls down.
#include <windows.h>

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "regtree.h"
#include "registry.h"
#include "settings.h"
#include "store.h"
#include "commands.h"

int Refuse(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    fputs("zevrcfg: ", stderr);
    vfprintf(stderr, format, args);
    fputc('\n', stderr);
    va_end(args);
    return ExitRefused;
}

const char* ServerOf(const Level& level)
{
    return level.Kind == SectionTop || level.Kind == SectionMachine ? NULL : level.Server.c_str();
}

const char* ResourceOf(const Level& level)
{
    return level.Kind == SectionResource ? level.Resource.c_str() : NULL;
}

std::string DescribeLevel(const Level& level)
{
    if (level.Kind == SectionServer)
        return "server " + level.Server;
    if (level.Kind == SectionResource)
        return "resource " + level.Resource + " of server " + level.Server;
    return level.Kind == SectionMachine ? "the machine" : "the top level";
}

HKEY HiveOf(const SettingRow* row)
{
    return row->Hive == HiveMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

bool IsNfsRow(const SettingRow* row)
{
    return row->Sheet == SheetNfsClient;
}

// The row's key at level, from the settings root (or the hive's root for
// absolute rows); "" when the names make no valid path.
std::string KeySubPath(const SettingRow* row, const Level& level)
{
    char path[LevelKeyPathSize];
    if (!BuildSettingKeyPath(row, ServerOf(level), ResourceOf(level), path, sizeof(path)))
        return "";
    return path;
}

// The same key from the hive's root, as the registry names it.
std::string KeyFullPath(const SettingRow* row, const std::string& subPath)
{
    if (row->Absolute)
        return subPath;
    return BuildSettingsPath(HiveOf(row), subPath.c_str());
}

// Whether the store's own look-ups reach the level: its paths have 256
// bytes, and the sheet never reads a level beyond them. The tool reads such
// levels with its own code.
bool LevelNamesFit(const Level& level)
{
    for (int i = 0; i < GetSettingCount(); ++i) {
        const SettingRow* row = GetSettingRow(i);
        if (row->Scope != ScopeLevels)
            continue;
        std::string path = KeySubPath(row, level);
        if (path.empty())
            return false;
        size_t root = strlen(BuildSettingsPath(HKEY_CURRENT_USER, "")) + 1;
        if (strlen(BuildSettingsPath(HKEY_CURRENT_USER, path.c_str())) != root + path.size())
            return false;
    }
    return true;
}

// A key name as the registry holds it: not empty, no backslash, at most
// 255 characters.
static bool IsKeyName(const std::string& name)
{
    return !name.empty() && name.size() <= 255 && name.find('\\') == std::string::npos;
}

int CheckLevelNames(const Level& level)
{
    if (level.Kind != SectionServer && level.Kind != SectionResource)
        return ExitDone;
    if (!IsKeyName(level.Server) || (level.Kind == SectionResource && !IsKeyName(level.Resource)))
        return Refuse("%s: a server or resource name must not be empty nor hold a backslash, "
                      "and a key name has at most 255 characters",
                      DescribeLevel(level).c_str());
    return ExitDone;
}

// The row's key at level from the hive's name, whatever the names' length.
std::string RowKeyPath(const SettingRow* row, const Level& level)
{
    HKEY hive = HiveOf(row);
    std::string path = std::string(HiveName(hive)) + "\\";
    if (row->Scope == ScopeMachine)
        return path + KeyFullPath(row, row->Key);
    path += BuildSettingsPath(hive, GetNfsRootPath());
    if (level.Kind == SectionServer || level.Kind == SectionResource)
        path += "\\Servers\\" + level.Server;
    if (level.Kind == SectionResource)
        path += "\\Resources\\" + level.Resource;
    return path + "\\" + row->Key;
}

// ---- the reading -----------------------------------------------------------

// The keys as read, and what the command makes of them.
RegModel StoredTree;
RegModel SettingsTree;
std::vector<std::string> ReadProblems;
static bool Loaded;

// Every key the tool edits: the NFS client tree and the machine-wide keys.
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

void LoadSettings()
{
    if (Loaded)
        return;
    Loaded = true;
    ReadTree(EditedRoots(), &StoredTree, &ReadProblems);
    for (const std::string& problem : ReadProblems)
        fprintf(stderr, "zevrcfg: %s; left out\n", problem.c_str());
    SettingsTree = StoredTree;
    WorkOnModel(&SettingsTree);
}

// What the row's key at level holds or inherits, as the store's walk finds
// it; where the store's paths do not reach, the same walk over the reading.
void LookUpAt(const SettingRow* row, const Level& level, InheritedValue* found)
{
    // Callers ask for every row of one level in turn.
    static Level last;
    static bool known, lastFits;
    if (!known || last.Kind != level.Kind || last.Server != level.Server ||
        last.Resource != level.Resource) {
        known = true;
        last = level;
        lastFits = LevelNamesFit(level);
    }
    if (lastFits) {
        LookUpMountDefault(HKEY_CURRENT_USER, KeySubPath(row, level).c_str(), row->Name,
                           row->Type == TypeDword ? REG_DWORD : REG_SZ, 1, found);
        return;
    }
    static std::string text;
    found->Number = 0;
    found->Text = NULL;
    Level at = level;
    for (int origin = level.Kind == SectionResource ? LevelResource : LevelServer;
         origin > LevelBuiltIn; --origin) {
        at.Kind = origin == LevelResource ? SectionResource
                  : origin == LevelServer ? SectionServer
                                          : SectionTop;
        const TreeKey* key = FindKey(SettingsTree, RowKeyPath(row, at));
        const TreeValue* value = key != NULL ? FindValue(*key, row->Name) : NULL;
        if (value == NULL)
            continue;
        if (row->Type == TypeDword && value->Type == REG_DWORD && value->Data.size() == 4) {
            memcpy(&found->Number, value->Data.data(), 4);
        } else if (row->Type != TypeDword && value->Type == REG_SZ &&
                   strlen(value->Data.c_str()) < 256) {
            text = value->Data.c_str();
            found->Text = text.c_str();
        } else {
            continue;
        }
        found->Origin = origin;
        return;
    }
    found->Origin = LevelBuiltIn;
    if (row->Type == TypeDword)
        found->Number = FindDwordDefault(row->Name);
    else
        found->Text = FindStringDefault(row->Name);
}

// By bytes, letters compared without case: the same order on every
// machine, whatever its language.
static bool NameBefore(const std::string& a, const std::string& b)
{
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? (char)(a[i] - 'A' + 'a') : a[i];
        char y = b[i] >= 'A' && b[i] <= 'Z' ? (char)(b[i] - 'A' + 'a') : b[i];
        if (x != y)
            return (unsigned char)x < (unsigned char)y;
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// The names of the subkeys of a key below the NFS client root, as read.
std::vector<std::string> SubKeyNames(const std::string& subPath)
{
    std::vector<std::string> names;
    std::string path = std::string(HiveName(HKEY_CURRENT_USER)) + "\\" +
                       BuildSettingsPath(HKEY_CURRENT_USER, "") + "\\" + subPath;
    const TreeKey* key = FindKey(SettingsTree, path);
    if (key == NULL)
        return names;
    for (const std::string& child : key->Children)
        names.push_back(LastName(SettingsTree.Keys[child].Path));
    std::sort(names.begin(), names.end(), NameBefore);
    return names;
}

// The levels that exist: the top, then each server and its resources, by
// name.
std::vector<Level> ListLevels()
{
    std::vector<Level> levels(1);
    std::string servers = std::string(GetNfsRootPath()) + "Servers";
    for (const std::string& server : SubKeyNames(servers)) {
        Level level;
        level.Kind = SectionServer;
        level.Server = server;
        levels.push_back(level);
        level.Kind = SectionResource;
        for (const std::string& resource : SubKeyNames(servers + "\\" + server + "\\Resources")) {
            level.Resource = resource;
            levels.push_back(level);
        }
    }
    return levels;
}

// The registry matches names without regard to case, and so does the tool.
bool SameLevel(const Level& a, const Level& b)
{
    return a.Kind == b.Kind && EqualIgnoringCase(a.Server.c_str(), b.Server.c_str()) &&
           EqualIgnoringCase(a.Resource.c_str(), b.Resource.c_str());
}
