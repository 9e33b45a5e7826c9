// The rules that turn a row of the settings table into a policy: the titles
// kept beside the table, the element each kind of value takes, the items of
// a choice, the key a policy writes (the 32-bit view for the machine-wide
// values under SOFTWARE) and the explain text drawn from the row.
#include "policyrules.h"

#include <stdio.h>
#include <string.h>

// clang-format off
static const PolicyText Texts[] = {
    {PageGeneral, "ReadOnly", "Connect drives read-only", NULL},
    {PageGeneral, "LockingSharing", "Use file locking/sharing", NULL},
    {PageGeneral, "ShortNameMappingCharacter", "Mapping character for long file names", NULL},
    {PageGeneral, "RSize", "Read size (in bytes)", NULL},
    {PageGeneral, "WSize", "Write size (in bytes)", NULL},
    {PageSecurity, "UMask", "Default file creation permissions",
     "The list offers the usual masks; the page's nine boxes can set any other."},
    {PageSecurity, "Hosts", "Authentication servers",
     "The page reads at most 4093 characters, one separator counted per entry; a longer list "
     "reads as broadcast."},
    {PageCaching, "CacheSizeK", "Read-write cache size (in Kbytes)", NULL},
    {PageCaching, "EnableDataCache", "Enable data cache", NULL},
    {PageCaching, "NumMappedNames", "Number of file name mappings to store", NULL},
    {PageCaching, "AttrCacheOff", "Turn off the attribute cache",
     "Enabled turns the attribute cache off: the page's \"Enable attribute cache\" box is then "
     "unchecked."},
    {PageCaching, "AttrCacheDirMin", "Folder attributes, minimum (in seconds)", NULL},
    {PageCaching, "AttrCacheDirMax", "Folder attributes, maximum (in seconds)", NULL},
    {PageCaching, "AttrCacheRegMin", "File attributes, minimum (in seconds)", NULL},
    {PageCaching, "AttrCacheRegMax", "File attributes, maximum (in seconds)", NULL},
    {PageTuning, "Timeout", "Time-out (in seconds)", NULL},
    {PageTuning, "BackoffMultiplier", "Backoff multiplier", NULL},
    {PageTuning, "Retries", "Retries", NULL},
    {PageTuning, "AsynchReadahead", "Enable asynchronous readahead", NULL},
    {PageTuning, "IdleTime", "Automounter idle time-out (in seconds)", NULL},
    {PageFiles, "ArchiveBit", "Show NFS files with archive attribute checked", NULL},
    {PageFiles, "CaseSensitive", "Use case sensitive file name lookup", NULL},
    {PageFiles, "PreferredCaseIsUpper", "Preferred case", NULL},
    {PageFiles, "CaseForce", "Create file names in preferred case", NULL},
    {PageFiles, "UseBsdGroupSemantics", "Folder creation semantics", NULL},
    {PageAdvanced, "Transport", "Transport", NULL},
    {PageAdvanced, "NfsVersion", "NFS version", NULL},
    {PageAdvanced, "NfsPort", "NFS port", NULL},
    {PageNfsServer, "Enable", "Enable Quellmar NFS server", NULL},
    {PageNfsServer, "Logging", "Log NFS server activity", NULL},
    {PageEventLog, "Enable", "Enable Network Event Log", NULL},
    {PageEventLog, "Save", "Save log messages to file", NULL},
    {PageEventLog, "File", "Log file",
     "The page creates the file empty when it is missing, and keeps the old name when it can "
     "be neither found nor created. A policy writes the name as given and creates no log "
     "file: the folder must exist and the event log service must be able to write there."},
    {PageNis, "Domain", "Name service domain",
     "The page refuses a name that is not a domain name while NIS or NIS+ is enabled; a policy "
     "writes the text unchecked."},
    {PageNis, "NisServers", "NIS servers",
     "The page takes each address in its own field; a policy writes the text unchecked, so "
     "keep it to dotted addresses separated by single blanks."},
    {PageNis, "NisplusServers", "NIS+ servers",
     "The page takes each address in its own field; a policy writes the text unchecked, so "
     "keep it to dotted addresses separated by single blanks."},
    {PageNis, "SearchOrder", "Name server search order",
     "The order also says which name service is enabled: NIS when it lists NIS, NIS+ when it "
     "lists NIS+. When the name-service sheet closes, it tells the name-space provider the "
     "order; a policy only writes the value, so the provider keeps its old order until that "
     "sheet is next opened and closed on the PC."},
};
// clang-format on

// The masks administrators mostly choose; the default comes first.
static const uint32_t UsualMasks[] = {022, 002, 027, 007, 077, 000};

const char ProductName[] = "Quellmar";

std::string Number(uint32_t value)
{
    char text[16];
    snprintf(text, sizeof(text), "%lu", (unsigned long)value);
    return text;
}

std::string Escape(const std::string& text)
{
    std::string result;
    for (char c : text) {
        switch (c) {
        case '&':
            result += "&amp;";
            break;
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        case '"':
            result += "&quot;";
            break;
        default:
            result += c;
        }
    }
    return result;
}

std::string Capitalised(const char* text)
{
    std::string result = text;
    if (!result.empty() && result[0] >= 'a' && result[0] <= 'z')
        result[0] = (char)(result[0] - 'a' + 'A');
    return result;
}

const char* SheetId(SettingSheet sheet)
{
    switch (sheet) {
    case SheetNfsClient:
        return "NfsClient";
    case SheetFileSharing:
        return "FileSharing";
    case SheetNameService:
        return "NameService";
    }
    return "";
}

const char* PageId(SettingPage page)
{
    static const char* const ids[] = {"General",  "Security",  "Caching",  "Tuning", "Files",
                                      "Advanced", "NfsServer", "EventLog", "Nis"};
    return (int)page >= 0 && (int)page < (int)(sizeof(ids) / sizeof(ids[0])) ? ids[page] : "";
}

const PolicyText* FindText(const SettingRow* row)
{
    for (const PolicyText& text : Texts)
        if (text.Page == row->Page && strcmp(text.Name, row->Name) == 0)
            return &text;
    return NULL;
}

std::string PolicyName(const SettingRow* row)
{
    return std::string(PageId(row->Page)) + "_" + row->Name;
}

static std::string HiveName(const SettingRow* row)
{
    return row->Hive == HiveUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

// The key as the library opens it, below its hive.
static std::string LibraryKey(const SettingRow* row)
{
    char path[LevelKeyPathSize];
    BuildSettingKeyPath(row, NULL, NULL, path, sizeof(path));
    if (row->Absolute)
        return path;
    return std::string(row->Hive == HiveUser ? "Software" : "SOFTWARE") + "\\ZEVR\\CC\\1.0\\" +
           path;
}

// Group Policy writes the native view; the 32-bit library reads
// HKLM\SOFTWARE through the 32-bit view on 64-bit Windows. The service keys
// below System and HKCU are shared by both views.
static int IsRedirected(const SettingRow* row)
{
    return row->Hive == HiveMachine && !row->Absolute;
}

std::string PolicyKey(const SettingRow* row)
{
    if (!IsRedirected(row))
        return LibraryKey(row);
    return "SOFTWARE\\WOW6432Node" + LibraryKey(row).substr(strlen("SOFTWARE"));
}

ElementKind ElementOf(const SettingRow* row)
{
    switch (row->Kind) {
    case KindFlag:
        return ElementNone;
    case KindList:
    case KindClamped:
    case KindNumber:
        return ElementDecimal;
    case KindChoice:
    case KindCodes:
    case KindMask:
        return ElementEnum;
    case KindText:
        return ElementText;
    case KindHostList:
        return ElementMultiText;
    }
    return ElementNone;
}

std::vector<Item> EnumItems(const SettingRow* row)
{
    std::vector<Item> items;
    char shown[64];
    if (row->Kind == KindMask) {
        for (uint32_t mask : UsualMasks) {
            char octal[8];
            snprintf(octal, sizeof(octal), "%03o", (unsigned)mask);
            items.push_back({1, mask, "",
                             std::string(octal) + ": " + FormatPermissions(mask, shown) +
                                 " (decimal " + Number(mask) + ")"});
        }
    } else if (row->Kind == KindCodes) {
        // The first code is always listed; at most one other code goes before
        // or after it.
        const char* first = row->Choices[0].Text;
        std::vector<std::string> orders = {first};
        for (int i = 1; i < row->ChoiceCount; ++i) {
            orders.push_back(std::string(first) + row->Choices[i].Text);
            orders.push_back(std::string(row->Choices[i].Text) + first);
        }
        for (const std::string& codes : orders)
            items.push_back(
                {0, 0, codes, FormatSettingValue(row, 0, codes.c_str(), shown, sizeof(shown))});
    } else {
        for (int i = 0; i < row->ChoiceCount; ++i) {
            const SettingChoice& choice = row->Choices[i];
            items.push_back(
                {choice.Text == NULL, choice.Number, choice.Text ? choice.Text : "", choice.Shown});
        }
    }
    return items;
}

int DefaultItem(const SettingRow* row, const std::vector<Item>& items)
{
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].IsNumber ? items[i].Number == row->DefaultNumber
                              : items[i].Text == row->DefaultText)
            return (int)i;
    return -1;
}

static std::string ShownDefault(const SettingRow* row)
{
    char shown[64];
    if (row->Type == TypeDword) {
        std::string value = Number(row->DefaultNumber);
        FormatSettingValue(row, row->DefaultNumber, NULL, shown, sizeof(shown));
        return value == shown ? value : value + " (" + shown + ")";
    }
    if (row->DefaultText[0] == '\0')
        return "empty";
    FormatSettingValue(row, 0, row->DefaultText, shown, sizeof(shown));
    std::string value = std::string("\"") + row->DefaultText + "\"";
    return strcmp(shown, row->DefaultText) == 0 ? value : value + " (" + shown + ")";
}

// A value that a flag policy also writes: the write-only value of the same
// page, set from the flag named Enable.
const SettingRow* FindCompanion(const SettingRow* row)
{
    if (strcmp(row->Name, "Enable") != 0)
        return NULL;
    for (int i = 0; i < GetSettingCount(); ++i) {
        const SettingRow* other = GetSettingRow(i);
        if (other->WriteOnly && other->Page == row->Page)
            return other;
    }
    return NULL;
}

std::string Explain(const SettingRow* row, const PolicyText* text)
{
    char words[200];
    std::string explain = Capitalised(text->Title) + " on the " + GetPageName(row->Page) +
                          " page of the " + GetSheetName(row->Sheet) + " sheet: " + row->Note + ".";
    explain += "\n\nRegistry: " + HiveName(row) + "\\" + LibraryKey(row) + ", value " + row->Name +
               " (" + GetTypeName(row->Type) + ").";
    if (IsRedirected(row))
        explain += " The policy writes HKEY_LOCAL_MACHINE\\" + PolicyKey(row) +
                   ", which is where the 32-bit library reads that key on 64-bit Windows; on "
                   "32-bit Windows it does not reach the library: set the value there on "
                   "the sheet or with a registry file.";
    if (row->Kind == KindHostList)
        explain += "\n\nAccepted: host names, one per line, or the single line * to broadcast.";
    else
        explain +=
            "\n\nAccepted: " + std::string(DescribeAccepted(row, words, sizeof(words))) + ".";
    if (row->Kind == KindFlag)
        explain += " Enabled writes 1, Disabled writes 0.";
    const SettingRow* companion = FindCompanion(row);
    if (companion != NULL && companion->ChoiceCount == 2)
        explain += std::string(" As the sheet does, it also writes ") + companion->Name + " of " +
                   HiveName(companion) + "\\" + LibraryKey(companion) + ": " +
                   Number(companion->Choices[0].Number) + " (" + companion->Choices[0].Shown +
                   ") when enabled, " + Number(companion->Choices[1].Number) + " (" +
                   companion->Choices[1].Shown + ") when disabled.";
    if (row->Kind == KindList) {
        explain += " The page's list offers";
        std::string list;
        if (row->ZeroText != NULL && row->ZeroFirst)
            list = std::string(" ") + row->ZeroText + " (0)";
        for (const char* const* item = row->Items; item != NULL && *item != NULL; ++item)
            list += (list.empty() ? " " : ", ") + std::string(*item);
        if (row->ZeroText != NULL && !row->ZeroFirst)
            list += std::string(", ") + row->ZeroText + " (0)";
        explain += list + "; any other number in the range may be typed there, and here.";
    }
    if (row->Kind == KindClamped)
        explain += " The page clamps a number outside that range to the nearer bound; the "
                   "policy takes only numbers inside it.";
    if (row->Display == DisplayNamedZero && row->Kind != KindList)
        explain += std::string(" 0 is shown as \"") + row->ZeroText + "\".";
    switch (row->Origin) {
    case OriginBuiltIn:
        explain += "\n\nDefault: " + ShownDefault(row) +
                   ", built in; the page shows it while the value is missing.";
        break;
    case OriginUnlisted:
        explain += "\n\nDefault: " + ShownDefault(row) +
                   ", as for any missing value: there is no built-in default.";
        break;
    case OriginFixed:
        explain += "\n\nDefault: " + ShownDefault(row) +
                   ", the page's own; it shows it while the value is missing.";
        break;
    }
    if (row->Scope == ScopeLevels)
        explain += "\n\nThis policy sets the top level of the mount defaults. A server or a "
                   "resource with a value of its own keeps it; those levels have no fixed key "
                   "names, so they are set on the sheet or with zevrcfg, not by policy.";
    int isMinimum = 0;
    const SettingRow* pair = FindPairedSetting(row, &isMinimum);
    if (pair != NULL) {
        const SettingRow* minimum = isMinimum ? row : pair;
        const SettingRow* maximum = isMinimum ? pair : row;
        explain += std::string("\n\nThe page never stores ") + minimum->Name + " above " +
                   maximum->Name + ", and while a stored pair is so, it saves neither. A " +
                   "policy does not check the pair: set both ends so that the minimum is " +
                   "not above the maximum.";
    }
    const SettingRow* required = FindRequiredSetting(row);
    if (required != NULL)
        explain += std::string("\n\n") + row->Name + " 1 needs " + required->Name +
                   " 1: the page shows it unchecked while " + required->Name +
                   " is 0, and stores 0 on the next OK or Apply. Enable both policies.";
    for (int i = 0; i < GetSettingCount(); ++i) {
        const SettingRow* other = GetSettingRow(i);
        if (FindRequiredSetting(other) == row)
            explain += std::string("\n\n") + other->Name + " 1 needs this value 1: while it " +
                       "is 0 the page stores " + other->Name + " as 0.";
    }
    if (text->Remark != NULL)
        explain += std::string("\n\n") + text->Remark;
    explain += "\n\nNot Configured leaves the value as it is: the key is not below a Policies "
               "key, so the value stays when the policy is removed.";
    if (row->Prunable)
        explain += " After OK or Apply on the sheet, the pruning pass may delete the value "
                   "where it equals its built-in default; its effect stays the same.";
    return explain;
}
