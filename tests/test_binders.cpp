// The binders between the test dialog's controls and a per-test registry.
#include "binders.h"
#include "controls.h"
#include "registry.h"
#include "sandbox.h"
#include "test_page.h"

#include <string>

static const char KeyPath[] = "Software\\ZEVR\\CC\\1.0\\test";

class Binders : public SandboxTest {
  protected:
    void SetUp() override
    {
        ASSERT_EQ(ERROR_SUCCESS, CreateSettingsKey(HKEY_CURRENT_USER, "test", &key_));
        d_ = page_.Page();
    }
    void TearDown() override
    {
        CloseSettingsKey(key_);
    }
    DWORD Stored(const char* name)
    {
        DWORD value = 0xDEADBEEF;
        ReadDword(HKEY_CURRENT_USER, KeyPath, name, &value);
        return value;
    }
    std::string StoredText(const char* name)
    {
        std::string text = "<missing>";
        ReadString(HKEY_CURRENT_USER, KeyPath, name, &text);
        return text;
    }
    bool Exists(const char* name)
    {
        return ValueExists(HKEY_CURRENT_USER, KeyPath, name);
    }
    void Fill(int id, std::initializer_list<const char*> items)
    {
        SendDlgItemMessageA(d_, id, CB_RESETCONTENT, 0, 0);
        for (const char* item : items)
            ComboAddString(d_, id, item);
    }
    void Type(int id, const char* text)
    {
        SendDlgItemMessageA(d_, id, CB_SETCURSEL, (WPARAM)-1, 0);
        SetDlgItemTextA(d_, id, text);
    }
    std::string Text(int id)
    {
        return WindowText(GetDlgItem(d_, id));
    }
    TestPage page_;
    HWND d_ = NULL;
    HKEY key_ = NULL;
};

TEST_F(Binders, CheckBoxShowsTheValueItselfAndSavesSetAsOne)
{
    BindCheckBox(d_, ThreeState, key_, "Three", 2, 0);
    EXPECT_EQ((UINT)BST_INDETERMINATE, IsDlgButtonChecked(d_, ThreeState));
    BindCheckBox(d_, ThreeState, key_, "Three", 0, 1);
    EXPECT_EQ(1u, Stored("Three"));

    WriteDword(HKEY_CURRENT_USER, KeyPath, "Two", 1);
    BindCheckBox(d_, TwoState, key_, "Two", 0, 0);
    EXPECT_EQ((UINT)BST_CHECKED, IsDlgButtonChecked(d_, TwoState));
    CheckDlgButton(d_, TwoState, BST_UNCHECKED);
    BindCheckBox(d_, TwoState, key_, "Two", 1, 1);
    EXPECT_EQ(0u, Stored("Two"));

    // A value of another type counts as missing.
    WriteString(HKEY_CURRENT_USER, KeyPath, "Text", "1");
    BindCheckBox(d_, TwoState, key_, "Text", 0, 0);
    EXPECT_EQ((UINT)BST_UNCHECKED, IsDlgButtonChecked(d_, TwoState));
}

TEST_F(Binders, InvertedCheckBoxIsCheckedForZero)
{
    BindInvertedCheckBox(d_, TwoState, key_, "Inverted", 0, 0);
    EXPECT_EQ((UINT)BST_CHECKED, IsDlgButtonChecked(d_, TwoState));
    BindInvertedCheckBox(d_, TwoState, key_, "Inverted", 0, 1);
    EXPECT_EQ(0u, Stored("Inverted"));

    WriteDword(HKEY_CURRENT_USER, KeyPath, "Inverted", 5);
    BindInvertedCheckBox(d_, TwoState, key_, "Inverted", 0, 0);
    EXPECT_EQ((UINT)BST_UNCHECKED, IsDlgButtonChecked(d_, TwoState));
    BindInvertedCheckBox(d_, TwoState, key_, "Inverted", 0, 1);
    EXPECT_EQ(1u, Stored("Inverted"));

    CheckDlgButton(d_, ThreeState, BST_INDETERMINATE);
    BindInvertedCheckBox(d_, ThreeState, key_, "Third", 0, 1);
    EXPECT_EQ(0u, Stored("Third"));
}

TEST_F(Binders, EditTextLoadsWithinTheSizeAndSavesAtMostSizeLessOne)
{
    WriteString(HKEY_CURRENT_USER, KeyPath, "Name", "stored");
    BindEditText(d_, TextEdit, key_, "Name", "default", 0, 256);
    EXPECT_EQ("stored", Text(TextEdit));
    BindEditText(d_, TextEdit, key_, "Missing", "default", 0, 256);
    EXPECT_EQ("default", Text(TextEdit));

    // Too long for the buffer: the default is shown.
    std::string longText(300, 'z');
    WriteString(HKEY_CURRENT_USER, KeyPath, "Long", longText.c_str());
    BindEditText(d_, TextEdit, key_, "Long", "default", 0, 256);
    EXPECT_EQ("default", Text(TextEdit));
    // Exactly fitting, terminator included.
    WriteString(HKEY_CURRENT_USER, KeyPath, "Fits", "1234");
    BindEditText(d_, TextEdit, key_, "Fits", "default", 0, 5);
    EXPECT_EQ("1234", Text(TextEdit));
    BindEditText(d_, TextEdit, key_, "Fits", "default", 0, 4);
    EXPECT_EQ("default", Text(TextEdit));

    SetDlgItemTextA(d_, TextEdit, "abcdefg");
    BindEditText(d_, TextEdit, key_, "Saved", "", 1, 5);
    EXPECT_EQ("abcd", StoredText("Saved"));
    SetDlgItemTextA(d_, TextEdit, "");
    BindEditText(d_, TextEdit, key_, "Empty", "x", 1, 256);
    EXPECT_EQ("", StoredText("Empty"));
}

TEST_F(Binders, EditTextSizeBeyondItsLimitIsHeldToIt)
{
    std::string text(300, 'q');
    SetDlgItemTextA(d_, TextEdit, text.c_str());
    BindEditText(d_, TextEdit, key_, "Big", "", 1, 4000);
    EXPECT_EQ(std::string(259, 'q'), StoredText("Big"));
    BindEditText(d_, TextEdit, key_, "Big", "fallback", 0, 0);
    EXPECT_EQ("fallback", Text(TextEdit));
}

TEST_F(Binders, ComboTextSelectsTypesOrFallsBackToTheFirstItem)
{
    Fill(ListCombo, {"udp", "tcp"});
    WriteString(HKEY_CURRENT_USER, KeyPath, "Proto", "TCP");
    BindComboText(d_, ListCombo, key_, "Proto", "udp", 0);
    EXPECT_EQ(1, ComboGetSelection(d_, ListCombo));
    WriteString(HKEY_CURRENT_USER, KeyPath, "Proto", "ipx");
    BindComboText(d_, ListCombo, key_, "Proto", "udp", 0);
    EXPECT_EQ(0, ComboGetSelection(d_, ListCombo));
    BindComboText(d_, ListCombo, key_, "Proto", "", 1);
    EXPECT_EQ("udp", StoredText("Proto"));

    Fill(NamedCombo, {"one", "two"});
    BindComboText(d_, NamedCombo, key_, "Free", "typed", 0);
    EXPECT_EQ(CB_ERR, ComboGetSelection(d_, NamedCombo));
    EXPECT_EQ("typed", Text(NamedCombo));
    BindComboText(d_, NamedCombo, key_, "Free", "", 1);
    EXPECT_EQ("typed", StoredText("Free"));
}

class ComboNumberBinder : public Binders {
  protected:
    // Saves what the combo box shows over a stored 777.
    DWORD SaveTyped(int id, const char* typed)
    {
        WriteDword(HKEY_CURRENT_USER, KeyPath, "Size", 777);
        Type(id, typed);
        BindComboNumber(d_, id, key_, "Size", 0, 1);
        return Stored("Size");
    }
};

TEST_F(ComboNumberBinder, TypedNumbersWithinTheListRangeAreStored)
{
    Fill(NumberCombo, {"1024", "2048", "8192"});
    EXPECT_EQ(4096u, SaveTyped(NumberCombo, "4096"));
    EXPECT_EQ(1024u, SaveTyped(NumberCombo, "1024"));
    EXPECT_EQ(8192u, SaveTyped(NumberCombo, "+8192"));
    EXPECT_EQ(777u, SaveTyped(NumberCombo, "16384"));
    EXPECT_EQ(777u, SaveTyped(NumberCombo, "512"));
    EXPECT_EQ(777u, SaveTyped(NumberCombo, "0"));
    EXPECT_EQ(777u, SaveTyped(NumberCombo, "abc"));
    EXPECT_EQ(777u, SaveTyped(NumberCombo, "99999999999"));

    ComboSetSelection(d_, NumberCombo, 1);
    BindComboNumber(d_, NumberCombo, key_, "Size", 0, 1);
    EXPECT_EQ(2048u, Stored("Size"));
}

TEST_F(ComboNumberBinder, NamedChoiceMakesZeroTheLowerBound)
{
    Fill(NamedCombo, {"Automatic", "1024", "8192"});
    ComboSetSelection(d_, NamedCombo, 0);
    BindComboNumber(d_, NamedCombo, key_, "Size", 5, 1);
    EXPECT_EQ(0u, Stored("Size"));
    EXPECT_EQ(0u, SaveTyped(NamedCombo, "0"));
    EXPECT_EQ(1u, SaveTyped(NamedCombo, "1"));
    EXPECT_EQ(8192u, SaveTyped(NamedCombo, "8192"));
    EXPECT_EQ(777u, SaveTyped(NamedCombo, "8193"));
}

TEST_F(ComboNumberBinder, LoadShowsNamedChoiceNumberOrFirstItem)
{
    Fill(NamedCombo, {"Automatic", "1024", "8192"});
    WriteDword(HKEY_CURRENT_USER, KeyPath, "Size", 0);
    BindComboNumber(d_, NamedCombo, key_, "Size", 1024, 0);
    EXPECT_EQ(0, ComboGetSelection(d_, NamedCombo));
    BindComboNumber(d_, NamedCombo, key_, "Missing", 8192, 0);
    EXPECT_EQ(2, ComboGetSelection(d_, NamedCombo));
    BindComboNumber(d_, NamedCombo, key_, "Missing", 4096, 0);
    EXPECT_EQ(CB_ERR, ComboGetSelection(d_, NamedCombo));
    EXPECT_EQ("4096", Text(NamedCombo));

    Fill(NumberCombo, {"1024", "2048"});
    BindComboNumber(d_, NumberCombo, key_, "Size", 1024, 0);
    EXPECT_EQ("0", Text(NumberCombo));

    Fill(ListCombo, {"1024", "2048"});
    ComboSetSelection(d_, ListCombo, 1);
    BindComboNumber(d_, ListCombo, key_, "Missing", 4096, 0);
    EXPECT_EQ(0, ComboGetSelection(d_, ListCombo));
}

TEST_F(Binders, RadioGroupChecksTheStoredPosition)
{
    WriteDword(HKEY_CURRENT_USER, KeyPath, "Mode", 1);
    BindRadioGroup(d_, RadioA, RadioC, key_, "Mode", 0, 0);
    EXPECT_EQ((UINT)BST_CHECKED, IsDlgButtonChecked(d_, RadioB));
    EXPECT_EQ(1, GetCheckedRadioIndex(d_, RadioA, RadioC));

    CheckRadioButton(d_, RadioA, RadioC, RadioA);
    BindRadioGroup(d_, RadioA, RadioC, key_, "Mode", 0, 1);
    EXPECT_EQ(0u, Stored("Mode"));
    CheckRadioButton(d_, RadioA, RadioC, RadioC);
    BindRadioGroup(d_, RadioA, RadioC, key_, "Mode", 0, 1);
    EXPECT_EQ(2u, Stored("Mode"));

    // Beyond the group: every button is left clear.
    for (DWORD outside : {3u, 0xFFFFFFFFu, 0x80000000u}) {
        CheckRadioButton(d_, RadioA, RadioC, RadioB);
        WriteDword(HKEY_CURRENT_USER, KeyPath, "Mode", outside);
        BindRadioGroup(d_, RadioA, RadioC, key_, "Mode", 0, 0);
        for (int id = RadioA; id <= RadioC; ++id)
            EXPECT_EQ((UINT)BST_UNCHECKED, IsDlgButtonChecked(d_, id)) << outside;
    }
    BindRadioGroup(d_, RadioA, RadioC, key_, "Mode", 0, 1);
    EXPECT_EQ(0u, Stored("Mode"));
}

class BoundedIntegerBinder : public Binders {
  protected:
    DWORD SaveTyped(const char* typed, LONG minimum, LONG maximum)
    {
        WriteDword(HKEY_CURRENT_USER, KeyPath, "Count", 777);
        SetDlgItemTextA(d_, NumberEdit, typed);
        BindBoundedInteger(d_, NumberEdit, key_, "Count", 0, minimum, maximum, 1);
        return Stored("Count");
    }
};

TEST_F(BoundedIntegerBinder, SavedNumbersAreClamped)
{
    EXPECT_EQ(1u, SaveTyped("0", 1, 50));
    EXPECT_EQ(50u, SaveTyped("75", 1, 50));
    EXPECT_EQ(20u, SaveTyped("20", 1, 50));
    EXPECT_EQ(20u, SaveTyped("  20", 1, 50));
    // Negative as a signed number: below the minimum.
    EXPECT_EQ(120u, SaveTyped("4294967295", 120, 1800));
    EXPECT_EQ(120u, SaveTyped("2147483648", 120, 1800));
    EXPECT_EQ(1800u, SaveTyped("2147483647", 120, 1800));
}

TEST_F(BoundedIntegerBinder, TextThatIsNoUnsignedNumberStoresNothing)
{
    // Windows' rules, also where Wine's own GetDlgItemInt accepts these.
    for (const char* text : {"", "   ", "12a", "12 ", "+12", "-3", "4294967296"})
        EXPECT_EQ(777u, SaveTyped(text, 0, 100000)) << '"' << text << '"';
}

TEST_F(BoundedIntegerBinder, LoadShowsTheStoredValueUnclamped)
{
    WriteDword(HKEY_CURRENT_USER, KeyPath, "Count", 99);
    BindBoundedInteger(d_, NumberEdit, key_, "Count", 5, 1, 50, 0);
    EXPECT_EQ("99", Text(NumberEdit));
    BindBoundedInteger(d_, NumberEdit, key_, "Missing", 4294967295u, 1, 50, 0);
    EXPECT_EQ("4294967295", Text(NumberEdit));
}

// Failed writes, with the page on a thread of its own that runs the boxes.
class FailedWrites : public SandboxTest {
  protected:
    void SetUp() override
    {
        MakeKeyReadOnly(HKEY_CURRENT_USER, KeyPath);
        ASSERT_EQ(ERROR_SUCCESS, OpenSettingsKey(HKEY_CURRENT_USER, "test", &key_));
    }
    void TearDown() override
    {
        CloseSettingsKey(key_);
    }
    ThreadedTestPage page_;
    HKEY key_ = NULL;
};

TEST_F(FailedWrites, EveryBinderReportsOnceAndGoesOn)
{
    HWND d = page_.Page();
    HKEY key = key_;
    page_.Call([&] {
        ComboAddString(d, NamedCombo, "1");
        ComboSetSelection(d, NamedCombo, 0);
        ComboAddString(d, NumberCombo, "1");
        ComboSetSelection(d, NumberCombo, 0);
        SetDlgItemTextA(d, NumberEdit, "3");
    });
    std::vector<std::function<void()>> saves = {
        [=] { BindCheckBox(d, TwoState, key, "A", 0, 1); },
        [=] { BindInvertedCheckBox(d, TwoState, key, "B", 0, 1); },
        [=] { BindEditText(d, TextEdit, key, "C", "", 1, 256); },
        [=] { BindComboText(d, NamedCombo, key, "D", "", 1); },
        [=] { BindComboNumber(d, NumberCombo, key, "E", 0, 1); },
        [=] { BindRadioGroup(d, RadioA, RadioC, key, "F", 0, 1); },
        [=] { BindBoundedInteger(d, NumberEdit, key, "G", 0, 0, 10, 1); },
    };
    for (size_t i = 0; i < saves.size(); ++i) {
        page_.Start(saves[i]);
        MessageBoxInfo box;
        ASSERT_TRUE(WaitMessageBox(page_.ThreadId(), &box)) << "binder " << i;
        EXPECT_EQ("Write Register Failed", box.text);
        EXPECT_EQ("Error", box.caption);
        EXPECT_TRUE(box.exclamation);
        EXPECT_EQ(nullptr, box.owner);
        if (i == 0) {
            // Another failure while the box is up shows nothing more.
            page_.Call([=] { BindCheckBox(d, ThreeState, key, "H", 0, 1); });
            Settle(100);
            EXPECT_EQ(1, CountMessageBoxes(page_.ThreadId()));
        }
        DismissMessageBox(box);
        ASSERT_TRUE(page_.Wait()) << "binder " << i;
    }
    EXPECT_EQ(0, ValueCount(HKEY_CURRENT_USER, KeyPath));
}
