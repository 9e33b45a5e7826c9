// Sees the help calls of the process as the help system does: WinHelpA
// hands each request to a window of class "MS_WINHELP" through WM_COPYDATA.
// With such a window present no help viewer starts.
#ifndef ZEVR_TEST_HELPSPY_H
#define ZEVR_TEST_HELPSPY_H

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

struct HelpCall {
    HWND from; // the window that asked
    int command;
    long context;
    std::string file;
};

class HelpSpy {
  public:
    HelpSpy();
    ~HelpSpy();
    // The calls seen so far (waits up to timeoutMs for at least `count`).
    std::vector<HelpCall> Calls(size_t count = 0, DWORD timeoutMs = 2000);

    struct State;

  private:
    std::unique_ptr<State> state_;
};

#endif
