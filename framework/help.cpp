#include "help.h"
#include "controls.h"
#include "resource.h"
#include "sheet.h"

#include <stdio.h>

enum { WhatsThisCommand = 40002 };

static const char HelpFileName[] = "config32.hlp";

// The control the "What's this?" menu was opened on. One popup menu at a
// time, so every page can share it.
static int PendingControlId;

int LookUpHelpId(int controlId)
{
    if (controlId < 1)
        return -1;
    int helpId = FindHelpId(controlId);
    if (helpId == -1) {
        char text[MessageTextSize];
        snprintf(text, sizeof(text), "help Id for Dialog Item %d", controlId);
        ReportNotFound(text);
    }
    return helpId;
}

int HasContextHelp(HWND page, int controlId)
{
    if (controlId < 1)
        return 0;
    // Group boxes only frame other controls; they never have help of their
    // own, whatever the table says.
    return IsGroupBox(GetDlgItem(page, controlId)) ? 0 : 1;
}

void ShowControlHelp(HWND page, int controlId)
{
    if (!HasContextHelp(page, controlId))
        return;
    int helpId = LookUpHelpId(controlId);
    if (helpId < 1)
        return;
    WinHelpA(page, HelpFileName, HELP_CONTEXTPOPUP, (ULONG_PTR)helpId);
}

// Offers the one-item "What's this?" menu for the control under the click.
static INT_PTR OfferWhatsThis(HWND page, WPARAM wParam, LPARAM lParam)
{
    int x = (int)LOWORD(lParam);
    int y = (int)HIWORD(lParam);
    int controlId = GetDlgCtrlID((HWND)wParam);
    if (controlId == 0) {
        // A click on a disabled control or on bare page space arrives from
        // the page itself; the point tells which child it was.
        POINT point = {x, y};
        ScreenToClient(page, &point);
        controlId = GetDlgCtrlID(ChildWindowFromPoint(page, point));
    }
    PendingControlId = controlId;
    if (controlId < 1 || !HasContextHelp(page, controlId))
        return 0;

    HMENU menu = CreatePopupMenu();
    if (menu == NULL)
        return 1;
    const char* text = LoadMessageText(NULL, IDS_WHATS_THIS);
    if (text != NULL && AppendMenuA(menu, MF_STRING, WhatsThisCommand, text))
        TrackPopupMenu(menu, 0, x, y, 0, page, NULL);
    DestroyMenu(menu);
    return 1;
}

INT_PTR ContextHelpHandler(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_HELP: {
        const HELPINFO* info = (const HELPINFO*)lParam;
        if (info != NULL)
            ShowControlHelp(page, info->iCtrlId);
        return 1;
    }
    case WM_CONTEXTMENU:
        return OfferWhatsThis(page, wParam, lParam);
    case WM_COMMAND:
        // Pages pass on only the commands they did not consume; each counts
        // as a change, which is what enables the sheet's Apply button.
        SendMessageA(GetParent(page), PSM_CHANGED, (WPARAM)page, 0);
        if (LOWORD(wParam) == WhatsThisCommand) {
            if (PendingControlId != 0)
                ShowControlHelp(page, PendingControlId);
            PendingControlId = 0;
            return 1;
        }
        return 0;
    default:
        return 0;
    }
}
