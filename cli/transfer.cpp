// Export and import: every stored NFS client setting written as a
// settings file or a registry editor file, leaving out (with a note) what
// the pages would never have stored or what import could not bring back;
// and a settings file read in any of its encodings, converted to the code
// page of the registry calls, checked line by line and handed to the
// change machinery as one list, so that a bad line writes nothing.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "cfgfile.h"
#include "regtree.h"
#include "settings.h"
#include "commands.h"

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

int Export(const char* file, bool reg)
{
    LoadSettings();
    std::string text = "# NFS client settings, written by zevrcfg export\n";
    std::vector<RegKey> keys;
    std::map<std::string, size_t> keyIndex;
    std::vector<std::string> notes;
    std::vector<Level> levels = ListLevels();
    Level machine;
    machine.Kind = SectionMachine;
    levels.push_back(machine);
    std::vector<Breach> breaches = FindBreaches();
    for (const Level& level : levels) {
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
            std::string path = RowKeyPath(row, level);
            // By path: a search through every key so far grows with the tree.
            auto found = keyIndex.find(path);
            if (found == keyIndex.end()) {
                found = keyIndex.insert({path, keys.size()}).first;
                keys.push_back(RegKey());
                keys.back().Path = path;
            }
            RegKey* key = &keys[found->second];
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
    int written;
    if (!reg) {
        written = WriteOutput(file, text);
    } else {
        std::string regText = FormatRegFile(keys, notes);
        std::string crlf;
        for (char c : regText)
            crlf += c == '\n' ? "\r\n" : std::string(1, c);
        written = WriteOutput(file, crlf);
    }
    // A key that could not be read (named above) is missing from the file:
    // a script must notice before it takes the file for the whole tree.
    if (written == ExitDone && !ReadProblems.empty())
        return Refuse("%u key%s could not be read; the file lacks %s",
                      (unsigned)ReadProblems.size(), ReadProblems.size() == 1 ? "" : "s",
                      ReadProblems.size() == 1 ? "it" : "them");
    return written;
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

int Import(const char* file, bool replace, bool dryRun)
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
            if (earlier.Row == change.Row && SameLevel(earlier.Where, change.Where))
                return Refuse("%s: line %d: %s is set twice in this section (line %d); nothing "
                              "written",
                              file, assignment.Line, change.Row->Name, earlier.Line);
        changes.push_back(change);
    }
    return RunChanges(changes, replace, dryRun);
}
