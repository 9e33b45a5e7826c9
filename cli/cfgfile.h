// The text forms of zevrcfg, without Win32: the settings file (sections
// for the top level, each server, each resource and the machine-wide
// values, one "Name = value" a line), its quoting, and the registry editor
// file (REGEDIT4) that export --reg writes.
#ifndef ZEVR_CFGFILE_H
#define ZEVR_CFGFILE_H

#include <stdint.h>

#include <string>
#include <vector>

enum SectionKind { SectionTop, SectionServer, SectionResource, SectionMachine };

struct Section {
    int Kind = SectionTop;
    std::string Server;
    std::string Resource;
};

// One "Name = value" line as read: the value is still text (quotes and
// list commas undone by DecodeValue and DecodeList when its setting says
// which it is).
struct Assignment {
    int Line = 0;
    Section Where;
    std::string Name;
    std::string Value;
};

// Reads a whole settings file. Blank lines and lines starting with '#' or
// ';' are skipped; a "Name = value" line before any section header belongs
// to no section and is an error. Returns 1, or 0 with *errorLine and *error
// set for the first malformed line.
int ReadSettingsFile(const std::string& text, std::vector<Assignment>* assignments, int* errorLine,
                     std::string* error);

// Turns one line of Unicode text, as UTF-8, into the code page that the
// registry calls use; returns 0 with *error when a character has no form
// there.
typedef int (*LineConverter)(const std::string& utf8, std::string* out, std::string* error);

// Reads a settings file from the bytes on disk: UTF-8 with or without its
// byte-order mark, UTF-16 (either order) with its mark, or the code page's
// own text. Lines of a Unicode file that are not comments go through
// convert (NULL keeps them UTF-8) before they are read. A file that is no
// settings file (empty, binary, a registry editor file, UTF-16 without its
// mark) is refused with what it looks like; *errorLine is 0 when no line is
// to blame.
int ReadSettingsFileBytes(const std::string& bytes, LineConverter convert,
                          std::vector<Assignment>* assignments, int* errorLine, std::string* error);

// "[top]", "[machine]", "[server NAME]" or "[resource SERVER NAME]", names
// quoted as QuoteName does.
std::string FormatSectionHeader(const Section& section);

// A name as it goes into a section header: bare when it is not empty and
// holds only printable characters other than blank, quote, '[', ']', '=',
// '#' and ';'; else in double quotes, with '\' and '"' escaped by '\' and
// control characters and bytes above 0x7F as \n, \r, \t or \xHH, so that
// the file is plain ASCII and reads the same in any encoding.
std::string QuoteName(const std::string& name);
// A value: bare when it is not empty, holds only ASCII and no control
// character or quote and neither starts nor ends with a blank, and (inList) holds no comma;
// else quoted like a name.
std::string QuoteValue(const std::string& value, int inList);

// The value of a "Name = value" line or of a command-line argument: one
// quoted text (nothing but blanks may follow it), or the bare text as it
// stands. Returns 1, or 0 with *error.
int DecodeValue(const std::string& text, std::string* value, std::string* error);
// A comma-separated list whose entries are bare (blanks around them
// dropped) or quoted; "" is the empty list. Returns 1, or 0 with *error.
int DecodeList(const std::string& text, std::vector<std::string>* entries, std::string* error);
// The list as DecodeList reads it back: entries joined by ", ".
std::string EncodeList(const std::vector<std::string>& entries);

// Registry editor file (REGEDIT4, the text form that system tools import).
struct RegValue {
    std::string Name;
    uint32_t Type = 0; // 1 text, 4 number, 7 multi-string
    uint32_t Number = 0;
    std::vector<std::string> Texts; // one text, or the multi-string's entries
};
struct RegKey {
    std::string Path; // full path beginning with the hive's name
    std::vector<RegValue> Values;
};
std::string FormatRegFile(const std::vector<RegKey>& keys, const std::vector<std::string>& notes);

#endif
