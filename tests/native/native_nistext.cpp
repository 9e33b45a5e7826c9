#include "nistext.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

TEST(DottedAddress, ValidityAndTheFieldsShown)
{
    // fields: what the four fields show, or nullptr when the text is refused
    // (blanks are ignored there, not by the validity check).
    const struct {
        const char* text;
        bool valid;
        const char* fields[4];
    } cases[] = {
        {"10.1.2.3", true, {"10", "1", "2", "3"}},
        {" 10. 1.2.3", false, {"10", "1", "2", "3"}},
        {"1..2.3", true, {"1", "", "2", "3"}},
        {"1.2.3.", true, {"1", "2", "3", ""}},
        {"255.255.255.255", true, {"255", "255", "255", "255"}},
        {"010.001.2.3", true, {"10", "1", "2", "3"}},
        {"10.1.2", true, {"10", "1", "0", "2"}},
        {"10.1234567", true, {"10", "18", "214", "135"}},
        {"127.16777215", true, {"127", "255", "255", "255"}},
        {"191.255.65535", true, {"191", "255", "255", "255"}},
        {"10.", true, {"10", "0", "0", "0"}},
        {"0.1.2.3", false, {}},
        {"256.1.1.1", false, {}},
        {"1.2.3.256", false, {}},
        {"1.2.3.4.5", false, {}},
        {"1a.2.3.4", false, {}},
        {"1234", false, {}},
        {"", false, {}},
        {"128.1", false, {}},
        {"1.16777216", false, {}},
        {"192.1.1", false, {}},
        {"1.256.1", false, {}},
        {"1.65536.1", false, {}},
        // Fourteen digits once wrapped a 32-bit part into range.
        {"1.4294967301", false, {}},
        {"1.00000000005", true, {"1", "0", "0", "5"}},
        {"1.2.3.4 ", false, {"1", "2", "3", "4"}},
        {"1.1.1.1000000000", false, {}},
        {"0001.2.3.4.5678", false, {}},
        {"1.2.3.4         5", false, {"1", "2", "3", "45"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        bool expectSplit = c.fields[0] != nullptr;
        EXPECT_EQ(c.valid, IsValidDottedAddress(c.text) == 1);
        char fields[4][AddressFieldSize] = {"x", "x", "x", "x"};
        ASSERT_EQ(expectSplit, SplitDottedAddress(c.text, fields) == 1);
        for (int i = 0; i < 4; ++i)
            EXPECT_STREQ(expectSplit ? c.fields[i] : "x", fields[i]) << i;
    }
    EXPECT_EQ(0, IsValidDottedAddress(nullptr));
    EXPECT_EQ(0, IsValidDottedAddress("1.2.3.4."));         // a fourth dot
    EXPECT_EQ(0, IsValidDottedAddress("1.2.3.4444444444")); // 16 characters
}

static std::vector<std::string> Split(const char* stored)
{
    char buffer[ServerListSize];
    snprintf(buffer, sizeof(buffer), "%s", stored);
    const char* items[MaxServerItems];
    int count = SplitServerList(buffer, items, MaxServerItems);
    return std::vector<std::string>(items, items + count);
}

TEST(ServerList, SplitsOnSingleBlanksAndStopsAtAnEmptyEntry)
{
    using List = std::vector<std::string>;
    EXPECT_EQ((List{"10.0.0.1", "10.0.0.2"}), Split("10.0.0.1 10.0.0.2"));
    EXPECT_EQ((List{"10.0.0.1"}), Split("10.0.0.1  10.0.0.2"));
    EXPECT_EQ((List{"10.0.0.1"}), Split("10.0.0.1 "));
    EXPECT_EQ(List{}, Split(" 10.0.0.1"));
    EXPECT_EQ(List{}, Split(""));
    // A long stored value may hold more than ten, and more than fit a list.
    std::string many;
    for (int i = 0; i < 89; ++i)
        many += "1 ";
    many += "2";
    List all = Split(many.c_str());
    ASSERT_EQ(90u, all.size());
    EXPECT_EQ("2", all.back());
    char buffer[8] = "a b c";
    const char* items[2];
    EXPECT_EQ(2, SplitServerList(buffer, items, 2));
    EXPECT_EQ(0, SplitServerList(nullptr, items, 2));
}

TEST(ServerList, AppendsWholeEntriesThatFit)
{
    char buffer[ServerListSize] = "";
    std::string entry(17, '1');
    // Ten entries of the longest kind need 179 characters.
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(1, AppendServerItem(buffer, sizeof(buffer), entry.c_str())) << i;
    EXPECT_EQ(179u, strlen(buffer));
    EXPECT_EQ(' ', buffer[17]);
    EXPECT_EQ(0, AppendServerItem(buffer, sizeof(buffer), "1"));
    EXPECT_EQ(179u, strlen(buffer));
    char small[6] = "ab";
    EXPECT_EQ(1, AppendServerItem(small, sizeof(small), "cd"));
    EXPECT_STREQ("ab cd", small);
    EXPECT_EQ(0, AppendServerItem(small, sizeof(small), ""));
}

TEST(DomainName, LabelsAndQuotedCharacters)
{
    const struct {
        const char* name;
        bool valid;
    } cases[] = {
        {"a.b.c", true},   {"a.b.c.", true}, {"a..b", true},   {"a\"/\"b", true},
        {"a\".\"b", true}, {"a@b", true},    {"\"@\"a", true}, {"corp-1.example", true},
        {".a", false},     {"a/b", false},   {"a,b", false},   {"a b", false},
        {"@a", false},     {"a.@b", false},  {"a\"b", false},  {"a\"", false},
        {"a\"bc\"", false}, {"a[b", false},   {"a]b", false},   {"a=b", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.valid, IsValidDomainName(c.name) == 1) << c.name;
    EXPECT_EQ(0, IsValidDomainName(nullptr));
    EXPECT_EQ(1, IsValidDomainLabel("ab", 2));
    EXPECT_EQ(0, IsValidDomainLabel("a b", 3));
}
