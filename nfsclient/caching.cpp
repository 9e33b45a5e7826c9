// The Caching page: the attribute cache of the per-user mount defaults, and
// the data cache and file-name cache of the NFS client service.
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

static HWND CachingPageWindow;

static const int AttributeCombos[] = {IDC_CACHING_FOLDER_MINIMUM, IDC_CACHING_FOLDER_MAXIMUM,
                                      IDC_CACHING_FILE_MINIMUM, IDC_CACHING_FILE_MAXIMUM};

// In the order the values are loaded and saved: the service parameters,
// then the per-user mount defaults.
static const ControlBinding CachingRows[] = {
    {"CacheSizeK", ControlComboNumber, IDC_CACHING_SIZE, 0},
    {"EnableDataCache", ControlCheckBox, IDC_CACHING_DATA, 0},
    {"NumMappedNames", ControlComboNumber, IDC_CACHING_MAPPINGS, 0},
    {"AttrCacheOff", ControlInvertedCheckBox, IDC_CACHING_ATTRIBUTES, 0},
    {"AttrCacheDirMin", ControlComboNumber, IDC_CACHING_FOLDER_MINIMUM, 0},
    {"AttrCacheDirMax", ControlComboNumber, IDC_CACHING_FOLDER_MAXIMUM, 0},
    {"AttrCacheRegMin", ControlComboNumber, IDC_CACHING_FILE_MINIMUM, 0},
    {"AttrCacheRegMax", ControlComboNumber, IDC_CACHING_FILE_MAXIMUM, 0},
};

static const PageBindings Caching = {
    PageCaching,
    CachingRows,
    (int)(sizeof(CachingRows) / sizeof(CachingRows[0])),
    {GetPageDefault, GetPageDefaultText},
    CheckCachePair,
    NULL,
};

void AddCachingPage()
{
    AddPropertyPage(IDD_NFS_CACHING, CachingPageProc);
}

INT_PTR CALLBACK CachingPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CachingPageWindow = window;
    switch (message) {
    case WM_INITDIALOG:
        return InitCachingPage(window);
    case WM_COMMAND:
        if (wParam == IDC_CACHING_ATTRIBUTES || wParam == IDC_CACHING_DATA) {
            UpdateCachingControls();
            return TRUE;
        }
        break;
    case WM_NOTIFY:
        if (((NMHDR*)lParam)->code == (UINT)PSN_APPLY)
            TransferCachingPage(1);
        return FALSE;
    }
    return ContextHelpHandler(window, message, wParam, lParam);
}

BOOL InitCachingPage(HWND page)
{
    SetCachingPage(page, page);
    FillCachingLists();
    TransferCachingPage(0);
    if (GetCachingResetPending(page))
        ResetCachingPage(page);
    UpdateCachingControls();
    return TRUE;
}

void FillCachingLists()
{
    HWND page = CachingPageWindow;
    // Item by item across the four combos, as the lists are shown.
    const char* const* times = FindNfsSetting("AttrCacheDirMin")->Items;
    for (const char* const* time = times; *time != NULL; ++time)
        for (int id : AttributeCombos)
            ComboAddString(page, id, *time);
    // The named item for 0 ("Automatic") leads the size list.
    ComboAddResourceString(page, IDC_CACHING_SIZE, IDS_AUTOMATIC);
    for (const char* const* size = FindNfsSetting("CacheSizeK")->Items; *size != NULL; ++size)
        ComboAddString(page, IDC_CACHING_SIZE, *size);
    for (const char* const* count = FindNfsSetting("NumMappedNames")->Items; *count != NULL;
         ++count)
        ComboAddString(page, IDC_CACHING_MAPPINGS, *count);
}

// A pair out of order keeps both of its stored values.
int TransferCachingPage(int save)
{
    return TransferBindings(CachingPageWindow, &Caching, save);
}

int CheckCachePair(int minimumId, int maximumId)
{
    DWORD minimum = 0;
    DWORD maximum = 0;
    if (!ComboGetNumber(CachingPageWindow, minimumId, &minimum) ||
        !ComboGetNumber(CachingPageWindow, maximumId, &maximum))
        return 0;
    return IsPairInOrder(minimum, maximum);
}

void UpdateCachingControls()
{
    HWND page = CachingPageWindow;
    BOOL attributes = ButtonGetCheck(page, IDC_CACHING_ATTRIBUTES) == BST_CHECKED;
    static const int attributeControls[] = {
        IDC_CACHING_FOLDER_LABEL,    IDC_CACHING_FILE_LABEL,     IDC_CACHING_MINIMUM_HEADING,
        IDC_CACHING_MAXIMUM_HEADING, IDC_CACHING_FOLDER_MINIMUM, IDC_CACHING_FOLDER_MAXIMUM,
        IDC_CACHING_FILE_MINIMUM,    IDC_CACHING_FILE_MAXIMUM};
    for (int id : attributeControls)
        EnableControl(page, id, attributes);
    BOOL data = ButtonGetCheck(page, IDC_CACHING_DATA) == BST_CHECKED;
    EnableControl(page, IDC_CACHING_SIZE, data);
    EnableControl(page, IDC_CACHING_SIZE_LABEL, data);
    MarkPageChanged(page);
}

void ResetCachingPage(HWND window)
{
    HWND page = GetCachingPage(window);
    if (page == NULL) {
        SetCachingResetPending(window, 1);
        return;
    }
    CachingPageWindow = page;
    ShowBindingDefaults(page, &Caching);
    UpdateCachingControls();
    SetCachingResetPending(window, 0);
}

void CommitCachingReset(HWND window)
{
    if (!GetCachingResetPending(window))
        return;
    CommitBindingDefaults(&Caching);
}
