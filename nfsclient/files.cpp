// The Files and Folders page: how NFS files and folders appear to the PC
// (archive attribute, preferred case of names, case-sensitive lookup, group
// semantics of new folders), all per-user mount defaults.
#include "nfsclient.h"
#include "binders.h"
#include "controls.h"
#include "help.h"
#include "registry.h"
#include "resource.h"
#include "settings.h"
#include "sheet.h"
#include "sheetstate.h"
#include "store.h"

static HWND FilesPageWindow;

void AddFilesPage()
{
    AddPropertyPage(IDD_NFS_FILES, FilesPageProc);
}

INT_PTR CALLBACK FilesPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    FilesPageWindow = window;
    switch (message) {
    case WM_INITDIALOG:
        return InitFilesPage(window);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_FILES_CASE_FORCE) {
            UpdateFilesControls();
            return TRUE;
        }
        break;
    case WM_NOTIFY:
        if (((NMHDR*)lParam)->code == (UINT)PSN_APPLY) {
            TransferFilesPage(1);
            PruneAfterPageSaves();
        }
        return FALSE;
    }
    return ContextHelpHandler(window, message, wParam, lParam);
}

BOOL InitFilesPage(HWND page)
{
    SetFilesPage(page, page);
    TransferFilesPage(0);
    if (GetFilesResetPending(page))
        ResetFilesPage(page);
    UpdateFilesControls();
    return TRUE;
}

int TransferFilesPage(int save)
{
    HWND page = FilesPageWindow;
    HKEY key;
    if (CreateSettingsKey(HKEY_CURRENT_USER, GetUserDefaultsPath(), &key) != ERROR_SUCCESS)
        return 0;
    BindCheckBox(page, IDC_FILES_ARCHIVE, key, "ArchiveBit", GetInheritedUserDefault("ArchiveBit"),
                 save);
    BindCheckBox(page, IDC_FILES_CASE_SENSITIVE, key, "CaseSensitive",
                 GetInheritedUserDefault("CaseSensitive"), save);
    BindRadioGroup(page, IDC_FILES_LOWERCASE, IDC_FILES_UPPERCASE, key, "PreferredCaseIsUpper",
                   GetInheritedUserDefault("PreferredCaseIsUpper"), save);
    BindCheckBox(page, IDC_FILES_CASE_FORCE, key, "CaseForce", GetInheritedUserDefault("CaseForce"),
                 save);
    BindRadioGroup(page, IDC_FILES_SYSTEM_V, IDC_FILES_BSD, key, "UseBsdGroupSemantics",
                   GetInheritedUserDefault("UseBsdGroupSemantics"), save);
    CloseSettingsKey(key);
    return 1;
}

// Case-sensitive lookup only makes sense for names forced into one case, so
// it is offered only then, and never left checked without it.
void UpdateFilesControls()
{
    HWND page = FilesPageWindow;
    BOOL force = ButtonGetCheck(page, IDC_FILES_CASE_FORCE) == BST_CHECKED;
    EnableControl(page, IDC_FILES_CASE_SENSITIVE, force);
    if (!force)
        ButtonSetCheck(page, IDC_FILES_CASE_SENSITIVE, BST_UNCHECKED);
    MarkPageChanged(page);
}

static void ShowInheritedCheck(HWND page, int id, const char* valueName)
{
    ButtonSetCheck(page, id, GetInheritedUserDefault(valueName) != 0 ? BST_CHECKED : BST_UNCHECKED);
}

// A default beyond the group checks no button, as a stored one does.
static void ShowInheritedRadio(HWND page, int firstId, int lastId, const char* valueName)
{
    ButtonCheckRadio(page, firstId, lastId,
                     (int)((DWORD)firstId + GetInheritedUserDefault(valueName)));
}

void ResetFilesPage(HWND window)
{
    HWND page = GetFilesPage(window);
    if (page == NULL) {
        SetFilesResetPending(window, 1);
        return;
    }
    FilesPageWindow = page;
    ShowInheritedCheck(page, IDC_FILES_ARCHIVE, "ArchiveBit");
    ShowInheritedCheck(page, IDC_FILES_CASE_SENSITIVE, "CaseSensitive");
    ShowInheritedRadio(page, IDC_FILES_LOWERCASE, IDC_FILES_UPPERCASE, "PreferredCaseIsUpper");
    ShowInheritedCheck(page, IDC_FILES_CASE_FORCE, "CaseForce");
    ShowInheritedRadio(page, IDC_FILES_SYSTEM_V, IDC_FILES_BSD, "UseBsdGroupSemantics");
    UpdateFilesControls();
    SetFilesResetPending(window, 0);
}

void CommitFilesReset(HWND window)
{
    if (!GetFilesResetPending(window))
        return;
    HKEY key;
    if (CreateSettingsKey(HKEY_CURRENT_USER, GetUserDefaultsPath(), &key) != ERROR_SUCCESS)
        return;
    // The page's values in table order, which is the order they are saved.
    for (int i = 0; i < GetSettingCount(); ++i) {
        const SettingRow* row = GetSettingRow(i);
        if (row->Page == PageFiles)
            SetDwordValue(key, row->Name, GetInheritedUserDefault(row->Name));
    }
    CloseSettingsKey(key);
}
