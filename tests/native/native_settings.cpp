// The settings table and its rules: the table agrees with itself, and what
// is accepted, clamped, refused, parsed and shown.
#include "settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

static const SettingRow* Nfs(const char* name)
{
    const SettingRow* row = FindNfsSetting(name);
    EXPECT_NE(nullptr, row) << name;
    return row;
}

TEST(SettingsTable, RowsAgreeWithThemselves)
{
    for (int i = 0; i < GetSettingCount(); ++i) {
        const SettingRow* row = GetSettingRow(i);
        SCOPED_TRACE(row->Name);
        EXPECT_EQ(row, FindSettingInKey(row->Hive, row->Key, row->Name));
        // Only per-user mount defaults inherit and are pruned.
        EXPECT_EQ(row->Scope == ScopeLevels, row->Prunable != 0);
        EXPECT_EQ(row->Scope == ScopeLevels, row->Origin != OriginFixed);
        if (row->Scope == ScopeLevels)
            EXPECT_EQ(HiveUser, row->Hive);
        // The default is a value the page itself would store.
        if (row->Type == TypeDword)
            EXPECT_EQ(SettingAccepted, CheckSettingNumber(row, row->DefaultNumber, nullptr));
        else
            EXPECT_EQ(SettingAccepted, CheckSettingText(row, row->DefaultText));
        // A number list's bounds are its smallest and largest item, a named
        // item counting as 0: the page refuses what lies outside its list.
        if (row->Kind == KindList) {
            uint32_t low = row->ZeroText != nullptr ? 0 : 0xFFFFFFFFu;
            uint32_t high = 0;
            for (const char* const* item = row->Items; *item != nullptr; ++item) {
                uint32_t value = (uint32_t)atol(*item);
                low = value < low ? value : low;
                high = value > high ? value : high;
            }
            EXPECT_EQ(low, row->Minimum);
            EXPECT_EQ(high, row->Maximum);
        }
        int isMinimum = 0;
        const SettingRow* pair = FindPairedSetting(row, &isMinimum);
        if (pair != nullptr) {
            int otherIsMinimum = 0;
            EXPECT_EQ(row, FindPairedSetting(pair, &otherIsMinimum));
            EXPECT_NE(isMinimum, otherIsMinimum);
            const SettingRow* minimum = isMinimum ? row : pair;
            const SettingRow* maximum = isMinimum ? pair : row;
            EXPECT_TRUE(IsPairInOrder(minimum->DefaultNumber, maximum->DefaultNumber));
        }
        if (row->Sheet == SheetNfsClient)
            EXPECT_EQ(row, FindNfsSetting(row->Name));
        const SettingRow* required = FindRequiredSetting(row);
        if (row->Requires != nullptr) {
            ASSERT_NE(nullptr, required);
            EXPECT_EQ(KindFlag, required->Kind);
            EXPECT_TRUE(IsRequirementMet(row->DefaultNumber, required->DefaultNumber));
        }
    }
    EXPECT_EQ(Nfs("CaseForce"), FindRequiredSetting(Nfs("CaseSensitive")));
    EXPECT_FALSE(IsRequirementMet(1, 0));
    EXPECT_TRUE(IsRequirementMet(0, 0));
    EXPECT_TRUE(IsRequirementMet(1, 1));
    // NFS client names are unique; registry names ignore case.
    EXPECT_EQ(Nfs("UMask"), FindNfsSetting("umask"));
    EXPECT_EQ(nullptr, FindNfsSetting("Start"));
    EXPECT_EQ(nullptr, FindNfsSetting(nullptr));
    // Two values of one name in different keys stay apart.
    const SettingRow* server = FindSettingInKey(HiveMachine, "zevrnfsd", "Enable");
    const SettingRow* log = FindSettingInKey(HiveMachine, "LOGGING", "enable");
    ASSERT_TRUE(server && log);
    EXPECT_NE(server, log);
    EXPECT_EQ(0u, server->DefaultNumber);
    EXPECT_EQ(1u, log->DefaultNumber);
    EXPECT_EQ(nullptr, FindSettingInKey(HiveUser, "zevrnfsd", "Enable"));
    EXPECT_EQ(nullptr, GetSettingRow(GetSettingCount()));
    EXPECT_EQ(nullptr, GetSettingRow(-1));
    // The built-in lookups see exact names and only rows with a built-in.
    EXPECT_EQ(nullptr, FindLevelSetting("rsize", TypeDword));
    EXPECT_EQ(nullptr, FindLevelSetting("Transport", TypeDword));
    EXPECT_EQ(OriginUnlisted, Nfs("NfsVersion")->Origin);
}

TEST(SettingsTable, NumbersAcceptedClampedOrRefusedAsThePagesDo)
{
    struct Case {
        const char* name;
        uint32_t value;
        SettingCheck check;
        uint32_t stored;
    } cases[] = {
        {"ReadOnly", 1, SettingAccepted, 1},
        {"ReadOnly", 2, SettingRefused, 0},
        {"RSize", 512, SettingAccepted, 512},
        {"RSize", 1000, SettingAccepted, 1000}, // typed, between the items
        {"RSize", 511, SettingRefused, 0},
        {"RSize", 32769, SettingRefused, 0},
        {"AttrCacheRegMin", 0, SettingRefused, 0},
        {"Retries", 0, SettingAccepted, 0}, // "forever"
        {"Retries", 11, SettingRefused, 0},
        {"CacheSizeK", 4096, SettingAccepted, 4096},
        {"CacheSizeK", 4097, SettingRefused, 0},
        {"Timeout", 61, SettingRefused, 0},
        {"BackoffMultiplier", 0, SettingClamped, 1},
        {"BackoffMultiplier", 51, SettingClamped, 50},
        {"BackoffMultiplier", 0xFFFFFFFFu, SettingClamped, 1}, // read as -1
        {"IdleTime", 60, SettingClamped, 120},
        {"IdleTime", 1800, SettingAccepted, 1800},
        {"IdleTime", 1801, SettingClamped, 1800},
        {"UMask", 511, SettingAccepted, 511},
        {"UMask", 512, SettingRefused, 0},
        {"NfsVersion", 3, SettingAccepted, 3},
        {"NfsVersion", 4, SettingRefused, 0},
        {"NfsPort", 0xFFFFFFFFu, SettingAccepted, 0xFFFFFFFFu}, // not range-checked
        {"PreferredCaseIsUpper", 2, SettingRefused, 0},
    };
    for (const Case& c : cases) {
        uint32_t stored = 0;
        EXPECT_EQ(c.check, CheckSettingNumber(Nfs(c.name), c.value, &stored))
            << c.name << " " << c.value;
        EXPECT_EQ(c.stored, stored) << c.name << " " << c.value;
    }
    EXPECT_EQ(SettingRefused, CheckSettingNumber(Nfs("Transport"), 0, nullptr));
    EXPECT_EQ(SettingRefused, CheckSettingNumber(nullptr, 0, nullptr));
}

// The stored bytes against each page's read buffer, terminators included.
TEST(SettingsTable, TextsTooLongForThePageAreKeptAsStored)
{
    const char* options = "zevrnfs\\NameServiceOptions";
    const struct {
        const SettingRow* row;
        std::string data;
        int kept;
    } cases[] = {
        {FindSettingInKey(HiveMachine, options, "Domain"), std::string(255, 'd') + '\0', 0},
        {FindSettingInKey(HiveMachine, options, "Domain"), std::string(255, 'd'), 0},
        {FindSettingInKey(HiveMachine, options, "Domain"), std::string(256, 'd'), 1},
        {FindSettingInKey(HiveMachine, options, "NisServers"), std::string(180, '1') + '\0', 1},
        {FindSettingInKey(HiveMachine, options, "SearchOrder"), std::string(34, 'W') + '\0', 0},
        {FindSettingInKey(HiveMachine, options, "SearchOrder"), std::string(35, 'W'), 1},
        {FindSettingInKey(HiveMachine, "LOGGING", "File"), std::string(256, 'f') + '\0', 1},
        // The longest list the page saves: a full field of 4,093 characters.
        {Nfs("Hosts"), std::string(4093, 'h') + std::string(2, '\0'), 0},
        {Nfs("Hosts"), std::string(4093, 'h') + '\0', 0}, // closed by the page
        {Nfs("Hosts"), std::string(4094, 'h') + std::string(2, '\0'), 1},
        {Nfs("Hosts"), std::string(4094, 'h') + '\0', 1},
        {Nfs("Hosts"), std::string(1, '\0'), 0},
        {Nfs("Transport"), std::string(5000, 't'), 0}, // a choice: rewritten
        {Nfs("ShortNameMappingCharacter"), std::string(5000, '~'), 0},
        {Nfs("ReadOnly"), std::string(5000, '1'), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.kept, IsKeptAsStored(c.row, c.data.data(), c.data.size()))
            << c.row->Name << " " << c.data.size();
}

TEST(SettingsTable, InputAsStoredOrAsShown)
{
    struct Case {
        const char* name;
        const char* input;
        SettingCheck check;
        uint32_t number;
        const char* text;
    } cases[] = {
        {"UMask", "22", SettingAccepted, 18, ""}, // octal, as umask reads it
        {"UMask", "022", SettingAccepted, 18, ""},
        {"UMask", "0o22", SettingAccepted, 18, ""},
        {"UMask", "0O777", SettingAccepted, 0777, ""},
        {"UMask", "777", SettingAccepted, 0777, ""},
        {"UMask", "0", SettingAccepted, 0, ""},
        {"UMask", "18", SettingRefused, 0, ""}, // never decimal
        {"UMask", "0o", SettingRefused, 0, ""},
        {"UMask", "1000", SettingRefused, 0, ""},
        {"UMask", "rwxr-xr-x", SettingAccepted, 18, ""},
        {"UMask", "RWX------", SettingAccepted, 077, ""},
        {"UMask", "rwxr-xr-", SettingRefused, 0, ""},
        {"UMask", "rwxr-xr-q", SettingRefused, 0, ""},
        {"UMask", "0778", SettingRefused, 0, ""},
        {"UMask", "01000", SettingRefused, 0, ""},        // octal beyond nine bits
        {"UMask", "040000000000", SettingRefused, 0, ""}, // 2^32 must not wrap to 0
        {"Retries", "forever", SettingAccepted, 0, ""},
        {"Retries", "Forever", SettingAccepted, 0, ""},
        {"Timeout", "automatic", SettingAccepted, 0, ""},
        {"CacheSizeK", "Automatic", SettingAccepted, 0, ""},
        {"NfsPort", "portmapper", SettingAccepted, 0, ""},
        {"NfsVersion", "automatic", SettingAccepted, 0, ""},
        {"NfsVersion", "2", SettingAccepted, 2, ""},
        {"PreferredCaseIsUpper", "upper", SettingAccepted, 1, ""},
        {"UseBsdGroupSemantics", "bsd", SettingAccepted, 1, ""},
        {"IdleTime", "5000", SettingClamped, 1800, ""},
        {"RSize", "8192", SettingAccepted, 8192, ""},
        {"RSize", "", SettingRefused, 0, ""},
        {"RSize", "+8192", SettingRefused, 0, ""},
        {"RSize", "8192 ", SettingRefused, 0, ""},
        {"RSize", "4294967296", SettingRefused, 0, ""}, // beyond 32 bits
        {"Transport", "tcp", SettingAccepted, 0, "tcp"},
        {"Transport", "automatic", SettingAccepted, 0, ""},
        {"Transport", "", SettingAccepted, 0, ""},
        {"Transport", "UDP", SettingAccepted, 0, "udp"}, // as shown, in any case
        {"Transport", "tcp ", SettingRefused, 0, ""},
        {"ShortNameMappingCharacter", "#", SettingAccepted, 0, "#"},
        {"ShortNameMappingCharacter", "$", SettingRefused, 0, ""},
        {"Hosts", "a,b c", SettingAccepted, 0, "a,b c"},
    };
    for (const Case& c : cases) {
        uint32_t number = 0;
        char text[64] = "";
        EXPECT_EQ(c.check, ParseSettingInput(Nfs(c.name), c.input, &number, text, sizeof(text)))
            << c.name << " " << c.input;
        EXPECT_EQ(c.number, number) << c.name << " " << c.input;
        EXPECT_STREQ(c.text, text) << c.name << " " << c.input;
    }
    // A text that does not fit the caller's buffer is refused, not cut.
    char small[3];
    EXPECT_EQ(SettingRefused, ParseSettingInput(Nfs("Transport"), "tcp", nullptr, small, 3));
    EXPECT_EQ(SettingRefused,
              ParseSettingInput(Nfs("Hosts"), std::string(4094, 'h').c_str(), nullptr, nullptr, 0));
    const SettingRow* order =
        FindSettingInKey(HiveMachine, "zevrnfs\\NameServiceOptions", "SearchOrder");
    EXPECT_EQ(SettingAccepted, CheckSettingText(order, "WY"));
    EXPECT_EQ(SettingRefused, CheckSettingText(order, "WX"));
}

TEST(SettingsTable, ValuesShownAsThePagesShowThem)
{
    struct Case {
        const char* name;
        uint32_t number;
        const char* text;
        const char* shown;
    } cases[] = {
        {"UMask", 18, nullptr, "rwxr-xr-x"},
        {"UMask", 0777, nullptr, "---------"},
        {"UMask", 01022, nullptr, "rwxr-xr-x"}, // bits above nine are not shown
        {"Transport", 0, "", "automatic"},
        {"Transport", 0, "udp", "udp"},
        {"Transport", 0, "UDP", "automatic"},
        {"NfsVersion", 3, nullptr, "3"},
        {"NfsVersion", 7, nullptr, "automatic"},
        {"PreferredCaseIsUpper", 5, nullptr, "5"}, // no button checked
        {"Retries", 0, nullptr, "forever"},
        {"Retries", 10, nullptr, "10"},
        {"NfsPort", 0, nullptr, "portmapper"},
        {"NfsPort", 2049, nullptr, "2049"},
        {"Hosts", 0, "*", "broadcast"},
        {"Hosts", 0, "a", "a"},
        {"ShortNameMappingCharacter", 0, "xyz", "~"},
        {"ReadOnly", 1, nullptr, "1"},
    };
    for (const Case& c : cases) {
        char output[32];
        EXPECT_STREQ(c.shown,
                     FormatSettingValue(Nfs(c.name), c.number, c.text, output, sizeof(output)))
            << c.name;
    }
    const SettingRow* order =
        FindSettingInKey(HiveMachine, "zevrnfs\\NameServiceOptions", "SearchOrder");
    char output[40];
    EXPECT_STREQ("Windows default, NIS+", FormatSettingValue(order, 0, "WNq", output, 40));
    // Cut to the output, always terminated.
    EXPECT_STREQ("Windo", FormatSettingValue(order, 0, "W", output, 6));
    EXPECT_EQ(nullptr, FormatSettingValue(Nfs("RSize"), 1, nullptr, nullptr, 0));
}

TEST(SettingsTable, WhatIsAcceptedInWords)
{
    struct Case {
        const char* name;
        const char* words;
    } cases[] = {
        {"RSize", "512 to 32768"},
        {"ReadOnly", "0 or 1"},
        {"IdleTime", "any number, clamped to 120 to 1800"},
        {"Transport", "one of: \"\" (automatic) \"tcp\" \"udp\""},
        {"NfsVersion", "one of: 0 (automatic) 3 2"},
        {"NfsPort", "any 32-bit number"},
    };
    for (const Case& c : cases) {
        char output[120];
        EXPECT_STREQ(c.words, DescribeAccepted(Nfs(c.name), output, sizeof(output)));
    }
}

TEST(SettingsTable, RefusalsNameTheRule)
{
    // Host names joined by single commas, the page's field holds 4093.
    std::string full;
    while (full.size() + 6 <= 4093)
        full += (full.empty() ? "" : ",") + std::string(5, 'h');
    full += "," + std::string(4093 - full.size() - 1, 'x');
    ASSERT_EQ(4093u, full.size());
    std::string over = " ; " + full + "y";
    struct Case {
        const char* name;
        std::string input;
        const char* words;
    } cases[] = {
        {"UMask", "8", "a mask is octal, as umask reads it, and 8 is no octal digit"},
        {"UMask", "0o791", "and 9 is no octal digit"},
        {"UMask", "1000", "a mask holds nine permission bits: octal 0 to 777"},
        {"UMask", "rwx", "or nine of r, w, x and - (rwxr-xr-x)"},
        {"Hosts", over,
         "683 host names take 4094 characters joined by commas; the page holds at most 4093 "
         "(4095 bytes as stored)"},
        {"RSize", "99999", "the page accepts 512 to 32768"},
    };
    for (const Case& c : cases) {
        char output[200];
        EXPECT_TRUE(
            strstr(DescribeRefusal(Nfs(c.name), c.input.c_str(), output, sizeof(output)), c.words))
            << c.name << ": " << output;
    }
    char output[200];
    EXPECT_STREQ("the page accepts \"*\", or host names separated by commas",
                 DescribeRefusal(Nfs("Hosts"), full.c_str(), output, sizeof(output)));
}

TEST(SettingsTable, KeyPathsOfEachLevel)
{
    struct Case {
        const char* name;
        const char* server;
        const char* resource;
        const char* path; // nullptr: refused
    } cases[] = {
        {"UMask", nullptr, nullptr, "zevrnfs\\UserMountDefaults"},
        {"RSize", "srv", nullptr, "zevrnfs\\Servers\\srv\\MachineMountDefaults"},
        {"UMask", "srv", "r1", "zevrnfs\\Servers\\srv\\Resources\\r1\\UserMountDefaults"},
        {"IdleTime", nullptr, nullptr, "zevrnfs\\Automounter"},
        {"CacheSizeK", nullptr, nullptr,
         "System\\CurrentControlSet\\Services\\Zevrnfs\\Parameters"},
        {"IdleTime", "srv", nullptr, nullptr}, // machine-wide
        {"UMask", "", nullptr, nullptr},
        {"UMask", "a\\b", nullptr, nullptr},
        {"UMask", "srv", "", nullptr},
        {"UMask", nullptr, "r1", nullptr},
    };
    for (const Case& c : cases) {
        char output[LevelKeyPathSize] = "x";
        EXPECT_EQ(c.path != nullptr,
                  BuildSettingKeyPath(Nfs(c.name), c.server, c.resource, output, sizeof(output)))
            << c.name;
        EXPECT_STREQ(c.path != nullptr ? c.path : "", output);
    }
    // The longest sub-path the registry layer takes is 255 characters.
    const SettingRow* umask = Nfs("UMask");
    size_t fixed = strlen("zevrnfs\\Servers\\\\UserMountDefaults");
    std::string fits(255 - fixed, 's');
    std::vector<char> output(LevelKeyPathSize);
    EXPECT_EQ(1, BuildSettingKeyPath(umask, fits.c_str(), nullptr, output.data(), output.size()));
    EXPECT_EQ(255u, strlen(output.data()));
    EXPECT_EQ(0, BuildSettingKeyPath(umask, (fits + "s").c_str(), nullptr, output.data(),
                                     output.size() + 100));
    EXPECT_EQ(0, BuildSettingKeyPath(umask, "srv", nullptr, output.data(), 10));
}
