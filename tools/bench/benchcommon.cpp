#include "benchcommon.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char NfsRootPath[] = "Software\\ZEVR\\CC\\1.0\\zevrnfs";

static char ScratchPath[64];
static HKEY ScratchUser;
static HKEY ScratchMachine;

static HKEY CreateKey(HKEY parent, const char* path, DWORD options)
{
    HKEY key = NULL;
    if (RegCreateKeyExA(parent, path, 0, NULL, options, KEY_ALL_ACCESS, NULL, &key, NULL) !=
        ERROR_SUCCESS) {
        fprintf(stderr, "bench: cannot create %s\n", path);
        exit(1);
    }
    return key;
}

static LONG DeleteTree(HKEY parent, const char* name)
{
    HKEY key;
    if (RegOpenKeyA(parent, name, &key) != ERROR_SUCCESS)
        return ERROR_FILE_NOT_FOUND;
    char child[256];
    while (RegEnumKeyA(key, 0, child, sizeof(child)) == ERROR_SUCCESS) {
        if (DeleteTree(key, child) != ERROR_SUCCESS)
            break;
    }
    RegCloseKey(key);
    return RegDeleteKeyA(parent, name);
}

static void CloseScratch()
{
    RegOverridePredefKey(HKEY_CURRENT_USER, NULL);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, NULL);
    if (ScratchUser != NULL)
        RegCloseKey(ScratchUser);
    if (ScratchMachine != NULL)
        RegCloseKey(ScratchMachine);
    ScratchUser = ScratchMachine = NULL;
    if (ScratchPath[0] != '\0')
        DeleteTree(HKEY_CURRENT_USER, ScratchPath);
}

void FreshScratch()
{
    CloseScratch();
    snprintf(ScratchPath, sizeof(ScratchPath), "ZevrBench\\%lu", GetCurrentProcessId());
    HKEY scratch = CreateKey(HKEY_CURRENT_USER, ScratchPath, 0);
    ScratchUser = CreateKey(scratch, "HKCU", 0);
    ScratchMachine = CreateKey(scratch, "HKLM", 0);
    RegCloseKey(scratch);
    RegOverridePredefKey(HKEY_CURRENT_USER, ScratchUser);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, ScratchMachine);
}

void DropScratch()
{
    CloseScratch();
    RegDeleteKeyA(HKEY_CURRENT_USER, "ZevrBench");
    ScratchPath[0] = '\0';
}

static void SetNumber(HKEY key, const char* name, DWORD value)
{
    RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE*)&value, sizeof(value));
}

static void SetText(HKEY key, const char* name, const char* text)
{
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, (DWORD)strlen(text) + 1);
}

// One level's two mount-defaults keys below parent. level 0 is the top,
// 1 a server, 2 a resource; i picks the mix, so that some values equal what
// they inherit and others override it.
static void WriteLevel(HKEY parent, int level, int i)
{
    DWORD options = level == 0 ? 0 : REG_OPTION_VOLATILE;
    HKEY user = CreateKey(parent, "UserMountDefaults", options);
    HKEY machine = CreateKey(parent, "MachineMountDefaults", options);
    switch (level) {
    case 0:
        SetNumber(user, "ReadOnly", 0);  // built-in: goes
        SetNumber(user, "UMask", 18);    // built-in: goes
        SetNumber(user, "CaseForce", 1); // own
        SetNumber(user, "Retries", 5);   // built-in: goes
        SetNumber(user, "AttrCacheRegMax", 120);
        SetText(user, "ShortNameMappingCharacter", "!");
        SetNumber(machine, "RSize", 32768); // built-in: goes
        SetNumber(machine, "WSize", 8192);
        SetNumber(machine, "Timeout", 0); // built-in: goes
        SetText(machine, "Transport", "tcp");
        break;
    case 1:
        SetNumber(user, "CaseForce", 1);                 // as the top: goes
        SetNumber(user, "UMask", i % 2 ? 63 : 18);       // 18 goes
        SetNumber(user, "ReadOnly", i % 3 == 0 ? 1 : 0); // 0 goes
        SetText(user, "ShortNameMappingCharacter", "~"); // top says "!": stays
        SetNumber(machine, "WSize", 8192);               // as the top: goes
        SetNumber(machine, "RSize", 16384);
        SetText(machine, "Transport", i % 2 ? "udp" : "tcp"); // "tcp" goes
        break;
    default:
        SetNumber(user, "ReadOnly", i % 4 == 0 ? 1 : 0);
        SetNumber(user, "CaseForce", i % 2);
        SetNumber(user, "AttrCacheRegMax", 120);
        SetNumber(machine, "WSize", i % 3 ? 8192 : 4096);
        SetNumber(machine, "RSize", 16384);
        SetText(machine, "Transport", i % 5 ? "udp" : "tcp");
        break;
    }
    RegCloseKey(user);
    RegCloseKey(machine);
}

void BuildTree(int servers, int resources)
{
    HKEY root = CreateKey(HKEY_CURRENT_USER, NfsRootPath, 0);
    WriteLevel(root, 0, 0);
    HKEY serversKey = CreateKey(root, "Servers", REG_OPTION_VOLATILE);
    for (int s = 0; s < servers; ++s) {
        char name[32];
        snprintf(name, sizeof(name), "server%04d", s);
        HKEY server = CreateKey(serversKey, name, REG_OPTION_VOLATILE);
        WriteLevel(server, 1, s);
        HKEY resourcesKey = CreateKey(server, "Resources", REG_OPTION_VOLATILE);
        for (int r = 0; r < resources; ++r) {
            snprintf(name, sizeof(name), "export%02d", r);
            HKEY resource = CreateKey(resourcesKey, name, REG_OPTION_VOLATILE);
            WriteLevel(resource, 2, s + r);
            RegCloseKey(resource);
        }
        RegCloseKey(resourcesKey);
        RegCloseKey(server);
    }
    RegCloseKey(serversKey);
    RegCloseKey(root);
}

static void CountLevel(HKEY key, bool defaultsKey, long* keys, long* values)
{
    DWORD subKeys = 0, valueCount = 0;
    RegQueryInfoKeyA(key, NULL, NULL, NULL, &subKeys, NULL, NULL, &valueCount, NULL, NULL, NULL,
                     NULL);
    if (defaultsKey) {
        ++*keys;
        *values += valueCount;
    }
    for (DWORD i = 0; i < subKeys; ++i) {
        char name[256];
        if (RegEnumKeyA(key, i, name, sizeof(name)) != ERROR_SUCCESS)
            break;
        HKEY child;
        if (RegOpenKeyA(key, name, &child) != ERROR_SUCCESS)
            continue;
        bool isDefaults =
            strcmp(name, "UserMountDefaults") == 0 || strcmp(name, "MachineMountDefaults") == 0;
        CountLevel(child, isDefaults, keys, values);
        RegCloseKey(child);
    }
}

void CountTree(long* keys, long* values)
{
    *keys = *values = 0;
    HKEY root;
    if (RegOpenKeyA(HKEY_CURRENT_USER, NfsRootPath, &root) != ERROR_SUCCESS)
        return;
    CountLevel(root, false, keys, values);
    RegCloseKey(root);
}

static long EnumerateKey(HKEY key)
{
    long calls = 0;
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[256];
        DWORD nameSize = sizeof(name), dataSize = sizeof(data), type = 0;
        ++calls;
        LONG rc = RegEnumValueA(key, i, name, &nameSize, NULL, &type, data, &dataSize);
        if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA)
            break;
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        ++calls;
        if (RegEnumKeyA(key, i, name, sizeof(name)) != ERROR_SUCCESS)
            break;
        HKEY child;
        ++calls;
        if (RegOpenKeyA(key, name, &child) != ERROR_SUCCESS)
            continue;
        calls += EnumerateKey(child) + 1;
        RegCloseKey(child);
    }
    return calls;
}

long BareEnumeration()
{
    HKEY root;
    if (RegOpenKeyA(HKEY_CURRENT_USER, NfsRootPath, &root) != ERROR_SUCCESS)
        return 1;
    long calls = EnumerateKey(root) + 2;
    RegCloseKey(root);
    return calls;
}

double NowMs()
{
    static LARGE_INTEGER frequency;
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

static double ReadNumber(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    char text[128];
    DWORD read = 0;
    if (!ReadFile(file, text, sizeof(text) - 1, &read, NULL))
        read = 0;
    CloseHandle(file);
    text[read] = '\0';
    return strtod(text, NULL);
}

int CurrentLinuxThread()
{
    // The first number of a thread's stat file is its Linux thread id.
    return (int)ReadNumber("Z:\\proc\\thread-self\\stat");
}

enum { MaxServers = 4, StatPathSize = 64 };
static char ServerStatPaths[MaxServers][StatPathSize];
static int ServerCount = -1;

int CpuServerCount()
{
    if (ServerCount >= 0)
        return ServerCount;
    ServerCount = 0;
    char list[256];
    DWORD length = GetEnvironmentVariableA("ZEVR_BENCH_SERVERS", list, sizeof(list));
    if (length == 0 || length >= sizeof(list))
        return 0;
    for (char* token = strtok(list, " "); token != NULL && ServerCount < MaxServers;
         token = strtok(NULL, " "))
        snprintf(ServerStatPaths[ServerCount++], StatPathSize, "Z:\\proc\\%d\\schedstat",
                 atoi(token));
    return ServerCount;
}

double CpuMs(int linuxThread)
{
    if (linuxThread <= 0)
        return 0;
    // schedstat: nanoseconds on a processor, first.
    char path[StatPathSize];
    snprintf(path, sizeof(path), "Z:\\proc\\self\\task\\%d\\schedstat", linuxThread);
    double ns = ReadNumber(path);
    for (int i = 0; i < CpuServerCount(); ++i)
        ns += ReadNumber(ServerStatPaths[i]);
    return ns / 1e6;
}
