#include "model.h"

#include <string.h>

#include "registry.h"

ModelRegistry Model;

struct ModelKey {
    std::string Path;
};

static int Handles;
static DWORD Calls;

static const char UserRoot[] = "Software\\ZEVR\\CC\\1.0\\";
static const char MachineRoot[] = "SOFTWARE\\ZEVR\\CC\\1.0\\";

static std::string Lower(const std::string& text)
{
    std::string lower = text;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    return lower;
}

static bool SameName(const std::string& a, const char* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? (char)(a[i] - 'A' + 'a') : a[i];
        char y = b[i] >= 'A' && b[i] <= 'Z' ? (char)(b[i] - 'A' + 'a') : b[i];
        if (x != y)
            return false;
    }
    return i == a.size() && b[i] == '\0';
}

int OpenModelHandles()
{
    return Handles;
}

// The layer's path rules: the root, the sub-path, at most 271 characters,
// one trailing backslash dropped.
static bool BuildPath(HKEY hive, const char* subPath, std::string* path, bool anyLength = false)
{
    std::string full = hive == HKEY_CURRENT_USER    ? UserRoot
                       : hive == HKEY_LOCAL_MACHINE ? MachineRoot
                                                    : "";
    full += subPath != NULL ? subPath : "";
    if (full.size() > SettingsPathSize - 1 && !anyLength)
        return false;
    if (!full.empty() && full.back() == '\\')
        full.pop_back();
    *path = (hive == HKEY_LOCAL_MACHINE ? "M:" : "U:") + Lower(full);
    return true;
}

static ModelKeyData* Find(const std::string& path)
{
    auto it = Model.Keys.find(path);
    return it == Model.Keys.end() ? NULL : &it->second;
}

static ModelKeyData* Data(HKEY key)
{
    return key != NULL ? Find(key->Path) : NULL;
}

static HKEY NewHandle(const std::string& path)
{
    ++Handles;
    return new ModelKey{path};
}

static LONG Create(const std::string& path, const std::string& original, HKEY* key)
{
    // Parents first: path is "H:" and components split at backslashes.
    size_t at = 2;
    std::string parent;
    while (true) {
        size_t next = path.find('\\', at);
        std::string here = path.substr(0, next);
        ModelKeyData* data = Find(here);
        if (data == NULL) {
            ModelKeyData fresh;
            fresh.Name = original.substr(at, (next == std::string::npos ? path.size() : next) - at);
            Model.Keys[here] = fresh;
            if (!parent.empty())
                Find(parent)->Children.push_back(Model.Keys[here].Name);
        } else if (data->DenyOpen) {
            return ERROR_ACCESS_DENIED;
        }
        if (next == std::string::npos)
            break;
        parent = here;
        at = next + 1;
    }
    *key = NewHandle(path);
    return ERROR_SUCCESS;
}

const char* BuildSettingsPath(HKEY hive, const char* subPath)
{
    static std::string path;
    BuildPath(hive, subPath, &path);
    return path.c_str();
}

LONG OpenSettingsKey(HKEY hive, const char* subPath, HKEY* key)
{
    std::string path;
    if (!BuildPath(hive, subPath, &path))
        return ERROR_FILENAME_EXCED_RANGE;
    ++Calls;
    ModelKeyData* data = Find(path);
    if (data == NULL)
        return ERROR_FILE_NOT_FOUND;
    if (data->DenyOpen)
        return ERROR_ACCESS_DENIED;
    *key = NewHandle(path);
    return ERROR_SUCCESS;
}

LONG CreateSettingsKey(HKEY hive, const char* subPath, HKEY* key)
{
    std::string path;
    if (!BuildPath(hive, subPath, &path))
        return ERROR_FILENAME_EXCED_RANGE;
    ++Calls;
    std::string original = path.substr(0, 2) +
                           (hive == HKEY_LOCAL_MACHINE ? MachineRoot : UserRoot) +
                           (subPath != NULL ? subPath : "");
    if (original.back() == '\\')
        original.pop_back();
    return Create(path, original, key);
}

LONG CreateKeyAbsolute(HKEY root, const char* fullPath, HKEY* key)
{
    ++Calls;
    std::string original = (root == HKEY_LOCAL_MACHINE ? "M:" : "U:") + std::string(fullPath);
    std::string path = original.substr(0, 2) + Lower(fullPath);
    return Create(path, original, key);
}

LONG CloseSettingsKey(HKEY key)
{
    ++Calls;
    --Handles;
    delete key;
    return ERROR_SUCCESS;
}

LONG DeleteSettingsKey(HKEY hive, const char* subPath)
{
    std::string path;
    if (!BuildPath(hive, subPath, &path))
        return ERROR_FILENAME_EXCED_RANGE;
    ++Calls;
    ModelKeyData* data = Find(path);
    if (data == NULL)
        return ERROR_FILE_NOT_FOUND;
    if (!data->Children.empty() || data->DenyOpen)
        return ERROR_ACCESS_DENIED;
    size_t cut = path.rfind('\\');
    if (cut != std::string::npos) {
        std::vector<std::string>& siblings = Find(path.substr(0, cut))->Children;
        for (size_t i = 0; i < siblings.size(); ++i)
            if (SameName(siblings[i], data->Name.c_str())) {
                siblings.erase(siblings.begin() + (long)i);
                break;
            }
    }
    Model.Keys.erase(path);
    return ERROR_SUCCESS;
}

static ModelValue* FindValue(ModelKeyData* data, const char* name)
{
    const char* wanted = name != NULL ? name : "";
    for (ModelValue& value : data->Values)
        if (SameName(value.Name, wanted))
            return &value;
    return NULL;
}

LONG DeleteSettingsValue(HKEY key, const char* valueName)
{
    ++Calls;
    ModelKeyData* data = Data(key);
    if (data == NULL)
        return ERROR_KEY_DELETED;
    if (data->DenyValueDelete)
        return ERROR_ACCESS_DENIED;
    ModelValue* value = FindValue(data, valueName);
    if (value == NULL)
        return ERROR_FILE_NOT_FOUND;
    data->Values.erase(data->Values.begin() + (value - data->Values.data()));
    return ERROR_SUCCESS;
}

LONG EnumSubKey(HKEY key, DWORD index, char* name, DWORD nameSize)
{
    ++Calls;
    ModelKeyData* data = Data(key);
    if (data == NULL)
        return ERROR_KEY_DELETED;
    if (index >= data->Children.size())
        return ERROR_NO_MORE_ITEMS;
    const std::string& child = data->Children[index];
    if (child.size() + 1 > nameSize)
        return ERROR_MORE_DATA;
    memcpy(name, child.c_str(), child.size() + 1);
    return ERROR_SUCCESS;
}

// Copies data as the registry does: a text stored without its terminator
// gets one when there is room.
static void CopyData(const ModelValue& value, BYTE* data, DWORD capacity)
{
    memcpy(data, value.Data.data(), value.Data.size());
    bool text = value.Type == REG_SZ || value.Type == REG_EXPAND_SZ || value.Type == REG_MULTI_SZ;
    if (text && !value.Data.empty() && value.Data.size() < capacity && value.Data.back() != '\0')
        data[value.Data.size()] = 0;
}

static LONG Enum(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data,
                 DWORD* dataSize)
{
    ++Calls;
    ModelKeyData* model = Data(key);
    if (model == NULL)
        return ERROR_KEY_DELETED;
    if (index >= model->Values.size())
        return ERROR_NO_MORE_ITEMS;
    const ModelValue& value = model->Values[index];
    if (type != NULL)
        *type = value.Type;
    if (data != NULL && value.Data.size() > *dataSize) {
        *dataSize = (DWORD)value.Data.size();
        return ERROR_MORE_DATA;
    }
    if (value.Name.size() >= *nameSize)
        return ERROR_MORE_DATA;
    memcpy(name, value.Name.c_str(), value.Name.size() + 1);
    *nameSize = (DWORD)value.Name.size();
    if (data != NULL) {
        CopyData(value, data, *dataSize);
        *dataSize = (DWORD)value.Data.size();
    }
    return ERROR_SUCCESS;
}

LONG EnumValueName(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type)
{
    return Enum(key, index, name, nameSize, type, NULL, NULL);
}

LONG EnumValueData(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data,
                   DWORD* dataSize)
{
    return Enum(key, index, name, nameSize, type, data, dataSize);
}

LONG QueryRawValue(HKEY key, const char* valueName, DWORD* type, BYTE* data, DWORD* size)
{
    ++Calls;
    ModelKeyData* model = Data(key);
    if (model == NULL)
        return ERROR_KEY_DELETED;
    ModelValue* value = FindValue(model, valueName);
    if (value == NULL)
        return ERROR_FILE_NOT_FOUND;
    if (type != NULL)
        *type = value->Type;
    if (data != NULL && value->Data.size() > *size) {
        *size = (DWORD)value->Data.size();
        return ERROR_MORE_DATA;
    }
    if (data != NULL)
        CopyData(*value, data, *size);
    *size = (DWORD)value->Data.size();
    return ERROR_SUCCESS;
}

LONG SetRawValue(HKEY key, const char* valueName, DWORD type, const BYTE* data, DWORD size)
{
    ++Calls;
    ModelKeyData* model = Data(key);
    if (model == NULL)
        return ERROR_KEY_DELETED;
    std::string bytes((const char*)data, size);
    ModelValue* value = FindValue(model, valueName);
    if (value != NULL) {
        value->Type = type;
        value->Data = bytes;
    } else {
        model->Values.push_back({valueName != NULL ? valueName : "", type, bytes});
    }
    return ERROR_SUCCESS;
}

DWORD GetRegistryCallCount()
{
    return Calls;
}

ModelKeyData* FindModelKey(const std::string& subPath, bool create)
{
    // Keys whose paths the layer refuses can still exist: they are made
    // here one name at a time, as a registry editor could.
    std::string path;
    BuildPath(HKEY_CURRENT_USER, subPath.c_str(), &path, true);
    if (create && Find(path) == NULL) {
        std::string original = std::string("U:") + UserRoot + subPath;
        if (original.back() == '\\')
            original.pop_back();
        HKEY key;
        if (Create(path, original, &key) == ERROR_SUCCESS)
            CloseSettingsKey(key);
    }
    return Find(path);
}
