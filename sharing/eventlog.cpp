// The "Logging" page: the network event log, whether its messages are also
// saved to a file, and that file's name. The named file is created, empty,
// whenever the name leaves the field, so the log always has somewhere to go.
#include "sharing.h"
#include "binders.h"
#include "controls.h"
#include "help.h"
#include "pagebindings.h"
#include "registry.h"
#include "resource.h"
#include "settings.h"
#include "sheet.h"

#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

static HWND EventLogPageWindow;

enum {
    LogFileNameLimit = 255,
    LogFileNameSize = LogFileNameLimit + 1,
};

static const SettingRow* LogSetting(const char* valueName)
{
    return FindPageSetting(PageEventLog, valueName);
}

// A name that names no file keeps the one stored before.
static int MaySaveLogValue(const char* valueName)
{
    return lstrcmpA(valueName, "File") != 0 || EnsureLogFileExists();
}

static const ControlBinding EventLogRows[] = {
    {"Enable", ControlCheckBox, IDC_EVENT_LOG_ENABLE, 0},
    {"Save", ControlCheckBox, IDC_EVENT_LOG_SAVE, 0},
    {"File", ControlEditText, IDC_EVENT_LOG_FILE, 0},
};

static const PageBindings EventLog = {
    PageEventLog, EventLogRows, (int)(sizeof(EventLogRows) / sizeof(EventLogRows[0])),
    {NULL, NULL}, NULL,         MaySaveLogValue,
};

void AddEventLogPage()
{
    AddPropertyPage(IDD_EVENT_LOG, EventLogPageProc);
}

// A handled notification whose answer is "go on": the dialog result is set
// so that no value left from an earlier message is taken for a refusal.
static INT_PTR AcceptNotification(HWND window)
{
    SetWindowLongPtrA(window, DWLP_MSGRESULT, PSNRET_NOERROR);
    return TRUE;
}

INT_PTR CALLBACK EventLogPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        EventLogPageWindow = window;
        EditLimitText(window, IDC_EVENT_LOG_FILE, LogFileNameLimit);
        TransferEventLogPage(0);
        UpdateEventLogControls();
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_EVENT_LOG_ENABLE:
        case IDC_EVENT_LOG_SAVE:
            UpdateEventLogControls();
            return TRUE;
        case IDC_EVENT_LOG_FILE:
            if (HIWORD(wParam) == EN_KILLFOCUS)
                EnsureLogFileExists();
            return TRUE;
        }
        break;
    case WM_NOTIFY:
        switch (((NMHDR*)lParam)->code) {
        case PSN_APPLY:
            TransferEventLogPage(1);
            return AcceptNotification(window);
        case PSN_KILLACTIVE:
            // A name that cannot be created does not hold the user here.
            EnsureLogFileExists();
            return AcceptNotification(window);
        }
        return FALSE;
    }
    return ContextHelpHandler(window, message, wParam, lParam);
}

int TransferEventLogPage(int save)
{
    return TransferBindings(EventLogPageWindow, &EventLog, save);
}

void UpdateEventLogControls()
{
    HWND page = EventLogPageWindow;
    BOOL logging = ButtonGetCheck(page, IDC_EVENT_LOG_ENABLE) != BST_UNCHECKED;
    BOOL saving = logging && ButtonGetCheck(page, IDC_EVENT_LOG_SAVE) != BST_UNCHECKED;
    EnableControl(page, IDC_EVENT_LOG_SAVE, logging);
    EnableControl(page, IDC_EVENT_LOG_FILE, saving);
}

int EnsureLogFileExists()
{
    // The default shown in place of a name too long for the field names
    // no file the user asked for: none is created, and the name is kept.
    if (IsEditTextKept(EventLogPageWindow, IDC_EVENT_LOG_FILE, "File",
                       LogSetting("File")->DefaultText))
        return 1;
    HWND field = GetDlgItem(EventLogPageWindow, IDC_EVENT_LOG_FILE);
    // The whole name or nothing: a name cut short would create another file
    // than the one that is stored.
    if (GetWindowTextLengthA(field) > LogFileNameLimit)
        return 0;
    char name[LogFileNameSize] = "";
    GetWindowTextA(field, name, sizeof(name));
    // Anything of that name will do, a folder included.
    if (GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES)
        return 1;
    // Exclusive: a file that appears meanwhile is kept, never emptied.
    int file = _open(name, _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (file == -1)
        return errno == EEXIST ? 1 : 0;
    _close(file);
    return 1;
}
