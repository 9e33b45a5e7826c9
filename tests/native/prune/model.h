// An in-memory registry behind the registry layer's functions, for native
// tests of the settings store. Names compare without regard to ASCII case,
// as the registry's do; values keep the order they were added in.
#ifndef ZEVR_PRUNE_MODEL_H
#define ZEVR_PRUNE_MODEL_H

#include <windows.h>

#include <map>
#include <string>
#include <vector>

struct ModelValue {
    std::string Name;
    DWORD Type;
    std::string Data;
};

struct ModelKeyData {
    std::string Name; // as created
    std::vector<ModelValue> Values;
    std::vector<std::string> Children; // names, as created
    bool DenyOpen = false;             // opening fails: a key nobody may read
    bool DenyValueDelete = false;      // its values cannot be deleted
};

struct ModelRegistry {
    // By hive letter and lower-case full path: "U:software\zevr\...".
    std::map<std::string, ModelKeyData> Keys;
};

inline bool operator==(const ModelValue& a, const ModelValue& b)
{
    return a.Name == b.Name && a.Type == b.Type && a.Data == b.Data;
}
inline bool operator==(const ModelKeyData& a, const ModelKeyData& b)
{
    return a.Name == b.Name && a.Values == b.Values && a.Children == b.Children;
}
inline bool operator==(const ModelRegistry& a, const ModelRegistry& b)
{
    return a.Keys == b.Keys;
}

extern ModelRegistry Model;

// Handles of the layer that are still open.
int OpenModelHandles();

// The key at a settings sub-path under HKEY_CURRENT_USER, created with its
// parents when create is set; NULL when it does not exist.
ModelKeyData* FindModelKey(const std::string& subPath, bool create);

#endif
