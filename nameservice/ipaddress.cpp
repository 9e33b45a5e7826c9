// The IP-address entry control: four borderless edit fields inside a framed
// window with a dot between neighbours. The keyboard filter makes them
// behave as one field: typing flows on after three digits, ".", space,
// Backspace and the arrows cross field borders, and no field leaves with a
// number above 255.
#include "nameservice.h"
#include "nistext.h"
#include "resource.h"

#include <stdio.h>
#include <stdlib.h>

static const char AddressClassName[] = "ZEVRIPAddress";

// Shared by every control of the class: the brush also tells that the
// class is registered, and every field is an EDIT, so one saved procedure
// serves them all.
static HBRUSH BackgroundBrush;
static HINSTANCE AddressInstance;
static WNDPROC SavedEditProc;

// The control's extra words: the four fields, then the field size.
enum {
    HeightWord = 4,
    WidthWord = 5,
    AddressExtraBytes = 6 * 4,
    FieldStyle = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_CENTER,
    RangeMessageSize = 256,
};

enum Placement { SelectAll, CaretAtStart, CaretAtEnd };

static LONG GetWord(HWND control, int word)
{
    return GetWindowLongA(control, word * 4);
}

static HWND GetField(HWND control, int index)
{
    return (HWND)LongToHandle(GetWord(control, index));
}

void RegisterIPAddressClass(HINSTANCE instance)
{
    if (BackgroundBrush != NULL)
        return;
    AddressInstance = instance;
    BackgroundBrush = CreateSolidBrush(RGB(255, 255, 255));
    WNDCLASSA cls = {};
    cls.style = CS_VREDRAW | CS_HREDRAW | CS_GLOBALCLASS;
    cls.lpfnWndProc = IPAddressWndProc;
    cls.cbWndExtra = AddressExtraBytes;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    cls.hbrBackground = BackgroundBrush;
    cls.lpszClassName = AddressClassName;
    RegisterClassA(&cls);
}

void UnregisterIPAddressClass()
{
    if (BackgroundBrush != NULL)
        DeleteObject(BackgroundBrush);
    if (AddressInstance != NULL)
        UnregisterClassA(AddressClassName, AddressInstance);
    BackgroundBrush = NULL;
    AddressInstance = NULL;
}

static void CreateAddressField(HWND control, int index)
{
    int width = GetWord(control, WidthWord);
    int height = GetWord(control, HeightWord);
    HWND field = CreateWindowExA(0, "EDIT", "", FieldStyle, (width + 3) * index + 2, 2, width - 1,
                                 height, control, (HMENU)(INT_PTR)index, AddressInstance, NULL);
    SetWindowLongA(control, index * 4, HandleToLong(field));
    if (field == NULL)
        return;
    SavedEditProc = (WNDPROC)GetWindowLongPtrA(field, GWLP_WNDPROC);
    SetWindowLongPtrA(field, GWLP_WNDPROC, (LONG_PTR)IPFieldWndProc);
}

static void PaintAddressControl(HWND control)
{
    int height = GetWord(control, HeightWord);
    COLORREF colour = IsWindowEnabled(control) ? RGB(0, 0, 0) : GetSysColor(COLOR_GRAYTEXT);
    RECT window;
    GetWindowRect(control, &window);
    RECT frame = {0, 0, window.right - window.left, window.bottom - window.top};
    HPEN pen = CreatePen(PS_SOLID, 2, colour);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(control, &paint);
    HGDIOBJ previous = SelectObject(dc, pen);
    // The frame stays black when disabled; only the dots grey.
    FrameRect(dc, &frame, (HBRUSH)GetStockObject(BLACK_BRUSH));
    for (int i = 1; i < 4; ++i) {
        int x = (GetWord(control, WidthWord) + 3) * i;
        // A zero-length line with the 2-pixel pen is the dot.
        MoveToEx(dc, x, height - 6, NULL);
        LineTo(dc, x, height - 6);
    }
    SelectObject(dc, previous);
    DeleteObject(pen);
    EndPaint(control, &paint);
}

LRESULT SetAddressText(HWND control, const char* text)
{
    char fields[4][AddressFieldSize];
    if (!SplitDottedAddress(text, fields))
        return -1;
    for (int i = 0; i < 4; ++i)
        SetWindowTextA(GetField(control, i), fields[i]);
    return 1;
}

LRESULT GetAddressText(HWND control, WPARAM size, char* buffer)
{
    // Four parts of three digits and three dots need 16 characters.
    if (size < 16) {
        if (buffer != NULL && size > 0)
            buffer[0] = '\0';
        return -1;
    }
    if (buffer == NULL)
        return -1;
    int used = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            buffer[used++] = '.';
        char part[AddressFieldSize] = "";
        GetWindowTextA(GetField(control, i), part, sizeof(part));
        const char* shown = part[0] != '\0' ? part : "0";
        lstrcpyA(buffer + used, shown);
        used += lstrlenA(shown);
    }
    return used;
}

LRESULT CALLBACK IPAddressWndProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        CREATESTRUCTA* create = (CREATESTRUCTA*)lParam;
        SetWindowLongA(control, HeightWord * 4, create->cy - 4);
        SetWindowLongA(control, WidthWord * 4, (create->cx - 14) / 4);
        for (int i = 0; i < 4; ++i)
            CreateAddressField(control, i);
        break;
    }
    case WM_DESTROY:
        for (int i = 0; i < 4; ++i)
            SendMessageA(GetField(control, i), WM_DESTROY, 0, 0);
        break;
    case WM_SETFOCUS:
        SetFocus(GetField(control, 0));
        SendMessageA(GetField(control, 0), EM_SETSEL, 0, -1);
        break;
    case WM_ENABLE:
        // A field repaints itself when its state changes, and the control,
        // which does not clip its children, invalidates them with itself.
        for (int i = 0; i < 4; ++i)
            EnableWindow(GetField(control, i), (BOOL)wParam);
        InvalidateRect(control, NULL, TRUE);
        break;
    case WM_SETTEXT:
        return SetAddressText(control, (const char*)lParam);
    case WM_GETTEXT:
        return GetAddressText(control, wParam, (char*)lParam);
    case WM_PAINT:
        PaintAddressControl(control);
        break;
    case WM_CTLCOLOREDIT:
        return SendMessageA(GetParent(control), message, wParam, lParam);
    }
    return DefWindowProcA(control, message, wParam, lParam);
}

static int IsControlKeyDown()
{
    return (GetKeyState(VK_CONTROL) & 0x8000) != 0;
}

static void GetSelection(HWND field, DWORD* start, DWORD* end)
{
    SendMessageA(field, EM_GETSEL, (WPARAM)start, (LPARAM)end);
}

static int IsCaretAt(HWND field, DWORD position)
{
    DWORD start = 0, end = 0;
    GetSelection(field, &start, &end);
    return start == position && end == position;
}

static int IsCaretAtStart(HWND field)
{
    return IsCaretAt(field, 0);
}

static int IsCaretAfterThird(HWND field)
{
    return IsCaretAt(field, 3);
}

// The field beside this one in its control, or NULL at either end.
static HWND NeighbourField(HWND field, int step)
{
    HWND control = GetParent(field);
    for (int i = 0; i < 4; ++i) {
        if (GetField(control, i) != field)
            continue;
        int next = i + step;
        return next >= 0 && next < 4 ? GetField(control, next) : NULL;
    }
    return NULL;
}

static HWND NextField(HWND field)
{
    return NeighbourField(field, 1);
}

static HWND PreviousField(HWND field)
{
    return NeighbourField(field, -1);
}

static void PlaceCaret(HWND field, Placement placement)
{
    if (placement == SelectAll) {
        SendMessageA(field, EM_SETSEL, 0, -1);
    } else {
        int at = placement == CaretAtEnd ? GetWindowTextLengthA(field) : 0;
        SendMessageA(field, EM_SETSEL, at, at);
    }
}

int CheckFieldValue(HWND field)
{
    char text[AddressFieldSize] = "";
    GetWindowTextA(field, text, sizeof(text));
    if (text[0] == '\0')
        return 1;
    int number = atoi(text);
    if (number <= 255)
        return 1;
    char format[RangeMessageSize] = "";
    char message[RangeMessageSize + 16];
    char caption[RangeMessageSize] = "";
    LoadStringA(AddressInstance, IDS_FIELD_RANGE, format, sizeof(format) - 1);
    LoadStringA(AddressInstance, IDS_FIELD_RANGE_CAPTION, caption, sizeof(caption));
    snprintf(message, sizeof(message), format, number);
    MessageBoxA(field, message, caption, MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

// Checks the field that is left; a bad number keeps the focus there with
// its text selected. A selection without Ctrl means the key edits it.
static int MoveToNeighbourField(HWND field, int forward, Placement placement)
{
    DWORD start = 0, end = 0;
    GetSelection(field, &start, &end);
    if (start != end && !IsControlKeyDown())
        return 1;
    int valid = CheckFieldValue(field);
    HWND target = field;
    if (valid) {
        target = forward ? NextField(field) : PreviousField(field);
    } else {
        placement = SelectAll;
    }
    if (target != NULL) {
        SetFocus(target);
        PlaceCaret(target, placement);
    }
    return valid;
}

static LRESULT PassOn(HWND field, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(SavedEditProc, field, message, wParam, lParam);
}

static LRESULT FilterCharacter(HWND field, WPARAM character, LPARAM lParam)
{
    if (character >= '0' && character <= '9') {
        DWORD start = 0, end = 0;
        GetSelection(field, &start, &end);
        int remaining = GetWindowTextLengthA(field) - (int)(end - start);
        if (remaining >= 3) {
            if (IsCaretAfterThird(field))
                MoveToNeighbourField(field, 1, SelectAll);
            return 0;
        }
        // The space arrives after this digit and moves on from the full field.
        if (remaining == 2)
            PostMessageA(field, WM_CHAR, ' ', lParam);
        return PassOn(field, WM_CHAR, character, lParam);
    }
    switch (character) {
    case VK_BACK:
        return PassOn(field, WM_CHAR, character, lParam);
    case VK_TAB:
    case VK_RETURN:
        // Addressed to the control, which takes no keys, so the dialog
        // moves on or presses its default button.
        PostMessageA(GetParent(field), WM_KEYDOWN, character, lParam);
        return PassOn(field, WM_CHAR, character, lParam);
    case ' ':
    case '.':
        if (GetWindowTextLengthA(field) > 0)
            MoveToNeighbourField(field, 1, SelectAll);
        break;
    }
    // Only digits enter a field; with Ctrl the control characters of copy,
    // paste and cut get through.
    return IsControlKeyDown() ? PassOn(field, WM_CHAR, character, lParam) : 0;
}

static LRESULT FilterKeyDown(HWND field, WPARAM key, LPARAM lParam)
{
    int control = IsControlKeyDown();
    switch (key) {
    case VK_BACK: {
        if (control)
            return 0;
        HWND previous = PreviousField(field);
        if (IsCaretAtStart(field) && previous != NULL) {
            MoveToNeighbourField(field, 0, CaretAtEnd);
            // Deletes the previous field's last character.
            PostMessageA(previous, WM_KEYDOWN, VK_BACK, lParam);
        }
        break;
    }
    case VK_END: {
        HWND last = GetField(GetParent(field), 3);
        SetFocus(last);
        PlaceCaret(last, CaretAtEnd);
        return 0;
    }
    case VK_HOME: {
        HWND first = GetField(GetParent(field), 0);
        SetFocus(first);
        PlaceCaret(first, CaretAtStart);
        return 0;
    }
    case VK_LEFT:
        if (IsCaretAtStart(field) || control) {
            if (!MoveToNeighbourField(field, 0, control ? SelectAll : CaretAtEnd))
                return 0;
        }
        break;
    case VK_RIGHT: {
        DWORD start = 0, end = 0;
        GetSelection(field, &start, &end);
        DWORD length = (DWORD)GetWindowTextLengthA(field);
        if (control || (start == end && (start == 3 || start == length))) {
            if (!MoveToNeighbourField(field, 1, control ? SelectAll : CaretAtStart))
                return 0;
        }
        break;
    }
    case VK_DELETE:
        break;
    default:
        return 0;
    }
    return PassOn(field, WM_KEYDOWN, key, lParam);
}

LRESULT CALLBACK IPFieldWndProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN)
        return FilterKeyDown(field, wParam, lParam);
    if (message == WM_CHAR)
        return FilterCharacter(field, wParam, lParam);
    return PassOn(field, message, wParam, lParam);
}
