#include "storepaths.h"

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>

// The level rules written out plainly with std::string, for comparison.
static int ModelParent(const std::string& path, std::string* parent)
{
    size_t last = path.rfind('\\');
    if (last == std::string::npos)
        return 0;
    std::string head = path.substr(0, last + 1);
    std::string name = path.substr(last + 1);
    if (head == "zevrnfs\\")
        return 0;
    size_t first = head.find('\\');
    size_t second = head.find('\\', first + 1);
    if (second == std::string::npos)
        return 0;
    size_t third = head.find('\\', second + 1);
    if (third == std::string::npos)
        return 0;
    size_t keep = (third == head.size() - 1 ? first : third) + 1;
    *parent = head.substr(0, keep) + name;
    if (parent->size() >= LevelPathSize)
        return 0;
    return 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte picks a prefix, so that the fuzzer reaches the server
    // and resource levels without having to guess the root's spelling.
    static const char* const prefixes[] = {"", "zevrnfs\\", "zevrnfs\\Servers\\",
                                           "zevrnfs\\Servers\\s\\Resources\\"};
    std::string path;
    if (size > 0) {
        path = prefixes[data[0] % 4];
        path.append((const char*)data + 1, size - 1);
    }
    path = path.c_str();
    // Exactly the documented size, so that AddressSanitizer sees overruns.
    char* output = (char*)malloc(LevelPathSize);
    std::string expected;
    int result = GetParentLevelPath(output, path.c_str());
    if (result != ModelParent(path, &expected) || (result == 1 && expected != output) ||
        (result == 0 && output[0] != '\0'))
        abort();
    // Walking up always ends, and soon: every parent is shorter.
    std::string current = path;
    int steps = 0;
    while (result == 1) {
        if (strlen(output) >= current.size() || ++steps > 3)
            abort();
        current = output;
        result = GetParentLevelPath(output, current.c_str());
    }
    free(output);

    // The same bytes as deletion-list names: the list never grows past its
    // size and stays closed by an empty name.
    char* list = (char*)malloc(DeletionListSize);
    size_t used = 0;
    list[0] = '\0';
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        std::string name = path.substr(start, end - start);
        AddToDeletionList(list, DeletionListSize, &used, name.c_str());
        if (used >= DeletionListSize || list[used] != '\0')
            abort();
        start = end + 1;
    }
    free(list);
    return 0;
}
