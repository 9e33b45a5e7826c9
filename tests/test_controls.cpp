// The dialog control helpers on real controls of the test dialog.
#include "controls.h"
#include "resource.h"
#include "test_page.h"

#include <gtest/gtest.h>
#include <string>

static std::string Text(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

static void FillCombo(HWND dialog, int id, std::initializer_list<const char*> items)
{
    SendDlgItemMessageA(dialog, id, CB_RESETCONTENT, 0, 0);
    for (const char* item : items)
        ComboAddString(dialog, id, item);
}

// Types text into a combo box's edit field with nothing selected, as a user
// who overwrites the shown choice leaves it.
static void TypeIntoCombo(HWND dialog, int id, const char* text)
{
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, (WPARAM)-1, 0);
    SetDlgItemTextA(dialog, id, text);
}

TEST(ListHelpers, AddInsertFindAndDelete)
{
    TestPage page;
    HWND d = page.Page();
    EXPECT_EQ(0, ListGetCount(d, TestList));
    EXPECT_EQ(0, ListAddString(d, TestList, "alpha"));
    EXPECT_EQ(1, ListAddString(d, TestList, "gamma"));
    EXPECT_EQ(1, ListInsertString(d, TestList, 1, "beta"));
    EXPECT_EQ(3, ListGetCount(d, TestList));
    // The index goes out as 16 bits: -1 becomes 65535, beyond the list,
    // instead of "append".
    EXPECT_EQ(LB_ERR, ListInsertString(d, TestList, -1, "delta"));
    EXPECT_EQ(3, ListGetCount(d, TestList));

    EXPECT_EQ(1, ListFindExact(d, TestList, "BETA"));
    EXPECT_EQ(LB_ERR, ListFindExact(d, TestList, "bet"));
    EXPECT_EQ(2, ListDeleteMatching(d, TestList, "Alpha"));
    EXPECT_EQ(LB_ERR, ListDeleteMatching(d, TestList, "alpha"));
    EXPECT_EQ(1, ListDeleteString(d, TestList, 0));
    EXPECT_EQ(LB_ERR, ListDeleteString(d, TestList, 5));
    char text[16];
    ASSERT_EQ(1, ListGetItemText(d, TestList, 0, text, sizeof(text)));
    EXPECT_STREQ("gamma", text);
}

TEST(ListHelpers, SelectionMinusOneSendsNothing)
{
    TestPage page;
    HWND d = page.Page();
    ListAddString(d, TestList, "a");
    ListAddString(d, TestList, "b");
    ListSetSelection(d, TestList, 1);
    EXPECT_EQ(1, ListGetSelection(d, TestList));
    ListSetSelection(d, TestList, -1);
    EXPECT_EQ(1, ListGetSelection(d, TestList));
    ListSetSelection(d, TestList, 0);
    EXPECT_EQ(0, ListGetSelection(d, TestList));
}

TEST(ListHelpers, ItemTextNeedsRoomForItsTerminator)
{
    TestPage page;
    HWND d = page.Page();
    ListAddString(d, TestList, "12345678");
    char buffer[16];
    memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(0, ListGetItemText(d, TestList, 0, buffer, 8));
    for (char c : buffer)
        EXPECT_EQ('x', c);
    EXPECT_EQ(0, ListGetItemText(d, TestList, 1, buffer, sizeof(buffer)));
    EXPECT_EQ(0, ListGetItemText(d, TestList, 0, buffer, 0));
    EXPECT_EQ(1, ListGetItemText(d, TestList, 0, buffer, 9));
    EXPECT_STREQ("12345678", buffer);
}

TEST(ComboHelpers, SelectionAndFinding)
{
    TestPage page;
    HWND d = page.Page();
    FillCombo(d, NamedCombo, {"one", "two"});
    EXPECT_EQ(2, ComboGetCount(d, NamedCombo));
    EXPECT_EQ(1, ComboSetSelection(d, NamedCombo, 1));
    EXPECT_EQ(1, ComboGetSelection(d, NamedCombo));
    // -1 goes out as 0xFFFF: the selection is cleared and CB_ERR answers.
    EXPECT_EQ(0, ComboSetSelection(d, NamedCombo, -1));
    EXPECT_EQ(CB_ERR, ComboGetSelection(d, NamedCombo));
    EXPECT_EQ(0, ComboSetSelection(d, NamedCombo, 5));

    EXPECT_EQ(1, ComboFindExact(d, NamedCombo, "TWO"));
    EXPECT_EQ(CB_ERR, ComboFindExact(d, NamedCombo, "tw"));

    EXPECT_EQ(2, ComboAddResourceString(d, NamedCombo, IDS_AUTOMATIC));
    char text[260];
    ASSERT_EQ(1, ComboGetItemText(d, NamedCombo, 2, text));
    EXPECT_STREQ("Automatic", text);
    // A string the table lacks adds nothing (not an empty item).
    EXPECT_EQ(CB_ERR, ComboAddResourceString(d, NamedCombo, 9999));
    EXPECT_EQ(3, ComboGetCount(d, NamedCombo));
}

TEST(ComboHelpers, ItemAndCurrentText)
{
    TestPage page;
    HWND d = page.Page();
    FillCombo(d, NamedCombo, {"first", "second"});
    char text[260];
    ComboSetSelection(d, NamedCombo, 1);
    ASSERT_EQ(1, ComboGetCurrentText(d, NamedCombo, text));
    EXPECT_STREQ("second", text);
    TypeIntoCombo(d, NamedCombo, "typed");
    ASSERT_EQ(1, ComboGetCurrentText(d, NamedCombo, text));
    EXPECT_STREQ("typed", text);
    EXPECT_EQ(0, ComboGetItemText(d, NamedCombo, 7, text));

    // An item longer than the 260-byte buffer is refused, not copied.
    std::string longItem(300, 'L');
    ComboAddString(d, NamedCombo, longItem.c_str());
    char guarded[300];
    memset(guarded, 'x', sizeof(guarded));
    EXPECT_EQ(0, ComboGetItemText(d, NamedCombo, 2, guarded));
    EXPECT_EQ('x', guarded[260]);
}

TEST(ComboHelpers, SelectOrSetText)
{
    TestPage page;
    HWND d = page.Page();
    FillCombo(d, NamedCombo, {"one", "two"});
    EXPECT_EQ(1, ComboSelectOrSetText(d, NamedCombo, "Two"));
    EXPECT_EQ(1, ComboGetSelection(d, NamedCombo));
    EXPECT_EQ(1, ComboSelectOrSetText(d, NamedCombo, "three"));
    EXPECT_EQ(CB_ERR, ComboGetSelection(d, NamedCombo));
    EXPECT_EQ("three", Text(d, NamedCombo));

    // A drop-down list has no edit field to take the text.
    FillCombo(d, ListCombo, {"one", "two"});
    ComboSetSelection(d, ListCombo, 0);
    EXPECT_EQ(0, ComboSelectOrSetText(d, ListCombo, "three"));
    EXPECT_EQ(CB_ERR, ComboGetSelection(d, ListCombo));
}

TEST(NumericCombo, NamedChoiceStandsForZero)
{
    TestPage page;
    HWND d = page.Page();
    FillCombo(d, NamedCombo, {"Automatic", "1024", "2048"});
    EXPECT_EQ(1, ComboSetNumber(d, NamedCombo, 2048));
    EXPECT_EQ(2, ComboGetSelection(d, NamedCombo));
    EXPECT_EQ(1, ComboSetNumber(d, NamedCombo, 0));
    EXPECT_EQ(0, ComboGetSelection(d, NamedCombo));
    DWORD value = 99;
    EXPECT_EQ(1, ComboGetNumber(d, NamedCombo, &value));
    EXPECT_EQ(0u, value);

    EXPECT_EQ(1, ComboSetNumber(d, NamedCombo, 4096));
    EXPECT_EQ(CB_ERR, ComboGetSelection(d, NamedCombo));
    EXPECT_EQ("4096", Text(d, NamedCombo));
    EXPECT_EQ(1, ComboGetNumber(d, NamedCombo, &value));
    EXPECT_EQ(4096u, value);

    EXPECT_EQ(1, ComboGetMinimumNumber(d, NamedCombo, &value));
    EXPECT_EQ(0u, value);
    EXPECT_EQ(1, ComboGetMaximumNumber(d, NamedCombo, &value));
    EXPECT_EQ(2048u, value);
}

TEST(NumericCombo, WithoutNamedChoiceZeroIsShownAsText)
{
    TestPage page;
    HWND d = page.Page();
    FillCombo(d, NumberCombo, {"1024", "2048"});
    ComboSetSelection(d, NumberCombo, 1);
    char named[260];
    EXPECT_EQ(0, ComboFindFirstNamedItem(d, NumberCombo, named));
    EXPECT_EQ(1, ComboSetNumber(d, NumberCombo, 0));
    EXPECT_EQ(CB_ERR, ComboGetSelection(d, NumberCombo));
    EXPECT_EQ("0", Text(d, NumberCombo));
    DWORD value = 0;
    EXPECT_EQ(1, ComboGetMinimumNumber(d, NumberCombo, &value));
    EXPECT_EQ(1024u, value);
}

TEST(NumericCombo, DropDownListCannotShowAnUnlistedNumber)
{
    TestPage page;
    HWND d = page.Page();
    FillCombo(d, ListCombo, {"Automatic", "1024", "2048"});
    EXPECT_EQ(0, ComboSetNumber(d, ListCombo, 4096));
    EXPECT_EQ(1, ComboSetNumber(d, ListCombo, 1024));
    EXPECT_EQ(1, ComboGetSelection(d, ListCombo));
}

TEST(NumericCombo, FirstNamedItemIsFoundAnywhereInTheList)
{
    TestPage page;
    HWND d = page.Page();
    char named[260];
    EXPECT_EQ(0, ComboFindFirstNamedItem(d, NumberCombo, named));
    FillCombo(d, NumberCombo, {"1", "5", "forever", "later"});
    ASSERT_EQ(1, ComboFindFirstNamedItem(d, NumberCombo, named));
    EXPECT_STREQ("forever", named);
    EXPECT_EQ(1, ComboSetNumber(d, NumberCombo, 0));
    EXPECT_EQ(2, ComboGetSelection(d, NumberCombo));
}

TEST(NumericCombo, TypedTextHasAValueOnlyWhenNumericOrListed)
{
    TestPage page;
    HWND d = page.Page();
    FillCombo(d, NamedCombo, {"Automatic", "1024"});
    DWORD value = 77;
    TypeIntoCombo(d, NamedCombo, "12a");
    EXPECT_EQ(0, ComboGetNumber(d, NamedCombo, &value));
    EXPECT_EQ(77u, value);
    TypeIntoCombo(d, NamedCombo, "+12");
    EXPECT_EQ(1, ComboGetNumber(d, NamedCombo, &value));
    EXPECT_EQ(12u, value);
    // The list is searched without regard to case.
    TypeIntoCombo(d, NamedCombo, "automatic");
    EXPECT_EQ(1, ComboGetNumber(d, NamedCombo, &value));
    EXPECT_EQ(0u, value);
    TypeIntoCombo(d, NamedCombo, "4294967295");
    EXPECT_EQ(1, ComboGetItemNumber(d, NamedCombo, -1, &value));
    EXPECT_EQ(4294967295u, value);
}

TEST(NumericCombo, BoundsComeFromTheListItems)
{
    TestPage page;
    HWND d = page.Page();
    DWORD value = 5;
    EXPECT_EQ(0, ComboGetMinimumNumber(d, NumberCombo, &value));
    EXPECT_EQ(0u, value);
    value = 5;
    EXPECT_EQ(0, ComboGetMaximumNumber(d, NumberCombo, &value));
    EXPECT_EQ(0u, value);
    // A listed text that is no number is a named choice: 0.
    FillCombo(d, NumberCombo, {"8192", "512", "junk"});
    EXPECT_EQ(1, ComboGetMinimumNumber(d, NumberCombo, &value));
    EXPECT_EQ(0u, value);
    FillCombo(d, NumberCombo, {"8192", "512"});
    EXPECT_EQ(1, ComboGetMinimumNumber(d, NumberCombo, &value));
    EXPECT_EQ(512u, value);
    EXPECT_EQ(1, ComboGetMaximumNumber(d, NumberCombo, &value));
    EXPECT_EQ(8192u, value);
}

TEST(EditHelpers, SelectLimitUndoAndText)
{
    TestPage page;
    HWND d = page.Page();
    HWND edit = page.Item(TextEdit);
    ASSERT_EQ(1, SetControlText(d, TextEdit, "hello"));
    EditSelectAll(d, TextEdit);
    DWORD start = 9, end = 9;
    SendMessageA(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(0u, start);
    EXPECT_EQ(5u, end);

    SendMessageA(edit, EM_REPLACESEL, TRUE, (LPARAM) "bye");
    EXPECT_EQ("bye", Text(d, TextEdit));
    EditUndo(d, TextEdit);
    EXPECT_EQ("hello", Text(d, TextEdit));

    EditLimitText(d, TextEdit, 3);
    EXPECT_EQ(3, SendMessageA(edit, EM_GETLIMITTEXT, 0, 0));

    char text[256];
    ASSERT_EQ(1, GetControlText(d, TextEdit, text, 4));
    EXPECT_STREQ("hel", text);
    // A missing control still leaves a terminated text.
    memset(text, 'x', sizeof(text));
    GetControlText(d, 4711, text, sizeof(text));
    EXPECT_STREQ("", text);
}

static WNDPROC OriginalEditProc;
static int SetTextSeen;

static LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT)
        ++SetTextSeen;
    return CallWindowProcA(OriginalEditProc, window, message, wParam, lParam);
}

TEST(WindowHelpers, EnableAndSubclass)
{
    TestPage page;
    HWND d = page.Page();
    EXPECT_FALSE(EnableControl(d, TextEdit, FALSE));
    EXPECT_FALSE(IsWindowEnabled(page.Item(TextEdit)));
    EXPECT_TRUE(EnableControl(d, TextEdit, TRUE));
    EXPECT_TRUE(IsWindowEnabled(page.Item(TextEdit)));

    SetTextSeen = 0;
    OriginalEditProc = SetControlWindowProc(d, TextEdit, CountingProc);
    ASSERT_NE(nullptr, OriginalEditProc);
    SetControlText(d, TextEdit, "x");
    EXPECT_EQ(1, SetTextSeen);
    EXPECT_EQ("x", Text(d, TextEdit));
    EXPECT_EQ(CountingProc, SetControlWindowProc(d, TextEdit, OriginalEditProc));
}

TEST(WindowHelpers, AControlReplacedUnderItsIdIsFoundAnew)
{
    // The helpers remember the controls they found; a control destroyed and
    // created again under the same id, or given another id, must not be
    // addressed through what was remembered.
    TestPage page;
    HWND d = page.Page();
    FillCombo(d, NamedCombo, {"a", "b"});
    EXPECT_EQ(2, ComboGetCount(d, NamedCombo));
    DestroyWindow(page.Item(NamedCombo));
    HWND replacement = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWN, 0, 0, 50, 80, d,
                                       (HMENU)(INT_PTR)NamedCombo, NULL, NULL);
    ASSERT_NE(nullptr, replacement);
    EXPECT_EQ(0, ComboAddString(d, NamedCombo, "c"));
    EXPECT_EQ(1, SendMessageA(replacement, CB_GETCOUNT, 0, 0));
    SetWindowLongPtrA(replacement, GWLP_ID, NoHelpEdit + 100);
    EXPECT_EQ(0, ComboGetCount(d, NamedCombo));
    EXPECT_EQ(1, ComboGetCount(d, NoHelpEdit + 100));
}

TEST(DialogUnsigned, WindowsRulesOnEveryPlatform)
{
    TestPage page;
    HWND d = page.Page();
    struct {
        const char* text;
        BOOL translated;
        UINT value;
    } cases[] = {
        {"12", TRUE, 12},  {"  7", TRUE, 7},  {"4294967295", TRUE, 4294967295u},
        {"12a", FALSE, 0}, {"12 ", FALSE, 0}, {"+12", FALSE, 0},
        {"-3", FALSE, 0},  {"", FALSE, 0},    {"4294967296", FALSE, 0},
    };
    for (const auto& c : cases) {
        SetDlgItemTextA(d, NumberEdit, c.text);
        BOOL translated = !c.translated;
        EXPECT_EQ(c.value, GetDialogUnsigned(d, NumberEdit, &translated)) << c.text;
        EXPECT_EQ(c.translated, translated) << c.text;
    }
    BOOL translated = TRUE;
    EXPECT_EQ(0u, GetDialogUnsigned(d, 4711, &translated));
    EXPECT_FALSE(translated);
    SetDlgItemTextA(d, NumberEdit, "5");
    EXPECT_EQ(5u, GetDialogUnsigned(d, NumberEdit, NULL));
}

TEST(FieldHelpers, BlankMeansOnlySpaces)
{
    TestPage page;
    HWND d = page.Page();
    for (const char* blank : {"", " ", "   "}) {
        SetDlgItemTextA(d, TextEdit, blank);
        EXPECT_EQ(1, IsFieldBlank(d, TextEdit)) << '"' << blank << '"';
    }
    for (const char* text : {"\t", " a", "a "}) {
        SetDlgItemTextA(d, TextEdit, text);
        EXPECT_EQ(0, IsFieldBlank(d, TextEdit)) << '"' << text << '"';
    }
}

TEST(FieldHelpers, CheckedRadioIndex)
{
    TestPage page;
    HWND d = page.Page();
    EXPECT_EQ(0, GetCheckedRadioIndex(d, RadioA, RadioC));
    CheckRadioButton(d, RadioA, RadioC, RadioA);
    EXPECT_EQ(0, GetCheckedRadioIndex(d, RadioA, RadioC));
    CheckRadioButton(d, RadioA, RadioC, RadioC);
    EXPECT_EQ(2, GetCheckedRadioIndex(d, RadioA, RadioC));
    EXPECT_EQ(0, GetCheckedRadioIndex(d, RadioC, RadioA));
    EXPECT_EQ(0, GetCheckedRadioIndex(d, RadioA, RadioB));
    EXPECT_EQ(0, GetCheckedRadioIndex(d, 0x7FFFFFF0, 0x7FFFFFFF));
}

class AddressFields : public testing::Test {
  protected:
    void AddFields(std::initializer_list<const char*> texts)
    {
        for (const char* text : texts)
            CreateWindowA("Edit", text, WS_CHILD, 0, 0, 20, 10, page_.Item(Container), NULL,
                          GetModuleHandleA(NULL), NULL);
    }
    int Read(std::string* text)
    {
        char buffer[IPAddressTextSize + 8];
        memset(buffer, 'x', sizeof(buffer));
        int result = GetIPAddressText(page_.Page(), Container, buffer);
        *text = buffer;
        EXPECT_EQ('x', buffer[IPAddressTextSize]);
        return result;
    }
    TestPage page_;
};

TEST_F(AddressFields, FourFieldsGiveADottedAddress)
{
    AddFields({"10", "0", "0", "1"});
    std::string text;
    EXPECT_EQ(1, Read(&text));
    EXPECT_EQ("10.0.0.1", text);
}

TEST_F(AddressFields, NoFieldsGiveAnEmptyAddress)
{
    std::string text = "x";
    EXPECT_EQ(1, Read(&text));
    EXPECT_EQ("", text);
}

TEST_F(AddressFields, AnEmptyFieldFailsTheRead)
{
    AddFields({"192", "", "1", "2"});
    std::string text;
    EXPECT_EQ(0, Read(&text));
    EXPECT_EQ("192.", text);
}

TEST_F(AddressFields, EachFieldIsReadAsThreeCharactersAtMost)
{
    AddFields({"1234", "255", "255", "255", "9"});
    std::string text;
    // A fifth field no longer fits the text: the read fails, nothing spills.
    EXPECT_EQ(0, Read(&text));
    EXPECT_EQ("123.255.255.255", text);
}

TEST(GroupBox, OnlyButtonsWithTheGroupBoxStyle)
{
    TestPage page;
    EXPECT_EQ(1, IsGroupBox(page.Item(PortGroup)));
    EXPECT_EQ(0, IsGroupBox(page.Item(ThreeState)));
    EXPECT_EQ(0, IsGroupBox(page.Item(RadioA)));
    EXPECT_EQ(0, IsGroupBox(page.Item(ReadSizeLabel)));
    EXPECT_EQ(0, IsGroupBox(NULL));
    HWND gone = CreateWindowA("Button", "", BS_GROUPBOX, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
    DestroyWindow(gone);
    EXPECT_EQ(0, IsGroupBox(gone));
}

// Validation and message boxes: the page runs on a thread of its own, which
// also runs the boxes' loops.
class Validation : public testing::Test {
  protected:
    // Puts text into the field the way typing does, so that undo brings the
    // previous text back.
    void Type(const char* before, const char* typed)
    {
        page_.Call([&] {
            SetDlgItemTextA(page_.Page(), TextEdit, before);
            SendDlgItemMessageA(page_.Page(), TextEdit, EM_SETSEL, 0, -1);
            SendDlgItemMessageA(page_.Page(), TextEdit, EM_REPLACESEL, TRUE, (LPARAM)typed);
            SetFocus(page_.Item(NumberEdit));
        });
    }
    void StartValidation(int allowEmpty, int maxLength)
    {
        result_ = -1;
        page_.Start([=] {
            result_ = ValidateTextField(page_.Page(), TextEdit, allowEmpty, maxLength,
                                        IDS_FIELD_LIMIT, IDS_FIELD_EMPTY);
        });
    }
    // Selection and focus of the field, read on the page's thread.
    void Look(std::string* text, DWORD* start, DWORD* end, bool* focused)
    {
        page_.Call([&] {
            *text = WindowText(page_.Item(TextEdit));
            SendDlgItemMessageA(page_.Page(), TextEdit, EM_GETSEL, (WPARAM)start, (LPARAM)end);
            *focused = GetFocus() == page_.Item(TextEdit);
        });
    }
    ThreadedTestPage page_;
    volatile int result_ = -1;
};

TEST_F(Validation, BlankFieldIsRefusedUndoneSelectedAndFocused)
{
    Type("abc", "   ");
    StartValidation(0, 10);
    MessageBoxInfo box;
    ASSERT_TRUE(WaitMessageBox(page_.ThreadId(), &box));
    EXPECT_EQ("This field cannot be empty.", box.text);
    EXPECT_EQ("Error", box.caption);
    EXPECT_TRUE(box.exclamation);
    // Owned by the page, which for a box means the page's top-level window.
    EXPECT_EQ(page_.Sheet(), box.owner);
    DismissMessageBox(box);
    ASSERT_TRUE(page_.Wait());
    EXPECT_EQ(0, result_);

    std::string text;
    DWORD start = 9, end = 9;
    bool focused = false;
    Look(&text, &start, &end, &focused);
    EXPECT_EQ("abc", text);
    EXPECT_EQ(0u, start);
    EXPECT_EQ(3u, end);
    EXPECT_TRUE(focused);
}

TEST_F(Validation, BlankFieldPassesWhenEmptyIsAllowed)
{
    Type("abc", "   ");
    StartValidation(1, 10);
    ASSERT_TRUE(page_.Wait());
    EXPECT_EQ(1, result_);
    EXPECT_EQ(0, CountMessageBoxes(page_.ThreadId()));
}

TEST_F(Validation, TooLongTextIsRefusedButKept)
{
    Type("", "abcdefghijk");
    StartValidation(0, 10);
    MessageBoxInfo box;
    ASSERT_TRUE(WaitMessageBox(page_.ThreadId(), &box));
    EXPECT_EQ("This field has a limit of 10 characters.", box.text);
    EXPECT_EQ("Error", box.caption);
    DismissMessageBox(box);
    ASSERT_TRUE(page_.Wait());
    EXPECT_EQ(0, result_);

    std::string text;
    DWORD start = 9, end = 9;
    bool focused = false;
    Look(&text, &start, &end, &focused);
    EXPECT_EQ("abcdefghijk", text);
    EXPECT_EQ(0u, start);
    EXPECT_EQ(11u, end);
    EXPECT_TRUE(focused);

    Type("", "abcdefghij");
    StartValidation(0, 10);
    ASSERT_TRUE(page_.Wait());
    EXPECT_EQ(1, result_);
}

TEST_F(Validation, TextBeyondTheReadBufferStillMeetsItsLimit)
{
    std::string longText(300, 'd');
    Type("", longText.c_str());
    StartValidation(0, 256);
    MessageBoxInfo box;
    ASSERT_TRUE(WaitMessageBox(page_.ThreadId(), &box));
    EXPECT_EQ("This field has a limit of 256 characters.", box.text);
    DismissMessageBox(box);
    ASSERT_TRUE(page_.Wait());
    EXPECT_EQ(0, result_);
}

TEST_F(Validation, SecondValidationWhileTheBoxIsUpFailsSilently)
{
    Type("abc", "");
    StartValidation(0, 10);
    MessageBoxInfo box;
    ASSERT_TRUE(WaitMessageBox(page_.ThreadId(), &box));
    int nested = -1;
    page_.Call([&] {
        nested =
            ValidateTextField(page_.Page(), NumberEdit, 1, 10, IDS_FIELD_LIMIT, IDS_FIELD_EMPTY);
    });
    EXPECT_EQ(0, nested);
    Settle(100);
    EXPECT_EQ(1, CountMessageBoxes(page_.ThreadId()));
    DismissMessageBox(box);
    ASSERT_TRUE(page_.Wait());

    // Once the first has finished, validation works again.
    page_.Call([&] {
        nested =
            ValidateTextField(page_.Page(), NumberEdit, 1, 10, IDS_FIELD_LIMIT, IDS_FIELD_EMPTY);
    });
    EXPECT_EQ(1, nested);
}

TEST_F(Validation, MessageBoxesNeverStack)
{
    volatile int first = -1;
    page_.Start([&] { first = ShowMessageBox(page_.Page(), "First", "Caption", MB_OKCANCEL); });
    MessageBoxInfo box;
    ASSERT_TRUE(WaitMessageBox(page_.ThreadId(), &box));
    EXPECT_EQ("First", box.text);
    EXPECT_EQ("Caption", box.caption);
    EXPECT_TRUE(box.exclamation); // added to whatever style was asked for
    EXPECT_EQ((std::vector<int>{IDOK, IDCANCEL}), box.buttons);

    int second = -1;
    page_.Call([&] { second = ShowMessageBox(NULL, "Second", NULL, MB_OK); });
    EXPECT_EQ(IDCANCEL, second);
    Settle(100);
    EXPECT_EQ(1, CountMessageBoxes(page_.ThreadId()));
    DismissMessageBox(box, IDOK);
    ASSERT_TRUE(page_.Wait());
    EXPECT_EQ(IDOK, first);

    // The flag is cleared: the next box shows again.
    page_.Start([&] { first = ShowMessageBox(NULL, "Third", NULL, MB_OK); });
    ASSERT_TRUE(WaitMessageBox(page_.ThreadId(), &box));
    EXPECT_EQ("Third", box.text);
    EXPECT_EQ("Error", box.caption);
    DismissMessageBox(box);
    ASSERT_TRUE(page_.Wait());
}
