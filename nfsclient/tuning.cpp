// The Tuning page: retransmission of NFS requests (time-out and back-off in
// the machine mount defaults, retries in the per-user ones), asynchronous
// readahead of the NFS client service and the automounter's idle time-out.
// The time-out and back-off controls are hidden, but their values are
// loaded and written back like the others.
#include "nfsclient.h"
#include "binders.h"
#include "controls.h"
#include "help.h"
#include "registry.h"
#include "resource.h"
#include "settings.h"
#include "sheet.h"
#include "sheetstate.h"
#include "store.h"

static HWND TuningPageWindow;

// The machine-wide values inherit nothing: their defaults are the table's
// fixed ones.
static DWORD FixedDefault(const char* valueName)
{
    return FindNfsSetting(valueName)->DefaultNumber;
}

static void AddItems(HWND page, int id, const char* valueName)
{
    for (const char* const* item = FindNfsSetting(valueName)->Items; *item != NULL; ++item)
        ComboAddString(page, id, *item);
}

// A clamped number field: the table's bounds.
static void BindClamped(HWND page, int id, HKEY key, const char* valueName, DWORD defaultValue,
                        int save)
{
    const SettingRow* row = FindNfsSetting(valueName);
    BindBoundedInteger(page, id, key, valueName, defaultValue, (LONG)row->Minimum,
                       (LONG)row->Maximum, save);
}

void AddTuningPage()
{
    AddPropertyPage(IDD_NFS_TUNING, TuningPageProc);
}

INT_PTR CALLBACK TuningPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TuningPageWindow = window;
    switch (message) {
    case WM_INITDIALOG:
        return InitTuningPage(window);
    case WM_NOTIFY:
        if (((NMHDR*)lParam)->code == (UINT)PSN_APPLY)
            TransferTuningPage(1);
        return FALSE;
    }
    return ContextHelpHandler(window, message, wParam, lParam);
}

BOOL InitTuningPage(HWND page)
{
    SetTuningPage(page, page);
    FillTuningLists();
    TransferTuningPage(0);
    if (GetTuningResetPending(page))
        ResetTuningPage(page);
    return TRUE;
}

void FillTuningLists()
{
    HWND page = TuningPageWindow;
    // The named items for 0: "Automatic" first, "forever" last.
    ComboAddResourceString(page, IDC_TUNING_TIMEOUT, IDS_AUTOMATIC);
    AddItems(page, IDC_TUNING_TIMEOUT, "Timeout");
    AddItems(page, IDC_TUNING_RETRIES, "Retries");
    ComboAddResourceString(page, IDC_TUNING_RETRIES, IDS_FOREVER);
}

// A key that cannot be created ends the transfer: the values of the keys
// after it are neither loaded nor saved.
int TransferTuningPage(int save)
{
    HWND page = TuningPageWindow;
    HKEY key;
    if (CreateSettingsKey(HKEY_CURRENT_USER, GetMachineDefaultsPath(), &key) != ERROR_SUCCESS)
        return 0;
    BindComboNumber(page, IDC_TUNING_TIMEOUT, key, "Timeout", GetInheritedMachineDefault("Timeout"),
                    save);
    BindClamped(page, IDC_TUNING_BACKOFF, key, "BackoffMultiplier",
                GetInheritedMachineDefault("BackoffMultiplier"), save);
    CloseSettingsKey(key);

    if (CreateSettingsKey(HKEY_CURRENT_USER, GetUserDefaultsPath(), &key) != ERROR_SUCCESS)
        return 0;
    BindComboNumber(page, IDC_TUNING_RETRIES, key, "Retries", GetInheritedUserDefault("Retries"),
                    save);
    CloseSettingsKey(key);

    if (CreateServiceParametersKey(&key) != ERROR_SUCCESS)
        return 0;
    BindCheckBox(page, IDC_TUNING_READAHEAD, key, "AsynchReadahead",
                 FixedDefault("AsynchReadahead"), save);
    CloseSettingsKey(key);

    if (CreateSettingsKey(HKEY_LOCAL_MACHINE, GetAutomounterPath(), &key) != ERROR_SUCCESS)
        return 0;
    BindClamped(page, IDC_TUNING_IDLE, key, "IdleTime", FixedDefault("IdleTime"), save);
    CloseSettingsKey(key);
    return 1;
}

void ResetTuningPage(HWND window)
{
    HWND page = GetTuningPage(window);
    if (page == NULL) {
        SetTuningResetPending(window, 1);
        return;
    }
    TuningPageWindow = page;
    ComboSetNumber(page, IDC_TUNING_TIMEOUT, GetInheritedMachineDefault("Timeout"));
    SetDlgItemInt(page, IDC_TUNING_BACKOFF, GetInheritedMachineDefault("BackoffMultiplier"), FALSE);
    ButtonSetCheck(page, IDC_TUNING_READAHEAD, FixedDefault("AsynchReadahead"));
    ComboSetNumber(page, IDC_TUNING_RETRIES, GetInheritedUserDefault("Retries"));
    SetDlgItemInt(page, IDC_TUNING_IDLE, FixedDefault("IdleTime"), FALSE);
    SetTuningResetPending(window, 0);
}

// Unlike the transfer, a key that cannot be created skips only its own
// values here.
void CommitTuningReset(HWND window)
{
    if (!GetTuningResetPending(window))
        return;
    HKEY key;
    if (CreateSettingsKey(HKEY_CURRENT_USER, GetMachineDefaultsPath(), &key) == ERROR_SUCCESS) {
        SetDwordValue(key, "Timeout", GetInheritedMachineDefault("Timeout"));
        SetDwordValue(key, "BackoffMultiplier", GetInheritedMachineDefault("BackoffMultiplier"));
        CloseSettingsKey(key);
    }
    if (CreateSettingsKey(HKEY_CURRENT_USER, GetUserDefaultsPath(), &key) == ERROR_SUCCESS) {
        SetDwordValue(key, "Retries", GetInheritedUserDefault("Retries"));
        CloseSettingsKey(key);
    }
    if (CreateServiceParametersKey(&key) == ERROR_SUCCESS) {
        SetDwordValue(key, "AsynchReadahead", FixedDefault("AsynchReadahead"));
        CloseSettingsKey(key);
    }
    if (CreateSettingsKey(HKEY_LOCAL_MACHINE, GetAutomounterPath(), &key) != ERROR_SUCCESS)
        return;
    SetDwordValue(key, "IdleTime", FixedDefault("IdleTime"));
    CloseSettingsKey(key);
}
