#include "regdiff.h"

#include "../../tools/standins/record.h"

#include <string.h>

#include "settings.h"

static void ReadKey(HKEY key, const std::string& path, RegistrySnapshot* snapshot)
{
    auto& values = snapshot->keys[path];
    DWORD maxName = 0, maxData = 0;
    RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, NULL, &maxName, &maxData, NULL, NULL);
    std::vector<char> name(maxName + 2);
    std::vector<BYTE> data(maxData + 1);
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = (DWORD)name.size();
        DWORD dataSize = (DWORD)data.size();
        DWORD type = 0;
        if (RegEnumValueA(key, index, name.data(), &nameSize, NULL, &type, data.data(),
                          &dataSize) != ERROR_SUCCESS)
            break;
        StoredValue& value = values[std::string(name.data(), nameSize)];
        value.type = type;
        value.data.assign((const char*)data.data(), dataSize);
    }
    char child[512];
    for (DWORD index = 0; RegEnumKeyA(key, index, child, sizeof(child)) == ERROR_SUCCESS; ++index) {
        if (path.find('\\') == std::string::npos && strcmp(child, STANDIN_LOG_KEY) == 0)
            continue;
        HKEY sub;
        if (RegOpenKeyExA(key, child, 0, KEY_READ, &sub) != ERROR_SUCCESS) {
            snapshot->keys[path + "\\" + child]; // unreadable: present, no values
            continue;
        }
        ReadKey(sub, path + "\\" + child, snapshot);
        RegCloseKey(sub);
    }
}

RegistrySnapshot TakeRegistrySnapshot()
{
    RegistrySnapshot snapshot;
    ReadKey(HKEY_CURRENT_USER, "HKCU", &snapshot);
    ReadKey(HKEY_LOCAL_MACHINE, "HKLM", &snapshot);
    return snapshot;
}

std::vector<RegistryChange> DiffRegistry(const RegistrySnapshot& before,
                                         const RegistrySnapshot& after)
{
    std::vector<RegistryChange> changes;
    for (const auto& key : before.keys) {
        auto found = after.keys.find(key.first);
        if (found == after.keys.end()) {
            changes.push_back({RegistryChange::KeyRemoved, key.first, ""});
            for (const auto& value : key.second)
                changes.push_back({RegistryChange::ValueRemoved, key.first, value.first});
            continue;
        }
        for (const auto& value : key.second) {
            auto now = found->second.find(value.first);
            if (now == found->second.end())
                changes.push_back({RegistryChange::ValueRemoved, key.first, value.first});
            else if (!(now->second == value.second))
                changes.push_back({RegistryChange::ValueChanged, key.first, value.first});
        }
    }
    for (const auto& key : after.keys) {
        auto found = before.keys.find(key.first);
        if (found == before.keys.end())
            changes.push_back({RegistryChange::KeyAdded, key.first, ""});
        for (const auto& value : key.second)
            if (found == before.keys.end() || found->second.count(value.first) == 0)
                changes.push_back({RegistryChange::ValueAdded, key.first, value.first});
    }
    return changes;
}

static bool SamePath(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

static bool HasPrefix(const std::string& path, const std::string& prefix)
{
    return path.size() >= prefix.size() && SamePath(path.substr(0, prefix.size()), prefix);
}

// Where a row of the library's settings table lives, as the snapshots name
// keys: the hive, then the path (the top level for mount defaults).
static std::string DocumentedKey(const SettingRow* row)
{
    char path[LevelKeyPathSize];
    if (!BuildSettingKeyPath(row, NULL, NULL, path, sizeof path))
        return std::string();
    std::string key = row->Hive == HiveUser ? "HKCU\\" : "HKLM\\";
    if (!row->Absolute)
        key += "Software\\ZEVR\\CC\\1.0\\";
    return key + path;
}

// A mount-defaults key at any level: zevrnfs\X, zevrnfs\Servers\S\X or
// zevrnfs\Servers\S\Resources\R\X, for both defaults keys.
static bool IsMountDefaultsKey(const std::string& key)
{
    static const char root[] = "HKCU\\Software\\ZEVR\\CC\\1.0\\zevrnfs\\";
    if (!HasPrefix(key, root))
        return false;
    std::vector<std::string> parts;
    for (size_t start = sizeof(root) - 1;;) {
        size_t end = key.find('\\', start);
        parts.push_back(key.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    const std::string& last = parts.back();
    if (!SamePath(last, "UserMountDefaults") && !SamePath(last, "MachineMountDefaults"))
        return false;
    if (parts.size() == 1)
        return true;
    if (!SamePath(parts[0], "Servers"))
        return false;
    return parts.size() == 3 || (parts.size() == 5 && SamePath(parts[2], "Resources"));
}

bool IsDocumentedChange(const RegistryChange& change)
{
    // Pruning: any value of a mount-defaults key may go, and the key with
    // its last value.
    if ((change.kind == RegistryChange::ValueRemoved ||
         change.kind == RegistryChange::KeyRemoved) &&
        IsMountDefaultsKey(change.key))
        return true;
    for (int index = 0; index < GetSettingCount(); index++) {
        const SettingRow* row = GetSettingRow(index);
        std::string key = DocumentedKey(row);
        if (change.kind == RegistryChange::KeyAdded) {
            // A documented key or one of the keys on its way.
            if (SamePath(key, change.key) || HasPrefix(key, change.key + "\\"))
                return true;
            continue;
        }
        if (change.kind != RegistryChange::ValueRemoved && SamePath(key, change.key) &&
            SamePath(row->Name, change.value))
            return true;
    }
    return false;
}

static std::string Describe(const RegistryChange& change)
{
    static const char* const kinds[] = {"key added", "key removed", "value added", "value removed",
                                        "value changed"};
    std::string text = std::string(kinds[change.kind]) + ": " + change.key;
    if (change.kind >= RegistryChange::ValueAdded)
        text += " [" + change.value + "]";
    return text + "\n";
}

std::string UndocumentedChanges(const RegistrySnapshot& before, const RegistrySnapshot& after)
{
    std::string text;
    for (const RegistryChange& change : DiffRegistry(before, after))
        if (!IsDocumentedChange(change))
            text += Describe(change);
    return text;
}

std::string ValueChanges(const RegistrySnapshot& before, const RegistrySnapshot& after)
{
    std::string text;
    for (const RegistryChange& change : DiffRegistry(before, after))
        if (change.kind != RegistryChange::KeyAdded)
            text += Describe(change);
    return text;
}
