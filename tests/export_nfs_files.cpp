// The Files and Folders page, through the real export. The page prunes
// right after saving, so a value written back equal to what it inherits
// ends absent.
#include "nfs_sheet.h"

class FilesPage : public NfsSheet {
  protected:
    // Each button in id order as "id=checked", with "-" when disabled.
    std::string Shown()
    {
        sheet_->SelectPageId(113);
        std::string shown;
        for (int id : {1074, 1078, 1079, 1080, 1120, 1121, 1122})
            shown += std::to_string(id) + "=" + std::to_string(sheet_->Checked(id)) +
                     (sheet_->Enabled(id) ? " " : "- ");
        return shown;
    }
};

TEST_F(FilesPage, FreshViewDependencyAndSavedRadioIndexes)
{
    Open();
    EXPECT_EQ("1074=1 1078=0- 1079=1 1080=0 1120=0 1121=1 1122=0 ", Shown());
    EXPECT_TRUE(sheet_->ApplyEnabled());
    // Forcing the case offers case-sensitive lookup without choosing it;
    // dropping it again clears the choice.
    sheet_->Click(1120);
    EXPECT_EQ("1074=1 1078=0 1079=1 1080=0 1120=1 1121=1 1122=0 ", Shown());
    sheet_->Click(1078);
    sheet_->Click(1120);
    EXPECT_EQ("1074=1 1078=0- 1079=1 1080=0 1120=0 1121=1 1122=0 ", Shown());
    sheet_->Click(1122); // Uppercase
    sheet_->Click(1080); // BSD
    sheet_->PressApply();
    EXPECT_EQ(1u, UserDword("PreferredCaseIsUpper"));
    EXPECT_EQ(1u, UserDword("UseBsdGroupSemantics"));
    EXPECT_EQ(2, ValueCount(HKEY_CURRENT_USER, USER_DEFAULTS));
    sheet_->Click(1120);
    sheet_->Click(1078);
    OkAndClose();
    EXPECT_EQ(1u, UserDword("CaseForce"));
    EXPECT_EQ(1u, UserDword("CaseSensitive"));
    // "Def&aults" on the open page drops the forced case, and with it the
    // offer of case-sensitive lookup.
    Reopen();
    EXPECT_EQ("1074=1 1078=1 1079=0 1080=1 1120=1 1121=0 1122=1 ", Shown());
    sheet_->PressDefaults();
    EXPECT_EQ("1074=1 1078=0- 1079=1 1080=0 1120=0 1121=1 1122=0 ", Shown());
    CancelAndClose();
}

TEST_F(FilesPage, StoredValuesThatCannotBeShownAreWrittenBackAsDefaults)
{
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "ArchiveBit", 0);
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "CaseForce", 0);
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "CaseSensitive", 1);
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "PreferredCaseIsUpper", 2);
    Open();
    // No lookup by case without forced case; a radio value beyond its group
    // checks no button.
    EXPECT_EQ("1074=0 1078=0- 1079=1 1080=0 1120=0 1121=0 1122=0 ", Shown());
    OkAndClose();
    // Both written back as 0, then pruned.
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, USER_DEFAULTS, "CaseSensitive"));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, USER_DEFAULTS, "PreferredCaseIsUpper"));
    EXPECT_EQ(0u, UserDword("ArchiveBit"));
}
