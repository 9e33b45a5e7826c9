// Odd arguments to every export, as a setup script may pass them: no
// argument array, no argv[0], no place for the result, an argv[0] of 10,000
// characters, a parent that is not a window, a count of 0. No crash, TRUE
// returned, and the result text the sheet's outcome gives.
#include "iat.h"
#include "sandbox.h"
#include "zevrntps.h"

#include <commctrl.h>
#include <string>

static INT_PTR FakeSheetResult;
static HWND FakeSheetParent;
static int FakeSheetCalls;
static INT_PTR WINAPI FakePropertySheet(LPCPROPSHEETHEADERA header)
{
    FakeSheetParent = header->hwndParent;
    ++FakeSheetCalls;
    return FakeSheetResult;
}

static const char* const Exports[] = {"NFSClientProperty", "PrintSharingProperty", "NISProperty",
                                      "NISInstall", "NISRemove"};

class BadArguments : public SandboxTest {
  protected:
    void SetUp() override
    {
        library_ = LoadLibraryA("ZEVRNTPS.dll");
        ASSERT_NE(nullptr, library_);
    }
    void TearDown() override
    {
        if (previous_ != NULL)
            ReplaceImport(library_, "comctl32.dll", "PropertySheetA", previous_);
        FreeLibrary(library_);
    }
    void FakeSheet()
    {
        previous_ =
            ReplaceImport(library_, "comctl32.dll", "PropertySheetA", (void*)&FakePropertySheet);
        ASSERT_NE(nullptr, previous_);
    }
    ZevrEntryPoint Entry(const char* name)
    {
        return (ZevrEntryPoint)(void (*)())GetProcAddress(library_, name);
    }
    static bool IsSheet(const char* name)
    {
        return strcmp(name, "NISInstall") != 0 && strcmp(name, "NISRemove") != 0;
    }
    HMODULE library_ = NULL;
    void* previous_ = NULL;
};

TEST_F(BadArguments, EveryExportSurvivesOddArgumentsAndSaysWhatTheSheetGave)
{
    FakeSheet();
    std::string digits(10000, '1');
    std::string letters(10000, 'z');
    char* noParent[2] = {NULL, NULL};
    char* manyDigits[2] = {&digits[0], NULL};
    char* manyLetters[2] = {&letters[0], NULL};
    char hex[] = "1A2B";
    char* good[2] = {hex, NULL};
    const struct {
        const char* what;
        DWORD argc;
        char** argv;
        HWND parent;
    } calls[] = {
        {"no argument array", 0, NULL, NULL},
        {"no argument array, count 1", 1, NULL, NULL},
        {"no argv[0]", 1, noParent, NULL},
        {"10,000 digits", 1, manyDigits, (HWND)LongToHandle((LONG)0xFFFFFFFF)},
        {"10,000 letters", 1, manyLetters, NULL},
        {"count 0", 0, good, (HWND)0x1A2B},
    };
    for (const char* name : Exports) {
        for (const auto& call : calls) {
            for (INT_PTR sheetResult : {(INT_PTR)0, (INT_PTR)1}) {
                SCOPED_TRACE(std::string(name) + ", " + call.what);
                FakeSheetResult = sheetResult;
                FakeSheetCalls = 0;
                FakeSheetParent = (HWND)1;
                char* result = NULL;
                EXPECT_TRUE(Entry(name)(call.argc, call.argv, &result));
                ASSERT_NE(nullptr, result);
                bool sheet = IsSheet(name);
                EXPECT_STREQ(sheet && sheetResult == 0 ? "FALSE" : "TRUE", result);
                EXPECT_EQ(sheet ? 1 : 0, FakeSheetCalls);
                if (sheet) {
                    EXPECT_EQ(call.parent, FakeSheetParent);
                }
                // No place for the result: the same course, nothing handed back.
                EXPECT_TRUE(Entry(name)(call.argc, call.argv, NULL));
            }
        }
    }
}

// The real sheet with a parent that is not a window: Wine's PropertySheetA
// then returns 0 at once, which reads as "FALSE".
TEST_F(BadArguments, ParentThatIsNoWindowGivesTheSheetResult)
{
    char parent[] = "7FFF0";
    ASSERT_FALSE(IsWindow((HWND)0x7FFF0));
    char* argv[2] = {parent, NULL};
    for (const char* name : Exports) {
        SCOPED_TRACE(name);
        char* result = NULL;
        EXPECT_TRUE(Entry(name)(1, argv, &result));
        ASSERT_NE(nullptr, result);
        EXPECT_STREQ(IsSheet(name) ? "FALSE" : "TRUE", result);
    }
}
