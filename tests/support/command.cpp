#include "command.h"

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

// Runs a command line with standard output and error in files of their own
// (a pipe would stay open while any Wine helper that inherits it lives).
Outcome RunCommand(const std::string& commandLine)
{
    Outcome run;
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
    if (CreateProcessA(NULL, &command[0], NULL, NULL, TRUE, 0, NULL, BinFolder().c_str(), &startup,
                       &process)) {
        if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 99);
        GetExitCodeProcess(process.hProcess, &run.Exit);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    for (int i = 0; i < 2; ++i) {
        CloseHandle(files[i]);
        (i == 0 ? run.Out : run.Err) = ReadFileText(paths[i]);
        DeleteFileA(paths[i].c_str());
    }
    return run;
}
