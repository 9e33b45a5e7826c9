// Any input, for every row of the settings table: parsing never overruns,
// what it accepts the row's check accepts as stored and can show, and what
// it refuses has a reason.
#include "settings.h"

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string input((const char*)data, size);
    input = input.c_str(); // up to the first zero byte, as a C text
    for (int i = 0; i < GetSettingCount(); ++i) {
        const SettingRow* row = GetSettingRow(i);
        uint32_t number = 0;
        char text[64] = "";
        SettingCheck check = ParseSettingInput(row, input.c_str(), &number, text, sizeof(text));
        char shown[32];
        FormatSettingValue(row, number, check != SettingRefused ? text : input.c_str(), shown,
                           sizeof(shown));
        if (strlen(shown) >= sizeof(shown))
            abort();
        if (check == SettingRefused) {
            // The reason fits its buffer, terminated, and never comes out empty.
            char why[48];
            if (DescribeRefusal(row, input.c_str(), why, sizeof(why))[0] == '\0' ||
                strlen(why) >= sizeof(why))
                abort();
            continue;
        }
        SettingCheck again = row->Type == TypeDword ? CheckSettingNumber(row, number, NULL)
                                                    : CheckSettingText(row, text);
        // A clamped number is stored inside the bounds, where it is accepted.
        if (again != SettingAccepted)
            abort();
    }
    return 0;
}
