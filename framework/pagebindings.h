// A page's values declared once, one row per control: the transfer between
// controls and registry, the display of the defaults ("Def&aults") and the
// commit of those defaults for a page never opened all run over the rows,
// taking key paths, bounds and fixed defaults from the settings table.
#ifndef ZEVR_PAGEBINDINGS_H
#define ZEVR_PAGEBINDINGS_H

#include <windows.h>

#include "settings.h"

// How a control holds its value.
enum BindingControl {
    ControlCheckBox,
    ControlInvertedCheckBox, // checked for 0
    ControlComboNumber,
    ControlComboText,
    ControlRadioGroup,     // Id to LastId, the first button for 0
    ControlBoundedInteger, // an edit field clamped to the row's bounds
    ControlEditText,       // room for the row's Maximum characters
};

struct ControlBinding {
    const char* Name; // the row's value name on the page
    BindingControl Control;
    int Id;
    int LastId;
};

// Where a page's defaults come from. NULL entries take the table's own
// (DefaultNumber, DefaultText), which is what machine-wide values have.
struct BindingDefaults {
    DWORD (*Number)(const SettingRow* row);
    const char* (*Text)(const SettingRow* row);
};

struct PageBindings {
    SettingPage Page;
    const ControlBinding* Rows;
    int Count;
    BindingDefaults Defaults;
    // A minimum/maximum pair is saved only while this holds for the two
    // controls (minimum first); NULL saves every pair.
    int (*PairInOrder)(int minimumId, int maximumId);
    // A row saved only while this answers 1 (the name it is asked about);
    // NULL saves every row.
    int (*MaySave)(const char* valueName);
};

// The settings table's row of a binding.
const SettingRow* GetBindingRow(const PageBindings* page, int index);
// Creates the row's key, as the table places it.
LONG CreateRowKey(const SettingRow* row, HKEY* key);

// Row by row, opening each key once for the rows after one another that
// share it. A key that cannot be created ends the transfer (0): the values
// of the keys after it are neither loaded nor saved.
int TransferBindings(HWND dialog, const PageBindings* page, int save);
// Shows every row's default in its control.
void ShowBindingDefaults(HWND dialog, const PageBindings* page);
// Writes every row's default; unlike the transfer, a key that cannot be
// created skips only its own rows.
void CommitBindingDefaults(const PageBindings* page);

#endif
