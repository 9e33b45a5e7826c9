// Driving windows that run a modal loop on another thread of the test
// process: message boxes, property sheets and the like.
#ifndef ZEVR_TEST_UI_H
#define ZEVR_TEST_UI_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A message box as the user sees it.
struct MessageBoxInfo {
    HWND window = NULL;
    std::string text;
    std::string caption;
    bool exclamation = false; // shows the system's exclamation icon
    std::vector<int> buttons; // ids of its buttons, in window order
    HWND owner = NULL;
};

// Runs body on a thread of its own (which then runs any modal loop body
// opens), so that the test thread stays free to look and act.
class UiThread {
  public:
    explicit UiThread(std::function<void()> body);
    ~UiThread();
    DWORD Id() const
    {
        return id_;
    }
    // True once body has returned.
    bool Join(DWORD timeoutMs = 10000);
    bool Finished() const;

  private:
    static DWORD WINAPI Run(LPVOID self);
    std::function<void()> body_;
    HANDLE thread_ = NULL;
    DWORD id_ = 0;
};

// Top-level dialog windows (class "#32770") of a thread whose caption is
// `caption` (any when NULL), excluding `except`.
HWND FindThreadDialog(DWORD threadId, const char* caption, HWND except = NULL);
// Waits until a message box (a top-level dialog of threadId other than
// `except`, with the given caption when not NULL) is shown and describes
// it; false on time-out.
bool WaitMessageBox(DWORD threadId, MessageBoxInfo* info, HWND except = NULL,
                    DWORD timeoutMs = 3000, const char* caption = NULL);
// Presses one of the box's buttons (the first one when id is 0).
void DismissMessageBox(const MessageBoxInfo& info, int id = 0);
// Counts the message boxes of threadId that are open now.
int CountMessageBoxes(DWORD threadId, HWND except = NULL);
// Lets the other thread run for a while.
void Settle(DWORD ms = 50);

std::string WindowText(HWND window);
std::string ClassName(HWND window);

#endif
