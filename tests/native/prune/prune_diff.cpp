// The pruning pass against the reference pass, on random trees in the
// registry model: the whole sequence of an apply (a pass, the pages'
// top-level writes, a second pass) must leave the same keys and values, and
// so must one pass on its own. ZEVR_PRUNE_TREES sets how many trees (10,000
// unless set); ZEVR_PRUNE_SEED the first seed.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <strings.h>

#include <algorithm>
#include <random>
#include <sstream>

#include "model.h"
#include "reference.h"
#include "registry.h"
#include "store.h"

// Allocations are many and short-lived here: a shallow allocation stack
// keeps the sanitizer's bookkeeping from dominating the run.
extern "C" const char* __asan_default_options()
{
    return "malloc_context_size=2";
}

namespace {

const char* const DefaultsKeys[] = {"UserMountDefaults", "MachineMountDefaults"};

// Names met in a defaults key: the table's, case variants of them, names
// without a row and the unnamed value.
const char* const NumberNames[] = {
    "ReadOnly",   "UMask", "Retries",  "CaseForce", "RSize", "WSize", "Timeout",
    "NfsVersion", "umask", "READONLY", "rsize",     "Own",   "Extra", "",
};
const char* const TextNames[] = {"ShortNameMappingCharacter", "Transport", "transport", "Own"};
const DWORD Numbers[] = {0, 1, 5, 18, 32768, 8192};
const char* const Texts[] = {"", "~", "!", "tcp", "udp"};

// What the pages write at the top level between the two passes.
struct Write {
    int Defaults;
    const char* Name;
    DWORD Type;
    std::string Data;
};
const char* const UserWrites[] = {"ReadOnly", "UMask", "Retries", "CaseForce", "ArchiveBit"};
const char* const MachineWrites[] = {"RSize", "WSize", "Timeout", "BackoffMultiplier"};

struct Generator {
    std::mt19937 Random;
    explicit Generator(unsigned seed) : Random(seed) {}

    int Below(int n)
    {
        return (int)(Random() % (unsigned)n);
    }
    bool Chance(int percent)
    {
        return Below(100) < percent;
    }

    static std::string Number(DWORD value, size_t size = 4)
    {
        std::string data((const char*)&value, 4);
        data.resize(size, '\0');
        return data;
    }

    void AddValue(ModelKeyData* key)
    {
        int form = Below(100);
        std::string name;
        DWORD type = REG_DWORD;
        std::string data;
        if (form < 62) {
            name = NumberNames[Below(sizeof(NumberNames) / sizeof(*NumberNames))];
            data = Number(Numbers[Below(sizeof(Numbers) / sizeof(*Numbers))]);
        } else if (form < 80) {
            name = TextNames[Below(sizeof(TextNames) / sizeof(*TextNames))];
            type = REG_SZ;
            data = std::string(Texts[Below(sizeof(Texts) / sizeof(*Texts))]) + '\0';
            int odd = Below(10);
            if (odd == 0)
                data.pop_back(); // stored without its terminator
            else if (odd == 1)
                data += "x"; // data after the terminator
        } else if (form < 85) {
            // Numbers of 2 and 8 bytes.
            name = NumberNames[Below(4)];
            data = Number(Numbers[Below(3)], Chance(50) ? 2 : 8);
        } else if (form < 90) {
            // Texts around the 256-byte limit.
            name = TextNames[Below(2)];
            type = REG_SZ;
            static const size_t sizes[] = {255, 256, 257, 300};
            data = std::string(sizes[Below(4)], 't');
            if (Chance(50))
                data.back() = '\0';
        } else if (form < 94) {
            name = NumberNames[Below(4)];
            type = Chance(50) ? REG_BINARY : REG_MULTI_SZ;
            data = Number(Numbers[Below(3)]);
        } else if (form < 97) {
            name = std::string(256 + Below(60), 'v'); // longer than any name buffer
            data = Number(0);
        } else {
            // Enough names that equal their inheritance to fill a deletion
            // list.
            for (int i = 0; i < 45; ++i) {
                char many[64];
                snprintf(many, sizeof(many), "InheritedValueNumber%02d%0*d", i, Below(20) + 1, 0);
                AddNamed(key, many, REG_DWORD, Number(Chance(80) ? 0 : 1));
            }
            return;
        }
        AddNamed(key, name, type, data);
    }

    static void AddNamed(ModelKeyData* key, const std::string& name, DWORD type,
                         const std::string& data)
    {
        for (ModelValue& value : key->Values) {
            if (strcasecmp(value.Name.c_str(), name.c_str()) == 0) {
                value.Type = type;
                value.Data = data;
                return;
            }
        }
        key->Values.push_back({name, type, data});
    }

    // The two defaults keys of the level at path, each perhaps missing,
    // unreadable, with undeletable values or with a sub-key of its own.
    void AddLevel(const std::string& path, int values)
    {
        for (const char* defaults : DefaultsKeys) {
            if (!Chance(75))
                continue;
            std::string keyPath = path + defaults;
            ModelKeyData* key = FindModelKey(keyPath, true);
            if (key == NULL)
                continue;
            int count = Below(values + 1);
            for (int i = 0; i < count; ++i)
                AddValue(key);
            if (Chance(4))
                FindModelKey(keyPath + "\\Extra", true);
            key = FindModelKey(keyPath, false);
            key->DenyValueDelete = Chance(4);
            key->DenyOpen = Chance(4);
        }
    }

    std::string KeyName(const char* stem, int i)
    {
        int odd = Below(40);
        if (odd == 0)
            return std::string(230, 'm'); // its paths do not fit
        if (odd == 1)
            return std::string(255, 'a'); // longer than the name buffer
        return stem + std::to_string(i);
    }

    void Tree()
    {
        Model = ModelRegistry();
        AddLevel("zevrnfs\\", 8);
        int servers = Below(4);
        for (int s = 0; s < servers; ++s) {
            std::string server = "zevrnfs\\Servers\\" + KeyName("srv", s) + "\\";
            FindModelKey(server, true);
            AddLevel(server, 6);
            int resources = Below(4);
            for (int r = 0; r < resources; ++r) {
                std::string resource = server + "Resources\\" + KeyName("res", r) + "\\";
                FindModelKey(resource, true);
                AddLevel(resource, 5);
                if (Chance(10)) {
                    std::string deeper = resource + "Resources\\deep\\";
                    FindModelKey(deeper, true);
                    AddLevel(deeper, 4);
                }
            }
        }
    }

    std::vector<Write> Writes()
    {
        std::vector<Write> writes;
        int count = Below(6);
        for (int i = 0; i < count; ++i) {
            Write write;
            write.Defaults = Below(2);
            if (Chance(15)) {
                write.Name = "ShortNameMappingCharacter";
                write.Defaults = 0;
                write.Type = REG_SZ;
                write.Data = std::string(Texts[Below(5)]) + '\0';
            } else {
                write.Name = write.Defaults == 0 ? UserWrites[Below(5)] : MachineWrites[Below(4)];
                write.Type = REG_DWORD;
                write.Data = Number(Numbers[Below(sizeof(Numbers) / sizeof(*Numbers))]);
            }
            writes.push_back(write);
        }
        return writes;
    }
};

// A page's save: the top-level key created as needed, then the value.
void ApplyWrites(const std::vector<Write>& writes)
{
    for (const Write& write : writes) {
        HKEY key;
        std::string path = std::string("zevrnfs\\") + DefaultsKeys[write.Defaults];
        if (CreateSettingsKey(HKEY_CURRENT_USER, path.c_str(), &key) != ERROR_SUCCESS)
            continue;
        SetRawValue(key, write.Name, write.Type, (const BYTE*)write.Data.data(),
                    (DWORD)write.Data.size());
        CloseSettingsKey(key);
    }
}

std::string Printable(const std::string& text)
{
    std::string shown;
    for (char c : text) {
        if (c >= 32 && c < 127) {
            shown += c;
        } else {
            char hex[8];
            snprintf(hex, sizeof(hex), "\\x%02x", (unsigned char)c);
            shown += hex;
        }
    }
    return shown.size() > 80 ? shown.substr(0, 40) + "..." + std::to_string(shown.size()) : shown;
}

// Every key and value, one a line, in an order that does not depend on how
// they were reached.
std::string Dump(const ModelRegistry& model)
{
    std::ostringstream out;
    for (const auto& [path, key] : model.Keys) {
        out << Printable(path) << "\n";
        std::vector<std::string> values;
        for (const ModelValue& value : key.Values)
            values.push_back("  " + Printable(value.Name) + " " + std::to_string(value.Type) + " " +
                             Printable(value.Data));
        std::sort(values.begin(), values.end());
        for (const std::string& value : values)
            out << value << "\n";
    }
    return out.str();
}

int Setting(const char* name, int fallback)
{
    const char* text = getenv(name);
    return text != NULL ? atoi(text) : fallback;
}

TEST(PruneDifferential, AnApplyDeletesWhatTheReferenceDeletes)
{
    int trees = Setting("ZEVR_PRUNE_TREES", 10000);
    unsigned first = (unsigned)Setting("ZEVR_PRUNE_SEED", 1);
    int failures = 0;
    for (int i = 0; i < trees && failures < 3; ++i) {
        unsigned seed = first + (unsigned)i;
        Generator generator(seed);
        generator.Tree();
        const ModelRegistry start = Model;
        const std::vector<Write> writes = generator.Writes();

        Reference::PruneInheritedValues();
        const ModelRegistry referenceFirst = Model;
        ApplyWrites(writes);
        Reference::PruneInheritedValues();
        const ModelRegistry referenceApply = Model;

        Model = start;
        PruneInheritedValues();
        bool same = Model == referenceFirst;
        EXPECT_TRUE(same) << "one pass, seed " << seed << "\n"
                          << Dump(referenceFirst) << "--- the pass left:\n"
                          << Dump(Model);

        Model = start;
        PruneAndKeepReading();
        bool first = Model == referenceFirst;
        EXPECT_TRUE(first) << "first pass of an apply, seed " << seed << "\n"
                           << Dump(referenceFirst) << "--- the pass left:\n"
                           << Dump(Model);
        ApplyWrites(writes);
        PruneAfterPageSaves();
        bool apply = Model == referenceApply;
        EXPECT_TRUE(apply) << "apply, seed " << seed << "\n"
                           << Dump(referenceApply) << "--- the passes left:\n"
                           << Dump(Model);
        EXPECT_EQ(0, OpenModelHandles()) << "seed " << seed;
        same = same && first && apply;
        failures += !same;
    }
}

} // namespace
