#include "numbers.h"

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

// Every number parser on any text, checked against a slow reference: the
// dialog rule (spaces, digits, 32 bits) and the combo rule (numeric texts
// read whole, saturating).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    char* text = (char*)malloc(size + 1);
    memcpy(text, data, size);
    text[size] = '\0';

    const char* p = text;
    while (*p == ' ')
        ++p;
    bool digits = *p >= '0' && *p <= '9';
    unsigned long long expected = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        expected = expected * 10 + (unsigned)(*p - '0');
        if (expected > 0xFFFFFFFFull)
            digits = false, expected = 0x100000000ull;
    }
    bool accepted = digits && *p == '\0';
    uint32_t value = 0;
    if (ParseDialogUnsigned(text, &value) != (accepted ? 1 : 0))
        abort();
    if (accepted && value != (uint32_t)expected)
        abort();

    uint32_t parsed = ParseNumberText(text);
    if (IsNumericText(text)) {
        const char* q = text[0] == '+' ? text + 1 : text;
        unsigned long long reference = 0;
        for (; *q != '\0'; ++q) {
            reference = reference * 10 + (unsigned)(*q - '0');
            if (reference > 0xFFFFFFFFull)
                reference = 0xFFFFFFFFull;
        }
        if (parsed != (uint32_t)reference)
            abort();
        char formatted[11];
        if (strlen(FormatNumberText(formatted, parsed)) > 10)
            abort();
    }
    free(text);
    return 0;
}
