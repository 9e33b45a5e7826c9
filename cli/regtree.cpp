#include "regtree.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "registry.h"

static HKEY RedirectedUser;
static HKEY RedirectedMachine;
static DWORD ToolCalls;

const char* HiveName(HKEY hive)
{
    return hive == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

static HKEY HiveOfPath(const std::string& path)
{
    return path.compare(0, 18, "HKEY_LOCAL_MACHINE") == 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
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

DWORD GetToolRegistryCalls()
{
    return ToolCalls;
}

static void PrintCalls()
{
    fprintf(stderr, "zevrcfg: registry calls: %lu\n", (unsigned long)ToolCalls);
}

static std::string Reason(long code)
{
    char text[256] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                                  (DWORD)code, 0, text, sizeof(text), NULL);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' ||
                          text[length - 1] == '.' || text[length - 1] == ' '))
        text[--length] = '\0';
    char number[32];
    snprintf(number, sizeof(number), "error %ld", code);
    return length > 0 ? std::string(text) + " (" + number + ")" : std::string(number);
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

// The values and the children's names of an open key, in one pass sized
// by the key's own figures.
static LONG ReadKeyContents(HKEY key, std::vector<TreeValue>* values,
                            std::vector<std::string>* children)
{
    DWORD subKeys = 0, longestSubKey = 0, valueCount = 0, longestName = 0, longestData = 0;
    ++ToolCalls;
    LONG rc = RegQueryInfoKeyA(key, NULL, NULL, NULL, &subKeys, &longestSubKey, NULL, &valueCount,
                               &longestName, &longestData, NULL, NULL);
    if (rc != ERROR_SUCCESS)
        return rc;
    std::vector<char> name(longestName + 2);
    std::vector<BYTE> data(longestData + 2);
    for (DWORD index = 0; index < valueCount; ++index) {
        DWORD nameSize = (DWORD)name.size(), size = (DWORD)data.size(), type = 0;
        ++ToolCalls;
        rc = RegEnumValueA(key, index, name.data(), &nameSize, NULL, &type, data.data(), &size);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc == ERROR_MORE_DATA) {
            // Grown since the figures were taken: once more with room.
            name.resize(32768);
            data.resize(size > data.size() ? size : data.size() * 2);
            nameSize = (DWORD)name.size();
            size = (DWORD)data.size();
            ++ToolCalls;
            rc = RegEnumValueA(key, index, name.data(), &nameSize, NULL, &type, data.data(), &size);
        }
        if (rc != ERROR_SUCCESS)
            return rc;
        values->push_back(TreeValue{std::string(name.data(), nameSize), type,
                                    std::string((const char*)data.data(), size)});
    }
    char child[MAX_PATH];
    for (DWORD index = 0; index < subKeys; ++index) {
        DWORD size = sizeof(child);
        ++ToolCalls;
        rc = RegEnumKeyExA(key, index, child, &size, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS)
            return rc;
        children->push_back(std::string(child, size));
    }
    return ERROR_SUCCESS;
}

static void ReadBelow(HKEY key, const std::string& path, RegModel* model,
                      std::vector<std::string>* problems)
{
    std::vector<TreeValue> values;
    std::vector<std::string> children;
    LONG rc = ReadKeyContents(key, &values, &children);
    TreeKey& held = model->Keys[KeyId(path)];
    held.Path = path;
    held.Values = values;
    if (rc != ERROR_SUCCESS)
        problems->push_back("cannot read " + path + ": " + Reason(rc));
    for (const std::string& name : children) {
        std::string childPath = path + "\\" + name;
        HKEY child;
        ++ToolCalls;
        rc = RegOpenKeyExA(key, name.c_str(), 0, KEY_READ, &child);
        if (rc != ERROR_SUCCESS) {
            problems->push_back("cannot read " + childPath + ": " + Reason(rc));
            continue;
        }
        model->Keys[KeyId(path)].Children.push_back(KeyId(childPath));
        ReadBelow(child, childPath, model, problems);
        ++ToolCalls;
        RegCloseKey(child);
    }
}

void ReadTree(const std::vector<KeyName>& roots, RegModel* model,
              std::vector<std::string>* problems)
{
    // For benchmarks: what a command costs the registry, on request.
    if (getenv("ZEVRCFG_REGISTRY_CALLS") != NULL)
        atexit(PrintCalls);
    for (const KeyName& root : roots) {
        std::string path = HiveName(root.Hive);
        TreeKey* above = &model->Keys[KeyId(path)];
        if (above->Path.empty()) {
            above->Path = path;
            above->Outside = true;
        }
        HKEY key = root.Hive;
        bool opened = true;
        size_t at = 0;
        while (opened && at <= root.Path.size()) {
            size_t end = root.Path.find('\\', at);
            if (end == std::string::npos)
                end = root.Path.size();
            std::string name = root.Path.substr(at, end - at);
            at = end + 1;
            std::string next = path + "\\" + name;
            HKEY child;
            ++ToolCalls;
            opened = RegOpenKeyExA(key, name.c_str(), 0, KEY_READ, &child) == ERROR_SUCCESS;
            if (key != root.Hive) {
                ++ToolCalls;
                RegCloseKey(key);
            }
            if (!opened)
                break;
            key = child;
            TreeKey* held = FindKey(model, next);
            if (held == NULL) {
                above->Children.push_back(KeyId(next));
                held = &model->Keys[KeyId(next)];
                held->Path = next;
                held->Outside = true;
            }
            above = held;
            path = next;
        }
        if (!opened)
            continue;
        if (above->Outside) {
            above->Outside = false;
            ReadBelow(key, path, model, problems);
        }
        ++ToolCalls;
        RegCloseKey(key);
    }
}

// ---- the registry layer on the model ----------------------------------------

static RegModel* Working;

struct ModelHandle {
    std::string Id;
};

static TreeKey* KeyOf(HKEY key)
{
    if (key == NULL || Working == NULL)
        return NULL;
    auto found = Working->Keys.find(((ModelHandle*)key)->Id);
    return found == Working->Keys.end() ? NULL : &found->second;
}

static HKEY NewHandle(const std::string& path)
{
    return (HKEY) new ModelHandle{KeyId(path)};
}

static std::string FullPath(HKEY hive, const char* path)
{
    std::string full = HiveName(hive);
    if (path != NULL && *path != '\0')
        full += std::string("\\") + path;
    return full;
}

static LONG ModelOpenKey(HKEY hive, const char* path, HKEY* key)
{
    std::string full = FullPath(hive, path);
    TreeKey* found = FindKey(Working, full);
    // Keys above the reading were never read: the tool's rows live below it.
    if (found == NULL || found->Outside)
        return ERROR_FILE_NOT_FOUND;
    *key = NewHandle(full);
    return ERROR_SUCCESS;
}

static LONG ModelCreateKey(HKEY hive, const char* path, HKEY* key)
{
    std::string full = FullPath(hive, path);
    TreeKey* made = MakeKey(Working, full);
    if (made == NULL)
        return ERROR_ACCESS_DENIED;
    made->Outside = false;
    *key = NewHandle(full);
    return ERROR_SUCCESS;
}

static LONG ModelCloseKey(HKEY key)
{
    delete (ModelHandle*)key;
    return ERROR_SUCCESS;
}

static LONG ModelDeleteKey(HKEY hive, const char* path)
{
    std::string full = FullPath(hive, path);
    TreeKey* found = FindKey(Working, full);
    if (found == NULL)
        return ERROR_FILE_NOT_FOUND;
    if (!found->Children.empty())
        return ERROR_ACCESS_DENIED;
    RemoveKey(Working, full);
    return ERROR_SUCCESS;
}

static LONG ModelDeleteValue(HKEY key, const char* valueName)
{
    TreeKey* found = KeyOf(key);
    if (found == NULL)
        return ERROR_KEY_DELETED;
    return DropValue(found, valueName != NULL ? valueName : "") ? ERROR_SUCCESS
                                                                : ERROR_FILE_NOT_FOUND;
}

static LONG ModelEnumKey(HKEY key, DWORD index, char* name, DWORD nameSize)
{
    TreeKey* found = KeyOf(key);
    if (found == NULL)
        return ERROR_KEY_DELETED;
    if (index >= found->Children.size())
        return ERROR_NO_MORE_ITEMS;
    std::string child = LastName(Working->Keys[found->Children[index]].Path);
    if (child.size() + 1 > nameSize)
        return ERROR_MORE_DATA;
    memcpy(name, child.c_str(), child.size() + 1);
    return ERROR_SUCCESS;
}

// Data as the registry hands it out: a text stored without its terminator
// gets one when there is room.
static void CopyData(const TreeValue& value, BYTE* data, DWORD capacity)
{
    memcpy(data, value.Data.data(), value.Data.size());
    bool text = value.Type == REG_SZ || value.Type == REG_EXPAND_SZ || value.Type == REG_MULTI_SZ;
    if (text && !value.Data.empty() && value.Data.size() < capacity && value.Data.back() != '\0')
        data[value.Data.size()] = 0;
}

static LONG HandOut(const TreeValue& value, DWORD* type, BYTE* data, DWORD* size)
{
    if (type != NULL)
        *type = value.Type;
    if (size == NULL)
        return data == NULL ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
    if (data != NULL && value.Data.size() > *size) {
        *size = (DWORD)value.Data.size();
        return ERROR_MORE_DATA;
    }
    if (data != NULL)
        CopyData(value, data, *size);
    *size = (DWORD)value.Data.size();
    return ERROR_SUCCESS;
}

static LONG ModelEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type,
                           BYTE* data, DWORD* dataSize)
{
    TreeKey* found = KeyOf(key);
    if (found == NULL)
        return ERROR_KEY_DELETED;
    if (index >= found->Values.size())
        return ERROR_NO_MORE_ITEMS;
    const TreeValue& value = found->Values[index];
    if (value.Name.size() >= *nameSize)
        return ERROR_MORE_DATA;
    LONG rc = HandOut(value, type, data, dataSize);
    if (rc != ERROR_SUCCESS)
        return rc;
    memcpy(name, value.Name.c_str(), value.Name.size() + 1);
    *nameSize = (DWORD)value.Name.size();
    return ERROR_SUCCESS;
}

static LONG ModelQueryValue(HKEY key, const char* valueName, DWORD* type, BYTE* data, DWORD* size)
{
    TreeKey* found = KeyOf(key);
    if (found == NULL)
        return ERROR_KEY_DELETED;
    const TreeValue* value = FindValue(found, valueName != NULL ? valueName : "");
    if (value == NULL)
        return ERROR_FILE_NOT_FOUND;
    return HandOut(*value, type, data, size);
}

static LONG ModelSetValue(HKEY key, const char* valueName, DWORD type, const BYTE* data, DWORD size)
{
    TreeKey* found = KeyOf(key);
    if (found == NULL)
        return ERROR_KEY_DELETED;
    PutValue(found, TreeValue{valueName != NULL ? valueName : "", type,
                              std::string((const char*)data, size)});
    return ERROR_SUCCESS;
}

static const RegistryBackend ModelBackend = {ModelOpenKey,   ModelCreateKey,   ModelCloseKey,
                                             ModelDeleteKey, ModelDeleteValue, ModelEnumKey,
                                             ModelEnumValue, ModelQueryValue,  ModelSetValue};

void WorkOnModel(RegModel* model)
{
    Working = model;
    DirectRegistryCalls(model != NULL ? &ModelBackend : NULL);
}

// ---- the registry operations of the apply step ------------------------------

static long OpsOpen(void*, const std::string& path, int rights, void** handle)
{
    REGSAM access = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS;
    if (rights & RightSetValue)
        access |= KEY_SET_VALUE;
    if (rights & RightMakeKey)
        access |= KEY_CREATE_SUB_KEY;
    if (rights & RightDelete)
        access |= DELETE;
    HKEY key = HiveOfPath(path);
    size_t at = path.find('\\');
    // Level by level: a whole path may pass what the ANSI calls take.
    while (true) {
        size_t end = at == std::string::npos ? std::string::npos : path.find('\\', at + 1);
        bool last = end == std::string::npos;
        std::string name = at == std::string::npos ? "" : path.substr(at + 1, end - at - 1);
        HKEY next;
        ++ToolCalls;
        LONG rc = RegOpenKeyExA(key, name.empty() ? NULL : name.c_str(), 0,
                                last ? access : KEY_ENUMERATE_SUB_KEYS, &next);
        if (key != HiveOfPath(path)) {
            ++ToolCalls;
            RegCloseKey(key);
        }
        if (rc != ERROR_SUCCESS)
            return rc;
        key = next;
        if (last)
            break;
        at = end;
    }
    *handle = key;
    return ERROR_SUCCESS;
}

static long OpsMakeChild(void*, void* parent, const std::string& name, void** handle)
{
    HKEY key;
    ++ToolCalls;
    LONG rc =
        RegCreateKeyExA((HKEY)parent, name.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
    if (rc == ERROR_SUCCESS)
        *handle = key;
    return rc;
}

static long OpsRead(void*, void* handle, std::vector<TreeValue>* values,
                    std::vector<std::string>* children)
{
    return ReadKeyContents((HKEY)handle, values, children);
}

static long OpsSetValue(void*, void* handle, const TreeValue& value)
{
    ++ToolCalls;
    return RegSetValueExA((HKEY)handle, value.Name.c_str(), 0, value.Type,
                          (const BYTE*)value.Data.data(), (DWORD)value.Data.size());
}

static long OpsDropValue(void*, void* handle, const std::string& name)
{
    ++ToolCalls;
    return RegDeleteValueA((HKEY)handle, name.c_str());
}

static long OpsDropChild(void*, void* parent, const std::string& name)
{
    ++ToolCalls;
    return RegDeleteKeyA((HKEY)parent, name.c_str());
}

static void OpsClose(void*, void* handle)
{
    ++ToolCalls;
    RegCloseKey((HKEY)handle);
}

TreeOps RegistryOps()
{
    TreeOps ops = {NULL,         OpsOpen,      OpsMakeChild, OpsRead, OpsSetValue,
                   OpsDropValue, OpsDropChild, OpsClose,     Reason};
    return ops;
}
