// Levels and key paths: where each setting lives. A level is the top, a
// server, a resource of one, or the machine; a row's key at a level is
// built from the settings table, and server and resource names are
// checked to make paths the store and the registry layer take as they are.
// The levels that exist are listed from the stored keys, in an order that
// is the same on every machine. The message helper every command uses is
// here too, at the bottom of the tool, so that main only calls down.
#include <windows.h>

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

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

// Server and resource names must give every mount-defaults key of the level
// a path that the store and the registry layer can use as it is.
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

int CheckLevelNames(const Level& level)
{
    if (!LevelNamesFit(level))
        return Refuse("%s: a server or resource name must not be empty nor hold a backslash, "
                      "and the key path it makes must stay within 255 characters",
                      DescribeLevel(level).c_str());
    return ExitDone;
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

std::vector<std::string> SubKeyNames(const std::string& subPath)
{
    std::vector<std::string> names;
    HKEY key;
    if (OpenSettingsKey(HKEY_CURRENT_USER, subPath.c_str(), &key) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        char name[256];
        LONG rc = EnumSubKey(key, index, name, sizeof(name));
        if (rc == ERROR_MORE_DATA)
            continue;
        if (rc != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    CloseSettingsKey(key);
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

bool SameLevel(const Level& a, const Level& b)
{
    return a.Kind == b.Kind && a.Server == b.Server && a.Resource == b.Resource;
}
