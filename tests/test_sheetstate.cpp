// The page-state accessors of the NFS client sheet, with and without the
// record: without one every getter reads 0 and every setter does nothing.
#include "sheetstate.h"

#include <gtest/gtest.h>

TEST(SheetState, AccessorsWithoutARecordReadZeroAndIgnoreWrites)
{
    FreeSheetState();
    ASSERT_EQ(nullptr, GetSheetState(NULL));
    HWND window = (HWND)0x1234;
    DWORD (*flags[])
    (HWND) = {GetAdvancedResetPending, GetCachingResetPending,  GetFilesResetPending,
              GetGeneralResetPending,  GetSecurityResetPending, GetTuningResetPending};
    void (*setFlags[])(HWND, DWORD) = {SetAdvancedResetPending, SetCachingResetPending,
                                       SetFilesResetPending,    SetGeneralResetPending,
                                       SetSecurityResetPending, SetTuningResetPending};
    HWND (*pages[])
    (HWND) = {GetAdvancedPage, GetCachingPage,  GetFilesPage,
              GetGeneralPage,  GetSecurityPage, GetTuningPage};
    void (*setPages[])(HWND, HWND) = {SetAdvancedPage, SetCachingPage,  SetFilesPage,
                                      SetGeneralPage,  SetSecurityPage, SetTuningPage};
    for (int i = 0; i < 6; ++i) {
        setFlags[i](window, 1);
        setPages[i](window, window);
        EXPECT_EQ(0u, flags[i](window)) << i;
        EXPECT_EQ(nullptr, pages[i](window)) << i;
    }
    SetApplied(window, 1);
    EXPECT_EQ(nullptr, GetSheetText(window));
    FreeSheetState(); // twice in a row is harmless

    // With a record the same calls are kept, and freeing it forgets them.
    NfsSheetState* state = CreateSheetState();
    ASSERT_NE(nullptr, state);
    for (int i = 0; i < 6; ++i) {
        setFlags[i](NULL, 1);
        setPages[i](NULL, window);
        EXPECT_EQ(1u, flags[i](window)) << i;
        EXPECT_EQ(window, pages[i](window)) << i;
    }
    SetApplied(NULL, 1);
    EXPECT_EQ(1u, state->Applied);
    EXPECT_EQ(state->SheetText, GetSheetText(NULL));
    FreeSheetState();
    EXPECT_EQ(nullptr, GetSheetState(NULL));
    EXPECT_EQ(0u, GetTuningResetPending(window));
}
