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
        {"\xe9t\xe9", "[server \xe9t\xe9]"},
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
        {"tcp", 0, "tcp"},         {"", 0, "\"\""},
        {" lead", 0, "\" lead\""}, {"a,b", 0, "a,b"},
        {"a,b", 1, "\"a,b\""},     {"x\"y", 0, "\"x\\\"y\""},
        {"c:\\log", 0, "c:\\log"}, {"rwxr-xr-x", 0, "rwxr-xr-x"},
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
