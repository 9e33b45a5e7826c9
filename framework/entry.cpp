// DLL entry, the five procedures that network setup calls, and the sheet
// assembly they share.
#include "sheet.h"
#include "parenttext.h"
#include "registry.h"
#include "zevrntps.h"
#include "../nameservice/nameservice.h"
#include "../nameservice/provider.h"
#include "../nfsclient/nfsclient.h"
#include "../sharing/sharing.h"

#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>
#include <type_traits>

// What only the 32-bit product can get wrong, checked where it is built:
// comctl32 steps through the records by their size, and a caller that
// expects the C convention must not find the callee popping its arguments
// (64-bit code has one convention, so there the checks say nothing).
#if defined(__i386__)
static_assert(sizeof(PROPSHEETPAGEA_V1) == 40, "page records are 40 bytes apart");
static_assert(offsetof(PROPSHEETHEADERA, pfnCallback) + sizeof(PFNPROPSHEETCALLBACK) == 40,
              "the sheet header is the 40-byte form");
#define ZEVR_CHECK_CDECL(entry)                                                                    \
    static_assert(std::is_same<decltype(&entry), ZevrEntryPoint>::value, #entry " is cdecl")
ZEVR_CHECK_CDECL(NFSClientProperty);
ZEVR_CHECK_CDECL(NISProperty);
ZEVR_CHECK_CDECL(NISInstall);
ZEVR_CHECK_CDECL(NISRemove);
ZEVR_CHECK_CDECL(PrintSharingProperty);
#undef ZEVR_CHECK_CDECL
#endif

HINSTANCE ModuleInstance;
PROPSHEETPAGEA_V1 PageList[PageListCapacity];
WORD PageCount;
PROPSHEETHEADERA SheetHeader;
INT_PTR LastSheetResult;
char ResultText[ResultTextSize];

static char RawMessageText[MessageTextSize];
static char FormattedMessageText[MessageTextSize];

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reason;
    (void)reserved;
    ModuleInstance = instance;
    return TRUE;
}

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

static const char* ParentArgument(LPSTR argv[])
{
    return argv != NULL ? argv[0] : NULL;
}

static void HandBackResult(LPSTR* result)
{
    if (result != NULL)
        *result = ResultText;
}

extern "C" BOOL __cdecl NFSClientProperty(DWORD argc, LPSTR argv[], LPSTR* result)
{
    (void)argc;
    PrepareSheet(34, ParentArgument(argv));
    HandBackResult(result);
    AddNfsClientPages();
    ShowPreparedSheet();
    SetResultText(LastSheetResult != 0);
    return TRUE;
}

extern "C" BOOL __cdecl PrintSharingProperty(DWORD argc, LPSTR argv[], LPSTR* result)
{
    (void)argc;
    // The sheet is shown whether the list library loads or not.
    LoadListLibrary();
    PrepareSheet(35, ParentArgument(argv));
    HandBackResult(result);
    AddSharingPages();
    ShowPreparedSheet();
    SetResultText(LastSheetResult != 0);
    FreeListLibrary();
    return TRUE;
}

extern "C" BOOL __cdecl NISProperty(DWORD argc, LPSTR argv[], LPSTR* result)
{
    (void)argc;
    PrepareSheet(36, ParentArgument(argv));
    HandBackResult(result);
    RegisterIPAddressClass(ModuleInstance);
    AddNisPage();
    ShowPreparedSheet();
    UnregisterIPAddressClass();
    SetResultText(LastSheetResult != 0);
    SetNameSpaceOrder();
    return TRUE;
}

extern "C" BOOL __cdecl NISInstall(DWORD argc, LPSTR argv[], LPSTR* result)
{
    (void)argc;
    (void)argv;
    HandBackResult(result);
    SetResultText(TRUE);
    InstallNameSpaceProvider();
    return TRUE;
}

extern "C" BOOL __cdecl NISRemove(DWORD argc, LPSTR argv[], LPSTR* result)
{
    (void)argc;
    (void)argv;
    HandBackResult(result);
    SetResultText(TRUE);
    RemoveNameSpaceProvider();
    return TRUE;
}
