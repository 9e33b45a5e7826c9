// Sheet assembly, result text and message texts shared by every page.
#ifndef ZEVR_SHEET_H
#define ZEVR_SHEET_H

#include <windows.h>
#include <commctrl.h>

// The library's instance: resources, page records, the sheet header and
// window classes all come from it. Set by DllMain; a program that links the
// library's code directly sets it itself.
extern HINSTANCE ModuleInstance;

enum {
    PageListCapacity = 15,
    ResultTextSize = 256,
    MessageTextSize = 256,
};

// Page records in their original (V1) layout: comctl32 steps through the
// array by dwSize, so the records must be exactly that size apart.
extern PROPSHEETPAGEA_V1 PageList[PageListCapacity];
extern WORD PageCount;
extern PROPSHEETHEADERA SheetHeader;
extern INT_PTR LastSheetResult;
extern char ResultText[ResultTextSize];

const char* PrepareSheet(UINT titleId, const char* parentText);
int AddPropertyPage(UINT templateId, DLGPROC dialogProc);
int CALLBACK SheetCallback(HWND hwnd, UINT message, LPARAM lParam);
void SetResultText(BOOL success);

// Runs the sheet prepared above and keeps its result.
INT_PTR ShowPreparedSheet();

// Loads string-table entry stringId and formats it printf-style. The text
// goes to destination, or to a static buffer (overwritten by the next such
// call) when destination is NULL. NULL when the string cannot be loaded.
char* LoadMessageText(char* destination, UINT stringId, ...);

#endif
