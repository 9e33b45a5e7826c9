// Dialog control helpers: list and combo wrappers, the numeric combo box
// (numbers mixed with named choices that stand for 0), edit helpers, field
// validation and one-at-a-time message boxes. The dialog comes first, the
// control id second.
#ifndef ZEVR_CONTROLS_H
#define ZEVR_CONTROLS_H

#include <windows.h>

#include "numbers.h"

// Four parts of at most three digits, three dots and the terminator.
enum { IPAddressTextSize = 16 };

// List boxes
LRESULT ListGetCount(HWND dialog, int id);
LRESULT ListAddString(HWND dialog, int id, const char* text);
LRESULT ListInsertString(HWND dialog, int id, int index, const char* text);
LRESULT ListDeleteString(HWND dialog, int id, int index);
void ListSetSelection(HWND dialog, int id, int index);
LRESULT ListGetSelection(HWND dialog, int id);
int ListGetItemText(HWND dialog, int id, int index, char* buffer, int bufferSize);
LRESULT ListFindExact(HWND dialog, int id, const char* text);
LRESULT ListDeleteMatching(HWND dialog, int id, const char* text);

// Buttons: what CheckDlgButton, IsDlgButtonChecked and CheckRadioButton do,
// through the controls remembered by id; a radio group is the ids firstId
// to lastId.
UINT ButtonGetCheck(HWND dialog, int id);
void ButtonSetCheck(HWND dialog, int id, UINT state);
void ButtonCheckRadio(HWND dialog, int firstId, int lastId, int checkedId);

// Combo boxes
LRESULT ComboGetCount(HWND dialog, int id);
LRESULT ComboGetSelection(HWND dialog, int id);
int ComboSetSelection(HWND dialog, int id, int index);
LRESULT ComboFindExact(HWND dialog, int id, const char* text);
LRESULT ComboAddString(HWND dialog, int id, const char* text);
LRESULT ComboAddResourceString(HWND dialog, int id, UINT stringId);
// Off while a list is filled: otherwise each item added redraws the list.
void ComboSetRedraw(HWND dialog, int id, BOOL redraw);
int ComboGetItemText(HWND dialog, int id, int index, char* buffer); // buffer >= 260 bytes
int ComboGetCurrentText(HWND dialog, int id, char* buffer);
int ComboSelectOrSetText(HWND dialog, int id, const char* text);

// Numeric combo boxes
int ComboFindFirstNamedItem(HWND dialog, int id, char* buffer);
int ComboSetNumber(HWND dialog, int id, DWORD value);
int ComboGetItemNumber(HWND dialog, int id, int index, DWORD* value);
int ComboGetNumber(HWND dialog, int id, DWORD* value);
int ComboGetMinimumNumber(HWND dialog, int id, DWORD* value);
int ComboGetMaximumNumber(HWND dialog, int id, DWORD* value);

// Edit fields and windows
LRESULT EditSelectAll(HWND dialog, int id);
LRESULT EditLimitText(HWND dialog, int id, int limit);
LRESULT EditUndo(HWND dialog, int id);
int GetControlText(HWND dialog, int id, char* buffer, int maxCharacters);
int SetControlText(HWND dialog, int id, const char* text);
BOOL EnableControl(HWND dialog, int id, BOOL enable);
WNDPROC SetControlWindowProc(HWND dialog, int id, WNDPROC procedure);
// GetDlgItemInt (unsigned) with Windows' rules on every platform: leading
// spaces, then digits only, at most 32 bits; *translated tells success.
UINT GetDialogUnsigned(HWND dialog, int id, BOOL* translated);

// Validation and the rest
int ValidateTextField(HWND dialog, int id, int allowEmpty, int maxLength, UINT limitMessageId,
                      UINT emptyMessageId);
int IsFieldBlank(HWND dialog, int id);
int GetCheckedRadioIndex(HWND dialog, int firstId, int lastId);
// text holds IPAddressTextSize bytes; a control with more parts than fit
// fails like one with an empty part.
int GetIPAddressText(HWND dialog, int id, char* text);
int IsGroupBox(HWND window);
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT style);
void ReportNotFound(const char* text);
void* AllocMemory(size_t size);
void FreeMemory(void* block);

#endif
