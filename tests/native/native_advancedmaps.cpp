// The Advanced page's mappings between stored settings and radio buttons.
#include "advancedmaps.h"

#include <gtest/gtest.h>
#include <string>

TEST(AdvancedMaps, TransportTexts)
{
    struct {
        const char* stored;
        int index;
    } rows[] = {{"", 0},     {"tcp", 1},  {"udp", 2}, {"TCP", 0}, {"Udp", 0},
                {"tcp ", 0}, {" udp", 0}, {"tc", 0},  {"ip", 0},  {nullptr, 0}};
    for (const auto& row : rows)
        EXPECT_EQ(row.index, TransportIndex(row.stored)) << (row.stored ? row.stored : "(null)");
    const char* written[] = {"", "tcp", "udp"};
    for (int index = 0; index < 3; ++index)
        EXPECT_STREQ(written[index], TransportText(index));
    EXPECT_STREQ("", TransportText(-1));
    EXPECT_STREQ("", TransportText(3));
}

TEST(AdvancedMaps, VersionsWithVersion3Before2)
{
    struct {
        uint32_t stored;
        int index;
    } rows[] = {{0, 0}, {1, 0}, {2, 2}, {3, 1}, {4, 0}, {0x80000000u, 0}, {0xFFFFFFFFu, 0}};
    for (const auto& row : rows)
        EXPECT_EQ(row.index, VersionIndex(row.stored)) << row.stored;
    const uint32_t written[] = {0, 3, 2};
    for (int index = 0; index < 3; ++index)
        EXPECT_EQ(written[index], VersionValue(index));
    EXPECT_EQ(0u, VersionValue(-1));
    EXPECT_EQ(0u, VersionValue(3));
}
