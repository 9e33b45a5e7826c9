// The record through which the pages of the NFS client sheet learn about
// each other: each page's window (0 until created) and whether a
// "Def&aults" press is waiting for it. The General page creates it; the
// sheet frame's destruction frees it.
#ifndef ZEVR_SHEETSTATE_H
#define ZEVR_SHEETSTATE_H

#include <windows.h>

struct NfsSheetState {
    DWORD AdvancedResetPending;
    DWORD AdvancedPage; // window handles are kept as 32-bit words
    DWORD CachingResetPending;
    DWORD CachingPage;
    DWORD FilesResetPending;
    DWORD FilesPage;
    DWORD GeneralResetPending;
    DWORD GeneralPage;
    DWORD SecurityResetPending;
    DWORD SecurityPage;
    DWORD TuningResetPending;
    DWORD TuningPage;
    char SheetText[256];
    DWORD Applied;
};

NfsSheetState* CreateSheetState();
void FreeSheetState();
// The record of the open sheet, or NULL when there is none. The window
// argument of this and every accessor is not used. Accessors read 0 and
// ignore writes when there is no record.
NfsSheetState* GetSheetState(HWND window);

DWORD GetAdvancedResetPending(HWND window);
void SetAdvancedResetPending(HWND window, DWORD pending);
HWND GetAdvancedPage(HWND window);
void SetAdvancedPage(HWND window, HWND page);
DWORD GetCachingResetPending(HWND window);
void SetCachingResetPending(HWND window, DWORD pending);
HWND GetCachingPage(HWND window);
void SetCachingPage(HWND window, HWND page);
DWORD GetFilesResetPending(HWND window);
void SetFilesResetPending(HWND window, DWORD pending);
HWND GetFilesPage(HWND window);
void SetFilesPage(HWND window, HWND page);
DWORD GetGeneralResetPending(HWND window);
void SetGeneralResetPending(HWND window, DWORD pending);
HWND GetGeneralPage(HWND window);
void SetGeneralPage(HWND window, HWND page);
DWORD GetSecurityResetPending(HWND window);
void SetSecurityResetPending(HWND window, DWORD pending);
HWND GetSecurityPage(HWND window);
void SetSecurityPage(HWND window, HWND page);
DWORD GetTuningResetPending(HWND window);
void SetTuningResetPending(HWND window, DWORD pending);
HWND GetTuningPage(HWND window);
void SetTuningPage(HWND window, HWND page);
char* GetSheetText(HWND window);
void SetApplied(HWND window, DWORD applied);

// Tells the sheet that a page has changed, which enables Apply.
LRESULT MarkPageChanged(HWND page);

#endif
