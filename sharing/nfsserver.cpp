// The "NFS Server" page: whether the PC's NFS server runs and logs its
// activity, and the start type of its system service, which follows the
// first of the two.
#include "sharing.h"
#include "binders.h"
#include "help.h"
#include "pagebindings.h"
#include "registry.h"
#include "resource.h"
#include "settings.h"
#include "sheet.h"

static HWND NfsServerPageWindow;

// The start type is no control's: it follows Enable on save.
static const ControlBinding NfsServerRows[] = {
    {"Enable", ControlCheckBox, IDC_NFS_SERVER_ENABLE, 0},
    {"Logging", ControlCheckBox, IDC_NFS_SERVER_LOGGING, 0},
};

static const PageBindings NfsServer = {
    PageNfsServer, NfsServerRows, (int)(sizeof(NfsServerRows) / sizeof(NfsServerRows[0])),
    {NULL, NULL},  NULL,          NULL,
};

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
    return TransferBindings(NfsServerPageWindow, &NfsServer, save);
}

// The service starts with the system only while the server is enabled. A
// failure here is not reported: the server's own settings are saved already.
void SetNfsServerStartType(BOOL enabled)
{
    const SettingRow* row = FindPageSetting(PageNfsServer, "Start");
    HKEY key;
    if (CreateRowKey(row, &key) != ERROR_SUCCESS)
        return;
    // The table's first start type is the automatic one, the second on demand.
    SetDwordValue(key, "Start", row->Choices[enabled ? 0 : 1].Number);
    CloseSettingsKey(key);
}
