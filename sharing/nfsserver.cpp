// The "NFS Server" page: whether the PC's NFS server runs and logs its
// activity, and the start type of its system service, which follows the
// first of the two.
#include "sharing.h"
#include "binders.h"
#include "help.h"
#include "registry.h"
#include "resource.h"
#include "settings.h"
#include "sheet.h"

static HWND NfsServerPageWindow;

static const char ServerKeyPath[] = "zevrnfsd";
static const char ServiceKeyPath[] = "SYSTEM\\CurrentControlSet\\Services\\Quellmar NFS Server";

static DWORD FixedDefault(const char* valueName)
{
    return FindSettingInKey(HiveMachine, ServerKeyPath, valueName)->DefaultNumber;
}

void AddNfsServerPage()
{
    AddPropertyPage(IDD_NFS_SERVER, NfsServerPageProc);
}

INT_PTR CALLBACK NfsServerPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        NfsServerPageWindow = window;
        TransferNfsServerPage(0);
        return TRUE;
    case WM_NOTIFY:
        if (((NMHDR*)lParam)->code == (UINT)PSN_APPLY) {
            // Taken before the save, whose failure box runs a message loop
            // of its own.
            BOOL enabled = IsDlgButtonChecked(window, IDC_NFS_SERVER_ENABLE) != BST_UNCHECKED;
            TransferNfsServerPage(1);
            SetNfsServerStartType(enabled);
        }
        return FALSE;
    }
    // The check boxes toggle by themselves; every click marks the page
    // changed there.
    return ContextHelpHandler(window, message, wParam, lParam);
}

int TransferNfsServerPage(int save)
{
    HWND page = NfsServerPageWindow;
    HKEY key;
    if (CreateSettingsKey(HKEY_LOCAL_MACHINE, ServerKeyPath, &key) != ERROR_SUCCESS)
        return 0;
    BindCheckBox(page, IDC_NFS_SERVER_ENABLE, key, "Enable", FixedDefault("Enable"), save);
    BindCheckBox(page, IDC_NFS_SERVER_LOGGING, key, "Logging", FixedDefault("Logging"), save);
    CloseSettingsKey(key);
    return 1;
}

// The service starts with the system only while the server is enabled. A
// failure here is not reported: the server's own settings are saved already.
void SetNfsServerStartType(BOOL enabled)
{
    HKEY key;
    if (CreateKeyAbsolute(HKEY_LOCAL_MACHINE, ServiceKeyPath, &key) != ERROR_SUCCESS)
        return;
    // The table's first start type is the automatic one, the second on demand.
    const SettingRow* row = FindSettingInKey(HiveMachine, ServiceKeyPath, "Start");
    SetDwordValue(key, "Start", row->Choices[enabled ? 0 : 1].Number);
    CloseSettingsKey(key);
}
