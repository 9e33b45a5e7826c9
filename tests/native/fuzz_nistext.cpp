#include "nistext.h"

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>

// The address rules written out plainly, with parts that cannot wrap in
// fifteen characters; the address the text denotes, or false.
static bool ModelAddress(const std::string& text, uint32_t* address)
{
    static const uint64_t limits[4][4] = {
        {}, {127, 0xFFFFFF}, {191, 255, 0xFFFF}, {255, 255, 255, 255}};
    uint64_t parts[4] = {};
    int dots = 0;
    for (char c : text) {
        if ((c != '.' && (c < '0' || c > '9')) || (c == '.' && ++dots > 3))
            return false;
        if (c != '.')
            parts[dots] = parts[dots] * 10 + (uint64_t)(c - '0');
    }
    if (text.size() > 15 || dots == 0 || parts[0] < 1)
        return false;
    *address = 0;
    for (int i = 0; i <= dots; ++i) {
        if (parts[i] > limits[dots][i])
            return false;
        *address |= (uint32_t)(parts[i] << (i < dots ? 24 - 8 * i : 0));
    }
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text((const char*)data, strnlen((const char*)data, size));
    uint32_t expected = 0;
    bool valid = ModelAddress(text, &expected);
    if ((IsValidDottedAddress(text.c_str()) == 1) != valid)
        abort();
    char fields[4][AddressFieldSize];
    if (valid && !text.empty() && text.find(' ') == std::string::npos) {
        // The fields show the very address the text denotes.
        if (!SplitDottedAddress(text.c_str(), fields))
            abort();
        uint32_t shown = 0;
        for (int i = 0; i < 4; ++i)
            shown = shown << 8 | (uint32_t)atoi(fields[i]);
        if (shown != expected)
            abort();
    }

    // Splitting a stored list and joining it again gives the text up to the
    // first empty entry.
    char stored[ServerListSize];
    size_t length = text.size() < ServerListSize - 1 ? text.size() : ServerListSize - 1;
    memcpy(stored, text.c_str(), length);
    stored[length] = '\0';
    std::string original(stored);
    const char* items[MaxServerItems];
    int count = SplitServerList(stored, items, MaxServerItems);
    char joined[ServerListSize] = "";
    for (int i = 0; i < count; ++i)
        if (!AppendServerItem(joined, sizeof(joined), items[i]))
            abort();
    size_t cut = original.find("  ");
    std::string kept = original[0] == ' ' ? "" : original.substr(0, cut);
    if (!kept.empty() && kept.back() == ' ')
        kept.pop_back();
    if (kept != joined)
        abort();

    IsValidDomainName(text.c_str());
    return 0;
}
