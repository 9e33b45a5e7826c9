// Context help on the test dialog: F1, the "What's this?" menu and the
// page-changed notice, observed through the help system's window and the
// stand-in sheet.
#include "controls.h"
#include "test_page.h"

#include <gtest/gtest.h>
#include <algorithm>

enum { WhatsThis = 40002 };

static HELPINFO HelpFor(HWND page, int id)
{
    HELPINFO info = {};
    info.cbSize = sizeof(info);
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = id;
    info.hItemHandle = GetDlgItem(page, id);
    return info;
}

static BOOL CALLBACK MatchMenuWindow(HWND window, LPARAM param)
{
    if (ClassName(window) == "#32768" && IsWindowVisible(window)) {
        *(HWND*)param = window;
        return FALSE;
    }
    return TRUE;
}

// The popup menu window of a thread, if one is open.
static HWND FindMenuWindow(DWORD threadId)
{
    HWND found = NULL;
    EnumThreadWindows(threadId, MatchMenuWindow, (LPARAM)&found);
    return found;
}

static HWND WaitMenuWindow(DWORD threadId, DWORD timeoutMs = 3000)
{
    DWORD start = GetTickCount();
    do {
        HWND menu = FindMenuWindow(threadId);
        if (menu != NULL)
            return menu;
        Sleep(5);
    } while (GetTickCount() - start < timeoutMs);
    return NULL;
}

TEST(HelpLookUp, TableTopicsAndTheGroupBoxRule)
{
    TestPage page;
    HWND d = page.Page();
    EXPECT_EQ(14, LookUpHelpId(ReadSizeLabel));
    EXPECT_EQ(14, LookUpHelpId(ReadSizeCombo));
    EXPECT_EQ(36, LookUpHelpId(PortGroup));
    EXPECT_EQ(-1, LookUpHelpId(0));
    EXPECT_EQ(-1, LookUpHelpId(-1));

    EXPECT_EQ(1, HasContextHelp(d, ReadSizeCombo));
    EXPECT_EQ(1, HasContextHelp(d, NoHelpEdit)); // may have help; the table decides
    EXPECT_EQ(0, HasContextHelp(d, PortGroup));
    EXPECT_EQ(0, HasContextHelp(d, 0));
    EXPECT_EQ(0, HasContextHelp(d, -3));
}

TEST(ContextHelp, F1ShowsTheControlsTopicAsAPopup)
{
    TestPage page;
    HWND d = page.Page();
    HELPINFO info = HelpFor(d, ReadSizeCombo);
    SendMessageA(d, WM_HELP, 0, (LPARAM)&info);
    EXPECT_EQ(1, PageRecord().results[WM_HELP]);
    ASSERT_EQ(1u, HelpRequests().size());
    EXPECT_EQ(d, HelpRequests()[0].from);
    EXPECT_EQ(HELP_CONTEXTPOPUP, HelpRequests()[0].command);
    EXPECT_EQ(14, HelpRequests()[0].context);
    EXPECT_EQ("config32.hlp", HelpRequests()[0].file);

    // A disabled control has its help too.
    info = HelpFor(d, DisabledEdit);
    SendMessageA(d, WM_HELP, 0, (LPARAM)&info);
    ASSERT_EQ(2u, HelpRequests().size());
    EXPECT_EQ(56, HelpRequests()[1].context);
}

TEST(ContextHelp, GroupBoxShowsNothingDespiteItsTableEntry)
{
    TestPage page;
    HWND d = page.Page();
    HELPINFO info = HelpFor(d, PortGroup);
    SendMessageA(d, WM_HELP, 0, (LPARAM)&info);
    EXPECT_EQ(1, PageRecord().results[WM_HELP]);
    info = HelpFor(d, 0);
    SendMessageA(d, WM_HELP, 0, (LPARAM)&info);
    ShowControlHelp(d, PortGroup);
    EXPECT_TRUE(HelpRequests().empty());
    EXPECT_EQ(0, CountMessageBoxes(GetCurrentThreadId()));
}

TEST(ContextHelp, EveryCommandPassedOnMarksThePageChanged)
{
    TestPage page;
    HWND d = page.Page();
    SendMessageA(d, WM_COMMAND, MAKEWPARAM(TextEdit, EN_CHANGE), (LPARAM)page.Item(TextEdit));
    EXPECT_EQ(0, PageRecord().results[WM_COMMAND]);
    // A real click on a real control; focus notices come with it.
    SendMessageA(page.Item(TwoState), BM_CLICK, 0, 0);
    // The menu command too, even with no control pending.
    SendMessageA(d, WM_COMMAND, WhatsThis, 0);
    EXPECT_EQ(1, PageRecord().results[WM_COMMAND]);

    const TestPageRecord& record = PageRecord();
    ASSERT_GE(record.commands.size(), 3u);
    EXPECT_EQ(TextEdit, record.commands.front());
    EXPECT_NE(record.commands.end(),
              std::find(record.commands.begin(), record.commands.end(), TwoState));
    EXPECT_EQ(WhatsThis, record.commands.back());
    EXPECT_EQ(record.commands.size(), record.changed.size());
    for (WPARAM changed : record.changed)
        EXPECT_EQ((WPARAM)d, changed);
    EXPECT_TRUE(HelpRequests().empty());

    // Other messages are left alone.
    size_t before = record.changed.size();
    EXPECT_EQ(0, ContextHelpHandler(d, WM_TIMER, 0, 0));
    EXPECT_EQ(0, ContextHelpHandler(d, WM_NOTIFY, 0, 0));
    EXPECT_EQ(before, record.changed.size());
}

// The page on a thread of its own, which runs the menus, the boxes and
// real key presses.
class LivePage : public testing::Test {
  protected:
    // Right click as the window manager reports it: the window clicked and
    // the cursor's screen position.
    void RightClick(HWND clicked, LPARAM point)
    {
        page_.Start([=] {
            PageRecord().results[WM_CONTEXTMENU] = -1;
            SendMessageA(page_.Page(), WM_CONTEXTMENU, (WPARAM)clicked, point);
        });
    }
    // The menu's single item, then the item chosen with the keyboard.
    void ExpectMenuAndChoose(HWND menuWindow)
    {
        ASSERT_NE(nullptr, menuWindow);
        HMENU menu = (HMENU)SendMessageA(menuWindow, MN_GETHMENU, 0, 0);
        ASSERT_NE(nullptr, menu);
        EXPECT_EQ(1, GetMenuItemCount(menu));
        EXPECT_EQ((UINT)WhatsThis, GetMenuItemID(menu, 0));
        char text[64] = "";
        GetMenuStringA(menu, 0, text, sizeof(text), MF_BYPOSITION);
        EXPECT_STREQ("What's this?", text);
        PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
    }
    void ExpectNoMenu()
    {
        ASSERT_TRUE(page_.Wait());
        EXPECT_EQ(0, MenuResult());
        EXPECT_EQ(nullptr, FindMenuWindow(page_.ThreadId()));
    }
    INT_PTR MenuResult()
    {
        INT_PTR result = -1;
        page_.Call([&] { result = PageRecord().results[WM_CONTEXTMENU]; });
        return result;
    }
    // Help requests as seen on the page's thread.
    std::vector<HelpCall> Requests()
    {
        std::vector<HelpCall> copy;
        page_.Call([&] { copy = HelpRequests(); });
        return copy;
    }
    ThreadedTestPage page_;
};

TEST_F(LivePage, LabelOffersWhatsThisAndShowsItsTopic)
{
    // A static label lets the click through: it arrives from the page.
    RightClick(page_.Page(), page_.ScreenPoint(ReadSizeLabel));
    ExpectMenuAndChoose(WaitMenuWindow(page_.ThreadId()));
    ASSERT_TRUE(page_.Wait());
    EXPECT_EQ(1, MenuResult());
    Settle(100);
    std::vector<HelpCall> requests = Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(14, requests[0].context);
    EXPECT_EQ(HELP_CONTEXTPOPUP, requests[0].command);
    EXPECT_EQ("config32.hlp", requests[0].file);

    // The menu command itself marks the page changed.
    TestPageRecord record;
    page_.Call([&] { record = PageRecord(); });
    ASSERT_FALSE(record.commands.empty());
    EXPECT_EQ(WhatsThis, record.commands.back());
    EXPECT_EQ(record.commands.size(), record.changed.size());
    EXPECT_EQ((WPARAM)page_.Page(), record.changed.back());

    // The pending control is used once.
    page_.Call([&] { SendMessageA(page_.Page(), WM_COMMAND, WhatsThis, 0); });
    EXPECT_EQ(1u, Requests().size());
}

TEST_F(LivePage, ClickedControlAndDisabledControlOfferTheMenu)
{
    RightClick(page_.Item(ReadSizeCombo), page_.ScreenPoint(ReadSizeCombo));
    ExpectMenuAndChoose(WaitMenuWindow(page_.ThreadId()));
    ASSERT_TRUE(page_.Wait());
    Settle(100);

    // A disabled control gets no mouse input; the click reaches the page.
    RightClick(page_.Page(), page_.ScreenPoint(DisabledEdit));
    ExpectMenuAndChoose(WaitMenuWindow(page_.ThreadId()));
    ASSERT_TRUE(page_.Wait());
    Settle(100);

    std::vector<HelpCall> requests = Requests();
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ(14, requests[0].context);
    EXPECT_EQ(56, requests[1].context);
}

TEST_F(LivePage, GroupBoxAndEmptySpaceOfferNoMenu)
{
    RightClick(page_.Item(PortGroup), page_.ScreenPoint(PortGroup));
    ExpectNoMenu();
    // Inside the group box, away from its controls, arriving from the page.
    RECT frame;
    GetWindowRect(page_.Item(PortGroup), &frame);
    RightClick(page_.Page(), MAKELPARAM(frame.right - 4, frame.bottom - 4));
    ExpectNoMenu();
    // Bare page space.
    RECT client;
    GetClientRect(page_.Page(), &client);
    RightClick(page_.Page(), page_.ScreenPointOfPage(client.right - 3, client.bottom - 3));
    ExpectNoMenu();
    EXPECT_TRUE(Requests().empty());
    // Nothing stays pending from those clicks.
    page_.Call([&] { SendMessageA(page_.Page(), WM_COMMAND, WhatsThis, 0); });
    EXPECT_TRUE(Requests().empty());
}

TEST_F(LivePage, MissingTableEntryIsReportedOnceAtATime)
{
    RightClick(page_.Item(NoHelpEdit), page_.ScreenPoint(NoHelpEdit));
    ExpectMenuAndChoose(WaitMenuWindow(page_.ThreadId()));
    MessageBoxInfo box;
    ASSERT_TRUE(WaitMessageBox(page_.ThreadId(), &box));
    EXPECT_EQ("Can not find help Id for Dialog Item 932", box.text);
    EXPECT_EQ("Error", box.caption);
    EXPECT_TRUE(box.exclamation);
    EXPECT_EQ(nullptr, box.owner);

    // F1 on the same control while the box is open shows nothing more.
    HELPINFO info = HelpFor(page_.Page(), NoHelpEdit);
    page_.Call([&] { SendMessageA(page_.Page(), WM_HELP, 0, (LPARAM)&info); });
    Settle(100);
    EXPECT_EQ(1, CountMessageBoxes(page_.ThreadId()));
    DismissMessageBox(box);
    ASSERT_TRUE(page_.Wait());
    EXPECT_TRUE(Requests().empty());

    // Closed: the next request is reported again.
    page_.Start([&] { SendMessageA(page_.Page(), WM_HELP, 0, (LPARAM)&info); });
    ASSERT_TRUE(WaitMessageBox(page_.ThreadId(), &box));
    EXPECT_EQ("Can not find help Id for Dialog Item 932", box.text);
    DismissMessageBox(box);
    ASSERT_TRUE(page_.Wait());
}

TEST_F(LivePage, F1KeyOnTheFocusedControlShowsItsTopic)
{
    // A real key press: the window manager turns it into WM_HELP.
    page_.Call([&] {
        SetForegroundWindow(page_.Sheet());
        SetFocus(page_.Item(ReadSizeCombo));
    });
    Settle(100);
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    Settle(300);
    std::vector<HelpCall> requests = Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(14, requests[0].context);
}
