// Sheet assembly and message texts, with the library's code linked in and
// test-only pages.
#include "sheet.h"
#include "sandbox.h"
#include "sheet_driver.h"

#include <string>

TEST(MessageText, FormatsIntoTheSharedBufferOrTheDestination)
{
    char* first = LoadMessageText(NULL, 8, 20);
    ASSERT_NE(nullptr, first);
    EXPECT_STREQ("This field has a limit of 20 characters.", first);
    // The next call without destination overwrites the same buffer.
    char* second = LoadMessageText(NULL, 9);
    EXPECT_EQ(first, second);
    EXPECT_STREQ("This field cannot be empty.", first);

    char destination[128] = "untouched";
    EXPECT_EQ(destination, LoadMessageText(destination, 27, "bad..name"));
    EXPECT_STREQ("\"bad..name\" is not a valid NIS or NIS+ Domain Name.", destination);
    // The text is formatted in the shared buffer and then copied, so the
    // shared text is now the destination's.
    EXPECT_STREQ(destination, first);

    // Only the low 16 bits of the id count.
    EXPECT_STREQ("Def&aults", LoadMessageText(NULL, 0x10000 + 23));
}

TEST(MessageText, MissingStringGivesNullAndLeavesTheDestination)
{
    char destination[32] = "untouched";
    EXPECT_EQ(nullptr, LoadMessageText(destination, 999));
    EXPECT_STREQ("untouched", destination);
    EXPECT_EQ(nullptr, LoadMessageText(NULL, 0));
}

TEST(MessageText, LongArgumentsAreCutAtTheBuffer)
{
    std::string huge(1000, 'd');
    char* text = LoadMessageText(NULL, 27, huge.c_str());
    ASSERT_NE(nullptr, text);
    EXPECT_EQ((size_t)MessageTextSize - 1, strlen(text));
}

TEST(PrepareSheet, FillsTheHeaderAndResetsThePages)
{
    AddPropertyPage(900, NULL);
    const char* title = PrepareSheet(34, "1A2B");
    EXPECT_STREQ("Quellmar NFS Client Configuration", title);
    EXPECT_EQ(title, SheetHeader.pszCaption);
    EXPECT_EQ((DWORD)PROPSHEETHEADERA_V1_SIZE, SheetHeader.dwSize);
    EXPECT_EQ((DWORD)0x10C, SheetHeader.dwFlags);
    EXPECT_EQ((HWND)0x1A2B, SheetHeader.hwndParent);
    EXPECT_EQ(ModuleInstance, SheetHeader.hInstance);
    EXPECT_EQ(nullptr, SheetHeader.pszIcon);
    EXPECT_EQ(0u, SheetHeader.nPages);
    EXPECT_EQ(0u, SheetHeader.nStartPage);
    EXPECT_EQ((LPCPROPSHEETPAGEA)PageList, SheetHeader.ppsp);
    EXPECT_EQ(&SheetCallback, SheetHeader.pfnCallback);
    EXPECT_EQ(0, PageCount);

    PrepareSheet(35, "");
    EXPECT_EQ(nullptr, SheetHeader.hwndParent);
    EXPECT_STREQ("Quellmar File Sharing Configuration", SheetHeader.pszCaption);
    PrepareSheet(36, "0x1A2B");
    EXPECT_EQ(nullptr, SheetHeader.hwndParent);
    PrepareSheet(36, NULL);
    EXPECT_EQ(nullptr, SheetHeader.hwndParent);
    EXPECT_STREQ("Quellmar NIS/NIS+ Name Service Configuration", SheetHeader.pszCaption);
    // A title that cannot be loaded leaves the sheet without one.
    PrepareSheet(999, "0");
    EXPECT_EQ(nullptr, SheetHeader.pszCaption);
}

TEST(PrepareSheet, ParentHandleOfAnyLengthIsParsedSafely)
{
    std::string overlong(300, '7');
    PrepareSheet(34, overlong.c_str());
    EXPECT_EQ((HWND)LongToHandle((LONG)0xFFFFFFFF), SheetHeader.hwndParent);
    PrepareSheet(34, "123456789");
    EXPECT_EQ((HWND)LongToHandle((LONG)0xFFFFFFFF), SheetHeader.hwndParent);
}

static INT_PTR CALLBACK PlainPageProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

TEST(AddPropertyPage, FillsOneCompactRecordPerPage)
{
    PrepareSheet(34, "0");
    EXPECT_EQ(0, AddPropertyPage(900, PlainPageProc));
    EXPECT_EQ(0, AddPropertyPage(0x10000 + 910, PlainPageProc));
    EXPECT_EQ(2, PageCount);
    EXPECT_EQ(2u, SheetHeader.nPages);
    // The records sit exactly dwSize apart, as the sheet steps through them.
    EXPECT_EQ((BYTE*)&PageList[1] - (BYTE*)&PageList[0], (ptrdiff_t)PageList[0].dwSize);
    EXPECT_EQ(sizeof(PROPSHEETPAGEA_V1), (size_t)PageList[1].dwSize);
    EXPECT_EQ((DWORD)PSP_DEFAULT, PageList[1].dwFlags);
    EXPECT_EQ(ModuleInstance, PageList[1].hInstance);
    EXPECT_EQ(MAKEINTRESOURCEA(910), PageList[1].pszTemplate);
    EXPECT_EQ(nullptr, PageList[1].hIcon);
    EXPECT_EQ(nullptr, PageList[1].pszTitle);
    EXPECT_EQ(&PlainPageProc, PageList[1].pfnDlgProc);
    EXPECT_EQ(0, PageList[1].lParam);
#ifndef _WIN64
    EXPECT_EQ(40u, sizeof(PROPSHEETPAGEA_V1));
    EXPECT_EQ(40u, (unsigned)PROPSHEETHEADERA_V1_SIZE);
#endif
}

TEST(SheetCallback, AddsTheSystemMenuBeforeCreation)
{
    DLGTEMPLATE plain = {};
    plain.style = WS_POPUP | WS_CAPTION;
    SheetCallback(NULL, PSCB_PRECREATE, (LPARAM)&plain);
    EXPECT_EQ((DWORD)(WS_POPUP | WS_CAPTION | WS_SYSMENU), plain.style);

    DLGTEMPLATE other = {};
    other.style = WS_POPUP;
    SheetCallback(NULL, PSCB_INITIALIZED, (LPARAM)&other);
    EXPECT_EQ((DWORD)WS_POPUP, other.style);

    // The extended template keeps its style after the signature and help id.
    DWORD extended[6] = {0xFFFF0001u, 0, 0, WS_POPUP, 0, 0};
    SheetCallback(NULL, PSCB_PRECREATE, (LPARAM)extended);
    EXPECT_EQ((DWORD)(WS_POPUP | WS_SYSMENU), extended[3]);
}

TEST(ResultText, TrueOrFalse)
{
    SetResultText(TRUE);
    EXPECT_STREQ("TRUE", ResultText);
    SetResultText(FALSE);
    EXPECT_STREQ("FALSE", ResultText);
    SetResultText(-1);
    EXPECT_STREQ("TRUE", ResultText);
}

static void ShowTestSheet(int pages)
{
    PrepareSheet(34, "0");
    AddPropertyPage(900, PlainPageProc);
    if (pages > 1)
        AddPropertyPage(910, PlainPageProc);
    ShowPreparedSheet();
}

TEST(SheetCourse, SecondSheetShowsOnlyItsOwnPages)
{
    {
        SheetDriver sheet;
        ASSERT_TRUE(sheet.OpenWith([] { ShowTestSheet(2); }, "Quellmar NFS Client Configuration"));
        EXPECT_EQ(2, sheet.PageCount());
        EXPECT_EQ("First", sheet.PageTitle(0));
        EXPECT_EQ("Second", sheet.PageTitle(1));
        EXPECT_EQ(0, sheet.CurrentPageIndex());
        // The callback gave the frame a system menu.
        EXPECT_NE(0, GetWindowLongA(sheet.Sheet(), GWL_STYLE) & WS_SYSMENU);
        sheet.PressCancel();
        ASSERT_TRUE(sheet.WaitClosed());
        EXPECT_EQ(0, LastSheetResult);
    }
    {
        SheetDriver sheet;
        ASSERT_TRUE(sheet.OpenWith([] { ShowTestSheet(1); }, "Quellmar NFS Client Configuration"));
        EXPECT_EQ(1, sheet.PageCount());
        EXPECT_EQ("First", sheet.PageTitle(0));
        sheet.Click(901);
        sheet.PressOk();
        ASSERT_TRUE(sheet.WaitClosed());
        EXPECT_NE(0, LastSheetResult);
    }
}
