// The settings table against what the built DLL really does: every value
// the sheets read, write or prune is recorded at the DLL's registry imports,
// over a fresh registry and after "Def&aults", and must be a row of the
// table with its type, its default, its pruning and its write-only mark.
#include "iat.h"
#include "sandbox.h"
#include "settings.h"
#include "sheet_driver.h"

#include <map>
#include <mutex>
#include <sstream>
#include <string.h>
#include <set>
#include <string>
#include <vector>

namespace {

enum Operation { Read, Write, Delete };

struct Access {
    Operation operation;
    HKEY hive;
    std::string path; // from the hive's root
    std::string name;
    DWORD type;
    std::string data;
};

std::mutex Lock;
std::map<HKEY, std::pair<HKEY, std::string>> OpenKeys;
std::vector<Access> Accesses;

LONG(WINAPI* RealOpenKey)(HKEY, LPCSTR, PHKEY);
LONG(WINAPI* RealCreateKey)(HKEY, LPCSTR, PHKEY);
LONG(WINAPI* RealQueryValue)(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
LONG(WINAPI* RealSetValue)(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD);
LONG(WINAPI* RealDeleteValue)(HKEY, LPCSTR);

// The library opens every key from a hive's root.
void Remember(LONG rc, HKEY root, LPCSTR path, PHKEY key)
{
    if (rc == ERROR_SUCCESS && key != NULL) {
        std::lock_guard<std::mutex> guard(Lock);
        OpenKeys[*key] = {root, path != NULL ? path : ""};
    }
}

void Record(Operation operation, HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size)
{
    std::lock_guard<std::mutex> guard(Lock);
    auto found = OpenKeys.find(key);
    Access access = {operation, NULL, "(unknown key)", name != NULL ? name : "(default)", type, ""};
    if (found != OpenKeys.end()) {
        access.hive = found->second.first;
        access.path = found->second.second;
    }
    if (data != NULL)
        access.data.assign((const char*)data, size);
    Accesses.push_back(access);
}

LONG WINAPI OpenKey(HKEY root, LPCSTR path, PHKEY key)
{
    LONG rc = RealOpenKey(root, path, key);
    Remember(rc, root, path, key);
    return rc;
}

LONG WINAPI CreateKey(HKEY root, LPCSTR path, PHKEY key)
{
    LONG rc = RealCreateKey(root, path, key);
    Remember(rc, root, path, key);
    return rc;
}

LONG WINAPI QueryValue(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                       LPDWORD size)
{
    Record(Read, key, name, 0, NULL, 0);
    return RealQueryValue(key, name, reserved, type, data, size);
}

LONG WINAPI SetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                     DWORD size)
{
    Record(Write, key, name, type, data, size);
    return RealSetValue(key, name, reserved, type, data, size);
}

LONG WINAPI DeleteValue(HKEY key, LPCSTR name)
{
    Record(Delete, key, name, 0, NULL, 0);
    return RealDeleteValue(key, name);
}

template <typename F> void Hook(HMODULE library, const char* function, F replacement, F* real)
{
    *real = (F)ReplaceImport(library, "advapi32.dll", function, (void*)replacement);
    ASSERT_NE(nullptr, *real) << function;
}

template <typename F> void Unhook(HMODULE library, const char* function, F real)
{
    if (real != NULL)
        ReplaceImport(library, "advapi32.dll", function, (void*)real);
}

// The table's row for a recorded access, or NULL: the key path must be the
// row's key at the top level (the pages edit only that one).
const SettingRow* RowOf(const Access& access)
{
    static const char UserRoot[] = "Software\\ZEVR\\CC\\1.0\\";
    for (int i = 0; i < GetSettingCount(); ++i) {
        const SettingRow* row = GetSettingRow(i);
        HKEY hive = row->Hive == HiveUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        char key[LevelKeyPathSize];
        if (hive != access.hive || !BuildSettingKeyPath(row, NULL, NULL, key, sizeof(key)))
            continue;
        std::string path = row->Absolute ? key : UserRoot + std::string(key);
        if (lstrcmpiA(path.c_str(), access.path.c_str()) == 0 &&
            lstrcmpiA(row->Name, access.name.c_str()) == 0)
            return row;
    }
    return NULL;
}

DWORD RegistryType(const SettingRow* row)
{
    return row->Type == TypeDword ? REG_DWORD : row->Type == TypeString ? REG_SZ : REG_MULTI_SZ;
}

// The bytes the page writes for the row's default.
std::string DefaultData(const SettingRow* row)
{
    if (row->Type == TypeDword)
        return std::string((const char*)&row->DefaultNumber, sizeof(DWORD));
    std::string text = row->DefaultText != NULL ? row->DefaultText : "";
    if (row->Type == TypeString)
        return text + '\0';
    return text + std::string(2, '\0'); // one entry, its terminator, the closing one
}

// A recorded write or delete as one line: "W key name = data" or "D key
// name", the key without the settings root, numbers in decimal, texts
// quoted, a multi-string's entries separated by '|'.
std::string Describe(const Access& access)
{
    static const char Root[] = "SOFTWARE\\ZEVR\\CC\\1.0\\";
    std::string path = access.path;
    if (path.size() > sizeof(Root) - 1 &&
        lstrcmpiA(path.substr(0, sizeof(Root) - 1).c_str(), Root) == 0)
        path = path.substr(sizeof(Root) - 1);
    std::ostringstream line;
    line << (access.operation == Write ? "W " : "D ") << path << " " << access.name;
    if (access.operation != Write)
        return line.str();
    if (access.type == REG_DWORD && access.data.size() == sizeof(DWORD)) {
        DWORD number = 0;
        memcpy(&number, access.data.data(), sizeof(number));
        line << " = " << number;
        return line.str();
    }
    std::string text = access.data;
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    for (char& c : text)
        if (c == '\0')
            c = '|';
    line << " = \"" << text << "\"";
    return line.str();
}

// Every write and delete recorded so far, in order; the record is emptied.
std::vector<std::string> TakeChanges()
{
    std::lock_guard<std::mutex> guard(Lock);
    std::vector<std::string> changes;
    for (const Access& access : Accesses)
        if (access.operation != Read)
            changes.push_back(Describe(access));
    Accesses.clear();
    return changes;
}

// Values other than the defaults everywhere the NFS client pages look.
void StoreNfsClientValues()
{
    for (int i = 0; i < GetSettingCount(); ++i) {
        const SettingRow* row = GetSettingRow(i);
        if (row->Sheet != SheetNfsClient)
            continue;
        char key[LevelKeyPathSize];
        ASSERT_TRUE(BuildSettingKeyPath(row, NULL, NULL, key, sizeof(key)));
        std::string path = row->Absolute ? key
                                         : (row->Hive == HiveUser ? "Software" : "SOFTWARE") +
                                               std::string("\\ZEVR\\CC\\1.0\\") + key;
        HKEY hive = row->Hive == HiveUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        if (row->Type == TypeDword)
            WriteDword(hive, path.c_str(), row->Name, row->Maximum);
        else if (row->Type == TypeString)
            WriteString(hive, path.c_str(), row->Name, row->ChoiceCount > 1 ? "udp" : "x");
        else
            WriteRaw(hive, path.c_str(), row->Name, REG_MULTI_SZ, "h\0", 3);
    }
}

class SettingsDrift : public SandboxTest {
  protected:
    void SetUp() override
    {
        library_ = LoadLibraryA("ZEVRNTPS.dll");
        ASSERT_NE(nullptr, library_);
        Accesses.clear();
        OpenKeys.clear();
        Hook(library_, "RegOpenKeyA", &OpenKey, &RealOpenKey);
        Hook(library_, "RegCreateKeyA", &CreateKey, &RealCreateKey);
        Hook(library_, "RegQueryValueExA", &QueryValue, &RealQueryValue);
        Hook(library_, "RegSetValueExA", &SetValue, &RealSetValue);
        Hook(library_, "RegDeleteValueA", &DeleteValue, &RealDeleteValue);
    }
    void TearDown() override
    {
        sheet_.reset();
        Unhook(library_, "RegOpenKeyA", RealOpenKey);
        Unhook(library_, "RegCreateKeyA", RealCreateKey);
        Unhook(library_, "RegQueryValueExA", RealQueryValue);
        Unhook(library_, "RegSetValueExA", RealSetValue);
        Unhook(library_, "RegDeleteValueA", RealDeleteValue);
        FreeLibrary(library_);
    }
    // Opens a sheet, shows every page, optionally presses "Def&aults", and
    // presses OK.
    void RunSheet(const char* exportName, const char* caption, bool defaults, bool visit = true)
    {
        sheet_.reset(new SheetDriver);
        auto entry = (ZevrEntryPoint)(void (*)())GetProcAddress(library_, exportName);
        ASSERT_TRUE(sheet_->Open(entry, caption));
        for (int page = 1; visit && page < sheet_->PageCount(); ++page)
            sheet_->SelectPage(page);
        if (defaults)
            sheet_->PressDefaults();
        sheet_->PressOk();
        ASSERT_TRUE(sheet_->WaitClosed());
    }
    // Checks every access against the table and returns, per row, the
    // operations seen.
    std::map<const SettingRow*, std::set<Operation>> Check(bool writesAreDefaults)
    {
        std::map<const SettingRow*, std::set<Operation>> seen;
        std::lock_guard<std::mutex> guard(Lock);
        for (const Access& access : Accesses) {
            const SettingRow* row = RowOf(access);
            if (row == NULL) {
                ADD_FAILURE() << "not in the table: " << access.path << " " << access.name;
                continue;
            }
            seen[row].insert(access.operation);
            if (access.operation != Write)
                continue;
            EXPECT_EQ(RegistryType(row), access.type) << row->Name;
            if (writesAreDefaults) {
                EXPECT_EQ(DefaultData(row), access.data) << row->Name;
            }
        }
        return seen;
    }

    // The writes and deletes recorded since the last call, against the
    // expected ones in order.
    template <size_t N> void ExpectChanges(const char* const (&expected)[N])
    {
        std::vector<std::string> changes = TakeChanges();
        for (size_t i = 0; i < N || i < changes.size(); ++i) {
            SCOPED_TRACE("change " + std::to_string(i));
            EXPECT_EQ(i < N ? expected[i] : "(none)", i < changes.size() ? changes[i] : "(none)");
        }
    }

    HMODULE library_ = NULL;
    std::unique_ptr<SheetDriver> sheet_;
};

} // namespace

TEST_F(SettingsDrift, EverySheetReadsWritesAndPrunesExactlyTheTable)
{
    // Fresh registry: each page shows its defaults and OK writes them; the
    // NFS client sheet then prunes what equals the built-in defaults.
    RunSheet("NFSClientProperty", "Quellmar NFS Client Configuration", false);
    RunSheet("PrintSharingProperty", "Quellmar File Sharing Configuration", false);
    RunSheet("NISProperty", "Quellmar NIS/NIS+ Name Service Configuration", false);
    // "Def&aults" with no page but the first opened: the sheet commits the
    // defaults of the others itself.
    RunSheet("NFSClientProperty", "Quellmar NFS Client Configuration", true, false);
    std::map<const SettingRow*, std::set<Operation>> seen = Check(true);

    for (int i = 0; i < GetSettingCount(); ++i) {
        const SettingRow* row = GetSettingRow(i);
        SCOPED_TRACE(row->Name);
        const std::set<Operation>& operations = seen[row];
        EXPECT_EQ(1u, operations.count(Write));
        EXPECT_EQ(row->WriteOnly == 0, operations.count(Read) == 1);
        EXPECT_EQ(row->Prunable != 0, operations.count(Delete) == 1);
    }
}

TEST_F(SettingsDrift, DefaultsOverStoredValuesWriteTheTableDefaults)
{
    StoreNfsClientValues();
    RunSheet("NFSClientProperty", "Quellmar NFS Client Configuration", true);
    std::map<const SettingRow*, std::set<Operation>> seen = Check(false);
    // What the pages wrote last is the table's default (the level values
    // also get pruned, so they are checked at the write).
    std::map<const SettingRow*, std::string> last;
    for (const Access& access : Accesses)
        if (access.operation == Write)
            last[RowOf(access)] = access.data;
    for (int i = 0; i < GetSettingCount(); ++i) {
        const SettingRow* row = GetSettingRow(i);
        if (row->Sheet == SheetNfsClient) {
            EXPECT_EQ(DefaultData(row), last[row]) << row->Name;
        }
    }
}

// Every page shown, "Def&aults", OK: each page saves its defaults on its own
// apply, after the General page's save and its pruning.
TEST_F(SettingsDrift, ApplyOrderOfDefaultsOverAFreshRegistry)
{
    const char* const nfs[] = {
        "W zevrnfs\\UserMountDefaults ReadOnly = 0",
        "W zevrnfs\\UserMountDefaults LockingSharing = 0",
        "W zevrnfs\\UserMountDefaults ShortNameMappingCharacter = \"~\"",
        "W zevrnfs\\MachineMountDefaults RSize = 32768",
        "W zevrnfs\\MachineMountDefaults WSize = 32768",
        "D zevrnfs\\MachineMountDefaults RSize",
        "D zevrnfs\\MachineMountDefaults WSize",
        "D zevrnfs\\UserMountDefaults LockingSharing",
        "D zevrnfs\\UserMountDefaults ReadOnly",
        "D zevrnfs\\UserMountDefaults ShortNameMappingCharacter",
        "W zevrnfs\\UserMountDefaults UMask = 18",
        "W zevrnfs\\Authentication\\Servers Hosts = \"*\"",
        "W System\\CurrentControlSet\\Services\\Zevrnfs\\Parameters CacheSizeK = 0",
        "W System\\CurrentControlSet\\Services\\Zevrnfs\\Parameters EnableDataCache = 1",
        "W System\\CurrentControlSet\\Services\\Zevrnfs\\Parameters NumMappedNames = 256",
        "W zevrnfs\\UserMountDefaults AttrCacheOff = 0",
        "W zevrnfs\\UserMountDefaults AttrCacheDirMin = 30",
        "W zevrnfs\\UserMountDefaults AttrCacheDirMax = 60",
        "W zevrnfs\\UserMountDefaults AttrCacheRegMin = 3",
        "W zevrnfs\\UserMountDefaults AttrCacheRegMax = 60",
        "W zevrnfs\\MachineMountDefaults Timeout = 0",
        "W zevrnfs\\MachineMountDefaults BackoffMultiplier = 4",
        "W zevrnfs\\UserMountDefaults Retries = 5",
        "W System\\CurrentControlSet\\Services\\Zevrnfs\\Parameters AsynchReadahead = 1",
        "W zevrnfs\\Automounter IdleTime = 300",
        "W zevrnfs\\UserMountDefaults ArchiveBit = 1",
        "W zevrnfs\\UserMountDefaults CaseSensitive = 0",
        "W zevrnfs\\UserMountDefaults PreferredCaseIsUpper = 0",
        "W zevrnfs\\UserMountDefaults CaseForce = 0",
        "W zevrnfs\\UserMountDefaults UseBsdGroupSemantics = 0",
        "D zevrnfs\\UserMountDefaults ArchiveBit",
        "D zevrnfs\\UserMountDefaults AttrCacheDirMax",
        "D zevrnfs\\UserMountDefaults AttrCacheDirMin",
        "D zevrnfs\\UserMountDefaults AttrCacheOff",
        "D zevrnfs\\UserMountDefaults AttrCacheRegMax",
        "D zevrnfs\\UserMountDefaults AttrCacheRegMin",
        "D zevrnfs\\UserMountDefaults CaseForce",
        "D zevrnfs\\UserMountDefaults CaseSensitive",
        "D zevrnfs\\UserMountDefaults PreferredCaseIsUpper",
        "D zevrnfs\\UserMountDefaults Retries",
        "D zevrnfs\\UserMountDefaults UMask",
        "D zevrnfs\\UserMountDefaults UseBsdGroupSemantics",
        "D zevrnfs\\MachineMountDefaults BackoffMultiplier",
        "D zevrnfs\\MachineMountDefaults Timeout",
        "W zevrnfs\\MachineMountDefaults Transport = \"\"",
        "W zevrnfs\\UserMountDefaults NfsVersion = 0",
        "W zevrnfs\\UserMountDefaults NfsPort = 0",
    };
    RunSheet("NFSClientProperty", "Quellmar NFS Client Configuration", true);
    ExpectChanges(nfs);
}

// "Def&aults" with only the General page opened: the pages never opened
// are committed by the General page, in its order, before one pruning.
TEST_F(SettingsDrift, ApplyOrderOfDefaultsCommittedForPagesNeverOpened)
{
    const char* const nfs[] = {
        "W zevrnfs\\UserMountDefaults ReadOnly = 0",
        "W zevrnfs\\UserMountDefaults LockingSharing = 0",
        "W zevrnfs\\UserMountDefaults ShortNameMappingCharacter = \"~\"",
        "W zevrnfs\\MachineMountDefaults RSize = 32768",
        "W zevrnfs\\MachineMountDefaults WSize = 32768",
        "W zevrnfs\\MachineMountDefaults Transport = \"\"",
        "W zevrnfs\\UserMountDefaults NfsVersion = 0",
        "W zevrnfs\\UserMountDefaults NfsPort = 0",
        "W System\\CurrentControlSet\\Services\\Zevrnfs\\Parameters CacheSizeK = 0",
        "W System\\CurrentControlSet\\Services\\Zevrnfs\\Parameters EnableDataCache = 1",
        "W System\\CurrentControlSet\\Services\\Zevrnfs\\Parameters NumMappedNames = 256",
        "W zevrnfs\\UserMountDefaults AttrCacheOff = 0",
        "W zevrnfs\\UserMountDefaults AttrCacheDirMin = 30",
        "W zevrnfs\\UserMountDefaults AttrCacheDirMax = 60",
        "W zevrnfs\\UserMountDefaults AttrCacheRegMin = 3",
        "W zevrnfs\\UserMountDefaults AttrCacheRegMax = 60",
        "W zevrnfs\\UserMountDefaults ArchiveBit = 1",
        "W zevrnfs\\UserMountDefaults CaseSensitive = 0",
        "W zevrnfs\\UserMountDefaults PreferredCaseIsUpper = 0",
        "W zevrnfs\\UserMountDefaults CaseForce = 0",
        "W zevrnfs\\UserMountDefaults UseBsdGroupSemantics = 0",
        "W zevrnfs\\UserMountDefaults UMask = 18",
        "W zevrnfs\\Authentication\\Servers Hosts = \"*\"",
        "W zevrnfs\\MachineMountDefaults Timeout = 0",
        "W zevrnfs\\MachineMountDefaults BackoffMultiplier = 4",
        "W zevrnfs\\UserMountDefaults Retries = 5",
        "W System\\CurrentControlSet\\Services\\Zevrnfs\\Parameters AsynchReadahead = 1",
        "W zevrnfs\\Automounter IdleTime = 300",
        "D zevrnfs\\MachineMountDefaults BackoffMultiplier",
        "D zevrnfs\\MachineMountDefaults RSize",
        "D zevrnfs\\MachineMountDefaults Timeout",
        "D zevrnfs\\MachineMountDefaults Transport",
        "D zevrnfs\\MachineMountDefaults WSize",
        "D zevrnfs\\UserMountDefaults ArchiveBit",
        "D zevrnfs\\UserMountDefaults AttrCacheDirMax",
        "D zevrnfs\\UserMountDefaults AttrCacheDirMin",
        "D zevrnfs\\UserMountDefaults AttrCacheOff",
        "D zevrnfs\\UserMountDefaults AttrCacheRegMax",
        "D zevrnfs\\UserMountDefaults AttrCacheRegMin",
        "D zevrnfs\\UserMountDefaults CaseForce",
        "D zevrnfs\\UserMountDefaults CaseSensitive",
        "D zevrnfs\\UserMountDefaults LockingSharing",
        "D zevrnfs\\UserMountDefaults NfsPort",
        "D zevrnfs\\UserMountDefaults NfsVersion",
        "D zevrnfs\\UserMountDefaults PreferredCaseIsUpper",
        "D zevrnfs\\UserMountDefaults ReadOnly",
        "D zevrnfs\\UserMountDefaults Retries",
        "D zevrnfs\\UserMountDefaults ShortNameMappingCharacter",
        "D zevrnfs\\UserMountDefaults UMask",
        "D zevrnfs\\UserMountDefaults UseBsdGroupSemantics",
    };
    RunSheet("NFSClientProperty", "Quellmar NFS Client Configuration", true, false);
    ExpectChanges(nfs);
}

TEST_F(SettingsDrift, ApplyOrderOfTheSharingAndNameServiceSheetsOverAFreshRegistry)
{
    const char* const sharing[] = {
        "W zevrnfsd Enable = 0",
        "W zevrnfsd Logging = 0",
        "W SYSTEM\\CurrentControlSet\\Services\\Quellmar NFS Server Start = 3",
        "W LOGGING Enable = 1",
        "W LOGGING Save = 1",
        "W LOGGING File = \"C:\\LOGGING.TXT\"",
    };
    const char* const nis[] = {
        "W zevrnfs\\NameServiceOptions Domain = \"\"",
        "W zevrnfs\\NameServiceOptions NisServers = \"\"",
        "W zevrnfs\\NameServiceOptions NisplusServers = \"\"",
        "W zevrnfs\\NameServiceOptions SearchOrder = \"W\"",
    };
    RunSheet("PrintSharingProperty", "Quellmar File Sharing Configuration", false);
    ExpectChanges(sharing);
    RunSheet("NISProperty", "Quellmar NIS/NIS+ Name Service Configuration", false);
    ExpectChanges(nis);
}

// Every page shown and OK, nothing touched, over values other than the
// defaults: each value is written back as stored (or as the page shows it).
TEST_F(SettingsDrift, ApplyOrderOfOkOverAStoredTree)
{
    const char* const nfs[] = {
        "W zevrnfs\\UserMountDefaults ReadOnly = 1",
        "W zevrnfs\\UserMountDefaults LockingSharing = 1",
        "W zevrnfs\\UserMountDefaults ShortNameMappingCharacter = \"~\"",
        "W zevrnfs\\MachineMountDefaults RSize = 32768",
        "W zevrnfs\\MachineMountDefaults WSize = 32768",
        "D zevrnfs\\MachineMountDefaults RSize",
        "D zevrnfs\\MachineMountDefaults WSize",
        "D zevrnfs\\UserMountDefaults ArchiveBit",
        "D zevrnfs\\UserMountDefaults AttrCacheDirMax",
        "D zevrnfs\\UserMountDefaults AttrCacheRegMax",
        "D zevrnfs\\UserMountDefaults ShortNameMappingCharacter",
        "W zevrnfs\\UserMountDefaults UMask = 511",
        "W zevrnfs\\Authentication\\Servers Hosts = \"h\"",
        "W System\\CurrentControlSet\\Services\\Zevrnfs\\Parameters CacheSizeK = 4096",
        "W System\\CurrentControlSet\\Services\\Zevrnfs\\Parameters EnableDataCache = 1",
        "W System\\CurrentControlSet\\Services\\Zevrnfs\\Parameters NumMappedNames = 1024",
        "W zevrnfs\\UserMountDefaults AttrCacheOff = 1",
        "W zevrnfs\\UserMountDefaults AttrCacheDirMin = 60",
        "W zevrnfs\\UserMountDefaults AttrCacheDirMax = 60",
        "W zevrnfs\\UserMountDefaults AttrCacheRegMin = 60",
        "W zevrnfs\\UserMountDefaults AttrCacheRegMax = 60",
        "W zevrnfs\\MachineMountDefaults Timeout = 60",
        "W zevrnfs\\MachineMountDefaults BackoffMultiplier = 50",
        "W zevrnfs\\UserMountDefaults Retries = 10",
        "W System\\CurrentControlSet\\Services\\Zevrnfs\\Parameters AsynchReadahead = 1",
        "W zevrnfs\\Automounter IdleTime = 1800",
        "W zevrnfs\\UserMountDefaults ArchiveBit = 1",
        "W zevrnfs\\UserMountDefaults CaseSensitive = 1",
        "W zevrnfs\\UserMountDefaults PreferredCaseIsUpper = 1",
        "W zevrnfs\\UserMountDefaults CaseForce = 1",
        "W zevrnfs\\UserMountDefaults UseBsdGroupSemantics = 1",
        "D zevrnfs\\UserMountDefaults ArchiveBit",
        "D zevrnfs\\UserMountDefaults AttrCacheDirMax",
        "D zevrnfs\\UserMountDefaults AttrCacheRegMax",
        "W zevrnfs\\MachineMountDefaults Transport = \"udp\"",
        "W zevrnfs\\UserMountDefaults NfsVersion = 3",
        "W zevrnfs\\UserMountDefaults NfsPort = 4294967295",
    };
    const char* const sharing[] = {
        "W zevrnfsd Enable = 1",
        "W zevrnfsd Logging = 1",
        "W SYSTEM\\CurrentControlSet\\Services\\Quellmar NFS Server Start = 2",
        "W LOGGING Enable = 0",
        "W LOGGING Save = 0",
        "W LOGGING File = \"C:\\windows\"",
    };
    const char* const nis[] = {
        "W zevrnfs\\NameServiceOptions Domain = \"lab.example\"",
        "W zevrnfs\\NameServiceOptions NisServers = \"10.0.0.1\"",
        "W zevrnfs\\NameServiceOptions NisplusServers = \"\"",
        "W zevrnfs\\NameServiceOptions SearchOrder = \"WY\"",
    };
    StoreNfsClientValues();
    WriteDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\ZEVR\\CC\\1.0\\zevrnfsd", "Enable", 1);
    WriteDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\ZEVR\\CC\\1.0\\zevrnfsd", "Logging", 1);
    WriteDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\ZEVR\\CC\\1.0\\LOGGING", "Enable", 0);
    WriteDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\ZEVR\\CC\\1.0\\LOGGING", "Save", 0);
    WriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\ZEVR\\CC\\1.0\\LOGGING", "File", "C:\\windows");
    const char nisKey[] = "SOFTWARE\\ZEVR\\CC\\1.0\\zevrnfs\\NameServiceOptions";
    WriteString(HKEY_LOCAL_MACHINE, nisKey, "Domain", "lab.example");
    WriteString(HKEY_LOCAL_MACHINE, nisKey, "NisServers", "10.0.0.1");
    WriteString(HKEY_LOCAL_MACHINE, nisKey, "SearchOrder", "WY");
    RunSheet("NFSClientProperty", "Quellmar NFS Client Configuration", false);
    ExpectChanges(nfs);
    RunSheet("PrintSharingProperty", "Quellmar File Sharing Configuration", false);
    ExpectChanges(sharing);
    RunSheet("NISProperty", "Quellmar NIS/NIS+ Name Service Configuration", false);
    ExpectChanges(nis);
}
