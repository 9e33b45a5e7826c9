// zevrcfg: the NFS client settings from the command line, for scripts.
// Shows effective values with the level they come from, sets and unsets
// them with the pages' own acceptance and the sheet's pruning, exports and
// imports them as a text file or a registry editor file. The rules come
// from the settings table and the store; nothing here opens a window, so a
// script never waits on a message box.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "cfgfile.h"
#include "regtree.h"
#include "registry.h"
#include "serverlist.h"
#include "settings.h"
#include "sheet.h"
#include "store.h"

enum { ExitDone = 0, ExitRefused = 1, ExitRegistry = 2 };
enum { ValueBufferSize = 8192, HostListSize = 4096 };

static const char Usage[] =
    "usage: zevrcfg [--registry KEY] COMMAND ...\n"
    "\n"
    "  show [--server S [--resource R]] [--json]\n"
    "      every setting's effective value at that level and where it comes from\n"
    "  set NAME VALUE [--server S [--resource R]] [--dry-run]\n"
    "  unset NAME [--server S [--resource R]] [--dry-run]\n"
    "      store or remove one NFS client setting, then prune as the sheet does\n"
    "  export [--reg] [FILE]\n"
    "      every stored NFS client setting as a settings file (or REGEDIT4 file)\n"
    "  import FILE [--replace] [--dry-run]\n"
    "      check every line, then set the listed values (--replace: remove\n"
    "      every stored NFS client setting first) and prune\n"
    "\n"
    "  --dry-run        work on a volatile copy, print what would change, write nothing\n"
    "  --registry KEY   use HKEY_CURRENT_USER\\KEY\\HKCU and ...\\HKLM as the two hives\n"
    "\n"
    "Exit status: 0 done, 1 input refused, 2 registry failure.\n";

static int Refuse(const char* format, ...) __attribute__((format(printf, 1, 2)));
static int Refuse(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    fputs("zevrcfg: ", stderr);
    vfprintf(stderr, format, args);
    fputc('\n', stderr);
    va_end(args);
    return ExitRefused;
}

// A level of the mount defaults: the top, a server, or a resource of one.
struct Level {
    int Kind = SectionTop;
    std::string Server;
    std::string Resource;
};

static const char* ServerOf(const Level& level)
{
    return level.Kind == SectionTop || level.Kind == SectionMachine ? NULL : level.Server.c_str();
}

static const char* ResourceOf(const Level& level)
{
    return level.Kind == SectionResource ? level.Resource.c_str() : NULL;
}

static std::string DescribeLevel(const Level& level)
{
    if (level.Kind == SectionServer)
        return "server " + level.Server;
    if (level.Kind == SectionResource)
        return "resource " + level.Resource + " of server " + level.Server;
    return level.Kind == SectionMachine ? "the machine" : "the top level";
}

static HKEY HiveOf(const SettingRow* row)
{
    return row->Hive == HiveMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

static bool IsNfsRow(const SettingRow* row)
{
    return row->Sheet == SheetNfsClient;
}

// The row's key at level, from the settings root (or the hive's root for
// absolute rows); "" when the names make no valid path.
static std::string KeySubPath(const SettingRow* row, const Level& level)
{
    char path[LevelKeyPathSize];
    if (!BuildSettingKeyPath(row, ServerOf(level), ResourceOf(level), path, sizeof(path)))
        return "";
    return path;
}

// The same key from the hive's root, as the registry names it.
static std::string KeyFullPath(const SettingRow* row, const std::string& subPath)
{
    if (row->Absolute)
        return subPath;
    return BuildSettingsPath(HiveOf(row), subPath.c_str());
}

// Server and resource names must give every mount-defaults key of the level
// a path that the store and the registry layer can use as it is.
static bool LevelNamesFit(const Level& level)
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

static int CheckLevelNames(const Level& level)
{
    if (!LevelNamesFit(level))
        return Refuse("%s: a server or resource name must not be empty nor hold a backslash, "
                      "and the key path it makes must stay within 255 characters",
                      DescribeLevel(level).c_str());
    return ExitDone;
}

static HKEY OpenRowKey(const SettingRow* row, const std::string& subPath)
{
    HKEY key = NULL;
    LONG rc = row->Absolute ? RegOpenKeyExA(HiveOf(row), subPath.c_str(), 0, KEY_READ, &key)
                            : OpenSettingsKey(HiveOf(row), subPath.c_str(), &key);
    return rc == ERROR_SUCCESS ? key : NULL;
}

// A value as the tool reads it for a row: decoded when its type is the
// row's, and whether the row's page would take it as it stands.
struct Reading {
    bool Stored = false;   // the key holds a value of that name
    bool Readable = false; // of the row's type
    bool Accepted = false; // and a value the page would keep
    bool Kept = false;     // too long for the page to show: it leaves it as stored
    uint32_t Number = 0;
    std::string Text;
    std::vector<std::string> Entries;
    std::string Why; // when not accepted
};

static std::string MultiStringOf(const std::vector<std::string>& entries)
{
    std::string bytes;
    for (const std::string& entry : entries)
        bytes += entry + '\0';
    return bytes + '\0';
}

static std::string DescribeAcceptedOf(const SettingRow* row)
{
    char text[512];
    return DescribeAccepted(row, text, sizeof(text));
}

static const char KeptWhy[] =
    "kept as stored: longer than the page can show, it leaves the value as it is";

// Whether the page would store entries as they are: typed as one text, the
// page splits it into exactly these entries.
static bool HostsAsTyped(const std::vector<std::string>& entries, std::string* joined)
{
    joined->clear();
    for (const std::string& entry : entries)
        *joined += (joined->empty() ? "" : ",") + entry;
    char list[HostListSize];
    if (!SplitServerList(list, sizeof(list), joined->c_str()))
        return false;
    return std::string(list, MultiStringSize(list)) == MultiStringOf(entries);
}

static void JudgeReading(const SettingRow* row, Reading* reading)
{
    if (reading->Kept) {
        reading->Accepted = false;
        reading->Why = KeptWhy;
        return;
    }
    if (row->Type == TypeDword) {
        uint32_t stored = 0;
        SettingCheck check = CheckSettingNumber(row, reading->Number, &stored);
        reading->Accepted = check == SettingAccepted;
        if (check == SettingClamped)
            reading->Why = "the page would store " + std::to_string(stored) + " instead";
    } else if (row->Type == TypeString) {
        reading->Accepted = CheckSettingText(row, reading->Text.c_str()) == SettingAccepted;
    } else {
        std::string joined;
        reading->Accepted = HostsAsTyped(reading->Entries, &joined) &&
                            CheckSettingText(row, joined.c_str()) == SettingAccepted;
    }
    if (!reading->Accepted && reading->Why.empty())
        reading->Why = "the page accepts " + DescribeAcceptedOf(row);
}

static void DecodeStored(const SettingRow* row, DWORD type, const std::string& data,
                         Reading* reading)
{
    reading->Stored = true;
    if (row->Type == TypeDword && type == REG_DWORD && data.size() == 4) {
        memcpy(&reading->Number, data.data(), 4);
        reading->Readable = true;
    } else if (row->Type == TypeString && type == REG_SZ) {
        reading->Text = data.c_str();
        reading->Readable = true;
    } else if (row->Type == TypeMultiString && type == REG_MULTI_SZ) {
        for (size_t at = 0; at < data.size() && data[at] != '\0';) {
            reading->Entries.push_back(data.c_str() + at);
            at += reading->Entries.back().size() + 1;
        }
        reading->Readable = true;
    }
    if (reading->Readable) {
        JudgeReading(row, reading);
    } else {
        StoredValue value = {type, data};
        reading->Why =
            "stored as " + DescribeStoredValue(value) + ", not as " + GetTypeName(row->Type);
    }
}

// The value the row's key at level holds itself, if any.
static Reading ReadOwnValue(const SettingRow* row, const Level& level)
{
    Reading reading;
    HKEY key = OpenRowKey(row, KeySubPath(row, level));
    if (key == NULL)
        return reading;
    std::string data(ValueBufferSize, '\0');
    DWORD size = (DWORD)data.size();
    DWORD type = 0;
    LONG rc = QueryRawValue(key, row->Name, &type, (BYTE*)&data[0], &size);
    // Read whole: a long text the pages keep is shown and kept here too.
    if (rc == ERROR_MORE_DATA) {
        data.resize(size);
        rc = QueryRawValue(key, row->Name, &type, (BYTE*)&data[0], &size);
    }
    CloseSettingsKey(key);
    if (rc == ERROR_MORE_DATA) {
        reading.Stored = true;
        reading.Why = "too long for the page to read";
    } else if (rc == ERROR_SUCCESS) {
        data.resize(size);
        DecodeStored(row, type, data, &reading);
        reading.Kept = reading.Readable && IsKeptAsStored(row, data.data(), data.size());
    }
    return reading;
}

// The value as a settings file and the set command write it: the stored
// number (a mask in octal), text or host list.
static std::string InputForm(const SettingRow* row, const Reading& reading, int forFile)
{
    if (row->Type == TypeDword) {
        char text[32];
        snprintf(text, sizeof(text), row->Kind == KindMask ? "0%lo" : "%lu",
                 (unsigned long)reading.Number);
        return text;
    }
    if (row->Type == TypeString)
        return forFile ? QuoteValue(reading.Text, 0) : reading.Text;
    return EncodeList(reading.Entries);
}

// ---- show ----------------------------------------------------------------

struct Shown {
    const SettingRow* Row;
    Reading Value;
    std::string Display;
    std::string Origin;
};

static Shown ShowRow(const SettingRow* row, const Level& level)
{
    Shown shown;
    shown.Row = row;
    Reading& value = shown.Value;
    if (row->Scope == ScopeLevels) {
        InheritedValue found;
        std::string path = KeySubPath(row, level);
        LookUpMountDefault(HKEY_CURRENT_USER, path.c_str(), row->Name,
                           row->Type == TypeDword ? REG_DWORD : REG_SZ, 1, &found);
        value.Readable = true;
        value.Number = found.Number;
        value.Text = found.Text != NULL ? found.Text : "";
        static const char* const origins[] = {"built-in", "top level", "server", "resource"};
        shown.Origin = origins[found.Origin];
    } else {
        value = ReadOwnValue(row, Level());
        shown.Origin = value.Readable ? "machine-wide" : "built-in";
        if (!value.Readable) {
            // A value the page cannot read gives way to the page's default.
            value = Reading();
            value.Readable = true;
            value.Number = row->DefaultNumber;
            if (row->Type == TypeMultiString) {
                for (const char* p = row->DefaultText; *p != '\0'; p += strlen(p) + 1)
                    value.Entries.push_back(p);
            } else if (row->DefaultText != NULL) {
                value.Text = row->DefaultText;
            }
        }
    }
    JudgeReading(row, &value);
    // As the page shows it, and the stored form beside it where that
    // differs ("rwxr-xr-x (022)", "automatic (\"\")").
    std::string text = row->Type == TypeMultiString ? MultiStringOf(value.Entries) : value.Text;
    char display[ValueBufferSize];
    FormatSettingValue(row, value.Number, text.c_str(), display, sizeof(display));
    std::string stored = InputForm(row, value, 0);
    shown.Display = display;
    if (row->Type == TypeMultiString && shown.Display != "broadcast")
        shown.Display = stored;
    else if (shown.Display != stored)
        shown.Display += " (" + QuoteValue(stored, 0) + ")";
    return shown;
}

static std::string JsonText(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if ((unsigned char)c < 0x20) {
            char escape[8];
            snprintf(escape, sizeof(escape), "\\u%04x", (unsigned)(unsigned char)c);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

static std::vector<std::string> SubKeyNames(const std::string& subPath);

// Whether a server or resource named on the command line has a key of its
// own. Without one every value shown is inherited, which a mistyped name
// would otherwise pass for; the names stored beside it help to spot that.
struct Presence {
    bool Stored = true;
    const char* ListName = NULL; // the JSON field of Siblings
    std::vector<std::string> Siblings;
    std::string Note;
};

static bool SettingsKeyMissing(const std::string& subPath)
{
    HKEY key;
    LONG rc = OpenSettingsKey(HKEY_CURRENT_USER, subPath.c_str(), &key);
    if (rc == ERROR_SUCCESS)
        CloseSettingsKey(key);
    return rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND;
}

static Presence FindPresence(const Level& level)
{
    Presence presence;
    if (level.Kind != SectionServer && level.Kind != SectionResource)
        return presence;
    std::string servers = std::string(GetNfsRootPath()) + "Servers";
    std::string resources = servers + "\\" + level.Server + "\\Resources";
    bool serverMissing = SettingsKeyMissing(servers + "\\" + level.Server);
    presence.Stored = !serverMissing && (level.Kind == SectionServer ||
                                         !SettingsKeyMissing(resources + "\\" + level.Resource));
    if (presence.Stored)
        return presence;
    presence.ListName = serverMissing ? "storedServers" : "storedResources";
    presence.Siblings = SubKeyNames(serverMissing ? servers : resources);
    std::string names;
    for (const std::string& name : presence.Siblings)
        names += (names.empty() ? "" : ", ") + QuoteName(name);
    presence.Note =
        "No key is stored for " + DescribeLevel(level) + ": every value below is inherited. ";
    if (serverMissing)
        presence.Note += names.empty() ? "No server is stored." : "Stored servers: " + names + ".";
    else
        presence.Note += names.empty()
                             ? "Server " + level.Server + " has no resource stored."
                             : "Stored resources of server " + level.Server + ": " + names + ".";
    return presence;
}

static int Show(const Level& level, bool json)
{
    std::vector<Shown> rows;
    for (int i = 0; i < GetSettingCount(); ++i)
        rows.push_back(ShowRow(GetSettingRow(i), level));
    Presence presence = FindPresence(level);
    if (json) {
        printf("{\"level\": %s", JsonText(level.Kind == SectionServer     ? "server"
                                          : level.Kind == SectionResource ? "resource"
                                                                          : "top")
                                     .c_str());
        if (level.Kind != SectionTop)
            printf(", \"server\": %s", JsonText(level.Server).c_str());
        if (level.Kind == SectionResource)
            printf(", \"resource\": %s", JsonText(level.Resource).c_str());
        if (level.Kind != SectionTop)
            printf(", \"stored\": %s", presence.Stored ? "true" : "false");
        if (presence.ListName != NULL) {
            printf(", \"%s\": [", presence.ListName);
            for (size_t i = 0; i < presence.Siblings.size(); ++i)
                printf("%s%s", i ? ", " : "", JsonText(presence.Siblings[i]).c_str());
            printf("]");
        }
        printf(", \"settings\": [");
        for (size_t i = 0; i < rows.size(); ++i) {
            const Shown& shown = rows[i];
            const SettingRow* row = shown.Row;
            std::string value;
            if (row->Type == TypeDword) {
                value = std::to_string(shown.Value.Number);
            } else if (row->Type == TypeString) {
                value = JsonText(shown.Value.Text);
            } else {
                value = "[";
                for (size_t e = 0; e < shown.Value.Entries.size(); ++e)
                    value += (e ? ", " : "") + JsonText(shown.Value.Entries[e]);
                value += "]";
            }
            printf("%s\n  {\"name\": %s, \"sheet\": %s, \"page\": %s, \"scope\": %s, "
                   "\"editable\": %s, \"value\": %s, \"shown\": %s, \"origin\": %s, "
                   "\"accepted\": %s}",
                   i ? "," : "", JsonText(row->Name).c_str(),
                   JsonText(GetSheetName(row->Sheet)).c_str(),
                   JsonText(GetPageName(row->Page)).c_str(),
                   row->Scope == ScopeLevels ? "\"levels\"" : "\"machine\"",
                   IsNfsRow(row) ? "true" : "false", value.c_str(), JsonText(shown.Display).c_str(),
                   JsonText(shown.Origin).c_str(), shown.Value.Accepted ? "true" : "false");
        }
        printf("\n]}\n");
        return ExitDone;
    }
    printf("Effective settings at %s\n", DescribeLevel(level).c_str());
    if (!presence.Stored)
        printf("%s\n", presence.Note.c_str());
    int page = -1;
    for (const Shown& shown : rows) {
        const SettingRow* row = shown.Row;
        if ((int)row->Page != page) {
            page = row->Page;
            printf("\n%s page (%s sheet%s)\n", GetPageName(row->Page), GetSheetName(row->Sheet),
                   IsNfsRow(row) ? "" : ", shown only");
        }
        std::string origin = shown.Origin;
        if (origin == "server")
            origin += " " + level.Server;
        else if (origin == "resource")
            origin += " " + level.Resource;
        printf("  %-26s %-28s %s\n", row->Name, shown.Display.c_str(), origin.c_str());
        if (shown.Value.Kept)
            printf("  %-26s   (%s)\n", "", KeptWhy);
        else if (!shown.Value.Accepted)
            printf("  %-26s   (not a value the page keeps: %s)\n", "", shown.Value.Why.c_str());
    }
    return ExitDone;
}

// ---- changes: set, unset, import -----------------------------------------

// One value to store or remove.
struct Change {
    const SettingRow* Row;
    Level Where;
    bool Remove = false;
    uint32_t Number = 0;
    std::string Text; // a text, or a multi-string's bytes
    int Line = 0;     // in the imported file
};

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

// The levels that exist: the top, then each server and its resources, by
// name.
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

static std::vector<std::string> SubKeyNames(const std::string& subPath)
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

static std::vector<Level> ListLevels()
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

// A rule of the pages between two values of one level, broken there.
struct Breach {
    std::string Text;
    Level Where;
    const SettingRow* First;
    const SettingRow* Second;
};

static uint32_t EffectiveNumber(const SettingRow* row, const Level& level)
{
    InheritedValue found;
    LookUpMountDefault(HKEY_CURRENT_USER, KeySubPath(row, level).c_str(), row->Name, REG_DWORD, 1,
                       &found);
    return found.Number;
}

// Every level's cache minimums above their maximums and values set while
// the flag they need is clear, as the pages would never store them.
static std::vector<Breach> FindBreaches()
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

static bool SameLevel(const Level& a, const Level& b)
{
    return a.Kind == b.Kind && a.Server == b.Server && a.Resource == b.Resource;
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
static int RunChanges(const std::vector<Change>& changes, bool replace, bool dryRun)
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

static const SettingRow* FindEditable(const std::string& name, std::string* error)
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
static int CheckScope(const SettingRow* row, const Level& level, std::string* error)
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
static int ParseChangeValue(const SettingRow* row, const std::string& input, bool clamp,
                            Change* change, std::string* error)
{
    uint32_t number = 0;
    std::vector<char> text(ValueBufferSize);
    SettingCheck check = ParseSettingInput(row, input.c_str(), &number, text.data(), text.size());
    if (check == SettingRefused || (check == SettingClamped && !clamp)) {
        *error = std::string(row->Name) + ": " + QuoteValue(input, 0) + " is not accepted; the " +
                 "page accepts " + DescribeAcceptedOf(row);
        if (check == SettingClamped)
            *error += " (it would be clamped to " + std::to_string(number) + ")";
        return 0;
    }
    if (check == SettingClamped)
        fprintf(stderr, "zevrcfg: %s: %s clamped to %lu, as the page does\n", row->Name,
                input.c_str(), (unsigned long)number);
    change->Number = number;
    if (row->Type == TypeString) {
        change->Text = text.data();
    } else if (row->Type == TypeMultiString) {
        char list[HostListSize];
        if (!SplitServerList(list, sizeof(list), text.data())) {
            *error = std::string(row->Name) + ": the list is too long for the page";
            return 0;
        }
        change->Text.assign(list, MultiStringSize(list));
    }
    return 1;
}

// ---- export ---------------------------------------------------------------

static int WriteOutput(const char* file, const std::string& text)
{
    FILE* out = stdout;
    if (file != NULL && (out = fopen(file, "wb")) == NULL)
        return Refuse("cannot write %s", file);
    bool written = fwrite(text.data(), 1, text.size(), out) == text.size();
    written = fflush(out) == 0 && written;
    if (file != NULL)
        written = fclose(out) == 0 && written;
    if (!written)
        return Refuse("cannot write %s", file != NULL ? file : "the standard output");
    return ExitDone;
}

static int Export(const char* file, bool reg)
{
    std::string text = "# NFS client settings, written by zevrcfg export\n";
    std::vector<RegKey> keys;
    std::vector<std::string> notes;
    std::vector<Level> levels = ListLevels();
    Level machine;
    machine.Kind = SectionMachine;
    levels.push_back(machine);
    std::vector<Breach> breaches = FindBreaches();
    for (const Level& level : levels) {
        if (level.Kind != SectionMachine && !LevelNamesFit(level)) {
            notes.push_back(DescribeLevel(level) + " left out: its name cannot be imported");
            text += "\n# " + notes.back() + "\n";
            continue;
        }
        std::string lines;
        for (int i = 0; i < GetSettingCount(); ++i) {
            const SettingRow* row = GetSettingRow(i);
            if (!IsNfsRow(row) || (row->Scope == ScopeMachine) != (level.Kind == SectionMachine))
                continue;
            Reading reading = ReadOwnValue(row, level);
            if (!reading.Stored)
                continue;
            // What makes a level break a rule between two values is left out
            // too: the pages would never have stored it.
            for (const Breach& breach : breaches)
                if (reading.Accepted && SameLevel(breach.Where, level) &&
                    (breach.First == row || breach.Second == row)) {
                    reading.Accepted = false;
                    reading.Why = breach.Text;
                }
            if (reading.Kept) {
                std::string note = std::string(row->Name) + " at " + DescribeLevel(level) +
                                   " left out, " + KeptWhy + "; import never removes it";
                lines += "# " + note + "\n";
                notes.push_back(note);
                continue;
            }
            if (!reading.Accepted) {
                std::string note = std::string(row->Name) + " at " + DescribeLevel(level) +
                                   " left out: " + reading.Why;
                if (reading.Readable)
                    note = std::string(row->Name) + " = " + InputForm(row, reading, 1) + " at " +
                           DescribeLevel(level) + " left out: " + reading.Why;
                lines += "# " + note + "\n";
                notes.push_back(note);
                continue;
            }
            lines += std::string(row->Name) + " = " + InputForm(row, reading, 1) + "\n";
            std::string path = std::string(HiveName(HiveOf(row))) + "\\" +
                               KeyFullPath(row, KeySubPath(row, level));
            auto key = std::find_if(keys.begin(), keys.end(),
                                    [&](const RegKey& k) { return k.Path == path; });
            if (key == keys.end()) {
                keys.push_back(RegKey());
                keys.back().Path = path;
                key = keys.end() - 1;
            }
            RegValue value;
            value.Name = row->Name;
            value.Type = row->Type == TypeDword ? 4 : row->Type == TypeString ? 1 : 7;
            value.Number = reading.Number;
            value.Texts =
                row->Type == TypeString ? std::vector<std::string>{reading.Text} : reading.Entries;
            key->Values.push_back(value);
        }
        if (lines.empty())
            continue;
        Section section;
        section.Kind = level.Kind;
        section.Server = level.Server;
        section.Resource = level.Resource;
        text += "\n" + FormatSectionHeader(section) + "\n" + lines;
    }
    if (!reg)
        return WriteOutput(file, text);
    std::string regText = FormatRegFile(keys, notes);
    std::string crlf;
    for (char c : regText)
        crlf += c == '\n' ? "\r\n" : std::string(1, c);
    return WriteOutput(file, crlf);
}

// ---- import ---------------------------------------------------------------

static int ReadWholeFile(const char* file, std::string* text)
{
    FILE* in = fopen(file, "rb");
    if (in == NULL)
        return 0;
    char buffer[4096];
    size_t read;
    while ((read = fread(buffer, 1, sizeof(buffer), in)) > 0)
        text->append(buffer, read);
    int ok = !ferror(in);
    fclose(in);
    return ok;
}

// One line of a Unicode file in the code page of the registry calls, one
// character at a time so that the first without a form there is named; a
// character must convert back to itself, or the registry would get a
// look-alike ("?" or a best fit) instead of what the file says.
static int ToAnsiLine(const std::string& utf8, std::string* out, std::string* error)
{
    out->clear();
    int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), NULL, 0);
    std::vector<WCHAR> wide(size > 0 ? size : 1);
    if (size <= 0 ||
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), wide.data(), size) != size) {
        *error = "the line cannot be read as Unicode text";
        return 0;
    }
    for (int at = 0; at < size;) {
        int units = wide[at] >= 0xD800 && wide[at] <= 0xDBFF && at + 1 < size ? 2 : 1;
        if (wide[at] < 0x80) {
            *out += (char)wide[at++];
            continue;
        }
        char bytes[8];
        WCHAR back[2] = {0, 0};
        BOOL defaulted = FALSE;
        // A UTF-8 code page takes neither the flag nor the question.
        bool utf8 = GetACP() == CP_UTF8;
        int length = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, &wide[at], units,
                                         bytes, sizeof(bytes), NULL, utf8 ? NULL : &defaulted);
        if (length <= 0 || defaulted ||
            MultiByteToWideChar(CP_ACP, 0, bytes, length, back, 2) != units ||
            back[0] != wide[at] || (units == 2 && back[1] != wide[at + 1])) {
            unsigned code = units == 2
                                ? 0x10000 + ((wide[at] - 0xD800) << 10) + (wide[at + 1] - 0xDC00)
                                : wide[at];
            char text[160];
            snprintf(text, sizeof(text),
                     "the character U+%04X has no form in code page %u, the one the registry "
                     "settings are stored in here",
                     code, GetACP());
            *error = text;
            return 0;
        }
        out->append(bytes, length);
        at += units;
    }
    return 1;
}

static int Import(const char* file, bool replace, bool dryRun)
{
    std::string bytes;
    if (!ReadWholeFile(file, &bytes))
        return Refuse("cannot read %s", file);
    std::vector<Assignment> assignments;
    int line = 0;
    std::string error;
    if (!ReadSettingsFileBytes(bytes, ToAnsiLine, &assignments, &line, &error)) {
        if (line == 0)
            return Refuse("%s: %s; nothing written", file, error.c_str());
        return Refuse("%s: line %d: %s; nothing written", file, line, error.c_str());
    }
    std::vector<Change> changes;
    for (const Assignment& assignment : assignments) {
        Change change;
        change.Line = assignment.Line;
        change.Where.Kind = assignment.Where.Kind;
        change.Where.Server = assignment.Where.Server;
        change.Where.Resource = assignment.Where.Resource;
        change.Row = FindEditable(assignment.Name, &error);
        bool ok = change.Row != NULL && CheckScope(change.Row, change.Where, &error);
        if (ok && change.Where.Kind != SectionMachine && CheckLevelNames(change.Where) != ExitDone)
            return Refuse("%s: line %d: the section's names are refused (above); nothing written",
                          file, assignment.Line);
        std::string input;
        if (ok && change.Row->Type == TypeMultiString) {
            std::vector<std::string> entries;
            ok = DecodeList(assignment.Value, &entries, &error);
            if (ok && !HostsAsTyped(entries, &input)) {
                error = std::string(change.Row->Name) +
                        ": a host name must not be empty nor hold a blank, comma or semicolon";
                ok = false;
            }
        } else if (ok) {
            ok = DecodeValue(assignment.Value, &input, &error);
        }
        ok = ok && ParseChangeValue(change.Row, input, false, &change, &error);
        if (!ok)
            return Refuse("%s: line %d: %s; nothing written", file, assignment.Line, error.c_str());
        for (const Change& earlier : changes)
            if (earlier.Row == change.Row && earlier.Where.Kind == change.Where.Kind &&
                earlier.Where.Server == change.Where.Server &&
                earlier.Where.Resource == change.Where.Resource)
                return Refuse("%s: line %d: %s is set twice in this section (line %d); nothing "
                              "written",
                              file, assignment.Line, change.Row->Name, earlier.Line);
        changes.push_back(change);
    }
    return RunChanges(changes, replace, dryRun);
}

// ---- command line ---------------------------------------------------------

struct Options {
    std::vector<std::string> Words;
    const char* Server = NULL;
    const char* Resource = NULL;
    const char* Registry = NULL;
    bool Json = false;
    bool DryRun = false;
    bool Replace = false;
    bool Reg = false;
    bool Help = false;
};

static int ParseOptions(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        const char** target = arg == "--server"     ? &options->Server
                              : arg == "--resource" ? &options->Resource
                              : arg == "--registry" ? &options->Registry
                                                    : NULL;
        if (target != NULL) {
            if (i + 1 >= argc)
                return Refuse("%s needs a value", arg.c_str());
            *target = argv[++i];
        } else if (arg == "--json") {
            options->Json = true;
        } else if (arg == "--dry-run") {
            options->DryRun = true;
        } else if (arg == "--replace") {
            options->Replace = true;
        } else if (arg == "--reg") {
            options->Reg = true;
        } else if (arg == "--help" || arg == "-h" || arg == "/?") {
            options->Help = true;
        } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            return Refuse("unknown option %s (zevrcfg --help)", arg.c_str());
        } else {
            options->Words.push_back(arg);
        }
    }
    return ExitDone;
}

// Refuses options that the command does not take.
static int Allow(const Options& options, const char* command, bool level, bool json, bool dryRun,
                 bool replace, bool reg, size_t words)
{
    if ((!level && (options.Server || options.Resource)) || (!json && options.Json) ||
        (!dryRun && options.DryRun) || (!replace && options.Replace) || (!reg && options.Reg))
        return Refuse("%s does not take that option (zevrcfg --help)", command);
    if (options.Words.size() != words + 1)
        return Refuse("%s takes %u argument%s (zevrcfg --help)", command, (unsigned)words,
                      words == 1 ? "" : "s");
    if (options.Resource != NULL && options.Server == NULL)
        return Refuse("--resource needs --server");
    return ExitDone;
}

static Level LevelOf(const Options& options)
{
    Level level;
    if (options.Server != NULL) {
        level.Kind = options.Resource != NULL ? SectionResource : SectionServer;
        level.Server = options.Server;
        level.Resource = options.Resource != NULL ? options.Resource : "";
    }
    return level;
}

static int SetOrUnset(const Options& options, bool remove)
{
    std::string error;
    Change change;
    change.Remove = remove;
    change.Where = LevelOf(options);
    change.Row = FindEditable(options.Words[1], &error);
    if (change.Row == NULL || !CheckScope(change.Row, change.Where, &error))
        return Refuse("%s", error.c_str());
    if (change.Where.Kind != SectionTop && CheckLevelNames(change.Where) != ExitDone)
        return ExitRefused;
    if (!remove && !ParseChangeValue(change.Row, options.Words[2], true, &change, &error))
        return Refuse("%s", error.c_str());
    return RunChanges({change}, false, options.DryRun);
}

int main(int argc, char** argv)
{
    // DllMain never runs in a program; the library's resource loads use this.
    ModuleInstance = GetModuleHandleA(NULL);
    // Lines end in LF alone, so that what scripts read and compare is the
    // same on every system; the REGEDIT4 file carries its own CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    Options options;
    if (ParseOptions(argc, argv, &options) != ExitDone)
        return ExitRefused;
    if (options.Help || options.Words.empty()) {
        fputs(Usage, options.Help ? stdout : stderr);
        return options.Help ? ExitDone : ExitRefused;
    }
    if (options.Registry != NULL && !RedirectRegistry(options.Registry)) {
        fprintf(stderr, "zevrcfg: cannot redirect the registry to HKEY_CURRENT_USER\\%s\n",
                options.Registry);
        return ExitRegistry;
    }
    const std::string& command = options.Words[0];
    if (command == "show") {
        if (Allow(options, "show", true, true, false, false, false, 0) != ExitDone)
            return ExitRefused;
        Level level = LevelOf(options);
        if (level.Kind != SectionTop && CheckLevelNames(level) != ExitDone)
            return ExitRefused;
        return Show(level, options.Json);
    }
    if (command == "set" || command == "unset") {
        bool remove = command == "unset";
        if (Allow(options, command.c_str(), true, false, true, false, false, remove ? 1 : 2) !=
            ExitDone)
            return ExitRefused;
        return SetOrUnset(options, remove);
    }
    if (command == "export") {
        if (options.Words.size() == 1)
            options.Words.push_back("");
        if (Allow(options, "export", false, false, false, false, true, 1) != ExitDone)
            return ExitRefused;
        const char* file = options.Words[1].empty() ? NULL : options.Words[1].c_str();
        return Export(file, options.Reg);
    }
    if (command == "import") {
        if (Allow(options, "import", false, false, true, true, false, 1) != ExitDone)
            return ExitRefused;
        return Import(options.Words[1].c_str(), options.Replace, options.DryRun);
    }
    return Refuse("unknown command %s (zevrcfg --help)", command.c_str());
}
