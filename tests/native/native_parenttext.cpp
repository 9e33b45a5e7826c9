#include "parenttext.h"

#include <gtest/gtest.h>
#include <string>

TEST(ParentHandleText, HexadecimalDigitsWithoutPrefix)
{
    EXPECT_EQ(0x1A2Bu, ParseParentHandleText("1A2B"));
    EXPECT_EQ(0x1a2bu, ParseParentHandleText("1a2b"));
    EXPECT_EQ(0xFFFFFFFEu, ParseParentHandleText("FFFFFFFE"));
}

TEST(ParentHandleText, NoDigitsGiveNoParent)
{
    EXPECT_EQ(0u, ParseParentHandleText(""));
    EXPECT_EQ(0u, ParseParentHandleText(nullptr));
    EXPECT_EQ(0u, ParseParentHandleText("window"));
    // The caller's own prefix: the conversion stops at its "x".
    EXPECT_EQ(0u, ParseParentHandleText("0x1A2B"));
    // Signs and spaces would follow the "0x" and so end the number at once.
    EXPECT_EQ(0u, ParseParentHandleText(" 12"));
    EXPECT_EQ(0u, ParseParentHandleText("-12"));
    EXPECT_EQ(0u, ParseParentHandleText("+12"));
}

TEST(ParentHandleText, StopsAtFirstNonHexCharacter)
{
    EXPECT_EQ(0x12u, ParseParentHandleText("12G4"));
    EXPECT_EQ(0xABCu, ParseParentHandleText("ABC 1"));
}

TEST(ParentHandleText, BeyondThirtyTwoBitsSaturates)
{
    EXPECT_EQ(0xFFFFFFFFu, ParseParentHandleText("100000000"));
    EXPECT_EQ(0xFFFFFFFFu, ParseParentHandleText("123456789ABCDEF"));
    // Leading zeros do not count towards the width.
    EXPECT_EQ(0x1A2Bu, ParseParentHandleText("00000000000000000000000000000000001A2B"));
}

TEST(ParentHandleText, OverlongTextIsReadSafely)
{
    std::string text(5000, 'F');
    EXPECT_EQ(0xFFFFFFFFu, ParseParentHandleText(text.c_str()));
    std::string padded = "1A2B" + std::string(5000, 'z');
    EXPECT_EQ(0x1A2Bu, ParseParentHandleText(padded.c_str()));
}
