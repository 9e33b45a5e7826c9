// The Caching page of the NFS client sheet, through the real export.
#include "iat.h"
#include "nfs_sheet.h"
#include "resource.h"

class CachingPage : public NfsSheet {
  protected:
    void OpenCaching()
    {
        Open();
        sheet_->SelectPageId(111);
        ASSERT_EQ(2, sheet_->CurrentPageIndex());
    }
    void ExpectDefaultsShown()
    {
        EXPECT_EQ((UINT)BST_CHECKED, sheet_->Checked(IDC_CACHING_ATTRIBUTES));
        EXPECT_EQ("30", sheet_->Text(IDC_CACHING_FOLDER_MINIMUM));
        EXPECT_EQ(4, sheet_->ComboSelection(IDC_CACHING_FOLDER_MINIMUM));
        EXPECT_EQ("60", sheet_->Text(IDC_CACHING_FOLDER_MAXIMUM));
        EXPECT_EQ("3", sheet_->Text(IDC_CACHING_FILE_MINIMUM));
        EXPECT_EQ(CB_ERR, sheet_->ComboSelection(IDC_CACHING_FILE_MINIMUM));
        EXPECT_EQ("60", sheet_->Text(IDC_CACHING_FILE_MAXIMUM));
        EXPECT_EQ((UINT)BST_CHECKED, sheet_->Checked(IDC_CACHING_DATA));
        EXPECT_EQ("Automatic", sheet_->Text(IDC_CACHING_SIZE));
        EXPECT_EQ(0, sheet_->ComboSelection(IDC_CACHING_SIZE));
        EXPECT_EQ("256", sheet_->Text(IDC_CACHING_MAPPINGS));
    }
    void ExpectAttributeControlsEnabled(bool enabled)
    {
        for (int id :
             {IDC_CACHING_FOLDER_LABEL, IDC_CACHING_FILE_LABEL, IDC_CACHING_MINIMUM_HEADING,
              IDC_CACHING_MAXIMUM_HEADING, IDC_CACHING_FOLDER_MINIMUM, IDC_CACHING_FOLDER_MAXIMUM,
              IDC_CACHING_FILE_MINIMUM, IDC_CACHING_FILE_MAXIMUM})
            EXPECT_EQ(enabled, sheet_->Enabled(id)) << id;
    }
};

TEST_F(CachingPage, FreshRegistryShowsTheDefaults)
{
    OpenCaching();
    ExpectDefaultsShown();
    ExpectAttributeControlsEnabled(true);
    EXPECT_TRUE(sheet_->Enabled(IDC_CACHING_SIZE));
    EXPECT_TRUE(sheet_->Enabled(IDC_CACHING_MAPPINGS));
    // The lists, item by item.
    const char* times[] = {"1", "5", "10", "20", "30", "40", "50", "60"};
    for (int id : {IDC_CACHING_FOLDER_MINIMUM, IDC_CACHING_FOLDER_MAXIMUM, IDC_CACHING_FILE_MINIMUM,
                   IDC_CACHING_FILE_MAXIMUM}) {
        ASSERT_EQ(8, sheet_->ComboCount(id));
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(times[i], sheet_->ComboItem(id, i));
    }
    const char* sizes[] = {"Automatic", "256", "512", "1024", "2048", "4096"};
    ASSERT_EQ(6, sheet_->ComboCount(IDC_CACHING_SIZE));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(sizes[i], sheet_->ComboItem(IDC_CACHING_SIZE, i));
    ASSERT_EQ(3, sheet_->ComboCount(IDC_CACHING_MAPPINGS));
    EXPECT_EQ("1024", sheet_->ComboItem(IDC_CACHING_MAPPINGS, 2));
    // Created pages enable Apply at once.
    EXPECT_TRUE(sheet_->ApplyEnabled());
    CancelAndClose();
}

TEST_F(CachingPage, StoredValuesAreShown)
{
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheOff", 1);
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheDirMin", 5);
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheRegMax", 45);
    WriteDword(HKEY_LOCAL_MACHINE, SERVICE_PARAMETERS, "CacheSizeK", 2048);
    WriteDword(HKEY_LOCAL_MACHINE, SERVICE_PARAMETERS, "EnableDataCache", 0);
    WriteDword(HKEY_LOCAL_MACHINE, SERVICE_PARAMETERS, "NumMappedNames", 0);
    OpenCaching();
    EXPECT_EQ((UINT)BST_UNCHECKED, sheet_->Checked(IDC_CACHING_ATTRIBUTES));
    ExpectAttributeControlsEnabled(false);
    EXPECT_EQ("5", sheet_->Text(IDC_CACHING_FOLDER_MINIMUM));
    EXPECT_EQ("45", sheet_->Text(IDC_CACHING_FILE_MAXIMUM));
    EXPECT_EQ(CB_ERR, sheet_->ComboSelection(IDC_CACHING_FILE_MAXIMUM));
    EXPECT_EQ("2048", sheet_->Text(IDC_CACHING_SIZE));
    EXPECT_EQ((UINT)BST_UNCHECKED, sheet_->Checked(IDC_CACHING_DATA));
    EXPECT_FALSE(sheet_->Enabled(IDC_CACHING_SIZE));
    EXPECT_FALSE(sheet_->Enabled(IDC_CACHING_SIZE_LABEL));
    EXPECT_TRUE(sheet_->Enabled(IDC_CACHING_MAPPINGS));
    EXPECT_EQ("0", sheet_->Text(IDC_CACHING_MAPPINGS));
    CancelAndClose();
}

TEST_F(CachingPage, CheckBoxesEnableTheirControls)
{
    OpenCaching();
    sheet_->Click(IDC_CACHING_ATTRIBUTES);
    ExpectAttributeControlsEnabled(false);
    EXPECT_TRUE(sheet_->Enabled(IDC_CACHING_SIZE));
    sheet_->Click(IDC_CACHING_ATTRIBUTES);
    ExpectAttributeControlsEnabled(true);
    sheet_->Click(IDC_CACHING_DATA);
    EXPECT_FALSE(sheet_->Enabled(IDC_CACHING_SIZE));
    EXPECT_FALSE(sheet_->Enabled(IDC_CACHING_SIZE_LABEL));
    ExpectAttributeControlsEnabled(true);
    sheet_->Click(IDC_CACHING_DATA);
    EXPECT_TRUE(sheet_->Enabled(IDC_CACHING_SIZE));
    EXPECT_TRUE(sheet_->Enabled(IDC_CACHING_SIZE_LABEL));

    // Each click enables Apply again after an apply has disabled it.
    sheet_->PressApply();
    EXPECT_FALSE(sheet_->ApplyEnabled());
    sheet_->Click(IDC_CACHING_DATA);
    EXPECT_TRUE(sheet_->ApplyEnabled());
    sheet_->PressApply();
    sheet_->Click(IDC_CACHING_ATTRIBUTES);
    EXPECT_TRUE(sheet_->ApplyEnabled());
    CancelAndClose();
}

TEST_F(CachingPage, CacheSizeAcceptsTheListRangeOnly)
{
    OpenCaching();
    sheet_->ComboSelect(IDC_CACHING_SIZE, 0); // Automatic
    sheet_->PressApply();
    EXPECT_EQ(0u, ServiceDword("CacheSizeK"));
    sheet_->ComboType(IDC_CACHING_SIZE, "300");
    sheet_->PressApply();
    EXPECT_EQ(300u, ServiceDword("CacheSizeK"));
    sheet_->ComboType(IDC_CACHING_SIZE, "5000");
    sheet_->PressApply();
    EXPECT_EQ(300u, ServiceDword("CacheSizeK"));
    sheet_->ComboType(IDC_CACHING_SIZE, "abc");
    sheet_->PressApply();
    EXPECT_EQ(300u, ServiceDword("CacheSizeK"));
    sheet_->ComboType(IDC_CACHING_MAPPINGS, "1025");
    sheet_->ComboType(IDC_CACHING_SIZE, "4096");
    sheet_->PressApply();
    EXPECT_EQ(4096u, ServiceDword("CacheSizeK"));
    EXPECT_EQ(256u, ServiceDword("NumMappedNames"));
    // The top of each list is taken; one above it is not.
    sheet_->ComboType(IDC_CACHING_MAPPINGS, "1024");
    sheet_->ComboType(IDC_CACHING_FOLDER_MINIMUM, "60");
    sheet_->ComboType(IDC_CACHING_FOLDER_MAXIMUM, "60");
    sheet_->ComboType(IDC_CACHING_FILE_MINIMUM, "20");
    sheet_->ComboType(IDC_CACHING_FILE_MAXIMUM, "61");
    OkAndClose();
    EXPECT_EQ(1024u, ServiceDword("NumMappedNames"));
    EXPECT_EQ(60u, UserDword("AttrCacheDirMin"));
    EXPECT_EQ(Missing, UserDword("AttrCacheRegMax"));
    EXPECT_EQ(1u, ServiceDword("EnableDataCache"));
}

TEST_F(CachingPage, PairsOutOfOrderAreLeftAsTheyWere)
{
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheDirMin", 10);
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheDirMax", 50);
    OpenCaching();
    sheet_->ComboType(IDC_CACHING_FOLDER_MINIMUM, "40");
    sheet_->ComboType(IDC_CACHING_FOLDER_MAXIMUM, "20");
    sheet_->ComboType(IDC_CACHING_FILE_MINIMUM, "20");
    sheet_->ComboType(IDC_CACHING_FILE_MAXIMUM, "20");
    sheet_->ComboType(IDC_CACHING_SIZE, "512");
    sheet_->PressApply();
    EXPECT_EQ(10u, UserDword("AttrCacheDirMin"));
    EXPECT_EQ(50u, UserDword("AttrCacheDirMax"));
    EXPECT_EQ(20u, UserDword("AttrCacheRegMin"));
    EXPECT_EQ(20u, UserDword("AttrCacheRegMax"));
    EXPECT_EQ(512u, ServiceDword("CacheSizeK"));

    // A typed 0 passes the pair rule but is below the list: only the
    // maximum is written.
    sheet_->ComboType(IDC_CACHING_FOLDER_MINIMUM, "0");
    sheet_->ComboType(IDC_CACHING_FOLDER_MAXIMUM, "40");
    OkAndClose();
    EXPECT_EQ(10u, UserDword("AttrCacheDirMin"));
    EXPECT_EQ(40u, UserDword("AttrCacheDirMax"));
}

TEST_F(CachingPage, AttributeCacheBoxIsStoredInverted)
{
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "ReadOnly", 1); // keeps the key
    OpenCaching();
    sheet_->Click(IDC_CACHING_ATTRIBUTES);
    sheet_->PressApply();
    EXPECT_EQ(1u, UserDword("AttrCacheOff"));
    sheet_->Click(IDC_CACHING_ATTRIBUTES);
    OkAndClose();
    // The Caching page saves after the General page has pruned: the
    // inherited 0 stays stored until the next pruning pass.
    EXPECT_EQ(0u, UserDword("AttrCacheOff"));
    EXPECT_EQ(1u, UserDword("ReadOnly"));
}

TEST_F(CachingPage, OpenedAfterDefaultsShowsTheDefaults)
{
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheOff", 1);
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheDirMin", 10);
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheDirMax", 50);
    WriteDword(HKEY_LOCAL_MACHINE, SERVICE_PARAMETERS, "CacheSizeK", 2048);
    WriteDword(HKEY_LOCAL_MACHINE, SERVICE_PARAMETERS, "NumMappedNames", 1024);
    Open();
    sheet_->PressDefaults();
    sheet_->SelectPageId(111);
    ExpectDefaultsShown();
    ExpectAttributeControlsEnabled(true);
    // The page has shown the defaults, so the reset is no longer pending: a
    // pair the user puts out of order now keeps what is stored, where a
    // pending reset would have written the defaults over it.
    sheet_->ComboType(IDC_CACHING_FOLDER_MINIMUM, "40");
    sheet_->ComboType(IDC_CACHING_FOLDER_MAXIMUM, "20");
    OkAndClose();
    EXPECT_EQ(10u, UserDword("AttrCacheDirMin"));
    EXPECT_EQ(50u, UserDword("AttrCacheDirMax"));
    EXPECT_EQ(0u, UserDword("AttrCacheOff"));
    EXPECT_EQ(0u, ServiceDword("CacheSizeK"));
    EXPECT_EQ(256u, ServiceDword("NumMappedNames"));
}

TEST_F(CachingPage, DefaultsWhileOpenChangeOnlyTheControls)
{
    WriteDword(HKEY_LOCAL_MACHINE, SERVICE_PARAMETERS, "CacheSizeK", 2048);
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheOff", 1);
    OpenCaching();
    sheet_->Click(IDC_CACHING_DATA);
    sheet_->PressDefaults();
    ExpectDefaultsShown();
    ExpectAttributeControlsEnabled(true);
    EXPECT_TRUE(sheet_->Enabled(IDC_CACHING_SIZE));
    CancelAndClose();
    EXPECT_EQ(2048u, ServiceDword("CacheSizeK"));
    EXPECT_EQ(1u, UserDword("AttrCacheOff"));
}

TEST_F(CachingPage, NeverOpenedPageCommitsItsDefaultsOnEveryApply)
{
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheRegMin", 7);
    Open();
    sheet_->PressDefaults();
    sheet_->PressApply();
    EXPECT_EQ(0u, ServiceDword("CacheSizeK"));
    EXPECT_EQ(Missing, UserDword("AttrCacheRegMin"));
    // Something changes the stored values between two applies: the pending
    // reset writes the defaults again.
    WriteDword(HKEY_LOCAL_MACHINE, SERVICE_PARAMETERS, "CacheSizeK", 1024);
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheRegMin", 7);
    OkAndClose();
    EXPECT_EQ(0u, ServiceDword("CacheSizeK"));
    EXPECT_EQ(1u, ServiceDword("EnableDataCache"));
    EXPECT_EQ(256u, ServiceDword("NumMappedNames"));
    EXPECT_EQ(Missing, UserDword("AttrCacheRegMin"));
}

TEST_F(CachingPage, UnwritableServiceKeyIsReportedPerFailedWrite)
{
    WriteDword(HKEY_LOCAL_MACHINE, SERVICE_PARAMETERS, "CacheSizeK", 2048);
    MakeKeyReadOnly(HKEY_LOCAL_MACHINE, SERVICE_PARAMETERS);
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheDirMin", 5);
    OpenCaching();
    EXPECT_EQ("2048", sheet_->Text(IDC_CACHING_SIZE));
    sheet_->ComboType(IDC_CACHING_FOLDER_MINIMUM, "20");
    sheet_->PostOk();
    // Each of the three service values fails in turn, one box at a time;
    // the page goes on with the rest.
    int boxes = 0;
    MessageBoxInfo box;
    while (sheet_->WaitMessageBox(&box, 1000)) {
        EXPECT_EQ("Write Register Failed", box.text);
        EXPECT_EQ(1, sheet_->OpenMessageBoxes());
        DismissMessageBox(box);
        ++boxes;
    }
    EXPECT_EQ(3, boxes);
    ASSERT_TRUE(sheet_->WaitClosed());
    EXPECT_EQ(2048u, ServiceDword("CacheSizeK"));
    EXPECT_EQ(20u, UserDword("AttrCacheDirMin"));
}
