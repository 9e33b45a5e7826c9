// The authentication server list as the user types it and as it is stored:
// a comma-separated text on the page, a multi-string (entries one after
// another, each terminated, closed by an empty entry) in the registry.
// Pure text work, no Win32.
#ifndef ZEVR_SERVERLIST_H
#define ZEVR_SERVERLIST_H

#include <stddef.h>

// 1 when the list's first entry is exactly "*": broadcast for a server.
int IsBroadcastList(const char* list);

// Turns the list in place into one text, the entries joined by commas; the
// list ends at its first empty entry or after size bytes, whichever comes
// first, and the text is always terminated within size bytes (size > 0).
// Returns list.
char* JoinServerList(char* list, size_t size);

// Splits text into a list in output (size bytes): every maximal run of
// characters other than comma, semicolon, blank and tab is one entry, in
// order; no empty entries. Returns 1, or 0 with output holding the empty
// list when the entries would not fit (size >= 1).
int SplitServerList(char* output, size_t size, const char* text);

#endif
