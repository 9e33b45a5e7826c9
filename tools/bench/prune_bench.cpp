// Measures the pruning pass of the NFS client settings store on trees of
// N servers with M resources each, every level holding both mount-defaults
// keys with a mix of values equal to what they inherit and values of their
// own. Prints, per size, the wall time (median and best of three runs), the
// registry calls the pass made and the values and keys it deleted.
//
//   prune_bench [NxM ...]        (default: 10x10 100x10 300x10)
//
// HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE of the process are redirected to
// HKEY_CURRENT_USER\ZevrBench\<process id>, which is deleted afterwards: the
// real settings are never touched.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "registry.h"
#include "store.h"

// Every key of the benchmark is volatile: the registry server never writes
// it to disk, so no save of a large tree lands inside a measurement.
static HKEY CreateKey(HKEY parent, const char* path)
{
    HKEY key = NULL;
    if (RegCreateKeyExA(parent, path, 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL, &key,
                        NULL) != ERROR_SUCCESS) {
        fprintf(stderr, "prune_bench: cannot create %s\n", path);
        exit(1);
    }
    return key;
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
    HKEY user = CreateKey(parent, "UserMountDefaults");
    HKEY machine = CreateKey(parent, "MachineMountDefaults");
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

static void BuildTree(int servers, int resources)
{
    HKEY root = CreateKey(HKEY_CURRENT_USER, "Software\\ZEVR\\CC\\1.0\\zevrnfs");
    WriteLevel(root, 0, 0);
    HKEY serversKey = CreateKey(root, "Servers");
    for (int s = 0; s < servers; ++s) {
        char name[32];
        snprintf(name, sizeof(name), "server%04d", s);
        HKEY server = CreateKey(serversKey, name);
        WriteLevel(server, 1, s);
        HKEY resourcesKey = CreateKey(server, "Resources");
        for (int r = 0; r < resources; ++r) {
            snprintf(name, sizeof(name), "export%02d", r);
            HKEY resource = CreateKey(resourcesKey, name);
            WriteLevel(resource, 2, s + r);
            RegCloseKey(resource);
        }
        RegCloseKey(resourcesKey);
        RegCloseKey(server);
    }
    RegCloseKey(serversKey);
    RegCloseKey(root);
}

// Mount-defaults keys and their values in a tree, counted without the
// registry layer so that the counting adds no calls to the figures.
static void CountTree(HKEY key, bool defaultsKey, long* keys, long* values)
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
        CountTree(child, isDefaults, keys, values);
        RegCloseKey(child);
    }
}

static void Count(long* keys, long* values)
{
    *keys = *values = 0;
    HKEY root;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Software\\ZEVR\\CC\\1.0\\zevrnfs", &root) != ERROR_SUCCESS)
        return;
    CountTree(root, false, keys, values);
    RegCloseKey(root);
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

struct Run {
    double ms;
    DWORD calls;
    long keys, values, valuesDeleted, keysDeleted;
};

// Builds a fresh tree and prunes it once.
static Run RunOnce(HKEY scratch, int servers, int resources)
{
    HKEY user = CreateKey(scratch, "HKCU");
    HKEY machine = CreateKey(scratch, "HKLM");
    RegOverridePredefKey(HKEY_CURRENT_USER, user);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine);

    BuildTree(servers, resources);
    Run run;
    Count(&run.keys, &run.values);

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    DWORD callsBefore = GetRegistryCallCount();
    QueryPerformanceCounter(&start);
    PruneInheritedValues();
    QueryPerformanceCounter(&end);
    run.calls = GetRegistryCallCount() - callsBefore;
    run.ms = (double)(end.QuadPart - start.QuadPart) * 1000.0 / (double)frequency.QuadPart;

    long keysAfter, valuesAfter;
    Count(&keysAfter, &valuesAfter);
    run.valuesDeleted = run.values - valuesAfter;
    run.keysDeleted = run.keys - keysAfter;

    RegOverridePredefKey(HKEY_CURRENT_USER, NULL);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, NULL);
    RegCloseKey(user);
    RegCloseKey(machine);
    DeleteTree(scratch, "HKCU");
    DeleteTree(scratch, "HKLM");
    return run;
}

// Wall time varies with what else the machine and the registry server do:
// each size runs three times on a fresh tree and the median is shown.
static void RunSize(HKEY scratch, int servers, int resources)
{
    enum { Runs = 3 };
    Run runs[Runs];
    for (int i = 0; i < Runs; ++i)
        runs[i] = RunOnce(scratch, servers, resources);
    for (int i = 1; i < Runs; ++i) {
        for (int j = i; j > 0 && runs[j].ms < runs[j - 1].ms; --j) {
            Run swap = runs[j];
            runs[j] = runs[j - 1];
            runs[j - 1] = swap;
        }
    }
    const Run& run = runs[Runs / 2];
    printf("%7d %9d %6ld %7ld %9.1f %9.1f %9lu %9.1f %8.1f %8ld %12ld\n", servers, resources,
           run.keys, run.values, run.ms, runs[0].ms, (unsigned long)run.calls,
           (double)run.calls / (double)run.keys, run.ms * 1000.0 / (double)run.keys,
           run.valuesDeleted, run.keysDeleted);
    fflush(stdout);
}

int main(int argc, char** argv)
{
    static const char* const defaults[] = {"10x10", "100x10", "300x10"};
    const char* const* sizes = defaults;
    int count = 3;
    if (argc > 1) {
        sizes = argv + 1;
        count = argc - 1;
    }

    char scratchPath[64];
    snprintf(scratchPath, sizeof(scratchPath), "ZevrBench\\%lu", GetCurrentProcessId());
    HKEY scratch = CreateKey(HKEY_CURRENT_USER, scratchPath);

    printf("servers resources   keys  values   wall ms   best ms reg calls calls/key   us/key "
           " deleted keys-deleted\n");
    for (int i = 0; i < count; ++i) {
        int servers = 0, resources = 0;
        if (sscanf(sizes[i], "%dx%d", &servers, &resources) != 2 || servers < 0 || resources < 0) {
            fprintf(stderr, "prune_bench: size %s is not NxM\n", sizes[i]);
            continue;
        }
        RunSize(scratch, servers, resources);
    }
    RegCloseKey(scratch);
    DeleteTree(HKEY_CURRENT_USER, scratchPath);
    RegDeleteKeyA(HKEY_CURRENT_USER, "ZevrBench");
    return 0;
}
