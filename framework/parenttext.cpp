#include "parenttext.h"

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

uint32_t ParseParentHandleText(const char* text)
{
    if (text == nullptr)
        return 0;
    // Parsed digit by digit rather than through a fixed-size "0x" buffer, so
    // that an argument of any length is read without overrunning anything.
    uint32_t value = 0;
    bool overflow = false;
    for (const char* p = text; HexDigitValue(*p) >= 0; ++p) {
        if (value > 0x0FFFFFFFu)
            overflow = true;
        value = (value << 4) | (uint32_t)HexDigitValue(*p);
    }
    return overflow ? 0xFFFFFFFFu : value;
}
