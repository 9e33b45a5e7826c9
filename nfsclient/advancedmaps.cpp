#include "advancedmaps.h"

#include <string.h>

static const char* const TransportTexts[] = {"", "tcp", "udp"};
// The buttons offer version 3 before version 2.
static const uint32_t VersionValues[] = {0, 3, 2};

enum { GroupSize = 3 };

int TransportIndex(const char* text)
{
    if (text == NULL)
        return 0;
    for (int i = 0; i < GroupSize; ++i)
        if (strcmp(text, TransportTexts[i]) == 0)
            return i;
    return 0;
}

const char* TransportText(int index)
{
    return index >= 0 && index < GroupSize ? TransportTexts[index] : TransportTexts[0];
}

int VersionIndex(uint32_t value)
{
    // Index 0 is automatic, which no other stored number may reach.
    for (int i = 1; i < GroupSize; ++i)
        if (value == VersionValues[i])
            return i;
    return 0;
}

uint32_t VersionValue(int index)
{
    return index >= 0 && index < GroupSize ? VersionValues[index] : 0;
}
