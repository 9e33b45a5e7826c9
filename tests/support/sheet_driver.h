// Opens a property sheet on a thread of its own and drives it as a user
// would: pages, controls, the sheet's buttons and its message boxes.
//
//   SheetDriver sheet;
//   ASSERT_TRUE(sheet.Open(NFSClientProperty, "Quellmar NFS Client Configuration"));
//   sheet.SelectPageId(111);
//   sheet.ComboType(1057, "300");
//   sheet.PressOk();
//   ASSERT_TRUE(sheet.WaitClosed());
//   EXPECT_EQ("TRUE", sheet.ResultText());
#ifndef ZEVR_TEST_SHEET_DRIVER_H
#define ZEVR_TEST_SHEET_DRIVER_H

#include "ui.h"
#include "zevrntps.h"

#include <memory>
#include <utility>

class SheetDriver {
  public:
    ~SheetDriver();

    // Calls entry with argv[0] = parentText on the sheet thread and waits
    // for the sheet titled caption.
    bool Open(ZevrEntryPoint entry, const char* caption, const char* parentText = "0",
              DWORD timeoutMs = 10000);
    // Runs body (which shows a sheet) on the sheet thread instead.
    bool OpenWith(std::function<void()> body, const char* caption, DWORD timeoutMs = 10000);

    HWND Sheet() const
    {
        return sheet_;
    }
    DWORD ThreadId() const
    {
        return thread_ ? thread_->Id() : 0;
    }
    HWND Page() const; // the current page
    int PageCount() const;
    std::string PageTitle(int index) const;
    int CurrentPageIndex() const;
    void SelectPage(int index);
    void SelectPageId(int templateId);

    // Controls of the current page.
    HWND Item(int id) const;
    HWND FrameItem(int id) const;           // a control of the sheet frame
    void Click(int id);                     // BM_CLICK, as a mouse click
    UINT Checked(int id) const;             // BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE
    void SetCheck(int id, UINT state);      // no notification
    void SetText(int id, const char* text); // an edit field, with EN_CHANGE
    std::string Text(int id) const;
    bool Enabled(int id) const;
    bool Visible(int id) const;
    void ComboSelect(int id, int index);      // with CBN_SELCHANGE
    void ComboType(int id, const char* text); // typed into the edit field
    int ComboSelection(int id) const;
    int ComboCount(int id) const;
    std::string ComboItem(int id, int index) const;
    void ListSelect(int id, int index); // with LBN_SELCHANGE
    int ListSelection(int id) const;
    std::vector<std::string> ListItems(int id) const;
    void Command(int id, int code); // a WM_COMMAND from control id to the page

    // The sheet's buttons. Presses wait until the sheet has handled them;
    // the Post variants return at once, for presses that may open a box.
    void PressOk();
    void PressApply();
    void PressCancel();
    void PostOk();
    void PostApply();
    void PressDefaults(); // the frame's "Def&aults" button (id 1118)
    void PostDefaults();
    bool ApplyEnabled() const;

    // Message boxes of the sheet thread.
    bool WaitMessageBox(MessageBoxInfo* info, DWORD timeoutMs = 3000);
    int OpenMessageBoxes() const;

    // The keyboard, as the user types on the sheet's thread. Keys are real
    // key presses (with Ctrl held when asked), so that the window manager
    // translates them and GetKeyState sees Ctrl; characters are posted as
    // WM_CHAR to the focused window. Both return once the sheet has handled
    // them and what they posted in turn.
    void Key(WORD virtualKey, bool control = false);
    void Type(const char* characters);
    // Waits until the sheet's thread has handled what is queued for it now.
    void Sync();
    // Runs body on the sheet's thread (focus, foreground and the like).
    void OnSheetThread(std::function<void()> body);
    HWND Focus() const; // the sheet thread's focused window
    // The selection of an edit window as {start, end}.
    static std::pair<int, int> Selection(HWND edit);

    // Waits for the entry point to return; false on time-out.
    bool WaitClosed(DWORD timeoutMs = 10000);
    BOOL Returned() const
    {
        return returned_;
    }
    std::string ResultText() const
    {
        return resultText_;
    }

  private:
    void Wake();
    void Hook();
    HWND sheet_ = NULL;
    HHOOK callHook_ = NULL;
    HHOOK getHook_ = NULL;
    std::unique_ptr<UiThread> thread_;
    BOOL returned_ = FALSE;
    std::string resultText_;
    char parent_[64] = "";
};

#endif
