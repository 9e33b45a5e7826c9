// The Advanced page, through the real export. The page saves after the
// General page's pruning pass, so what it writes stays stored.
#include "nfs_sheet.h"

class AdvancedPage : public NfsSheet {
  protected:
    // The checked buttons, the port text and whether the port can be edited.
    std::string Shown()
    {
        sheet_->SelectPageId(114);
        std::string shown;
        for (int id : {2100, 2101, 2102, 2110, 2111, 2112, 1085, 1086})
            if (sheet_->Checked(id) == BST_CHECKED)
                shown += std::to_string(id) + " ";
        EXPECT_EQ(sheet_->Enabled(1088), sheet_->Enabled(1087));
        return shown + sheet_->Text(1088) + (sheet_->Enabled(1088) ? " editable" : "");
    }
    std::string Saved()
    {
        std::string transport = "(missing)";
        ReadString(HKEY_CURRENT_USER, MACHINE_DEFAULTS, "Transport", &transport);
        return transport + " " + std::to_string(UserDword("NfsVersion")) + " " +
               std::to_string(UserDword("NfsPort"));
    }
};

TEST_F(AdvancedPage, StoredValuesAreShownAndWrittenBackMapped)
{
    struct {
        const char* transport; // nullptr: nothing stored
        DWORD version, port;
        const char* shown;
        const char* saved;
    } rows[] = {
        {nullptr, 0, 0, "2100 2110 1085 0", " 0 0"},
        {"udp", 3, 2049, "2102 2111 1086 2049 editable", "udp 3 2049"},
        {"tcp", 2, 0, "2101 2112 1085 0", "tcp 2 0"},
        // Texts compare with case; versions but 2 and 3 are automatic.
        {"TCP", 1, 7, "2100 2110 1086 7 editable", " 0 7"},
        {"Udp", 4, 0xFFFFFFFF, "2100 2110 1086 4294967295 editable", " 0 4294967295"},
        {"udpudpudpu", 0, 0, "2100 2110 1085 0", " 0 0"}, // too long: missing
    };
    for (const auto& row : rows) {
        if (row.transport != nullptr) {
            WriteString(HKEY_CURRENT_USER, MACHINE_DEFAULTS, "Transport", row.transport);
            WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "NfsVersion", row.version);
            WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "NfsPort", row.port);
        }
        Reopen();
        EXPECT_EQ(row.shown, Shown());
        OkAndClose();
        EXPECT_EQ(row.saved, Saved());
    }
}

TEST_F(AdvancedPage, ChoicesAreSavedAndThePortFollowsItsRadioPair)
{
    Open();
    sheet_->SelectPageId(114);
    sheet_->Click(1086);
    sheet_->Click(2102);
    sheet_->Click(2112);
    EXPECT_EQ("2102 2112 1086 0 editable", Shown());
    // Text that is no number saves 0, also where a lenient reader would take
    // its leading digits.
    struct {
        const char* typed;
        const char* saved;
    } ports[] = {{"2049", "udp 2 2049"}, {"abc", "udp 2 0"}, {"12a", "udp 2 0"},
                 {"-3", "udp 2 0"},      {"", "udp 2 0"},    {" 635", "udp 2 635"}};
    for (const auto& port : ports) {
        sheet_->SetText(1088, port.typed);
        sheet_->PressApply();
        EXPECT_EQ(port.saved, Saved()) << port.typed;
    }
    // The portmapper saves 0 whatever the field holds. Choosing it marks the
    // page changed, although the page takes the click itself.
    sheet_->Click(1085);
    EXPECT_TRUE(sheet_->ApplyEnabled());
    sheet_->SetText(1088, "2049");
    sheet_->Click(2111);
    sheet_->Click(2101);
    EXPECT_EQ("2101 2111 1085 2049", Shown());
    OkAndClose();
    EXPECT_EQ("tcp 3 0", Saved());
    // "Def&aults" on the open page returns to the portmapper and locks the
    // port field again.
    Reopen();
    sheet_->SelectPageId(114);
    sheet_->Click(1086);
    sheet_->PressDefaults();
    EXPECT_EQ("2100 2110 1085 0", Shown());
    CancelAndClose();
}
