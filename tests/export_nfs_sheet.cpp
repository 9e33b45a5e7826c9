// "Def&aults" across every page of the NFS client sheet, through the real
// export: what the pages store afterwards, whether or not they were opened.
#include "iat.h"
#include "nfs_sheet.h"

#include <stdlib.h>

namespace {

#define CU HKEY_CURRENT_USER
#define LM HKEY_LOCAL_MACHINE

// Every value the pages edit, stored as something other than its default
// before the sheet opens.
struct SheetValue {
    HKEY hive;
    const char* path;
    const char* name;
    DWORD type;
    const char* stored;
    const char* byDefault;
    bool savedAfterLastPrune; // by a page that applies after the last pruning pass
};

const SheetValue SheetValues[] = {
    {CU, USER_DEFAULTS, "ReadOnly", REG_DWORD, "1", "0", false},
    {CU, USER_DEFAULTS, "LockingSharing", REG_DWORD, "1", "0", false},
    {CU, USER_DEFAULTS, "ShortNameMappingCharacter", REG_SZ, "#", "~", false},
    {CU, MACHINE_DEFAULTS, "RSize", REG_DWORD, "3000", "32768", false},
    {CU, MACHINE_DEFAULTS, "WSize", REG_DWORD, "1024", "32768", false},
    {CU, USER_DEFAULTS, "AttrCacheOff", REG_DWORD, "1", "0", false},
    {CU, USER_DEFAULTS, "AttrCacheDirMin", REG_DWORD, "10", "30", false},
    {CU, USER_DEFAULTS, "AttrCacheDirMax", REG_DWORD, "50", "60", false},
    {CU, USER_DEFAULTS, "AttrCacheRegMin", REG_DWORD, "7", "3", false},
    {CU, USER_DEFAULTS, "AttrCacheRegMax", REG_DWORD, "45", "60", false},
    {LM, SERVICE_PARAMETERS, "CacheSizeK", REG_DWORD, "1024", "0", false},
    {LM, SERVICE_PARAMETERS, "EnableDataCache", REG_DWORD, "0", "1", false},
    {LM, SERVICE_PARAMETERS, "NumMappedNames", REG_DWORD, "1024", "256", false},
    {CU, USER_DEFAULTS, "UMask", REG_DWORD, "63", "18", false},
    {LM, AUTH_SERVERS, "Hosts", REG_MULTI_SZ, "alpha", "*", false},
    {CU, MACHINE_DEFAULTS, "Timeout", REG_DWORD, "30", "0", false},
    {CU, MACHINE_DEFAULTS, "BackoffMultiplier", REG_DWORD, "10", "4", false},
    {CU, USER_DEFAULTS, "Retries", REG_DWORD, "1", "5", false},
    {LM, SERVICE_PARAMETERS, "AsynchReadahead", REG_DWORD, "0", "1", false},
    {LM, AUTOMOUNTER, "IdleTime", REG_DWORD, "900", "300", false},
    {CU, USER_DEFAULTS, "ArchiveBit", REG_DWORD, "0", "1", false},
    {CU, USER_DEFAULTS, "CaseSensitive", REG_DWORD, "1", "0", false},
    {CU, USER_DEFAULTS, "PreferredCaseIsUpper", REG_DWORD, "1", "0", false},
    {CU, USER_DEFAULTS, "CaseForce", REG_DWORD, "1", "0", false},
    {CU, USER_DEFAULTS, "UseBsdGroupSemantics", REG_DWORD, "1", "0", false},
    {CU, MACHINE_DEFAULTS, "Transport", REG_SZ, "udp", "", true},
    {CU, USER_DEFAULTS, "NfsVersion", REG_DWORD, "3", "0", true},
    {CU, USER_DEFAULTS, "NfsPort", REG_DWORD, "2049", "0", true},
};

std::string StoredText(const SheetValue& value)
{
    std::string text = "(missing)";
    DWORD number;
    DWORD type;
    if (value.type == REG_SZ) {
        ReadString(value.hive, value.path, value.name, &text);
    } else if (value.type == REG_MULTI_SZ) {
        // One entry is enough for these rows; the terminators must be there.
        if (ReadRaw(value.hive, value.path, value.name, &type, &text) && type == REG_MULTI_SZ &&
            text.size() >= 2 && text.compare(text.size() - 2, 2, std::string(2, '\0')) == 0)
            text.resize(text.size() - 2);
    } else if (ReadDword(value.hive, value.path, value.name, &number))
        text = std::to_string(number);
    return text;
}

} // namespace

class SheetDefaults : public NfsSheet {
  protected:
    void StoreNonDefaults()
    {
        for (const SheetValue& value : SheetValues) {
            if (value.type == REG_SZ)
                WriteString(value.hive, value.path, value.name, value.stored);
            else if (value.type == REG_MULTI_SZ)
                WriteRaw(value.hive, value.path, value.name, REG_MULTI_SZ,
                         (std::string(value.stored) + std::string(2, '\0')).c_str(),
                         (DWORD)strlen(value.stored) + 2);
            else
                WriteDword(value.hive, value.path, value.name, strtoul(value.stored, NULL, 10));
        }
    }
    // HKEY_LOCAL_MACHINE values inherit nothing and keep their defaults;
    // mount defaults equal to what they inherit are pruned.
    void ExpectDefaults(bool everyPageOpened)
    {
        for (const SheetValue& value : SheetValues) {
            bool kept = value.hive == LM || (everyPageOpened && value.savedAfterLastPrune);
            EXPECT_EQ(kept ? value.byDefault : "(missing)", StoredText(value)) << value.name;
        }
    }
};

TEST_F(SheetDefaults, DefaultsThenOkWritesEveryDefaultAndPrunesTheKeys)
{
    StoreNonDefaults();
    Open();
    sheet_->PressDefaults();
    OkAndClose();
    ExpectDefaults(false);
    EXPECT_FALSE(KeyExists(CU, USER_DEFAULTS));
    EXPECT_FALSE(KeyExists(CU, MACHINE_DEFAULTS));
}

TEST_F(SheetDefaults, AfterVisitingEveryPageTheAdvancedValuesStayStored)
{
    StoreNonDefaults();
    // A server's UMask equals what the Security page writes at the top level
    // after the General page has pruned: the last pass deletes it.
    const char* server = "Software\\ZEVR\\CC\\1.0\\zevrnfs\\Servers\\srv1\\UserMountDefaults";
    WriteDword(CU, server, "UMask", 18);
    WriteDword(CU, server, "Retries", 2);
    Open();
    for (int page = 1; page < sheet_->PageCount(); ++page)
        sheet_->SelectPage(page);
    sheet_->PressDefaults();
    OkAndClose();
    // The same effective settings. Pages apply in their order and the Files
    // and Folders page prunes after its own save: only the Advanced page,
    // which comes after it, leaves values equal to their defaults stored.
    ExpectDefaults(true);
    EXPECT_EQ(2, ValueCount(CU, USER_DEFAULTS));
    EXPECT_EQ(1, ValueCount(CU, MACHINE_DEFAULTS));
    EXPECT_FALSE(ValueExists(CU, server, "UMask"));
    EXPECT_EQ(1, ValueCount(CU, server));
}

// Pages open at the press show the defaults at once: the test above sees
// them saved. Pages created later show them instead of the stored values.
TEST_F(SheetDefaults, PagesCreatedAfterThePressShowThemAndNothingIsWritten)
{
    StoreNonDefaults();
    Open();
    sheet_->PressDefaults();
    sheet_->SelectPageId(113);
    EXPECT_EQ((UINT)BST_CHECKED, sheet_->Checked(1074));
    EXPECT_EQ((UINT)BST_CHECKED, sheet_->Checked(1079));
    EXPECT_FALSE(sheet_->Enabled(1078));
    sheet_->SelectPageId(114);
    EXPECT_EQ((UINT)BST_CHECKED, sheet_->Checked(2100));
    EXPECT_EQ((UINT)BST_CHECKED, sheet_->Checked(2110));
    EXPECT_EQ((UINT)BST_CHECKED, sheet_->Checked(1085));
    EXPECT_EQ("0", sheet_->Text(1088));
    CancelAndClose();
    for (const SheetValue& value : SheetValues)
        EXPECT_EQ(value.stored, StoredText(value)) << value.name;
}

// Wine creates even a key that denies it, so the failing key is refused in
// the library's own import, only while OK is handled.
static const char* FailingKey;
static LONG(WINAPI* RealCreateKey)(HKEY, LPCSTR, PHKEY);
static LONG WINAPI FailingCreateKey(HKEY root, LPCSTR path, PHKEY key)
{
    if (FailingKey != NULL && path != NULL && lstrcmpiA(path, FailingKey) == 0)
        return ERROR_ACCESS_DENIED;
    return RealCreateKey(root, path, key);
}

// Each reset entry skips only the values of a key it cannot create, and a
// General page that cannot save still runs them. The General page stops at
// its failing key: its machine values need the user key first.
TEST_F(SheetDefaults, ResetPagesCommitPastAKeyThatCannotBeCreated)
{
    RealCreateKey = (LONG(WINAPI*)(HKEY, LPCSTR, PHKEY))ReplaceImport(
        library_, "advapi32.dll", "RegCreateKeyA", (void*)&FailingCreateKey);
    ASSERT_NE(nullptr, RealCreateKey);
    for (const char* failing :
         {USER_DEFAULTS, MACHINE_DEFAULTS, SERVICE_PARAMETERS, AUTH_SERVERS, AUTOMOUNTER}) {
        SCOPED_TRACE(failing);
        StoreNonDefaults();
        Reopen();
        sheet_->PressDefaults();
        FailingKey = failing;
        OkAndClose();
        FailingKey = NULL;
        for (const SheetValue& value : SheetValues) {
            bool general = strcmp(value.name, "RSize") == 0 || strcmp(value.name, "WSize") == 0;
            bool blocked = strcmp(value.path, failing) == 0 ||
                           (general && strcmp(failing, USER_DEFAULTS) == 0);
            const char* expected = value.hive == LM ? value.byDefault : "(missing)";
            EXPECT_EQ(blocked ? value.stored : expected, StoredText(value)) << value.name;
        }
    }
    ReplaceImport(library_, "advapi32.dll", "RegCreateKeyA", (void*)RealCreateKey);
}
