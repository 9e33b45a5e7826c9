#include "advancedmaps.h"

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Any stored text maps to a button whose text maps back to the same
    // button, and only the three known texts survive the round trip.
    std::string text((const char*)data, size);
    int index = TransportIndex(text.c_str());
    if (index < 0 || index > 2 || TransportIndex(TransportText(index)) != index)
        abort();
    if ((strcmp(TransportText(index), text.c_str()) == 0) !=
        (text.c_str() == std::string("") || text.c_str() == std::string("tcp") ||
         text.c_str() == std::string("udp")))
        abort();

    uint32_t value = 0;
    memcpy(&value, data, size < sizeof(value) ? size : sizeof(value));
    index = VersionIndex(value);
    if (index < 0 || index > 2 || VersionIndex(VersionValue(index)) != index)
        abort();
    if ((VersionValue(index) == value) != (value == 0 || value == 2 || value == 3))
        abort();
    return 0;
}
