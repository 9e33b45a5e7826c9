#include "regtree.h"

#include <stdio.h>

#include "cfgfile.h"
#include "settings.h"

// What HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE stand for outside a scratch
// run: NULL (the real hives) or the --registry keys.
static HKEY RedirectedUser;
static HKEY RedirectedMachine;
static HKEY ScratchRoot;
static char ScratchName[64];

const char* HiveName(HKEY hive)
{
    return hive == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

int RedirectRegistry(const char* key)
{
    std::string user = std::string(key) + "\\HKCU";
    std::string machine = std::string(key) + "\\HKLM";
    if (RegCreateKeyA(HKEY_CURRENT_USER, user.c_str(), &RedirectedUser) != ERROR_SUCCESS ||
        RegCreateKeyA(HKEY_CURRENT_USER, machine.c_str(), &RedirectedMachine) != ERROR_SUCCESS)
        return 0;
    return RegOverridePredefKey(HKEY_CURRENT_USER, RedirectedUser) == ERROR_SUCCESS &&
           RegOverridePredefKey(HKEY_LOCAL_MACHINE, RedirectedMachine) == ERROR_SUCCESS;
}

static void ReadKey(HKEY key, const std::string& name, RegTree* tree)
{
    std::map<std::string, StoredValue>& values = (*tree)[name];
    for (DWORD index = 0;; ++index) {
        char valueName[16384];
        DWORD nameSize = sizeof(valueName);
        DWORD type = 0;
        DWORD size = 0;
        LONG rc = RegEnumValueA(key, index, valueName, &nameSize, NULL, &type, NULL, &size);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS)
            continue;
        std::string data(size, '\0');
        nameSize = sizeof(valueName);
        if (RegEnumValueA(key, index, valueName, &nameSize, NULL, &type,
                          size ? (BYTE*)&data[0] : NULL, &size) != ERROR_SUCCESS)
            continue;
        data.resize(size);
        values[valueName] = StoredValue{type, data};
    }
    for (DWORD index = 0;; ++index) {
        char child[256];
        LONG rc = RegEnumKeyA(key, index, child, sizeof(child));
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS)
            continue;
        HKEY childKey;
        if (RegOpenKeyExA(key, child, 0, KEY_READ, &childKey) != ERROR_SUCCESS)
            continue;
        ReadKey(childKey, name + "\\" + child, tree);
        RegCloseKey(childKey);
    }
}

void ReadKeys(const std::vector<KeyName>& roots, RegTree* tree)
{
    for (const KeyName& root : roots) {
        HKEY key;
        if (RegOpenKeyExA(root.Hive, root.Path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        ReadKey(key, std::string(HiveName(root.Hive)) + "\\" + root.Path, tree);
        RegCloseKey(key);
    }
}

std::string DescribeStoredValue(const StoredValue& value)
{
    char text[64];
    if (value.Type == REG_DWORD && value.Data.size() == 4) {
        DWORD number;
        memcpy(&number, value.Data.data(), 4);
        snprintf(text, sizeof(text), "%lu", (unsigned long)number);
        return text;
    }
    if (value.Type == REG_SZ)
        return QuoteValue(std::string(value.Data.c_str()), 1);
    if (value.Type == REG_MULTI_SZ) {
        std::vector<std::string> entries;
        for (size_t at = 0; at < value.Data.size() && value.Data[at] != '\0';) {
            std::string entry(value.Data.c_str() + at);
            entries.push_back(entry);
            at += entry.size() + 1;
        }
        return "{" + EncodeList(entries) + "}";
    }
    snprintf(text, sizeof(text), "(type %lu, %lu bytes)", (unsigned long)value.Type,
             (unsigned long)value.Data.size());
    return text;
}

// A mask in octal, as it is typed and exported.
static std::string DescribeNamedValue(const std::string& name, const StoredValue& value)
{
    const SettingRow* row = FindNfsSetting(name.c_str());
    if (row != NULL && row->Kind == KindMask && value.Type == REG_DWORD && value.Data.size() == 4) {
        DWORD number;
        memcpy(&number, value.Data.data(), 4);
        char text[16];
        snprintf(text, sizeof(text), "0%lo", (unsigned long)number);
        return text;
    }
    return DescribeStoredValue(value);
}

std::string ShownKeyPath(const std::string& path)
{
    static const char machineSoftware[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\";
    size_t length = sizeof(machineSoftware) - 1;
    // A 32-bit program on 64-bit Windows writes HKEY_LOCAL_MACHINE\SOFTWARE
    // through the 32-bit view; the --registry keys below HKEY_CURRENT_USER
    // are the same in both views.
    BOOL wow64 = FALSE;
    if (RedirectedMachine != NULL || !IsWow64Process(GetCurrentProcess(), &wow64) || !wow64 ||
        path.size() < length || lstrcmpiA(path.substr(0, length).c_str(), machineSoftware) != 0)
        return path;
    return path.substr(0, length) + "WOW6432Node\\" + path.substr(length);
}

static bool SameValue(const StoredValue& a, const StoredValue& b)
{
    return a.Type == b.Type && a.Data == b.Data;
}

int PrintDifference(const RegTree& before, const RegTree& after, FILE* out)
{
    int lines = 0;
    for (const auto& key : after) {
        auto old = before.find(key.first);
        if (old == before.end()) {
            fprintf(out, "+ %s\n", ShownKeyPath(key.first).c_str());
            ++lines;
        }
        for (const auto& value : key.second) {
            const StoredValue* was = NULL;
            if (old != before.end()) {
                auto found = old->second.find(value.first);
                if (found != old->second.end())
                    was = &found->second;
            }
            if (was == NULL)
                fprintf(out, "+ %s: %s = %s\n", ShownKeyPath(key.first).c_str(),
                        value.first.c_str(), DescribeNamedValue(value.first, value.second).c_str());
            else if (!SameValue(*was, value.second))
                fprintf(out, "~ %s: %s = %s -> %s\n", ShownKeyPath(key.first).c_str(),
                        value.first.c_str(), DescribeNamedValue(value.first, *was).c_str(),
                        DescribeNamedValue(value.first, value.second).c_str());
            else
                continue;
            ++lines;
        }
    }
    for (const auto& key : before) {
        auto now = after.find(key.first);
        for (const auto& value : key.second) {
            if (now != after.end() && now->second.count(value.first))
                continue;
            fprintf(out, "- %s: %s = %s\n", ShownKeyPath(key.first).c_str(), value.first.c_str(),
                    DescribeNamedValue(value.first, value.second).c_str());
            ++lines;
        }
        if (now == after.end()) {
            fprintf(out, "- %s\n", ShownKeyPath(key.first).c_str());
            ++lines;
        }
    }
    return lines;
}

static HKEY CreateVolatile(HKEY parent, const std::string& path)
{
    HKEY key = NULL;
    if (RegCreateKeyExA(parent, path.c_str(), 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL,
                        &key, NULL) != ERROR_SUCCESS)
        return NULL;
    return key;
}

static LONG DeleteTree(HKEY parent, const char* name)
{
    HKEY key;
    LONG rc = RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key);
    if (rc != ERROR_SUCCESS)
        return rc;
    char child[256];
    while (RegEnumKeyA(key, 0, child, sizeof(child)) == ERROR_SUCCESS)
        if (DeleteTree(key, child) != ERROR_SUCCESS)
            break;
    RegCloseKey(key);
    return RegDeleteKeyA(parent, name);
}

// Makes the key at path below root, and each key on the way, volatile.
static int CreateVolatilePath(HKEY root, const std::string& path)
{
    size_t at = 0;
    while (at <= path.size()) {
        size_t end = path.find('\\', at);
        if (end == std::string::npos)
            end = path.size();
        HKEY key = CreateVolatile(root, path.substr(0, end));
        if (key == NULL)
            return 0;
        RegCloseKey(key);
        at = end + 1;
    }
    return 1;
}

int EnterScratch(const std::vector<KeyName>& roots, const std::vector<KeyName>& precreate)
{
    RegTree tree;
    ReadKeys(roots, &tree);
    snprintf(ScratchName, sizeof(ScratchName), "ZevrcfgScratch-%lu-%lu",
             (unsigned long)GetCurrentProcessId(), (unsigned long)GetTickCount());
    ScratchRoot = CreateVolatile(HKEY_CURRENT_USER, ScratchName);
    if (ScratchRoot == NULL)
        return 0;
    HKEY user = CreateVolatile(ScratchRoot, "HKCU");
    HKEY machine = CreateVolatile(ScratchRoot, "HKLM");
    int ok = user != NULL && machine != NULL;
    for (const auto& key : tree) {
        HKEY hive = key.first.compare(0, 18, "HKEY_LOCAL_MACHINE") == 0 ? machine : user;
        std::string path = key.first.substr(key.first.find('\\') + 1);
        if (!ok || !CreateVolatilePath(hive, path)) {
            ok = 0;
            break;
        }
        HKEY copy;
        if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_SET_VALUE, &copy) != ERROR_SUCCESS) {
            ok = 0;
            break;
        }
        for (const auto& value : key.second)
            if (RegSetValueExA(copy, value.first.c_str(), 0, value.second.Type,
                               (const BYTE*)value.second.Data.data(),
                               (DWORD)value.second.Data.size()) != ERROR_SUCCESS)
                ok = 0;
        RegCloseKey(copy);
    }
    for (const KeyName& key : precreate)
        if (ok && !CreateVolatilePath(key.Hive == HKEY_LOCAL_MACHINE ? machine : user, key.Path))
            ok = 0;
    ok = ok && RegOverridePredefKey(HKEY_CURRENT_USER, user) == ERROR_SUCCESS &&
         RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine) == ERROR_SUCCESS;
    if (user != NULL)
        RegCloseKey(user);
    if (machine != NULL)
        RegCloseKey(machine);
    if (!ok)
        LeaveScratch();
    return ok;
}

void LeaveScratch()
{
    RegOverridePredefKey(HKEY_CURRENT_USER, RedirectedUser);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, RedirectedMachine);
    if (ScratchRoot != NULL) {
        RegCloseKey(ScratchRoot);
        ScratchRoot = NULL;
        DeleteTree(HKEY_CURRENT_USER, ScratchName);
    }
}
