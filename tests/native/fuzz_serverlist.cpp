#include "serverlist.h"

#include <algorithm>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the output size; exactly that much is allocated,
    // so that AddressSanitizer sees overruns.
    size_t capacity = 1 + data[0] % 64;
    std::string text((const char*)data + 1, size - 1);
    text = text.c_str();
    std::string model, joined;
    for (size_t i = text.find_first_not_of(",; \t"); i != std::string::npos;) {
        size_t end = std::min(text.find_first_of(",; \t", i), text.size());
        model += text.substr(i, end - i) + '\0';
        joined += (joined.empty() ? "" : ",") + text.substr(i, end - i);
        i = text.find_first_not_of(",; \t", end);
    }
    model += '\0';
    char* list = (char*)malloc(capacity);
    int fits = SplitServerList(list, capacity, text.c_str());
    if (fits != (model.size() <= capacity) ||
        (fits ? memcmp(list, model.data(), model.size()) != 0 : list[0] != '\0') ||
        (fits && joined != JoinServerList(list, capacity)))
        abort();
    free(list);
    // Any bytes at all join into a text terminated within them.
    char* raw = (char*)memcpy(malloc(size), data, size);
    if (strnlen(JoinServerList(raw, size), size) >= size)
        abort();
    free(raw);
    return 0;
}
