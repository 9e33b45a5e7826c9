// Fixture for the NFS client sheet, opened through the real export of the
// built DLL with a registry of its own.
#ifndef ZEVR_TEST_NFS_SHEET_H
#define ZEVR_TEST_NFS_SHEET_H

#include "sandbox.h"
#include "sheet_driver.h"

#include <memory>

#define USER_DEFAULTS "Software\\ZEVR\\CC\\1.0\\zevrnfs\\UserMountDefaults"
#define MACHINE_DEFAULTS "Software\\ZEVR\\CC\\1.0\\zevrnfs\\MachineMountDefaults"
#define SERVICE_PARAMETERS "System\\CurrentControlSet\\Services\\Zevrnfs\\Parameters"
#define AUTH_SERVERS "SOFTWARE\\ZEVR\\CC\\1.0\\zevrnfs\\Authentication\\Servers"
#define AUTOMOUNTER "SOFTWARE\\ZEVR\\CC\\1.0\\zevrnfs\\Automounter"
#define NFS_SHEET_TITLE "Quellmar NFS Client Configuration"

class NfsSheet : public SandboxTest {
  protected:
    void SetUp() override
    {
        library_ = LoadLibraryA("ZEVRNTPS.dll");
        ASSERT_NE(nullptr, library_);
        entry_ = (ZevrEntryPoint)(void (*)())GetProcAddress(library_, "NFSClientProperty");
        ASSERT_NE(nullptr, entry_);
        sheet_.reset(new SheetDriver);
    }
    void TearDown() override
    {
        sheet_.reset(); // closes whatever is still open before the library goes
        if (library_ != NULL)
            FreeLibrary(library_);
    }
    void Open()
    {
        ASSERT_TRUE(sheet_->Open(entry_, NFS_SHEET_TITLE));
    }
    void OkAndClose()
    {
        sheet_->PressOk();
        ASSERT_TRUE(sheet_->WaitClosed());
        EXPECT_EQ("TRUE", sheet_->ResultText());
    }
    void CancelAndClose()
    {
        sheet_->PressCancel();
        ASSERT_TRUE(sheet_->WaitClosed());
    }
    // A fresh driver for a second sheet in the same process.
    void Reopen()
    {
        sheet_.reset(new SheetDriver);
        Open();
    }
    DWORD UserDword(const char* name, DWORD missing = 0xDEADBEEF)
    {
        DWORD value = missing;
        ReadDword(HKEY_CURRENT_USER, USER_DEFAULTS, name, &value);
        return value;
    }
    DWORD MachineDword(const char* name, DWORD missing = 0xDEADBEEF)
    {
        DWORD value = missing;
        ReadDword(HKEY_CURRENT_USER, MACHINE_DEFAULTS, name, &value);
        return value;
    }
    DWORD ServiceDword(const char* name, DWORD missing = 0xDEADBEEF)
    {
        DWORD value = missing;
        ReadDword(HKEY_LOCAL_MACHINE, SERVICE_PARAMETERS, name, &value);
        return value;
    }

    static constexpr DWORD Missing = 0xDEADBEEF;
    HMODULE library_ = NULL;
    ZevrEntryPoint entry_ = NULL;
    std::unique_ptr<SheetDriver> sheet_;
    std::string resultText_;
};

#endif
