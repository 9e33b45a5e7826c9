// The NFS General page and the coordination of the NFS client sheet, through
// the real export.
#include "helpspy.h"
#include "iat.h"
#include "nfs_sheet.h"
#include "resource.h"
#include "sheetstate.h"

#include <commctrl.h>

TEST_F(NfsSheet, OpensOnTheGeneralPageWithItsPagesInOrder)
{
    Open();
    const char* titles[] = {"NFS General", "Security",          "Caching",
                            "Tuning",      "Files and Folders", "Advanced"};
    ASSERT_EQ((int)(sizeof(titles) / sizeof(titles[0])), sheet_->PageCount());
    for (int i = 0; i < sheet_->PageCount(); ++i)
        EXPECT_EQ(titles[i], sheet_->PageTitle(i));
    EXPECT_EQ(0, sheet_->CurrentPageIndex());
    CancelAndClose();
    EXPECT_EQ("FALSE", sheet_->ResultText());
    EXPECT_TRUE(sheet_->Returned());
}

TEST_F(NfsSheet, FreshRegistryShowsTheBuiltInDefaultsAndCreatesTheKeys)
{
    Open();
    EXPECT_EQ((UINT)BST_UNCHECKED, sheet_->Checked(IDC_GENERAL_READ_ONLY));
    EXPECT_EQ((UINT)BST_UNCHECKED, sheet_->Checked(IDC_GENERAL_LOCKING));
    EXPECT_EQ("~", sheet_->Text(IDC_GENERAL_MAPPING));
    EXPECT_EQ(0, sheet_->ComboSelection(IDC_GENERAL_MAPPING));
    EXPECT_EQ("32768", sheet_->Text(IDC_GENERAL_READ_SIZE));
    EXPECT_EQ(6, sheet_->ComboSelection(IDC_GENERAL_READ_SIZE));
    EXPECT_EQ("32768", sheet_->Text(IDC_GENERAL_WRITE_SIZE));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, USER_DEFAULTS));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, MACHINE_DEFAULTS));
    // The lists, in the order they are shown.
    const char* characters[] = {"~", "!", "@", "#", "%", "^", "&", "(", ")", "{", "}"};
    ASSERT_EQ(11, sheet_->ComboCount(IDC_GENERAL_MAPPING));
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(characters[i], sheet_->ComboItem(IDC_GENERAL_MAPPING, i));
    const char* sizes[] = {"512", "1024", "2048", "4096", "8192", "16384", "32768"};
    ASSERT_EQ(7, sheet_->ComboCount(IDC_GENERAL_WRITE_SIZE));
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(sizes[i], sheet_->ComboItem(IDC_GENERAL_WRITE_SIZE, i));
    CancelAndClose();
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, USER_DEFAULTS));
}

TEST_F(NfsSheet, StoredValuesAreShownAndWrittenBackUnchanged)
{
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "ReadOnly", 1);
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "LockingSharing", 1);
    WriteString(HKEY_CURRENT_USER, USER_DEFAULTS, "ShortNameMappingCharacter", "#");
    WriteDword(HKEY_CURRENT_USER, MACHINE_DEFAULTS, "RSize", 3000);
    WriteDword(HKEY_CURRENT_USER, MACHINE_DEFAULTS, "WSize", 8192);
    Open();
    EXPECT_EQ((UINT)BST_CHECKED, sheet_->Checked(IDC_GENERAL_READ_ONLY));
    EXPECT_EQ((UINT)BST_CHECKED, sheet_->Checked(IDC_GENERAL_LOCKING));
    EXPECT_EQ("#", sheet_->Text(IDC_GENERAL_MAPPING));
    // A size that is not in the list is typed into the edit field.
    EXPECT_EQ("3000", sheet_->Text(IDC_GENERAL_READ_SIZE));
    EXPECT_EQ(CB_ERR, sheet_->ComboSelection(IDC_GENERAL_READ_SIZE));
    EXPECT_EQ(4, sheet_->ComboSelection(IDC_GENERAL_WRITE_SIZE));
    OkAndClose();
    EXPECT_EQ(1u, UserDword("ReadOnly"));
    EXPECT_EQ(1u, UserDword("LockingSharing"));
    std::string character;
    EXPECT_TRUE(
        ReadString(HKEY_CURRENT_USER, USER_DEFAULTS, "ShortNameMappingCharacter", &character));
    EXPECT_EQ("#", character);
    EXPECT_EQ(3000u, MachineDword("RSize"));
    EXPECT_EQ(8192u, MachineDword("WSize"));
}

TEST_F(NfsSheet, SizesOutsideTheListRangeAreNotWritten)
{
    WriteDword(HKEY_CURRENT_USER, MACHINE_DEFAULTS, "RSize", 3000);
    WriteDword(HKEY_CURRENT_USER, MACHINE_DEFAULTS, "WSize", 4096);
    Open();
    sheet_->ComboType(IDC_GENERAL_READ_SIZE, "256");
    sheet_->ComboType(IDC_GENERAL_WRITE_SIZE, "65536");
    sheet_->PressApply();
    EXPECT_EQ(3000u, MachineDword("RSize"));
    EXPECT_EQ(4096u, MachineDword("WSize"));
    sheet_->ComboType(IDC_GENERAL_READ_SIZE, "12a");
    sheet_->ComboType(IDC_GENERAL_WRITE_SIZE, "1000");
    OkAndClose();
    EXPECT_EQ(3000u, MachineDword("RSize"));
    EXPECT_EQ(1000u, MachineDword("WSize"));
    // The list's own ends are inside it (32768 is then pruned as the
    // built-in).
    Reopen();
    sheet_->ComboType(IDC_GENERAL_READ_SIZE, "32768");
    sheet_->ComboType(IDC_GENERAL_WRITE_SIZE, "512");
    OkAndClose();
    EXPECT_EQ(Missing, MachineDword("RSize"));
    EXPECT_EQ(512u, MachineDword("WSize"));
}

TEST_F(NfsSheet, MappingCharacterOutsideTheListBecomesTheTilde)
{
    WriteString(HKEY_CURRENT_USER, USER_DEFAULTS, "ShortNameMappingCharacter", "A");
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "ReadOnly", 1); // keeps the key
    Open();
    EXPECT_EQ("~", sheet_->Text(IDC_GENERAL_MAPPING));
    OkAndClose();
    // "~" was written, and is then pruned as equal to what the key inherits.
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, USER_DEFAULTS, "ShortNameMappingCharacter"));
    EXPECT_EQ(1u, UserDword("ReadOnly"));
}

TEST_F(NfsSheet, ChangesEnableApplyAndApplyWritesThem)
{
    Open();
    sheet_->Click(IDC_GENERAL_READ_ONLY);
    EXPECT_TRUE(sheet_->ApplyEnabled());
    sheet_->ComboSelect(IDC_GENERAL_MAPPING, 3);
    sheet_->ComboSelect(IDC_GENERAL_WRITE_SIZE, 0);
    sheet_->PressApply();
    EXPECT_EQ(1u, UserDword("ReadOnly"));
    std::string character;
    ReadString(HKEY_CURRENT_USER, USER_DEFAULTS, "ShortNameMappingCharacter", &character);
    EXPECT_EQ("#", character);
    EXPECT_EQ(512u, MachineDword("WSize"));
    // Values equal to what they inherit were pruned again.
    EXPECT_EQ(Missing, UserDword("LockingSharing"));
    EXPECT_EQ(Missing, MachineDword("RSize"));
    CancelAndClose();
}

TEST_F(NfsSheet, DefaultsButtonSitsBesideOkInThePageFont)
{
    Open();
    HWND button = sheet_->FrameItem(IDC_GENERAL_DEFAULTS);
    ASSERT_NE(nullptr, button);
    EXPECT_EQ("Def&aults", WindowText(button));
    EXPECT_EQ("Button", ClassName(button));
    LONG style = GetWindowLongA(button, GWL_STYLE);
    EXPECT_EQ((LONG)(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON),
              style & (WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_TYPEMASK));
    EXPECT_EQ(0, GetWindowLongA(button, GWL_EXSTYLE));

    RECT ok, defaults;
    GetWindowRect(sheet_->FrameItem(IDOK), &ok);
    GetWindowRect(button, &defaults);
    MapWindowPoints(NULL, sheet_->Sheet(), (POINT*)&ok, 2);
    MapWindowPoints(NULL, sheet_->Sheet(), (POINT*)&defaults, 2);
    EXPECT_EQ(5, defaults.left);
    EXPECT_EQ(127, defaults.right - defaults.left);
    EXPECT_EQ(ok.top, defaults.top);
    EXPECT_EQ(ok.bottom - ok.top, defaults.bottom - defaults.top);
    HFONT pageFont = (HFONT)SendMessageA(sheet_->Page(), WM_GETFONT, 0, 0);
    EXPECT_NE(nullptr, pageFont);
    EXPECT_EQ(pageFont, (HFONT)SendMessageA(button, WM_GETFONT, 0, 0));
    CancelAndClose();
}

TEST_F(NfsSheet, DefaultsShowBuiltInValuesAndWriteNothing)
{
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "ReadOnly", 1);
    WriteString(HKEY_CURRENT_USER, USER_DEFAULTS, "ShortNameMappingCharacter", "!");
    WriteDword(HKEY_CURRENT_USER, MACHINE_DEFAULTS, "RSize", 3000);
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "AttrCacheDirMin", 10);
    Open();
    sheet_->PressDefaults();
    EXPECT_EQ((UINT)BST_UNCHECKED, sheet_->Checked(IDC_GENERAL_READ_ONLY));
    EXPECT_EQ("~", sheet_->Text(IDC_GENERAL_MAPPING));
    EXPECT_EQ("32768", sheet_->Text(IDC_GENERAL_READ_SIZE));
    EXPECT_EQ(6, sheet_->ComboSelection(IDC_GENERAL_READ_SIZE));
    CancelAndClose();
    EXPECT_EQ(1u, UserDword("ReadOnly"));
    EXPECT_EQ(3000u, MachineDword("RSize"));
    EXPECT_EQ(10u, UserDword("AttrCacheDirMin"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, SERVICE_PARAMETERS));
}

TEST_F(NfsSheet, DefaultsHelpShowsTopic77)
{
    HelpSpy help;
    Open();
    HWND button = sheet_->FrameItem(IDC_GENERAL_DEFAULTS);
    SetFocus(NULL);
    // F1 with the button focused reaches the frame as WM_HELP for id 1118.
    HELPINFO info = {};
    info.cbSize = sizeof(info);
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = IDC_GENERAL_DEFAULTS;
    info.hItemHandle = button;
    SendMessageA(sheet_->Sheet(), WM_HELP, 0, (LPARAM)&info);
    std::vector<HelpCall> calls = help.Calls(1);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(HELP_CONTEXTPOPUP, calls[0].command);
    EXPECT_EQ(77, calls[0].context);
    EXPECT_NE(std::string::npos, calls[0].file.find("config32.hlp")) << calls[0].file;

    // A right click on the button offers "What's this?"; choosing it shows
    // the same topic.
    RECT rect;
    GetWindowRect(button, &rect);
    PostMessageA(sheet_->Sheet(), WM_CONTEXTMENU, (WPARAM)button,
                 MAKELPARAM(rect.left + 3, rect.top + 3));
    HWND menu = NULL;
    for (int i = 0; i < 200 && menu == NULL; ++i) {
        Sleep(10);
        menu = FindWindowA("#32768", NULL);
    }
    ASSERT_NE(nullptr, menu);
    // Enter on the first item of the open menu.
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    calls = help.Calls(2);
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ(77, calls[1].context);
    CancelAndClose();
}

// The library's heap, failing for the shared page-state record only.
static void* (*RealMalloc)(size_t);
static void* FailingMalloc(size_t size)
{
    return size == sizeof(NfsSheetState) ? NULL : RealMalloc(size);
}

TEST_F(NfsSheet, NoMemoryForThePageStateClosesTheSheetWithAMessage)
{
    RealMalloc =
        (void* (*)(size_t))ReplaceImport(library_, "msvcrt.dll", "malloc", (void*)&FailingMalloc);
    ASSERT_NE(nullptr, RealMalloc);
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "ReadOnly", 1);
    UiThread thread([this] {
        char parent[] = "0";
        char* argv[] = {parent, NULL};
        char* result = NULL;
        entry_(1, argv, &result);
        resultText_ = result != NULL ? result : "(none)";
    });
    MessageBoxInfo box;
    ASSERT_TRUE(WaitMessageBox(thread.Id(), &box, NULL, 5000, "Error"));
    EXPECT_EQ("There is not enough memory to show the NFS client settings.", box.text);
    EXPECT_EQ("Error", box.caption);
    EXPECT_TRUE(box.exclamation);
    DismissMessageBox(box);
    ASSERT_TRUE(thread.Join(5000));
    EXPECT_EQ("FALSE", resultText_);
    EXPECT_EQ(1u, UserDword("ReadOnly"));
    ReplaceImport(library_, "msvcrt.dll", "malloc", (void*)RealMalloc);
}

TEST_F(NfsSheet, ReopenedSheetStartsFromAFreshRecord)
{
    Open();
    sheet_->PressDefaults(); // the Caching page is now reset-pending
    CancelAndClose();
    Reopen();
    // Had the pending reset survived, this apply would write the Caching
    // defaults into the service key.
    OkAndClose();
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, SERVICE_PARAMETERS));
    EXPECT_TRUE(sheet_->Returned());
}
