// Measures zevrcfg beside the registry tool administrators would otherwise
// script, reg.exe, on the same trees, as whole processes started the same
// way: export against "reg export", import into an empty registry against
// "reg import" of the same settings as a registry editor file, and one
// top-level set against "reg query /s" of the tree (what any change has to
// read at least). The two alternate, round by round; the medians of the
// wall times, their ratio, and zevrcfg's own registry calls (from a run of
// its own, not timed).
//
//   cli_bench [--rounds N] [--tool PATH] [NxM ...]   (default: 300x10 10000x0)
//
// N servers with M resources each, three values at every level, none equal
// to what it inherits. Everything lives below HKEY_CURRENT_USER\ZevrCliBench,
// which is deleted afterwards; zevrcfg reaches it with --registry.
#include <windows.h>

#include <shlwapi.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "benchcommon.h"

static const char Area[] = "ZevrCliBench";
static const char NfsPath[] = "Software\\ZEVR\\CC\\1.0\\zevrnfs";

static HKEY Create(HKEY parent, const std::string& path)
{
    HKEY key = NULL;
    RegCreateKeyExA(parent, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
    return key;
}

static void SetNumber(HKEY key, const char* name, DWORD value)
{
    RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE*)&value, 4);
}

static void SetLevel(HKEY level, DWORD size, const char* transport)
{
    HKEY key = Create(level, "MachineMountDefaults");
    SetNumber(key, "RSize", size);
    SetNumber(key, "WSize", size * 2);
    RegSetValueExA(key, "Transport", 0, REG_SZ, (const BYTE*)transport,
                   (DWORD)strlen(transport) + 1);
    RegCloseKey(key);
}

// The tree below HKCU\ZevrCliBench\<area>\HKCU.
static void BuildTree(const std::string& area, int servers, int resources)
{
    HKEY hive = Create(HKEY_CURRENT_USER, std::string(Area) + "\\" + area + "\\HKCU");
    Create(HKEY_CURRENT_USER, std::string(Area) + "\\" + area + "\\HKLM");
    HKEY tree = Create(hive, std::string(NfsPath) + "\\Servers");
    for (int s = 0; s < servers; ++s) {
        char name[32];
        snprintf(name, sizeof(name), "server%05d", s);
        HKEY server = Create(tree, name);
        static const DWORD sizes[] = {1024, 2048, 4096};
        SetLevel(server, sizes[s % 3], "udp");
        for (int r = 0; r < resources; ++r) {
            snprintf(name, sizeof(name), "Resources\\export%02d", r);
            HKEY resource = Create(server, name);
            SetLevel(resource, 512, "tcp");
            RegCloseKey(resource);
        }
        RegCloseKey(server);
    }
    RegCloseKey(tree);
    RegCloseKey(hive);
}

static void DropArea(const std::string& area)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, Area, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        SHDeleteKeyA(key, area.c_str());
        RegCloseKey(key);
    }
}

// Runs a command line to its end, its output to files; the wall time in ms,
// and the error output in *err when asked.
static double Run(const std::string& commandLine, const char* environment = NULL,
                  std::string* err = NULL)
{
    char temp[MAX_PATH], outPath[MAX_PATH], errPath[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    GetTempFileNameA(temp, "zbo", 0, outPath);
    GetTempFileNameA(temp, "zbe", 0, errPath);
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), NULL, TRUE};
    HANDLE out =
        CreateFileA(outPath, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, NULL);
    HANDLE errFile =
        CreateFileA(errPath, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, NULL);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = errFile;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    std::string command = commandLine;
    if (environment != NULL)
        SetEnvironmentVariableA(environment, "1");
    double start = NowMs();
    double took = -1;
    if (CreateProcessA(NULL, &command[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        took = NowMs() - start;
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    if (environment != NULL)
        SetEnvironmentVariableA(environment, NULL);
    CloseHandle(out);
    CloseHandle(errFile);
    if (err != NULL) {
        err->clear();
        FILE* in = fopen(errPath, "rb");
        char buffer[4096];
        size_t read;
        while (in != NULL && (read = fread(buffer, 1, sizeof(buffer), in)) > 0)
            err->append(buffer, read);
        if (in != NULL)
            fclose(in);
    }
    DeleteFileA(outPath);
    DeleteFileA(errPath);
    return took;
}

static double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times.empty() ? 0 : times[times.size() / 2];
}

static std::string ReadText(const std::string& path)
{
    std::string text;
    FILE* in = fopen(path.c_str(), "rb");
    char buffer[65536];
    size_t read;
    while (in != NULL && (read = fread(buffer, 1, sizeof(buffer), in)) > 0)
        text.append(buffer, read);
    if (in != NULL)
        fclose(in);
    return text;
}

static void WriteText(const std::string& path, const std::string& text)
{
    FILE* out = fopen(path.c_str(), "wb");
    if (out != NULL) {
        fwrite(text.data(), 1, text.size(), out);
        fclose(out);
    }
}

// zevrcfg's registry calls for one command, from a run of its own.
static std::string CountCalls(const std::string& commandLine)
{
    std::string err;
    Run(commandLine, "ZEVRCFG_REGISTRY_CALLS", &err);
    size_t at = err.find("registry calls: ");
    if (at == std::string::npos)
        return "-";
    return err.substr(at + 16, err.find_first_of("\r\n", at) - at - 16);
}

static void Measure(const std::string& tool, int servers, int resources, int rounds)
{
    char size[32];
    snprintf(size, sizeof(size), "%dx%d", servers, resources);
    std::string source = std::string("src") + size;
    std::string registry = std::string(Area) + "\\" + source;
    DropArea(source);
    BuildTree(source, servers, resources);
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string text = std::string(temp) + "zevrbench.txt";
    std::string regFile = std::string(temp) + "zevrbench.reg";
    std::string regOut = std::string(temp) + "zevrbench-out.reg";
    std::string zevrcfg = "\"" + tool + "\" --registry ";
    std::string nfsKey = "HKEY_CURRENT_USER\\" + registry + "\\HKCU\\" + NfsPath;

    // The files to import, untimed: the settings file, and the same settings
    // as a registry editor file aimed at the empty area reg imports into.
    Run(zevrcfg + registry + " export \"" + text + "\"");
    Run(zevrcfg + registry + " export --reg \"" + regFile + "\"");
    std::string reg = ReadText(regFile);
    std::string from = "[HKEY_CURRENT_USER\\", to = from + Area + "\\rdst\\HKCU\\";
    for (size_t at = reg.find(from); at != std::string::npos; at = reg.find(from, at + 1))
        reg.replace(at, from.size(), to);
    WriteText(regFile, reg);

    struct Pair {
        const char* name;
        const char* peer;
        std::vector<double> tool, reg;
        std::string calls;
    } pairs[3] = {{"export", "reg export", {}, {}, ""},
                  {"import into an empty registry", "reg import", {}, {}, ""},
                  {"set RSize (top level)", "reg query /s", {}, {}, ""}};
    pairs[0].calls = CountCalls(zevrcfg + registry + " export \"" + text + ".count\"");
    DropArea("dst");
    pairs[1].calls = CountCalls(zevrcfg + Area + "\\dst import \"" + text + "\"");
    pairs[2].calls = CountCalls(zevrcfg + registry + " set RSize 8192");
    for (int round = 0; round < rounds; ++round) {
        pairs[0].tool.push_back(Run(zevrcfg + registry + " export \"" + text + ".out\""));
        pairs[0].reg.push_back(Run("reg.exe export \"" + nfsKey + "\" \"" + regOut + "\" /y"));
        DropArea("dst");
        pairs[1].tool.push_back(Run(zevrcfg + Area + "\\dst import \"" + text + "\""));
        DropArea("rdst");
        pairs[1].reg.push_back(Run("reg.exe import \"" + regFile + "\""));
        // A real change every round.
        pairs[2].tool.push_back(
            Run(zevrcfg + registry + " set RSize " + (round % 2 ? "8192" : "4096")));
        pairs[2].reg.push_back(Run("reg.exe query \"" + nfsKey + "\" /s"));
    }
    printf("\n%s servers x resources, 3 values a level; medians of %d rounds\n", size, rounds);
    printf("  %-30s %10s  %-13s %10s  %6s  %s\n", "zevrcfg", "ms", "against", "ms", "ratio",
           "zevrcfg registry calls");
    for (const Pair& pair : pairs) {
        double mine = Median(pair.tool), theirs = Median(pair.reg);
        printf("  %-30s %10.0f  %-13s %10.0f  %5.2fx  %s\n", pair.name, mine, pair.peer, theirs,
               theirs > 0 ? mine / theirs : 0.0, pair.calls.c_str());
    }
    fflush(stdout);
    for (const char* area : {"dst", "rdst"})
        DropArea(area);
    DropArea(source);
    for (const std::string& file : {text, text + ".out", text + ".count", regFile, regOut})
        DeleteFileA(file.c_str());
}

int main(int argc, char** argv)
{
    int rounds = 5;
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof(self));
    std::string tool = self;
    tool = tool.substr(0, tool.find_last_of('\\') + 1) + "zevrcfg.exe";
    std::vector<std::pair<int, int>> sizes;
    for (int i = 1; i < argc; ++i) {
        int servers = 0, resources = 0;
        if (strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
            rounds = atoi(argv[++i]);
        else if (strcmp(argv[i], "--tool") == 0 && i + 1 < argc)
            tool = argv[++i];
        else if (sscanf(argv[i], "%dx%d", &servers, &resources) == 2)
            sizes.push_back({servers, resources});
        else {
            fprintf(stderr, "usage: cli_bench [--rounds N] [--tool PATH] [NxM ...]\n");
            return 2;
        }
    }
    if (sizes.empty())
        sizes = {{300, 10}, {10000, 0}};
    printf("zevrcfg: %s\n", tool.c_str());
    for (const auto& size : sizes)
        Measure(tool, size.first, size.second, rounds < 1 ? 1 : rounds);
    RegDeleteKeyA(HKEY_CURRENT_USER, Area);
    return 0;
}
