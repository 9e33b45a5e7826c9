// Writes a picture of every page of one of the library's sheets, for looking
// at the pages without sitting at them.
//
//   sheetshots <export> <sheet title> <output folder> [--registry KEY]
//
// Calls the export on a second thread, selects each page in turn, copies the
// sheet's window from the screen into <folder>\<export>-<n>.bmp, and cancels
// the sheet. --registry KEY redirects the registry as setuphost does.
#include "zevrntps.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

struct SheetCall {
    ZevrEntryPoint entry;
    char* result;
};

static DWORD WINAPI RunSheet(LPVOID param)
{
    SheetCall* call = (SheetCall*)param;
    char parent[] = "0";
    char* argv[] = {parent, NULL};
    call->entry(1, argv, &call->result);
    return 0;
}

static HWND WaitForWindow(const char* title, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        HWND window = FindWindowA("#32770", title);
        if (window != NULL && IsWindowVisible(window))
            return window;
        Sleep(20);
    }
    return NULL;
}

static bool SaveWindowBitmap(HWND window, const char* path)
{
    RECT rect;
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    DWORD stride = ((DWORD)width * 3 + 3) & ~3u;
    DWORD imageSize = stride * (DWORD)height;
    BYTE* pixels = (BYTE*)HeapAlloc(GetProcessHeap(), 0, imageSize);
    GetDIBits(memory, bitmap, 0, height, pixels, (BITMAPINFO*)&info, DIB_RGB_COLORS);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + imageSize;
    bool ok = false;
    FILE* out = fopen(path, "wb");
    if (out != NULL) {
        ok = fwrite(&file, sizeof(file), 1, out) == 1 && fwrite(&info, sizeof(info), 1, out) == 1 &&
             fwrite(pixels, imageSize, 1, out) == 1;
        fclose(out);
    }
    HeapFree(GetProcessHeap(), 0, pixels);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return ok;
}

static void Redirect(const char* scratch)
{
    char path[512];
    HKEY user, machine;
    snprintf(path, sizeof(path), "%s\\HKCU", scratch);
    RegCreateKeyA(HKEY_CURRENT_USER, path, &user);
    snprintf(path, sizeof(path), "%s\\HKLM", scratch);
    RegCreateKeyA(HKEY_CURRENT_USER, path, &machine);
    RegOverridePredefKey(HKEY_CURRENT_USER, user);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine);
}

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr,
                "usage: sheetshots <export> <sheet title> <output folder> [--registry KEY]\n");
        return 2;
    }
    const char* exportName = argv[1];
    const char* title = argv[2];
    const char* folder = argv[3];
    if (argc >= 6 && strcmp(argv[4], "--registry") == 0)
        Redirect(argv[5]);

    HMODULE library = LoadLibraryA("ZEVRNTPS.dll");
    SheetCall call = {
        library ? (ZevrEntryPoint)(void (*)())GetProcAddress(library, exportName) : NULL, NULL};
    if (call.entry == NULL) {
        fprintf(stderr, "sheetshots: no export %s in ZEVRNTPS.dll\n", exportName);
        return 1;
    }
    CreateDirectoryA(folder, NULL);
    HANDLE thread = CreateThread(NULL, 0, RunSheet, &call, 0, NULL);
    HWND sheet = WaitForWindow(title, 15000);
    if (sheet == NULL) {
        fprintf(stderr, "sheetshots: the sheet \"%s\" did not appear\n", title);
        return 1;
    }
    SetWindowPos(sheet, HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE);
    // The sheet just opened is the window the user works in, so its caption
    // is drawn active, as on a desktop. On a bare X server Wine draws the
    // frame inactive even while the sheet is the foreground window.
    SetForegroundWindow(sheet);
    SendMessageA(sheet, WM_NCACTIVATE, TRUE, 0);
    HWND tab = (HWND)SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0);
    int pages = (int)SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0);
    int written = 0;
    for (int page = 0; page < pages; ++page) {
        SendMessageA(sheet, PSM_SETCURSEL, page, 0);
        RedrawWindow(sheet, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(400); // let the X server draw what the sheet painted
        char path[MAX_PATH];
        snprintf(path, sizeof(path), "%s\\%s-%d.bmp", folder, exportName, page + 1);
        if (SaveWindowBitmap(sheet, path)) {
            printf("%s\n", path);
            ++written;
        }
    }
    SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    PostMessageA(sheet, WM_NULL, 0, 0);
    WaitForSingleObject(thread, 10000);
    fflush(stdout);
    return written == pages ? 0 : 1;
}
