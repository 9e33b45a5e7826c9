#include "binders.h"
#include "controls.h"
#include "registry.h"

enum {
    EditTextLimit = 260,
    ComboTextSize = 256,
    ComboItemTextSize = 260,
};

static DWORD LoadDword(HKEY key, const char* valueName, DWORD defaultValue)
{
    DWORD value = 0;
    return GetDwordValue(key, valueName, &value) ? value : defaultValue;
}

static void StoreDword(HKEY key, const char* valueName, DWORD value)
{
    if (!SetDwordValue(key, valueName, value))
        ReportWriteFailure();
}

static void StoreString(HKEY key, const char* valueName, const char* text)
{
    if (!SetStringValue(key, valueName, text))
        ReportWriteFailure();
}

void BindCheckBox(HWND dialog, int id, HKEY key, const char* valueName, DWORD defaultValue,
                  int save)
{
    if (!save) {
        ButtonSetCheck(dialog, id, LoadDword(key, valueName, defaultValue));
        return;
    }
    // Indeterminate counts as set.
    StoreDword(key, valueName, ButtonGetCheck(dialog, id) != 0 ? 1 : 0);
}

void BindInvertedCheckBox(HWND dialog, int id, HKEY key, const char* valueName, DWORD defaultValue,
                          int save)
{
    if (!save) {
        DWORD value = LoadDword(key, valueName, defaultValue);
        ButtonSetCheck(dialog, id, value == 0 ? BST_CHECKED : BST_UNCHECKED);
        return;
    }
    StoreDword(key, valueName, ButtonGetCheck(dialog, id) == 0 ? 1 : 0);
}

int IsEditTextKept(HWND dialog, int id, const char* valueName, const char* defaultText)
{
    if (!IsValueKept(valueName))
        return 0;
    // Compared with what the field showed, not through its modify flag,
    // which WM_SETTEXT clears.
    const char* shown = defaultText != NULL ? defaultText : "";
    char text[EditTextLimit];
    if (GetWindowTextLengthA(GetDlgItem(dialog, id)) != lstrlenA(shown) ||
        lstrlenA(shown) >= EditTextLimit)
        return 0;
    text[0] = '\0';
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return lstrcmpA(text, shown) == 0 ? 1 : 0;
}

void BindEditText(HWND dialog, int id, HKEY key, const char* valueName, const char* defaultText,
                  int save, int maxSize)
{
    // The size is the caller's promise about its field; the buffer here has
    // a fixed size, so a larger claim is held to it.
    if (maxSize > EditTextLimit)
        maxSize = EditTextLimit;
    if (maxSize < 1)
        maxSize = 1;
    char text[EditTextLimit];
    if (!save) {
        DWORD size = (DWORD)maxSize;
        const char* shown = text;
        TextReadResult read = ReadStringValue(key, valueName, text, &size);
        // A text too long for the field is shown as the default but kept.
        if (read == TextTooLong)
            KeepValue(valueName);
        else
            ReleaseValue(valueName);
        if (read != TextRead)
            shown = defaultText != NULL ? defaultText : "";
        SetDlgItemTextA(dialog, id, shown);
        return;
    }
    if (IsEditTextKept(dialog, id, valueName, defaultText))
        return;
    text[0] = '\0';
    GetDlgItemTextA(dialog, id, text, maxSize);
    StoreString(key, valueName, text);
    ReleaseValue(valueName);
}

void BindComboText(HWND dialog, int id, HKEY key, const char* valueName, const char* defaultText,
                   int save)
{
    if (!save) {
        char text[ComboTextSize];
        DWORD size = sizeof(text);
        const char* shown = text;
        if (!GetStringValue(key, valueName, text, &size))
            shown = defaultText != NULL ? defaultText : "";
        if (!ComboSelectOrSetText(dialog, id, shown))
            ComboSetSelection(dialog, id, 0);
        return;
    }
    char text[ComboItemTextSize] = "";
    if (!ComboGetCurrentText(dialog, id, text))
        text[0] = '\0';
    StoreString(key, valueName, text);
}

void BindComboNumber(HWND dialog, int id, HKEY key, const char* valueName, DWORD defaultValue,
                     int save)
{
    if (!save) {
        if (!ComboSetNumber(dialog, id, LoadDword(key, valueName, defaultValue)))
            ComboSetSelection(dialog, id, 0);
        return;
    }
    // Only numbers within the list's own range are kept; anything else
    // leaves the stored value as it was, without a word.
    DWORD value;
    if (!ComboGetNumber(dialog, id, &value))
        return;
    DWORD bound;
    if (ComboGetMinimumNumber(dialog, id, &bound) && bound > value)
        return;
    if (ComboGetMaximumNumber(dialog, id, &bound) && bound < value)
        return;
    StoreDword(key, valueName, value);
}

void BindRadioGroup(HWND dialog, int firstId, int lastId, HKEY key, const char* valueName,
                    DWORD defaultValue, int save)
{
    if (!save) {
        // Unsigned arithmetic: a value beyond the group lands outside it
        // (and so clears every button) without signed overflow.
        DWORD value = LoadDword(key, valueName, defaultValue);
        int checked = (int)((DWORD)firstId + value);
        ButtonCheckRadio(dialog, firstId, lastId, checked);
        return;
    }
    StoreDword(key, valueName, (DWORD)GetCheckedRadioIndex(dialog, firstId, lastId));
}

void BindBoundedInteger(HWND dialog, int id, HKEY key, const char* valueName, DWORD defaultValue,
                        LONG minimum, LONG maximum, int save)
{
    if (!save) {
        SetDlgItemInt(dialog, id, LoadDword(key, valueName, defaultValue), FALSE);
        return;
    }
    BOOL translated;
    LONG value = (LONG)GetDialogUnsigned(dialog, id, &translated);
    if (!translated)
        return;
    if (value < minimum)
        value = minimum;
    if (value > maximum)
        value = maximum;
    StoreDword(key, valueName, (DWORD)value);
}
