// Reads a dialog template resource back into plain values, so that tests can
// compare every control with the layout it must have.
#ifndef ZEVR_TEST_DIALOG_TEMPLATE_H
#define ZEVR_TEST_DIALOG_TEMPLATE_H

#include <windows.h>

#include <string>
#include <vector>

struct DialogItem {
    int id;
    std::string cls; // "Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox" or the name
    DWORD style;
    DWORD exStyle;
    std::string text;
    short x, y, cx, cy;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    int pointSize = 0;
    std::string font;
    std::vector<DialogItem> items;
};

// False when the module has no such template or it is not a plain DLGTEMPLATE.
bool ReadDialogTemplate(HMODULE module, int templateId, DialogTemplate* dialog);

#endif
