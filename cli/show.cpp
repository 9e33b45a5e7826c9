// Reading and showing: a stored value decoded for its row and judged as
// the row's page would judge it, the form a settings file writes it in,
// and the show command, which prints every setting's effective value at a
// level with where it comes from (as text or JSON) and notes a server or
// resource that has no key of its own.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "cfgfile.h"
#include "regtree.h"
#include "registry.h"
#include "serverlist.h"
#include "settings.h"
#include "store.h"
#include "commands.h"

static std::string MultiStringOf(const std::vector<std::string>& entries)
{
    std::string bytes;
    for (const std::string& entry : entries)
        bytes += entry + '\0';
    return bytes + '\0';
}

std::string DescribeAcceptedOf(const SettingRow* row)
{
    char text[512];
    return DescribeAccepted(row, text, sizeof(text));
}

const char KeptWhy[] =
    "kept as stored: longer than the page can show, it leaves the value as it is";

// Whether the page would store entries as they are: typed as one text, the
// page splits it into exactly these entries.
bool HostsAsTyped(const std::vector<std::string>& entries, std::string* joined)
{
    joined->clear();
    for (const std::string& entry : entries)
        *joined += (joined->empty() ? "" : ",") + entry;
    // Room for every entry, so that only a blank or separator inside one
    // (never the list's length) makes it differ.
    std::vector<char> list(joined->size() + 2);
    if (!SplitServerList(list.data(), list.size(), joined->c_str()))
        return false;
    return std::string(list.data(), MultiStringSize(list.data())) == MultiStringOf(entries);
}

void JudgeReading(const SettingRow* row, Reading* reading)
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
        TreeValue value = {row->Name, type, data};
        reading->Why =
            "stored as " + DescribeTreeValue(value) + ", not as " + GetTypeName(row->Type);
    }
}

// The value the row's key at level holds itself, if any, as read whole: a
// long text the pages keep is shown and kept here too.
Reading ReadOwnValue(const SettingRow* row, const Level& level)
{
    Reading reading;
    const TreeKey* key = FindKey(SettingsTree, RowKeyPath(row, level));
    const TreeValue* value = key != NULL ? FindValue(*key, row->Name) : NULL;
    if (value == NULL)
        return reading;
    DecodeStored(row, value->Type, value->Data, &reading);
    reading.Kept = reading.Readable && IsKeptAsStored(row, value->Data.data(), value->Data.size());
    return reading;
}

// The value as a settings file and the set command write it: the stored
// number (a mask in octal), text or host list.
std::string InputForm(const SettingRow* row, const Reading& reading, int forFile)
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
        LookUpAt(row, level, &found);
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
    return FindKey(SettingsTree, std::string(HiveName(HKEY_CURRENT_USER)) + "\\" +
                                     BuildSettingsPath(HKEY_CURRENT_USER, "") + "\\" + subPath) ==
           NULL;
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
    // One name a line: a machine may hold thousands.
    std::string names;
    for (const std::string& name : presence.Siblings)
        names += "\n  " + QuoteName(name);
    std::string count = " (" + std::to_string(presence.Siblings.size()) + "):";
    presence.Note =
        "No key is stored for " + DescribeLevel(level) + ": every value below is inherited.\n";
    if (serverMissing)
        presence.Note += names.empty() ? "No server is stored." : "Stored servers" + count + names;
    else
        presence.Note += names.empty()
                             ? "Server " + level.Server + " has no resource stored."
                             : "Stored resources of server " + level.Server + count + names;
    return presence;
}

int Show(const Level& level, bool json)
{
    LoadSettings();
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
