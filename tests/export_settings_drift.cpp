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
    // Values other than the defaults everywhere the pages look.
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
