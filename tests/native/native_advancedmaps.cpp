// The Advanced page's mappings between stored settings and radio buttons.
#include "advancedmaps.h"

#include <gtest/gtest.h>

TEST(AdvancedMaps, TransportTextsCompareExactly)
{
    const char* automatic[] = {"", "TCP", "Udp", "tcp ", " udp", "tc", nullptr};
    for (const char* text : automatic)
        EXPECT_EQ(0, TransportIndex(text)) << (text ? text : "(null)");
    const char* written[] = {"", "", "tcp", "udp", ""}; // for the indexes -1 to 3
    for (int index = -1; index <= 3; ++index) {
        EXPECT_STREQ(written[index + 1], TransportText(index)) << index;
        EXPECT_EQ(index >= 0 && index <= 2 ? index : 0, TransportIndex(TransportText(index)));
    }
}

TEST(AdvancedMaps, VersionsWithVersion3Before2)
{
    const uint32_t stored[] = {0, 1, 2, 3, 4, 0xFFFFFFFFu};
    const int index[] = {0, 0, 2, 1, 0, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(index[i], VersionIndex(stored[i])) << stored[i];
    const uint32_t written[] = {0, 0, 3, 2, 0}; // for the indexes -1 to 3
    for (int i = -1; i <= 3; ++i)
        EXPECT_EQ(written[i + 1], VersionValue(i)) << i;
}
