// Text work of the name-service sheet: dotted addresses, stored server
// lists and domain names. Pure text, no Win32.
#ifndef ZEVR_NISTEXT_H
#define ZEVR_NISTEXT_H

#include <stddef.h>

enum {
    AddressFieldSize = 4, // one field of the address control: three digits
    ServerListSize = 180, // a stored server list with its terminator
    ServerTextSize = 18,  // one list entry with its terminator
    MaxServerItems = 90,  // the most items a stored list can hold ("1 1 1 ...")
};

// 1 when text is an address of one to three dots whose parts are in range
// (one dot: 1-127 and 24 bits; two: 1-191, 8 and 16 bits; three: 1-255 and
// 8 bits each); an empty part counts as 0.
int IsValidDottedAddress(const char* text);

// The four field texts that show the address written in text, whose blanks
// are ignored. The short forms show the address they denote (10.1234567 is
// 10.18.214.135); with three dots an empty part stays an empty field. 0 and
// the fields untouched when the text is not a valid address.
int SplitDottedAddress(const char* text, char fields[4][AddressFieldSize]);

// Cuts a stored list in place at its blanks and points items at the entries,
// in order. The first empty entry ends the list, so a leading blank or two
// blanks in a row drop the rest. Returns the number of entries.
int SplitServerList(char* text, const char** items, int capacity);

// Appends item to the list in buffer (blank-separated) when it fits whole;
// 0 and buffer unchanged otherwise.
int AppendServerItem(char* buffer, size_t size, const char* item);

int IsDomainSpecialChar(char c);
// A label of length characters; a quoted character ("x") counts as a letter.
int IsValidDomainLabel(const char* label, size_t length);
int IsValidDomainName(const char* name);

#endif
