// The Files and Folders page of the NFS client sheet, through the real
// export. The page prunes right after saving, so values written back equal
// to what they inherit end absent.
#include "nfs_sheet.h"

enum {
    ArchiveBitId = 1074,
    CaseSensitiveId = 1078,
    SystemVId = 1079,
    BsdId = 1080,
    CaseForceId = 1120,
    LowercaseId = 1121,
    UppercaseId = 1122,
};

class FilesPage : public NfsSheet {
  protected:
    void OpenFiles()
    {
        Open();
        sheet_->SelectPageId(113);
        ASSERT_EQ("Files and Folders", sheet_->PageTitle(sheet_->CurrentPageIndex()));
    }
    // Every button's state, in id order, as "1074=1 1078=0 ..."; a "-" marks
    // a disabled control.
    std::string Shown()
    {
        std::string shown;
        for (int id : {ArchiveBitId, CaseSensitiveId, SystemVId, BsdId, CaseForceId, LowercaseId,
                       UppercaseId}) {
            shown += std::to_string(id) + "=" + std::to_string(sheet_->Checked(id));
            shown += sheet_->Enabled(id) ? " " : "- ";
        }
        return shown;
    }
};

TEST_F(FilesPage, FreshViewDependencyAndSavedRadioIndexes)
{
    OpenFiles();
    EXPECT_EQ("1074=1 1078=0- 1079=1 1080=0 1120=0 1121=1 1122=0 ", Shown());
    EXPECT_TRUE(sheet_->ApplyEnabled());
    // Forcing the case offers case-sensitive lookup without choosing it;
    // dropping it again clears the choice.
    sheet_->Click(CaseForceId);
    EXPECT_EQ("1074=1 1078=0 1079=1 1080=0 1120=1 1121=1 1122=0 ", Shown());
    sheet_->Click(CaseSensitiveId);
    sheet_->Click(CaseForceId);
    EXPECT_EQ("1074=1 1078=0- 1079=1 1080=0 1120=0 1121=1 1122=0 ", Shown());

    sheet_->Click(UppercaseId);
    sheet_->Click(BsdId);
    sheet_->PressApply();
    EXPECT_EQ(1u, UserDword("PreferredCaseIsUpper"));
    EXPECT_EQ(1u, UserDword("UseBsdGroupSemantics"));
    for (const char* inherited : {"ArchiveBit", "CaseSensitive", "CaseForce"})
        EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, USER_DEFAULTS, inherited)) << inherited;

    sheet_->Click(CaseForceId);
    sheet_->Click(CaseSensitiveId);
    sheet_->Click(ArchiveBitId);
    OkAndClose();
    EXPECT_EQ(1u, UserDword("CaseForce"));
    EXPECT_EQ(1u, UserDword("CaseSensitive"));
    EXPECT_EQ(0u, UserDword("ArchiveBit"));
}

TEST_F(FilesPage, StoredValuesThatCannotBeShownAreWrittenBackAsDefaults)
{
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "ArchiveBit", 0);
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "CaseForce", 0);
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "CaseSensitive", 1);
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "PreferredCaseIsUpper", 2);
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "UseBsdGroupSemantics", 1);
    OpenFiles();
    // Case-sensitive lookup without forced case is not offered; a radio
    // value beyond its group checks no button.
    EXPECT_EQ("1074=0 1078=0- 1079=0 1080=1 1120=0 1121=0 1122=0 ", Shown());
    OkAndClose();
    // Both were written back as 0 and pruned as equal to what they inherit.
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, USER_DEFAULTS, "CaseSensitive"));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, USER_DEFAULTS, "PreferredCaseIsUpper"));
    EXPECT_EQ(0u, UserDword("ArchiveBit"));
    EXPECT_EQ(1u, UserDword("UseBsdGroupSemantics"));
}
