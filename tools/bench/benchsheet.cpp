#include "benchsheet.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "benchcommon.h"
#include "iat.h"

enum { StepTimeoutMs = 20000 };

typedef BOOL(WINAPI* GetMessageWProc)(LPMSG, HWND, UINT, UINT);
static GetMessageWProc RealGetMessageW;

// Odd while the sheet thread waits in GetMessageW; WaitStart is written
// only while it is even, so a reader that sees the same odd count before and
// after reading WaitStart has read the start of that wait.
static volatile LONG WaitCount;
static volatile double WaitStart;

static HANDLE JobReady;
static HANDLE JobDone;
static DWORD SheetThreadId;
static void (*JobBody)(void*);
static void* JobContext;
static volatile LONG JobRunning;
static volatile double JobStart;
static volatile double JobEnd;
static HWND Sheet;

// The sheet thread's Linux thread id, for its CPU time.
static int SheetLinuxThread;

static BOOL WINAPI ProbeGetMessageW(LPMSG msg, HWND window, UINT first, UINT last)
{
    WaitStart = NowMs();
    InterlockedIncrement(&WaitCount);
    BOOL result = RealGetMessageW(msg, window, first, last);
    InterlockedIncrement(&WaitCount);
    return result;
}

static DWORD WINAPI SheetThread(LPVOID)
{
    SheetLinuxThread = CurrentLinuxThread();
    SetEvent(JobDone);
    for (;;) {
        WaitForSingleObject(JobReady, INFINITE);
        JobStart = NowMs();
        JobBody(JobContext);
        JobEnd = NowMs();
        // What a closed sheet left queued must not reach the next one.
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sheet = NULL;
        InterlockedExchange(&JobRunning, 0);
        SetEvent(JobDone);
    }
    return 0;
}

bool StartSheetThread()
{
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    InitCommonControls();
    RealGetMessageW = (GetMessageWProc)ReplaceImport(comctl, "user32.dll", "GetMessageW",
                                                     (void*)ProbeGetMessageW);
    if (RealGetMessageW == NULL) {
        fprintf(stderr, "bench: comctl32 does not import GetMessageW; idle cannot be observed\n");
        return false;
    }
    JobReady = CreateEventA(NULL, FALSE, FALSE, NULL);
    JobDone = CreateEventA(NULL, FALSE, FALSE, NULL);
    HANDLE thread = CreateThread(NULL, 0, SheetThread, NULL, 0, &SheetThreadId);
    if (thread == NULL)
        return false;
    CloseHandle(thread);
    WaitForSingleObject(JobDone, INFINITE);
    return true;
}

// The start of the first wait after `before` that has lasted QuietMs, or -1
// when the body returned or the time ran out.
static double WaitIdle(LONG before)
{
    double deadline = NowMs() + StepTimeoutMs;
    while (NowMs() < deadline) {
        if (!JobRunning)
            return -1;
        LONG count = WaitCount;
        if ((count & 1) && count != before) {
            double start = WaitStart;
            if (WaitCount == count && NowMs() - start >= QuietMs)
                return start;
        }
        Sleep(1);
    }
    return -1;
}

static BOOL CALLBACK FindDialog(HWND window, LPARAM found)
{
    char name[16];
    if (GetClassNameA(window, name, sizeof(name)) && strcmp(name, "#32770") == 0 &&
        IsWindowVisible(window)) {
        *(HWND*)found = window;
        return FALSE;
    }
    return TRUE;
}

StepTime TimeOpen(void (*body)(void*), void* context)
{
    StepTime time = {-1, 0};
    JobBody = body;
    JobContext = context;
    double cpu = CpuMs(SheetLinuxThread);
    LONG before = WaitCount;
    InterlockedExchange(&JobRunning, 1);
    ResetEvent(JobDone);
    SetEvent(JobReady);
    double idle = WaitIdle(before);
    if (idle < 0)
        return time;
    Sheet = NULL;
    EnumThreadWindows(SheetThreadId, FindDialog, (LPARAM)&Sheet);
    time.Wall = idle - JobStart;
    time.Cpu = CpuMs(SheetLinuxThread) - cpu;
    return time;
}

HWND CurrentSheet()
{
    return Sheet;
}

StepTime TimeStep(UINT message, WPARAM wParam, LPARAM lParam)
{
    StepTime time = {-1, 0};
    double cpu = CpuMs(SheetLinuxThread);
    LONG before = WaitCount;
    double start = NowMs();
    PostMessageA(Sheet, message, wParam, lParam);
    double idle = WaitIdle(before);
    if (idle >= 0) {
        time.Wall = idle - start;
        time.Cpu = CpuMs(SheetLinuxThread) - cpu;
    }
    return time;
}

StepTime TimeOk()
{
    StepTime time = {-1, 0};
    double cpu = CpuMs(SheetLinuxThread);
    double start = NowMs();
    PostMessageA(Sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    if (WaitForSingleObject(JobDone, StepTimeoutMs) == WAIT_OBJECT_0) {
        time.Wall = JobEnd - start;
        time.Cpu = CpuMs(SheetLinuxThread) - cpu;
    }
    return time;
}

static int CompareSamples(const void* a, const void* b)
{
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y ? 1 : 0;
}

double Quartile(double* samples, int n, int quarter)
{
    if (n <= 0)
        return 0;
    qsort(samples, n, sizeof(double), CompareSamples);
    double position = (double)(n - 1) * quarter / 4.0;
    int below = (int)position;
    if (below + 1 >= n)
        return samples[n - 1];
    double fraction = position - below;
    return samples[below] * (1 - fraction) + samples[below + 1] * fraction;
}

double Median(double* samples, int n)
{
    return Quartile(samples, n, 2);
}

bool SheetCpuKnown()
{
    return SheetLinuxThread > 0;
}
