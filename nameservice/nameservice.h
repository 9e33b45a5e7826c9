// The name-service sheet: the IP-address entry control and the NIS/NIS+
// page.
#ifndef ZEVR_NAMESERVICE_H
#define ZEVR_NAMESERVICE_H

#include <windows.h>

// The "ZEVRIPAddress" window class, registered while the sheet is open. A
// second registration while registered does nothing.
void RegisterIPAddressClass(HINSTANCE instance);
void UnregisterIPAddressClass();
LRESULT CALLBACK IPAddressWndProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK IPFieldWndProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam);
// 1 when the field's number is at most 255; otherwise shows the range
// message and returns 0.
int CheckFieldValue(HWND field);
LRESULT SetAddressText(HWND control, const char* text);
LRESULT GetAddressText(HWND control, WPARAM size, char* buffer);

void AddNisPage();
INT_PTR CALLBACK NisPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK NisAddressHookProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
BOOL InitNisPage(HWND page);
void TransferNisPage(int save);
void RefreshNisPage();
int ValidateNisPage();

#endif
