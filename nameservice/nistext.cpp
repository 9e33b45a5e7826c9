#include "nistext.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>

enum { AddressTextLength = 15 };

struct DottedAddress {
    uint32_t parts[4];
    int present[4]; // the part has digits
    int dots;
};

// Parts of at most 15 characters; numbers saturate, so that a long run of
// digits can never wrap into range.
static int ParseDottedAddress(const char* text, DottedAddress* address)
{
    memset(address, 0, sizeof(*address));
    if (text == NULL || strlen(text) > AddressTextLength)
        return 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '.') {
            if (++address->dots > 3)
                return 0;
        } else if (*p >= '0' && *p <= '9') {
            uint32_t* part = &address->parts[address->dots];
            uint32_t digit = (uint32_t)(*p - '0');
            *part = *part > (UINT32_MAX - digit) / 10 ? UINT32_MAX : *part * 10 + digit;
            address->present[address->dots] = 1;
        } else {
            return 0;
        }
    }
    const uint32_t* n = address->parts;
    switch (address->dots) {
    case 1:
        return n[0] >= 1 && n[0] <= 127 && n[1] <= 0xFFFFFF;
    case 2:
        return n[0] >= 1 && n[0] <= 191 && n[1] <= 255 && n[2] <= 0xFFFF;
    case 3:
        return n[0] >= 1 && n[0] <= 255 && n[1] <= 255 && n[2] <= 255 && n[3] <= 255;
    }
    return 0;
}

int IsValidDottedAddress(const char* text)
{
    DottedAddress address;
    return ParseDottedAddress(text, &address);
}

int SplitDottedAddress(const char* text, char fields[4][AddressFieldSize])
{
    if (text == NULL)
        return 0;
    char copy[AddressTextLength + 1];
    size_t used = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == ' ')
            continue;
        if (used == AddressTextLength)
            return 0;
        copy[used++] = *p;
    }
    copy[used] = '\0';
    DottedAddress address;
    if (!ParseDottedAddress(copy, &address))
        return 0;

    uint32_t bytes[4];
    const uint32_t* n = address.parts;
    bytes[0] = n[0];
    if (address.dots == 1) {
        bytes[1] = n[1] >> 16;
        bytes[2] = (n[1] >> 8) & 255;
        bytes[3] = n[1] & 255;
    } else if (address.dots == 2) {
        bytes[1] = n[1];
        bytes[2] = n[2] >> 8;
        bytes[3] = n[2] & 255;
    } else {
        bytes[1] = n[1];
        bytes[2] = n[2];
        bytes[3] = n[3];
    }
    for (int i = 0; i < 4; ++i) {
        if (address.dots == 3 && !address.present[i])
            fields[i][0] = '\0';
        else
            snprintf(fields[i], AddressFieldSize, "%u", (unsigned)bytes[i]);
    }
    return 1;
}

int SplitServerList(char* text, const char** items, int capacity)
{
    if (text == NULL || items == NULL)
        return 0;
    int count = 0;
    char* item = text;
    while (*item != '\0' && *item != ' ' && count < capacity) {
        items[count++] = item;
        char* blank = strchr(item, ' ');
        if (blank == NULL)
            break;
        *blank = '\0';
        item = blank + 1;
    }
    return count;
}

int AppendServerItem(char* buffer, size_t size, const char* item)
{
    if (buffer == NULL || item == NULL)
        return 0;
    size_t used = strlen(buffer);
    size_t separator = used > 0 ? 1 : 0;
    size_t length = strlen(item);
    if (used + separator + length >= size)
        return 0;
    if (separator)
        buffer[used++] = ' ';
    memcpy(buffer + used, item, length + 1);
    return 1;
}

int IsDomainSpecialChar(char c)
{
    return c == '.' || c == '[' || c == ']' || c == ',' || c == '=' || c == ' ';
}

int IsValidDomainLabel(const char* label, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (label[i] == '"') {
            // The quoted character is taken as it stands.
            i += 2;
            continue;
        }
        if (i == 0 && label[i] == '@')
            return 0;
        if (label[i] == '/' || IsDomainSpecialChar(label[i]))
            return 0;
    }
    return 1;
}

int IsValidDomainName(const char* name)
{
    if (name == NULL || name[0] == '.')
        return 0;
    size_t start = 0;
    size_t i = 0;
    for (;;) {
        char c = name[i];
        if (c == '"') {
            if (name[i + 1] == '\0' || name[i + 2] != '"')
                return 0;
            i += 3;
            continue;
        }
        if (c == '.' || c == '\0') {
            if (!IsValidDomainLabel(name + start, i - start))
                return 0;
            if (c == '\0')
                return 1;
            start = i + 1;
        }
        ++i;
    }
}
