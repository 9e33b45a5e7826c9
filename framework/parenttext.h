// Parsing of the parent-window argument. Pure text work, no Win32.
#ifndef ZEVR_PARENTTEXT_H
#define ZEVR_PARENTTEXT_H

#include <stdint.h>

// The caller passes the handle as hexadecimal digits without a prefix. The
// value is what an unsigned base-0 conversion of "0x" followed by the text
// gives: digits up to the first non-hexadecimal character, 0 when the text
// does not start with a digit (so a text with its own "0x" gives 0), and
// 0xFFFFFFFF when the number does not fit 32 bits. Any length is accepted;
// NULL counts as the empty text.
uint32_t ParseParentHandleText(const char* text);

// The value of one hexadecimal digit, either case; -1 for any other character.
int HexDigitValue(char c);

#endif
