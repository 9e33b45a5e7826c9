// The Advanced page of the NFS client sheet, through the real export. The
// page saves after the General page's pruning pass, so what it writes stays
// stored even when it equals what it inherits.
#include "nfs_sheet.h"

enum {
    AutomaticTransportId = 2100,
    TcpOnlyId = 2101,
    UdpOnlyId = 2102,
    AutomaticVersionId = 2110,
    Version3OnlyId = 2111,
    Version2OnlyId = 2112,
    PortmapperId = 1085,
    SpecificPortId = 1086,
    PortLabelId = 1087,
    PortId = 1088,
};

class AdvancedPage : public NfsSheet {
  protected:
    void OpenAdvanced()
    {
        Open();
        sheet_->SelectPageId(114);
        ASSERT_EQ("Advanced", sheet_->PageTitle(sheet_->CurrentPageIndex()));
    }
    // The checked button of each group, the port text, and whether the port
    // field and its label are enabled.
    std::string Shown()
    {
        std::string shown;
        for (int id : {AutomaticTransportId, TcpOnlyId, UdpOnlyId, AutomaticVersionId,
                       Version3OnlyId, Version2OnlyId, PortmapperId, SpecificPortId})
            if (sheet_->Checked(id) == BST_CHECKED)
                shown += std::to_string(id) + " ";
        shown += sheet_->Text(PortId);
        if (sheet_->Enabled(PortId) && sheet_->Enabled(PortLabelId))
            shown += " enabled";
        else if (sheet_->Enabled(PortId) || sheet_->Enabled(PortLabelId))
            shown += " half enabled";
        return shown;
    }
    std::string Transport()
    {
        std::string text = "(missing)";
        ReadString(HKEY_CURRENT_USER, MACHINE_DEFAULTS, "Transport", &text);
        return text;
    }
};

TEST_F(AdvancedPage, StoredValuesAreShownAndWrittenBackMapped)
{
    const DWORD none = Missing;
    struct {
        const char* transport; // nullptr: not stored
        DWORD version, port;
        const char* shown;
        const char* savedTransport;
        DWORD savedVersion, savedPort;
    } rows[] = {
        {nullptr, none, none, "2100 2110 1085 0", "", 0, 0},
        {"udp", 3, 2049, "2102 2111 1086 2049 enabled", "udp", 3, 2049},
        {"tcp", 2, 0, "2101 2112 1085 0", "tcp", 2, 0},
        // Texts compare with case; any other version is automatic.
        {"TCP", 1, 7, "2100 2110 1086 7 enabled", "", 0, 7},
        {"Udp", 4, 0xFFFFFFFF, "2100 2110 1086 4294967295 enabled", "", 0, 0xFFFFFFFF},
        // Longer than the transport buffer: read as missing.
        {"udpudpudpu", 0, 0, "2100 2110 1085 0", "", 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shown);
        if (row.transport != nullptr)
            WriteString(HKEY_CURRENT_USER, MACHINE_DEFAULTS, "Transport", row.transport);
        if (row.version != none)
            WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "NfsVersion", row.version);
        if (row.port != none)
            WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "NfsPort", row.port);
        Reopen();
        sheet_->SelectPageId(114);
        EXPECT_EQ(row.shown, Shown());
        OkAndClose();
        EXPECT_EQ(row.savedTransport, Transport());
        EXPECT_EQ(row.savedVersion, UserDword("NfsVersion"));
        EXPECT_EQ(row.savedPort, UserDword("NfsPort"));
    }
}

TEST_F(AdvancedPage, ChoicesAreSavedAndThePortFollowsItsRadioPair)
{
    OpenAdvanced();
    EXPECT_TRUE(sheet_->ApplyEnabled());
    sheet_->Click(SpecificPortId);
    EXPECT_EQ("2100 2110 1086 0 enabled", Shown());
    sheet_->Click(UdpOnlyId);
    sheet_->Click(Version2OnlyId);
    // Text that is no number saves 0, also where a lenient reader would
    // take its leading digits.
    struct {
        const char* typed;
        DWORD saved;
    } ports[] = {{"2049", 2049}, {"abc", 0}, {"12a", 0}, {"-3", 0}, {"", 0}, {" 635", 635}};
    for (const auto& port : ports) {
        sheet_->SetText(PortId, port.typed);
        sheet_->PressApply();
        EXPECT_EQ(port.saved, UserDword("NfsPort")) << port.typed;
    }
    EXPECT_EQ("udp", Transport());
    EXPECT_EQ(2u, UserDword("NfsVersion"));

    // The portmapper saves 0 whatever the field holds.
    sheet_->SetText(PortId, "2049");
    sheet_->Click(PortmapperId);
    EXPECT_EQ("2102 2112 1085 2049", Shown());
    sheet_->Click(Version3OnlyId);
    sheet_->Click(TcpOnlyId);
    OkAndClose();
    EXPECT_EQ(0u, UserDword("NfsPort"));
    EXPECT_EQ(3u, UserDword("NfsVersion"));
    EXPECT_EQ("tcp", Transport());
}
