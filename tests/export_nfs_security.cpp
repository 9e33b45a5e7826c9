// The Security page of the NFS client sheet, through the real export.
#include "nfs_sheet.h"
#include "resource.h"

#include <algorithm>

class SecurityPage : public NfsSheet {
  protected:
    void OpenSecurity(bool again = false)
    {
        again ? Reopen() : Open();
        sheet_->SelectPageId(109);
    }
    // The nine boxes 2000 to 2008 ('x' where checked), the server choice,
    // whether the label and edit are enabled, and the edit's text.
    std::string Shown()
    {
        std::string shown;
        for (int id = IDC_SECURITY_USER_READ; id <= IDC_SECURITY_OTHER_EXECUTE; ++id)
            shown += sheet_->Checked(id) == BST_CHECKED ? 'x' : '-';
        shown += sheet_->Checked(IDC_SECURITY_SPECIFIC) == BST_CHECKED ? " S" : " B";
        shown +=
            sheet_->Enabled(IDC_SECURITY_SERVERS_LABEL) && sheet_->Enabled(IDC_SECURITY_SERVERS)
                ? " on "
                : " off ";
        return shown + sheet_->Text(IDC_SECURITY_SERVERS);
    }
    // The stored list, '|' for every terminator.
    std::string Hosts()
    {
        DWORD type = 0;
        std::string data = "(none)";
        ReadRaw(HKEY_LOCAL_MACHINE, AUTH_SERVERS, "Hosts", &type, &data);
        std::replace(data.begin(), data.end(), '\0', '|');
        return type == REG_MULTI_SZ ? data : "(type)";
    }
};

TEST_F(SecurityPage, MaskAndServerListAreShownAndSaved)
{
    OpenSecurity();
    EXPECT_EQ("xxxx-xx-x B off ", Shown());
    EXPECT_TRUE(sheet_->ApplyEnabled()); // marked changed as it opens
    sheet_->Click(IDC_SECURITY_USER_EXECUTE);
    sheet_->Click(IDC_SECURITY_SPECIFIC);
    EXPECT_EQ("xx-x-xx-x S on ", Shown());
    sheet_->SetText(IDC_SECURITY_SERVERS, "alpha; beta,,gamma");
    sheet_->PressApply();
    EXPECT_EQ(0x52u, UserDword("UMask"));
    EXPECT_EQ("alpha|beta|gamma||", Hosts());
    sheet_->SetText(IDC_SECURITY_SERVERS, "   ");
    sheet_->PressApply();
    EXPECT_EQ("|", Hosts());
    sheet_->SetText(IDC_SECURITY_SERVERS, "*");
    OkAndClose();
    EXPECT_EQ("*||", Hosts());
    OpenSecurity(true);
    EXPECT_EQ("xx-x-xx-x B off ", Shown());
    CancelAndClose();

    // Bits above the nine are dropped; broadcast wins over the edit's text.
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "UMask", 0x3FF);
    WriteRaw(HKEY_LOCAL_MACHINE, AUTH_SERVERS, "Hosts", REG_MULTI_SZ, "alpha\0beta\0", 12);
    OpenSecurity(true);
    EXPECT_EQ("--------- S on alpha,beta", Shown());
    sheet_->Click(IDC_SECURITY_BROADCAST);
    OkAndClose();
    EXPECT_EQ(0x1FFu, UserDword("UMask"));
    EXPECT_EQ("*||", Hosts());

    // Opened after "Def&aults": the defaults, the loaded text kept disabled.
    WriteRaw(HKEY_LOCAL_MACHINE, AUTH_SERVERS, "Hosts", REG_MULTI_SZ, "alpha\0beta\0", 12);
    Reopen();
    sheet_->PressDefaults();
    sheet_->SelectPageId(109);
    EXPECT_EQ("xxxx-xx-x B off alpha,beta", Shown());
    CancelAndClose();

    // A list of some hundred bytes is stored and shown whole.
    std::string typed, stored;
    for (int i = 0; i < 60; ++i) {
        std::string host = "server" + std::to_string(100 + i);
        typed += (i ? "," : "") + host;
        stored += host + "|";
    }
    OpenSecurity(true);
    sheet_->Click(IDC_SECURITY_SPECIFIC);
    sheet_->SetText(IDC_SECURITY_SERVERS, typed.c_str());
    OkAndClose();
    EXPECT_EQ(stored + "|", Hosts());
    OpenSecurity(true);
    EXPECT_EQ("--------- S on " + typed, Shown());
    CancelAndClose();

    WriteRaw(HKEY_LOCAL_MACHINE, AUTH_SERVERS, "Hosts", REG_SZ, "alpha", 6);
    OpenSecurity(true);
    EXPECT_EQ("--------- B off ", Shown());
    CancelAndClose();

    // A list too long to show is kept, but "Def&aults" is a change.
    std::string hosts(5000, 'h');
    WriteRaw(HKEY_LOCAL_MACHINE, AUTH_SERVERS, "Hosts", REG_MULTI_SZ, hosts.c_str(), 5002);
    OpenSecurity(true);
    EXPECT_EQ("--------- B off ", Shown());
    sheet_->PressDefaults();
    OkAndClose();
    EXPECT_EQ("*||", Hosts());
}
