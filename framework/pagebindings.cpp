#include "pagebindings.h"
#include "binders.h"
#include "controls.h"
#include "registry.h"

#include <string.h>

const SettingRow* GetBindingRow(const PageBindings* page, int index)
{
    return FindPageSetting(page->Page, page->Rows[index].Name);
}

LONG CreateRowKey(const SettingRow* row, HKEY* key)
{
    HKEY hive = row->Hive == HiveUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    char path[LevelKeyPathSize];
    if (!BuildSettingKeyPath(row, NULL, NULL, path, sizeof(path)))
        return ERROR_FILENAME_EXCED_RANGE;
    return row->Absolute ? CreateKeyAbsolute(hive, path, key) : CreateSettingsKey(hive, path, key);
}

static DWORD NumberDefault(const PageBindings* page, const SettingRow* row)
{
    return page->Defaults.Number != NULL ? page->Defaults.Number(row) : row->DefaultNumber;
}

static const char* TextDefault(const PageBindings* page, const SettingRow* row)
{
    return page->Defaults.Text != NULL ? page->Defaults.Text(row) : row->DefaultText;
}

// The rows from first on that share its key: one past the last of them.
static int EndOfKey(const PageBindings* page, int first)
{
    const SettingRow* row = GetBindingRow(page, first);
    int end = first + 1;
    while (end < page->Count) {
        const SettingRow* next = GetBindingRow(page, end);
        if (next->Hive != row->Hive || next->Absolute != row->Absolute ||
            strcmp(next->Key, row->Key) != 0)
            break;
        ++end;
    }
    return end;
}

static void TransferRow(HWND dialog, const PageBindings* page, int index, HKEY key, int save)
{
    const ControlBinding& binding = page->Rows[index];
    const SettingRow* row = GetBindingRow(page, index);
    const char* name = binding.Name;
    switch (binding.Control) {
    case ControlCheckBox:
        BindCheckBox(dialog, binding.Id, key, name, NumberDefault(page, row), save);
        break;
    case ControlInvertedCheckBox:
        BindInvertedCheckBox(dialog, binding.Id, key, name, NumberDefault(page, row), save);
        break;
    case ControlComboNumber:
        BindComboNumber(dialog, binding.Id, key, name, NumberDefault(page, row), save);
        break;
    case ControlComboText:
        BindComboText(dialog, binding.Id, key, name, TextDefault(page, row), save);
        break;
    case ControlRadioGroup:
        BindRadioGroup(dialog, binding.Id, binding.LastId, key, name, NumberDefault(page, row),
                       save);
        break;
    case ControlBoundedInteger:
        BindBoundedInteger(dialog, binding.Id, key, name, NumberDefault(page, row),
                           (LONG)row->Minimum, (LONG)row->Maximum, save);
        break;
    case ControlEditText:
        BindEditText(dialog, binding.Id, key, name, TextDefault(page, row), save,
                     (int)row->Maximum + 1);
        break;
    }
}

// A minimum and the maximum after it are saved together or not at all.
static int MaySavePair(const PageBindings* page, int index)
{
    const SettingRow* row = GetBindingRow(page, index);
    if (page->PairInOrder == NULL || row->Pair == NULL)
        return 1;
    if (row->PairIsMinimum)
        return page->PairInOrder(page->Rows[index].Id, page->Rows[index + 1].Id);
    return page->PairInOrder(page->Rows[index - 1].Id, page->Rows[index].Id);
}

int TransferBindings(HWND dialog, const PageBindings* page, int save)
{
    for (int first = 0; first < page->Count;) {
        int end = EndOfKey(page, first);
        HKEY key;
        if (CreateRowKey(GetBindingRow(page, first), &key) != ERROR_SUCCESS)
            return 0;
        for (int i = first; i < end; ++i) {
            if (save && !MaySavePair(page, i))
                continue;
            if (save && page->MaySave != NULL && !page->MaySave(page->Rows[i].Name))
                continue;
            TransferRow(dialog, page, i, key, save);
        }
        CloseSettingsKey(key);
        first = end;
    }
    return 1;
}

void ShowBindingDefaults(HWND dialog, const PageBindings* page)
{
    for (int i = 0; i < page->Count; ++i) {
        const ControlBinding& binding = page->Rows[i];
        const SettingRow* row = GetBindingRow(page, i);
        switch (binding.Control) {
        case ControlCheckBox:
            ButtonSetCheck(dialog, binding.Id,
                           NumberDefault(page, row) != 0 ? BST_CHECKED : BST_UNCHECKED);
            break;
        case ControlInvertedCheckBox:
            ButtonSetCheck(dialog, binding.Id,
                           NumberDefault(page, row) == 0 ? BST_CHECKED : BST_UNCHECKED);
            break;
        case ControlComboNumber:
            ComboSetNumber(dialog, binding.Id, NumberDefault(page, row));
            break;
        case ControlComboText:
            ComboSelectOrSetText(dialog, binding.Id, TextDefault(page, row));
            break;
        case ControlRadioGroup:
            // A default beyond the group checks no button, as a stored one does.
            ButtonCheckRadio(dialog, binding.Id, binding.LastId,
                             (int)((DWORD)binding.Id + NumberDefault(page, row)));
            break;
        case ControlBoundedInteger:
            SetDlgItemInt(dialog, binding.Id, NumberDefault(page, row), FALSE);
            break;
        case ControlEditText:
            SetDlgItemTextA(dialog, binding.Id, TextDefault(page, row));
            break;
        }
    }
}

void CommitBindingDefaults(const PageBindings* page)
{
    for (int first = 0; first < page->Count;) {
        int end = EndOfKey(page, first);
        HKEY key;
        if (CreateRowKey(GetBindingRow(page, first), &key) == ERROR_SUCCESS) {
            for (int i = first; i < end; ++i) {
                const SettingRow* row = GetBindingRow(page, i);
                if (row->Type == TypeDword)
                    SetDwordValue(key, row->Name, NumberDefault(page, row));
                else
                    SetStringValue(key, row->Name, TextDefault(page, row));
            }
            CloseSettingsKey(key);
        }
        first = end;
    }
}
