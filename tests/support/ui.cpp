#include "ui.h"

UiThread::UiThread(std::function<void()> body) : body_(std::move(body))
{
    thread_ = CreateThread(NULL, 0, Run, this, 0, &id_);
}

UiThread::~UiThread()
{
    if (thread_ != NULL) {
        if (WaitForSingleObject(thread_, 10000) != WAIT_OBJECT_0)
            TerminateThread(thread_, 1);
        CloseHandle(thread_);
    }
}

DWORD WINAPI UiThread::Run(LPVOID self)
{
    static_cast<UiThread*>(self)->body_();
    return 0;
}

bool UiThread::Join(DWORD timeoutMs)
{
    return WaitForSingleObject(thread_, timeoutMs) == WAIT_OBJECT_0;
}

bool UiThread::Finished() const
{
    return WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0;
}

std::string WindowText(HWND window)
{
    // WM_GETTEXT rather than GetWindowText: the latter does not read the text
    // of another process's controls, and some callers pass child windows.
    std::string text((size_t)SendMessageA(window, WM_GETTEXTLENGTH, 0, 0) + 1, '\0');
    LRESULT length = SendMessageA(window, WM_GETTEXT, text.size(), (LPARAM)&text[0]);
    text.resize(length > 0 ? (size_t)length : 0);
    return text;
}

std::string ClassName(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

struct DialogSearch {
    const char* caption;
    HWND except;
    HWND found;
    int count;
};

static BOOL CALLBACK MatchDialog(HWND window, LPARAM param)
{
    DialogSearch* search = (DialogSearch*)param;
    if (window == search->except || !IsWindowVisible(window) || ClassName(window) != "#32770")
        return TRUE;
    if (search->caption != NULL && WindowText(window) != search->caption)
        return TRUE;
    ++search->count;
    if (search->found == NULL)
        search->found = window;
    return TRUE;
}

HWND FindThreadDialog(DWORD threadId, const char* caption, HWND except)
{
    DialogSearch search = {caption, except, NULL, 0};
    EnumThreadWindows(threadId, MatchDialog, (LPARAM)&search);
    return search.found;
}

int CountMessageBoxes(DWORD threadId, HWND except)
{
    DialogSearch search = {NULL, except, NULL, 0};
    EnumThreadWindows(threadId, MatchDialog, (LPARAM)&search);
    return search.count;
}

static void Describe(HWND box, MessageBoxInfo* info)
{
    info->window = box;
    info->caption = WindowText(box);
    info->owner = GetWindow(box, GW_OWNER);
    info->text.clear();
    info->buttons.clear();
    info->exclamation = false;
    HICON exclamation = LoadIconA(NULL, (LPCSTR)IDI_EXCLAMATION);
    for (HWND child = GetWindow(box, GW_CHILD); child != NULL;
         child = GetWindow(child, GW_HWNDNEXT)) {
        std::string cls = ClassName(child);
        LONG style = GetWindowLongA(child, GWL_STYLE);
        if (GetDlgCtrlID(child) == 0xFFFF)
            info->text = WindowText(child);
        else if (cls == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
            HICON icon = (HICON)SendMessageA(child, STM_GETICON, 0, 0);
            info->exclamation = icon != NULL && icon == exclamation;
        } else if (cls == "Button" && IsWindowVisible(child))
            info->buttons.push_back(GetDlgCtrlID(child));
    }
}

bool WaitMessageBox(DWORD threadId, MessageBoxInfo* info, HWND except, DWORD timeoutMs,
                    const char* caption)
{
    DWORD start = GetTickCount();
    do {
        HWND box = FindThreadDialog(threadId, caption, except);
        if (box != NULL) {
            Settle(20); // let the box finish its WM_INITDIALOG
            Describe(box, info);
            return true;
        }
        Sleep(5);
    } while (GetTickCount() - start < timeoutMs);
    return false;
}

void DismissMessageBox(const MessageBoxInfo& info, int id)
{
    if (id == 0 && !info.buttons.empty())
        id = info.buttons.front();
    HWND button = GetDlgItem(info.window, id);
    // A sent click is seen at once; a posted command can lag by half a second.
    if (button != NULL)
        SendMessageA(button, BM_CLICK, 0, 0);
    DWORD start = GetTickCount();
    while (IsWindow(info.window) && GetTickCount() - start < 3000)
        Sleep(5);
}

void Settle(DWORD ms)
{
    DWORD start = GetTickCount();
    MSG msg;
    do {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < ms);
}
