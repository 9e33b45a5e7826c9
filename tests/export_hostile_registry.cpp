// Registry data that other tools, older versions and hand edits leave
// behind, put into every value that a page of the three sheets reads. Each
// sheet is opened with every page visited and OK pressed, then opened again
// and cancelled: nothing crashes, a value that counts as missing behaves as
// missing, the registry-diff guard finds only documented changes, Cancel
// changes no value, and the values of other tools stay.
#include "regdiff.h"
#include "sandbox.h"
#include "sheet_driver.h"

#include <functional>
#include <string>

#define NFS_ROOT "Software\\ZEVR\\CC\\1.0\\zevrnfs\\"
#define USER_DEFAULTS NFS_ROOT "UserMountDefaults"
#define MACHINE_DEFAULTS NFS_ROOT "MachineMountDefaults"
#define PARAMETERS "System\\CurrentControlSet\\Services\\Zevrnfs\\Parameters"
#define MACHINE_NFS "SOFTWARE\\ZEVR\\CC\\1.0\\zevrnfs\\"
#define OPTIONS MACHINE_NFS "NameServiceOptions"

enum Kind { Number, Text, List };

struct ReadValue {
    HKEY hive;
    const char* key;
    const char* name;
    Kind kind;
    // A text or list of the right type but too long to show stays as
    // stored; a choice is rewritten as its first.
    bool keptWhenLong = false;
};

struct SheetUnderTest {
    const char* entry;
    const char* caption;
    std::vector<ReadValue> values;
};

// Every value each sheet's pages read.
static const SheetUnderTest NfsClient = {
    "NFSClientProperty",
    "Quellmar NFS Client Configuration",
    {
        {HKEY_CURRENT_USER, USER_DEFAULTS, "ReadOnly", Number},
        {HKEY_CURRENT_USER, USER_DEFAULTS, "LockingSharing", Number},
        {HKEY_CURRENT_USER, USER_DEFAULTS, "ShortNameMappingCharacter", Text},
        {HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheOff", Number},
        {HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheDirMin", Number},
        {HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheDirMax", Number},
        {HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheRegMin", Number},
        {HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheRegMax", Number},
        {HKEY_CURRENT_USER, USER_DEFAULTS, "UMask", Number},
        {HKEY_CURRENT_USER, USER_DEFAULTS, "Retries", Number},
        {HKEY_CURRENT_USER, USER_DEFAULTS, "ArchiveBit", Number},
        {HKEY_CURRENT_USER, USER_DEFAULTS, "CaseSensitive", Number},
        {HKEY_CURRENT_USER, USER_DEFAULTS, "PreferredCaseIsUpper", Number},
        {HKEY_CURRENT_USER, USER_DEFAULTS, "CaseForce", Number},
        {HKEY_CURRENT_USER, USER_DEFAULTS, "UseBsdGroupSemantics", Number},
        {HKEY_CURRENT_USER, USER_DEFAULTS, "NfsVersion", Number},
        {HKEY_CURRENT_USER, USER_DEFAULTS, "NfsPort", Number},
        {HKEY_CURRENT_USER, MACHINE_DEFAULTS, "RSize", Number},
        {HKEY_CURRENT_USER, MACHINE_DEFAULTS, "WSize", Number},
        {HKEY_CURRENT_USER, MACHINE_DEFAULTS, "Timeout", Number},
        {HKEY_CURRENT_USER, MACHINE_DEFAULTS, "BackoffMultiplier", Number},
        {HKEY_CURRENT_USER, MACHINE_DEFAULTS, "Transport", Text},
        {HKEY_LOCAL_MACHINE, PARAMETERS, "CacheSizeK", Number},
        {HKEY_LOCAL_MACHINE, PARAMETERS, "EnableDataCache", Number},
        {HKEY_LOCAL_MACHINE, PARAMETERS, "NumMappedNames", Number},
        {HKEY_LOCAL_MACHINE, PARAMETERS, "AsynchReadahead", Number},
        {HKEY_LOCAL_MACHINE, MACHINE_NFS "Authentication\\Servers", "Hosts", List, true},
        {HKEY_LOCAL_MACHINE, MACHINE_NFS "Automounter", "IdleTime", Number},
    },
};

static const SheetUnderTest Sharing = {
    "PrintSharingProperty",
    "Quellmar File Sharing Configuration",
    {
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\ZEVR\\CC\\1.0\\zevrnfsd", "Enable", Number},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\ZEVR\\CC\\1.0\\zevrnfsd", "Logging", Number},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\ZEVR\\CC\\1.0\\LOGGING", "Enable", Number},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\ZEVR\\CC\\1.0\\LOGGING", "Save", Number},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\ZEVR\\CC\\1.0\\LOGGING", "File", Text, true},
    },
};

static const SheetUnderTest NameService = {
    "NISProperty",
    "Quellmar NIS/NIS+ Name Service Configuration",
    {
        {HKEY_LOCAL_MACHINE, OPTIONS, "Domain", Text, true},
        {HKEY_LOCAL_MACHINE, OPTIONS, "NisServers", Text, true},
        {HKEY_LOCAL_MACHINE, OPTIONS, "NisplusServers", Text, true},
        {HKEY_LOCAL_MACHINE, OPTIONS, "SearchOrder", Text, true},
    },
};

struct Stored {
    DWORD type;
    std::string data;
};

// Forms under which each value counts as missing: another type, a number of
// the wrong size, a text or list longer than any page reads (except where
// keptWhenLong: that value stays as stored).
static const char* const MissingForms[] = {"another type", "REG_BINARY",    "REG_MULTI_SZ",
                                           "REG_QWORD",    "2-byte number", "8-byte number",
                                           "5,000 bytes"};

static Stored MissingForm(int form, Kind kind)
{
    std::string longText(4999, 'x');
    longText += '\0';
    switch (form) {
    case 0:
        return kind == Text ? Stored{REG_DWORD, std::string("\1\0\0\0", 4)}
                            : Stored{REG_SZ, std::string(kind == List ? "a" : "1", 2)};
    case 1:
        return {REG_BINARY, std::string("\1\0\0\0", 4)};
    case 2:
        return kind == List ? Stored{REG_DWORD, std::string("\1\0\0\0", 4)}
                            : Stored{REG_MULTI_SZ, std::string("1\0\0", 3)};
    case 3:
        return {REG_QWORD, std::string("\1\0\0\0\0\0\0\0", 8)};
    case 4:
        return {REG_DWORD, std::string("\1\0", 2)};
    case 5:
        return {REG_DWORD, std::string("\1\0\0\0\0\0\0\0", 8)};
    default:
        if (kind == List) {
            std::string list;
            while (list.size() < 5000)
                list += "server" + std::to_string(list.size()) + '\0';
            return {REG_MULTI_SZ, list + '\0'};
        }
        return {REG_SZ, longText};
    }
}

static void Store(HKEY hive, const char* key, const char* name, const Stored& value)
{
    WriteRaw(hive, key, name, value.type, value.data.data(), (DWORD)value.data.size());
}

class HostileRegistry : public testing::Test {
  protected:
    void SetUp() override
    {
        library_ = LoadLibraryA("ZEVRNTPS.dll");
        ASSERT_NE(nullptr, library_);
    }
    void TearDown() override
    {
        FreeLibrary(library_);
    }

    // Opens the sheet and visits every page (and runs edit on the page of
    // pageId); then OK (the text of the box that refused it, "" when none)
    // or Cancel.
    std::string Session(const SheetUnderTest& sheet, bool ok,
                        std::function<void(SheetDriver&)> edit = nullptr, int pageId = 0)
    {
        SheetDriver driver;
        auto entry = (ZevrEntryPoint)(void (*)())GetProcAddress(library_, sheet.entry);
        if (!driver.Open(entry, sheet.caption))
            return "(no sheet)";
        // Selecting the current page again would ask it to validate first.
        for (int i = 1; i < driver.PageCount(); ++i)
            driver.SelectPage(i);
        if (edit) {
            if (driver.PageCount() > 1)
                driver.SelectPageId(pageId);
            edit(driver);
        }
        if (!ok) {
            driver.PressCancel();
            return driver.WaitClosed() ? "" : "(not closed)";
        }
        driver.PostOk();
        for (int waited = 0; !driver.WaitClosed(50); waited += 50) {
            if (driver.OpenMessageBoxes() == 0 && waited < 5000)
                continue;
            MessageBoxInfo box;
            if (!driver.WaitMessageBox(&box))
                return "(not closed)";
            DismissMessageBox(box);
            driver.Sync();
            driver.PressCancel();
            return driver.WaitClosed() ? box.text : "(not closed)";
        }
        return driver.ResultText() == "TRUE" ? "" : "(result " + driver.ResultText() + ")";
    }

    // OK and then Cancel, under the guard; returns what OK said.
    std::string GuardedSessions(const SheetUnderTest& sheet)
    {
        RegistrySnapshot before = TakeRegistrySnapshot();
        std::string said = Session(sheet, true);
        RegistrySnapshot afterOk = TakeRegistrySnapshot();
        EXPECT_EQ("", UndocumentedChanges(before, afterOk));
        if (!said.empty()) {
            EXPECT_EQ("", ValueChanges(before, afterOk)) << "a refused OK wrote";
        }
        EXPECT_EQ("", Session(sheet, false));
        EXPECT_EQ("", ValueChanges(afterOk, TakeRegistrySnapshot())) << "Cancel wrote";
        return said;
    }

    // Every form of MissingForms in every value leaves the registry as a
    // fresh one does.
    void MissingFormsActAsMissing(const SheetUnderTest& sheet)
    {
        RegistrySnapshot fresh;
        {
            RegistrySandbox sandbox;
            EXPECT_EQ("", GuardedSessions(sheet));
            fresh = TakeRegistrySnapshot();
        }
        const int forms = (int)(sizeof(MissingForms) / sizeof(MissingForms[0]));
        for (int form = 0; form < forms; ++form) {
            SCOPED_TRACE(MissingForms[form]);
            RegistrySandbox sandbox;
            RegistrySnapshot expected = fresh;
            for (const ReadValue& value : sheet.values) {
                Stored stored = MissingForm(form, value.kind);
                Store(value.hive, value.key, value.name, stored);
                if (form == forms - 1 && value.keptWhenLong)
                    expected
                        .keys[std::string(value.hive == HKEY_CURRENT_USER ? "HKCU\\" : "HKLM\\") +
                              value.key][value.name] = {stored.type, stored.data};
            }
            EXPECT_EQ("", GuardedSessions(sheet));
            EXPECT_EQ("", ValueChanges(expected, TakeRegistrySnapshot()));
        }
    }

    HMODULE library_ = NULL;
};

TEST_F(HostileRegistry, NfsClientSheetTreatsUnreadableValuesAsMissing)
{
    MissingFormsActAsMissing(NfsClient);
}

TEST_F(HostileRegistry, SharingSheetTreatsUnreadableValuesAsMissing)
{
    MissingFormsActAsMissing(Sharing);
}

TEST_F(HostileRegistry, NameServiceSheetTreatsUnreadableValuesAsMissing)
{
    MissingFormsActAsMissing(NameService);
}

static std::string Raw(HKEY hive, const char* key, const char* name)
{
    DWORD type = 0;
    std::string data;
    if (!ReadRaw(hive, key, name, &type, &data))
        return "(missing)";
    return std::to_string(type) + ":" + data;
}

static std::string Sz(const std::string& text)
{
    return "1:" + text + std::string(1, '\0');
}

// Texts stored without terminators, lists without theirs and empty lists
// count as present: they are shown, and saved back terminated.
TEST_F(HostileRegistry, NfsClientSheetReadsUnterminatedTextsAndEmptyLists)
{
    const struct {
        const char* mapping;
        const char* transport;
        std::string hosts;
        std::string savedHosts;
    } cases[] = {
        {"#", "udp", std::string("a\0bc", 4), std::string("7:a\0bc\0\0", 8)},
        {"!", "tcp", std::string(), std::string("7:\0", 3)},
        {"@", "", std::string("\0", 1), std::string("7:\0", 3)},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.mapping);
        RegistrySandbox sandbox;
        WriteRaw(HKEY_CURRENT_USER, USER_DEFAULTS, "ShortNameMappingCharacter", REG_SZ, row.mapping,
                 1);
        WriteRaw(HKEY_CURRENT_USER, MACHINE_DEFAULTS, "Transport", REG_SZ, row.transport,
                 (DWORD)strlen(row.transport));
        WriteRaw(HKEY_LOCAL_MACHINE, MACHINE_NFS "Authentication\\Servers", "Hosts", REG_MULTI_SZ,
                 row.hosts.data(), (DWORD)row.hosts.size());
        EXPECT_EQ("", GuardedSessions(NfsClient));
        EXPECT_EQ(Sz(row.mapping),
                  Raw(HKEY_CURRENT_USER, USER_DEFAULTS, "ShortNameMappingCharacter"));
        // The Advanced page saves after the pruning pass of the General
        // and Files pages: its transport stays also where it equals what
        // the key inherits.
        EXPECT_EQ(Sz(row.transport), Raw(HKEY_CURRENT_USER, MACHINE_DEFAULTS, "Transport"));
        EXPECT_EQ(row.savedHosts,
                  Raw(HKEY_LOCAL_MACHINE, MACHINE_NFS "Authentication\\Servers", "Hosts"));
    }
}

TEST_F(HostileRegistry, SharingSheetReadsAnUnterminatedFileName)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string file = temp + std::string("zevrhostile") + std::to_string(GetCurrentProcessId());
    RegistrySandbox sandbox;
    WriteRaw(HKEY_LOCAL_MACHINE, "SOFTWARE\\ZEVR\\CC\\1.0\\LOGGING", "File", REG_SZ, file.data(),
             (DWORD)file.size());
    EXPECT_EQ("", GuardedSessions(Sharing));
    EXPECT_EQ(Sz(file), Raw(HKEY_LOCAL_MACHINE, "SOFTWARE\\ZEVR\\CC\\1.0\\LOGGING", "File"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.c_str()));
    DeleteFileA(file.c_str());
}

// Name-service data that OK must refuse: the page's own box, then Cancel.
// Texts too long to show are kept as stored and pass for servers and a
// domain.
TEST_F(HostileRegistry, NameServiceSheetRefusesOrSavesWhatItReads)
{
    std::string longText(4999, 'x');
    const struct {
        const char* order;
        std::string servers; // NisServers and NisplusServers
        std::string domain;
        const char* said;
    } cases[] = {
        {"WY", std::string("1.2.3.4 5.6.7.8", 15), "abc", ""},
        {"NW", std::string("1.2.3.4", 7), "abc", ""},
        {"YW", longText, "abc", ""},
        {"N", std::string("1.2.3.4", 7), "bad/name",
         "\"bad/name\" is not a valid NIS or NIS+ Domain Name."},
        {"Y", std::string("1.2.3.4", 7), longText, ""},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.order + (" " + row.domain.substr(0, 10)));
        RegistrySandbox sandbox;
        // All three texts without terminators.
        WriteRaw(HKEY_LOCAL_MACHINE, OPTIONS, "SearchOrder", REG_SZ, row.order,
                 (DWORD)strlen(row.order));
        for (const char* name : {"NisServers", "NisplusServers"})
            WriteRaw(HKEY_LOCAL_MACHINE, OPTIONS, name, REG_SZ, row.servers.data(),
                     (DWORD)row.servers.size());
        WriteRaw(HKEY_LOCAL_MACHINE, OPTIONS, "Domain", REG_SZ, row.domain.data(),
                 (DWORD)row.domain.size());
        EXPECT_EQ(row.said, GuardedSessions(NameService));
        if (*row.said != '\0')
            continue;
        EXPECT_EQ(Sz(row.order), Raw(HKEY_LOCAL_MACHINE, OPTIONS, "SearchOrder"));
        EXPECT_EQ(Sz(row.servers), Raw(HKEY_LOCAL_MACHINE, OPTIONS, "NisServers"));
        EXPECT_EQ(Sz(row.servers), Raw(HKEY_LOCAL_MACHINE, OPTIONS, "NisplusServers"));
        EXPECT_EQ(Sz(row.domain), Raw(HKEY_LOCAL_MACHINE, OPTIONS, "Domain"));
    }
}

// A text or list too long for its page, stored as another tool left it:
// OK without a touch leaves it byte for byte (and creates no file for the
// name shown in place of a long log file name); an edit of its control
// stores the new value.
TEST_F(HostileRegistry, TooLongTextsStayUntilTheirControlIsEdited)
{
    std::string hosts;
    for (int i = 0; i < 600; ++i)
        hosts += "host" + std::to_string(100 + i) + '\0';
    hosts += '\0'; // 4,801 bytes
    std::string servers = "10.1.1.1";
    for (int i = 2; i <= 25; ++i)
        servers += " 10.1.1." + std::to_string(i);
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string logFile = temp + std::string("zevrlong") + std::to_string(GetCurrentProcessId());
    auto type = [](const char* text) { return [text](SheetDriver& d) { d.SetText(1089, text); }; };
    auto add = [](int addressId, int addId) {
        return [=](SheetDriver& d) {
            SendMessageA(d.Item(addressId), WM_SETTEXT, 0, (LPARAM) "10.20.30.40");
            d.Click(addId);
        };
    };
    auto hostsEdit = [](SheetDriver& d) {
        d.Click(1048);
        d.SetText(1049, "alpha,beta");
    };
    auto fileEdit = [&](SheetDriver& d) { d.SetText(1040, logFile.c_str()); };
    const std::string nisplus = "NW", nis = "YW"; // the services' codes lead
    const struct {
        const SheetUnderTest& sheet;
        int pageId;
        const char* key;
        const char* name;
        DWORD type;
        std::string stored;
        std::vector<std::pair<const char*, std::string>> others; // of NameServiceOptions
        std::function<void(SheetDriver&)> edit;
        std::string edited;
    } cases[] = {
        // clang-format off
        {NfsClient, 109, MACHINE_NFS "Authentication\\Servers", "Hosts", REG_MULTI_SZ, hosts, {},
         hostsEdit, std::string("7:alpha\0beta\0\0", 14)},
        {Sharing, 106, "SOFTWARE\\ZEVR\\CC\\1.0\\LOGGING", "File", REG_SZ,
         "C:\\" + std::string(299, 'f'), {}, fileEdit, Sz(logFile)},
        {NameService, 115, OPTIONS, "NisServers", REG_SZ, servers,
         {{"SearchOrder", nis}, {"Domain", "abc"}}, add(1091, 1092), Sz("10.20.30.40")},
        {NameService, 115, OPTIONS, "NisplusServers", REG_SZ, servers,
         {{"SearchOrder", nisplus}, {"Domain", "abc"}}, add(1095, 1096), Sz("10.20.30.40")},
        {NameService, 115, OPTIONS, "Domain", REG_SZ, std::string(300, 'd'),
         {{"SearchOrder", nis}, {"NisServers", "1.2.3.4"}}, type("example.org"), Sz("example.org")},
        {NameService, 115, OPTIONS, "SearchOrder", REG_SZ, nisplus + std::string(39, 'W'),
         {{"NisServers", "1.2.3.4"}, {"Domain", "abc"}}, [](SheetDriver& d) { d.Click(1106); },
         Sz("WY")},
        // clang-format on
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        RegistrySandbox sandbox;
        for (const auto& other : row.others)
            WriteRaw(HKEY_LOCAL_MACHINE, OPTIONS, other.first, REG_SZ, other.second.c_str(),
                     (DWORD)other.second.size() + 1);
        WriteRaw(HKEY_LOCAL_MACHINE, row.key, row.name, row.type, row.stored.data(),
                 (DWORD)row.stored.size());
        // As the registry keeps it (it gives a text its terminator).
        std::string stored = Raw(HKEY_LOCAL_MACHINE, row.key, row.name);
        DeleteFileA("C:\\LOGGING.TXT");
        EXPECT_EQ("", GuardedSessions(row.sheet));
        EXPECT_EQ(stored, Raw(HKEY_LOCAL_MACHINE, row.key, row.name));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("C:\\LOGGING.TXT"));
        EXPECT_EQ("", Session(row.sheet, true, row.edit, row.pageId));
        EXPECT_EQ(row.edited, Raw(HKEY_LOCAL_MACHINE, row.key, row.name));
    }
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(logFile.c_str()));
    DeleteFileA(logFile.c_str());
}

// Values of other tools in the mount-defaults keys, per-server and
// per-resource trees of 50 servers, and key and value names at the
// registry's limits: all stay, except what the pruning rule removes (a
// number equal to what its key inherits).
TEST_F(HostileRegistry, NfsClientSheetKeepsWhatOtherToolsStored)
{
    RegistrySandbox sandbox;
    struct Foreign {
        std::string key, name;
        Stored value;
        bool prunable;
    };
    std::vector<Foreign> foreign;
    const Stored kinds[] = {
        {REG_SZ, std::string("other tool\0", 11)},   {REG_BINARY, std::string("\0\1\2", 3)},
        {REG_DWORD, std::string("\7\0\0\0", 4)},     {REG_MULTI_SZ, std::string("a\0b\0\0", 5)},
        {REG_EXPAND_SZ, std::string("%TEMP%\0", 7)}, {REG_QWORD, std::string(8, '\0')},
        {REG_DWORD, std::string(4, '\0')}, // equals the 0 a name without a row inherits
    };
    for (const char* key : {USER_DEFAULTS, MACHINE_DEFAULTS})
        for (int i = 0; i < 300; ++i)
            foreign.push_back(
                {key, "OtherTool.Setting" + std::to_string(i), kinds[i % 7], i % 7 == 6});
    foreign.push_back({USER_DEFAULTS, std::string(255, 'v'), kinds[0], false});

    // 50 servers, each with its two defaults keys and one resource.
    for (int s = 0; s < 50; ++s) {
        std::string server = NFS_ROOT "Servers\\server" + std::to_string(s);
        std::string resource = server + "\\Resources\\export" + std::to_string(s);
        foreign.push_back(
            {server + "\\UserMountDefaults", "ReadOnly", {REG_DWORD, std::string(4, '\0')}, true});
        foreign.push_back({server + "\\UserMountDefaults",
                           "UMask",
                           {REG_DWORD, std::string("\7\0\0\0", 4)},
                           false});
        foreign.push_back(
            {server + "\\UserMountDefaults", "CaseForce", {REG_SZ, std::string("1\0", 2)}, false});
        foreign.push_back({server + "\\UserMountDefaults",
                           "Retries",
                           {REG_DWORD, std::string("\5\0", 2)},
                           false});
        foreign.push_back({server + "\\UserMountDefaults",
                           "ArchiveBit",
                           {REG_DWORD, std::string("\1\0\0\0\0\0\0\0", 8)},
                           false});
        foreign.push_back(
            {server + "\\MachineMountDefaults", "RSize", {REG_QWORD, std::string(8, '\0')}, false});
        foreign.push_back({server + "\\MachineMountDefaults",
                           "Transport",
                           {REG_SZ, std::string("tcp", 3)},
                           false});
        foreign.push_back({resource + "\\UserMountDefaults",
                           "ReadOnly",
                           {REG_DWORD, std::string("\1\0\0\0", 4)},
                           false});
        foreign.push_back({resource + "\\UserMountDefaults",
                           "UMask",
                           {REG_DWORD, std::string("\7\0\0\0", 4)},
                           true});
        foreign.push_back({resource + "\\UserMountDefaults",
                           "ShortNameMappingCharacter",
                           {REG_SZ, std::string("~", 1)},
                           true});
        foreign.push_back({resource + "\\MachineMountDefaults",
                           "Transport",
                           {REG_SZ, std::string("tcp\0", 4)},
                           true});
    }
    for (Foreign& value : foreign) {
        Store(HKEY_CURRENT_USER, value.key.c_str(), value.name.c_str(), value.value);
        // As the registry hands it back (a text gains its terminator).
        ReadRaw(HKEY_CURRENT_USER, value.key.c_str(), value.name.c_str(), &value.value.type,
                &value.value.data);
    }
    // Key names at the registry's limit, created one level at a time (the
    // ANSI calls take no longer paths): too long for the store's paths, so
    // it leaves them alone.
    HKEY servers, resources, longKeys[2];
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, NFS_ROOT "Servers", &servers));
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(servers, "server0\\Resources", &resources));
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(servers, std::string(254, 's').c_str(), &longKeys[0]));
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(resources, std::string(254, 'r').c_str(), &longKeys[1]));
    for (HKEY key : longKeys)
        WriteDword(key, "UserMountDefaults", "ReadOnly", 0);

    EXPECT_EQ("", GuardedSessions(NfsClient));
    int pruned = 0;
    for (const Foreign& value : foreign) {
        DWORD type = 0;
        std::string data;
        bool present =
            ReadRaw(HKEY_CURRENT_USER, value.key.c_str(), value.name.c_str(), &type, &data);
        if (value.prunable && !present) {
            ++pruned;
            continue;
        }
        EXPECT_TRUE(present) << value.key << " [" << value.name << "]";
        if (present) {
            EXPECT_TRUE(type == value.value.type && data == value.value.data)
                << value.key << " [" << value.name << "] " << type << ":" << data;
        }
    }
    for (HKEY key : longKeys) {
        DWORD value = 1;
        EXPECT_TRUE(ReadDword(key, "UserMountDefaults", "ReadOnly", &value));
        EXPECT_EQ(0u, value);
        RegCloseKey(key);
    }
    RegCloseKey(resources);
    RegCloseKey(servers);
    // Every level's own prunable values went; the crowded top-level keys
    // lose as many as one pass's deletion list holds.
    EXPECT_GE(pruned, 200);
}

// The guard itself: what it lets pass and what it reports.
TEST(RegistryDiffGuard, ReportsEveryChangeOutsideTheDocumentedOnes)
{
    RegistrySandbox sandbox;
    std::string server = NFS_ROOT "Servers\\s1\\UserMountDefaults";
    WriteDword(HKEY_CURRENT_USER, server.c_str(), "ReadOnly", 0);
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "OtherTool", 5);
    WriteDword(HKEY_LOCAL_MACHINE, PARAMETERS, "OtherTool", 5);
    RegistrySnapshot before = TakeRegistrySnapshot();
    EXPECT_EQ("", UndocumentedChanges(before, TakeRegistrySnapshot()));

    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "ReadOnly", 1); // documented
    WriteDword(HKEY_LOCAL_MACHINE, MACHINE_NFS "Automounter", "IdleTime", 600);
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyA(HKEY_CURRENT_USER, server.c_str(), &key));
    RegDeleteValueA(key, "ReadOnly"); // pruning, at any level
    RegCloseKey(key);
    RegDeleteKeyA(HKEY_CURRENT_USER, server.c_str());
    AppendStandInLog("event"); // not the library's
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "OtherTool", 6);
    WriteDword(HKEY_LOCAL_MACHINE, PARAMETERS, "Unknown", 1);
    WriteDword(HKEY_LOCAL_MACHINE, PARAMETERS, "OtherTool", 6);
    WriteDword(HKEY_CURRENT_USER, "Software\\Elsewhere", "ReadOnly", 1);
    RegistrySnapshot after = TakeRegistrySnapshot();
    EXPECT_EQ("value changed: HKCU\\" USER_DEFAULTS " [OtherTool]\n"
              "value changed: HKLM\\" PARAMETERS " [OtherTool]\n"
              "key added: HKCU\\Software\\Elsewhere\n"
              "value added: HKCU\\Software\\Elsewhere [ReadOnly]\n"
              "value added: HKLM\\" PARAMETERS " [Unknown]\n",
              UndocumentedChanges(before, after));
    EXPECT_NE("", ValueChanges(before, after));
}
