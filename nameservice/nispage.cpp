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
#include "registry.h"
#include "settings.h"
#include "sheet.h"

#include <string.h>

enum {
    NisTemplateId = 115,
    DomainId = 1089,
    NisAddressId = 1091,
    NisAddId = 1092,
    NisListId = 1093,
    NisRemoveId = 1094,
    NisplusAddressId = 1095,
    NisplusAddId = 1096,
    NisplusListId = 1097,
    NisplusRemoveId = 1098,
    OrderListId = 1099,
    NisLabelId = 1103,
    DomainLabelId = 1104,
    NisplusLabelId = 1105,
    EnableNisId = 1106,
    EnableNisplusId = 1107,
    UpId = 1156,
    DownId = 1157,
};

enum {
    WindowsDefaultId = 26,
    BadDomainId = 27,
    NeedServerId = 37,
    FieldLimitId = 8,
    FieldEmptyId = 9,
    WindowsDefaultSize = 40,
    SearchOrderSize = 35,
    DomainSize = 256,
    MaxServers = 10,
};

static const char OptionsPath[] = "zevrnfs\\NameServiceOptions";

static HWND NisPageWindow;

static const SettingRow* OptionSetting(const char* valueName)
{
    return FindSettingInKey(HiveMachine, OptionsPath, valueName);
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
    AddPropertyPage(NisTemplateId, NisPageProc);
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
    return listId == NisListId ? "NisServers" : "NisplusServers";
}

// 1 when the command was handled here; such commands do not mark the page
// changed.
static int NisPageCommand(int id)
{
    switch (id) {
    case NisAddId:
        AddServer(NisAddressId, NisListId);
        return 1;
    case NisRemoveId:
        RemoveServer(NisListId);
        return 1;
    case NisplusAddId:
        AddServer(NisplusAddressId, NisplusListId);
        return 1;
    case NisplusRemoveId:
        RemoveServer(NisplusListId);
        return 1;
    case OrderListId:
        RefreshNisPage();
        return 1;
    case EnableNisId:
        ReleaseValue("SearchOrder");
        ButtonSetCheck(NisPageWindow, EnableNisplusId, BST_UNCHECKED);
        RefreshNisPage();
        return 1;
    case EnableNisplusId:
        ReleaseValue("SearchOrder");
        ButtonSetCheck(NisPageWindow, EnableNisId, BST_UNCHECKED);
        RefreshNisPage();
        return 1;
    case UpId:
        return MoveSearchOrderUp();
    case DownId:
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
    const char* text = LoadMessageText(NULL, WindowsDefaultId);
    lstrcpynA(WindowsDefaultText, text != NULL ? text : "", sizeof(WindowsDefaultText));
    // Both controls are of the one class: one saved procedure serves them.
    SavedAddressProc = SetControlWindowProc(page, NisAddressId, NisAddressHookProc);
    SetControlWindowProc(page, NisplusAddressId, NisAddressHookProc);
    EditLimitText(page, DomainId, DomainSize - 1);
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
        if (ListFindExact(page, OrderListId, WindowsDefaultText) != LB_ERR)
            return;
        ListSetSelection(page, OrderListId,
                         (int)ListAddString(page, OrderListId, WindowsDefaultText));
        return;
    }
    if (code == SearchCode(NisEntry)) {
        text = ServiceText(NisEntry);
        checkId = EnableNisId;
    } else if (code == SearchCode(NisplusEntry)) {
        text = ServiceText(NisplusEntry);
        checkId = EnableNisplusId;
    } else {
        return;
    }
    // Only the first service code counts, and only once.
    if (IsChecked(EnableNisId) || IsChecked(EnableNisplusId))
        return;
    LRESULT index = ListAddString(page, OrderListId, text);
    ButtonSetCheck(page, checkId, BST_CHECKED);
    ListSetSelection(page, OrderListId, (int)index);
}

static void EncodeSearchOrder(char* codes)
{
    int used = 0;
    LRESULT count = ListGetCount(NisPageWindow, OrderListId);
    for (int i = 0; i < count && used < SearchOrderSize - 1; ++i) {
        char item[ServerTextSize];
        if (!ListGetItemText(NisPageWindow, OrderListId, i, item, sizeof(item)))
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
    ButtonSetCheck(page, EnableNisId, BST_UNCHECKED);
    ButtonSetCheck(page, EnableNisplusId, BST_UNCHECKED);
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
    HKEY key;
    if (CreateSettingsKey(HKEY_LOCAL_MACHINE, OptionsPath, &key) != ERROR_SUCCESS)
        return;
    BindEditText(NisPageWindow, DomainId, key, "Domain", OptionSetting("Domain")->DefaultText, save,
                 DomainSize);
    TransferServerList(key, "NisServers", NisListId, save);
    TransferServerList(key, "NisplusServers", NisplusListId, save);
    TransferSearchOrder(key, save);
    CloseSettingsKey(key);
}

// Keeps a service's search-order entry present exactly while it is enabled.
static void SyncSearchOrderEntry(int checkId, const char* text)
{
    HWND page = NisPageWindow;
    LRESULT index;
    if (IsChecked(checkId)) {
        index = ListFindExact(page, OrderListId, text);
        if (index == LB_ERR)
            index = ListAddString(page, OrderListId, text);
    } else {
        index = ListDeleteMatching(page, OrderListId, text);
    }
    if (ListGetSelection(page, OrderListId) == LB_ERR && index >= 1 &&
        index - 1 < ListGetCount(page, OrderListId))
        ListSetSelection(page, OrderListId, (int)(index - 1));
}

static void UpdateMoveButtons()
{
    LRESULT selection = ListGetSelection(NisPageWindow, OrderListId);
    LRESULT count = ListGetCount(NisPageWindow, OrderListId);
    EnableControl(NisPageWindow, UpId, selection != 0);
    EnableControl(NisPageWindow, DownId, count - selection - 1 != 0);
}

void RefreshNisPage()
{
    HWND page = NisPageWindow;
    char address[IPAddressTextSize];
    int nis = IsChecked(EnableNisId);
    int nisServers = ListGetCount(page, NisListId) != 0;
    int nisAddress = GetIPAddressText(page, NisAddressId, address);
    int nisplus = IsChecked(EnableNisplusId);
    int nisplusServers = ListGetCount(page, NisplusListId) != 0;
    int nisplusAddress = GetIPAddressText(page, NisplusAddressId, address);

    static const int nisControls[] = {NisLabelId, NisListId, NisAddressId};
    static const int nisplusControls[] = {NisplusLabelId, NisplusListId, NisplusAddressId};
    for (int id : nisControls)
        EnableControl(page, id, nis);
    EnableControl(page, NisRemoveId, nis && nisServers);
    EnableControl(page, NisAddId, nis && nisAddress);
    for (int id : nisplusControls)
        EnableControl(page, id, nisplus);
    EnableControl(page, NisplusRemoveId, nisplus && nisplusServers);
    EnableControl(page, NisplusAddId, nisplus && nisplusAddress);
    EnableControl(page, DomainLabelId, nis || nisplus);
    EnableControl(page, DomainId, nis || nisplus);

    SyncSearchOrderEntry(EnableNisId, ServiceText(NisEntry));
    SyncSearchOrderEntry(EnableNisplusId, ServiceText(NisplusEntry));
    UpdateMoveButtons();
    // While one service is enabled, the other cannot be.
    EnableControl(page, EnableNisId, !nisplus);
    EnableControl(page, EnableNisplusId, !nis);
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
    LRESULT selection = ListGetSelection(page, OrderListId);
    LRESULT target = selection + step;
    if (selection == LB_ERR || target < 0 || target >= ListGetCount(page, OrderListId))
        return 0;
    char text[SearchOrderSize];
    if (!ListGetItemText(page, OrderListId, (int)selection, text, sizeof(text)))
        return 0;
    ListDeleteString(page, OrderListId, (int)selection);
    ListInsertString(page, OrderListId, (int)target, text);
    ListSetSelection(page, OrderListId, (int)target);
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
    const char* text = LoadMessageText(NULL, NeedServerId);
    ShowMessageBox(NisPageWindow, text != NULL ? text : "", NULL, MB_ICONEXCLAMATION);
    SetFocus(GetDlgItem(NisPageWindow, addressId));
    return 0;
}

static void ReportBadDomain(const char* domain)
{
    const char* text = LoadMessageText(NULL, BadDomainId, domain);
    ShowMessageBox(NisPageWindow, text != NULL ? text : "", NULL, MB_ICONEXCLAMATION);
    EditSelectAll(NisPageWindow, DomainId);
    SetFocus(GetDlgItem(NisPageWindow, DomainId));
}

int ValidateNisPage()
{
    int nis = IsChecked(EnableNisId);
    int nisplus = IsChecked(EnableNisplusId);
    if (!nis && !nisplus)
        return 1;
    if (nis && !RequireServers(NisListId, NisAddressId))
        return 0;
    if (nisplus && !RequireServers(NisplusListId, NisplusAddressId))
        return 0;
    // A kept domain is given, although it could not be shown.
    if (IsEditTextKept(NisPageWindow, DomainId, "Domain", OptionSetting("Domain")->DefaultText))
        return 1;
    if (!ValidateTextField(NisPageWindow, DomainId, 0, DomainSize - 1, FieldLimitId, FieldEmptyId))
        return 0;
    char domain[DomainSize] = "";
    GetDlgItemTextA(NisPageWindow, DomainId, domain, sizeof(domain));
    if (IsValidDomainName(domain))
        return 1;
    ReportBadDomain(domain);
    return 0;
}
