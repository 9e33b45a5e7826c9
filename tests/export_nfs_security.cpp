// The Security page of the NFS client sheet, through the real export.
#include "nfs_sheet.h"
#include "resource.h"

#include <algorithm>
#include <stdio.h>
#include <string.h>

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

// Host names of 9 characters ("h0000001" and on) between the given
// separators, and one name at the end that makes the text exactly `length`
// characters; `entries` gets the names, one after another, '|' after each.
static std::string TypedHosts(size_t length, const std::string& separator, std::string* entries)
{
    std::string text;
    entries->clear();
    for (int i = 1;; ++i) {
        char name[16];
        snprintf(name, sizeof(name), "h%07d", i);
        size_t room = length - text.size();
        if (room <= 2 * (strlen(name) + separator.size())) {
            // The last name fills the text to its length.
            std::string last(room - (text.empty() ? 0 : separator.size()), 'z');
            text += (text.empty() ? "" : separator) + last;
            *entries += last + "|";
            return text;
        }
        text += (text.empty() ? "" : separator) + name;
        *entries += std::string(name) + "|";
    }
}

// Whatever the field holds up to its limit is saved, and the next sheet
// shows it again, entries joined by single commas.
TEST_F(SecurityPage, FullFieldOfServersIsShownAgainAfterOk)
{
    const struct {
        size_t length;
        const char* separator;
    } cases[] = {{4092, ","}, {4093, ","}, {4092, " "}, {4093, ";"}, {4092, ", "}, {4093, " ;,"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.length) + " '" + c.separator + "'");
        std::string entries;
        std::string typed = TypedHosts(c.length, c.separator, &entries);
        ASSERT_EQ(c.length, typed.size());
        std::string joined = entries.substr(0, entries.size() - 1);
        std::replace(joined.begin(), joined.end(), '|', ',');
        OpenSecurity(true);
        // Typing stops where the save would cut the text.
        EXPECT_EQ(4093, SendMessageA(sheet_->Item(IDC_SECURITY_SERVERS), EM_GETLIMITTEXT, 0, 0));
        sheet_->Click(IDC_SECURITY_SPECIFIC);
        sheet_->SetText(IDC_SECURITY_SERVERS, typed.c_str());
        OkAndClose();
        EXPECT_EQ(entries + "|", Hosts());
        OpenSecurity(true);
        std::string shown = Shown();
        EXPECT_EQ(joined.size() + 15, shown.size());
        EXPECT_TRUE(shown == "xxxx-xx-x S on " + joined)
            << "ends " << shown.substr(shown.size() - 30);
        CancelAndClose();
    }
}

// The longest list a full field saves is read back; one byte more is too
// long to show and stays as stored through an untouched OK.
TEST_F(SecurityPage, StoredListIsShownUpToTheLongestTheFieldSaves)
{
    std::string longest = std::string(4093, 'h') + std::string(2, '\0'); // 4,095 bytes
    WriteRaw(HKEY_LOCAL_MACHINE, AUTH_SERVERS, "Hosts", REG_MULTI_SZ, longest.data(),
             (DWORD)longest.size());
    OpenSecurity(true);
    EXPECT_TRUE(Shown() == "xxxx-xx-x S on " + std::string(4093, 'h')) << Shown().size();
    OkAndClose();
    EXPECT_EQ(std::string(4093, 'h') + "||", Hosts());

    std::string over = std::string(4094, 'h') + std::string(2, '\0'); // 4,096 bytes
    WriteRaw(HKEY_LOCAL_MACHINE, AUTH_SERVERS, "Hosts", REG_MULTI_SZ, over.data(),
             (DWORD)over.size());
    OpenSecurity(true);
    EXPECT_EQ("xxxx-xx-x B off ", Shown());
    OkAndClose();
    EXPECT_EQ(std::string(4094, 'h') + "||", Hosts());
}
