#include "sheet_driver.h"

#include <commctrl.h>

// What the hooks on the sheet's thread wait for; one driver at a time.
static struct {
    HANDLE seen = NULL;
    UINT message = 0;
    WPARAM wParam = 0;
} Awaited;

static UINT DriverMessage()
{
    static UINT message = RegisterWindowMessageA("ZevrSheetDriver");
    return message;
}

// Sent with wParam 1: run the function in lParam on the sheet's thread.
static LRESULT CALLBACK CallHook(int code, WPARAM wParam, LPARAM lParam)
{
    CWPSTRUCT* call = (CWPSTRUCT*)lParam;
    if (code == HC_ACTION && call->message == DriverMessage() && call->wParam == 1)
        (*(std::function<void()>*)call->lParam)();
    return CallNextHookEx(NULL, code, wParam, lParam);
}

// Signals when the awaited message leaves the sheet thread's queue.
static LRESULT CALLBACK GetHook(int code, WPARAM wParam, LPARAM lParam)
{
    MSG* msg = (MSG*)lParam;
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == Awaited.message &&
        (msg->message != WM_KEYUP || msg->wParam == Awaited.wParam))
        SetEvent(Awaited.seen);
    return CallNextHookEx(NULL, code, wParam, lParam);
}

void SheetDriver::Hook()
{
    if (callHook_ != NULL)
        return;
    if (Awaited.seen == NULL)
        Awaited.seen = CreateEventA(NULL, FALSE, FALSE, NULL);
    callHook_ = SetWindowsHookExA(WH_CALLWNDPROC, CallHook, NULL, ThreadId());
    getHook_ = SetWindowsHookExA(WH_GETMESSAGE, GetHook, NULL, ThreadId());
}

void SheetDriver::OnSheetThread(std::function<void()> body)
{
    Hook();
    SendMessageA(sheet_, DriverMessage(), 1, (LPARAM)&body);
}

void SheetDriver::Sync()
{
    Hook();
    // Posted messages leave in order; each round also covers what the
    // previous one made the sheet post (a typed digit posts a space, a
    // posted key-down is translated into a character).
    for (int round = 0; round < 3; ++round) {
        ResetEvent(Awaited.seen);
        Awaited.message = DriverMessage();
        PostMessageA(sheet_, DriverMessage(), 0, 0);
        WaitForSingleObject(Awaited.seen, 2000);
    }
}

void SheetDriver::Key(WORD virtualKey, bool control)
{
    Hook();
    OnSheetThread([this] { SetForegroundWindow(sheet_); });
    INPUT keys[4] = {};
    int count = 0;
    if (control)
        keys[count++].ki.wVk = VK_CONTROL;
    keys[count++].ki.wVk = virtualKey;
    keys[count].ki.wVk = virtualKey;
    keys[count++].ki.dwFlags = KEYEVENTF_KEYUP;
    if (control) {
        keys[count].ki.wVk = VK_CONTROL;
        keys[count++].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    for (int i = 0; i < count; ++i)
        keys[i].type = INPUT_KEYBOARD;
    // Input leaves the queue after posted messages: wait for the last key-up.
    ResetEvent(Awaited.seen);
    Awaited.message = WM_KEYUP;
    Awaited.wParam = control ? VK_CONTROL : virtualKey;
    SendInput(count, keys, sizeof(INPUT));
    WaitForSingleObject(Awaited.seen, 2000);
    Sync();
}

void SheetDriver::Type(const char* characters)
{
    for (const char* c = characters; *c != '\0'; ++c) {
        PostMessageA(Focus(), WM_CHAR, (WPARAM)(BYTE)*c, 1);
        Sync();
    }
}

HWND SheetDriver::Focus() const
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(ThreadId(), &info);
    return info.hwndFocus;
}

std::pair<int, int> SheetDriver::Selection(HWND edit)
{
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    return {(int)start, (int)end};
}

SheetDriver::~SheetDriver()
{
    if (thread_ && !thread_->Finished()) {
        // Close whatever the test left open: boxes first, then the sheet.
        MessageBoxInfo box;
        while (CountMessageBoxes(ThreadId(), sheet_) > 0 &&
               ::WaitMessageBox(ThreadId(), &box, sheet_, 100))
            DismissMessageBox(box);
        if (IsWindow(sheet_))
            PostMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        thread_->Join(5000);
    }
    if (callHook_ != NULL)
        UnhookWindowsHookEx(callHook_);
    if (getHook_ != NULL)
        UnhookWindowsHookEx(getHook_);
}

bool SheetDriver::Open(ZevrEntryPoint entry, const char* caption, const char* parentText,
                       DWORD timeoutMs)
{
    lstrcpynA(parent_, parentText, sizeof(parent_));
    return OpenWith(
        [this, entry] {
            char* argv[2] = {parent_, NULL};
            char* result = NULL;
            returned_ = entry(1, argv, &result);
            resultText_ = result != NULL ? result : "(none)";
        },
        caption, timeoutMs);
}

bool SheetDriver::OpenWith(std::function<void()> body, const char* caption, DWORD timeoutMs)
{
    thread_.reset(new UiThread(std::move(body)));
    DWORD start = GetTickCount();
    do {
        sheet_ = FindThreadDialog(thread_->Id(), caption);
        if (sheet_ != NULL) {
            Settle(20);
            return true;
        }
        Sleep(5);
    } while (!thread_->Finished() && GetTickCount() - start < timeoutMs);
    return false;
}

HWND SheetDriver::Page() const
{
    return (HWND)SendMessageA(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0);
}

int SheetDriver::PageCount() const
{
    HWND tab = (HWND)SendMessageA(sheet_, PSM_GETTABCONTROL, 0, 0);
    return (int)SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0);
}

std::string SheetDriver::PageTitle(int index) const
{
    HWND tab = (HWND)SendMessageA(sheet_, PSM_GETTABCONTROL, 0, 0);
    char text[256] = "";
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    SendMessageA(tab, TCM_GETITEMA, index, (LPARAM)&item);
    return text;
}

int SheetDriver::CurrentPageIndex() const
{
    HWND tab = (HWND)SendMessageA(sheet_, PSM_GETTABCONTROL, 0, 0);
    return (int)SendMessageA(tab, TCM_GETCURSEL, 0, 0);
}

void SheetDriver::SelectPage(int index)
{
    SendMessageA(sheet_, PSM_SETCURSEL, index, 0);
}

void SheetDriver::SelectPageId(int templateId)
{
    SendMessageA(sheet_, PSM_SETCURSELID, 0, (LPARAM)MAKEINTRESOURCEA(templateId));
}

HWND SheetDriver::Item(int id) const
{
    return GetDlgItem(Page(), id);
}

HWND SheetDriver::FrameItem(int id) const
{
    return GetDlgItem(sheet_, id);
}

void SheetDriver::Click(int id)
{
    SendMessageA(Item(id), BM_CLICK, 0, 0);
}

UINT SheetDriver::Checked(int id) const
{
    return (UINT)SendMessageA(Item(id), BM_GETCHECK, 0, 0);
}

void SheetDriver::SetCheck(int id, UINT state)
{
    SendMessageA(Item(id), BM_SETCHECK, state, 0);
}

void SheetDriver::SetText(int id, const char* text)
{
    // An edit control reports EN_CHANGE for WM_SETTEXT itself.
    SendMessageA(Item(id), WM_SETTEXT, 0, (LPARAM)text);
}

std::string SheetDriver::Text(int id) const
{
    return WindowText(Item(id));
}

bool SheetDriver::Enabled(int id) const
{
    return IsWindowEnabled(Item(id)) != FALSE;
}

bool SheetDriver::Visible(int id) const
{
    return (GetWindowLongA(Item(id), GWL_STYLE) & WS_VISIBLE) != 0;
}

void SheetDriver::Command(int id, int code)
{
    SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)Item(id));
}

void SheetDriver::ComboSelect(int id, int index)
{
    SendMessageA(Item(id), CB_SETCURSEL, index, 0);
    Command(id, CBN_SELCHANGE);
}

void SheetDriver::ComboType(int id, const char* text)
{
    // As typed: the whole edit text is replaced through the edit field,
    // which tells the combo (it then clears its list selection) and the
    // combo tells the page (CBN_EDITCHANGE). A plain WM_SETTEXT would do
    // neither, as the edit field of a combo reports nothing for it.
    HWND edit = FindWindowExA(Item(id), NULL, "Edit", NULL);
    if (edit == NULL) {
        SendMessageA(Item(id), WM_SETTEXT, 0, (LPARAM)text);
        return;
    }
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, EM_REPLACESEL, TRUE, (LPARAM)text);
}

int SheetDriver::ComboSelection(int id) const
{
    return (int)SendMessageA(Item(id), CB_GETCURSEL, 0, 0);
}

int SheetDriver::ComboCount(int id) const
{
    return (int)SendMessageA(Item(id), CB_GETCOUNT, 0, 0);
}

std::string SheetDriver::ComboItem(int id, int index) const
{
    char text[512] = "";
    if (SendMessageA(Item(id), CB_GETLBTEXTLEN, index, 0) >= (LRESULT)sizeof(text))
        return "";
    SendMessageA(Item(id), CB_GETLBTEXT, index, (LPARAM)text);
    return text;
}

void SheetDriver::ListSelect(int id, int index)
{
    SendMessageA(Item(id), LB_SETCURSEL, index, 0);
    Command(id, LBN_SELCHANGE);
}

int SheetDriver::ListSelection(int id) const
{
    return (int)SendMessageA(Item(id), LB_GETCURSEL, 0, 0);
}

std::vector<std::string> SheetDriver::ListItems(int id) const
{
    std::vector<std::string> items;
    int count = (int)SendMessageA(Item(id), LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        char text[512] = "";
        if (SendMessageA(Item(id), LB_GETTEXTLEN, i, 0) < (LRESULT)sizeof(text))
            SendMessageA(Item(id), LB_GETTEXT, i, (LPARAM)text);
        items.push_back(text);
    }
    return items;
}

void SheetDriver::Wake()
{
    // A sent message is handled inside the sheet's GetMessage, which only
    // returns for a posted one: without it the modal loop would not notice
    // that the sheet has ended.
    PostMessageA(sheet_, WM_NULL, 0, 0);
}

void SheetDriver::PressOk()
{
    SendMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_OK, 0);
    Wake();
}

void SheetDriver::PressApply()
{
    SendMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
    Wake();
}

void SheetDriver::PressCancel()
{
    SendMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    Wake();
}

void SheetDriver::PostOk()
{
    PostMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_OK, 0);
}

void SheetDriver::PostApply()
{
    PostMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
}

void SheetDriver::PressDefaults()
{
    SendMessageA(FrameItem(1118), BM_CLICK, 0, 0);
    Wake();
}

void SheetDriver::PostDefaults()
{
    PostMessageA(FrameItem(1118), BM_CLICK, 0, 0);
}

bool SheetDriver::ApplyEnabled() const
{
    // The sheet's Apply button has the fixed id 0x3021.
    return IsWindowEnabled(FrameItem(0x3021)) != FALSE;
}

bool SheetDriver::WaitMessageBox(MessageBoxInfo* info, DWORD timeoutMs)
{
    return ::WaitMessageBox(ThreadId(), info, sheet_, timeoutMs);
}

int SheetDriver::OpenMessageBoxes() const
{
    return CountMessageBoxes(ThreadId(), sheet_);
}

bool SheetDriver::WaitClosed(DWORD timeoutMs)
{
    return thread_ && thread_->Join(timeoutMs);
}
