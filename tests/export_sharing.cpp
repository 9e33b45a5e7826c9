// The file-sharing sheet through the real export: the NFS Server page, the
// Logging page and the list library kept loaded around the sheet.
#include "iat.h"
#include "regdiff.h"
#include "resource.h"
#include "sandbox.h"
#include "sheet_driver.h"

#define SERVER_KEY "SOFTWARE\\ZEVR\\CC\\1.0\\zevrnfsd"
#define LOGGING_KEY "SOFTWARE\\ZEVR\\CC\\1.0\\LOGGING"
#define SERVICE_KEY "SYSTEM\\CurrentControlSet\\Services\\Quellmar NFS Server"

static HMODULE WINAPI LoadAllButListLibrary(LPCSTR name)
{
    return lstrcmpiA(name, "ZEVRPLST.dll") == 0 ? NULL : LoadLibraryA(name);
}

// The sheet with a registry and a folder for log files of its own.
class SharingSheet : public SandboxTest {
  protected:
    void SetUp() override
    {
        library_ = LoadLibraryA("ZEVRNTPS.dll");
        ASSERT_NE(nullptr, library_);
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        folder_ = temp + std::string("zevrlog") + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), NULL));
    }
    void TearDown() override
    {
        sheet_.reset();
        FreeLibrary(library_);
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA(Path("*").c_str(), &found);
        for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &found))
            DeleteFileA(Path(found.cFileName).c_str());
        FindClose(find);
        RemoveDirectoryA(folder_.c_str());
    }
    void Open()
    {
        auto entry = (ZevrEntryPoint)(void (*)())GetProcAddress(library_, "PrintSharingProperty");
        ASSERT_TRUE(sheet_->Open(entry, "Quellmar File Sharing Configuration"));
    }
    DWORD Dword(const char* key, const char* name)
    {
        DWORD value = 0xDEADBEEF;
        ReadDword(HKEY_LOCAL_MACHINE, key, name, &value);
        return value;
    }
    std::string Path(const std::string& name)
    {
        return folder_ + "\\" + name;
    }
    // Size and last write time of a file; false when there is none.
    bool FileFacts(const std::string& path, DWORD* size, FILETIME* written = NULL)
    {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
            return false;
        *size = data.nFileSizeLow;
        if (written != NULL)
            *written = data.ftLastWriteTime;
        return true;
    }

    HMODULE library_ = NULL;
    std::unique_ptr<SheetDriver> sheet_{new SheetDriver};
    std::string folder_;
};

TEST_F(SharingSheet, FreshServerPageEnabledWithOkStartsTheServiceWithTheSystem)
{
    Open();
    EXPECT_EQ(2, sheet_->PageCount());
    EXPECT_EQ("ZEVRPLST load;", StandInLog());
    for (int id : {IDC_NFS_SERVER_ENABLE, IDC_NFS_SERVER_LOGGING})
        EXPECT_EQ((UINT)BST_UNCHECKED, sheet_->Checked(id));
    sheet_->Click(IDC_NFS_SERVER_ENABLE);
    EXPECT_TRUE(sheet_->ApplyEnabled());
    sheet_->PressOk();
    ASSERT_TRUE(sheet_->WaitClosed());
    EXPECT_EQ("TRUE", sheet_->ResultText());
    EXPECT_EQ(1u, Dword(SERVER_KEY, "Enable"));
    EXPECT_EQ(0u, Dword(SERVER_KEY, "Logging"));
    EXPECT_EQ(2u, Dword(SERVICE_KEY, "Start"));
    EXPECT_EQ("ZEVRPLST load;ZEVRPLST unload;", StandInLog());
}

TEST_F(SharingSheet, WithoutTheListLibraryBothPagesWorkAndCancelKeepsTheValues)
{
    void* previous =
        ReplaceImport(library_, "kernel32.dll", "LoadLibraryA", (void*)&LoadAllButListLibrary);
    ASSERT_NE(nullptr, previous);
    WriteDword(HKEY_LOCAL_MACHINE, SERVER_KEY, "Enable", 1);
    WriteDword(HKEY_LOCAL_MACHINE, SERVER_KEY, "Logging", 1);
    Open();
    for (int id : {IDC_NFS_SERVER_ENABLE, IDC_NFS_SERVER_LOGGING})
        EXPECT_EQ((UINT)BST_CHECKED, sheet_->Checked(id));
    sheet_->Click(IDC_NFS_SERVER_ENABLE);
    sheet_->PressApply();
    EXPECT_EQ(0u, Dword(SERVER_KEY, "Enable"));
    EXPECT_EQ(1u, Dword(SERVER_KEY, "Logging"));
    EXPECT_EQ(3u, Dword(SERVICE_KEY, "Start"));
    sheet_->Click(IDC_NFS_SERVER_ENABLE);
    sheet_->Click(IDC_NFS_SERVER_LOGGING);

    sheet_->SelectPageId(IDD_EVENT_LOG);
    EXPECT_EQ("C:\\LOGGING.TXT", sheet_->Text(IDC_EVENT_LOG_FILE));
    // Whatever leaves the field from here on creates a file in the folder.
    sheet_->SetText(IDC_EVENT_LOG_FILE, Path("log.txt").c_str());
    const struct {
        int click;
        UINT enable, save;
        bool saveEnabled, fileEnabled;
    } steps[] = {
        {0, BST_CHECKED, BST_CHECKED, true, true},
        {IDC_EVENT_LOG_ENABLE, BST_UNCHECKED, BST_CHECKED, false, false},
        {IDC_EVENT_LOG_ENABLE, BST_CHECKED, BST_CHECKED, true, true},
        {IDC_EVENT_LOG_SAVE, BST_CHECKED, BST_UNCHECKED, true, false},
        {IDC_EVENT_LOG_ENABLE, BST_UNCHECKED, BST_UNCHECKED, false, false},
        {IDC_EVENT_LOG_ENABLE, BST_CHECKED, BST_UNCHECKED, true, false},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(&step - steps);
        if (step.click != 0)
            sheet_->Click(step.click);
        EXPECT_EQ(step.enable, sheet_->Checked(IDC_EVENT_LOG_ENABLE));
        EXPECT_EQ(step.save, sheet_->Checked(IDC_EVENT_LOG_SAVE));
        EXPECT_EQ(step.saveEnabled, sheet_->Enabled(IDC_EVENT_LOG_SAVE));
        EXPECT_EQ(step.fileEnabled, sheet_->Enabled(IDC_EVENT_LOG_FILE));
    }
    sheet_->PressCancel();
    ASSERT_TRUE(sheet_->WaitClosed());
    EXPECT_EQ(0u, Dword(SERVER_KEY, "Enable"));
    EXPECT_EQ(1u, Dword(SERVER_KEY, "Logging"));
    EXPECT_EQ(3u, Dword(SERVICE_KEY, "Start"));
    EXPECT_EQ(0, ValueCount(HKEY_LOCAL_MACHINE, LOGGING_KEY)); // created by loading only
    EXPECT_EQ("", StandInLog());
    ReplaceImport(library_, "kernel32.dll", "LoadLibraryA", previous);
}

TEST_F(SharingSheet, CancelOnAFreshRegistryWritesNothing)
{
    RegistrySnapshot before = TakeRegistrySnapshot();
    Open();
    sheet_->Click(IDC_NFS_SERVER_ENABLE);
    sheet_->SelectPageId(IDD_EVENT_LOG);
    sheet_->Click(IDC_EVENT_LOG_SAVE);
    sheet_->PressCancel();
    ASSERT_TRUE(sheet_->WaitClosed());
    EXPECT_EQ("", ValueChanges(before, TakeRegistrySnapshot()));
}

// Stored 0, a switch greys what depends on it from the start.
TEST_F(SharingSheet, LoggingPageOpensWithItsControlsFollowingTheStoredSwitches)
{
    const struct {
        DWORD enable, save;
        bool saveEnabled, fileEnabled;
    } cases[] = {{0, 1, false, false}, {1, 0, true, false}};
    for (const auto& c : cases) {
        WriteDword(HKEY_LOCAL_MACHINE, LOGGING_KEY, "Enable", c.enable);
        WriteDword(HKEY_LOCAL_MACHINE, LOGGING_KEY, "Save", c.save);
        sheet_.reset(new SheetDriver);
        Open();
        sheet_->SelectPageId(IDD_EVENT_LOG);
        EXPECT_EQ(c.saveEnabled, sheet_->Enabled(IDC_EVENT_LOG_SAVE)) << c.enable;
        EXPECT_EQ(c.fileEnabled, sheet_->Enabled(IDC_EVENT_LOG_FILE)) << c.enable;
        sheet_->PressCancel();
        ASSERT_TRUE(sheet_->WaitClosed());
    }
}

// The file that the name check missed but that exists by the time it is
// created: the look-up is made to miss it.
static DWORD WINAPI MissingAttributes(LPCSTR)
{
    return INVALID_FILE_ATTRIBUTES;
}

TEST_F(SharingSheet, LogFileThatAppearsBeforeItIsCreatedIsKept)
{
    const std::string log = Path("race.txt");
    HANDLE file = CreateFileA(log.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
    DWORD size = 0;
    WriteFile(file, "12345", 5, &size, NULL);
    CloseHandle(file);
    void* previous =
        ReplaceImport(library_, "kernel32.dll", "GetFileAttributesA", (void*)&MissingAttributes);
    ASSERT_NE(nullptr, previous);
    Open();
    sheet_->SelectPageId(IDD_EVENT_LOG);
    sheet_->SetText(IDC_EVENT_LOG_FILE, log.c_str());
    sheet_->PressOk();
    ASSERT_TRUE(sheet_->WaitClosed());
    ReplaceImport(library_, "kernel32.dll", "GetFileAttributesA", previous);
    ASSERT_TRUE(FileFacts(log, &size));
    EXPECT_EQ(5u, size);
    std::string stored;
    EXPECT_TRUE(ReadString(HKEY_LOCAL_MACHINE, LOGGING_KEY, "File", &stored));
    EXPECT_EQ(log, stored);
}

TEST_F(SharingSheet, LogFileIsCreatedWhenTheNameLeavesTheFieldOrThePage)
{
    const std::string kept = Path("kept.txt");
    HANDLE file = CreateFileA(kept.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
    DWORD size = 99;
    WriteFile(file, "12345", 5, &size, NULL);
    FILETIME old = {0x12345678, 0x01C00000}, time;
    SetFileTime(file, NULL, NULL, &old);
    CloseHandle(file);
    WriteString(HKEY_LOCAL_MACHINE, LOGGING_KEY, "File", kept.c_str());
    Open();
    sheet_->SelectPageId(IDD_EVENT_LOG);
    ASSERT_EQ(kept, sheet_->Text(IDC_EVENT_LOG_FILE));
    sheet_->Command(IDC_EVENT_LOG_FILE, EN_KILLFOCUS);
    ASSERT_TRUE(FileFacts(kept, &size, &time));
    EXPECT_EQ(5u, size);
    EXPECT_EQ(0, CompareFileTime(&old, &time));
    sheet_->SetText(IDC_EVENT_LOG_FILE, Path("new.txt").c_str());
    sheet_->Command(IDC_EVENT_LOG_FILE, EN_KILLFOCUS);
    ASSERT_TRUE(FileFacts(Path("new.txt"), &size));
    EXPECT_EQ(0u, size);

    // A name of the field's full 255 characters is created and stored whole.
    const std::string full = Path(std::string(254 - folder_.size(), 'n'));
    sheet_->SetText(IDC_EVENT_LOG_FILE, full.c_str());
    sheet_->SelectPage(0);
    EXPECT_TRUE(FileFacts(full, &size));
    sheet_->PressApply();
    std::string stored;
    EXPECT_TRUE(ReadString(HKEY_LOCAL_MACHINE, LOGGING_KEY, "File", &stored));
    EXPECT_EQ(full, stored);

    // A name in a folder that does not exist leaves File as it was.
    sheet_->SelectPageId(IDD_EVENT_LOG);
    sheet_->SetText(IDC_EVENT_LOG_FILE, Path("none\\log.txt").c_str());
    sheet_->Click(IDC_EVENT_LOG_SAVE);
    sheet_->PressOk();
    ASSERT_TRUE(sheet_->WaitClosed());
    EXPECT_EQ(1u, Dword(LOGGING_KEY, "Enable"));
    EXPECT_EQ(0u, Dword(LOGGING_KEY, "Save"));
    EXPECT_TRUE(ReadString(HKEY_LOCAL_MACHINE, LOGGING_KEY, "File", &stored));
    EXPECT_EQ(full, stored);
}
