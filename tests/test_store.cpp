// The NFS client settings store against a real (per-test) registry:
// inheritance lookups and the pruning pass.
#include "registry.h"
#include "sandbox.h"
#include "store.h"

#include <sddl.h>
#include <stdio.h>
#include <string>
#include <vector>

static const HKEY User = HKEY_CURRENT_USER;
static const char Nfs[] = "Software\\ZEVR\\CC\\1.0\\zevrnfs\\";

// Full path below HKEY_CURRENT_USER of a settings sub-path.
static std::string Full(const std::string& subPath)
{
    return Nfs + subPath;
}

static const std::string TopUser = Full("UserMountDefaults");
static const std::string TopMachine = Full("MachineMountDefaults");
static const std::string Srv1 = "Servers\\srv1\\";
static const std::string Res1 = "Servers\\srv1\\Resources\\res1\\";

// Leaves a key that exists but that nobody may open.
static void MakeKeyUnreadable(HKEY hive, const std::string& path)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(hive, path.c_str(), &key));
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(hive, path.c_str(), 0, WRITE_DAC, &key));
    PSECURITY_DESCRIPTOR sd = NULL;
    ASSERT_TRUE(
        ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P", SDDL_REVISION_1, &sd, NULL));
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd));
    LocalFree(sd);
    RegCloseKey(key);
}

static DWORD Dword(const std::string& path, const char* name)
{
    DWORD value = 0xDEADBEEF;
    EXPECT_TRUE(ReadDword(User, path.c_str(), name, &value)) << path << " " << name;
    return value;
}

TEST(StorePaths, SubPathsOfTheNfsClientKeys)
{
    EXPECT_STREQ("zevrnfs\\", GetNfsRootPath());
    EXPECT_STREQ("zevrnfs\\UserMountDefaults", GetUserDefaultsPath());
    EXPECT_STREQ("zevrnfs\\MachineMountDefaults", GetMachineDefaultsPath());
    EXPECT_STREQ("zevrnfs\\Somewhere", BuildNfsPath("Somewhere"));
    EXPECT_STREQ("zevrnfs\\Authentication\\Servers", GetAuthServersPath());
    EXPECT_STREQ("zevrnfs\\Automounter", GetAutomounterPath());
}

class Store : public SandboxTest {};

TEST_F(Store, AnOverlongKeyNameNamesNoKey)
{
    std::string name(300, 'k');
    HKEY key;
    EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE,
              CreateSettingsKey(User, BuildNfsPath(name.c_str()), &key));
    EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE, OpenSettingsKey(User, BuildNfsPath(name.c_str()), &key));
    EXPECT_FALSE(KeyExists(User, "Software\\ZEVR\\CC\\1.0\\zevrnfs"));
}

TEST_F(Store, ServiceParametersKeyLiesOutsideTheSettingsRoot)
{
    HKEY key = NULL;
    ASSERT_EQ(ERROR_SUCCESS, CreateServiceParametersKey(&key));
    EXPECT_TRUE(SetDwordValue(key, "CacheSizeK", 512));
    CloseSettingsKey(key);
    DWORD value = 0;
    EXPECT_TRUE(ReadDword(HKEY_LOCAL_MACHINE,
                          "System\\CurrentControlSet\\Services\\Zevrnfs\\Parameters", "CacheSizeK",
                          &value));
    EXPECT_EQ(512u, value);
    // Opening it again finds the same key.
    ASSERT_EQ(ERROR_SUCCESS, CreateServiceParametersKey(&key));
    DWORD again = 0;
    EXPECT_TRUE(GetDwordValue(key, "CacheSizeK", &again));
    EXPECT_EQ(512u, again);
    CloseSettingsKey(key);
}

TEST_F(Store, TopLevelLookupsNeverReadTheKeyItself)
{
    WriteDword(User, TopUser.c_str(), "ReadOnly", 1);
    WriteDword(User, TopUser.c_str(), "UMask", 0);
    WriteDword(User, TopUser.c_str(), "NfsVersion", 3);
    WriteDword(User, TopMachine.c_str(), "RSize", 8192);
    WriteString(User, TopUser.c_str(), "ShortNameMappingCharacter", "!");
    WriteString(User, TopMachine.c_str(), "Transport", "tcp");

    EXPECT_EQ(0u, GetInheritedDword(User, GetUserDefaultsPath(), "ReadOnly"));
    EXPECT_EQ(18u, GetInheritedDword(User, GetUserDefaultsPath(), "UMask"));
    EXPECT_EQ(0u, GetInheritedDword(User, GetUserDefaultsPath(), "NfsVersion"));
    EXPECT_EQ(32768u, GetInheritedDword(User, GetMachineDefaultsPath(), "RSize"));
    EXPECT_EQ(5u, GetInheritedDword(User, GetUserDefaultsPath(), "Retries"));
    EXPECT_EQ(0u, GetInheritedDword(User, GetUserDefaultsPath(), "NoSuchValue"));

    EXPECT_STREQ("~",
                 GetInheritedString(User, GetUserDefaultsPath(), "ShortNameMappingCharacter", 256));
    const char* transport = GetInheritedString(User, GetMachineDefaultsPath(), "Transport", 256);
    ASSERT_NE(nullptr, transport);
    EXPECT_STREQ("", transport);
    EXPECT_EQ(nullptr, GetInheritedString(User, GetUserDefaultsPath(), "NoSuchValue", 256));
    EXPECT_EQ(nullptr, GetInheritedString(User, GetUserDefaultsPath(), "ReadOnly", 256));
}

TEST_F(Store, ServerLevelInheritsFromTheTopKeyOfTheSameName)
{
    const std::string server = "zevrnfs\\" + Srv1 + "UserMountDefaults";
    // No top-level key at all.
    EXPECT_EQ(18u, GetInheritedDword(User, server.c_str(), "UMask"));
    // The other defaults key and the machine-wide hive are never consulted.
    WriteDword(User, TopMachine.c_str(), "UMask", 7);
    WriteDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\ZEVR\\CC\\1.0\\zevrnfs\\UserMountDefaults", "UMask",
               7);
    EXPECT_EQ(18u, GetInheritedDword(User, server.c_str(), "UMask"));
    // A top-level value of another type is passed over.
    WriteString(User, TopUser.c_str(), "UMask", "7");
    EXPECT_EQ(18u, GetInheritedDword(User, server.c_str(), "UMask"));
    WriteDword(User, TopUser.c_str(), "UMask", 63);
    EXPECT_EQ(63u, GetInheritedDword(User, server.c_str(), "UMask"));
    // The server's own key is not read.
    WriteDword(User, Full(Srv1 + "UserMountDefaults").c_str(), "UMask", 2);
    EXPECT_EQ(63u, GetInheritedDword(User, server.c_str(), "UMask"));
}

TEST_F(Store, ResourceLevelTakesTheNearestLevel)
{
    const std::string resource = "zevrnfs\\" + Res1 + "MachineMountDefaults";
    const std::string serverKey = Full(Srv1 + "MachineMountDefaults");
    EXPECT_EQ(32768u, GetInheritedDword(User, resource.c_str(), "WSize"));
    // A missing server level is passed over.
    WriteDword(User, TopMachine.c_str(), "WSize", 8192);
    EXPECT_EQ(8192u, GetInheritedDword(User, resource.c_str(), "WSize"));
    // So is a server-level WSize stored as text, or one of eight bytes.
    WriteString(User, serverKey.c_str(), "WSize", "4096");
    EXPECT_EQ(8192u, GetInheritedDword(User, resource.c_str(), "WSize"));
    unsigned long long wide = 4096;
    WriteRaw(User, serverKey.c_str(), "WSize", REG_DWORD, &wide, sizeof(wide));
    EXPECT_EQ(8192u, GetInheritedDword(User, resource.c_str(), "WSize"));
    WriteDword(User, serverKey.c_str(), "WSize", 4096);
    EXPECT_EQ(4096u, GetInheritedDword(User, resource.c_str(), "WSize"));
    // The resource's own value does not count.
    WriteDword(User, Full(Res1 + "MachineMountDefaults").c_str(), "WSize", 1024);
    EXPECT_EQ(4096u, GetInheritedDword(User, resource.c_str(), "WSize"));

    WriteString(User, TopMachine.c_str(), "Transport", "tcp");
    EXPECT_STREQ("tcp", GetInheritedString(User, resource.c_str(), "Transport", 256));
    WriteString(User, serverKey.c_str(), "Transport", "udp");
    EXPECT_STREQ("udp", GetInheritedString(User, resource.c_str(), "Transport", 256));
}

TEST_F(Store, TextsThatDoNotFitThePassedLimitArePassedOver)
{
    const std::string server = "zevrnfs\\" + Srv1 + "UserMountDefaults";
    WriteString(User, TopUser.c_str(), "ShortNameMappingCharacter", "!!!!");
    EXPECT_STREQ("!!!!", GetInheritedString(User, server.c_str(), "ShortNameMappingCharacter", 5));
    EXPECT_STREQ("~", GetInheritedString(User, server.c_str(), "ShortNameMappingCharacter", 4));
    // A limit beyond the result buffer is held to the buffer's 256 bytes.
    std::string longText(300, 'a');
    WriteString(User, TopUser.c_str(), "ShortNameMappingCharacter", longText.c_str());
    EXPECT_STREQ("~", GetInheritedString(User, server.c_str(), "ShortNameMappingCharacter", 4096));
    // Text stored without its terminator still counts.
    WriteRaw(User, TopUser.c_str(), "ShortNameMappingCharacter", REG_SZ, "#", 1);
    EXPECT_STREQ("#", GetInheritedString(User, server.c_str(), "ShortNameMappingCharacter", 256));
}

class Prune : public SandboxTest {};

TEST_F(Prune, TopLevelKeepsOnlyValuesThatDifferFromTheBuiltIns)
{
    WriteDword(User, TopUser.c_str(), "ReadOnly", 0);
    WriteDword(User, TopUser.c_str(), "UMask", 18);
    WriteDword(User, TopUser.c_str(), "CaseForce", 1);
    WriteDword(User, TopUser.c_str(), "Retries", 5);
    WriteString(User, TopUser.c_str(), "ShortNameMappingCharacter", "!");
    WriteDword(User, TopMachine.c_str(), "RSize", 32768);
    WriteString(User, TopMachine.c_str(), "Transport", "");
    WriteDword(User, TopMachine.c_str(), "NfsVersion", 0);

    PruneInheritedValues();

    EXPECT_EQ(2, ValueCount(User, TopUser.c_str()));
    EXPECT_EQ(1u, Dword(TopUser, "CaseForce"));
    std::string text;
    EXPECT_TRUE(ReadString(User, TopUser.c_str(), "ShortNameMappingCharacter", &text));
    EXPECT_EQ("!", text);
    // Nothing but built-in values: the key goes.
    EXPECT_FALSE(KeyExists(User, TopMachine.c_str()));
    EXPECT_TRUE(KeyExists(User, "Software\\ZEVR\\CC\\1.0\\zevrnfs"));
}

TEST_F(Prune, ServerLevelIsComparedWithTheTopKeyNotTheBuiltIns)
{
    const std::string serverUser = Full(Srv1 + "UserMountDefaults");
    const std::string serverMachine = Full(Srv1 + "MachineMountDefaults");
    WriteString(User, TopMachine.c_str(), "Transport", "tcp");
    WriteString(User, serverMachine.c_str(), "Transport", "tcp");
    WriteString(User, TopUser.c_str(), "ShortNameMappingCharacter", "!");
    WriteString(User, serverUser.c_str(), "ShortNameMappingCharacter", "~");
    // Equal to the built-in, but the top key holds something else.
    WriteDword(User, TopUser.c_str(), "UMask", 63);
    WriteDword(User, serverUser.c_str(), "UMask", 18);
    // Equal to the top key of the other name only.
    WriteDword(User, TopMachine.c_str(), "ReadOnly", 1);
    WriteDword(User, serverUser.c_str(), "ReadOnly", 1);
    // Texts are equal only in full and with case.
    const std::string server2User = Full("Servers\\srv2\\UserMountDefaults");
    const std::string server2Machine = Full("Servers\\srv2\\MachineMountDefaults");
    const std::string server3User = Full("Servers\\srv3\\UserMountDefaults");
    WriteString(User, server2Machine.c_str(), "Transport", "TCP");
    WriteString(User, server2User.c_str(), "ShortNameMappingCharacter", "!!");
    WriteString(User, server3User.c_str(), "ShortNameMappingCharacter", "");

    PruneInheritedValues();

    EXPECT_EQ(1, ValueCount(User, server2Machine.c_str()));
    EXPECT_EQ(1, ValueCount(User, server2User.c_str()));
    EXPECT_EQ(1, ValueCount(User, server3User.c_str()));

    EXPECT_FALSE(KeyExists(User, serverMachine.c_str()));
    EXPECT_EQ(3, ValueCount(User, serverUser.c_str()));
    EXPECT_EQ(18u, Dword(serverUser, "UMask"));
    EXPECT_EQ(1u, Dword(serverUser, "ReadOnly"));
    EXPECT_TRUE(ValueExists(User, serverUser.c_str(), "ShortNameMappingCharacter"));
    EXPECT_TRUE(ValueExists(User, TopMachine.c_str(), "Transport"));
    EXPECT_EQ(2, ValueCount(User, TopUser.c_str()));
}

TEST_F(Prune, ResourceLevelIsComparedWithTheNearestLevel)
{
    const std::string serverKey = Full(Srv1 + "MachineMountDefaults");
    const std::string resourceKey = Full(Res1 + "MachineMountDefaults");
    const std::string otherResource = Full("Servers\\srv1\\Resources\\res2\\MachineMountDefaults");
    WriteDword(User, TopMachine.c_str(), "RSize", 8192);
    WriteDword(User, serverKey.c_str(), "WSize", 4096);
    WriteDword(User, resourceKey.c_str(), "WSize", 4096);    // as the server: goes
    WriteDword(User, resourceKey.c_str(), "RSize", 8192);    // as the top: goes
    WriteDword(User, resourceKey.c_str(), "Timeout", 9);     // its own: stays
    WriteDword(User, otherResource.c_str(), "WSize", 32768); // built-in, server differs: stays
    WriteDword(User, otherResource.c_str(), "BackoffMultiplier", 4);

    PruneInheritedValues();

    EXPECT_EQ(1, ValueCount(User, resourceKey.c_str()));
    EXPECT_EQ(9u, Dword(resourceKey, "Timeout"));
    EXPECT_EQ(1, ValueCount(User, otherResource.c_str()));
    EXPECT_EQ(32768u, Dword(otherResource, "WSize"));
    EXPECT_EQ(4096u, Dword(serverKey, "WSize"));
    EXPECT_EQ(8192u, Dword(TopMachine, "RSize"));
}

TEST_F(Prune, EveryLevelEmptiedInOnePass)
{
    // Equal all the way down: the resource and server keys go as well as the
    // top key, and the keys that hold them stay.
    for (const std::string& key :
         {TopUser, Full(Srv1 + "UserMountDefaults"), Full(Res1 + "UserMountDefaults")})
        WriteDword(User, key.c_str(), "Retries", 5);
    PruneInheritedValues();
    EXPECT_FALSE(KeyExists(User, TopUser.c_str()));
    EXPECT_FALSE(KeyExists(User, Full(Srv1 + "UserMountDefaults").c_str()));
    EXPECT_FALSE(KeyExists(User, Full(Res1 + "UserMountDefaults").c_str()));
    EXPECT_TRUE(KeyExists(User, Full("Servers\\srv1\\Resources\\res1").c_str()));
}

TEST_F(Prune, OnlyPlainNumbersAndTextsArePruned)
{
    const BYTE umask[4] = {18, 0, 0, 0};
    WriteRaw(User, TopUser.c_str(), "UMask", REG_BINARY, umask, sizeof(umask));
    WriteRaw(User, TopUser.c_str(), "ArchiveBit", REG_MULTI_SZ, "1\0\0", 3);
    WriteDword(User, TopUser.c_str(), "ReadOnly", 0);
    // The key's unnamed value cannot be listed: its empty name ends the list.
    WriteDword(User, TopUser.c_str(), "", 0);
    // Text values without a row inherit nothing.
    WriteString(User, TopUser.c_str(), "LockingSharing", "0");
    // Malformed data is kept: a short number, and data after a text's end.
    WriteRaw(User, TopUser.c_str(), "CaseForce", REG_DWORD, "\0\0", 2);
    WriteRaw(User, TopMachine.c_str(), "Transport", REG_SZ, "\0extra", 7);
    WriteRaw(User, TopMachine.c_str(), "WSize", REG_DWORD_BIG_ENDIAN, "\0\0\x80\0", 4);

    PruneInheritedValues();

    EXPECT_EQ(5, ValueCount(User, TopUser.c_str()));
    EXPECT_FALSE(ValueExists(User, TopUser.c_str(), "ReadOnly"));
    EXPECT_EQ(0u, Dword(TopUser, ""));
    DWORD type = 0;
    std::string data;
    EXPECT_TRUE(ReadRaw(User, TopUser.c_str(), "UMask", &type, &data));
    EXPECT_EQ((DWORD)REG_BINARY, type);
    EXPECT_TRUE(ReadRaw(User, TopUser.c_str(), "ArchiveBit", &type, &data));
    EXPECT_EQ((DWORD)REG_MULTI_SZ, type);
    EXPECT_EQ(2, ValueCount(User, TopMachine.c_str()));
}

TEST_F(Prune, ValueNamesDifferingOnlyInCaseFromABuiltInStay)
{
    // The registry reads "umask" as UMask: 0 is a real setting, not the
    // default 18.
    WriteDword(User, TopUser.c_str(), "umask", 0);
    WriteDword(User, TopUser.c_str(), "READONLY", 0);
    PruneInheritedValues();
    EXPECT_EQ(2, ValueCount(User, TopUser.c_str()));
}

TEST_F(Prune, KeyWithSubKeysStaysSilently)
{
    WriteDword(User, TopUser.c_str(), "ReadOnly", 0);
    WriteDword(User, (TopUser + "\\Extra").c_str(), "Kept", 1);
    PruneInheritedValues();
    EXPECT_TRUE(KeyExists(User, TopUser.c_str()));
    EXPECT_EQ(0, ValueCount(User, TopUser.c_str()));
    EXPECT_EQ(1u, Dword(TopUser + "\\Extra", "Kept"));
}

TEST_F(Prune, MachineWideSettingsAreNeverPruned)
{
    const char* machineTop = "SOFTWARE\\ZEVR\\CC\\1.0\\zevrnfs\\UserMountDefaults";
    WriteDword(HKEY_LOCAL_MACHINE, machineTop, "ReadOnly", 0);
    PruneInheritedValues();
    EXPECT_EQ(ERROR_ACCESS_DENIED,
              PruneDefaultsKey(HKEY_LOCAL_MACHINE, "zevrnfs\\", "UserMountDefaults"));
    PruneServerTree(HKEY_LOCAL_MACHINE, "zevrnfs\\", "Servers", "UserMountDefaults");
    EXPECT_EQ(1, ValueCount(HKEY_LOCAL_MACHINE, machineTop));
}

TEST_F(Prune, UnreadableLevelAboveKeepsTheValuesBelowIt)
{
    // What the resource inherits is unknown while the server's key cannot be
    // read: its WSize equals the top's, but may not equal the server's.
    const std::string serverKey = Full(Srv1 + "MachineMountDefaults");
    const std::string resourceKey = Full(Res1 + "MachineMountDefaults");
    WriteDword(User, resourceKey.c_str(), "WSize", 32768);
    WriteDword(User, serverKey.c_str(), "WSize", 4096);
    MakeKeyUnreadable(User, serverKey);
    PruneInheritedValues();
    EXPECT_EQ(32768u, Dword(resourceKey, "WSize"));
}

TEST_F(Prune, LevelsAboveAreOpenedOncePerPass)
{
    // A further value costs its listing, its read and one read at each level
    // above: the levels stay open for the pass instead of being opened and
    // closed again for every value.
    WriteDword(User, TopUser.c_str(), "UMask", 7);
    WriteDword(User, Full(Srv1 + "UserMountDefaults").c_str(), "UMask", 9);
    const std::string resource = Full(Res1 + "UserMountDefaults");
    DWORD calls[2];
    for (int round = 0; round < 2; ++round) {
        // Values of their own, which stay: the second pass meets ten more.
        for (int i = 0; i < (round == 0 ? 2 : 12); ++i)
            WriteDword(User, resource.c_str(), ("Own" + std::to_string(i)).c_str(), 1);
        DWORD before = GetRegistryCallCount();
        PruneInheritedValues();
        calls[round] = GetRegistryCallCount() - before;
    }
    EXPECT_EQ(12, ValueCount(User, resource.c_str()));
    EXPECT_LE(calls[1] - calls[0], 10u * 4);
}

// Keys below zevrnfs\Servers named one at a time: the ANSI registry calls
// take no path of more than 259 characters in one piece.
static HKEY ServerKey(const std::vector<std::string>& names, bool create)
{
    HKEY key;
    std::string servers = Full("Servers");
    if ((create ? RegCreateKeyA(User, servers.c_str(), &key)
                : RegOpenKeyA(User, servers.c_str(), &key)) != ERROR_SUCCESS)
        return NULL;
    for (const std::string& name : names) {
        HKEY child;
        LONG rc = create ? RegCreateKeyA(key, name.c_str(), &child)
                         : RegOpenKeyA(key, name.c_str(), &child);
        RegCloseKey(key);
        if (rc != ERROR_SUCCESS)
            return NULL;
        key = child;
    }
    return key;
}

static void WriteServerDefaults(const std::vector<std::string>& names)
{
    HKEY key = ServerKey(names, true);
    ASSERT_NE(nullptr, key);
    DWORD zero = 0, seven = 7;
    RegSetValueExA(key, "ReadOnly", 0, REG_DWORD, (const BYTE*)&zero, 4);
    RegSetValueExA(key, "UMask", 0, REG_DWORD, (const BYTE*)&seven, 4);
    RegCloseKey(key);
}

static int ServerValueCount(const std::vector<std::string>& names)
{
    HKEY key = ServerKey(names, false);
    if (key == NULL)
        return -1;
    DWORD count = 0;
    RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, &count, NULL, NULL, NULL, NULL);
    RegCloseKey(key);
    return (int)count;
}

TEST_F(Prune, LongServerAndResourceNamesAreSkipped)
{
    // 230 characters: a valid key name, but its settings paths do not fit.
    std::string longName(230, 'm');
    // 255 characters: the longest key name, too long for the name buffer;
    // it sorts first, and the servers after it are still visited.
    std::string longest(255, 'a');
    const char* X = "UserMountDefaults";
    WriteServerDefaults({longName, X});
    WriteServerDefaults({longest, X});
    WriteServerDefaults({longest, "Resources", "r", X});
    WriteServerDefaults({"zz", X});
    WriteServerDefaults({"srv1", "Resources", longName, X});
    WriteServerDefaults({"srv1", "Resources", "res1", X});
    WriteServerDefaults({"srv1", X});

    PruneInheritedValues();

    EXPECT_EQ(2, ServerValueCount({longName, X}));
    EXPECT_EQ(2, ServerValueCount({longest, X}));
    EXPECT_EQ(2, ServerValueCount({longest, "Resources", "r", X}));
    EXPECT_EQ(2, ServerValueCount({"srv1", "Resources", longName, X}));
    EXPECT_EQ(1, ServerValueCount({"zz", X}));
    EXPECT_EQ(-1, ServerValueCount({"srv1", "Resources", "res1", X}));
    EXPECT_EQ(1, ServerValueCount({"srv1", X}));
    EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE,
              PruneDefaultsKey(User, ("zevrnfs\\Servers\\" + longName).c_str(), X));
}

TEST_F(Prune, LongValueNamesStayAndKeepTheirKey)
{
    std::string longName(300, 'v');
    WriteDword(User, TopUser.c_str(), longName.c_str(), 0);
    WriteDword(User, TopUser.c_str(), "ReadOnly", 0);
    WriteDword(User, TopUser.c_str(), "~last", 0);
    PruneInheritedValues();
    EXPECT_EQ(1, ValueCount(User, TopUser.c_str()));
    EXPECT_TRUE(ValueExists(User, TopUser.c_str(), longName.c_str()));
}

TEST_F(Prune, FullDeletionListLeavesTheRestForTheNextPass)
{
    // 80 names of 24 characters: 25 bytes each in the list, so 39 fit.
    for (int i = 0; i < 80; ++i) {
        char name[32];
        snprintf(name, sizeof(name), "InheritedValueNumber%04d", i);
        WriteDword(User, TopUser.c_str(), name, 0);
    }
    WriteDword(User, TopUser.c_str(), "CaseForce", 1);

    PruneInheritedValues();
    EXPECT_EQ(81 - 39, ValueCount(User, TopUser.c_str()));
    EXPECT_EQ(1u, Dword(TopUser, "CaseForce"));

    PruneInheritedValues();
    PruneInheritedValues();
    EXPECT_EQ(1, ValueCount(User, TopUser.c_str()));
    EXPECT_EQ(1u, Dword(TopUser, "CaseForce"));
}
