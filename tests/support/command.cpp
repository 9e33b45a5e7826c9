#include "command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

std::string BinFolder()
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof(self));
    std::string dir(self);
    return dir.substr(0, dir.find_last_of('\\'));
}

std::string ReadFileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFileText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string TempFile(const char* prefix)
{
    char dir[MAX_PATH], path[MAX_PATH];
    GetTempPathA(sizeof(dir), dir);
    GetTempFileNameA(dir, prefix, 0, path);
    return path;
}

// How long a command may take: the slowest run of the tool under a busy
// machine takes a few seconds, and CTest stops the whole test at 60.
static const DWORD kCommandLimitMs = 30000;

Outcome RunCommand(const std::string& commandLine)
{
    return RunCommand(commandLine, kCommandLimitMs);
}

// Runs a command line with standard output and error in files of their own
// (a pipe would stay open while any Wine helper that inherits it lives).
// The child starts suspended inside a job, so that when it hangs whatever
// it started is killed with it.
Outcome RunCommand(const std::string& commandLine, DWORD limitMs)
{
    Outcome run;
    run.Command = commandLine;
    std::string paths[2] = {TempFile("zco"), TempFile("zce")};
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), NULL, TRUE};
    HANDLE files[2];
    for (int i = 0; i < 2; ++i)
        files[i] = CreateFileA(paths[i].c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, NULL);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = files[0];
    startup.hStdError = files[1];
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    std::string command = commandLine;
    HANDLE job = CreateJobObjectA(NULL, NULL);
    if (CreateProcessA(NULL, &command[0], NULL, NULL, TRUE, CREATE_SUSPENDED, NULL,
                       BinFolder().c_str(), &startup, &process)) {
        run.Started = true;
        bool inJob = job && AssignProcessToJobObject(job, process.hProcess);
        ResumeThread(process.hThread);
        if (WaitForSingleObject(process.hProcess, limitMs) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process.hProcess, &run.Exit);
        } else {
            run.Hung = true;
            if (!inJob || !TerminateJobObject(job, Outcome::kNoExit))
                TerminateProcess(process.hProcess, Outcome::kNoExit);
            WaitForSingleObject(process.hProcess, 5000);
        }
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    } else {
        run.StartError = GetLastError();
    }
    if (job)
        CloseHandle(job);
    for (int i = 0; i < 2; ++i) {
        CloseHandle(files[i]);
        (i == 0 ? run.Out : run.Err) = ReadFileText(paths[i]);
        DeleteFileA(paths[i].c_str());
    }
    if (!run.Started || run.Hung) {
        ADD_FAILURE() << Describe(run);
        fflush(stdout); // seen at once, even if CTest ends the test soon after
    }
    return run;
}

std::string Describe(const Outcome& run)
{
    std::string text;
    if (!run.Started) {
        char message[256] = "";
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                       run.StartError, 0, message, sizeof(message), NULL);
        return "never started (CreateProcess error " + std::to_string(run.StartError) + ": " +
               message + "): " + run.Command;
    }
    if (run.Hung)
        text = "hung and was killed with its processes: " + run.Command + "\n";
    else
        text = "exit " + std::to_string(run.Exit) + ": " + run.Command + "\n";
    return text + "standard output" + (run.Hung ? " so far" : "") + ":\n" + run.Out +
           "\nstandard error" + (run.Hung ? " so far" : "") + ":\n" + run.Err;
}
