// Failure paths: a key that cannot be created or opened (the library's own
// RegCreateKeyA and RegOpenKeyA fail for it: Wine grants a create even on a
// key that denies it), from the start, only at apply or only while the pages
// load, for every key of every sheet. Each page then stops where its
// transfer meets that key, the other pages save, no box is shown and no
// stored value is lost.
#include "iat.h"
#include "nfs_sheet.h"
#include "regdiff.h"
#include "resource.h"
#include "sandbox.h"
#include "sheet_driver.h"

#include <functional>
#include <string>

#define ROOT_M "SOFTWARE\\ZEVR\\CC\\1.0\\"
#define SERVER ROOT_M "zevrnfsd"
#define LOGGING ROOT_M "LOGGING"
#define SERVER_SERVICE "SYSTEM\\CurrentControlSet\\Services\\Quellmar NFS Server"
#define OPTIONS ROOT_M "zevrnfs\\NameServiceOptions"

static std::string FailingPath;
static LONG(WINAPI* RealCreateKey)(HKEY, LPCSTR, PHKEY);
static LONG(WINAPI* RealOpenKey)(HKEY, LPCSTR, PHKEY);

static bool Fails(LPCSTR path)
{
    return path != NULL && !FailingPath.empty() && lstrcmpiA(path, FailingPath.c_str()) == 0;
}

static LONG WINAPI FailingCreateKey(HKEY root, LPCSTR path, PHKEY key)
{
    return Fails(path) ? ERROR_ACCESS_DENIED : RealCreateKey(root, path, key);
}

static LONG WINAPI FailingOpenKey(HKEY root, LPCSTR path, PHKEY key)
{
    return Fails(path) ? ERROR_ACCESS_DENIED : RealOpenKey(root, path, key);
}

struct Seed {
    HKEY hive;
    const char* key;
    const char* name;
    DWORD type;
    std::string data;
};

static Seed Number(HKEY hive, const char* key, const char* name, DWORD value)
{
    return {hive, key, name, REG_DWORD, std::string((const char*)&value, 4)};
}

static Seed String(HKEY hive, const char* key, const char* name, const std::string& text)
{
    return {hive, key, name, REG_SZ, text + '\0'};
}

// One change made through a page, and the keys its page's transfer must
// pass before it reaches the value's own key.
struct Edit {
    int page;
    std::function<void(SheetDriver&)> act;
    const char* key;
    const char* name;
    std::vector<const char*> needs;
};

struct SheetCase {
    const char* entry;
    const char* caption;
    std::vector<const char*> keys;
    std::vector<Seed> seeds;
    std::vector<Edit> edits;
    const char* writtenOnly; // a key no page reads: it cannot fail at load
};

static SheetCase NfsClientCase()
{
    HKEY u = HKEY_CURRENT_USER, m = HKEY_LOCAL_MACHINE;
    return {
        "NFSClientProperty",
        "Quellmar NFS Client Configuration",
        {USER_DEFAULTS, MACHINE_DEFAULTS, SERVICE_PARAMETERS, AUTH_SERVERS, AUTOMOUNTER},
        {
            Number(u, USER_DEFAULTS, "ReadOnly", 1),
            Number(u, USER_DEFAULTS, "LockingSharing", 1),
            Number(u, USER_DEFAULTS, "UMask", 7),
            Number(u, USER_DEFAULTS, "AttrCacheOff", 1),
            Number(u, USER_DEFAULTS, "ArchiveBit", 0),
            Number(u, USER_DEFAULTS, "Retries", 1),
            Number(u, USER_DEFAULTS, "NfsPort", 1000),
            Number(u, MACHINE_DEFAULTS, "RSize", 1024),
            Number(u, MACHINE_DEFAULTS, "WSize", 4096),
            String(u, MACHINE_DEFAULTS, "Transport", "udp"),
            Number(m, SERVICE_PARAMETERS, "CacheSizeK", 2048),
            Number(m, SERVICE_PARAMETERS, "AsynchReadahead", 0),
            {m, AUTH_SERVERS, "Hosts", REG_MULTI_SZ, std::string("*\0\0", 3)},
            Number(m, AUTOMOUNTER, "IdleTime", 900),
        },
        {
            {107, [](SheetDriver& s) { s.Click(1041); }, USER_DEFAULTS, "ReadOnly", {}},
            {107,
             [](SheetDriver& s) { s.ComboSelect(1045, 4); },
             MACHINE_DEFAULTS,
             "RSize",
             {USER_DEFAULTS}},
            {109, [](SheetDriver& s) { s.Click(2000); }, USER_DEFAULTS, "UMask", {}},
            {109,
             [](SheetDriver& s) {
                 s.Click(1048);
                 s.SetText(1049, "host1");
             },
             AUTH_SERVERS,
             "Hosts",
             {}},
            {111,
             [](SheetDriver& s) { s.ComboSelect(1057, 1); },
             SERVICE_PARAMETERS,
             "CacheSizeK",
             {}},
            {111,
             [](SheetDriver& s) { s.Click(1058); },
             USER_DEFAULTS,
             "AttrCacheOff",
             {SERVICE_PARAMETERS}},
            {112,
             [](SheetDriver& s) { s.ComboSelect(1070, 2); },
             USER_DEFAULTS,
             "Retries",
             {MACHINE_DEFAULTS}},
            {112,
             [](SheetDriver& s) { s.Click(1071); },
             SERVICE_PARAMETERS,
             "AsynchReadahead",
             {MACHINE_DEFAULTS, USER_DEFAULTS}},
            {112,
             [](SheetDriver& s) { s.SetText(1073, "600"); },
             AUTOMOUNTER,
             "IdleTime",
             {MACHINE_DEFAULTS, USER_DEFAULTS, SERVICE_PARAMETERS}},
            {113, [](SheetDriver& s) { s.Click(1074); }, USER_DEFAULTS, "ArchiveBit", {}},
            {114, [](SheetDriver& s) { s.Click(2101); }, MACHINE_DEFAULTS, "Transport", {}},
            {114,
             [](SheetDriver& s) {
                 s.Click(1086);
                 s.SetText(1088, "2049");
             },
             USER_DEFAULTS,
             "NfsPort",
             {MACHINE_DEFAULTS}},
        },
        "",
    };
}

static SheetCase SharingCase(const std::string& logFile)
{
    HKEY m = HKEY_LOCAL_MACHINE;
    return {
        "PrintSharingProperty",
        "Quellmar File Sharing Configuration",
        {SERVER, LOGGING, SERVER_SERVICE},
        {
            Number(m, SERVER, "Enable", 1),
            Number(m, SERVER, "Logging", 1),
            Number(m, LOGGING, "Enable", 1),
            Number(m, LOGGING, "Save", 1),
            String(m, LOGGING, "File", logFile),
            // Neither start type the page writes, so that every write shows.
            Number(m, SERVER_SERVICE, "Start", 4),
        },
        {
            {IDD_NFS_SERVER,
             [](SheetDriver& s) { s.Click(IDC_NFS_SERVER_ENABLE); },
             SERVER,
             "Enable",
             {}},
            // Written from the check box even when the server key fails.
            {IDD_NFS_SERVER, [](SheetDriver&) {}, SERVER_SERVICE, "Start", {}},
            {IDD_EVENT_LOG,
             [](SheetDriver& s) { s.Click(IDC_EVENT_LOG_SAVE); },
             LOGGING,
             "Save",
             {}},
        },
        SERVER_SERVICE,
    };
}

static SheetCase NameServiceCase()
{
    return {
        "NISProperty",
        "Quellmar NIS/NIS+ Name Service Configuration",
        {OPTIONS},
        {String(HKEY_LOCAL_MACHINE, OPTIONS, "Domain", "corp")},
        {{115, [](SheetDriver& s) { s.SetText(1089, "corp2"); }, OPTIONS, "Domain", {}}},
        "",
    };
}

class FailingKeys : public SandboxTest {
  protected:
    void SetUp() override
    {
        library_ = LoadLibraryA("ZEVRNTPS.dll");
        ASSERT_NE(nullptr, library_);
        RealCreateKey = (LONG(WINAPI*)(HKEY, LPCSTR, PHKEY))ReplaceImport(
            library_, "advapi32.dll", "RegCreateKeyA", (void*)&FailingCreateKey);
        RealOpenKey = (LONG(WINAPI*)(HKEY, LPCSTR, PHKEY))ReplaceImport(
            library_, "advapi32.dll", "RegOpenKeyA", (void*)&FailingOpenKey);
        ASSERT_NE(nullptr, RealCreateKey);
        ASSERT_NE(nullptr, RealOpenKey);
    }
    void TearDown() override
    {
        FailingPath.clear();
        ReplaceImport(library_, "advapi32.dll", "RegCreateKeyA", (void*)RealCreateKey);
        ReplaceImport(library_, "advapi32.dll", "RegOpenKeyA", (void*)RealOpenKey);
        FreeLibrary(library_);
    }

    // For every key of the sheet, failing from the start, only at apply and
    // only at load: every edit is saved unless its key or a key its page
    // passes first fails, and every other stored value stays as it was. A
    // key that failed at load is not written at apply either: its page
    // would save the state its controls were created in.
    void CheckEveryKey(const SheetCase& sheet)
    {
        for (const char* failing : sheet.keys) {
            for (const char* phase : {"from the start", "at apply", "at load"}) {
                SCOPED_TRACE(std::string(failing) + ", " + phase);
                bool atLoad = strcmp(phase, "at apply") != 0;
                bool atApply = strcmp(phase, "at load") != 0;
                RegistrySandbox sandbox;
                for (const Seed& seed : sheet.seeds)
                    WriteRaw(seed.hive, seed.key, seed.name, seed.type, seed.data.data(),
                             (DWORD)seed.data.size());
                RegistrySnapshot before = TakeRegistrySnapshot();
                FailingPath = atLoad ? failing : std::string();
                SheetDriver driver;
                auto entry = (ZevrEntryPoint)(void (*)())GetProcAddress(library_, sheet.entry);
                ASSERT_TRUE(driver.Open(entry, sheet.caption));
                for (int i = 1; i < driver.PageCount(); ++i)
                    driver.SelectPage(i);
                FailingPath = atApply ? failing : std::string();
                for (const Edit& edit : sheet.edits) {
                    if (driver.PageCount() > 1)
                        driver.SelectPageId(edit.page);
                    edit.act(driver);
                }
                driver.PostOk();
                EXPECT_TRUE(driver.WaitClosed(5000)) << "a box: " << driver.OpenMessageBoxes();
                EXPECT_EQ("TRUE", driver.ResultText());
                FailingPath.clear();
                RegistrySnapshot after = TakeRegistrySnapshot();

                for (const Seed& seed : sheet.seeds) {
                    bool saved = false;
                    bool edited = false;
                    // Only a failure at load: a key no page reads never fails.
                    const char* met =
                        !atApply && strcmp(failing, sheet.writtenOnly) == 0 ? "" : failing;
                    for (const Edit& edit : sheet.edits) {
                        if (lstrcmpiA(edit.key, seed.key) != 0 || strcmp(edit.name, seed.name) != 0)
                            continue;
                        edited = true;
                        saved = lstrcmpiA(edit.key, met) != 0;
                        for (const char* need : edit.needs)
                            saved = saved && lstrcmpiA(need, met) != 0;
                    }
                    std::string path = (seed.hive == HKEY_CURRENT_USER ? "HKCU\\" : "HKLM\\");
                    path += seed.key;
                    const StoredValue* was = Find(before, path, seed.name);
                    const StoredValue* now = Find(after, path, seed.name);
                    bool changed = was == NULL || now == NULL || !(*now == *was);
                    EXPECT_EQ(edited && saved, changed) << seed.key << " [" << seed.name << "]";
                }
            }
        }
    }
    static const StoredValue* Find(const RegistrySnapshot& snapshot, const std::string& key,
                                   const char* name)
    {
        for (const auto& stored : snapshot.keys) {
            if (lstrcmpiA(stored.first.c_str(), key.c_str()) != 0)
                continue;
            auto value = stored.second.find(name);
            return value != stored.second.end() ? &value->second : NULL;
        }
        return NULL;
    }

    HMODULE library_ = NULL;
};

TEST_F(FailingKeys, NfsClientSheetStopsEachPageAtItsFailingKeyAndLosesNothing)
{
    CheckEveryKey(NfsClientCase());
}

TEST_F(FailingKeys, SharingSheetStopsEachPageAtItsFailingKeyAndLosesNothing)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string file = temp + std::string("zevrfail") + std::to_string(GetCurrentProcessId());
    CloseHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    CheckEveryKey(SharingCase(file));
    DeleteFileA(file.c_str());
}

TEST_F(FailingKeys, NameServiceSheetSavesNothingWhenItsKeyFails)
{
    CheckEveryKey(NameServiceCase());
}

// Write failures and the "Def&aults" commit, with only the General page
// created.
TEST_F(NfsSheet, DefaultsCommitWritesWithoutABoxEvenWhenWritesFail)
{
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "UMask", 7);
    WriteDword(HKEY_LOCAL_MACHINE, SERVICE_PARAMETERS, "CacheSizeK", 2048);
    WriteDword(HKEY_LOCAL_MACHINE, AUTOMOUNTER, "IdleTime", 900);
    WriteRaw(HKEY_LOCAL_MACHINE, AUTH_SERVERS, "Hosts", REG_MULTI_SZ, "h\0\0", 3);
    for (const char* key : {SERVICE_PARAMETERS, AUTOMOUNTER, AUTH_SERVERS})
        MakeKeyReadOnly(HKEY_LOCAL_MACHINE, key);
    Open();
    sheet_->PressDefaults();
    // The reset shows defaults without marking the sheet changed.
    EXPECT_FALSE(sheet_->ApplyEnabled());
    sheet_->PostOk();
    EXPECT_TRUE(sheet_->WaitClosed(5000)) << "boxes: " << sheet_->OpenMessageBoxes();
    EXPECT_EQ("TRUE", sheet_->ResultText());
    EXPECT_EQ(Missing, UserDword("UMask")); // reset, then pruned
    EXPECT_EQ(2048u, ServiceDword("CacheSizeK"));
    DWORD idle = 0;
    EXPECT_TRUE(ReadDword(HKEY_LOCAL_MACHINE, AUTOMOUNTER, "IdleTime", &idle));
    EXPECT_EQ(900u, idle);
}

TEST_F(NfsSheet, GeneralPageWriteFailuresShowOneBoxAtATimeAndTheRestIsSaved)
{
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "ReadOnly", 1);
    MakeKeyReadOnly(HKEY_CURRENT_USER, USER_DEFAULTS);
    Open();
    sheet_->ComboSelect(1045, 1);
    sheet_->ComboSelect(1046, 2);
    sheet_->PostOk();
    int boxes = 0;
    MessageBoxInfo box;
    while (sheet_->WaitMessageBox(&box, 1000)) {
        EXPECT_EQ("Write Register Failed", box.text);
        EXPECT_EQ(1, sheet_->OpenMessageBoxes());
        DismissMessageBox(box);
        ++boxes;
    }
    EXPECT_EQ(3, boxes); // ReadOnly, LockingSharing, ShortNameMappingCharacter
    ASSERT_TRUE(sheet_->WaitClosed());
    EXPECT_EQ(1u, UserDword("ReadOnly"));
    EXPECT_EQ(1024u, MachineDword("RSize"));
    EXPECT_EQ(2048u, MachineDword("WSize"));
}

// A time pair whose combo holds no number writes neither of its values; the
// other pair still saves.
TEST_F(NfsSheet, CachingPairWithoutANumberWritesNeitherValue)
{
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheDirMin", 10);
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheDirMax", 50);
    const struct {
        const char* minimum;
        const char* maximum;
    } folderPairs[] = {{"abc", "40"}, {"20", ""}, {"", ""}, {"-5", "40"}};
    for (const auto& pair : folderPairs) {
        SCOPED_TRACE(std::string(pair.minimum) + "/" + pair.maximum);
        Reopen();
        sheet_->SelectPageId(111);
        sheet_->ComboType(1059, pair.minimum);
        sheet_->ComboType(1060, pair.maximum);
        sheet_->ComboType(1061, "20");
        sheet_->ComboType(1062, "30");
        OkAndClose();
        EXPECT_EQ(10u, UserDword("AttrCacheDirMin"));
        EXPECT_EQ(50u, UserDword("AttrCacheDirMax"));
        EXPECT_EQ(20u, UserDword("AttrCacheRegMin"));
        EXPECT_EQ(30u, UserDword("AttrCacheRegMax"));
        WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheRegMin", 3);
    }
}
