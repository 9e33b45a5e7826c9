// The Tuning page of the NFS client sheet, through the real export.
#include "iat.h"
#include "nfs_sheet.h"
#include "resource.h"

class TuningPage : public NfsSheet {
  protected:
    void OpenTuning(bool again = false)
    {
        again ? Reopen() : Open();
        sheet_->SelectPageId(112);
    }
    // Time-out, back-off, retries, readahead, idle time-out, as shown.
    std::string Shown()
    {
        return sheet_->Text(IDC_TUNING_TIMEOUT) + " " + sheet_->Text(IDC_TUNING_BACKOFF) + " " +
               sheet_->Text(IDC_TUNING_RETRIES) +
               (sheet_->Checked(IDC_TUNING_READAHEAD) ? " on " : " off ") +
               sheet_->Text(IDC_TUNING_IDLE);
    }
    // The five values as stored, '?' where missing.
    std::string Stored()
    {
        DWORD idle = Missing;
        ReadDword(HKEY_LOCAL_MACHINE, AUTOMOUNTER, "IdleTime", &idle);
        std::string stored;
        for (DWORD value : {MachineDword("Timeout"), MachineDword("BackoffMultiplier"),
                            UserDword("Retries"), ServiceDword("AsynchReadahead"), idle})
            stored += value == Missing ? "? " : std::to_string(value) + " ";
        return stored;
    }
};

TEST_F(TuningPage, ValuesAreShownAndHeldToTheirRanges)
{
    OpenTuning();
    EXPECT_EQ("Automatic 4 5 on 300", Shown());
    EXPECT_FALSE(sheet_->Visible(IDC_TUNING_TIMEOUT) || sheet_->Visible(IDC_TUNING_BACKOFF));
    // The hidden back-off field is held to its range like the idle time-out.
    struct {
        const char* retries; // typed; NULL selects "forever"
        const char* backoff; // NULL leaves the field as it is
        const char* idle;
        const char* stored;
    } cases[] = {{"3", "50", "60", "0 50 3 1 120 "},
                 {NULL, "51", "5000", "0 50 0 1 1800 "},
                 {"11", NULL, "abc", "0 50 0 1 1800 "}};
    for (const auto& c : cases) {
        c.retries ? sheet_->ComboType(IDC_TUNING_RETRIES, c.retries)
                  : sheet_->ComboSelect(IDC_TUNING_RETRIES, 3);
        if (c.backoff != NULL)
            sheet_->SetText(IDC_TUNING_BACKOFF, c.backoff);
        sheet_->SetText(IDC_TUNING_IDLE, c.idle);
        sheet_->PressApply();
        EXPECT_EQ(c.stored, Stored()) << c.idle;
    }
    CancelAndClose();

    WriteDword(HKEY_CURRENT_USER, MACHINE_DEFAULTS, "Timeout", 30);
    WriteDword(HKEY_CURRENT_USER, MACHINE_DEFAULTS, "BackoffMultiplier", 0);
    WriteDword(HKEY_LOCAL_MACHINE, SERVICE_PARAMETERS, "AsynchReadahead", 0);
    WriteDword(HKEY_LOCAL_MACHINE, AUTOMOUNTER, "IdleTime", 60);
    // Opened after "Def&aults", the page shows the defaults instead.
    Reopen();
    sheet_->PressDefaults();
    sheet_->SelectPageId(112);
    EXPECT_EQ("Automatic 4 5 on 300", Shown());
    CancelAndClose();
    OpenTuning(true);
    EXPECT_EQ("30 0 forever off 60", Shown());
    OkAndClose();
    EXPECT_EQ("30 1 0 0 120 ", Stored());
    // Created after the press, the page has taken the reset over: what it
    // refuses to save keeps its stored value.
    Reopen();
    sheet_->PressDefaults();
    sheet_->SelectPageId(112);
    sheet_->ComboType(IDC_TUNING_RETRIES, "11");
    sheet_->SetText(IDC_TUNING_IDLE, "abc");
    OkAndClose();
    EXPECT_EQ("0 4 0 1 120 ", Stored());
}

// Under Wine a read-only key is still opened for writing, so the service key
// is made to fail in the library's own import instead.
static LONG(WINAPI* RealCreateKey)(HKEY, LPCSTR, PHKEY);
static LONG WINAPI FailingCreateKey(HKEY root, LPCSTR path, PHKEY key)
{
    if (path != NULL && lstrcmpiA(path, SERVICE_PARAMETERS) == 0)
        return ERROR_ACCESS_DENIED;
    return RealCreateKey(root, path, key);
}

TEST_F(TuningPage, ServiceKeyFailingStopsTheTransferButNotTheCommit)
{
    RealCreateKey = (LONG(WINAPI*)(HKEY, LPCSTR, PHKEY))ReplaceImport(
        library_, "advapi32.dll", "RegCreateKeyA", (void*)&FailingCreateKey);
    ASSERT_NE(nullptr, RealCreateKey);
    WriteDword(HKEY_LOCAL_MACHINE, AUTOMOUNTER, "IdleTime", 900);
    OpenTuning();
    EXPECT_EQ("Automatic 4 5 off ", Shown());
    sheet_->ComboType(IDC_TUNING_RETRIES, "10");
    sheet_->SetText(IDC_TUNING_IDLE, "600");
    OkAndClose();
    EXPECT_EQ("0 4 10 ? 900 ", Stored());
    // Never opened: the reset still writes the idle time-out.
    Reopen();
    sheet_->PressDefaults();
    OkAndClose();
    EXPECT_EQ("? ? ? ? 300 ", Stored());
    ReplaceImport(library_, "advapi32.dll", "RegCreateKeyA", (void*)RealCreateKey);
}
