// Number texts of the dialog controls. Pure text work, no Win32.
#ifndef ZEVR_NUMBERS_H
#define ZEVR_NUMBERS_H

#include <stdint.h>

// 1 when the text is an optional "+" followed only by decimal digits (the
// empty text and "+" alone included).
int IsNumericText(const char* text);
// A decimal text with an optional leading "+" to a number, like atol after
// skipping the "+"; used as an unsigned 32-bit value.
uint32_t ParseNumberText(const char* text);
// The unsigned value as decimal text in destination (at least 11 bytes);
// returns destination.
char* FormatNumberText(char* destination, uint32_t value);
// What Windows' GetDlgItemInt (unsigned) accepts: leading spaces, then
// decimal digits only, at most 32 bits. 1 with the value, else 0.
int ParseDialogUnsigned(const char* text, uint32_t* value);

#endif
