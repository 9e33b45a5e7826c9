// The Files and Folders page: how NFS files and folders appear to the PC
// (archive attribute, preferred case of names, case-sensitive lookup, group
// semantics of new folders), all per-user mount defaults.
#include "nfsclient.h"
#include "binders.h"
#include "controls.h"
#include "help.h"
#include "pagebindings.h"
#include "registry.h"
#include "resource.h"
#include "settings.h"
#include "sheet.h"
#include "sheetstate.h"
#include "store.h"

static HWND FilesPageWindow;

// All per-user mount defaults, in the order they are loaded and saved.
static const ControlBinding FilesRows[] = {
    {"ArchiveBit", ControlCheckBox, IDC_FILES_ARCHIVE, 0},
    {"CaseSensitive", ControlCheckBox, IDC_FILES_CASE_SENSITIVE, 0},
    {"PreferredCaseIsUpper", ControlRadioGroup, IDC_FILES_LOWERCASE, IDC_FILES_UPPERCASE},
    {"CaseForce", ControlCheckBox, IDC_FILES_CASE_FORCE, 0},
    {"UseBsdGroupSemantics", ControlRadioGroup, IDC_FILES_SYSTEM_V, IDC_FILES_BSD},
};

static const PageBindings Files = {
    PageFiles,
    FilesRows,
    (int)(sizeof(FilesRows) / sizeof(FilesRows[0])),
    {GetPageDefault, GetPageDefaultText},
    NULL,
    NULL,
};

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
    return TransferBindings(FilesPageWindow, &Files, save);
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

void ResetFilesPage(HWND window)
{
    HWND page = GetFilesPage(window);
    if (page == NULL) {
        SetFilesResetPending(window, 1);
        return;
    }
    FilesPageWindow = page;
    ShowBindingDefaults(page, &Files);
    UpdateFilesControls();
    SetFilesResetPending(window, 0);
}

void CommitFilesReset(HWND window)
{
    if (!GetFilesResetPending(window))
        return;
    CommitBindingDefaults(&Files);
}
