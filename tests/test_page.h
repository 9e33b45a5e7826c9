// The test dialog 920 as a page: a child dialog of a stand-in sheet window
// that records PSM_CHANGED, with a dialog procedure shaped like the real
// pages' (everything goes on to the context-help handler). It runs either
// on the test thread or on a thread of its own with a message loop, for
// code that opens message boxes or menus.
#ifndef ZEVR_TEST_PAGE_H
#define ZEVR_TEST_PAGE_H

#include "help.h"
#include "helpspy.h"
#include "sheet.h"
#include "ui.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

enum {
    TestDialogId = 920,
    NamedCombo = 921,  // drop-down with edit field
    NumberCombo = 922, // drop-down with edit field
    ListCombo = 923,   // drop-down list
    ThreeState = 924,
    TwoState = 925,
    RadioA = 926,
    RadioB = 927,
    RadioC = 928,
    TextEdit = 929,
    NumberEdit = 930,
    TestList = 931,
    DisabledEdit = 1001,  // in the help table, disabled
    ReadSizeLabel = 1130, // in the help table, a static label
    ReadSizeCombo = 1045, // in the help table
    PortGroup = 1124,     // in the help table, but a group box
    NoHelpEdit = 932,     // not in the help table
    Container = 933,      // a static that gets child windows
};

struct TestPageRecord {
    std::vector<WPARAM> changed;     // wParam of every PSM_CHANGED the sheet got
    std::vector<int> commands;       // low words of the commands the page passed on
    std::map<UINT, INT_PTR> results; // the handler's last result, by message
};

inline TestPageRecord& PageRecord()
{
    static TestPageRecord record;
    return record;
}

inline INT_PTR CALLBACK TestPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND)
        PageRecord().commands.push_back(LOWORD(wParam));
    INT_PTR result = ContextHelpHandler(page, message, wParam, lParam);
    PageRecord().results[message] = result;
    return result;
}

// The sheet stand-in: records PSM_CHANGED and runs functions handed to it
// with WM_APP on its thread.
inline LRESULT CALLBACK TestSheetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == PSM_CHANGED) {
        PageRecord().changed.push_back(wParam);
        return 0;
    }
    if (message == WM_APP) {
        (*(std::function<void()>*)lParam)();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The help system's window of the page open now: every help request the
// page makes, as WinHelpA hands it over.
inline std::unique_ptr<HelpSpy>& PageHelpSpy()
{
    static std::unique_ptr<HelpSpy> spy;
    return spy;
}

inline std::vector<HelpCall> HelpRequests()
{
    return PageHelpSpy() ? PageHelpSpy()->Calls() : std::vector<HelpCall>();
}

class TestPage {
  public:
    // Opens the page on the calling thread.
    TestPage()
    {
        Open();
    }
    ~TestPage()
    {
        Close();
    }
    HWND Page() const
    {
        return page_;
    }
    HWND Sheet() const
    {
        return sheet_;
    }
    HWND Item(int id) const
    {
        return GetDlgItem(page_, id);
    }
    // Screen position of the middle of a control, as WM_CONTEXTMENU's lParam.
    LPARAM ScreenPoint(int id) const
    {
        RECT rect;
        GetWindowRect(Item(id), &rect);
        return MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }
    LPARAM ScreenPointOfPage(int x, int y) const
    {
        POINT point = {x, y};
        ClientToScreen(page_, &point);
        return MAKELPARAM(point.x, point.y);
    }

  protected:
    explicit TestPage(bool) {}
    void Open()
    {
        PageRecord() = TestPageRecord();
        PageHelpSpy().reset(new HelpSpy);
        HINSTANCE self = GetModuleHandleA(NULL);
        WNDCLASSA cls = {};
        cls.lpfnWndProc = TestSheetProc;
        cls.hInstance = self;
        cls.lpszClassName = "TestSheet";
        RegisterClassA(&cls);
        sheet_ = CreateWindowA("TestSheet", "Test sheet", WS_POPUP | WS_VISIBLE, 20, 20, 640, 480,
                               NULL, NULL, self, NULL);
        page_ = CreateDialogParamA(ModuleInstance, MAKEINTRESOURCEA(TestDialogId), sheet_,
                                   TestPageProc, 0);
        // What the dialog's creation itself sent (focus notices) is no test's
        // business.
        PageRecord() = TestPageRecord();
    }
    void Close()
    {
        DestroyWindow(page_);
        DestroyWindow(sheet_);
        PageHelpSpy().reset();
    }
    HWND page_ = NULL;
    HWND sheet_ = NULL;
};

// The page on a thread of its own that runs a message loop.
class ThreadedTestPage : public TestPage {
  public:
    ThreadedTestPage() : TestPage(true)
    {
        HANDLE ready = CreateEventA(NULL, TRUE, FALSE, NULL);
        thread_ = new UiThread([this, ready] {
            Open();
            SetEvent(ready);
            MSG msg;
            while (GetMessageA(&msg, NULL, 0, 0) > 0) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            Close();
        });
        WaitForSingleObject(ready, 10000);
        CloseHandle(ready);
    }
    ~ThreadedTestPage()
    {
        PostThreadMessageA(thread_->Id(), WM_QUIT, 0, 0);
        thread_->Join();
        delete thread_;
        page_ = sheet_ = NULL;
    }
    DWORD ThreadId() const
    {
        return thread_->Id();
    }
    // Runs body on the page's thread and waits for it; body must not open a
    // box or a menu.
    void Call(std::function<void()> body)
    {
        SendMessageA(sheet_, WM_APP, 0, (LPARAM)&body);
    }
    // Starts body on the page's thread and returns at once; Wait tells when
    // it has returned.
    void Start(std::function<void()> body)
    {
        InterlockedExchange(&done_, 0);
        started_ = [this, body] {
            body();
            InterlockedExchange(&done_, 1);
        };
        PostMessageA(sheet_, WM_APP, 0, (LPARAM)&started_);
    }
    bool Wait(DWORD timeoutMs = 5000)
    {
        DWORD start = GetTickCount();
        while (InterlockedCompareExchange(&done_, 0, 0) == 0) {
            if (GetTickCount() - start > timeoutMs)
                return false;
            Sleep(5);
        }
        return true;
    }

  private:
    UiThread* thread_ = nullptr;
    std::function<void()> started_;
    volatile LONG done_ = 0;
};

#endif
