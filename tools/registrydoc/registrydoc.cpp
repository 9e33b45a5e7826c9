// Writes docs/registry.md from the settings table: every registry value the
// library reads or writes, for administrators.
//
//   registrydoc [FILE]     (standard output without FILE)
//
// Built natively; scripts/registry-doc.sh runs it, and a test fails when
// the committed file differs from what it writes.
#include "settings.h"

#include <stdio.h>
#include <string.h>

#include <string>

static std::string Code(const std::string& text)
{
    return "`" + text + "`";
}

static std::string Number(uint32_t value)
{
    char text[16];
    snprintf(text, sizeof(text), "%lu", (unsigned long)value);
    return text;
}

static std::string Hive(const SettingRow* row)
{
    return row->Hive == HiveUser ? "HKCU" : "HKLM";
}

static std::string KeyText(const SettingRow* row)
{
    const char* root =
        row->Hive == HiveUser ? "Software\\ZEVR\\CC\\1.0\\" : "SOFTWARE\\ZEVR\\CC\\1.0\\";
    if (row->Scope == ScopeLevels)
        return Code(Hive(row) + "\\" + root + "zevrnfs\\[Servers\\S\\[Resources\\R\\]]" + row->Key);
    return Code(Hive(row) + "\\" + (row->Absolute ? "" : root) + row->Key);
}

static std::string DefaultText(const SettingRow* row)
{
    std::string value;
    char shown[64];
    if (row->Type == TypeDword) {
        value = Number(row->DefaultNumber);
        FormatSettingValue(row, row->DefaultNumber, NULL, shown, sizeof(shown));
        if (value != shown)
            value += " (" + std::string(shown) + ")";
    } else {
        value = Code(row->DefaultText[0] != '\0' ? row->DefaultText : " ");
        if (row->DefaultText[0] == '\0')
            value = "empty";
        FormatSettingValue(row, 0, row->DefaultText, shown, sizeof(shown));
        if (strcmp(shown, row->DefaultText) != 0)
            value += " (" + std::string(shown) + ")";
    }
    switch (row->Origin) {
    case OriginBuiltIn:
        return value + ", inherited; built in at the top level";
    case OriginUnlisted:
        return value + ", inherited; no built-in: 0 at the top level";
    case OriginFixed:
        break;
    }
    return value + ", fixed";
}

static std::string Items(const SettingRow* row)
{
    std::string text;
    if (row->ZeroText != NULL && row->ZeroFirst)
        text = row->ZeroText + std::string(" (0)");
    for (const char* const* item = row->Items; item != NULL && *item != NULL; ++item)
        text += (text.empty() ? "" : ", ") + std::string(*item);
    if (row->ZeroText != NULL && !row->ZeroFirst && row->Items != NULL)
        text += ", " + std::string(row->ZeroText) + " (0)";
    return text;
}

static std::string Accepted(const SettingRow* row)
{
    char words[200];
    DescribeAccepted(row, words, sizeof(words));
    if (row->Kind == KindList)
        return "list " + Items(row) + "; typed: " + words;
    return words;
}

static std::string OutOfRange(const SettingRow* row)
{
    switch (row->Kind) {
    case KindClamped:
        return "clamped to " + Number(row->Minimum) + " or " + Number(row->Maximum);
    case KindNumber:
        return "none";
    case KindMask:
        return "cannot be entered";
    case KindFlag:
    case KindChoice:
    case KindCodes:
        return "cannot be entered";
    case KindText:
    case KindHostList:
        return "a longer text cannot be typed";
    default:
        return "refused: the stored value stays";
    }
}

static std::string ShownAs(const SettingRow* row)
{
    std::string text;
    switch (row->Display) {
    case DisplayPlain:
        return "as stored";
    case DisplayChoice: {
        bool asStored = true;
        for (int i = 0; i < row->ChoiceCount; ++i)
            asStored = asStored && row->Choices[i].Text != NULL &&
                       strcmp(row->Choices[i].Text, row->Choices[i].Shown) == 0;
        if (asStored)
            text = "as stored";
        for (int i = 0; i < row->ChoiceCount && !asStored; ++i) {
            const SettingChoice& choice = row->Choices[i];
            text += (i > 0 ? ", " : "") +
                    (choice.Text != NULL ? Code(choice.Text[0] != '\0' ? choice.Text : "\"\"")
                                         : Number(choice.Number)) +
                    " " + choice.Shown;
        }
        return text + (row->UnknownIsFirst ? "; anything else as the first" : "");
    }
    case DisplayUmask: {
        char permissions[10];
        return "nine boxes, checked where the bit is clear: " + Number(row->DefaultNumber) +
               " (octal 022) is " + Code(FormatPermissions(row->DefaultNumber, permissions));
    }
    case DisplayNamedZero:
        return "0 as \"" + std::string(row->ZeroText) + "\"";
    case DisplayHostList:
        return Code("*") + " alone as broadcast; other entries joined by commas";
    case DisplaySearchOrder:
        for (int i = 0; i < row->ChoiceCount; ++i)
            text += (i > 0 ? ", " : "") + Code(row->Choices[i].Text) + " " + row->Choices[i].Shown;
        return text;
    }
    return text;
}

int main(int argc, char** argv)
{
    FILE* out = stdout;
    if (argc > 1 && (out = fopen(argv[1], "w")) == NULL) {
        fprintf(stderr, "registrydoc: cannot write %s\n", argv[1]);
        return 1;
    }
    fputs("# Registry settings\n\n"
          "Every registry value that ZEVRNTPS.dll reads or writes. This file is generated from\n"
          "the settings table (`framework/settings.cpp`) by `scripts/registry-doc.sh`; do not\n"
          "edit it by hand. A test fails when it differs from what the table gives.\n\n"
          "- HKCU is HKEY_CURRENT_USER, HKLM HKEY_LOCAL_MACHINE. Keys below\n"
          "  `Software\\ZEVR\\CC\\1.0\\` are the suite's settings root; the service keys below\n"
          "  `System\\...` are given from the hive's root.\n"
          "- Mount defaults apply on three levels: the top level `zevrnfs\\X`, a server\n"
          "  `zevrnfs\\Servers\\S\\X` and a resource of that server\n"
          "  `zevrnfs\\Servers\\S\\Resources\\R\\X` (X is `UserMountDefaults` or\n"
          "  `MachineMountDefaults`). A missing value inherits from the level above, the top\n"
          "  level from the built-in default. The pages edit the top level only.\n"
          "- After OK or Apply on the NFS client sheet, the pruning pass deletes every\n"
          "  per-user mount default that equals what it would inherit, and mount-defaults\n"
          "  keys left empty. Machine-wide values are never pruned.\n"
          "- \"Out of range\" tells what the page does with a number outside what it accepts:\n"
          "  a refused number leaves the stored value as it was; a clamped one is stored as\n"
          "  the nearer bound. Check boxes, radio buttons and fixed lists cannot hold one.\n",
          out);
    SettingPage page = (SettingPage)-1;
    SettingSheet sheet = (SettingSheet)-1;
    for (int i = 0; i < GetSettingCount(); ++i) {
        const SettingRow* row = GetSettingRow(i);
        if (row->Sheet != sheet) {
            sheet = row->Sheet;
            fprintf(out, "\n## The %s sheet\n", GetSheetName(sheet));
        }
        if (row->Page != page) {
            page = row->Page;
            fprintf(out,
                    "\n### %s page\n\n"
                    "| Value | Type | Key | Applies to | Default | Accepted | Out of range | "
                    "Shown as | Pruned | Notes |\n"
                    "|---|---|---|---|---|---|---|---|---|---|\n",
                    GetPageName(page));
        }
        std::string notes = row->Note;
        if (row->Pair != NULL)
            notes += std::string("; saved only while ") +
                     (row->PairIsMinimum ? "not above " : "not below ") + Code(row->Pair);
        if (row->Requires != NULL)
            notes += "; stored as 0 while " + Code(row->Requires) + " is 0";
        if (row->WriteOnly)
            notes += "; written, never read back";
        fprintf(out, "| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n",
                Code(row->Name).c_str(), GetTypeName(row->Type), KeyText(row).c_str(),
                row->Scope == ScopeLevels ? "three levels" : "machine-wide",
                DefaultText(row).c_str(), Accepted(row).c_str(), OutOfRange(row).c_str(),
                ShownAs(row).c_str(), row->Prunable ? "yes" : "no", notes.c_str());
    }
    if (out != stdout && fclose(out) != 0)
        return 1;
    return 0;
}
