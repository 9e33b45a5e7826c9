// The file-sharing sheet: the NFS server page, the network event log page
// and the list library that stays loaded while the sheet is open.
#ifndef ZEVR_SHARING_H
#define ZEVR_SHARING_H

#include <windows.h>
#include <commctrl.h>

// Both pages, in the order the sheet shows them.
void AddSharingPages();

// List library
int LoadListLibrary();
void FreeListLibrary();

// NFS server page
void AddNfsServerPage();
INT_PTR CALLBACK NfsServerPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int TransferNfsServerPage(int save);
void SetNfsServerStartType(BOOL enabled);

// Network event log page
void AddEventLogPage();
INT_PTR CALLBACK EventLogPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int TransferEventLogPage(int save);
void UpdateEventLogControls();
int EnsureLogFileExists();

#endif
