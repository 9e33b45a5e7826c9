// Sheet assembly shared by the three sheets: the page records and header,
// the result text, and the message texts the pages load.
#include "sheet.h"
#include "parenttext.h"
#include "registry.h"

#include <stdarg.h>
#include <stdio.h>

HINSTANCE ModuleInstance;
PROPSHEETPAGEA_V1 PageList[PageListCapacity];
WORD PageCount;
PROPSHEETHEADERA SheetHeader;
INT_PTR LastSheetResult;
char ResultText[ResultTextSize];

static char RawMessageText[MessageTextSize];
static char FormattedMessageText[MessageTextSize];

char* LoadMessageText(char* destination, UINT stringId, ...)
{
    if (LoadStringA(ModuleInstance, LOWORD(stringId), RawMessageText, 255) == 0)
        return NULL;
    va_list args;
    va_start(args, stringId);
    vsnprintf(FormattedMessageText, sizeof(FormattedMessageText), RawMessageText, args);
    va_end(args);
    FormattedMessageText[sizeof(FormattedMessageText) - 1] = '\0';
    if (destination == NULL)
        return FormattedMessageText;
    lstrcpyA(destination, FormattedMessageText);
    return destination;
}

const char* PrepareSheet(UINT titleId, const char* parentText)
{
    DWORD parent = ParseParentHandleText(parentText);
    const char* title = LoadMessageText(NULL, titleId);

    SheetHeader.dwSize = PROPSHEETHEADERA_V1_SIZE;
    SheetHeader.hwndParent = (HWND)LongToHandle((LONG)parent);
    SheetHeader.dwFlags = PSH_USEICONID | PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    SheetHeader.pszIcon = NULL;
    SheetHeader.hInstance = ModuleInstance;
    SheetHeader.pszCaption = title;
    SheetHeader.ppsp = (LPCPROPSHEETPAGEA)PageList;
    SheetHeader.pfnCallback = SheetCallback;
    PageCount = 0;
    SheetHeader.nPages = 0;
    ForgetFailedKeys();
    ForgetKeptValues();
    return title;
}

int AddPropertyPage(UINT templateId, DLGPROC dialogProc)
{
    int index = PageCount++;
    PROPSHEETPAGEA_V1* page = &PageList[index];
    page->dwSize = sizeof(PROPSHEETPAGEA_V1);
    page->dwFlags = PSP_DEFAULT;
    page->hInstance = ModuleInstance;
    page->pszTemplate = MAKEINTRESOURCEA(LOWORD(templateId));
    page->hIcon = NULL;
    page->pszTitle = NULL;
    page->pfnDlgProc = dialogProc;
    page->lParam = 0;
    SheetHeader.nPages = PageCount;
    return 0;
}

int CALLBACK SheetCallback(HWND hwnd, UINT message, LPARAM lParam)
{
    (void)hwnd;
    if (message == PSCB_PRECREATE) {
        // The template may be a DLGTEMPLATEEX, whose style sits after the
        // signature word pair; both forms are covered.
        DLGTEMPLATE* plain = (DLGTEMPLATE*)lParam;
        if (((WORD*)plain)[1] == 0xFFFF) {
            DWORD* style = &((DWORD*)plain)[3];
            *style |= WS_SYSMENU;
        } else if (!(plain->style & WS_SYSMENU)) {
            plain->style |= WS_SYSMENU;
        }
    }
    return 0;
}

void SetResultText(BOOL success)
{
    lstrcpyA(ResultText, success ? "TRUE" : "FALSE");
}

INT_PTR ShowPreparedSheet()
{
    LastSheetResult = PropertySheetA(&SheetHeader);
    return LastSheetResult;
}
