// Running a program of the build as an administrator's script would: its
// exit status and what it printed, with standard output and error kept apart.
#pragma once

#include <windows.h>

#include <string>

// Exit holds the program's exit status only when it started and ended by
// itself; otherwise Started or Hung says why there is none, and the test
// that ran it has already been failed with the command and its output.
struct Outcome {
    DWORD Exit = kNoExit;
    std::string Out;
    std::string Err;
    std::string Command;
    bool Started = false;
    DWORD StartError = 0; // GetLastError of the failed start
    bool Hung = false;    // killed, with its process tree, after the time limit

    // No program returns it, so a check of Exit fails whenever there is none.
    static constexpr DWORD kNoExit = 0xFFFFFFFF;
};

// The folder of the running test program, where the build puts every program.
std::string BinFolder();
std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& text);
// A new empty file in the temporary folder, named with the prefix.
std::string TempFile(const char* prefix);
Outcome RunCommand(const std::string& commandLine);
// The same with a time limit of its own, for tests of the runner itself.
Outcome RunCommand(const std::string& commandLine, DWORD limitMs);
// What a failed run says about itself: the command, why it has no exit
// status, and what it printed.
std::string Describe(const Outcome& run);
