#include <gtest/gtest.h>

#include <windows.h>

int main(int argc, char** argv)
{
    // The test runner names a file here to learn that the program reached
    // its first line: one that ends without it never started.
    char mark[MAX_PATH];
    if (GetEnvironmentVariableA("ZEVR_STARTED_MARK", mark, sizeof(mark)) - 1 < sizeof(mark) - 1)
        CloseHandle(CreateFileA(mark, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    // A stand-in for a command that hangs, for the tests of the runner.
    if (argc == 2 && strcmp(argv[1], "--sleep-for-a-minute") == 0) {
        Sleep(60000);
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
