#include "numbers.h"

#include <stdio.h>

static int IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The white space that atol skips in the "C" locale.
static int IsAtolSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int IsNumericText(const char* text)
{
    if (text == nullptr)
        return 0;
    if (*text == '+')
        ++text;
    for (; *text != '\0'; ++text) {
        if (!IsDigit(*text))
            return 0;
    }
    return 1;
}

uint32_t ParseNumberText(const char* text)
{
    if (text == nullptr)
        return 0;
    if (*text == '+')
        ++text;
    while (IsAtolSpace(*text))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    // Digit by digit instead of through a short copy and atol: a text of any
    // length is read safely, and a magnitude beyond 32 bits saturates rather
    // than wrapping round to a small number that a list would accept.
    uint32_t value = 0;
    for (; IsDigit(*text); ++text) {
        uint32_t digit = (uint32_t)(*text - '0');
        if (value > (0xFFFFFFFFu - digit) / 10u)
            value = 0xFFFFFFFFu;
        else
            value = value * 10u + digit;
    }
    return negative ? 0u - value : value;
}

char* FormatNumberText(char* destination, uint32_t value)
{
    if (destination == nullptr)
        return nullptr;
    snprintf(destination, 11, "%u", (unsigned)value);
    return destination;
}

int ParseDialogUnsigned(const char* text, uint32_t* value)
{
    if (text == nullptr)
        return 0;
    while (*text == ' ')
        ++text;
    if (!IsDigit(*text))
        return 0;
    uint32_t result = 0;
    for (; IsDigit(*text); ++text) {
        uint32_t digit = (uint32_t)(*text - '0');
        if (result > (0xFFFFFFFFu - digit) / 10u)
            return 0;
        result = result * 10u + digit;
    }
    if (*text != '\0')
        return 0;
    if (value != nullptr)
        *value = result;
    return 1;
}
