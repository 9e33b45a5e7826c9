// The Files and Folders page: how NFS files and folders appear to the PC
// (archive attribute, preferred case of names, case-sensitive lookup, group
// semantics of new folders), all per-user mount defaults.
#include "nfsclient.h"
#include "binders.h"
#include "controls.h"
#include "help.h"
#include "registry.h"
#include "settings.h"
#include "sheet.h"
#include "sheetstate.h"
#include "store.h"

static HWND FilesPageWindow;

enum {
    ArchiveBitId = 1074,
    CaseSensitiveId = 1078,
    SystemVId = 1079,
    BsdId = 1080,
    CaseForceId = 1120,
    LowercaseId = 1121,
    UppercaseId = 1122,
};

void AddFilesPage()
{
    AddPropertyPage(FilesTemplateId, FilesPageProc);
}

INT_PTR CALLBACK FilesPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    FilesPageWindow = window;
    switch (message) {
    case WM_INITDIALOG:
        return InitFilesPage(window);
    case WM_COMMAND:
        if (LOWORD(wParam) == CaseForceId) {
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
    BindCheckBox(page, ArchiveBitId, key, "ArchiveBit", GetInheritedUserDefault("ArchiveBit"),
                 save);
    BindCheckBox(page, CaseSensitiveId, key, "CaseSensitive",
                 GetInheritedUserDefault("CaseSensitive"), save);
    BindRadioGroup(page, LowercaseId, UppercaseId, key, "PreferredCaseIsUpper",
                   GetInheritedUserDefault("PreferredCaseIsUpper"), save);
    BindCheckBox(page, CaseForceId, key, "CaseForce", GetInheritedUserDefault("CaseForce"), save);
    BindRadioGroup(page, SystemVId, BsdId, key, "UseBsdGroupSemantics",
                   GetInheritedUserDefault("UseBsdGroupSemantics"), save);
    CloseSettingsKey(key);
    return 1;
}

// Case-sensitive lookup only makes sense for names forced into one case, so
// it is offered only then, and never left checked without it.
void UpdateFilesControls()
{
    HWND page = FilesPageWindow;
    BOOL force = ButtonGetCheck(page, CaseForceId) == BST_CHECKED;
    EnableControl(page, CaseSensitiveId, force);
    if (!force)
        ButtonSetCheck(page, CaseSensitiveId, BST_UNCHECKED);
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
    ShowInheritedCheck(page, ArchiveBitId, "ArchiveBit");
    ShowInheritedCheck(page, CaseSensitiveId, "CaseSensitive");
    ShowInheritedRadio(page, LowercaseId, UppercaseId, "PreferredCaseIsUpper");
    ShowInheritedCheck(page, CaseForceId, "CaseForce");
    ShowInheritedRadio(page, SystemVId, BsdId, "UseBsdGroupSemantics");
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
