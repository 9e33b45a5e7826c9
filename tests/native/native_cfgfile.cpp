#include "cfgfile.h"

#include <gtest/gtest.h>

TEST(SettingsFile, NamesAndValuesAreQuotedOnlyWhereNeededAndReadBack)
{
    struct {
        std::string name;
        const char* header;
    } names[] = {
        {"srv1", "[server srv1]"},
        {"my server", "[server \"my server\"]"},
        {"a]b", "[server \"a]b\"]"},
        {"a=b", "[server \"a=b\"]"},
        {"say \"hi\"", "[server \"say \\\"hi\\\"\"]"},
        {"tab\there", "[server \"tab\\there\"]"},
        {"line\nfeed\x01", "[server \"line\\nfeed\\x01\"]"},
        {"#hash;", "[server \"#hash;\"]"},
        {"\xe9t\xe9", "[server \"\\xE9t\\xE9\"]"},
        {"/export/home", "[server /export/home]"},
    };
    for (const auto& row : names) {
        Section section;
        section.Kind = SectionServer;
        section.Server = row.name;
        std::string header = FormatSectionHeader(section);
        EXPECT_EQ(row.header, header);
        // The same name as a resource of itself, then read back.
        section.Kind = SectionResource;
        section.Resource = row.name;
        std::vector<Assignment> read;
        int line = -1;
        std::string error;
        ASSERT_TRUE(ReadSettingsFile("# c\n" + FormatSectionHeader(section) + "\r\nRSize = 1\n",
                                     &read, &line, &error))
            << header << ": " << error;
        ASSERT_EQ(1u, read.size());
        EXPECT_EQ(SectionResource, read[0].Where.Kind);
        EXPECT_EQ(row.name, read[0].Where.Server);
        EXPECT_EQ(row.name, read[0].Where.Resource);
        EXPECT_EQ(3, read[0].Line);
    }

    struct {
        std::string value;
        int inList;
        const char* written;
    } values[] = {
        {"tcp", 0, "tcp"},
        {"", 0, "\"\""},
        {" lead", 0, "\" lead\""},
        {"a,b", 0, "a,b"},
        {"a,b", 1, "\"a,b\""},
        {"x\"y", 0, "\"x\\\"y\""},
        {"c:\\log", 0, "c:\\log"},
        {"rwxr-xr-x", 0, "rwxr-xr-x"},
        {"caf\xe9", 0, "\"caf\\xE9\""},
    };
    for (const auto& row : values) {
        EXPECT_EQ(row.written, QuoteValue(row.value, row.inList));
        std::string back;
        std::string error;
        ASSERT_TRUE(DecodeValue("  " + QuoteValue(row.value, row.inList) + " ", &back, &error));
        EXPECT_EQ(row.value, back);
    }
}

TEST(SettingsFile, ListsSplitAtCommasOutsideQuotes)
{
    struct {
        const char* text;
        std::vector<std::string> entries;
        const char* error; // nullptr: read
    } rows[] = {
        {"", {}, nullptr},
        {"*", {"*"}, nullptr},
        {" a , b,c ", {"a", "b", "c"}, nullptr},
        {"\"a, b\", \"\", c", {"a, b", "", "c"}, nullptr},
        {"a,,b", {}, "empty"},
        {"a,", {}, "empty"},
        {"\"a\" b", {}, "follows"},
        {"\"a", {}, "not closed"},
        {"\"\\q\"", {}, "unknown escape"},
        {"\"\\x4\"", {}, "two hexadecimal"},
    };
    for (const auto& row : rows) {
        std::vector<std::string> entries;
        std::string error;
        int ok = DecodeList(row.text, &entries, &error);
        if (row.error == nullptr) {
            EXPECT_TRUE(ok) << row.text << ": " << error;
            EXPECT_EQ(row.entries, entries) << row.text;
            if (ok) {
                std::vector<std::string> again;
                EXPECT_TRUE(DecodeList(EncodeList(entries), &again, &error));
                EXPECT_EQ(entries, again);
            }
        } else {
            EXPECT_FALSE(ok) << row.text;
            EXPECT_NE(std::string::npos, error.find(row.error)) << row.text << ": " << error;
        }
    }
}

TEST(SettingsFile, TheFirstMalformedLineIsNamed)
{
    struct {
        const char* text;
        int line;
        const char* error;
    } rows[] = {
        {"ReadOnly = 1\n", 1, "before the first section"},
        {"[top]\n\nReadOnly 1\n", 3, "expected"},
        {"[top]\n = 1\n", 2, "name is missing"},
        {"[top\n", 1, "malformed"},
        {"[top] x\n", 1, "malformed"},
        {"[servers a]\n", 1, "unknown section"},
        {"[server]\n", 1, "missing"},
        {"[server \"\"]\n", 1, "empty"},
        {"[server a b]\n", 1, "malformed"},
        {"[resource a]\n", 1, "missing"},
        {"[server \"a]\n", 1, "not closed"},
        {"; c\r\n[machine]\r\nIdleTime = 300\r\n[top\r\n", 4, "malformed"},
    };
    for (const auto& row : rows) {
        std::vector<Assignment> read;
        int line = 0;
        std::string error;
        EXPECT_FALSE(ReadSettingsFile(row.text, &read, &line, &error)) << row.text;
        EXPECT_EQ(row.line, line) << row.text;
        EXPECT_NE(std::string::npos, error.find(row.error)) << row.text << ": " << error;
    }
}

// A code page of ASCII and U+00E9 alone, as the registry's would be.
static int ToTestCodePage(const std::string& utf8, std::string* out, std::string* error)
{
    out->clear();
    for (size_t i = 0; i < utf8.size(); ++i) {
        if ((unsigned char)utf8[i] < 0x80) {
            *out += utf8[i];
        } else if (utf8.compare(i, 2, "\xC3\xA9") == 0) {
            *out += '\xE9';
            ++i;
        } else {
            *error = "no form for " + utf8.substr(i);
            return 0;
        }
    }
    return 1;
}

static std::string Utf16(const std::u16string& text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        char high = (char)(unit >> 8), low = (char)(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

TEST(SettingsFile, EncodingsAreToldByTheirMarkAndNonSettingsFilesByWhatTheyLookLike)
{
    const std::u16string unicode =
        u"# caf\u00e9 \u4e2d\r\n[server caf\u00e9]\r\nTransport = \"\u00e9\"\r\n";
    const std::string converted = "caf\xE9| \"\xE9\"";
    struct {
        std::string bytes;
        const char* read;  // "server|value" of the last line read, or nullptr
        int line;          // of the error
        const char* error; // part of it
    } rows[] = {
        {"\xEF\xBB\xBF[top]\r\nRSize = 1\r\n", "| 1", 0, ""},
        {Utf16(unicode, false), converted.c_str(), 0, ""},
        {Utf16(unicode, true), converted.c_str(), 0, ""},
        {"\xEF\xBB\xBF[server caf\xC3\xA9]\nTransport = \"\xC3\xA9\"", converted.c_str(), 0, ""},
        // Well-formed UTF-8 without a mark is UTF-8; anything else is the
        // code page's own and passes as it stands.
        {"[server caf\xC3\xA9]\nTransport = \"\xC3\xA9\"", converted.c_str(), 0, ""},
        {"[server caf\xE9]\nTransport = \"\xE9\"", converted.c_str(), 0, ""},
        {"[server \xC3\xA9\xE9]\nX = \xC3", "\xC3\xA9\xE9| \xC3", 0, ""},
        // A comment holds anything; a character the code page lacks is
        // refused on its line.
        {"# \xE4\xB8\xAD\n[top]\nX = \xE4\xB8\xAD\n", nullptr, 3, "no form for \xE4\xB8\xAD"},
        {Utf16(u"[top]\nX = \U0001F600\n", false), nullptr, 2, "no form for \xF0\x9F\x98\x80"},
        {Utf16(u"[top]\nX = \xD83D!\n", false), nullptr, 2, "unpaired UTF-16 surrogate (0xD83D)"},
        {Utf16(u"[top]\nX = \xDE00\n", true), nullptr, 2, "unpaired UTF-16 surrogate (0xDE00)"},
        {Utf16(u"[top]\n", false) + "X", nullptr, 2, "middle of a character"},
        {"\xEF\xBB\xBF[top]\nX = \xE9\n", nullptr, 2, "byte 0xE9 is not UTF-8"},
        {"\xEF\xBB\xBF[top]\nX = \xED\xA0\x80\n", nullptr, 2, "byte 0xED is not UTF-8"},
        {"\xEF\xBB\xBF[top]\nX = \xC0\xAF\n", nullptr, 2, "byte 0xC0 is not UTF-8"},
        {std::string("[top]\n\nX = 1\0\x01", 14), nullptr, 3, "binary data"},
        {Utf16(std::u16string(u"[top]\nX = \0", 11), false), nullptr, 2, "binary data"},
        {std::string("[\0t\0o\0p\0]\0", 10), nullptr, 1, "UTF-16LE text without its byte-order"},
        {std::string("\0[\0t\0o\0p\0]", 10), nullptr, 1, "UTF-16BE text without its byte-order"},
        {"", nullptr, 0, "the file is empty; import expects a settings file"},
        {"\xEF\xBB\xBF \r\n\t\n", nullptr, 0, "empty"},
        {"\r\nREGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n", nullptr, 2,
         "a registry editor file (REGEDIT4), not a settings file"},
        {Utf16(u"Windows Registry Editor Version 5.00\r\n", false), nullptr, 1,
         "(Windows Registry Editor Version 5.00)"},
        {"name,value\nRSize,1\n", nullptr, 1, "does not look like a settings file"},
        // What export writes when nothing is stored: no line to read, no error.
        {"# NFS client settings\n", "", 0, ""},
    };
    for (const auto& row : rows) {
        std::vector<Assignment> read;
        int line = -1;
        std::string error;
        int ok = ReadSettingsFileBytes(row.bytes, ToTestCodePage, &read, &line, &error);
        EXPECT_EQ(row.read != nullptr, ok) << row.bytes << ": " << error;
        EXPECT_EQ(row.line, line) << row.bytes;
        EXPECT_NE(std::string::npos, error.find(row.error)) << row.bytes << ": " << error;
        if (ok && row.read[0] != '\0') {
            ASSERT_FALSE(read.empty()) << row.bytes;
            EXPECT_EQ(row.read, read.back().Where.Server + "|" + read.back().Value) << row.bytes;
        }
    }
}

TEST(RegFile, NumbersTextsAndMultiStrings)
{
    RegValue number;
    number.Name = "RSize";
    number.Type = 4;
    number.Number = 8192;
    RegValue text;
    text.Name = "Say \"x\"";
    text.Type = 1;
    text.Texts = {"c:\\a"};
    RegValue list;
    list.Name = "Hosts";
    list.Type = 7;
    list.Texts = {"ab", "c"};
    RegKey key;
    key.Path = "HKEY_CURRENT_USER\\Software\\K]";
    key.Values = {number, text, list};
    EXPECT_EQ("REGEDIT4\n\n; note\n\n"
              "[HKEY_CURRENT_USER\\Software\\K]]\n"
              "\"RSize\"=dword:00002000\n"
              "\"Say \\\"x\\\"\"=\"c:\\\\a\"\n"
              "\"Hosts\"=hex(7):61,62,00,63,00,00\n\n",
              FormatRegFile({key}, {"note"}));
}
