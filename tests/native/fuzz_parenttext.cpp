#include "parenttext.h"

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

// Compares the digit-by-digit parser with the base-0 conversion of "0x"
// plus the text, for every text short enough to fit the classic buffer.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    char* text = (char*)malloc(size + 1);
    memcpy(text, data, size);
    text[size] = '\0';
    uint32_t value = ParseParentHandleText(text);
    if (strlen(text) <= 27) {
        char buffer[30] = "0x";
        strcat(buffer, text);
        unsigned long long expected = strtoull(buffer, nullptr, 0);
        if (expected > 0xFFFFFFFFull)
            expected = 0xFFFFFFFFull;
        // strtoull also accepts leading white space and signs after "0x"
        // nowhere, so the two must agree.
        if (value != (uint32_t)expected)
            abort();
    }
    free(text);
    return 0;
}
