#include "serverlist.h"

#include <gtest/gtest.h>
#include <string.h>
#include <string>

// A multi-string as readable text: every terminator shown as '|'.
static std::string Shown(const char* list, size_t size)
{
    std::string text;
    for (size_t i = 0; i < size; ++i) {
        text += list[i] == '\0' ? '|' : list[i];
        if (list[i] == '\0' && (i == 0 || list[i - 1] == '\0'))
            break;
    }
    return text;
}

TEST(ServerList, SplitsOnCommasSemicolonsAndBlanks)
{
    struct {
        const char* text;
        const char* list;
    } cases[] = {
        {"alpha", "alpha||"},
        {"alpha,beta", "alpha|beta||"},
        {"alpha; beta,,gamma", "alpha|beta|gamma||"},
        {", alpha,", "alpha||"},
        {"a b\tc;d", "a|b|c|d||"},
        {"*", "*||"},
        {"", "|"},
        {"   ", "|"},
        {",;, \t", "|"},
        {"host.example:2049", "host.example:2049||"},
    };
    for (const auto& c : cases) {
        char list[64];
        memset(list, 'x', sizeof(list));
        EXPECT_EQ(1, SplitServerList(list, sizeof(list), c.text)) << c.text;
        EXPECT_EQ(c.list, Shown(list, sizeof(list))) << '"' << c.text << '"';
    }
}

TEST(ServerList, SplitRefusesWhatDoesNotFitAndLeavesTheEmptyList)
{
    // "ab,c" needs "ab|c||": six bytes.
    char list[6];
    EXPECT_EQ(1, SplitServerList(list, 6, "ab,c"));
    EXPECT_EQ("ab|c||", Shown(list, 6));
    EXPECT_EQ(0, SplitServerList(list, 5, "ab,c"));
    EXPECT_EQ("|", Shown(list, 5));
    EXPECT_EQ(1, SplitServerList(list, 1, ",,"));
    EXPECT_EQ(0, SplitServerList(list, 1, "a"));
    EXPECT_EQ(1, SplitServerList(list, 6, nullptr));
    // The page's longest text always fits its buffer.
    std::string text;
    while (text.size() < 4093)
        text += "a,";
    text.resize(4093);
    std::string big(4096, 'x');
    EXPECT_EQ(1, SplitServerList(&big[0], big.size(), text.c_str()));
}

TEST(ServerList, JoinsEntriesWithCommasInPlace)
{
    struct {
        std::string list;
        const char* text;
    } cases[] = {
        {std::string("alpha\0beta\0\0", 12), "alpha,beta"},
        {std::string("alpha\0\0", 7), "alpha"},
        {std::string("\0\0", 2), ""},
        {std::string("\0", 1), ""},
        // The list ends at its first empty entry.
        {std::string("a\0\0b\0\0", 6), "a"},
        {std::string("*\0x\0\0", 5), "*,x"},
    };
    for (auto& c : cases) {
        std::string list = c.list;
        EXPECT_STREQ(c.text, JoinServerList(&list[0], list.size()));
    }
    // Cut off without terminators: still terminated inside the buffer.
    char cut[3] = {'a', 'b', 'c'};
    EXPECT_STREQ("ab", JoinServerList(cut, 3));
}

TEST(ServerList, BroadcastIsTheFirstEntryStarAlone)
{
    EXPECT_EQ(1, IsBroadcastList("*\0"));
    EXPECT_EQ(1, IsBroadcastList("*\0alpha\0"));
    EXPECT_EQ(0, IsBroadcastList("**\0"));
    EXPECT_EQ(0, IsBroadcastList("alpha\0*\0"));
    EXPECT_EQ(0, IsBroadcastList("\0"));
    EXPECT_EQ(0, IsBroadcastList(nullptr));
}
