#include "serverlist.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>

static bool IsSeparator(char c)
{
    return c == ',' || c == ';' || c == ' ' || c == '\t';
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the output size, so that short buffers are met.
    size_t capacity = 1 + data[0] % 64;
    std::string text((const char*)data + 1, size - 1);
    text = text.c_str();

    // Exactly the capacity, so that AddressSanitizer sees overruns.
    char* list = (char*)malloc(capacity);
    int fits = SplitServerList(list, capacity, text.c_str());
    std::string model;
    for (size_t i = 0; i < text.size();) {
        if (IsSeparator(text[i])) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && !IsSeparator(text[end]))
            ++end;
        model.append(text, i, end - i).push_back('\0');
        i = end;
    }
    model.push_back('\0');
    if (fits != (model.size() <= capacity))
        abort();
    if (fits ? memcmp(list, model.data(), model.size()) != 0 : list[0] != '\0')
        abort();

    // Joining the split list gives the entries back, comma-separated.
    if (fits) {
        std::string joined;
        for (size_t i = 0; model[i] != '\0'; i += strlen(&model[i]) + 1)
            joined += (joined.empty() ? "" : ",") + std::string(&model[i]);
        if (joined != JoinServerList(list, capacity))
            abort();
    }
    free(list);

    // Any bytes at all, joined within their size: terminated, no overrun.
    char* raw = (char*)malloc(size);
    memcpy(raw, data, size);
    if (strnlen(JoinServerList(raw, size), size) >= size)
        abort();
    free(raw);
    return 0;
}
