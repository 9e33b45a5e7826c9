// The Caching page of the NFS client sheet, through the real export.
#include "iat.h"
#include "nfs_sheet.h"

enum {
    CacheSizeId = 1057,
    AttributeCacheId = 1058,
    FolderMinimumId = 1059,
    FolderMaximumId = 1060,
    FileMinimumId = 1061,
    FileMaximumId = 1062,
    MappingsId = 1063,
    FolderLabelId = 1064,
    FileLabelId = 1065,
    MinimumHeadingId = 1066,
    MaximumHeadingId = 1067,
    CacheSizeLabelId = 1126,
    DataCacheId = 1154,
};

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
        EXPECT_EQ((UINT)BST_CHECKED, sheet_->Checked(AttributeCacheId));
        EXPECT_EQ("30", sheet_->Text(FolderMinimumId));
        EXPECT_EQ(4, sheet_->ComboSelection(FolderMinimumId));
        EXPECT_EQ("60", sheet_->Text(FolderMaximumId));
        EXPECT_EQ("3", sheet_->Text(FileMinimumId));
        EXPECT_EQ(CB_ERR, sheet_->ComboSelection(FileMinimumId));
        EXPECT_EQ("60", sheet_->Text(FileMaximumId));
        EXPECT_EQ((UINT)BST_CHECKED, sheet_->Checked(DataCacheId));
        EXPECT_EQ("Automatic", sheet_->Text(CacheSizeId));
        EXPECT_EQ(0, sheet_->ComboSelection(CacheSizeId));
        EXPECT_EQ("256", sheet_->Text(MappingsId));
    }
    void ExpectAttributeControlsEnabled(bool enabled)
    {
        for (int id : {FolderLabelId, FileLabelId, MinimumHeadingId, MaximumHeadingId,
                       FolderMinimumId, FolderMaximumId, FileMinimumId, FileMaximumId})
            EXPECT_EQ(enabled, sheet_->Enabled(id)) << id;
    }
};

TEST_F(CachingPage, FreshRegistryShowsTheDefaults)
{
    OpenCaching();
    ExpectDefaultsShown();
    ExpectAttributeControlsEnabled(true);
    EXPECT_TRUE(sheet_->Enabled(CacheSizeId));
    EXPECT_TRUE(sheet_->Enabled(MappingsId));
    // The lists, item by item.
    const char* times[] = {"1", "5", "10", "20", "30", "40", "50", "60"};
    for (int id : {FolderMinimumId, FolderMaximumId, FileMinimumId, FileMaximumId}) {
        ASSERT_EQ(8, sheet_->ComboCount(id));
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(times[i], sheet_->ComboItem(id, i));
    }
    const char* sizes[] = {"Automatic", "256", "512", "1024", "2048", "4096"};
    ASSERT_EQ(6, sheet_->ComboCount(CacheSizeId));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(sizes[i], sheet_->ComboItem(CacheSizeId, i));
    ASSERT_EQ(3, sheet_->ComboCount(MappingsId));
    EXPECT_EQ("1024", sheet_->ComboItem(MappingsId, 2));
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
    EXPECT_EQ((UINT)BST_UNCHECKED, sheet_->Checked(AttributeCacheId));
    ExpectAttributeControlsEnabled(false);
    EXPECT_EQ("5", sheet_->Text(FolderMinimumId));
    EXPECT_EQ("45", sheet_->Text(FileMaximumId));
    EXPECT_EQ(CB_ERR, sheet_->ComboSelection(FileMaximumId));
    EXPECT_EQ("2048", sheet_->Text(CacheSizeId));
    EXPECT_EQ((UINT)BST_UNCHECKED, sheet_->Checked(DataCacheId));
    EXPECT_FALSE(sheet_->Enabled(CacheSizeId));
    EXPECT_FALSE(sheet_->Enabled(CacheSizeLabelId));
    EXPECT_TRUE(sheet_->Enabled(MappingsId));
    EXPECT_EQ("0", sheet_->Text(MappingsId));
    CancelAndClose();
}

TEST_F(CachingPage, CheckBoxesEnableTheirControls)
{
    OpenCaching();
    sheet_->Click(AttributeCacheId);
    ExpectAttributeControlsEnabled(false);
    EXPECT_TRUE(sheet_->Enabled(CacheSizeId));
    sheet_->Click(AttributeCacheId);
    ExpectAttributeControlsEnabled(true);
    sheet_->Click(DataCacheId);
    EXPECT_FALSE(sheet_->Enabled(CacheSizeId));
    EXPECT_FALSE(sheet_->Enabled(CacheSizeLabelId));
    ExpectAttributeControlsEnabled(true);
    sheet_->Click(DataCacheId);
    EXPECT_TRUE(sheet_->Enabled(CacheSizeId));
    EXPECT_TRUE(sheet_->Enabled(CacheSizeLabelId));

    // Each click enables Apply again after an apply has disabled it.
    sheet_->PressApply();
    EXPECT_FALSE(sheet_->ApplyEnabled());
    sheet_->Click(DataCacheId);
    EXPECT_TRUE(sheet_->ApplyEnabled());
    sheet_->PressApply();
    sheet_->Click(AttributeCacheId);
    EXPECT_TRUE(sheet_->ApplyEnabled());
    CancelAndClose();
}

TEST_F(CachingPage, CacheSizeAcceptsTheListRangeOnly)
{
    OpenCaching();
    sheet_->ComboSelect(CacheSizeId, 0); // Automatic
    sheet_->PressApply();
    EXPECT_EQ(0u, ServiceDword("CacheSizeK"));
    sheet_->ComboType(CacheSizeId, "300");
    sheet_->PressApply();
    EXPECT_EQ(300u, ServiceDword("CacheSizeK"));
    sheet_->ComboType(CacheSizeId, "5000");
    sheet_->PressApply();
    EXPECT_EQ(300u, ServiceDword("CacheSizeK"));
    sheet_->ComboType(CacheSizeId, "abc");
    sheet_->PressApply();
    EXPECT_EQ(300u, ServiceDword("CacheSizeK"));
    sheet_->ComboType(MappingsId, "1025");
    sheet_->ComboType(CacheSizeId, "4096");
    sheet_->PressApply();
    EXPECT_EQ(4096u, ServiceDword("CacheSizeK"));
    EXPECT_EQ(256u, ServiceDword("NumMappedNames"));
    // The top of each list is taken; one above it is not.
    sheet_->ComboType(MappingsId, "1024");
    sheet_->ComboType(FolderMinimumId, "60");
    sheet_->ComboType(FolderMaximumId, "60");
    sheet_->ComboType(FileMinimumId, "20");
    sheet_->ComboType(FileMaximumId, "61");
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
    sheet_->ComboType(FolderMinimumId, "40");
    sheet_->ComboType(FolderMaximumId, "20");
    sheet_->ComboType(FileMinimumId, "20");
    sheet_->ComboType(FileMaximumId, "20");
    sheet_->ComboType(CacheSizeId, "512");
    sheet_->PressApply();
    EXPECT_EQ(10u, UserDword("AttrCacheDirMin"));
    EXPECT_EQ(50u, UserDword("AttrCacheDirMax"));
    EXPECT_EQ(20u, UserDword("AttrCacheRegMin"));
    EXPECT_EQ(20u, UserDword("AttrCacheRegMax"));
    EXPECT_EQ(512u, ServiceDword("CacheSizeK"));

    // A typed 0 passes the pair rule but is below the list: only the
    // maximum is written.
    sheet_->ComboType(FolderMinimumId, "0");
    sheet_->ComboType(FolderMaximumId, "40");
    OkAndClose();
    EXPECT_EQ(10u, UserDword("AttrCacheDirMin"));
    EXPECT_EQ(40u, UserDword("AttrCacheDirMax"));
}

TEST_F(CachingPage, AttributeCacheBoxIsStoredInverted)
{
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "ReadOnly", 1); // keeps the key
    OpenCaching();
    sheet_->Click(AttributeCacheId);
    sheet_->PressApply();
    EXPECT_EQ(1u, UserDword("AttrCacheOff"));
    sheet_->Click(AttributeCacheId);
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
    sheet_->ComboType(FolderMinimumId, "40");
    sheet_->ComboType(FolderMaximumId, "20");
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
    sheet_->Click(DataCacheId);
    sheet_->PressDefaults();
    ExpectDefaultsShown();
    ExpectAttributeControlsEnabled(true);
    EXPECT_TRUE(sheet_->Enabled(CacheSizeId));
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
    EXPECT_EQ("2048", sheet_->Text(CacheSizeId));
    sheet_->ComboType(FolderMinimumId, "20");
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
