#include "cfgfile.h"

#include <stdint.h>
#include <stdlib.h>

// Whatever a file holds, in whatever encoding, reading it never fails
// badly, and every name and value read writes back to a form that reads as
// the same. Unicode lines stay UTF-8, which the written form escapes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text((const char*)data, size);
    std::vector<Assignment> read;
    int line = 0;
    std::string error;
    if (!ReadSettingsFileBytes(text, NULL, &read, &line, &error))
        return 0;
    for (const Assignment& assignment : read) {
        std::vector<Assignment> again;
        std::string header = FormatSectionHeader(assignment.Where);
        if (!ReadSettingsFile(header + "\nX=1\n", &again, &line, &error) || again.size() != 1 ||
            again[0].Where.Server != assignment.Where.Server ||
            again[0].Where.Resource != assignment.Where.Resource)
            abort();
        std::string value;
        if (DecodeValue(assignment.Value, &value, &error)) {
            std::string back;
            if (!DecodeValue(QuoteValue(value, 0), &back, &error) || back != value)
                abort();
        }
        std::vector<std::string> entries;
        if (DecodeList(assignment.Value, &entries, &error)) {
            std::vector<std::string> back;
            if (!DecodeList(EncodeList(entries), &back, &error) || back != entries)
                abort();
        }
    }
    return 0;
}
