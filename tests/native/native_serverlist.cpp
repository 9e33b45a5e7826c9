#include "serverlist.h"

#include <gtest/gtest.h>
#include <string>

using namespace std::string_literals;

TEST(ServerList, SplitsOnSeparatorRunsIntoEntries)
{
    const std::string cases[][2] = {{", alpha,", "alpha\0\0"s},
                                    {"a b\tc;d", "a\0b\0c\0d\0\0"s},
                                    {",; \t", "\0"s},
                                    {"h.example:2049;", "h.example:2049\0\0"s}};
    for (const auto& c : cases) {
        char list[32];
        EXPECT_EQ(1, SplitServerList(list, sizeof(list), c[0].c_str())) << c[0];
        EXPECT_EQ(c[1], std::string(list, c[1].size())) << '"' << c[0] << '"';
    }
    // Too little room: the empty list.
    char list[5];
    EXPECT_EQ(0, SplitServerList(list, 5, "ab,c"));
    EXPECT_EQ('\0', list[0]);
}

TEST(ServerList, JoinsUpToTheFirstEmptyEntryWithinItsSize)
{
    std::string cases[][2] = {{"alpha\0beta\0\0"s, "alpha,beta"},
                              {"a\0\0b\0\0"s, "a"},
                              {"abc", "ab"}}; // cut off without terminators
    for (auto& c : cases)
        EXPECT_EQ(c[1], JoinServerList(&c[0][0], c[0].size()));
    EXPECT_TRUE(IsBroadcastList("*\0alpha\0") && !IsBroadcastList("**\0"));
}
