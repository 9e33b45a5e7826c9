// The DLL's entry point and the five procedures that network setup calls:
// each prepares a sheet, lets its folder add the pages, and shows it.
#include "zevrntps.h"
#include "nameservice.h"
#include "nfsclient.h"
#include "provider.h"
#include "resource.h"
#include "sharing.h"
#include "sheet.h"

#include <stddef.h>
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

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reason;
    (void)reserved;
    ModuleInstance = instance;
    return TRUE;
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
    PrepareSheet(IDS_NFS_CLIENT_TITLE, ParentArgument(argv));
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
    PrepareSheet(IDS_FILE_SHARING_TITLE, ParentArgument(argv));
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
    PrepareSheet(IDS_NAME_SERVICE_TITLE, ParentArgument(argv));
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
