#include "sheetstate.h"
#include "controls.h"

#include <commctrl.h>

static NfsSheetState* SheetState;

// Each page's window is kept in a 32-bit word: in the 32-bit product that
// is the whole handle (64-bit windows keep their handles to 32 significant
// bits as well, and sign-extend them back).
#if defined(__i386__)
static_assert(sizeof(HWND) == sizeof(NfsSheetState::GeneralPage), "a window word holds a handle");
#endif

NfsSheetState* CreateSheetState()
{
    NfsSheetState* state = (NfsSheetState*)AllocMemory(sizeof(NfsSheetState));
    if (state == NULL)
        return NULL;
    ZeroMemory(state, sizeof(*state));
    SheetState = state;
    return state;
}

void FreeSheetState()
{
    if (SheetState != NULL) {
        FreeMemory(SheetState);
        // Pages still get messages while the frame is torn down; they must
        // find no record rather than a freed one.
        SheetState = NULL;
    }
}

NfsSheetState* GetSheetState(HWND window)
{
    (void)window;
    return SheetState;
}

static HWND AsWindow(DWORD word)
{
    return (HWND)LongToHandle((LONG)word);
}

static DWORD AsWord(HWND window)
{
    return (DWORD)HandleToLong(window);
}

// One getter and one setter per field, each safe without a record.
#define SHEET_FLAG_ACCESSORS(Field)                                                                \
    DWORD Get##Field(HWND window)                                                                  \
    {                                                                                              \
        NfsSheetState* state = GetSheetState(window);                                              \
        return state != NULL ? state->Field : 0;                                                   \
    }                                                                                              \
    void Set##Field(HWND window, DWORD value)                                                      \
    {                                                                                              \
        NfsSheetState* state = GetSheetState(window);                                              \
        if (state != NULL)                                                                         \
            state->Field = value;                                                                  \
    }

#define SHEET_WINDOW_ACCESSORS(Field)                                                              \
    HWND Get##Field(HWND window)                                                                   \
    {                                                                                              \
        NfsSheetState* state = GetSheetState(window);                                              \
        return state != NULL ? AsWindow(state->Field) : NULL;                                      \
    }                                                                                              \
    void Set##Field(HWND window, HWND page)                                                        \
    {                                                                                              \
        NfsSheetState* state = GetSheetState(window);                                              \
        if (state != NULL)                                                                         \
            state->Field = AsWord(page);                                                           \
    }

SHEET_FLAG_ACCESSORS(AdvancedResetPending)
SHEET_WINDOW_ACCESSORS(AdvancedPage)
SHEET_FLAG_ACCESSORS(CachingResetPending)
SHEET_WINDOW_ACCESSORS(CachingPage)
SHEET_FLAG_ACCESSORS(FilesResetPending)
SHEET_WINDOW_ACCESSORS(FilesPage)
SHEET_FLAG_ACCESSORS(GeneralResetPending)
SHEET_WINDOW_ACCESSORS(GeneralPage)
SHEET_FLAG_ACCESSORS(SecurityResetPending)
SHEET_WINDOW_ACCESSORS(SecurityPage)
SHEET_FLAG_ACCESSORS(TuningResetPending)
SHEET_WINDOW_ACCESSORS(TuningPage)

char* GetSheetText(HWND window)
{
    NfsSheetState* state = GetSheetState(window);
    return state != NULL ? state->SheetText : NULL;
}

void SetApplied(HWND window, DWORD applied)
{
    NfsSheetState* state = GetSheetState(window);
    if (state != NULL)
        state->Applied = applied;
}

LRESULT MarkPageChanged(HWND page)
{
    return SendMessageA(GetParent(page), PSM_CHANGED, (WPARAM)page, 0);
}
