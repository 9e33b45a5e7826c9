#include "controls.h"
#include "sheet.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum {
    ControlTextSize = 256,
    ComboItemTextSize = 260,
    AddressPartSize = 4,
};

// Each guards its own kind of box: the box's message loop keeps
// dispatching page messages that could open the same box again.
static LONG MessageBoxShown;
static LONG ValidationRunning;

// Controls found by id, remembered. Some platforms answer every GetDlgItem
// with a round trip to the window server for the dialog's whole list of
// children, and the pages send dozens of messages to the same few controls
// while they load, fill their lists and save. A remembered control is used
// only while it is still a child of that dialog with that id; the pages'
// controls have ids of their own, so it is the one GetDlgItem would find.
enum { RememberedControlCount = 64 };
static struct {
    HWND Dialog;
    HWND Control; // NULL: a free entry
    int Id;
} RememberedControls[RememberedControlCount];
static int NextRememberedControl;

static HWND ControlWindow(HWND dialog, int id)
{
    for (auto& remembered : RememberedControls) {
        if (remembered.Control == NULL || remembered.Dialog != dialog || remembered.Id != id)
            continue;
        HWND control = remembered.Control;
        if (IsWindow(control) && GetParent(control) == dialog && GetDlgCtrlID(control) == id)
            return control;
        remembered.Control = NULL;
    }
    HWND control = GetDlgItem(dialog, id);
    if (control != NULL) {
        auto& entry = RememberedControls[NextRememberedControl];
        NextRememberedControl = (NextRememberedControl + 1) % RememberedControlCount;
        entry.Dialog = dialog;
        entry.Id = id;
        entry.Control = control;
    }
    return control;
}

static LRESULT SendItem(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND control = ControlWindow(dialog, id);
    return control != NULL ? SendMessageA(control, message, wParam, lParam) : 0;
}

LRESULT ListGetCount(HWND dialog, int id)
{
    return SendItem(dialog, id, LB_GETCOUNT, 0, 0);
}

LRESULT ListAddString(HWND dialog, int id, const char* text)
{
    return SendItem(dialog, id, LB_ADDSTRING, 0, (LPARAM)text);
}

LRESULT ListInsertString(HWND dialog, int id, int index, const char* text)
{
    return SendItem(dialog, id, LB_INSERTSTRING, (WPARAM)LOWORD(index), (LPARAM)text);
}

LRESULT ListDeleteString(HWND dialog, int id, int index)
{
    return SendItem(dialog, id, LB_DELETESTRING, (WPARAM)LOWORD(index), 0);
}

void ListSetSelection(HWND dialog, int id, int index)
{
    // -1 means "no change" here, not "clear the selection".
    if (index == -1)
        return;
    SendItem(dialog, id, LB_SETCURSEL, (WPARAM)index, 0);
}

LRESULT ListGetSelection(HWND dialog, int id)
{
    return SendItem(dialog, id, LB_GETCURSEL, 0, 0);
}

int ListGetItemText(HWND dialog, int id, int index, char* buffer, int bufferSize)
{
    if (buffer == NULL || bufferSize <= 0)
        return 0;
    LRESULT length = SendItem(dialog, id, LB_GETTEXTLEN, (WPARAM)index, 0);
    if (length == LB_ERR || length < 0 || length >= bufferSize)
        return 0;
    return SendItem(dialog, id, LB_GETTEXT, (WPARAM)index, (LPARAM)buffer) != LB_ERR ? 1 : 0;
}

LRESULT ListFindExact(HWND dialog, int id, const char* text)
{
    return SendItem(dialog, id, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text);
}

LRESULT ListDeleteMatching(HWND dialog, int id, const char* text)
{
    LRESULT index = ListFindExact(dialog, id, text);
    if (index == LB_ERR)
        return LB_ERR;
    return ListDeleteString(dialog, id, (int)index);
}

UINT ButtonGetCheck(HWND dialog, int id)
{
    return (UINT)SendItem(dialog, id, BM_GETCHECK, 0, 0);
}

void ButtonSetCheck(HWND dialog, int id, UINT state)
{
    SendItem(dialog, id, BM_SETCHECK, (WPARAM)state, 0);
}

// CheckRadioButton may walk every child window of the dialog, with a round
// trip to the window server for each; the group's own ids are enough.
void ButtonCheckRadio(HWND dialog, int firstId, int lastId, int checkedId)
{
    for (int id = firstId; id <= lastId; ++id) {
        ButtonSetCheck(dialog, id, id == checkedId ? BST_CHECKED : BST_UNCHECKED);
        // The loop variable must not step past INT_MAX.
        if (id == lastId)
            break;
    }
}

LRESULT ComboGetCount(HWND dialog, int id)
{
    return SendItem(dialog, id, CB_GETCOUNT, 0, 0);
}

LRESULT ComboGetSelection(HWND dialog, int id)
{
    return SendItem(dialog, id, CB_GETCURSEL, 0, 0);
}

int ComboSetSelection(HWND dialog, int id, int index)
{
    // -1 goes out as 0xFFFF, an index beyond every list, which on Windows
    // clears the selection and answers CB_ERR. Some platforms' combo boxes
    // keep the old selection instead; clear it the explicit way there, so
    // that the pages act the same everywhere.
    if (SendItem(dialog, id, CB_SETCURSEL, (WPARAM)LOWORD(index), 0) != CB_ERR)
        return 1;
    if (ComboGetSelection(dialog, id) != CB_ERR)
        SendItem(dialog, id, CB_SETCURSEL, (WPARAM)-1, 0);
    return 0;
}

LRESULT ComboFindExact(HWND dialog, int id, const char* text)
{
    return SendItem(dialog, id, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text);
}

LRESULT ComboAddString(HWND dialog, int id, const char* text)
{
    return SendItem(dialog, id, CB_ADDSTRING, 0, (LPARAM)text);
}

// The combo box keeps the message to itself and its list, so unlike
// DefWindowProc it never makes a hidden box visible.
void ComboSetRedraw(HWND dialog, int id, BOOL redraw)
{
    SendItem(dialog, id, WM_SETREDRAW, (WPARAM)redraw, 0);
}

LRESULT ComboAddResourceString(HWND dialog, int id, UINT stringId)
{
    const char* text = LoadMessageText(NULL, stringId);
    // A missing string would otherwise become an empty item.
    if (text == NULL)
        return CB_ERR;
    return ComboAddString(dialog, id, text);
}

int ComboGetItemText(HWND dialog, int id, int index, char* buffer)
{
    if (buffer == NULL)
        return 0;
    if (index == -1)
        return GetControlText(dialog, id, buffer, ControlTextSize);
    // CB_GETLBTEXT copies the whole item: one longer than the caller's
    // buffer is refused instead of overrunning it.
    LRESULT length = SendItem(dialog, id, CB_GETLBTEXTLEN, (WPARAM)index, 0);
    if (length == CB_ERR || length < 0 || length >= ComboItemTextSize)
        return 0;
    return SendItem(dialog, id, CB_GETLBTEXT, (WPARAM)index, (LPARAM)buffer) != CB_ERR ? 1 : 0;
}

int ComboGetCurrentText(HWND dialog, int id, char* buffer)
{
    return ComboGetItemText(dialog, id, (int)ComboGetSelection(dialog, id), buffer);
}

int ComboSelectOrSetText(HWND dialog, int id, const char* text)
{
    LRESULT index = ComboFindExact(dialog, id, text);
    if (index != CB_ERR)
        return ComboSetSelection(dialog, id, (int)index);
    ComboSetSelection(dialog, id, -1);
    return SetControlText(dialog, id, text);
}

int ComboFindFirstNamedItem(HWND dialog, int id, char* buffer)
{
    LRESULT count = ComboGetCount(dialog, id);
    for (LRESULT index = 0; index < count; ++index) {
        if (!ComboGetItemText(dialog, id, (int)index, buffer))
            return 0;
        if (!IsNumericText(buffer))
            return 1;
    }
    return 0;
}

int ComboSetNumber(HWND dialog, int id, DWORD value)
{
    char text[ComboItemTextSize];
    if (value != 0)
        FormatNumberText(text, value);
    else if (!ComboFindFirstNamedItem(dialog, id, text))
        lstrcpyA(text, "0");
    return ComboSelectOrSetText(dialog, id, text);
}

int ComboGetItemNumber(HWND dialog, int id, int index, DWORD* value)
{
    char text[ComboItemTextSize];
    if (!ComboGetItemText(dialog, id, index, text))
        return 0;
    DWORD result;
    if (!IsNumericText(text)) {
        // A named choice stands for 0; other typed text has no value.
        if (ComboFindExact(dialog, id, text) == CB_ERR)
            return 0;
        result = 0;
    } else {
        result = ParseNumberText(text);
    }
    if (value != NULL)
        *value = result;
    return 1;
}

int ComboGetNumber(HWND dialog, int id, DWORD* value)
{
    return ComboGetItemNumber(dialog, id, (int)ComboGetSelection(dialog, id), value);
}

// The smallest (or largest) value of the list, named choices counting as 0.
static int ComboGetBoundNumber(HWND dialog, int id, DWORD* value, bool largest)
{
    DWORD result = 0;
    int found = 0;
    LRESULT count = ComboGetCount(dialog, id);
    for (LRESULT index = 0; index < count; ++index) {
        DWORD item;
        if (!ComboGetItemNumber(dialog, id, (int)index, &item))
            continue;
        found = 1;
        if (index == 0 || (largest ? item > result : item < result))
            result = item;
    }
    if (value != NULL)
        *value = result;
    return found;
}

int ComboGetMinimumNumber(HWND dialog, int id, DWORD* value)
{
    return ComboGetBoundNumber(dialog, id, value, false);
}

int ComboGetMaximumNumber(HWND dialog, int id, DWORD* value)
{
    return ComboGetBoundNumber(dialog, id, value, true);
}

LRESULT EditSelectAll(HWND dialog, int id)
{
    return SendItem(dialog, id, EM_SETSEL, 0, (LPARAM)0xFFFF0000u);
}

LRESULT EditLimitText(HWND dialog, int id, int limit)
{
    return SendItem(dialog, id, EM_LIMITTEXT, (WPARAM)limit, 0);
}

LRESULT EditUndo(HWND dialog, int id)
{
    return SendItem(dialog, id, EM_UNDO, 0, 0);
}

int GetControlText(HWND dialog, int id, char* buffer, int maxCharacters)
{
    if (buffer == NULL || maxCharacters <= 0)
        return 0;
    // A missing control answers nothing at all; the caller still gets a
    // terminated text.
    buffer[0] = '\0';
    return SendItem(dialog, id, WM_GETTEXT, (WPARAM)maxCharacters, (LPARAM)buffer) != -1 ? 1 : 0;
}

int SetControlText(HWND dialog, int id, const char* text)
{
    LRESULT result = SendItem(dialog, id, WM_SETTEXT, 0, (LPARAM)text);
    return result != CB_ERR && result != CB_ERRSPACE ? 1 : 0;
}

BOOL EnableControl(HWND dialog, int id, BOOL enable)
{
    return EnableWindow(ControlWindow(dialog, id), enable);
}

WNDPROC SetControlWindowProc(HWND dialog, int id, WNDPROC procedure)
{
    return (WNDPROC)SetWindowLongPtrA(ControlWindow(dialog, id), GWLP_WNDPROC, (LONG_PTR)procedure);
}

UINT GetDialogUnsigned(HWND dialog, int id, BOOL* translated)
{
    if (translated != NULL)
        *translated = FALSE;
    HWND control = GetDlgItem(dialog, id);
    if (control == NULL)
        return 0;
    // A text longer than the buffer would be judged by its first part only.
    if (GetWindowTextLengthA(control) >= ControlTextSize)
        return 0;
    char text[ControlTextSize];
    if (!GetControlText(dialog, id, text, sizeof(text)))
        return 0;
    uint32_t value;
    if (!ParseDialogUnsigned(text, &value))
        return 0;
    if (translated != NULL)
        *translated = TRUE;
    return value;
}

int IsFieldBlank(HWND dialog, int id)
{
    char text[ControlTextSize];
    if (!GetControlText(dialog, id, text, sizeof(text)))
        return 1;
    // Only the space character: a tab counts as text.
    const char* p = text;
    while (*p == ' ')
        ++p;
    return *p == '\0' ? 1 : 0;
}

int ValidateTextField(HWND dialog, int id, int allowEmpty, int maxLength, UINT limitMessageId,
                      UINT emptyMessageId)
{
    // A second validation while the first one's box is up fails silently.
    if (ValidationRunning)
        return 0;
    ValidationRunning = 1;

    char message[MessageTextSize];
    bool problem = false;
    bool empty = false;
    if (!allowEmpty && IsFieldBlank(dialog, id)) {
        problem = empty = true;
        if (LoadMessageText(message, emptyMessageId) == NULL)
            message[0] = '\0';
    } else {
        char text[ControlTextSize];
        GetControlText(dialog, id, text, sizeof(text));
        // The field's own length counts, so that a text longer than the
        // read buffer cannot pass a limit above that buffer.
        int length = lstrlenA(text);
        HWND control = GetDlgItem(dialog, id);
        if (control != NULL && length == ControlTextSize - 1) {
            int full = GetWindowTextLengthA(control);
            if (full > length)
                length = full;
        }
        if ((unsigned)length > 0xFFFFu || (WORD)length > (WORD)maxLength) {
            problem = true;
            if (LoadMessageText(message, limitMessageId, maxLength) == NULL)
                message[0] = '\0';
        }
    }

    if (problem) {
        ShowMessageBox(dialog, message, NULL, MB_ICONEXCLAMATION);
        if (empty)
            EditUndo(dialog, id);
        EditSelectAll(dialog, id);
        SetFocus(GetDlgItem(dialog, id));
    }
    ValidationRunning = 0;
    return problem ? 0 : 1;
}

int GetCheckedRadioIndex(HWND dialog, int firstId, int lastId)
{
    for (int id = firstId; id <= lastId; ++id) {
        if (ButtonGetCheck(dialog, id))
            return id - firstId;
        // The loop variable must not step past INT_MAX.
        if (id == lastId)
            break;
    }
    return 0;
}

int GetIPAddressText(HWND dialog, int id, char* text)
{
    if (text == NULL)
        return 0;
    text[0] = '\0';
    size_t used = 0;
    for (HWND child = GetWindow(ControlWindow(dialog, id), GW_CHILD); child != NULL;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char part[AddressPartSize] = "";
        if (used > 0) {
            // More parts than an address has: the text would not fit.
            if (used + 1 >= IPAddressTextSize)
                return 0;
            text[used++] = '.';
            text[used] = '\0';
        }
        if (SendMessageA(child, WM_GETTEXT, sizeof(part), (LPARAM)part) <= 0 || part[0] == '\0')
            return 0;
        size_t length = (size_t)lstrlenA(part);
        if (used + length >= IPAddressTextSize)
            return 0;
        lstrcpyA(text + used, part);
        used += length;
    }
    return 1;
}

int IsGroupBox(HWND window)
{
    char name[ControlTextSize];
    if (window == NULL || GetClassNameA(window, name, sizeof(name)) == 0)
        return 0;
    if (strcmp(name, "Button") != 0)
        return 0;
    return (GetWindowLongA(window, GWL_STYLE) & 7) == BS_GROUPBOX ? 1 : 0;
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT style)
{
    if (MessageBoxShown)
        return IDCANCEL;
    MessageBoxShown = 1;
    int result = MessageBoxA(owner, text, caption, style | MB_ICONEXCLAMATION);
    MessageBoxShown = 0;
    return result;
}

void ReportNotFound(const char* text)
{
    char message[MessageTextSize];
    snprintf(message, sizeof(message), "Can not find %s", text != NULL ? text : "");
    ShowMessageBox(NULL, message, NULL, MB_ICONEXCLAMATION);
}

void* AllocMemory(size_t size)
{
    return malloc(size);
}

void FreeMemory(void* block)
{
    free(block);
}
