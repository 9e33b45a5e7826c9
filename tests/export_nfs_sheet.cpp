// "Def&aults" across every page of the NFS client sheet, through the real
// export: what the pages store afterwards, whether or not they were opened.
#include "nfs_sheet.h"

namespace {

// One row per value the sheet's pages edit, stored with something other than
// its default before the sheet opens. Rows for further pages go here too.
struct SheetValue {
    HKEY hive;
    const char* path;
    const char* name;
    const char* storedText; // nullptr for numbers
    DWORD stored;
    const char* defaultText;
    DWORD defaultValue;
    // Saved by a page that applies after the last pruning pass, so that the
    // default stays stored when that page exists.
    bool savedAfterLastPrune;
};

const SheetValue SheetValues[] = {
    // NFS General
    {HKEY_CURRENT_USER, USER_DEFAULTS, "ReadOnly", nullptr, 1, nullptr, 0, false},
    {HKEY_CURRENT_USER, USER_DEFAULTS, "LockingSharing", nullptr, 1, nullptr, 0, false},
    {HKEY_CURRENT_USER, USER_DEFAULTS, "ShortNameMappingCharacter", "#", 0, "~", 0, false},
    {HKEY_CURRENT_USER, MACHINE_DEFAULTS, "RSize", nullptr, 3000, nullptr, 32768, false},
    {HKEY_CURRENT_USER, MACHINE_DEFAULTS, "WSize", nullptr, 1024, nullptr, 32768, false},
    // Caching
    {HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheOff", nullptr, 1, nullptr, 0, false},
    {HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheDirMin", nullptr, 10, nullptr, 30, false},
    {HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheDirMax", nullptr, 50, nullptr, 60, false},
    {HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheRegMin", nullptr, 7, nullptr, 3, false},
    {HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheRegMax", nullptr, 45, nullptr, 60, false},
    {HKEY_LOCAL_MACHINE, SERVICE_PARAMETERS, "CacheSizeK", nullptr, 1024, nullptr, 0, false},
    {HKEY_LOCAL_MACHINE, SERVICE_PARAMETERS, "EnableDataCache", nullptr, 0, nullptr, 1, false},
    {HKEY_LOCAL_MACHINE, SERVICE_PARAMETERS, "NumMappedNames", nullptr, 1024, nullptr, 256, false},
    // Files and Folders
    {HKEY_CURRENT_USER, USER_DEFAULTS, "ArchiveBit", nullptr, 0, nullptr, 1, false},
    {HKEY_CURRENT_USER, USER_DEFAULTS, "CaseSensitive", nullptr, 1, nullptr, 0, false},
    {HKEY_CURRENT_USER, USER_DEFAULTS, "PreferredCaseIsUpper", nullptr, 1, nullptr, 0, false},
    {HKEY_CURRENT_USER, USER_DEFAULTS, "CaseForce", nullptr, 1, nullptr, 0, false},
    {HKEY_CURRENT_USER, USER_DEFAULTS, "UseBsdGroupSemantics", nullptr, 1, nullptr, 0, false},
    // Advanced
    {HKEY_CURRENT_USER, MACHINE_DEFAULTS, "Transport", "udp", 0, "", 0, true},
    {HKEY_CURRENT_USER, USER_DEFAULTS, "NfsVersion", nullptr, 3, nullptr, 0, true},
    {HKEY_CURRENT_USER, USER_DEFAULTS, "NfsPort", nullptr, 2049, nullptr, 0, true},
};

} // namespace

class SheetDefaults : public NfsSheet {
  protected:
    void StoreNonDefaults()
    {
        for (const SheetValue& value : SheetValues) {
            if (value.storedText != nullptr)
                WriteString(value.hive, value.path, value.name, value.storedText);
            else
                WriteDword(value.hive, value.path, value.name, value.stored);
        }
    }
    // Values of HKEY_LOCAL_MACHINE inherit nothing and keep their defaults;
    // mount defaults equal to what they inherit are pruned, unless saved
    // after the last pruning pass.
    void ExpectDefaults(bool everyPageOpened)
    {
        for (const SheetValue& value : SheetValues) {
            SCOPED_TRACE(value.name);
            bool kept =
                value.hive == HKEY_LOCAL_MACHINE || (everyPageOpened && value.savedAfterLastPrune);
            if (!kept) {
                EXPECT_FALSE(ValueExists(value.hive, value.path, value.name));
            } else if (value.defaultText != nullptr) {
                std::string text;
                EXPECT_TRUE(ReadString(value.hive, value.path, value.name, &text));
                EXPECT_EQ(value.defaultText, text);
            } else {
                DWORD number = Missing;
                EXPECT_TRUE(ReadDword(value.hive, value.path, value.name, &number));
                EXPECT_EQ(value.defaultValue, number);
            }
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
    // Keys left with nothing but inherited values are gone.
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, USER_DEFAULTS));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, MACHINE_DEFAULTS));
}

TEST_F(SheetDefaults, AfterVisitingEveryPageTheAdvancedValuesStayStored)
{
    StoreNonDefaults();
    Open();
    for (int page = 1; page < sheet_->PageCount(); ++page)
        sheet_->SelectPage(page);
    sheet_->PressDefaults();
    OkAndClose();
    // The same effective settings. Pages apply in their order and the Files
    // and Folders page prunes after its own save, so only the Advanced page,
    // which comes after it, leaves its defaults stored.
    ExpectDefaults(true);
    EXPECT_EQ(2, ValueCount(HKEY_CURRENT_USER, USER_DEFAULTS));
    EXPECT_EQ(1, ValueCount(HKEY_CURRENT_USER, MACHINE_DEFAULTS));
}

TEST_F(SheetDefaults, ShownOnOpenPagesAndOnPagesCreatedLaterWithoutWriting)
{
    StoreNonDefaults();
    Open();
    sheet_->SelectPageId(113);
    EXPECT_EQ((UINT)BST_CHECKED, sheet_->Checked(1080)); // stored BSD
    sheet_->PressDefaults();
    EXPECT_FALSE(sheet_->Enabled(1078));
    struct {
        int templateId, id;
        UINT checked;
    } shown[] = {
        {113, 1074, BST_CHECKED},   {113, 1078, BST_UNCHECKED}, {113, 1121, BST_CHECKED},
        {113, 1120, BST_UNCHECKED}, {113, 1079, BST_CHECKED},   {114, 2100, BST_CHECKED},
        {114, 2110, BST_CHECKED},   {114, 1085, BST_CHECKED},
    };
    for (const auto& control : shown) {
        sheet_->SelectPageId(control.templateId);
        EXPECT_EQ(control.checked, sheet_->Checked(control.id)) << control.id;
    }
    EXPECT_EQ("0", sheet_->Text(1088));
    EXPECT_FALSE(sheet_->Enabled(1088));
    CancelAndClose();
    EXPECT_EQ(1u, UserDword("UseBsdGroupSemantics"));
    EXPECT_EQ(2049u, UserDword("NfsPort"));
}
