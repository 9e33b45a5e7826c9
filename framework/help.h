// Context help for every page: F1, the caption-bar help button and the
// "What's this?" menu, all showing a popup from "config32.hlp".
#ifndef ZEVR_HELP_H
#define ZEVR_HELP_H

#include <windows.h>

#include "helptable.h"

// Every page passes the messages it has not handled; 1 when handled here.
// Marks the page changed (PSM_CHANGED) for every WM_COMMAND.
INT_PTR ContextHelpHandler(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void ShowControlHelp(HWND page, int controlId);
// The help context id, or -1 (reporting an id missing from the table).
int LookUpHelpId(int controlId);
int HasContextHelp(HWND page, int controlId);

#endif
