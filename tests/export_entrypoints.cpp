// The built ZEVRNTPS.dll through its exports, as network setup calls it, with
// the stand-in companion libraries beside it.
#include "iat.h"
#include "sandbox.h"
#include "zevrntps.h"

#include <commctrl.h>
#include <string>

// The library, loaded for one test and freed after it.
class Exports : public SandboxTest {
  protected:
    void SetUp() override
    {
        library_ = LoadLibraryA("ZEVRNTPS.dll");
        ASSERT_NE(nullptr, library_);
    }
    void TearDown() override
    {
        if (library_ != NULL)
            FreeLibrary(library_);
    }
    ZevrEntryPoint Entry(const char* name)
    {
        return (ZevrEntryPoint)(void (*)())GetProcAddress(library_, name);
    }
    // Calls an export the way a setup script does.
    std::string Call(const char* name, const char* parent = "0", BOOL* returned = NULL)
    {
        char text[64];
        lstrcpynA(text, parent, sizeof(text));
        char* argv[2] = {text, NULL};
        char* result = NULL;
        BOOL value = Entry(name)(1, argv, &result);
        if (returned != NULL)
            *returned = value;
        return result != NULL ? result : "(none)";
    }
    HMODULE library_ = NULL;
};

TEST_F(Exports, ExactlyTheFiveEntryPointsByName)
{
    for (const char* name :
         {"NFSClientProperty", "NISProperty", "NISInstall", "NISRemove", "PrintSharingProperty"})
        EXPECT_NE(nullptr, Entry(name)) << name;
    BYTE* base = (BYTE*)library_;
    IMAGE_NT_HEADERS* nt = (IMAGE_NT_HEADERS*)(base + ((IMAGE_DOS_HEADER*)base)->e_lfanew);
    IMAGE_EXPORT_DIRECTORY* exports =
        (IMAGE_EXPORT_DIRECTORY*)(base +
                                  nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT]
                                      .VirtualAddress);
    EXPECT_EQ(5u, exports->NumberOfNames);
    EXPECT_EQ(5u, exports->NumberOfFunctions);
}

TEST_F(Exports, InstallAndRemoveCallTheProviderAndSayTrue)
{
    BOOL returned = FALSE;
    EXPECT_EQ("TRUE", Call("NISInstall", "0", &returned));
    EXPECT_TRUE(returned);
    EXPECT_EQ("ZEVRNISC load;__NSPInstallNS;ZEVRNISC unload;", StandInLog());
    EXPECT_EQ("TRUE", Call("NISRemove", "0", &returned));
    EXPECT_TRUE(returned);
    EXPECT_EQ("ZEVRNISC load;__NSPInstallNS;ZEVRNISC unload;"
              "ZEVRNISC load;__NSPRemoveNS;ZEVRNISC unload;",
              StandInLog());
}

TEST_F(Exports, NullArgumentsAreSurvived)
{
    EXPECT_TRUE(Entry("NISInstall")(0, NULL, NULL));
    EXPECT_TRUE(Entry("NISRemove")(0, NULL, NULL));
    char* result = NULL;
    EXPECT_TRUE(Entry("NISInstall")(0, NULL, &result));
    ASSERT_NE(nullptr, result);
    EXPECT_STREQ("TRUE", result);
}

// PropertySheetA stand-ins: Wine cannot be made to fail the real one.
static INT_PTR FakeSheetResult;
static std::string FakeSheetTitle;
static HWND FakeSheetParent;
static UINT FakeSheetPages;
static INT_PTR WINAPI FakePropertySheet(LPCPROPSHEETHEADERA header)
{
    FakeSheetTitle = header->pszCaption != NULL ? header->pszCaption : "(null)";
    FakeSheetParent = header->hwndParent;
    FakeSheetPages = header->nPages;
    AppendStandInLog("PropertySheetA");
    return FakeSheetResult;
}

class ExportsWithFakeSheet : public Exports {
  protected:
    void SetUp() override
    {
        Exports::SetUp();
        previous_ =
            ReplaceImport(library_, "comctl32.dll", "PropertySheetA", (void*)&FakePropertySheet);
        ASSERT_NE(nullptr, previous_);
    }
    void TearDown() override
    {
        ReplaceImport(library_, "comctl32.dll", "PropertySheetA", previous_);
        Exports::TearDown();
    }
    void* previous_ = NULL;
};

TEST_F(ExportsWithFakeSheet, ResultTextFollowsTheSheetResult)
{
    const struct {
        const char* name;
        const char* title;
    } sheets[] = {
        {"NFSClientProperty", "Quellmar NFS Client Configuration"},
        {"PrintSharingProperty", "Quellmar File Sharing Configuration"},
        {"NISProperty", "Quellmar NIS/NIS+ Name Service Configuration"},
    };
    for (const auto& sheet : sheets) {
        SCOPED_TRACE(sheet.name);
        BOOL returned = FALSE;
        FakeSheetResult = 0;
        EXPECT_EQ("FALSE", Call(sheet.name, "1A2B", &returned));
        EXPECT_TRUE(returned);
        EXPECT_EQ(sheet.title, FakeSheetTitle);
        EXPECT_EQ((HWND)0x1A2B, FakeSheetParent);
        FakeSheetResult = 1;
        EXPECT_EQ("TRUE", Call(sheet.name, "", &returned));
        EXPECT_EQ(nullptr, FakeSheetParent);
        FakeSheetResult = ID_PSREBOOTSYSTEM;
        EXPECT_EQ("TRUE", Call(sheet.name));
        // A sheet that could not be created still reads as "TRUE".
        FakeSheetResult = -1;
        EXPECT_EQ("TRUE", Call(sheet.name, "", &returned));
        EXPECT_TRUE(returned);
    }
}

TEST_F(ExportsWithFakeSheet, ParentArgumentIsHexadecimalWithoutPrefix)
{
    FakeSheetResult = 1;
    Call("NFSClientProperty", "0x1A2B");
    EXPECT_EQ(nullptr, FakeSheetParent);
    Call("NFSClientProperty", "ffff");
    EXPECT_EQ((HWND)0xFFFF, FakeSheetParent);
    std::string overlong(200, '1');
    Call("NFSClientProperty", overlong.substr(0, 63).c_str());
    EXPECT_EQ((HWND)LongToHandle((LONG)0xFFFFFFFF), FakeSheetParent);
    // No argument strings at all: no parent, and no crash.
    char* result = NULL;
    EXPECT_TRUE(Entry("NFSClientProperty")(0, NULL, &result));
    EXPECT_EQ(nullptr, FakeSheetParent);
    EXPECT_TRUE(Entry("NFSClientProperty")(0, NULL, NULL));
}

TEST_F(ExportsWithFakeSheet, NameServiceSheetSetsTheOrderAfterTheSheet)
{
    for (INT_PTR sheetResult : {(INT_PTR)1, (INT_PTR)0, (INT_PTR)-1}) {
        SCOPED_TRACE(sheetResult);
        WriteString(HKEY_CURRENT_USER, "ZevrStandIns", "Log", "");
        FakeSheetResult = sheetResult;
        Call("NISProperty");
        EXPECT_EQ("PropertySheetA;ZEVRNISC load;__NSPSetNSOrder;ZEVRNISC unload;", StandInLog());
    }
}

TEST_F(ExportsWithFakeSheet, SecondSheetResetsThePageCount)
{
    FakeSheetResult = 1;
    Call("NFSClientProperty");
    UINT first = FakeSheetPages;
    Call("NFSClientProperty");
    EXPECT_EQ(first, FakeSheetPages);
}

// Runs the setup host from bin/<folder> and returns what it printed.
static std::string RunSetupHost(const std::string& folder, const std::string& arguments,
                                DWORD* exitCode)
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof(self));
    std::string dir(self);
    dir = dir.substr(0, dir.find_last_of('\\'));
    if (!folder.empty())
        dir += "\\" + folder;
    std::string command = "\"" + dir + "\\setuphost.exe\" " + arguments;

    // The host writes into a file, not a pipe: a pipe would stay open as
    // long as any Wine helper process it started inherits it.
    char tempDir[MAX_PATH], outputPath[MAX_PATH];
    GetTempPathA(sizeof(tempDir), tempDir);
    GetTempFileNameA(tempDir, "zsh", 0, outputPath);
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), NULL, TRUE};
    HANDLE file = CreateFileA(outputPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, NULL);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file;
    startup.hStdError = file;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    std::string output = "(not started)";
    if (CreateProcessA(NULL, &command[0], NULL, NULL, TRUE, 0, NULL, dir.c_str(), &startup,
                       &process)) {
        if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 99);
        GetExitCodeProcess(process.hProcess, exitCode);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        output.clear();
    }
    CloseHandle(file);
    HANDLE reader = CreateFileA(outputPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, 0, NULL);
    char buffer[4096];
    DWORD read;
    while (ReadFile(reader, buffer, sizeof(buffer), &read, NULL) && read > 0)
        output.append(buffer, read);
    CloseHandle(reader);
    DeleteFileA(outputPath);
    return output;
}

// The host redirects its own registry below the real HKEY_CURRENT_USER;
// this test's sandbox lives there too, so the host writes into it.
class SetupHost : public SandboxTest {
  protected:
    std::string Run(const std::string& folder, const std::string& exportName, DWORD* exitCode)
    {
        return RunSetupHost(folder, "--registry " + sandbox_.ScratchPath() + "\\host " + exportName,
                            exitCode);
    }
};

TEST_F(SetupHost, InstallsThroughTheProvider)
{
    DWORD exitCode = 99;
    std::string output = Run("", "NISInstall", &exitCode);
    EXPECT_EQ(0u, exitCode);
    EXPECT_NE(std::string::npos, output.find("NISInstall returned TRUE; result text \"TRUE\""))
        << output;
    EXPECT_NE(std::string::npos,
              output.find("companion libraries: ZEVRNISC load;__NSPInstallNS;ZEVRNISC unload;"))
        << output;
}

TEST_F(SetupHost, MissingProviderStillSaysTrue)
{
    DWORD exitCode = 99;
    std::string output = Run("noprovider", "NISRemove", &exitCode);
    EXPECT_EQ(0u, exitCode);
    EXPECT_NE(std::string::npos, output.find("NISRemove returned TRUE; result text \"TRUE\""))
        << output;
    EXPECT_EQ(std::string::npos, output.find("companion libraries")) << output;
}

TEST_F(SetupHost, ProviderWithoutTheExportIsLoadedAndFreedOnly)
{
    DWORD exitCode = 99;
    std::string output = Run("bareprovider", "NISInstall", &exitCode);
    EXPECT_EQ(0u, exitCode);
    EXPECT_NE(std::string::npos, output.find("NISInstall returned TRUE; result text \"TRUE\""))
        << output;
    EXPECT_NE(std::string::npos, output.find("companion libraries: ZEVRNISC load;ZEVRNISC unload;"))
        << output;
}

TEST_F(SetupHost, UnknownExportIsRefused)
{
    DWORD exitCode = 0;
    std::string output = Run("", "DllMain", &exitCode);
    EXPECT_EQ(2u, exitCode);
    EXPECT_NE(std::string::npos, output.find("no export DllMain")) << output;
}
