// The Tuning page: retransmission of NFS requests (time-out and back-off in
// the machine mount defaults, retries in the per-user ones), asynchronous
// readahead of the NFS client service and the automounter's idle time-out.
// The time-out and back-off controls are hidden, but their values are
// loaded and written back like the others.
#include "nfsclient.h"
#include "binders.h"
#include "controls.h"
#include "help.h"
#include "pagebindings.h"
#include "registry.h"
#include "resource.h"
#include "settings.h"
#include "sheet.h"
#include "sheetstate.h"
#include "store.h"

static HWND TuningPageWindow;

static void AddItems(HWND page, int id, const char* valueName)
{
    for (const char* const* item = FindNfsSetting(valueName)->Items; *item != NULL; ++item)
        ComboAddString(page, id, *item);
}

// In the order the values are loaded and saved: the machine mount defaults,
// the per-user ones, the service parameters, the automounter.
static const ControlBinding TuningRows[] = {
    {"Timeout", ControlComboNumber, IDC_TUNING_TIMEOUT, 0},
    {"BackoffMultiplier", ControlBoundedInteger, IDC_TUNING_BACKOFF, 0},
    {"Retries", ControlComboNumber, IDC_TUNING_RETRIES, 0},
    {"AsynchReadahead", ControlCheckBox, IDC_TUNING_READAHEAD, 0},
    {"IdleTime", ControlBoundedInteger, IDC_TUNING_IDLE, 0},
};

static const PageBindings Tuning = {
    PageTuning,
    TuningRows,
    (int)(sizeof(TuningRows) / sizeof(TuningRows[0])),
    {GetPageDefault, GetPageDefaultText},
    NULL,
    NULL,
};

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

int TransferTuningPage(int save)
{
    return TransferBindings(TuningPageWindow, &Tuning, save);
}

void ResetTuningPage(HWND window)
{
    HWND page = GetTuningPage(window);
    if (page == NULL) {
        SetTuningResetPending(window, 1);
        return;
    }
    TuningPageWindow = page;
    ShowBindingDefaults(page, &Tuning);
    SetTuningResetPending(window, 0);
}

void CommitTuningReset(HWND window)
{
    if (!GetTuningResetPending(window))
        return;
    CommitBindingDefaults(&Tuning);
}
