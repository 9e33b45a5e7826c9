// Times modal property sheets for the benchmarks. A sheet runs on a thread
// of its own; the caller's thread posts what a user would do (a page change,
// OK) and waits until the sheet thread is idle again.
//
// Idle is observed, not guessed: the GetMessageW that comctl32's modal loop
// calls is replaced, in comctl32's import table, by a wrapper that notes
// when the sheet thread starts to wait. The sheet is idle from the start of
// a wait that nothing ends for QuietMs: everything the last step queued
// (paints, posted notifications, the X server's answers) has been handled.
#ifndef ZEVR_BENCHSHEET_H
#define ZEVR_BENCHSHEET_H

#include <windows.h>
#include <commctrl.h>

enum { QuietMs = 50 };

// Replaces comctl32's GetMessageW import and starts the sheet thread; false
// (with a message) when comctl32 does not import GetMessageW by name.
bool StartSheetThread();

// What a step took: wall time to idle (or to the return of the body), and
// the CPU time that the sheet thread and the servers spent meanwhile (see
// CpuMs). Wall is -1 when the step failed.
struct StepTime {
    double Wall;
    double Cpu;
};

// Whether the sheet thread's CPU time can be read.
bool SheetCpuKnown();

// Runs body(context) on the sheet thread (it shows a modal sheet) and waits
// until the sheet is idle. Wall is from the call of body to the start of the
// idle wait; the step fails when body returns or nothing becomes idle
// within 20 s.
StepTime TimeOpen(void (*body)(void*), void* context);

// The sheet the current body shows (the sheet thread's top-level dialog).
HWND CurrentSheet();

// Posts a message to the sheet and waits until it is idle again; wall is
// from the post to the start of the idle wait.
StepTime TimeStep(UINT message, WPARAM wParam, LPARAM lParam);

// Posts OK and waits (up to 20 s) for body to return; wall is from the
// post to the moment body returned.
StepTime TimeOk();

// Medians and quartiles of n samples (the array is sorted in place).
double Median(double* samples, int n);
double Quartile(double* samples, int n, int quarter);

#endif
