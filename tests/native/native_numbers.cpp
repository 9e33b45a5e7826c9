#include "helptable.h"
#include "numbers.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

TEST(NumericText, OptionalPlusThenDigitsOnly)
{
    EXPECT_EQ(1, IsNumericText("0"));
    EXPECT_EQ(1, IsNumericText("007"));
    EXPECT_EQ(1, IsNumericText("+12"));
    // Nothing after the sign still counts: it parses as 0.
    EXPECT_EQ(1, IsNumericText(""));
    EXPECT_EQ(1, IsNumericText("+"));
    EXPECT_EQ(0, IsNumericText("-1"));
    EXPECT_EQ(0, IsNumericText(" 1"));
    EXPECT_EQ(0, IsNumericText("1 "));
    EXPECT_EQ(0, IsNumericText("++1"));
    EXPECT_EQ(0, IsNumericText("12a"));
    EXPECT_EQ(0, IsNumericText("Automatic"));
    EXPECT_EQ(0, IsNumericText(nullptr));
}

TEST(NumberText, ParsesLikeAtolAfterOnePlus)
{
    EXPECT_EQ(0u, ParseNumberText(""));
    EXPECT_EQ(0u, ParseNumberText("+"));
    EXPECT_EQ(12u, ParseNumberText("+12"));
    EXPECT_EQ(7u, ParseNumberText("007"));
    EXPECT_EQ(8192u, ParseNumberText("8192"));
    EXPECT_EQ(9999999u, ParseNumberText("9999999"));
    // What atol does with what follows the "+".
    EXPECT_EQ(12u, ParseNumberText("+ 12"));
    EXPECT_EQ(12u, ParseNumberText("12a"));
    EXPECT_EQ(0xFFFFFFFBu, ParseNumberText("+-5"));
    EXPECT_EQ(0u, ParseNumberText("abc"));
    EXPECT_EQ(0u, ParseNumberText(nullptr));
}

TEST(NumberText, LongTextsAreReadWholeAndSaturate)
{
    EXPECT_EQ(4294967295u, ParseNumberText("4294967295"));
    EXPECT_EQ(4294967295u, ParseNumberText("4294967296"));
    EXPECT_EQ(4294967295u, ParseNumberText(std::string(500, '9').c_str()));
    EXPECT_EQ(5u, ParseNumberText((std::string(400, '0') + "5").c_str()));
}

TEST(NumberText, FormatsUnsignedDecimal)
{
    char text[11];
    EXPECT_EQ(text, FormatNumberText(text, 0));
    EXPECT_STREQ("0", text);
    EXPECT_STREQ("4096", FormatNumberText(text, 4096));
    EXPECT_STREQ("4294967295", FormatNumberText(text, 0xFFFFFFFFu));
    EXPECT_EQ(nullptr, FormatNumberText(nullptr, 1));
}

TEST(DialogUnsigned, LeadingSpacesThenDigitsOnly)
{
    uint32_t value = 77;
    EXPECT_EQ(1, ParseDialogUnsigned("12", &value));
    EXPECT_EQ(12u, value);
    EXPECT_EQ(1, ParseDialogUnsigned("   0012", &value));
    EXPECT_EQ(12u, value);
    EXPECT_EQ(1, ParseDialogUnsigned("4294967295", &value));
    EXPECT_EQ(4294967295u, value);

    value = 77;
    for (const char* refused : {"", "   ", "12a", "12 ", "+12", "-3", "\t12", "1 2", "4294967296",
                                "99999999999999999999"}) {
        EXPECT_EQ(0, ParseDialogUnsigned(refused, &value)) << refused;
        EXPECT_EQ(77u, value) << refused;
    }
    EXPECT_EQ(0, ParseDialogUnsigned(nullptr, &value));
}

TEST(HelpTable, HoldsEveryPairOnceAndEndsWithZeroPair)
{
    int count = 0;
    std::set<int> ids;
    const HelpIdPair* pair = HelpIdTable;
    for (; pair->ControlId != 0 || pair->HelpId != 0; ++pair) {
        ++count;
        EXPECT_GT(pair->ControlId, 0);
        EXPECT_GT(pair->HelpId, 0);
        EXPECT_TRUE(ids.insert(pair->ControlId).second) << "twice: " << pair->ControlId;
    }
    EXPECT_EQ(141, count);
    EXPECT_EQ(0, pair->ControlId);
    EXPECT_EQ(0, pair->HelpId);
}

TEST(HelpTable, LookUpGivesTheTopicOrMinusOne)
{
    EXPECT_EQ(14, FindHelpId(1130)); // a label shares the topic of its combo box
    EXPECT_EQ(14, FindHelpId(1045));
    EXPECT_EQ(36, FindHelpId(1124));
    EXPECT_EQ(94, FindHelpId(1));
    EXPECT_EQ(95, FindHelpId(2));
    EXPECT_EQ(91, FindHelpId(82));
    EXPECT_EQ(93, FindHelpId(84));   // the last pair
    EXPECT_EQ(11, FindHelpId(1041)); // the first pair
    EXPECT_EQ(-1, FindHelpId(0));
    EXPECT_EQ(-1, FindHelpId(-5));
    EXPECT_EQ(-1, FindHelpId(3));
    EXPECT_EQ(-1, FindHelpId(1044));
}
