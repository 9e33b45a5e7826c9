// The byte forms a settings file may come in: well-formed UTF-8 checked
// sequence by sequence, UTF-16 after its byte-order mark decoded to UTF-8,
// and UTF-16 without a mark recognised so that the message can say what
// the file lacks. Platform-free, so the native tests cover it.
#include "utf.h"

#include <stdint.h>
#include <stdio.h>

static void AppendUtf8(uint32_t code, std::string* out)
{
    if (code < 0x80) {
        *out += (char)code;
    } else if (code < 0x800) {
        *out += (char)(0xC0 | (code >> 6));
        *out += (char)(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out += (char)(0xE0 | (code >> 12));
        *out += (char)(0x80 | ((code >> 6) & 0x3F));
        *out += (char)(0x80 | (code & 0x3F));
    } else {
        *out += (char)(0xF0 | (code >> 18));
        *out += (char)(0x80 | ((code >> 12) & 0x3F));
        *out += (char)(0x80 | ((code >> 6) & 0x3F));
        *out += (char)(0x80 | (code & 0x3F));
    }
}

// The length of the well-formed UTF-8 sequence at text[at] (overlong forms,
// surrogates and code points past U+10FFFF refused), or 0.
static size_t Utf8Length(const std::string& text, size_t at)
{
    unsigned char lead = (unsigned char)text[at];
    if (lead < 0x80)
        return 1;
    size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                    : lead >= 0xE0 && lead <= 0xEF ? 3
                    : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                   : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (size_t i = 1; i < length; ++i)
        if (((unsigned char)text[at + i] & 0xC0) != 0x80)
            return 0;
    unsigned char second = (unsigned char)text[at + 1];
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90))
        return 0;
    return length;
}

// Where the text is not well-formed UTF-8, or npos; *wide tells whether it
// holds anything but ASCII.
size_t FindBadUtf8(const std::string& text, bool* wide)
{
    *wide = false;
    for (size_t at = 0; at < text.size();) {
        size_t length = Utf8Length(text, at);
        if (length == 0)
            return at;
        *wide = *wide || length > 1;
        at += length;
    }
    return std::string::npos;
}

int LineAt(const std::string& text, size_t at)
{
    int line = 1;
    for (size_t i = 0; i < at && i < text.size(); ++i)
        line += text[i] == '\n';
    return line;
}

// UTF-16 after its mark, as UTF-8. The line of an error counts the text
// decoded before it.
int DecodeUtf16(const std::string& bytes, bool bigEndian, std::string* text, int* errorLine,
                std::string* error)
{
    text->clear();
    for (size_t at = 2; at < bytes.size(); at += 2) {
        if (at + 1 >= bytes.size()) {
            *errorLine = LineAt(*text, text->size());
            *error = "the UTF-16 text ends in the middle of a character";
            return 0;
        }
        unsigned char first = (unsigned char)bytes[at], second = (unsigned char)bytes[at + 1];
        uint32_t unit = bigEndian ? first << 8 | second : second << 8 | first;
        if (unit >= 0xD800 && unit <= 0xDBFF && at + 3 < bytes.size()) {
            unsigned char third = (unsigned char)bytes[at + 2],
                          fourth = (unsigned char)bytes[at + 3];
            uint32_t low = bigEndian ? third << 8 | fourth : fourth << 8 | third;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), text);
                at += 2;
                continue;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            char hex[64];
            snprintf(hex, sizeof(hex), "an unpaired UTF-16 surrogate (0x%04X)", (unsigned)unit);
            *errorLine = LineAt(*text, text->size());
            *error = hex;
            return 0;
        }
        AppendUtf8(unit, text);
    }
    return 1;
}

// Text of ASCII characters stored as UTF-16 without a mark: every unit of
// the first few has a zero byte on the same side.
const char* Utf16WithoutMark(const std::string& bytes)
{
    size_t units = bytes.size() / 2 < 16 ? bytes.size() / 2 : 16;
    if (units < 2)
        return NULL;
    bool little = true, big = true;
    for (size_t i = 0; i < units; ++i) {
        char first = bytes[2 * i], second = bytes[2 * i + 1];
        little = little && first != '\0' && second == '\0';
        big = big && first == '\0' && second != '\0';
    }
    return little ? "UTF-16LE" : big ? "UTF-16BE" : NULL;
}
