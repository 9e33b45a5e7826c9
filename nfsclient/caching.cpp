// The Caching page: the attribute cache of the per-user mount defaults, and
// the data cache and file-name cache of the NFS client service.
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

static HWND CachingPageWindow;

static const int AttributeCombos[] = {IDC_CACHING_FOLDER_MINIMUM, IDC_CACHING_FOLDER_MAXIMUM,
                                      IDC_CACHING_FILE_MINIMUM, IDC_CACHING_FILE_MAXIMUM};
static const char* const AttributeValues[] = {"AttrCacheDirMin", "AttrCacheDirMax",
                                              "AttrCacheRegMin", "AttrCacheRegMax"};

// The service parameters inherit nothing: their defaults are the table's
// fixed ones.
static DWORD FixedDefault(const char* valueName)
{
    return FindNfsSetting(valueName)->DefaultNumber;
}

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
    const char* const* times = FindNfsSetting(AttributeValues[0])->Items;
    for (const char* const* time = times; *time != NULL; ++time)
        for (int id : AttributeCombos)
            ComboAddString(page, id, *time);
    // The named item for 0 ("Automatic") leads the size list.
    ComboAddResourceString(page, IDC_CACHING_SIZE, 11);
    for (const char* const* size = FindNfsSetting("CacheSizeK")->Items; *size != NULL; ++size)
        ComboAddString(page, IDC_CACHING_SIZE, *size);
    for (const char* const* count = FindNfsSetting("NumMappedNames")->Items; *count != NULL;
         ++count)
        ComboAddString(page, IDC_CACHING_MAPPINGS, *count);
}

// Binds one minimum/maximum pair; on save only when the pair is in order.
static void TransferCachePair(HKEY key, int pair, int save)
{
    int minimumId = AttributeCombos[pair * 2];
    int maximumId = AttributeCombos[pair * 2 + 1];
    if (save && !CheckCachePair(minimumId, maximumId))
        return;
    for (int i = pair * 2; i < pair * 2 + 2; ++i)
        BindComboNumber(CachingPageWindow, AttributeCombos[i], key, AttributeValues[i],
                        GetInheritedUserDefault(AttributeValues[i]), save);
}

int TransferCachingPage(int save)
{
    HWND page = CachingPageWindow;
    HKEY key;
    if (CreateServiceParametersKey(&key) != ERROR_SUCCESS)
        return 0;
    BindComboNumber(page, IDC_CACHING_SIZE, key, "CacheSizeK", FixedDefault("CacheSizeK"), save);
    BindCheckBox(page, IDC_CACHING_DATA, key, "EnableDataCache", FixedDefault("EnableDataCache"),
                 save);
    BindComboNumber(page, IDC_CACHING_MAPPINGS, key, "NumMappedNames",
                    FixedDefault("NumMappedNames"), save);
    CloseSettingsKey(key);

    if (CreateSettingsKey(HKEY_CURRENT_USER, GetUserDefaultsPath(), &key) != ERROR_SUCCESS)
        return 0;
    BindInvertedCheckBox(page, IDC_CACHING_ATTRIBUTES, key, "AttrCacheOff",
                         GetInheritedUserDefault("AttrCacheOff"), save);
    TransferCachePair(key, 0, save);
    TransferCachePair(key, 1, save);
    CloseSettingsKey(key);
    return 1;
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
    ComboSetNumber(page, IDC_CACHING_SIZE, FixedDefault("CacheSizeK"));
    ButtonSetCheck(page, IDC_CACHING_ATTRIBUTES,
                   GetInheritedUserDefault("AttrCacheOff") == 0 ? BST_CHECKED : BST_UNCHECKED);
    ButtonSetCheck(page, IDC_CACHING_DATA, FixedDefault("EnableDataCache"));
    for (int i = 0; i < 4; ++i)
        ComboSetNumber(page, AttributeCombos[i], GetInheritedUserDefault(AttributeValues[i]));
    ComboSetNumber(page, IDC_CACHING_MAPPINGS, FixedDefault("NumMappedNames"));
    UpdateCachingControls();
    SetCachingResetPending(window, 0);
}

void CommitCachingReset(HWND window)
{
    if (!GetCachingResetPending(window))
        return;
    HKEY key;
    if (CreateServiceParametersKey(&key) == ERROR_SUCCESS) {
        SetDwordValue(key, "CacheSizeK", FixedDefault("CacheSizeK"));
        SetDwordValue(key, "EnableDataCache", FixedDefault("EnableDataCache"));
        SetDwordValue(key, "NumMappedNames", FixedDefault("NumMappedNames"));
        CloseSettingsKey(key);
    }
    if (CreateSettingsKey(HKEY_CURRENT_USER, GetUserDefaultsPath(), &key) != ERROR_SUCCESS)
        return;
    SetDwordValue(key, "AttrCacheOff", GetInheritedUserDefault("AttrCacheOff"));
    for (const char* name : AttributeValues)
        SetDwordValue(key, name, GetInheritedUserDefault(name));
    CloseSettingsKey(key);
}
