// Control-registry bindings: one call per control moves a setting in either
// direction (save 0 = registry to control, nonzero = control to registry).
#ifndef ZEVR_BINDERS_H
#define ZEVR_BINDERS_H

#include <windows.h>

void BindCheckBox(HWND dialog, int id, HKEY key, const char* valueName, DWORD defaultValue,
                  int save);
void BindInvertedCheckBox(HWND dialog, int id, HKEY key, const char* valueName, DWORD defaultValue,
                          int save);
void BindEditText(HWND dialog, int id, HKEY key, const char* valueName, const char* defaultText,
                  int save, int maxSize);
// 1 while valueName is kept (too long for its field when loaded) and the
// field still shows the default that was put in its place.
int IsEditTextKept(HWND dialog, int id, const char* valueName, const char* defaultText);
void BindComboText(HWND dialog, int id, HKEY key, const char* valueName, const char* defaultText,
                   int save);
void BindComboNumber(HWND dialog, int id, HKEY key, const char* valueName, DWORD defaultValue,
                     int save);
void BindRadioGroup(HWND dialog, int firstId, int lastId, HKEY key, const char* valueName,
                    DWORD defaultValue, int save);
void BindBoundedInteger(HWND dialog, int id, HKEY key, const char* valueName, DWORD defaultValue,
                        LONG minimum, LONG maximum, int save);

#endif
