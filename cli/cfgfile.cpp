#include "cfgfile.h"

#include "parenttext.h"
#include "utf.h"

#include <stdio.h>

static bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

static std::string Trim(const std::string& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

static bool IsControl(char c)
{
    return (unsigned char)c < 0x20 || c == 0x7f;
}

// Bytes that a name or value carries only as \xHH: what export writes is
// then plain ASCII, whatever the code page of the machine that reads it.
static bool NeedsEscape(char c)
{
    return IsControl(c) || (unsigned char)c >= 0x80;
}

static std::string Quote(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (NeedsEscape(c)) {
            char hex[8];
            snprintf(hex, sizeof(hex), "\\x%02X", (unsigned)(unsigned char)c);
            out += hex;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// Reads a quoted text starting at text[*at] == '"'; *at moves past the
// closing quote.
static int ReadQuoted(const std::string& text, size_t* at, std::string* out, std::string* error)
{
    out->clear();
    for (size_t i = *at + 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            *at = i + 1;
            return 1;
        }
        if (c != '\\') {
            *out += c;
            continue;
        }
        if (++i >= text.size())
            break;
        switch (text[i]) {
        case '\\':
        case '"':
            *out += text[i];
            break;
        case 'n':
            *out += '\n';
            break;
        case 'r':
            *out += '\r';
            break;
        case 't':
            *out += '\t';
            break;
        case 'x': {
            int high = i + 1 < text.size() ? HexDigitValue(text[i + 1]) : -1;
            int low = i + 2 < text.size() ? HexDigitValue(text[i + 2]) : -1;
            if (high < 0 || low < 0) {
                *error = "\\x needs two hexadecimal digits";
                return 0;
            }
            *out += (char)(high * 16 + low);
            i += 2;
            break;
        }
        default:
            *error = std::string("unknown escape \\") + text[i];
            return 0;
        }
    }
    *error = "a quoted text is not closed";
    return 0;
}

std::string QuoteName(const std::string& name)
{
    bool bare = !name.empty();
    for (char c : name)
        if (NeedsEscape(c) || c == ' ' || c == '"' || c == '[' || c == ']' || c == '=' ||
            c == '#' || c == ';')
            bare = false;
    return bare ? name : Quote(name);
}

std::string QuoteValue(const std::string& value, int inList)
{
    bool bare = !value.empty() && !IsBlank(value.front()) && !IsBlank(value.back());
    for (char c : value)
        if (NeedsEscape(c) || c == '"' || (inList && c == ','))
            bare = false;
    return bare ? value : Quote(value);
}

std::string FormatSectionHeader(const Section& section)
{
    switch (section.Kind) {
    case SectionServer:
        return "[server " + QuoteName(section.Server) + "]";
    case SectionResource:
        return "[resource " + QuoteName(section.Server) + " " + QuoteName(section.Resource) + "]";
    case SectionMachine:
        return "[machine]";
    default:
        return "[top]";
    }
}

int DecodeValue(const std::string& text, std::string* value, std::string* error)
{
    std::string trimmed = Trim(text);
    if (trimmed.empty() || trimmed[0] != '"') {
        *value = trimmed;
        return 1;
    }
    size_t at = 0;
    if (!ReadQuoted(trimmed, &at, value, error))
        return 0;
    if (at != trimmed.size()) {
        *error = "text follows the closing quote";
        return 0;
    }
    return 1;
}

int DecodeList(const std::string& text, std::vector<std::string>* entries, std::string* error)
{
    entries->clear();
    std::string trimmed = Trim(text);
    size_t at = 0;
    while (at < trimmed.size()) {
        while (at < trimmed.size() && IsBlank(trimmed[at]))
            ++at;
        std::string entry;
        if (at < trimmed.size() && trimmed[at] == '"') {
            if (!ReadQuoted(trimmed, &at, &entry, error))
                return 0;
            while (at < trimmed.size() && IsBlank(trimmed[at]))
                ++at;
            if (at < trimmed.size() && trimmed[at] != ',') {
                *error = "text follows the closing quote";
                return 0;
            }
        } else {
            size_t comma = trimmed.find(',', at);
            if (comma == std::string::npos)
                comma = trimmed.size();
            entry = Trim(trimmed.substr(at, comma - at));
            at = comma;
            if (entry.empty()) {
                *error = "an entry of the list is empty";
                return 0;
            }
        }
        entries->push_back(entry);
        if (at < trimmed.size()) {
            // Past the comma; a list never ends with one.
            if (++at == trimmed.size()) {
                *error = "an entry of the list is empty";
                return 0;
            }
        }
    }
    return 1;
}

std::string EncodeList(const std::vector<std::string>& entries)
{
    std::string out;
    for (const std::string& entry : entries) {
        if (!out.empty())
            out += ", ";
        out += QuoteValue(entry, 1);
    }
    return out;
}

// One name of a section header at text[*at]: quoted, or a bare run up to a
// blank, quote or ']'.
static int ReadHeaderName(const std::string& text, size_t* at, std::string* name,
                          std::string* error)
{
    while (*at < text.size() && IsBlank(text[*at]))
        ++*at;
    if (*at < text.size() && text[*at] == '"') {
        if (!ReadQuoted(text, at, name, error))
            return 0;
        if (name->empty()) {
            *error = "a server or resource name is empty";
            return 0;
        }
        return 1;
    }
    size_t start = *at;
    while (*at < text.size() && !IsBlank(text[*at]) && text[*at] != ']' && text[*at] != '"')
        ++*at;
    *name = text.substr(start, *at - start);
    if (name->empty()) {
        *error = "a server or resource name is missing";
        return 0;
    }
    return 1;
}

static int ReadSectionHeader(const std::string& line, Section* section, std::string* error)
{
    size_t at = 1;
    while (at < line.size() && IsBlank(line[at]))
        ++at;
    size_t start = at;
    while (at < line.size() && line[at] >= 'a' && line[at] <= 'z')
        ++at;
    std::string word = line.substr(start, at - start);
    int names = 0;
    if (word == "top") {
        section->Kind = SectionTop;
    } else if (word == "machine") {
        section->Kind = SectionMachine;
    } else if (word == "server") {
        section->Kind = SectionServer;
        names = 1;
    } else if (word == "resource") {
        section->Kind = SectionResource;
        names = 2;
    } else {
        *error = "unknown section (top, server NAME, resource SERVER NAME or machine)";
        return 0;
    }
    section->Server.clear();
    section->Resource.clear();
    if (names >= 1 && !ReadHeaderName(line, &at, &section->Server, error))
        return 0;
    if (names == 2 && !ReadHeaderName(line, &at, &section->Resource, error))
        return 0;
    while (at < line.size() && IsBlank(line[at]))
        ++at;
    if (at + 1 != line.size() || line[at] != ']') {
        *error = "malformed section header";
        return 0;
    }
    return 1;
}

static int ReadLines(const std::string& text, LineConverter convert, bool unicode,
                     std::vector<Assignment>* assignments, int* errorLine, std::string* error)
{
    assignments->clear();
    Section section;
    bool inSection = false;
    int number = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        line = Trim(line);
        if (line.empty() || line[0] == '#' || line[0] == ';')
            continue;
        *errorLine = number;
        if (unicode && convert != NULL) {
            std::string converted;
            if (!convert(line, &converted, error))
                return 0;
            line = converted;
        }
        if (line[0] == '[') {
            if (!ReadSectionHeader(line, &section, error))
                return 0;
            inSection = true;
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos) {
            *error = "expected a section header or Name = value";
            if (!inSection)
                *error += "; this does not look like a settings file, which starts with [top], "
                          "[server NAME], [resource SERVER NAME] or [machine]";
            return 0;
        }
        Assignment assignment;
        assignment.Line = number;
        assignment.Where = section;
        assignment.Name = Trim(line.substr(0, equals));
        assignment.Value = line.substr(equals + 1);
        if (assignment.Name.empty()) {
            *error = "a setting's name is missing before '='";
            return 0;
        }
        if (!inSection) {
            *error = "a setting before the first section header";
            return 0;
        }
        assignments->push_back(assignment);
    }
    *errorLine = 0;
    return 1;
}

int ReadSettingsFile(const std::string& text, std::vector<Assignment>* assignments, int* errorLine,
                     std::string* error)
{
    return ReadLines(text, NULL, false, assignments, errorLine, error);
}

// ---- the file's encoding ----------------------------------------------------

static const char Expected[] =
    "import expects a settings file as zevrcfg export writes it (ASCII, UTF-8, or UTF-16 with "
    "its byte-order mark): [top], [server NAME], [resource SERVER NAME] and [machine] sections "
    "of Name = value lines";

int ReadSettingsFileBytes(const std::string& bytes, LineConverter convert,
                          std::vector<Assignment>* assignments, int* errorLine, std::string* error)
{
    assignments->clear();
    *errorLine = 0;
    // UTF-16 is checked as it is decoded; UTF-8 after the NUL check.
    enum { Utf16, Utf8Mark, NoMark } source = NoMark;
    std::string text;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        source = Utf8Mark;
        text = bytes.substr(3);
    } else if (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0) {
        source = Utf16;
        if (!DecodeUtf16(bytes, bytes[0] == '\xFE', &text, errorLine, error))
            return 0;
    } else {
        const char* order = Utf16WithoutMark(bytes);
        if (order != NULL) {
            *errorLine = 1;
            *error = std::string("this looks like ") + order +
                     " text without its byte-order mark, which import cannot tell from binary "
                     "data; " +
                     Expected;
            return 0;
        }
        text = bytes;
    }
    size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        *errorLine = LineAt(text, nul);
        *error = std::string("a NUL character: this is binary data, not text; ") + Expected;
        return 0;
    }
    bool unicode = true;
    if (source != Utf16) {
        bool wide = false;
        size_t bad = FindBadUtf8(text, &wide);
        if (source == Utf8Mark && bad != std::string::npos) {
            char hex[96];
            snprintf(hex, sizeof(hex),
                     "byte 0x%02X is not UTF-8, though the file starts with the UTF-8 "
                     "byte-order mark",
                     (unsigned)(unsigned char)text[bad]);
            *errorLine = LineAt(text, bad);
            *error = hex;
            return 0;
        }
        // Without a mark, text that is ASCII or not all well-formed UTF-8 is
        // the code page's own, as export wrote it before.
        unicode = source == Utf8Mark || (bad == std::string::npos && wide);
    }
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        *error = "the file is empty; " + std::string(Expected);
        return 0;
    }
    size_t end = text.find_first_of("\r\n", first);
    std::string head = Trim(text.substr(first, end == std::string::npos ? end : end - first));
    if (head == "REGEDIT4" || head.compare(0, 31, "Windows Registry Editor Version") == 0) {
        *errorLine = LineAt(text, first);
        *error = "a registry editor file (" + head +
                 "), not a settings file; reg import loads it, and " + Expected;
        return 0;
    }
    return ReadLines(text, convert, unicode, assignments, errorLine, error);
}

static std::string RegText(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string FormatRegFile(const std::vector<RegKey>& keys, const std::vector<std::string>& notes)
{
    std::string out = "REGEDIT4\n\n";
    for (const std::string& note : notes)
        out += "; " + note + "\n";
    if (!notes.empty())
        out += "\n";
    for (const RegKey& key : keys) {
        out += "[" + key.Path + "]\n";
        for (const RegValue& value : key.Values) {
            out += value.Name.empty() ? "@" : RegText(value.Name);
            out += "=";
            if (value.Type == 4) {
                char number[32];
                snprintf(number, sizeof(number), "dword:%08x", (unsigned)value.Number);
                out += number;
            } else if (value.Type == 1) {
                out += RegText(value.Texts.empty() ? std::string() : value.Texts[0]);
            } else {
                // The multi-string's bytes: every entry with its terminator,
                // then the closing empty entry.
                std::string bytes;
                for (const std::string& entry : value.Texts) {
                    bytes += entry;
                    bytes += '\0';
                }
                bytes += '\0';
                out += "hex(7):";
                for (size_t i = 0; i < bytes.size(); ++i) {
                    char hex[4];
                    snprintf(hex, sizeof(hex), "%02x", (unsigned)(unsigned char)bytes[i]);
                    out += i == 0 ? "" : ",";
                    out += hex;
                }
            }
            out += "\n";
        }
        out += "\n";
    }
    return out;
}
