// The Advanced page: how the NFS client reaches servers. The transport is a
// text of the machine mount defaults; the protocol version and the port are
// numbers of the user mount defaults. Each maps to a radio group through a
// table, so the page moves its values itself rather than through binders.
#include "nfsclient.h"
#include "advancedmaps.h"
#include "controls.h"
#include "help.h"
#include "registry.h"
#include "resource.h"
#include "sheet.h"
#include "sheetstate.h"
#include "store.h"

static HWND AdvancedPageWindow;

// Room for "tcp" and "udp"; a longer stored text reads as missing.
enum { TransportBufferSize = 10 };

static const char* InheritedTransport()
{
    const char* text =
        GetInheritedString(HKEY_CURRENT_USER, GetMachineDefaultsPath(), "Transport", 256);
    return text != NULL ? text : "";
}

static void CheckTransport(HWND page, const char* text)
{
    ButtonCheckRadio(page, IDC_ADVANCED_TRANSPORT_AUTOMATIC, IDC_ADVANCED_UDP_ONLY,
                     IDC_ADVANCED_TRANSPORT_AUTOMATIC + TransportIndex(text));
}

static void CheckVersion(HWND page, DWORD value)
{
    ButtonCheckRadio(page, IDC_ADVANCED_VERSION_AUTOMATIC, IDC_ADVANCED_V2_ONLY,
                     IDC_ADVANCED_VERSION_AUTOMATIC + VersionIndex(value));
}

static void ShowPort(HWND page, DWORD port)
{
    SetDlgItemInt(page, IDC_ADVANCED_PORT, port, FALSE);
}

void AddAdvancedPage()
{
    AddPropertyPage(IDD_NFS_ADVANCED, AdvancedPageProc);
}

INT_PTR CALLBACK AdvancedPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    AdvancedPageWindow = window;
    switch (message) {
    case WM_INITDIALOG:
        return InitAdvancedPage(window);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_ADVANCED_PORTMAPPER ||
            LOWORD(wParam) == IDC_ADVANCED_SPECIFIC_PORT) {
            UpdateAdvancedControls();
            return TRUE;
        }
        break;
    case WM_NOTIFY:
        if (((NMHDR*)lParam)->code == (UINT)PSN_APPLY)
            TransferAdvancedPage(1);
        return FALSE;
    }
    return ContextHelpHandler(window, message, wParam, lParam);
}

BOOL InitAdvancedPage(HWND page)
{
    SetAdvancedPage(page, page);
    TransferAdvancedPage(0);
    if (GetAdvancedResetPending(page))
        ResetAdvancedPage(page);
    UpdateAdvancedControls();
    return TRUE;
}

int TransferAdvancedPage(int save)
{
    HKEY key;
    if (CreateSettingsKey(HKEY_CURRENT_USER, GetMachineDefaultsPath(), &key) != ERROR_SUCCESS)
        return 0;
    TransferTransport(key, "Transport", InheritedTransport(), save);
    CloseSettingsKey(key);

    if (CreateSettingsKey(HKEY_CURRENT_USER, GetUserDefaultsPath(), &key) != ERROR_SUCCESS)
        return 0;
    TransferNfsVersion(key, "NfsVersion", GetInheritedUserDefault("NfsVersion"), save);
    CloseSettingsKey(key);
    TransferNfsPort(save);
    return 1;
}

// Failed writes on this page are not reported: the next load shows what the
// registry really holds.
void TransferTransport(HKEY key, const char* valueName, const char* defaultText, int save)
{
    HWND page = AdvancedPageWindow;
    if (save) {
        int index =
            GetCheckedRadioIndex(page, IDC_ADVANCED_TRANSPORT_AUTOMATIC, IDC_ADVANCED_UDP_ONLY);
        SetStringValue(key, valueName, TransportText(index));
        return;
    }
    char text[TransportBufferSize];
    DWORD size = sizeof(text);
    CheckTransport(page, GetStringValue(key, valueName, text, &size) ? text : defaultText);
}

void TransferNfsVersion(HKEY key, const char* valueName, DWORD defaultValue, int save)
{
    HWND page = AdvancedPageWindow;
    if (save) {
        int index =
            GetCheckedRadioIndex(page, IDC_ADVANCED_VERSION_AUTOMATIC, IDC_ADVANCED_V2_ONLY);
        SetDwordValue(key, valueName, VersionValue(index));
        return;
    }
    DWORD value = defaultValue;
    GetDwordValue(key, valueName, &value);
    CheckVersion(page, value);
}

void TransferNfsPort(int save)
{
    HWND page = AdvancedPageWindow;
    BOOL portmapper = ButtonGetCheck(page, IDC_ADVANCED_PORTMAPPER) == BST_CHECKED;
    HKEY key;
    if (CreateSettingsKey(HKEY_CURRENT_USER, GetUserDefaultsPath(), &key) != ERROR_SUCCESS)
        return;
    if (save) {
        // Port 0 asks the portmapper, so anything but a number saves that.
        UINT port = GetDialogUnsigned(page, IDC_ADVANCED_PORT, NULL);
        SetDwordValue(key, "NfsPort", portmapper ? 0 : (DWORD)port);
    } else {
        DWORD port = GetInheritedUserDefault("NfsPort");
        GetDwordValue(key, "NfsPort", &port);
        ShowPort(page, port);
        ButtonCheckRadio(page, IDC_ADVANCED_PORTMAPPER, IDC_ADVANCED_SPECIFIC_PORT,
                         port == 0 ? IDC_ADVANCED_PORTMAPPER : IDC_ADVANCED_SPECIFIC_PORT);
    }
    CloseSettingsKey(key);
}

void UpdateAdvancedControls()
{
    HWND page = AdvancedPageWindow;
    BOOL specific = ButtonGetCheck(page, IDC_ADVANCED_SPECIFIC_PORT) == BST_CHECKED;
    EnableControl(page, IDC_ADVANCED_PORT_LABEL, specific);
    EnableControl(page, IDC_ADVANCED_PORT, specific);
    MarkPageChanged(page);
}

void ResetAdvancedPage(HWND window)
{
    HWND page = GetAdvancedPage(window);
    if (page == NULL) {
        SetAdvancedResetPending(window, 1);
        return;
    }
    AdvancedPageWindow = page;
    CheckTransport(page, InheritedTransport());
    CheckVersion(page, GetInheritedUserDefault("NfsVersion"));
    ShowPort(page, GetInheritedUserDefault("NfsPort"));
    ButtonCheckRadio(page, IDC_ADVANCED_PORTMAPPER, IDC_ADVANCED_SPECIFIC_PORT,
                     IDC_ADVANCED_PORTMAPPER);
    UpdateAdvancedControls();
    SetAdvancedResetPending(window, 0);
}

void CommitAdvancedReset(HWND window)
{
    if (!GetAdvancedResetPending(window))
        return;
    HKEY key;
    if (CreateSettingsKey(HKEY_CURRENT_USER, GetMachineDefaultsPath(), &key) == ERROR_SUCCESS) {
        SetStringValue(key, "Transport", InheritedTransport());
        CloseSettingsKey(key);
    }
    if (CreateSettingsKey(HKEY_CURRENT_USER, GetUserDefaultsPath(), &key) != ERROR_SUCCESS)
        return;
    SetDwordValue(key, "NfsVersion", GetInheritedUserDefault("NfsVersion"));
    SetDwordValue(key, "NfsPort", GetInheritedUserDefault("NfsPort"));
    CloseSettingsKey(key);
}
