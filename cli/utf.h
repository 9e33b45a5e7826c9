// UTF-8 and UTF-16 checks of a settings file's bytes.
#ifndef ZEVR_UTF_H
#define ZEVR_UTF_H

#include <stddef.h>

#include <string>

// Where the text is not well-formed UTF-8, or npos; *wide tells whether it
// holds anything but ASCII.
size_t FindBadUtf8(const std::string& text, bool* wide);
// The line (from 1) that text[at] is on.
int LineAt(const std::string& text, size_t at);
// UTF-16 after its two-byte mark, as UTF-8; on failure *errorLine and
// *error say where and why.
int DecodeUtf16(const std::string& bytes, bool bigEndian, std::string* text, int* errorLine,
                std::string* error);
// "UTF-16LE" or "UTF-16BE" for ASCII text stored as UTF-16 without a mark,
// else NULL.
const char* Utf16WithoutMark(const std::string& bytes);

#endif
