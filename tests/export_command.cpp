// The runner of the tool's tests: a command that cannot start or hangs is
// told apart from one that exits, and fails the test that ran it.
#include "command.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <tlhelp32.h>

static std::string SelfPath()
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof(self));
    return self;
}

// Processes of this prefix running the named program, this one left out.
static int OthersNamed(const std::string& name)
{
    HANDLE all = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Process32First(all, &entry); more; more = Process32Next(all, &entry))
        count += _stricmp(entry.szExeFile, name.c_str()) == 0 &&
                 entry.th32ProcessID != GetCurrentProcessId();
    CloseHandle(all);
    return count;
}

TEST(CommandRunner, HungCommandIsKilledWithWhatItStartedAndSaysWhatItPrinted)
{
    std::string self = SelfPath();
    std::string name = self.substr(self.find_last_of('\\') + 1);
    // cmd prints, then waits for a second copy of this program that sleeps.
    std::string command = "cmd /c \"echo partial line&\"" + self + "\" --sleep-for-a-minute\"";
    Outcome run;
    EXPECT_NONFATAL_FAILURE(run = RunCommand(command, 3000),
                            "hung and was killed with its processes: " + command);
    EXPECT_TRUE(run.Started);
    EXPECT_TRUE(run.Hung);
    EXPECT_EQ(Outcome::kNoExit, run.Exit);
    EXPECT_NE(std::string::npos, run.Out.find("partial line")) << run.Out;
    EXPECT_EQ(0, OthersNamed(name));
}

TEST(CommandRunner, CommandThatCannotStartHasTheErrorAndNoExitStatus)
{
    Outcome run;
    EXPECT_NONFATAL_FAILURE(run = RunCommand("no-such-program-here.exe"),
                            "never started (CreateProcess error 2: ");
    EXPECT_FALSE(run.Started);
    EXPECT_FALSE(run.Hung);
    EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, run.StartError);
    EXPECT_EQ(Outcome::kNoExit, run.Exit);

    Outcome quick = RunCommand("cmd /c exit 3");
    EXPECT_TRUE(quick.Started && !quick.Hung);
    EXPECT_EQ(3u, quick.Exit) << Describe(quick);
}
