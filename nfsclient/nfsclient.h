// The NFS client sheet: its page adders, the page procedures and the entry
// points through which the General page coordinates the others.
#ifndef ZEVR_NFSCLIENT_H
#define ZEVR_NFSCLIENT_H

#include <windows.h>
#include <commctrl.h>

// All pages, in the order the sheet shows them.
void AddNfsClientPages();

// NFS General page and sheet coordination
void AddGeneralPage();
INT_PTR CALLBACK GeneralPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL InitGeneralPage(HWND page);
void FillMappingCharacters();
void FillTransferSizes(int id);
int TransferGeneralPage(int save);
void ShowGeneralDefaults(HWND window);
void ApplyAllPages(NMHDR* header);
void HookSheetFrame(HWND frame);
LRESULT CALLBACK SheetFrameHook(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);
void ResetAllPages(HWND button);

// Caching page
void AddCachingPage();
INT_PTR CALLBACK CachingPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL InitCachingPage(HWND page);
void FillCachingLists();
int TransferCachingPage(int save);
int CheckCachePair(int minimumId, int maximumId);
void UpdateCachingControls();
void ResetCachingPage(HWND window);
void CommitCachingReset(HWND window);

// Security page
void AddSecurityPage();
INT_PTR CALLBACK SecurityPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL InitSecurityPage(HWND page);
int TransferSecurityPage(int save);
void TransferUmask(int save);
void ShowUmask(DWORD mask);
DWORD ReadUmask();
void TransferAuthServers(int save);
void LoadAuthServers(HKEY key);
void SaveAuthServers(HKEY key);
void UpdateSecurityControls();
void ResetSecurityPage(HWND window);
void CommitSecurityReset(HWND window);

// Tuning page
void AddTuningPage();
INT_PTR CALLBACK TuningPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL InitTuningPage(HWND page);
void FillTuningLists();
int TransferTuningPage(int save);
void ResetTuningPage(HWND window);
void CommitTuningReset(HWND window);
// Files and Folders page
void AddFilesPage();
INT_PTR CALLBACK FilesPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL InitFilesPage(HWND page);
int TransferFilesPage(int save);
void UpdateFilesControls();
void ResetFilesPage(HWND window);
void CommitFilesReset(HWND window);

// Advanced page
void AddAdvancedPage();
INT_PTR CALLBACK AdvancedPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL InitAdvancedPage(HWND page);
int TransferAdvancedPage(int save);
void TransferTransport(HKEY key, const char* valueName, const char* defaultText, int save);
void TransferNfsVersion(HKEY key, const char* valueName, DWORD defaultValue, int save);
void TransferNfsPort(int save);
void UpdateAdvancedControls();
void ResetAdvancedPage(HWND window);
void CommitAdvancedReset(HWND window);

#endif
