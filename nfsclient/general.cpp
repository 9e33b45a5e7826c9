// The "NFS General" page: mount options, the long-name mapping character and
// the transfer sizes; and the coordination of the whole NFS client sheet
// (the shared page-state record, the "Def&aults" button, apply-all).
#include "nfsclient.h"
#include "binders.h"
#include "controls.h"
#include "help.h"
#include "numbers.h"
#include "pagebindings.h"
#include "registry.h"
#include "resource.h"
#include "settings.h"
#include "sheet.h"
#include "sheetstate.h"
#include "store.h"

static HWND GeneralPageWindow;
static WNDPROC SavedFrameProc;

// The per-user mount defaults, then the machine ones, in the order they are
// loaded and saved.
static const ControlBinding GeneralRows[] = {
    {"ReadOnly", ControlCheckBox, IDC_GENERAL_READ_ONLY, 0},
    {"LockingSharing", ControlCheckBox, IDC_GENERAL_LOCKING, 0},
    {"ShortNameMappingCharacter", ControlComboText, IDC_GENERAL_MAPPING, 0},
    {"RSize", ControlComboNumber, IDC_GENERAL_READ_SIZE, 0},
    {"WSize", ControlComboNumber, IDC_GENERAL_WRITE_SIZE, 0},
};

static const PageBindings General = {
    PageGeneral,
    GeneralRows,
    (int)(sizeof(GeneralRows) / sizeof(GeneralRows[0])),
    {GetPageDefault, GetPageDefaultText},
    NULL,
    NULL,
};

// The other pages, in the order "Def&aults" resets them and the apply
// commits the resets of those never opened.
struct PageResetEntries {
    void (*Reset)(HWND window);
    void (*Commit)(HWND window);
};

static const PageResetEntries OtherPages[] = {
    {ResetAdvancedPage, CommitAdvancedReset}, {ResetCachingPage, CommitCachingReset},
    {ResetFilesPage, CommitFilesReset},       {ResetSecurityPage, CommitSecurityReset},
    {ResetTuningPage, CommitTuningReset},
};

void AddGeneralPage()
{
    AddPropertyPage(IDD_NFS_GENERAL, GeneralPageProc);
}

INT_PTR CALLBACK GeneralPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    GeneralPageWindow = window;
    switch (message) {
    case WM_INITDIALOG:
        return InitGeneralPage(window);
    case WM_NOTIFY:
        ApplyAllPages((NMHDR*)lParam);
        return 0;
    default:
        return ContextHelpHandler(window, message, wParam, lParam);
    }
}

// Without the shared record no page of the sheet can work: say so and close
// the sheet as cancelled, so that nothing is written. The text is no
// resource string: adding one would change the compiled resources.
static BOOL RefuseSheet(HWND page, HWND frame)
{
    ShowMessageBox(page, "There is not enough memory to show the NFS client settings.", NULL,
                   MB_OK);
    PostMessageA(frame, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    return TRUE;
}

BOOL InitGeneralPage(HWND page)
{
    HWND frame = GetParent(page);
    const char* text = LoadMessageText(NULL, IDS_DEFAULTS);

    RECT ok = {0, 0, 0, 0};
    GetWindowRect(GetDlgItem(frame, IDOK), &ok);
    POINT topLeft = {ok.left, ok.top};
    POINT bottomRight = {ok.right, ok.bottom};
    ScreenToClient(frame, &topLeft);
    ScreenToClient(frame, &bottomRight);
    HWND button =
        CreateWindowExA(0, "BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 5,
                        topLeft.y, 127, bottomRight.y - topLeft.y, frame,
                        (HMENU)(INT_PTR)IDC_GENERAL_DEFAULTS, ModuleInstance, NULL);
    HFONT font = (HFONT)SendMessageA(page, WM_GETFONT, 0, 0);
    if (font != NULL)
        SendMessageA(button, WM_SETFONT, (WPARAM)font, 0);
    HookSheetFrame(frame);

    if (CreateSheetState() == NULL)
        return RefuseSheet(page, frame);
    SetGeneralPage(page, page);
    GeneralPageWindow = page;

    FillMappingCharacters();
    FillTransferSizes(IDC_GENERAL_READ_SIZE);
    FillTransferSizes(IDC_GENERAL_WRITE_SIZE);
    TransferGeneralPage(0);
    return TRUE;
}

// The lists and their first selection, the built-in default, come from the
// settings table.
void FillMappingCharacters()
{
    const SettingRow* row = FindNfsSetting("ShortNameMappingCharacter");
    ComboSetRedraw(GeneralPageWindow, IDC_GENERAL_MAPPING, FALSE);
    for (int i = 0; i < row->ChoiceCount; ++i)
        ComboAddString(GeneralPageWindow, IDC_GENERAL_MAPPING, row->Choices[i].Text);
    ComboSetRedraw(GeneralPageWindow, IDC_GENERAL_MAPPING, TRUE);
    ComboSelectOrSetText(GeneralPageWindow, IDC_GENERAL_MAPPING, row->DefaultText);
}

void FillTransferSizes(int id)
{
    const SettingRow* row = FindNfsSetting(id == IDC_GENERAL_READ_SIZE ? "RSize" : "WSize");
    ComboSetRedraw(GeneralPageWindow, id, FALSE);
    for (const char* const* size = row->Items; *size != NULL; ++size)
        ComboAddString(GeneralPageWindow, id, *size);
    ComboSetRedraw(GeneralPageWindow, id, TRUE);
    char text[16];
    ComboSelectOrSetText(GeneralPageWindow, id, FormatNumberText(text, row->DefaultNumber));
}

int TransferGeneralPage(int save)
{
    return TransferBindings(GeneralPageWindow, &General, save);
}

void ShowGeneralDefaults(HWND window)
{
    (void)window;
    ShowBindingDefaults(GeneralPageWindow, &General);
}

void ApplyAllPages(NMHDR* header)
{
    if (header == NULL || header->code != (UINT)PSN_APPLY)
        return;
    HWND page = GeneralPageWindow;
    TransferGeneralPage(1);
    // The pages that were reset but never opened get their defaults here;
    // pages that exist save themselves on their own PSN_APPLY.
    for (const PageResetEntries& other : OtherPages)
        other.Commit(page);
    SetApplied(page, 1);
    // The Files and Folders page prunes again after its save, from what this
    // pass read.
    PruneAndKeepReading();
}

void HookSheetFrame(HWND frame)
{
    SavedFrameProc = (WNDPROC)GetWindowLongPtrA(frame, GWLP_WNDPROC);
    SetWindowLongPtrA(frame, GWLP_WNDPROC, (LONG_PTR)SheetFrameHook);
}

// The button is looked up only for the messages that concern it: every
// other message to the frame would otherwise pay for the look-up too.
LRESULT CALLBACK SheetFrameHook(HWND frame, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_HELP:
        if (((HELPINFO*)lParam)->iCtrlId == IDC_GENERAL_DEFAULTS) {
            SendMessageA(GetGeneralPage(frame), WM_HELP, wParam, lParam);
            return TRUE;
        }
        break;
    case WM_CONTEXTMENU: {
        HWND button = GetDlgItem(frame, IDC_GENERAL_DEFAULTS);
        if ((HWND)wParam == button && button != NULL) {
            SendMessageA(GetGeneralPage(frame), WM_CONTEXTMENU, wParam, lParam);
            return TRUE;
        }
        break;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_GENERAL_DEFAULTS) {
            ResetAllPages(GetDlgItem(frame, IDC_GENERAL_DEFAULTS));
            return TRUE;
        }
        break;
    case WM_DESTROY:
        FreeSheetState();
        ForgetPruneReading();
        break;
    }
    return CallWindowProcA(SavedFrameProc, frame, message, wParam, lParam);
}

void ResetAllPages(HWND button)
{
    GeneralPageWindow = GetGeneralPage(button);
    ShowGeneralDefaults(button);
    for (const PageResetEntries& other : OtherPages)
        other.Reset(button);
}
