#include "helpspy.h"
#include "ui.h"

// The layout WinHelpA sends.
#pragma pack(push, 1)
struct WinHelpData {
    WORD size;
    WORD command;
    LONG data;
    LONG reserved;
    WORD pathOffset;
    WORD dataOffset;
};
#pragma pack(pop)

struct HelpSpy::State {
    CRITICAL_SECTION lock;
    std::vector<HelpCall> calls;
    HWND window = NULL;
    HANDLE ready = NULL;
    std::unique_ptr<UiThread> thread;
};

static LRESULT CALLBACK SpyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        HelpSpy::State* state = (HelpSpy::State*)GetWindowLongPtrA(window, GWLP_USERDATA);
        const COPYDATASTRUCT* copy = (const COPYDATASTRUCT*)lParam;
        if (state != NULL && copy->cbData >= sizeof(WinHelpData)) {
            const WinHelpData* data = (const WinHelpData*)copy->lpData;
            HelpCall call;
            call.from = (HWND)wParam;
            call.command = data->command;
            call.context = data->data;
            if (data->pathOffset != 0 && data->pathOffset < copy->cbData)
                call.file = (const char*)copy->lpData + data->pathOffset;
            EnterCriticalSection(&state->lock);
            state->calls.push_back(call);
            LeaveCriticalSection(&state->lock);
        }
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HelpSpy::HelpSpy() : state_(new State)
{
    InitializeCriticalSection(&state_->lock);
    state_->ready = CreateEventA(NULL, TRUE, FALSE, NULL);
    State* state = state_.get();
    state_->thread.reset(new UiThread([state] {
        WNDCLASSA cls = {};
        cls.lpfnWndProc = SpyProc;
        cls.hInstance = GetModuleHandleA(NULL);
        cls.lpszClassName = "MS_WINHELP";
        RegisterClassA(&cls);
        state->window = CreateWindowA("MS_WINHELP", "", WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                                      GetModuleHandleA(NULL), NULL);
        SetWindowLongPtrA(state->window, GWLP_USERDATA, (LONG_PTR)state);
        SetEvent(state->ready);
        MSG msg;
        while (GetMessageA(&msg, NULL, 0, 0) > 0)
            DispatchMessageA(&msg);
        DestroyWindow(state->window);
    }));
    WaitForSingleObject(state_->ready, 5000);
}

HelpSpy::~HelpSpy()
{
    PostThreadMessageA(state_->thread->Id(), WM_QUIT, 0, 0);
    state_->thread.reset();
    CloseHandle(state_->ready);
    DeleteCriticalSection(&state_->lock);
}

std::vector<HelpCall> HelpSpy::Calls(size_t count, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        EnterCriticalSection(&state_->lock);
        std::vector<HelpCall> calls = state_->calls;
        LeaveCriticalSection(&state_->lock);
        if (calls.size() >= count || GetTickCount() - start >= timeoutMs)
            return calls;
        Sleep(5);
    }
}
