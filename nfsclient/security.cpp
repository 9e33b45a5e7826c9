// The Security page: the permissions new files and folders get on NFS file
// systems (the per-user creation mask), and how the client finds an
// authentication server (broadcast, or the machine's list of servers).
#include "nfsclient.h"
#include "controls.h"
#include "help.h"
#include "registry.h"
#include "resource.h"
#include "serverlist.h"
#include "settings.h"
#include "sheet.h"
#include "sheetstate.h"
#include "store.h"

#include <string.h>

static HWND SecurityPageWindow;

enum {
    ServerListSize = 4096,
    ServerTextMaxCharacters = ServerListSize - 3,
    // The longest list a full field saves: every entry with its terminator
    // and the closing empty string, two bytes more than the text. Read up
    // to that, so that whatever the page stores it also shows again.
    ServerListReadSize = ServerTextMaxCharacters + 2,
    MaskBits = 9,
};

// The stored list, read on load; joined in place for the edit field.
static char ServerList[ServerListSize];

// The default list: the single entry "*", with its terminator and the
// closing empty entry.
static const char* BroadcastList()
{
    return FindNfsSetting("Hosts")->DefaultText;
}

static DWORD InheritedUmask()
{
    return GetInheritedUserDefault("UMask");
}

void AddSecurityPage()
{
    AddPropertyPage(IDD_NFS_SECURITY, SecurityPageProc);
}

INT_PTR CALLBACK SecurityPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    SecurityPageWindow = window;
    switch (message) {
    case WM_INITDIALOG:
        return InitSecurityPage(window);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_SECURITY_BROADCAST || LOWORD(wParam) == IDC_SECURITY_SPECIFIC) {
            // The user's choice, even of what was shown: saved from now on.
            if (HIWORD(wParam) == BN_CLICKED)
                ReleaseValue("Hosts");
            UpdateSecurityControls();
            return TRUE;
        }
        break;
    case WM_NOTIFY:
        if (((NMHDR*)lParam)->code == (UINT)PSN_APPLY)
            TransferSecurityPage(1);
        return FALSE;
    }
    return ContextHelpHandler(window, message, wParam, lParam);
}

BOOL InitSecurityPage(HWND page)
{
    SetSecurityPage(page, page);
    // The save reads no more than this: a longer text would lose its end.
    EditLimitText(page, IDC_SECURITY_SERVERS, ServerTextMaxCharacters);
    TransferSecurityPage(0);
    if (GetSecurityResetPending(page))
        ResetSecurityPage(page);
    UpdateSecurityControls();
    return TRUE;
}

int TransferSecurityPage(int save)
{
    TransferUmask(save);
    TransferAuthServers(save);
    return 1;
}

void TransferUmask(int save)
{
    HKEY key;
    if (CreateSettingsKey(HKEY_CURRENT_USER, GetUserDefaultsPath(), &key) != ERROR_SUCCESS)
        return;
    if (save) {
        SetDwordValue(key, "UMask", ReadUmask());
    } else {
        DWORD mask;
        if (!GetDwordValue(key, "UMask", &mask))
            mask = InheritedUmask();
        ShowUmask(mask);
    }
    CloseSettingsKey(key);
}

// A box is checked when its permission is granted; the boxes run from the
// owner's read (bit 8) to the others' execute (bit 0).
void ShowUmask(DWORD mask)
{
    DWORD granted = GrantedFromUmask(mask);
    for (int bit = 0; bit < MaskBits; ++bit)
        ButtonSetCheck(SecurityPageWindow, IDC_SECURITY_OTHER_EXECUTE - bit,
                       (granted >> bit) & 1 ? BST_CHECKED : BST_UNCHECKED);
}

DWORD ReadUmask()
{
    DWORD granted = 0;
    for (int bit = 0; bit < MaskBits; ++bit)
        if (ButtonGetCheck(SecurityPageWindow, IDC_SECURITY_OTHER_EXECUTE - bit) == BST_CHECKED)
            granted |= 1u << bit;
    return UmaskFromGranted(granted);
}

void TransferAuthServers(int save)
{
    HKEY key;
    if (CreateSettingsKey(HKEY_LOCAL_MACHINE, GetAuthServersPath(), &key) != ERROR_SUCCESS)
        return;
    if (save)
        SaveAuthServers(key);
    else
        LoadAuthServers(key);
    CloseSettingsKey(key);
}

void LoadAuthServers(HKEY key)
{
    HWND page = SecurityPageWindow;
    DWORD size = ServerListReadSize;
    // Missing, of another type or too long: broadcast. A list too long to
    // show is kept as stored until the user makes a choice.
    TextReadResult read = ReadMultiStringValue(key, "Hosts", ServerList, &size);
    if (read == TextTooLong)
        KeepValue("Hosts");
    else
        ReleaseValue("Hosts");
    if (read != TextRead)
        memcpy(ServerList, BroadcastList(), MultiStringSize(BroadcastList()));
    if (IsBroadcastList(ServerList)) {
        ButtonCheckRadio(page, IDC_SECURITY_BROADCAST, IDC_SECURITY_SPECIFIC,
                         IDC_SECURITY_BROADCAST);
        return;
    }
    ButtonCheckRadio(page, IDC_SECURITY_BROADCAST, IDC_SECURITY_SPECIFIC, IDC_SECURITY_SPECIFIC);
    SetControlText(page, IDC_SECURITY_SERVERS, JoinServerList(ServerList, sizeof(ServerList)));
}

void SaveAuthServers(HKEY key)
{
    HWND page = SecurityPageWindow;
    if (IsValueKept("Hosts") && ButtonGetCheck(page, IDC_SECURITY_BROADCAST) == BST_CHECKED &&
        GetWindowTextLengthA(GetDlgItem(page, IDC_SECURITY_SERVERS)) == 0)
        return;
    char* list = (char*)AllocMemory(ServerListSize);
    if (list == NULL)
        return;
    char* text = (char*)AllocMemory(ServerListSize);
    if (text == NULL) {
        FreeMemory(list);
        return;
    }
    GetControlText(page, IDC_SECURITY_SERVERS, text, ServerTextMaxCharacters + 1);
    int ready = 1;
    if (ButtonGetCheck(page, IDC_SECURITY_BROADCAST) == BST_CHECKED)
        memcpy(list, BroadcastList(), MultiStringSize(BroadcastList()));
    else
        ready = SplitServerList(list, ServerListSize, text);
    // The typed text is held to what always fits; should a list still not
    // fit, the stored one is kept rather than cut short.
    if (ready && SetMultiStringValue(key, "Hosts", list))
        ReleaseValue("Hosts");
    FreeMemory(text);
    FreeMemory(list);
}

void UpdateSecurityControls()
{
    HWND page = SecurityPageWindow;
    BOOL specific = ButtonGetCheck(page, IDC_SECURITY_SPECIFIC) == BST_CHECKED;
    EnableControl(page, IDC_SECURITY_SERVERS_LABEL, specific);
    EnableControl(page, IDC_SECURITY_SERVERS, specific);
    MarkPageChanged(page);
}

void ResetSecurityPage(HWND window)
{
    HWND page = GetSecurityPage(window);
    if (page == NULL) {
        SetSecurityResetPending(window, 1);
        return;
    }
    SecurityPageWindow = page;
    ReleaseValue("Hosts");
    ButtonCheckRadio(page, IDC_SECURITY_BROADCAST, IDC_SECURITY_SPECIFIC, IDC_SECURITY_BROADCAST);
    ShowUmask(InheritedUmask());
    UpdateSecurityControls();
    SetSecurityResetPending(window, 0);
}

void CommitSecurityReset(HWND window)
{
    if (!GetSecurityResetPending(window))
        return;
    HKEY key;
    if (CreateSettingsKey(HKEY_CURRENT_USER, GetUserDefaultsPath(), &key) == ERROR_SUCCESS) {
        SetDwordValue(key, "UMask", InheritedUmask());
        CloseSettingsKey(key);
    }
    if (CreateSettingsKey(HKEY_LOCAL_MACHINE, GetAuthServersPath(), &key) != ERROR_SUCCESS)
        return;
    SetMultiStringValue(key, "Hosts", BroadcastList());
    CloseSettingsKey(key);
}
