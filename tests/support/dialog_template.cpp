#include "dialog_template.h"

namespace {
struct Reader {
    const BYTE* p;
    WORD Word()
    {
        WORD w;
        memcpy(&w, p, 2);
        p += 2;
        return w;
    }
    DWORD Dword()
    {
        DWORD d;
        memcpy(&d, p, 4);
        p += 4;
        return d;
    }
    std::string Text()
    {
        std::string s;
        for (WORD c; (c = Word()) != 0;)
            s += (char)c; // the templates hold ASCII texts only
        return s;
    }
    // A class, menu or title field: 0xFFFF and an ordinal, or a text.
    std::string NameOrOrdinal(WORD* ordinal)
    {
        WORD first;
        memcpy(&first, p, 2);
        if (first == 0xFFFF) {
            p += 2;
            *ordinal = Word();
            return "";
        }
        *ordinal = 0;
        return Text();
    }
    void AlignDword(const BYTE* base)
    {
        while ((p - base) % 4 != 0)
            ++p;
    }
};
} // namespace

bool ReadDialogTemplate(HMODULE module, int templateId, DialogTemplate* dialog)
{
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(templateId), (LPCSTR)RT_DIALOG);
    if (resource == NULL)
        return false;
    const BYTE* base = (const BYTE*)LockResource(LoadResource(module, resource));
    if (base == NULL || ((const WORD*)base)[1] == 0xFFFF)
        return false;
    Reader r = {base};
    dialog->style = r.Dword();
    dialog->exStyle = r.Dword();
    WORD count = r.Word();
    dialog->x = (short)r.Word();
    dialog->y = (short)r.Word();
    dialog->cx = (short)r.Word();
    dialog->cy = (short)r.Word();
    WORD ordinal;
    r.NameOrOrdinal(&ordinal); // menu
    r.NameOrOrdinal(&ordinal); // class
    dialog->caption = r.Text();
    if (dialog->style & DS_SETFONT) {
        dialog->pointSize = r.Word();
        dialog->font = r.Text();
    }
    static const char* const atoms[] = {"Button",  "Edit",      "Static",
                                        "ListBox", "ScrollBar", "ComboBox"};
    dialog->items.clear();
    for (WORD i = 0; i < count; ++i) {
        r.AlignDword(base);
        DialogItem item;
        item.style = r.Dword();
        item.exStyle = r.Dword();
        item.x = (short)r.Word();
        item.y = (short)r.Word();
        item.cx = (short)r.Word();
        item.cy = (short)r.Word();
        item.id = (short)r.Word();
        std::string cls = r.NameOrOrdinal(&ordinal);
        if (ordinal >= 0x80 && ordinal <= 0x85)
            cls = atoms[ordinal - 0x80];
        item.cls = cls;
        item.text = r.NameOrOrdinal(&ordinal);
        WORD extra = r.Word();
        r.p += extra;
        dialog->items.push_back(item);
    }
    return true;
}
