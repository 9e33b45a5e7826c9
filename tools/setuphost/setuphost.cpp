// Plays network setup: loads ZEVRNTPS.dll, calls one of its procedures the
// way a setup script does and prints the result text.
//
//   setuphost [--registry KEY] <export> [parent-hex]
//
// --registry KEY redirects HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE of this
// process to HKEY_CURRENT_USER\KEY\HKCU and ...\HKLM, so that a run leaves
// the machine's settings alone; what the run stored there is printed after
// the call. Without parent-hex the host opens a window of its own and
// passes its handle.
#include "zevrntps.h"

#include <stdio.h>
#include <string.h>

#include "../standins/record.h"

static void DumpKey(HKEY key, const char* path, int depth)
{
    printf("%*s[%s]\n", depth * 2, "", path);
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[1024];
        DWORD nameSize = sizeof(name);
        DWORD dataSize = sizeof(data) - 2;
        DWORD type = 0;
        LONG rc = RegEnumValueA(key, i, name, &nameSize, NULL, &type, data, &dataSize);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS)
            continue;
        data[dataSize] = data[dataSize + 1] = 0;
        if (type == REG_DWORD && dataSize == 4)
            printf("%*s%s = %lu\n", depth * 2 + 2, "", name, *(DWORD*)data);
        else if (type == REG_SZ)
            printf("%*s%s = \"%s\"\n", depth * 2 + 2, "", name, (char*)data);
        else if (type == REG_MULTI_SZ) {
            printf("%*s%s = {", depth * 2 + 2, "", name);
            for (char* p = (char*)data; *p; p += strlen(p) + 1)
                printf(" \"%s\"", p);
            printf(" }\n");
        } else
            printf("%*s%s = (type %lu, %lu bytes)\n", depth * 2 + 2, "", name, type, dataSize);
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        if (RegEnumKeyA(key, i, name, sizeof(name)) != ERROR_SUCCESS)
            break;
        HKEY child;
        if (RegOpenKeyA(key, name, &child) == ERROR_SUCCESS) {
            char childPath[1024];
            snprintf(childPath, sizeof(childPath), "%s\\%s", path, name);
            DumpKey(child, childPath, depth + 1);
            RegCloseKey(child);
        }
    }
}

static void DumpSettings(HKEY hive, const char* hiveName, const char* path)
{
    HKEY key;
    if (RegOpenKeyA(hive, path, &key) != ERROR_SUCCESS)
        return;
    char full[512];
    snprintf(full, sizeof(full), "%s\\%s", hiveName, path);
    DumpKey(key, full, 0);
    RegCloseKey(key);
}

static bool RedirectRegistry(const char* scratch)
{
    char path[512];
    HKEY user, machine;
    snprintf(path, sizeof(path), "%s\\HKCU", scratch);
    if (RegCreateKeyA(HKEY_CURRENT_USER, path, &user) != ERROR_SUCCESS)
        return false;
    snprintf(path, sizeof(path), "%s\\HKLM", scratch);
    if (RegCreateKeyA(HKEY_CURRENT_USER, path, &machine) != ERROR_SUCCESS)
        return false;
    return RegOverridePredefKey(HKEY_CURRENT_USER, user) == ERROR_SUCCESS &&
           RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine) == ERROR_SUCCESS;
}

static int Usage()
{
    fprintf(stderr, "usage: setuphost [--registry KEY] <NFSClientProperty|NISProperty|NISInstall|"
                    "NISRemove|PrintSharingProperty> [parent-hex]\n");
    return 2;
}

int main(int argc, char** argv)
{
    const char* scratch = NULL;
    int arg = 1;
    if (arg + 1 < argc && strcmp(argv[arg], "--registry") == 0) {
        scratch = argv[arg + 1];
        arg += 2;
    }
    if (arg >= argc)
        return Usage();
    const char* exportName = argv[arg++];
    const char* parentText = arg < argc ? argv[arg] : NULL;

    if (scratch != NULL) {
        if (!RedirectRegistry(scratch)) {
            fprintf(stderr, "setuphost: cannot redirect the registry to HKCU\\%s\n", scratch);
            return 1;
        }
        printf("registry redirected to HKEY_CURRENT_USER\\%s\n", scratch);
    }

    HMODULE library = LoadLibraryA("ZEVRNTPS.dll");
    if (library == NULL) {
        fprintf(stderr, "setuphost: cannot load ZEVRNTPS.dll (error %lu)\n", GetLastError());
        return 1;
    }
    ZevrEntryPoint entry = (ZevrEntryPoint)(void (*)())GetProcAddress(library, exportName);
    if (entry == NULL) {
        fprintf(stderr, "setuphost: ZEVRNTPS.dll has no export %s\n", exportName);
        return 2;
    }

    char parentBuffer[32];
    HWND ownWindow = NULL;
    if (parentText == NULL) {
        ownWindow = CreateWindowExA(0, "STATIC", "Network setup", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    40, 40, 320, 120, NULL, NULL, GetModuleHandleA(NULL), NULL);
        snprintf(parentBuffer, sizeof(parentBuffer), "%lX",
                 (unsigned long)(DWORD)HandleToLong(ownWindow));
        parentText = parentBuffer;
    }

    char* args[2] = {(char*)parentText, NULL};
    char* result = NULL;
    fflush(stdout);
    BOOL returned = entry(1, args, &result);
    printf("%s returned %s; result text \"%s\"\n", exportName, returned ? "TRUE" : "FALSE",
           result != NULL ? result : "(none)");

    if (ownWindow != NULL)
        DestroyWindow(ownWindow);
    FreeLibrary(library);

    if (scratch != NULL) {
        char log[4096];
        DWORD size = sizeof(log) - 1;
        DWORD type = 0;
        HKEY key;
        if (RegOpenKeyA(HKEY_CURRENT_USER, STANDIN_LOG_KEY, &key) == ERROR_SUCCESS) {
            if (RegQueryValueExA(key, STANDIN_LOG_VALUE, NULL, &type, (BYTE*)log, &size) ==
                    ERROR_SUCCESS &&
                type == REG_SZ) {
                log[size] = '\0';
                printf("companion libraries: %s\n", log);
            }
            RegCloseKey(key);
        }
        DumpSettings(HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "Software\\ZEVR");
        DumpSettings(HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "SOFTWARE\\ZEVR");
        DumpSettings(HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE",
                     "System\\CurrentControlSet\\Services\\Zevrnfs");
        DumpSettings(HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE",
                     "SYSTEM\\CurrentControlSet\\Services\\Quellmar NFS Server");
    }
    fflush(stdout);
    return 0;
}
