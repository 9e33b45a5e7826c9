// The name-service sheet through the real export: the NIS/NIS+ page and its
// IP-address entry controls, driven by keystrokes as a user types.
#include "helpspy.h"
#include "resource.h"
#include "sandbox.h"
#include "sheet_driver.h"

#include <memory>

#define OPTIONS "Software\\ZEVR\\CC\\1.0\\zevrnfs\\NameServiceOptions"
#define NIS_SHEET_TITLE "Quellmar NIS/NIS+ Name Service Configuration"

// clang-format off
// clang-format on

using Items = std::vector<std::string>;

class NisSheet : public SandboxTest {
  protected:
    void SetUp() override
    {
        library_ = LoadLibraryA("ZEVRNTPS.dll");
        ASSERT_NE(nullptr, library_);
        entry_ = (ZevrEntryPoint)(void (*)())GetProcAddress(library_, "NISProperty");
        ASSERT_NE(nullptr, entry_);
    }
    void TearDown() override
    {
        sheet_.reset();
        if (library_ != NULL)
            FreeLibrary(library_);
    }
    void Open()
    {
        sheet_.reset(new SheetDriver);
        ASSERT_TRUE(sheet_->Open(entry_, NIS_SHEET_TITLE));
    }
    void Close(bool ok)
    {
        if (ok)
            sheet_->PressOk();
        else
            sheet_->PressCancel();
        ASSERT_TRUE(sheet_->WaitClosed());
    }
    std::string Stored(const char* name)
    {
        std::string text = "(missing)";
        ReadString(HKEY_LOCAL_MACHINE, OPTIONS, name, &text);
        return text;
    }
    // Field i of an address control.
    HWND Field(int id, int i)
    {
        return GetDlgItem(sheet_->Item(id), i);
    }
    std::string Address(int id)
    {
        char text[32] = "";
        SendMessageA(sheet_->Item(id), WM_GETTEXT, sizeof(text), (LPARAM)text);
        return text;
    }
    LRESULT SetAddress(int id, const char* text)
    {
        return SendMessageA(sheet_->Item(id), WM_SETTEXT, 0, (LPARAM)text);
    }
    void FocusAddress(int id)
    {
        sheet_->OnSheetThread([&] { SetFocus(sheet_->Item(id)); });
    }
    void AddServer(int addressId, const char* address)
    {
        SetAddress(addressId, address);
        sheet_->Click(addressId == IDC_NIS_ADDRESS ? IDC_NIS_ADD : IDC_NISPLUS_ADD);
    }
    // Presses Apply and answers the box it shows, if any; "" without one.
    std::string ApplyMessage()
    {
        sheet_->PostApply();
        sheet_->Sync();
        if (sheet_->OpenMessageBoxes() == 0)
            return "";
        MessageBoxInfo box;
        if (!sheet_->WaitMessageBox(&box))
            return "(lost)";
        DismissMessageBox(box);
        sheet_->Sync();
        return box.text + " | " + box.caption;
    }

    HMODULE library_ = NULL;
    ZevrEntryPoint entry_ = NULL;
    std::unique_ptr<SheetDriver> sheet_;
};

TEST_F(NisSheet, TypingFlowsFromFieldToField)
{
    Open();
    sheet_->Click(IDC_NIS_ENABLE);
    ASSERT_EQ(1, SetAddress(IDC_NIS_ADDRESS, "1.55.3.4"));
    FocusAddress(IDC_NIS_ADDRESS);
    EXPECT_EQ(Field(IDC_NIS_ADDRESS, 0), sheet_->Focus());
    // The third digit moves on and selects the next field's text.
    sheet_->Type("192");
    EXPECT_EQ(Field(IDC_NIS_ADDRESS, 1), sheet_->Focus());
    EXPECT_EQ(std::make_pair(0, 2), SheetDriver::Selection(Field(IDC_NIS_ADDRESS, 1)));
    EXPECT_EQ("192.55.3.4", Address(IDC_NIS_ADDRESS));

    // A number above 255 is refused where it was typed.
    sheet_->Type("300");
    MessageBoxInfo box;
    ASSERT_TRUE(sheet_->WaitMessageBox(&box));
    EXPECT_EQ("300 is not a valid entry. Please specify a value between 0 and 255 for this field",
              box.text);
    EXPECT_EQ("Error", box.caption);
    EXPECT_TRUE(box.exclamation);
    DismissMessageBox(box);
    sheet_->Sync();
    EXPECT_EQ(Field(IDC_NIS_ADDRESS, 1), sheet_->Focus());
    EXPECT_EQ(std::make_pair(0, 3), SheetDriver::Selection(Field(IDC_NIS_ADDRESS, 1)));

    // Each step from the state the one before left.
    ASSERT_EQ(1, SetAddress(IDC_NIS_ADDRESS, "1..2.3"));
    FocusAddress(IDC_NIS_ADDRESS);
    const struct {
        const char* what;
        const char* typed; // or a key
        WORD key;
        bool control;
        int field;
        int start, end;
        const char* address;
    } steps[] = {
        {"dot on a selection stays", ".", 0, false, 0, 0, 1, "1.0.2.3"},
        {"Right ends the selection", nullptr, VK_RIGHT, false, 0, 1, 1, "1.0.2.3"},
        {"dot leaves a filled field", ".", 0, false, 1, 0, 0, "1.0.2.3"},
        {"dot in an empty field", ".", 0, false, 1, 0, 0, "1.0.2.3"},
        {"space in an empty field", " ", 0, false, 1, 0, 0, "1.0.2.3"},
        {"digit", "7", 0, false, 1, 1, 1, "1.7.2.3"},
        {"space leaves a filled field", " ", 0, false, 2, 0, 1, "1.7.2.3"},
        {"letters and # are dropped", "a#%", 0, false, 2, 0, 1, "1.7.2.3"},
        {"Right on a selection", nullptr, VK_RIGHT, false, 2, 1, 1, "1.7.2.3"},
        {"Right at the end", nullptr, VK_RIGHT, false, 3, 0, 0, "1.7.2.3"},
        {"dot in the last field stays", ".", 0, false, 3, 0, 0, "1.7.2.3"},
        {"Left at the start", nullptr, VK_LEFT, false, 2, 1, 1, "1.7.2.3"},
        {"Left inside", nullptr, VK_LEFT, false, 2, 0, 0, "1.7.2.3"},
        {"Left again at the start", nullptr, VK_LEFT, false, 1, 1, 1, "1.7.2.3"},
        {"Right to the next start", nullptr, VK_RIGHT, false, 2, 0, 0, "1.7.2.3"},
        {"Backspace at the start", nullptr, VK_BACK, false, 1, 0, 0, "1.0.2.3"},
        {"Ctrl+Right", nullptr, VK_RIGHT, true, 2, 0, 1, "1.0.2.3"},
        {"Ctrl+Right again", nullptr, VK_RIGHT, true, 3, 0, 1, "1.0.2.3"},
        {"Ctrl+Left", nullptr, VK_LEFT, true, 2, 0, 1, "1.0.2.3"},
        {"End", nullptr, VK_END, false, 3, 1, 1, "1.0.2.3"},
        {"Home", nullptr, VK_HOME, false, 0, 0, 0, "1.0.2.3"},
        {"Down does nothing", nullptr, VK_DOWN, false, 0, 0, 0, "1.0.2.3"},
        {"third digit typed at the start", "23", 0, false, 1, 0, 0, "231.0.2.3"},
        {"Home to a full field", nullptr, VK_HOME, false, 0, 0, 0, "231.0.2.3"},
        {"a fourth digit is dropped", "9", 0, false, 0, 0, 0, "231.0.2.3"},
        {"Right inside", nullptr, VK_RIGHT, false, 0, 1, 1, "231.0.2.3"},
        {"Right inside again", nullptr, VK_RIGHT, false, 0, 2, 2, "231.0.2.3"},
        {"Right to the third", nullptr, VK_RIGHT, false, 0, 3, 3, "231.0.2.3"},
        {"a digit after the third moves on", "9", 0, false, 1, 0, 0, "231.0.2.3"},
        {"digits", "45", 0, false, 1, 2, 2, "231.45.2.3"},
        {"Backspace inside stays", nullptr, VK_BACK, false, 1, 1, 1, "231.4.2.3"},
        {"Left to the start", nullptr, VK_LEFT, false, 1, 0, 0, "231.4.2.3"},
        {"Delete", nullptr, VK_DELETE, false, 1, 0, 0, "231.0.2.3"},
        {"Ctrl+Left selects the field before", nullptr, VK_LEFT, true, 0, 0, 3, "231.0.2.3"},
        {"Ctrl+C", nullptr, 'C', true, 0, 0, 3, "231.0.2.3"},
        {"Ctrl+Right to the empty field", nullptr, VK_RIGHT, true, 1, 0, 0, "231.0.2.3"},
        {"Ctrl+V", nullptr, 'V', true, 1, 3, 3, "231.231.2.3"},
        {"Ctrl+Right", nullptr, VK_RIGHT, true, 2, 0, 1, "231.231.2.3"},
        {"Ctrl+X", nullptr, 'X', true, 2, 0, 0, "231.231.0.3"},
        {"End", nullptr, VK_END, false, 3, 1, 1, "231.231.0.3"},
        {"Backspace", nullptr, VK_BACK, false, 3, 0, 0, "231.231.0.0"},
        {"255 is a field's largest number", "255", 0, false, 3, 3, 3, "231.231.0.255"},
        {"Home", nullptr, VK_HOME, false, 0, 0, 0, "231.231.0.255"},
        {"Backspace at the start of the first field", nullptr, VK_BACK, false, 0, 0, 0,
         "231.231.0.255"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.typed != nullptr)
            sheet_->Type(step.typed);
        else
            sheet_->Key(step.key, step.control);
        EXPECT_EQ(Field(IDC_NIS_ADDRESS, step.field), sheet_->Focus());
        EXPECT_EQ(std::make_pair(step.start, step.end),
                  SheetDriver::Selection(Field(IDC_NIS_ADDRESS, step.field)));
        EXPECT_EQ(step.address, Address(IDC_NIS_ADDRESS));
    }
    // Tab leaves the control for the next control, without a check.
    sheet_->Key(VK_TAB);
    EXPECT_EQ(sheet_->Item(IDC_NIS_LIST), sheet_->Focus());
    EXPECT_EQ("231.231.0.255", Address(IDC_NIS_ADDRESS));
    // Return presses OK, which the empty NIS list stops, and adds nothing.
    FocusAddress(IDC_NIS_ADDRESS);
    sheet_->Key(VK_RETURN);
    ASSERT_TRUE(sheet_->WaitMessageBox(&box));
    EXPECT_EQ("Please add at least one server to the list.", box.text);
    DismissMessageBox(box);
    EXPECT_EQ("231", WindowText(Field(IDC_NIS_ADDRESS, 0)));
    Close(false);
}

// The colour at a point of a window, or any of its neighbours that matches.
static bool ShowsColour(HWND window, int x, int y, COLORREF colour)
{
    HDC dc = GetDC(window);
    bool found = false;
    for (int dx = -1; dx <= 1 && !found; ++dx)
        for (int dy = -1; dy <= 1 && !found; ++dy)
            found = GetPixel(dc, x + dx, y + dy) == colour;
    ReleaseDC(window, dc);
    return found;
}

TEST_F(NisSheet, AddressTextInAndOutAndTheGreyedLook)
{
    Open();
    HWND control = sheet_->Item(IDC_NIS_ADDRESS);
    const struct {
        const char* text;
        LRESULT result;
        const char* fields[4];
    } texts[] = {
        {"10.1.2.3", 1, {"10", "1", "2", "3"}},   {" 10. 1.2.3", 1, {"10", "1", "2", "3"}},
        {"1..2.3", 1, {"1", "", "2", "3"}},       {"10.1.2", 1, {"10", "1", "0", "2"}},
        {"0.1.2.3", -1, {"10", "1", "0", "2"}},   {"256.1.1.1", -1, {"10", "1", "0", "2"}},
        {"1.2.3.4.5", -1, {"10", "1", "0", "2"}}, {"1a.2.3.4", -1, {"10", "1", "0", "2"}},
        {"1234", -1, {"10", "1", "0", "2"}},      {"1.4294967301", -1, {"10", "1", "0", "2"}},
    };
    for (const auto& t : texts) {
        SCOPED_TRACE(t.text);
        EXPECT_EQ(t.result, SetAddress(IDC_NIS_ADDRESS, t.text));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(t.fields[i], WindowText(Field(IDC_NIS_ADDRESS, i))) << i;
    }
    const char* parts[] = {"10", "", "5", ""};
    for (int i = 0; i < 4; ++i)
        SetWindowTextA(Field(IDC_NIS_ADDRESS, i), parts[i]);
    char text[16] = "x";
    EXPECT_EQ(8, SendMessageA(control, WM_GETTEXT, 16, (LPARAM)text));
    EXPECT_STREQ("10.0.5.0", text);
    EXPECT_EQ(-1, SendMessageA(control, WM_GETTEXT, 15, (LPARAM)text));
    EXPECT_STREQ("", text);

    // Greyed with NIS off: grey dots in a black frame; black dots once on.
    RECT client;
    GetClientRect(control, &client);
    int dotX = (client.right - 14) / 4 + 3;
    int dotY = client.bottom - 4 - 6;
    COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    auto look = [&](bool enabled) {
        SCOPED_TRACE(enabled);
        sheet_->OnSheetThread(
            [&] { RedrawWindow(control, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); });
        EXPECT_EQ(enabled, IsWindowEnabled(Field(IDC_NIS_ADDRESS, 0)) != FALSE);
        EXPECT_TRUE(ShowsColour(control, 0, 0, RGB(0, 0, 0)));
        EXPECT_TRUE(ShowsColour(control, dotX, dotY, enabled ? RGB(0, 0, 0) : grey));
        EXPECT_FALSE(ShowsColour(control, dotX, dotY, enabled ? grey : RGB(0, 0, 0)));
    };
    look(false);
    sheet_->Click(IDC_NIS_ENABLE);
    look(true);
    Close(false);
}

TEST_F(NisSheet, FreshRegistryShowsWindowsDefaultAndStoresEmptyLists)
{
    Open();
    EXPECT_EQ(Items{"Windows default"}, sheet_->ListItems(IDC_NIS_ORDER));
    EXPECT_EQ(0, sheet_->ListSelection(IDC_NIS_ORDER));
    for (int id : {IDC_NIS_ENABLE, IDC_NISPLUS_ENABLE}) {
        EXPECT_EQ((UINT)BST_UNCHECKED, sheet_->Checked(id)) << id;
        EXPECT_TRUE(sheet_->Enabled(id)) << id;
    }
    for (int id :
         {IDC_NIS_LABEL, IDC_NIS_ADDRESS, IDC_NIS_ADD, IDC_NIS_LIST, IDC_NIS_REMOVE,
          IDC_NISPLUS_LABEL, IDC_NISPLUS_ADDRESS, IDC_NISPLUS_ADD, IDC_NISPLUS_LIST,
          IDC_NISPLUS_REMOVE, IDC_NIS_DOMAIN_LABEL, IDC_NIS_DOMAIN, IDC_NIS_UP, IDC_NIS_DOWN})
        EXPECT_FALSE(sheet_->Enabled(id)) << id;
    EXPECT_TRUE(sheet_->Enabled(IDC_NIS_ORDER));
    EXPECT_TRUE(sheet_->Enabled(IDC_NIS_ORDER_LABEL));
    EXPECT_EQ("", sheet_->Text(IDC_NIS_DOMAIN));
    Close(true);
    EXPECT_EQ("", Stored("Domain"));
    EXPECT_EQ("", Stored("NisServers"));
    EXPECT_EQ("", Stored("NisplusServers"));
    EXPECT_EQ("W", Stored("SearchOrder"));
    EXPECT_EQ("ZEVRNISC load;__NSPSetNSOrder;ZEVRNISC unload;", StandInLog());
}

TEST_F(NisSheet, EnablingAServiceAddsItsEntryAndKeepsItsServers)
{
    Open();
    sheet_->Click(IDC_NIS_ENABLE);
    EXPECT_EQ((Items{"Windows default", "NIS"}), sheet_->ListItems(IDC_NIS_ORDER));
    EXPECT_FALSE(sheet_->Enabled(IDC_NISPLUS_ENABLE));
    for (int id : {IDC_NIS_LABEL, IDC_NIS_ADDRESS, IDC_NIS_LIST, IDC_NIS_DOMAIN, IDC_NIS_DOWN})
        EXPECT_TRUE(sheet_->Enabled(id)) << id;
    for (int id : {IDC_NIS_ADD, IDC_NIS_REMOVE, IDC_NISPLUS_ADDRESS, IDC_NIS_UP})
        EXPECT_FALSE(sheet_->Enabled(id)) << id;
    // Add follows the fields: all four must hold text.
    SetAddress(IDC_NIS_ADDRESS, "1..2.3");
    EXPECT_FALSE(sheet_->Enabled(IDC_NIS_ADD));
    AddServer(IDC_NIS_ADDRESS, "10.0.0.1");
    EXPECT_EQ(Items{"10.0.0.1"}, sheet_->ListItems(IDC_NIS_LIST));
    EXPECT_TRUE(sheet_->Enabled(IDC_NIS_REMOVE));

    // Unchecked while its entry is selected: the entry before it is.
    sheet_->ListSelect(IDC_NIS_ORDER, 1);
    sheet_->Click(IDC_NIS_ENABLE);
    EXPECT_EQ(Items{"Windows default"}, sheet_->ListItems(IDC_NIS_ORDER));
    EXPECT_EQ(0, sheet_->ListSelection(IDC_NIS_ORDER));
    EXPECT_FALSE(sheet_->Enabled(IDC_NIS_UP) || sheet_->Enabled(IDC_NIS_DOWN));
    EXPECT_TRUE(sheet_->Enabled(IDC_NISPLUS_ENABLE));
    EXPECT_FALSE(sheet_->Enabled(IDC_NIS_LIST));
    sheet_->Click(IDC_NISPLUS_ENABLE);
    EXPECT_EQ((Items{"Windows default", "NIS+"}), sheet_->ListItems(IDC_NIS_ORDER));
    EXPECT_FALSE(sheet_->Enabled(IDC_NIS_ENABLE));
    sheet_->Click(IDC_NISPLUS_ENABLE);
    Close(true);
    EXPECT_EQ("10.0.0.1", Stored("NisServers"));
    EXPECT_EQ("W", Stored("SearchOrder"));
}

TEST_F(NisSheet, SearchOrderLoadsMovesAndSaves)
{
    const struct {
        const char* stored;
        Items entries;
        int selected;
        UINT nis, nisplus;
        bool moveUp;
        const char* saved;
    } cases[] = {
        {"YW", {"NIS", "Windows default"}, 1, BST_CHECKED, BST_UNCHECKED, true, "WY"},
        // Only the first service code counts.
        {"NY", {"NIS+"}, 0, BST_UNCHECKED, BST_CHECKED, false, "N"},
        {"YWY", {"NIS", "Windows default"}, 1, BST_CHECKED, BST_UNCHECKED, false, "YW"},
        {"WYW", {"Windows default", "NIS"}, 1, BST_CHECKED, BST_UNCHECKED, false, "WY"},
        {"", {}, -1, BST_UNCHECKED, BST_UNCHECKED, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        WriteString(HKEY_LOCAL_MACHINE, OPTIONS, "SearchOrder", c.stored);
        WriteString(HKEY_LOCAL_MACHINE, OPTIONS, "NisServers", "10.0.0.1");
        WriteString(HKEY_LOCAL_MACHINE, OPTIONS, "NisplusServers", "10.0.0.2");
        WriteString(HKEY_LOCAL_MACHINE, OPTIONS, "Domain", "corp");
        Open();
        EXPECT_EQ(c.entries, sheet_->ListItems(IDC_NIS_ORDER));
        EXPECT_EQ(c.selected, sheet_->ListSelection(IDC_NIS_ORDER));
        EXPECT_EQ(c.nis, sheet_->Checked(IDC_NIS_ENABLE));
        EXPECT_EQ(c.nisplus, sheet_->Checked(IDC_NISPLUS_ENABLE));
        if (c.moveUp) {
            // Up on every entry but the first, Down on every entry but the last.
            EXPECT_TRUE(sheet_->Enabled(IDC_NIS_UP));
            EXPECT_FALSE(sheet_->Enabled(IDC_NIS_DOWN));
            sheet_->Click(IDC_NIS_UP);
            EXPECT_EQ((Items{"Windows default", "NIS"}), sheet_->ListItems(IDC_NIS_ORDER));
            EXPECT_EQ(0, sheet_->ListSelection(IDC_NIS_ORDER));
            EXPECT_FALSE(sheet_->Enabled(IDC_NIS_UP));
            EXPECT_TRUE(sheet_->Enabled(IDC_NIS_DOWN));
            sheet_->ListSelect(IDC_NIS_ORDER, 1);
            EXPECT_TRUE(sheet_->Enabled(IDC_NIS_UP));
            EXPECT_FALSE(sheet_->Enabled(IDC_NIS_DOWN));
        }
        Close(true);
        EXPECT_EQ(c.saved, Stored("SearchOrder"));
    }
}

TEST_F(NisSheet, ServerListsSplitCapAndRefuseDuplicates)
{
    WriteString(HKEY_LOCAL_MACHINE, OPTIONS, "NisServers", "10.0.0.1 10.0.0.2");
    WriteString(HKEY_LOCAL_MACHINE, OPTIONS, "NisplusServers", "10.0.0.1  10.0.0.2");
    Open();
    EXPECT_EQ((Items{"10.0.0.1", "10.0.0.2"}), sheet_->ListItems(IDC_NIS_LIST));
    EXPECT_EQ(0, sheet_->ListSelection(IDC_NIS_LIST));
    EXPECT_EQ(Items{"10.0.0.1"}, sheet_->ListItems(IDC_NISPLUS_LIST));
    sheet_->Click(IDC_NIS_ENABLE);
    for (int i = 3; i <= 11; ++i)
        AddServer(IDC_NIS_ADDRESS, ("10.0.0." + std::to_string(i)).c_str());
    Items ten = sheet_->ListItems(IDC_NIS_LIST);
    ASSERT_EQ(10u, ten.size());
    EXPECT_EQ("10.0.0.10", ten.back());
    EXPECT_EQ(9, sheet_->ListSelection(IDC_NIS_LIST));
    // Remove selects the entry that took the removed one's place.
    sheet_->ListSelect(IDC_NIS_LIST, 4);
    sheet_->Click(IDC_NIS_REMOVE);
    EXPECT_EQ("10.0.0.6", sheet_->ListItems(IDC_NIS_LIST)[4]);
    EXPECT_EQ(4, sheet_->ListSelection(IDC_NIS_LIST));
    AddServer(IDC_NIS_ADDRESS, "10.0.0.1");
    EXPECT_EQ(9u, sheet_->ListItems(IDC_NIS_LIST).size());
    // Removing the last entry selects the new last one.
    sheet_->ListSelect(IDC_NIS_LIST, 8);
    sheet_->Click(IDC_NIS_REMOVE);
    EXPECT_EQ(7, sheet_->ListSelection(IDC_NIS_LIST));
    sheet_->SetText(IDC_NIS_DOMAIN, "corp");
    Close(true);
    EXPECT_EQ("10.0.0.1 10.0.0.2 10.0.0.3 10.0.0.4 10.0.0.6 10.0.0.7 10.0.0.8 10.0.0.9",
              Stored("NisServers"));
    EXPECT_EQ("10.0.0.1", Stored("NisplusServers"));

    // A long stored list loads whole, takes no more, and is stored back whole.
    std::string many = "1";
    for (int i = 2; i <= 40; ++i)
        many += " " + std::to_string(i);
    WriteString(HKEY_LOCAL_MACHINE, OPTIONS, "NisServers", many.c_str());
    Open();
    EXPECT_EQ(40u, sheet_->ListItems(IDC_NIS_LIST).size());
    AddServer(IDC_NIS_ADDRESS, "10.9.9.9");
    EXPECT_EQ(40u, sheet_->ListItems(IDC_NIS_LIST).size());
    Close(true);
    EXPECT_EQ(many, Stored("NisServers"));

    // An entry that the stored text could not hold is refused as well.
    std::string wide(170, '7');
    WriteString(HKEY_LOCAL_MACHINE, OPTIONS, "NisServers", wide.c_str());
    Open();
    AddServer(IDC_NIS_ADDRESS, "10.20.30.40");
    EXPECT_EQ(Items{wide}, sheet_->ListItems(IDC_NIS_LIST));
    Close(true);
    EXPECT_EQ(wide, Stored("NisServers"));
}

TEST_F(NisSheet, AnEnabledServiceNeedsServersAndAValidDomain)
{
    Open();
    sheet_->Click(IDC_NIS_ENABLE);
    sheet_->SetText(IDC_NIS_DOMAIN, "corp");
    EXPECT_EQ("Please add at least one server to the list. | Error", ApplyMessage());
    EXPECT_EQ(Field(IDC_NIS_ADDRESS, 0), sheet_->Focus());
    AddServer(IDC_NIS_ADDRESS, "10.0.0.1");

    const struct {
        const char* domain;
        const char* message; // "" when accepted
    } domains[] = {
        {"a.b.c", ""},
        {"a.b.c.", ""},
        {"a..b", ""},
        {"a\"/\"b", ""},
        {".a", "\".a\" is not a valid NIS or NIS+ Domain Name. | Error"},
        {"a/b", "\"a/b\" is not a valid NIS or NIS+ Domain Name. | Error"},
        {"a,b", "\"a,b\" is not a valid NIS or NIS+ Domain Name. | Error"},
        {"@a", "\"@a\" is not a valid NIS or NIS+ Domain Name. | Error"},
        {"a.@b", "\"a.@b\" is not a valid NIS or NIS+ Domain Name. | Error"},
        {"a\"b", "\"a\"b\" is not a valid NIS or NIS+ Domain Name. | Error"},
        {"   ", "This field cannot be empty. | Error"},
        {"a b", "\"a b\" is not a valid NIS or NIS+ Domain Name. | Error"},
    };
    for (const auto& d : domains) {
        SCOPED_TRACE(d.domain);
        sheet_->SetText(IDC_NIS_DOMAIN, d.domain);
        EXPECT_EQ(d.message, ApplyMessage());
        if (d.message[0] == '\0') {
            EXPECT_EQ(d.domain, Stored("Domain"));
        }
    }
    // The last refusal leaves the domain selected for retyping.
    EXPECT_EQ(sheet_->Item(IDC_NIS_DOMAIN), sheet_->Focus());
    EXPECT_EQ(std::make_pair(0, 3), SheetDriver::Selection(sheet_->Item(IDC_NIS_DOMAIN)));
    EXPECT_EQ("a\"/\"b", Stored("Domain"));
    // The whole text counts: the field holds 255 characters, the last of
    // them checked too.
    EXPECT_EQ(255, SendMessageA(sheet_->Item(IDC_NIS_DOMAIN), EM_GETLIMITTEXT, 0, 0));
    sheet_->SetText(IDC_NIS_DOMAIN, std::string(256, 'a').c_str());
    EXPECT_EQ("This field has a limit of 255 characters. | Error", ApplyMessage());
    sheet_->SetText(IDC_NIS_DOMAIN, (std::string(254, 'a') + "/").c_str());
    EXPECT_NE("", ApplyMessage());
    EXPECT_EQ("a\"/\"b", Stored("Domain"));
    Close(false);
    EXPECT_EQ("a\"/\"b", Stored("Domain"));

    // NIS+ needs servers of its own: the NIS list does not count.
    Open();
    sheet_->Click(IDC_NIS_ENABLE);
    sheet_->Click(IDC_NISPLUS_ENABLE);
    EXPECT_EQ("Please add at least one server to the list. | Error", ApplyMessage());
    EXPECT_EQ(Field(IDC_NISPLUS_ADDRESS, 0), sheet_->Focus());
    Close(false);
    EXPECT_EQ("WY", Stored("SearchOrder"));
}

TEST_F(NisSheet, ProviderOrderIsSetAfterTheClassIsGone)
{
    for (bool ok : {true, false}) {
        SCOPED_TRACE(ok);
        WriteString(HKEY_CURRENT_USER, "ZevrStandIns", "Log", "");
        Open();
        WNDCLASSA cls;
        EXPECT_TRUE(GetClassInfoA(library_, "ZEVRIPAddress", &cls));
        EXPECT_EQ("", StandInLog());
        Close(ok);
        EXPECT_EQ(ok ? "TRUE" : "FALSE", sheet_->ResultText());
        EXPECT_EQ("ZEVRNISC load;__NSPSetNSOrder;ZEVRNISC unload;", StandInLog());
        EXPECT_FALSE(GetClassInfoA(library_, "ZEVRIPAddress", &cls));
    }
}

TEST_F(NisSheet, HelpInAFieldIsTheHelpOfItsControl)
{
    HelpSpy spy;
    Open();
    sheet_->Click(IDC_NIS_ENABLE);
    FocusAddress(IDC_NIS_ADDRESS);
    sheet_->Key(VK_RIGHT, true);
    sheet_->Key(VK_F1);
    sheet_->Click(IDC_NISPLUS_ENABLE);
    FocusAddress(IDC_NISPLUS_ADDRESS);
    sheet_->Key(VK_F1);
    std::vector<HelpCall> calls = spy.Calls(2);
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ(40, calls[0].context);
    EXPECT_EQ(45, calls[1].context);
    Close(false);
}
