// The NIS/NIS+ page: which name service is in use (at most one), the
// servers of each, the name service domain, and the order in which the
// Windows default resolution and the services are searched. Everything
// lives in NameServiceOptions; whether a service is enabled is carried by
// its code in SearchOrder.
#include "nameservice.h"
#include "binders.h"
#include "controls.h"
#include "help.h"
#include "nistext.h"
#include "pagebindings.h"
#include "registry.h"
#include "resource.h"
#include "settings.h"
#include "sheet.h"

#include <string.h>

enum {
    WindowsDefaultSize = 40,
    SearchOrderSize = 35,
    DomainSize = 256,
    MaxServers = 10,
};

static HWND NisPageWindow;

static const SettingRow* OptionSetting(const char* valueName)
{
    return FindPageSetting(PageNis, valueName);
}

// The search order's entries, in the order of the table's codes; the
// Windows default's list text comes from the string table instead.
enum { WindowsEntry, NisEntry, NisplusEntry };

static char SearchCode(int entry)
{
    return OptionSetting("SearchOrder")->Choices[entry].Text[0];
}

static const char* ServiceText(int entry)
{
    return OptionSetting("SearchOrder")->Choices[entry].Shown;
}
static char WindowsDefaultText[WindowsDefaultSize];
static WNDPROC SavedAddressProc;

void AddNisPage()
{
    AddPropertyPage(IDD_NIS, NisPageProc);
}

static int IsChecked(int id)
{
    return ButtonGetCheck(NisPageWindow, id) == BST_CHECKED;
}

static int MoveSearchOrderUp();
static int MoveSearchOrderDown();
static void AddServer(int addressId, int listId);
static void RemoveServer(int listId);

static const char* ServerValueName(int listId)
{
    return listId == IDC_NIS_LIST ? "NisServers" : "NisplusServers";
}

// 1 when the command was handled here; such commands do not mark the page
// changed.
static int NisPageCommand(int id)
{
    switch (id) {
    case IDC_NIS_ADD:
        AddServer(IDC_NIS_ADDRESS, IDC_NIS_LIST);
        return 1;
    case IDC_NIS_REMOVE:
        RemoveServer(IDC_NIS_LIST);
        return 1;
    case IDC_NISPLUS_ADD:
        AddServer(IDC_NISPLUS_ADDRESS, IDC_NISPLUS_LIST);
        return 1;
    case IDC_NISPLUS_REMOVE:
        RemoveServer(IDC_NISPLUS_LIST);
        return 1;
    case IDC_NIS_ORDER:
        RefreshNisPage();
        return 1;
    case IDC_NIS_ENABLE:
        ReleaseValue("SearchOrder");
        ButtonSetCheck(NisPageWindow, IDC_NISPLUS_ENABLE, BST_UNCHECKED);
        RefreshNisPage();
        return 1;
    case IDC_NISPLUS_ENABLE:
        ReleaseValue("SearchOrder");
        ButtonSetCheck(NisPageWindow, IDC_NIS_ENABLE, BST_UNCHECKED);
        RefreshNisPage();
        return 1;
    case IDC_NIS_UP:
        return MoveSearchOrderUp();
    case IDC_NIS_DOWN:
        return MoveSearchOrderDown();
    }
    return 0;
}

INT_PTR CALLBACK NisPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return InitNisPage(page);
    case WM_NOTIFY: {
        UINT code = ((NMHDR*)lParam)->code;
        if (code == (UINT)PSN_KILLACTIVE) {
            if (ValidateNisPage())
                return FALSE;
            SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_INVALID_NOCHANGEPAGE);
            return TRUE;
        }
        if (code == (UINT)PSN_APPLY) {
            // Passes: the sheet has just sent PSN_KILLACTIVE.
            ValidateNisPage();
            TransferNisPage(1);
        }
        return FALSE;
    }
    case WM_COMMAND:
        if (NisPageCommand(LOWORD(wParam)))
            return TRUE;
        break;
    }
    return ContextHelpHandler(page, message, wParam, lParam);
}

LRESULT CALLBACK NisAddressHookProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_HELP:
        // Help for a field is the help of the whole control.
        if (lParam != 0)
            ((HELPINFO*)lParam)->iCtrlId = GetDlgCtrlID(control);
        break;
    case WM_CONTEXTMENU:
        wParam = (WPARAM)control;
        break;
    case WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE)
            RefreshNisPage();
        break;
    case WM_CTLCOLOREDIT:
        return SendMessageA(NisPageWindow, message, wParam, lParam);
    }
    return CallWindowProcA(SavedAddressProc, control, message, wParam, lParam);
}

BOOL InitNisPage(HWND page)
{
    NisPageWindow = page;
    const char* text = LoadMessageText(NULL, IDS_WINDOWS_DEFAULT);
    lstrcpynA(WindowsDefaultText, text != NULL ? text : "", sizeof(WindowsDefaultText));
    // Both controls are of the one class: one saved procedure serves them.
    SavedAddressProc = SetControlWindowProc(page, IDC_NIS_ADDRESS, NisAddressHookProc);
    SetControlWindowProc(page, IDC_NISPLUS_ADDRESS, NisAddressHookProc);
    EditLimitText(page, IDC_NIS_DOMAIN, DomainSize - 1);
    TransferNisPage(0);
    RefreshNisPage();
    return TRUE;
}

// Whole entries only, and never past the buffer: an entry that no longer
// fits ends the stored list. Entries are read whole, so that one loaded from
// a longer stored text is kept as it was. 1 when every entry went in.
static int JoinServerList(int listId, char* buffer)
{
    buffer[0] = '\0';
    char item[ServerListSize];
    LRESULT count = ListGetCount(NisPageWindow, listId);
    for (int i = 0; i < count; ++i) {
        if (!ListGetItemText(NisPageWindow, listId, i, item, sizeof(item)) ||
            !AppendServerItem(buffer, ServerListSize, item))
            return 0;
    }
    return 1;
}

static void TransferServerList(HKEY key, const char* valueName, int listId, int save)
{
    HWND page = NisPageWindow;
    char* buffer = (char*)AllocMemory(ServerListSize);
    if (buffer == NULL)
        return;
    if (save) {
        // A list too long to show stays as stored until Add or Remove.
        if (!IsValueKept(valueName)) {
            JoinServerList(listId, buffer);
            SetStringValue(key, valueName, buffer);
        }
    } else {
        DWORD size = ServerListSize;
        TextReadResult read = ReadStringValue(key, valueName, buffer, &size);
        if (read == TextTooLong)
            KeepValue(valueName);
        else
            ReleaseValue(valueName);
        if (read == TextRead) {
            const char* items[MaxServerItems];
            int count = SplitServerList(buffer, items, MaxServerItems);
            for (int i = 0; i < count; ++i)
                ListAddString(page, listId, items[i]);
            if (count > 0)
                ListSetSelection(page, listId, 0);
        }
    }
    FreeMemory(buffer);
}

static void ApplySearchOrderCode(char code)
{
    HWND page = NisPageWindow;
    const char* text = NULL;
    int checkId = 0;
    if (code == SearchCode(WindowsEntry)) {
        // One entry however often the code is stored, or it would be saved
        // back repeated.
        if (ListFindExact(page, IDC_NIS_ORDER, WindowsDefaultText) != LB_ERR)
            return;
        ListSetSelection(page, IDC_NIS_ORDER,
                         (int)ListAddString(page, IDC_NIS_ORDER, WindowsDefaultText));
        return;
    }
    if (code == SearchCode(NisEntry)) {
        text = ServiceText(NisEntry);
        checkId = IDC_NIS_ENABLE;
    } else if (code == SearchCode(NisplusEntry)) {
        text = ServiceText(NisplusEntry);
        checkId = IDC_NISPLUS_ENABLE;
    } else {
        return;
    }
    // Only the first service code counts, and only once.
    if (IsChecked(IDC_NIS_ENABLE) || IsChecked(IDC_NISPLUS_ENABLE))
        return;
    LRESULT index = ListAddString(page, IDC_NIS_ORDER, text);
    ButtonSetCheck(page, checkId, BST_CHECKED);
    ListSetSelection(page, IDC_NIS_ORDER, (int)index);
}

static void EncodeSearchOrder(char* codes)
{
    int used = 0;
    LRESULT count = ListGetCount(NisPageWindow, IDC_NIS_ORDER);
    for (int i = 0; i < count && used < SearchOrderSize - 1; ++i) {
        char item[ServerTextSize];
        if (!ListGetItemText(NisPageWindow, IDC_NIS_ORDER, i, item, sizeof(item)))
            break;
        if (strcmp(item, WindowsDefaultText) == 0)
            codes[used++] = SearchCode(WindowsEntry);
        else if (strcmp(item, ServiceText(NisEntry)) == 0)
            codes[used++] = SearchCode(NisEntry);
        else if (strcmp(item, ServiceText(NisplusEntry)) == 0)
            codes[used++] = SearchCode(NisplusEntry);
    }
    codes[used] = '\0';
}

static void TransferSearchOrder(HKEY key, int save)
{
    HWND page = NisPageWindow;
    char codes[SearchOrderSize] = "";
    if (save) {
        // An order too long to show stays as stored until the user moves
        // an entry or enables a service.
        if (IsValueKept("SearchOrder"))
            return;
        EncodeSearchOrder(codes);
        SetStringValue(key, "SearchOrder", codes);
        return;
    }
    ButtonSetCheck(page, IDC_NIS_ENABLE, BST_UNCHECKED);
    ButtonSetCheck(page, IDC_NISPLUS_ENABLE, BST_UNCHECKED);
    DWORD size = sizeof(codes);
    TextReadResult read = ReadStringValue(key, "SearchOrder", codes, &size);
    if (read == TextTooLong)
        KeepValue("SearchOrder");
    else
        ReleaseValue("SearchOrder");
    if (read != TextRead)
        lstrcpyA(codes, OptionSetting("SearchOrder")->DefaultText);
    for (const char* code = codes; *code != '\0'; ++code)
        ApplySearchOrderCode(*code);
}

void TransferNisPage(int save)
{
    // The lists and the search order are moved by hand: each is more than
    // one control's value.
    HKEY key;
    if (CreateRowKey(OptionSetting("Domain"), &key) != ERROR_SUCCESS)
        return;
    BindEditText(NisPageWindow, IDC_NIS_DOMAIN, key, "Domain", OptionSetting("Domain")->DefaultText,
                 save, DomainSize);
    TransferServerList(key, "NisServers", IDC_NIS_LIST, save);
    TransferServerList(key, "NisplusServers", IDC_NISPLUS_LIST, save);
    TransferSearchOrder(key, save);
    CloseSettingsKey(key);
}

// Keeps a service's search-order entry present exactly while it is enabled.
static void SyncSearchOrderEntry(int checkId, const char* text)
{
    HWND page = NisPageWindow;
    LRESULT index;
    if (IsChecked(checkId)) {
        index = ListFindExact(page, IDC_NIS_ORDER, text);
        if (index == LB_ERR)
            index = ListAddString(page, IDC_NIS_ORDER, text);
    } else {
        index = ListDeleteMatching(page, IDC_NIS_ORDER, text);
    }
    if (ListGetSelection(page, IDC_NIS_ORDER) == LB_ERR && index >= 1 &&
        index - 1 < ListGetCount(page, IDC_NIS_ORDER))
        ListSetSelection(page, IDC_NIS_ORDER, (int)(index - 1));
}

static void UpdateMoveButtons()
{
    LRESULT selection = ListGetSelection(NisPageWindow, IDC_NIS_ORDER);
    LRESULT count = ListGetCount(NisPageWindow, IDC_NIS_ORDER);
    EnableControl(NisPageWindow, IDC_NIS_UP, selection != 0);
    EnableControl(NisPageWindow, IDC_NIS_DOWN, count - selection - 1 != 0);
}

void RefreshNisPage()
{
    HWND page = NisPageWindow;
    char address[IPAddressTextSize];
    int nis = IsChecked(IDC_NIS_ENABLE);
    int nisServers = ListGetCount(page, IDC_NIS_LIST) != 0;
    int nisAddress = GetIPAddressText(page, IDC_NIS_ADDRESS, address);
    int nisplus = IsChecked(IDC_NISPLUS_ENABLE);
    int nisplusServers = ListGetCount(page, IDC_NISPLUS_LIST) != 0;
    int nisplusAddress = GetIPAddressText(page, IDC_NISPLUS_ADDRESS, address);

    static const int nisControls[] = {IDC_NIS_LABEL, IDC_NIS_LIST, IDC_NIS_ADDRESS};
    static const int nisplusControls[] = {IDC_NISPLUS_LABEL, IDC_NISPLUS_LIST, IDC_NISPLUS_ADDRESS};
    for (int id : nisControls)
        EnableControl(page, id, nis);
    EnableControl(page, IDC_NIS_REMOVE, nis && nisServers);
    EnableControl(page, IDC_NIS_ADD, nis && nisAddress);
    for (int id : nisplusControls)
        EnableControl(page, id, nisplus);
    EnableControl(page, IDC_NISPLUS_REMOVE, nisplus && nisplusServers);
    EnableControl(page, IDC_NISPLUS_ADD, nisplus && nisplusAddress);
    EnableControl(page, IDC_NIS_DOMAIN_LABEL, nis || nisplus);
    EnableControl(page, IDC_NIS_DOMAIN, nis || nisplus);

    SyncSearchOrderEntry(IDC_NIS_ENABLE, ServiceText(NisEntry));
    SyncSearchOrderEntry(IDC_NISPLUS_ENABLE, ServiceText(NisplusEntry));
    UpdateMoveButtons();
    // While one service is enabled, the other cannot be.
    EnableControl(page, IDC_NIS_ENABLE, !nisplus);
    EnableControl(page, IDC_NISPLUS_ENABLE, !nis);
}

static int CanAddServer(int listId, const char* address)
{
    LRESULT count = ListGetCount(NisPageWindow, listId);
    if (count == LB_ERR || count == 0)
        return 1;
    // A long stored list can load more than ten.
    if (count >= MaxServers)
        return 0;
    for (int i = 0; i < count; ++i) {
        char item[ServerTextSize];
        if (ListGetItemText(NisPageWindow, listId, i, item, sizeof(item)) &&
            strcmp(item, address) == 0)
            return 0;
    }
    // The stored form must hold the new entry too, or saving would drop it.
    char* joined = (char*)AllocMemory(ServerListSize);
    if (joined == NULL)
        return 0;
    int fits = JoinServerList(listId, joined) && AppendServerItem(joined, ServerListSize, address);
    FreeMemory(joined);
    return fits;
}

static void AddServer(int addressId, int listId)
{
    char address[IPAddressTextSize];
    if (!GetIPAddressText(NisPageWindow, addressId, address) || !CanAddServer(listId, address))
        return;
    LRESULT index = ListAddString(NisPageWindow, listId, address);
    ListSetSelection(NisPageWindow, listId, (int)index);
    ReleaseValue(ServerValueName(listId));
    RefreshNisPage();
}

static void RemoveServer(int listId)
{
    LRESULT selection = ListGetSelection(NisPageWindow, listId);
    LRESULT left = ListDeleteString(NisPageWindow, listId, (int)selection);
    if (left != LB_ERR)
        ReleaseValue(ServerValueName(listId));
    if (left != 0 && left != LB_ERR) {
        // The entry that took the removed one's place, or the new last one.
        if (selection + 1 > left)
            --selection;
        ListSetSelection(NisPageWindow, listId, (int)selection);
    }
    RefreshNisPage();
}

static int MoveSearchOrderEntry(int step)
{
    HWND page = NisPageWindow;
    LRESULT selection = ListGetSelection(page, IDC_NIS_ORDER);
    LRESULT target = selection + step;
    if (selection == LB_ERR || target < 0 || target >= ListGetCount(page, IDC_NIS_ORDER))
        return 0;
    char text[SearchOrderSize];
    if (!ListGetItemText(page, IDC_NIS_ORDER, (int)selection, text, sizeof(text)))
        return 0;
    ListDeleteString(page, IDC_NIS_ORDER, (int)selection);
    ListInsertString(page, IDC_NIS_ORDER, (int)target, text);
    ListSetSelection(page, IDC_NIS_ORDER, (int)target);
    ReleaseValue("SearchOrder");
    RefreshNisPage();
    return 1;
}

static int MoveSearchOrderUp()
{
    return MoveSearchOrderEntry(-1);
}

static int MoveSearchOrderDown()
{
    return MoveSearchOrderEntry(1);
}

// An enabled service needs a server; on failure the caret goes to the
// first field of its address control.
static int RequireServers(int listId, int addressId)
{
    LRESULT count = ListGetCount(NisPageWindow, listId);
    // A kept list holds servers, although none could be shown.
    if ((count != 0 && count != LB_ERR) || IsValueKept(ServerValueName(listId)))
        return 1;
    const char* text = LoadMessageText(NULL, IDS_NEED_SERVER);
    ShowMessageBox(NisPageWindow, text != NULL ? text : "", NULL, MB_ICONEXCLAMATION);
    SetFocus(GetDlgItem(NisPageWindow, addressId));
    return 0;
}

static void ReportBadDomain(const char* domain)
{
    const char* text = LoadMessageText(NULL, IDS_BAD_DOMAIN, domain);
    ShowMessageBox(NisPageWindow, text != NULL ? text : "", NULL, MB_ICONEXCLAMATION);
    EditSelectAll(NisPageWindow, IDC_NIS_DOMAIN);
    SetFocus(GetDlgItem(NisPageWindow, IDC_NIS_DOMAIN));
}

int ValidateNisPage()
{
    int nis = IsChecked(IDC_NIS_ENABLE);
    int nisplus = IsChecked(IDC_NISPLUS_ENABLE);
    if (!nis && !nisplus)
        return 1;
    if (nis && !RequireServers(IDC_NIS_LIST, IDC_NIS_ADDRESS))
        return 0;
    if (nisplus && !RequireServers(IDC_NISPLUS_LIST, IDC_NISPLUS_ADDRESS))
        return 0;
    // A kept domain is given, although it could not be shown.
    if (IsEditTextKept(NisPageWindow, IDC_NIS_DOMAIN, "Domain",
                       OptionSetting("Domain")->DefaultText))
        return 1;
    if (!ValidateTextField(NisPageWindow, IDC_NIS_DOMAIN, 0, DomainSize - 1, IDS_FIELD_LIMIT,
                           IDS_FIELD_EMPTY))
        return 0;
    char domain[DomainSize] = "";
    GetDlgItemTextA(NisPageWindow, IDC_NIS_DOMAIN, domain, sizeof(domain));
    if (IsValidDomainName(domain))
        return 1;
    ReportBadDomain(domain);
    return 0;
}
