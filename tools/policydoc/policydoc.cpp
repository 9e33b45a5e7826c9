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

#include "policyrules.h"

struct Output {
    std::string Policies;
    std::string Strings;
    std::string Presentations;
};

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
