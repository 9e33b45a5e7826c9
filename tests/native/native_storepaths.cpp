// Inheritance levels, built-in defaults and the bounded text helpers of the
// settings store, under the sanitizers.
#include "storepaths.h"

#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>

static std::string Parent(const char* path, int expected)
{
    // Exactly the documented size, on the heap, so that AddressSanitizer
    // sees any write past it.
    std::vector<char> output(LevelPathSize, 'x');
    EXPECT_EQ(expected, GetParentLevelPath(output.data(), path)) << path;
    EXPECT_NE(nullptr, memchr(output.data(), '\0', output.size()));
    return output.data();
}

TEST(ParentLevelPath, TopLevelHasNone)
{
    EXPECT_EQ("", Parent("zevrnfs\\UserMountDefaults", 0));
    EXPECT_EQ("", Parent("zevrnfs\\MachineMountDefaults", 0));
}

TEST(ParentLevelPath, ServerInheritsFromTopAndResourceFromServer)
{
    EXPECT_EQ("zevrnfs\\UserMountDefaults", Parent("zevrnfs\\Servers\\srv1\\UserMountDefaults", 1));
    EXPECT_EQ("zevrnfs\\Servers\\srv1\\MachineMountDefaults",
              Parent("zevrnfs\\Servers\\srv1\\Resources\\res1\\MachineMountDefaults", 1));
    // Deeper levels under a server also inherit from the server.
    EXPECT_EQ(
        "zevrnfs\\Servers\\srv1\\UserMountDefaults",
        Parent("zevrnfs\\Servers\\srv1\\Resources\\res1\\Resources\\r2\\UserMountDefaults", 1));
}

TEST(ParentLevelPath, TopLevelIsRecognisedExactly)
{
    // Another spelling of the root is no top level; with too few backslashes
    // it names no level at all.
    EXPECT_EQ("", Parent("ZEVRNFS\\UserMountDefaults", 0));
    EXPECT_EQ("ZEVRNFS\\UserMountDefaults", Parent("ZEVRNFS\\Servers\\s\\UserMountDefaults", 1));
    EXPECT_EQ("", Parent("zevrnfs\\Servers\\UserMountDefaults", 0));
    EXPECT_EQ("", Parent("UserMountDefaults", 0));
    EXPECT_EQ("", Parent("", 0));
    EXPECT_EQ("", Parent(nullptr, 0));
    EXPECT_EQ(0, GetParentLevelPath(nullptr, "zevrnfs\\Servers\\s\\X"));
}

TEST(ParentLevelPath, LevelOfAPathFollowsTheSameWalk)
{
    struct {
        const char* path;
        int level;
    } rows[] = {{"zevrnfs\\UserMountDefaults", LevelTop},
                {"zevrnfs\\Servers\\s\\UserMountDefaults", LevelServer},
                {"zevrnfs\\Servers\\s\\Resources\\r\\MachineMountDefaults", LevelResource},
                {"zevrnfs\\Servers\\s\\Resources\\r\\Resources\\q\\X", LevelResource},
                {"zevrnfs\\Servers\\X", LevelTop},
                {"", LevelTop},
                {nullptr, LevelTop}};
    for (const auto& row : rows)
        EXPECT_EQ(row.level, GetLevelOfPath(row.path)) << (row.path ? row.path : "(null)");
}

TEST(ParentLevelPath, LongPathsAreReadSafely)
{
    // The parent of a path too long for the output may still fit.
    std::string resource(400, 'r');
    std::string path = "zevrnfs\\Servers\\srv\\Resources\\" + resource + "\\UserMountDefaults";
    EXPECT_EQ("zevrnfs\\Servers\\srv\\UserMountDefaults", Parent(path.c_str(), 1));

    // A parent of exactly 255 characters fits; one more does not.
    std::string name(255 - strlen("zevrnfs\\"), 'n');
    EXPECT_EQ("zevrnfs\\" + name, Parent(("zevrnfs\\Servers\\s\\" + name).c_str(), 1));
    EXPECT_EQ("", Parent(("zevrnfs\\Servers\\s\\" + name + "n").c_str(), 0));
    std::string server(300, 's');
    EXPECT_EQ("", Parent(("zevrnfs\\Servers\\" + server + "\\Resources\\r\\X").c_str(), 0));
}

TEST(BuiltInDefaults, EveryRowOfBothTables)
{
    struct {
        const char* name;
        uint32_t value;
    } rows[] = {{"ReadOnly", 0},         {"LockingSharing", 0},       {"RSize", 32768},
                {"WSize", 32768},        {"AttrCacheOff", 0},         {"AttrCacheDirMax", 60},
                {"AttrCacheDirMin", 30}, {"AttrCacheRegMax", 60},     {"AttrCacheRegMin", 3},
                {"ArchiveBit", 1},       {"CaseSensitive", 0},        {"PreferredCaseIsUpper", 0},
                {"CaseForce", 0},        {"UseBsdGroupSemantics", 0}, {"UMask", 18},
                {"Timeout", 0},          {"BackoffMultiplier", 4},    {"Retries", 5},
                {"NfsPort", 0}};
    for (const auto& row : rows)
        EXPECT_EQ(row.value, FindDwordDefault(row.name)) << row.name;
    EXPECT_STREQ("~", FindStringDefault("ShortNameMappingCharacter"));
    const char* transport = FindStringDefault("Transport");
    ASSERT_NE(nullptr, transport);
    EXPECT_STREQ("", transport);
}

TEST(BuiltInDefaults, NamesWithoutRowAndCaseVariants)
{
    EXPECT_EQ(0u, FindDwordDefault("NfsVersion"));
    EXPECT_EQ(0u, FindDwordDefault("Unknown"));
    EXPECT_EQ(0u, FindDwordDefault(nullptr));
    EXPECT_EQ(nullptr, FindStringDefault("ReadOnly"));
    EXPECT_EQ(nullptr, FindStringDefault(nullptr));
    // The lookup is exact; the registry's case-blind names are recognised
    // separately.
    EXPECT_EQ(0u, FindDwordDefault("umask"));
    EXPECT_EQ(nullptr, FindStringDefault("transport"));
    EXPECT_EQ(1, IsCaseVariantOfDwordDefault("umask"));
    EXPECT_EQ(1, IsCaseVariantOfDwordDefault("RETRIES"));
    EXPECT_EQ(0, IsCaseVariantOfDwordDefault("UMask"));
    EXPECT_EQ(0, IsCaseVariantOfDwordDefault("UMas"));
    EXPECT_EQ(0, IsCaseVariantOfDwordDefault("NfsVersion"));
    EXPECT_EQ(0, IsCaseVariantOfDwordDefault(nullptr));
}

TEST(JoinText, FitsExactlyOrLeavesNothing)
{
    std::vector<char> output(8, 'x');
    EXPECT_EQ(1, JoinText(output.data(), output.size(), "abc", "\\", "de", nullptr));
    EXPECT_STREQ("abc\\de", output.data());
    EXPECT_EQ(1, JoinText(output.data(), output.size(), "abcd", nullptr, "efg"));
    EXPECT_STREQ("abcdefg", output.data());
    // One more character and nothing of the shortened text remains.
    EXPECT_EQ(0, JoinText(output.data(), output.size(), "abcd", "efg", "h"));
    EXPECT_STREQ("", output.data());
    EXPECT_EQ(0, JoinText(output.data(), 0, "a", "b"));
    EXPECT_EQ('\0', output[0]);
}

static std::vector<std::string> ListNames(const char* list)
{
    std::vector<std::string> names;
    for (const char* p = list; *p != '\0'; p += strlen(p) + 1)
        names.push_back(p);
    return names;
}

TEST(DeletionList, FillsToItsCapacityAndNoFurther)
{
    std::vector<char> list(DeletionListSize, 'x');
    size_t used = 0;
    list[0] = '\0';
    // 99 names of 9 characters take 990 bytes; with the closing empty name
    // 991. An 8-character name still fits (1000), a 9-character one not.
    std::string name(9, 'n');
    for (int i = 0; i < 99; ++i)
        ASSERT_EQ(1, AddToDeletionList(list.data(), list.size(), &used, name.c_str()));
    EXPECT_EQ(0, AddToDeletionList(list.data(), list.size(), &used, name.c_str()));
    EXPECT_EQ(1, AddToDeletionList(list.data(), list.size(), &used, "eightchr"));
    EXPECT_EQ((size_t)DeletionListSize - 1, used);
    EXPECT_EQ(0, AddToDeletionList(list.data(), list.size(), &used, "a"));
    EXPECT_EQ('\0', list[DeletionListSize - 1]);
    std::vector<std::string> names = ListNames(list.data());
    ASSERT_EQ(100u, names.size());
    EXPECT_EQ("eightchr", names.back());
}

TEST(DeletionList, RefusesEmptyAndOverlongNames)
{
    std::vector<char> list(DeletionListSize);
    size_t used = 0;
    list[0] = '\0';
    EXPECT_EQ(1, AddToDeletionList(list.data(), list.size(), &used, "ReadOnly"));
    // An empty name would end the list early.
    EXPECT_EQ(0, AddToDeletionList(list.data(), list.size(), &used, ""));
    std::string huge(5000, 'v');
    EXPECT_EQ(0, AddToDeletionList(list.data(), list.size(), &used, huge.c_str()));
    EXPECT_EQ(1, AddToDeletionList(list.data(), list.size(), &used, "UMask"));
    EXPECT_EQ((std::vector<std::string>{"ReadOnly", "UMask"}), ListNames(list.data()));
}
