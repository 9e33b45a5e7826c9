// Running a program of the build as an administrator's script would: its
// exit status and what it printed, with standard output and error kept apart.
#pragma once

#include <windows.h>

#include <string>

struct Outcome {
    DWORD Exit = 99;
    std::string Out;
    std::string Err;
};

// The folder of the running test program, where the build puts every program.
std::string BinFolder();
std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& text);
// A new empty file in the temporary folder, named with the prefix.
std::string TempFile(const char* prefix);
Outcome RunCommand(const std::string& commandLine);
