// Writes the Group Policy administrative templates from the settings table:
// ZEVRNTPS.admx and en-US/ZEVRNTPS.adml, one policy for every value with a
// fixed key (the top level of the mount defaults and the machine-wide
// values), a category for each sheet and one for each of its pages.
//
//   policydoc FOLDER            writes FOLDER/ZEVRNTPS.admx, FOLDER/en-US/ZEVRNTPS.adml
//   policydoc --rows FILE       writes the table as JSON, for checkpolicy.py
//
// Built natively; scripts/policy-templates.sh runs it, and the tests fail
// when the committed files differ from what it writes.
#include "settings.h"

#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include <string>
#include <vector>

// What people see of a policy beyond the table: its title, after the page's
// own label, and where a policy does less than the page.
struct PolicyText {
    SettingPage Page;
    const char* Name;
    const char* Title;
    const char* Remark;
};

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

static const char ProductName[] = "Quellmar";

struct Item {
    int IsNumber;
    uint32_t Number;
    std::string Text;
    std::string Label;
};

struct Output {
    std::string Policies;
    std::string Strings;
    std::string Presentations;
};

static std::string Number(uint32_t value)
{
    char text[16];
    snprintf(text, sizeof(text), "%lu", (unsigned long)value);
    return text;
}

static std::string Escape(const std::string& text)
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

static std::string Capitalised(const char* text)
{
    std::string result = text;
    if (!result.empty() && result[0] >= 'a' && result[0] <= 'z')
        result[0] = (char)(result[0] - 'a' + 'A');
    return result;
}

static const char* SheetId(SettingSheet sheet)
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

static const char* PageId(SettingPage page)
{
    static const char* const ids[] = {"General",  "Security",  "Caching",  "Tuning", "Files",
                                      "Advanced", "NfsServer", "EventLog", "Nis"};
    return (int)page >= 0 && (int)page < (int)(sizeof(ids) / sizeof(ids[0])) ? ids[page] : "";
}

static const PolicyText* FindText(const SettingRow* row)
{
    for (const PolicyText& text : Texts)
        if (text.Page == row->Page && strcmp(text.Name, row->Name) == 0)
            return &text;
    return NULL;
}

static std::string PolicyName(const SettingRow* row)
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

static std::string PolicyKey(const SettingRow* row)
{
    if (!IsRedirected(row))
        return LibraryKey(row);
    return "SOFTWARE\\WOW6432Node" + LibraryKey(row).substr(strlen("SOFTWARE"));
}

enum ElementKind { ElementNone, ElementDecimal, ElementEnum, ElementText, ElementMultiText };

static ElementKind ElementOf(const SettingRow* row)
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

static std::vector<Item> EnumItems(const SettingRow* row)
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

static int DefaultItem(const SettingRow* row, const std::vector<Item>& items)
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
static const SettingRow* FindCompanion(const SettingRow* row)
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

static std::string Explain(const SettingRow* row, const PolicyText* text)
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

static void AddString(Output& out, const std::string& id, const std::string& text)
{
    out.Strings += "      <string id=\"" + id + "\">" + Escape(text) + "</string>\n";
}

static std::string ListItem(const SettingRow* row, uint32_t value)
{
    return "        <item key=\"" + Escape(PolicyKey(row)) + "\" valueName=\"" + row->Name +
           "\">\n          <value>\n            <decimal value=\"" + Number(value) +
           "\" />\n          </value>\n        </item>\n";
}

static std::string Value(const Item& item)
{
    if (item.IsNumber)
        return "<decimal value=\"" + Number(item.Number) + "\" />";
    if (item.Text.empty())
        return "<string />";
    return "<string>" + Escape(item.Text) + "</string>";
}

static int WritePolicy(Output& out, const SettingRow* row)
{
    const PolicyText* text = FindText(row);
    if (text == NULL) {
        fprintf(stderr, "policydoc: no title for %s on the %s page\n", row->Name,
                GetPageName(row->Page));
        return 0;
    }
    std::string name = PolicyName(row);
    ElementKind kind = ElementOf(row);
    std::string& p = out.Policies;
    p += "    <policy name=\"" + name + "\" class=\"" +
         (row->Hive == HiveUser ? "User" : "Machine") + "\" displayName=\"$(string." + name +
         ")\" explainText=\"$(string." + name + "_Explain)\"";
    if (kind != ElementNone)
        p += " presentation=\"$(presentation." + name + ")\"";
    p += " key=\"" + Escape(PolicyKey(row)) + "\"";
    if (kind == ElementNone)
        p += std::string(" valueName=\"") + row->Name + "\"";
    p += ">\n      <parentCategory ref=\"" + std::string(PageId(row->Page)) +
         "\" />\n      <supportedOn ref=\"SUPPORTED_Client\" />\n";
    AddString(out, name, text->Title);
    AddString(out, name + "_Explain", Explain(row, text));
    std::string label = Escape(text->Title);
    std::string& s = out.Presentations;
    if (kind != ElementNone)
        s += "      <presentation id=\"" + name + "\">\n";
    switch (kind) {
    case ElementNone: {
        p += "      <enabledValue>\n        <decimal value=\"1\" />\n      </enabledValue>\n"
             "      <disabledValue>\n        <decimal value=\"0\" />\n      </disabledValue>\n";
        const SettingRow* companion = FindCompanion(row);
        if (companion != NULL && companion->ChoiceCount == 2) {
            p += "      <enabledList>\n" + ListItem(companion, companion->Choices[0].Number) +
                 "      </enabledList>\n";
            p += "      <disabledList>\n" + ListItem(companion, companion->Choices[1].Number) +
                 "      </disabledList>\n";
        }
        break;
    }
    case ElementDecimal:
        p += std::string("      <elements>\n        <decimal id=\"") + row->Name +
             "\" valueName=\"" + row->Name + "\" required=\"true\" minValue=\"" +
             Number(row->Minimum) + "\" maxValue=\"" + Number(row->Maximum) +
             "\" />\n      </elements>\n";
        s += std::string("        <decimalTextBox refId=\"") + row->Name + "\" defaultValue=\"" +
             Number(row->DefaultNumber) + "\">" + label + "</decimalTextBox>\n";
        break;
    case ElementEnum: {
        std::vector<Item> items = EnumItems(row);
        p += std::string("      <elements>\n        <enum id=\"") + row->Name + "\" valueName=\"" +
             row->Name + "\" required=\"true\">\n";
        for (size_t i = 0; i < items.size(); ++i) {
            std::string id = name + "_Item" + Number((uint32_t)i);
            p += "          <item displayName=\"$(string." + id + ")\">\n            <value>\n" +
                 "              " + Value(items[i]) + "\n            </value>\n          </item>\n";
            AddString(out, id, items[i].Label);
        }
        p += "        </enum>\n      </elements>\n";
        int selected = DefaultItem(row, items);
        s += std::string("        <dropdownList refId=\"") + row->Name + "\" noSort=\"true\"";
        if (selected >= 0)
            s += " defaultItem=\"" + Number((uint32_t)selected) + "\"";
        s += ">" + label + "</dropdownList>\n";
        break;
    }
    case ElementText:
        p += std::string("      <elements>\n        <text id=\"") + row->Name + "\" valueName=\"" +
             row->Name + "\"" +
             // An empty text is what the page itself stores where that is the default.
             (row->DefaultText[0] != '\0' ? " required=\"true\"" : "") + " maxLength=\"" +
             Number(row->Maximum) + "\" />\n      </elements>\n";
        s += std::string("        <textBox refId=\"") + row->Name + "\">\n          <label>" +
             label + "</label>\n";
        if (row->DefaultText[0] != '\0')
            s += "          <defaultValue>" + Escape(row->DefaultText) + "</defaultValue>\n";
        s += "        </textBox>\n";
        break;
    case ElementMultiText:
        p += std::string("      <elements>\n        <multiText id=\"") + row->Name +
             "\" valueName=\"" + row->Name + "\" required=\"true\" maxLength=\"" +
             Number(row->Maximum) + "\" />\n      </elements>\n";
        s += std::string("        <multiTextBox refId=\"") + row->Name + "\">" + label +
             "</multiTextBox>\n";
        break;
    }
    if (kind != ElementNone)
        s += "      </presentation>\n";
    p += "    </policy>\n";
    return 1;
}

static void WriteCategory(std::string& c, Output& out, const std::string& name,
                          const std::string& parent, const std::string& title,
                          const std::string& explain)
{
    c += "    <category name=\"" + name + "\" displayName=\"$(string.Category_" + name +
         ")\" explainText=\"$(string.Category_" + name + "_Explain)\"";
    if (parent.empty()) {
        c += " />\n";
    } else {
        c += ">\n      <parentCategory ref=\"" + parent + "\" />\n    </category>\n";
    }
    AddString(out, "Category_" + name, title);
    AddString(out, "Category_" + name + "_Explain", explain);
}

static int WriteFile(const std::string& path, const std::string& text)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (file == NULL) {
        fprintf(stderr, "policydoc: cannot write %s\n", path.c_str());
        return 0;
    }
    int ok = fwrite(text.data(), 1, text.size(), file) == text.size();
    return fclose(file) == 0 && ok;
}

static const char Namespace[] =
    "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions";

static int WriteTemplates(const std::string& folder)
{
    Output out;
    std::string categories;
    WriteCategory(categories, out, ProductName, "", std::string(ProductName) + " network client",
                  "Settings of the network client's three property sheets. Each policy writes "
                  "the registry value that the sheet's page reads and saves; per-server and "
                  "per-resource mount defaults have no fixed key names and stay with the NFS "
                  "client sheet and zevrcfg.");
    int sheet = -1;
    int page = -1;
    for (int i = 0; i < GetSettingCount(); ++i) {
        const SettingRow* row = GetSettingRow(i);
        if ((int)row->Sheet != sheet) {
            sheet = row->Sheet;
            WriteCategory(categories, out, SheetId(row->Sheet), ProductName,
                          Capitalised(GetSheetName(row->Sheet)),
                          std::string("Settings of the ") + GetSheetName(row->Sheet) +
                              " sheet, a category for each of its pages.");
        }
        if ((int)row->Page != page) {
            page = row->Page;
            WriteCategory(categories, out, PageId(row->Page), SheetId(row->Sheet),
                          GetPageName(row->Page),
                          std::string("Settings of the ") + GetPageName(row->Page) + " page.");
        }
        // A write-only value has no page control of its own: another
        // policy writes it along.
        if (row->WriteOnly) {
            int found = 0;
            for (int j = 0; j < GetSettingCount() && !found; ++j)
                found = FindCompanion(GetSettingRow(j)) == row;
            if (!found) {
                fprintf(stderr, "policydoc: nothing writes %s\n", row->Name);
                return 0;
            }
            continue;
        }
        if (!WritePolicy(out, row))
            return 0;
    }
    AddString(out, "SUPPORTED_Client",
              std::string("Windows with the ") + ProductName + " network client installed");
    std::string admx = std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n") +
                       "<!-- Generated from the settings table by tools/policydoc; do not edit. "
                       "-->\n<policyDefinitions revision=\"1.0\" schemaVersion=\"1.0\" xmlns=\"" +
                       Namespace +
                       "\">\n  <policyNamespaces>\n"
                       "    <target prefix=\"zevrntps\" namespace=\"ZEVR.Policies.ZEVRNTPS\" />\n"
                       "  </policyNamespaces>\n  <resources minRequiredRevision=\"1.0\" />\n"
                       "  <supportedOn>\n    <definitions>\n"
                       "      <definition name=\"SUPPORTED_Client\" "
                       "displayName=\"$(string.SUPPORTED_Client)\" />\n"
                       "    </definitions>\n  </supportedOn>\n  <categories>\n" +
                       categories + "  </categories>\n  <policies>\n" + out.Policies +
                       "  </policies>\n</policyDefinitions>\n";
    std::string adml =
        std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n") +
        "<!-- Generated from the settings table by tools/policydoc; do not edit. "
        "-->\n<policyDefinitionResources revision=\"1.0\" schemaVersion=\"1.0\" "
        "xmlns=\"" +
        Namespace + "\">\n  <displayName>" + ProductName +
        " network client</displayName>\n  <description>Settings of the " + ProductName +
        " network client's property sheets</description>\n  <resources>\n"
        "    <stringTable>\n" +
        out.Strings + "    </stringTable>\n    <presentationTable>\n" + out.Presentations +
        "    </presentationTable>\n  </resources>\n" + "</policyDefinitionResources>\n";
    mkdir(folder.c_str(), 0777);
    mkdir((folder + "/en-US").c_str(), 0777);
    return WriteFile(folder + "/ZEVRNTPS.admx", admx) &&
           WriteFile(folder + "/en-US/ZEVRNTPS.adml", adml);
}

static std::string Json(const char* text)
{
    if (text == NULL)
        return "null";
    std::string result = "\"";
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '"' || *p == '\\') {
            result += '\\';
            result += *p;
        } else if ((unsigned char)*p < 0x20) {
            char escaped[8];
            snprintf(escaped, sizeof(escaped), "\\u%04x", (unsigned)(unsigned char)*p);
            result += escaped;
        } else {
            result += *p;
        }
    }
    return result + "\"";
}

static const char* KindName(SettingKind kind)
{
    static const char* const names[] = {"flag", "list", "choice", "clamped", "number",
                                        "mask", "text", "hosts",  "codes"};
    return names[kind];
}

// The table's own fields, for a check of the templates that does not go
// through this program's mapping.
static int WriteRows(const char* path)
{
    std::string text = "[\n";
    for (int i = 0; i < GetSettingCount(); ++i) {
        const SettingRow* row = GetSettingRow(i);
        char key[LevelKeyPathSize];
        BuildSettingKeyPath(row, NULL, NULL, key, sizeof(key));
        text += std::string("  {\"name\": ") + Json(row->Name) +
                ", \"page\": " + Json(GetPageName(row->Page)) +
                ", \"hive\": " + (row->Hive == HiveUser ? "\"user\"" : "\"machine\"") +
                ", \"key\": " + Json(key) + ", \"absolute\": " + Number((uint32_t)row->Absolute) +
                ", \"levels\": " + (row->Scope == ScopeLevels ? "1" : "0") +
                ", \"type\": " + Json(GetTypeName(row->Type)) +
                ", \"kind\": " + Json(KindName(row->Kind)) +
                ", \"minimum\": " + Number(row->Minimum) +
                ", \"maximum\": " + Number(row->Maximum) +
                ", \"default\": " + Number(row->DefaultNumber) +
                ", \"defaultText\": " + Json(row->DefaultText) +
                ", \"writeOnly\": " + Number((uint32_t)row->WriteOnly) + ", \"choices\": [";
        for (int c = 0; c < row->ChoiceCount; ++c)
            text += std::string(c > 0 ? ", " : "") +
                    "{\"number\": " + Number(row->Choices[c].Number) +
                    ", \"text\": " + Json(row->Choices[c].Text) + "}";
        text += std::string("]}") + (i + 1 < GetSettingCount() ? "," : "") + "\n";
    }
    return WriteFile(path, text + "]\n");
}

int main(int argc, char** argv)
{
    if (argc == 3 && strcmp(argv[1], "--rows") == 0)
        return WriteRows(argv[2]) ? 0 : 1;
    if (argc != 2) {
        fprintf(stderr, "usage: policydoc FOLDER | policydoc --rows FILE\n");
        return 1;
    }
    return WriteTemplates(argv[1]) ? 0 : 1;
}
