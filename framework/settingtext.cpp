// The settings' values as people type and read them: input in the forms the
// pages show ("tcp", "rwxr-xr-x", octal masks, named zeros) parsed into the
// stored value and checked, the stored value formatted the way the page
// shows it, one line describing what a row accepts and one saying why an
// input is refused. Kept apart from the table's look-ups; platform-free
// like them.
#include "settings.h"

#include <stdio.h>
#include <string.h>

// A decimal number of at most 32 bits, nothing else.
static int ParseDecimal(const char* text, uint32_t* value)
{
    if (text == NULL || *text == '\0')
        return 0;
    uint64_t result = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9')
            return 0;
        result = result * 10 + (uint64_t)(*p - '0');
        if (result > 0xFFFFFFFFu)
            return 0;
    }
    *value = (uint32_t)result;
    return 1;
}

// Nine characters, each the permission's letter (granted) or "-".
static int ParsePermissions(const char* text, uint32_t* mask)
{
    static const char letters[] = "rwxrwxrwx";
    if (text == NULL || strlen(text) != 9)
        return 0;
    uint32_t granted = 0;
    for (int i = 0; i < 9; ++i) {
        if (LowerCase(text[i]) == letters[i])
            granted |= 1u << (8 - i);
        else if (text[i] != '-')
            return 0;
    }
    *mask = UmaskFromGranted(granted);
    return 1;
}

// A mask as umask takes it: octal, with or without a leading "0" or "0o"
// ("22", "022", "0o22"). Beyond 32 bits is no number at all, rather than
// one that wrapped; the row's bounds refuse more than nine bits.
static int ParseOctal(const char* text, uint32_t* value)
{
    if (text == NULL)
        return 0;
    if (text[0] == '0' && (text[1] == 'o' || text[1] == 'O'))
        text += 2;
    if (*text == '\0')
        return 0;
    uint32_t result = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '7' || result > 0xFFFFFFFFu / 8)
            return 0;
        result = result * 8 + (uint32_t)(*p - '0');
    }
    *value = result;
    return 1;
}

static int CopyText(char* output, size_t size, const char* text)
{
    if (output == NULL || size == 0 || strlen(text) >= size)
        return 0;
    memcpy(output, text, strlen(text) + 1);
    return 1;
}

SettingCheck ParseSettingInput(const SettingRow* row, const char* input, uint32_t* number,
                               char* text, size_t size)
{
    if (row == NULL || input == NULL)
        return SettingRefused;
    if (row->Type != TypeDword) {
        const char* value = input;
        // The shown text ("automatic") stands for its stored text.
        if (row->Kind == KindChoice && FindChoiceByText(row, input) < 0) {
            for (int i = 0; i < row->ChoiceCount; ++i)
                if (SameIgnoringCase(row->Choices[i].Shown, input))
                    value = row->Choices[i].Text;
        }
        SettingCheck check = CheckSettingText(row, value);
        if (check == SettingRefused || !CopyText(text, size, value))
            return SettingRefused;
        return check;
    }
    uint32_t value = 0;
    int parsed = 0;
    // Masks are octal, as umask reads them: "22" is 18; never decimal, so
    // that "18" is refused rather than taken as 022.
    if (row->Kind == KindMask)
        parsed = ParseOctal(input, &value) || ParsePermissions(input, &value);
    else
        parsed = ParseDecimal(input, &value);
    if (!parsed && row->Display == DisplayNamedZero && row->ZeroText != NULL &&
        SameIgnoringCase(row->ZeroText, input)) {
        value = 0;
        parsed = 1;
    }
    if (!parsed && row->Kind == KindChoice) {
        for (int i = 0; i < row->ChoiceCount && !parsed; ++i)
            if (row->Choices[i].Text == NULL && SameIgnoringCase(row->Choices[i].Shown, input)) {
                value = row->Choices[i].Number;
                parsed = 1;
            }
    }
    if (!parsed)
        return SettingRefused;
    uint32_t stored = value;
    SettingCheck check = CheckSettingNumber(row, value, &stored);
    if (check != SettingRefused && number != NULL)
        *number = stored;
    return check;
}

uint32_t GrantedFromUmask(uint32_t mask)
{
    return ~mask & 0777u;
}

uint32_t UmaskFromGranted(uint32_t granted)
{
    return ~granted & 0777u;
}

char* FormatPermissions(uint32_t mask, char* output)
{
    static const char letters[] = "rwxrwxrwx";
    uint32_t granted = GrantedFromUmask(mask);
    for (int i = 0; i < 9; ++i)
        output[i] = (granted >> (8 - i)) & 1 ? letters[i] : '-';
    output[9] = '\0';
    return output;
}

// Appends text to output (size bytes) as far as it fits.
static void Append(char* output, size_t size, size_t* used, const char* text)
{
    for (; *text != '\0' && *used + 1 < size; ++text)
        output[(*used)++] = *text;
    output[*used] = '\0';
}

char* FormatSettingValue(const SettingRow* row, uint32_t number, const char* text, char* output,
                         size_t size)
{
    if (output == NULL || size == 0)
        return output;
    output[0] = '\0';
    if (row == NULL)
        return output;
    size_t used = 0;
    char buffer[16];
    if (text == NULL)
        text = "";
    switch (row->Display) {
    case DisplayChoice: {
        int index =
            row->Type == TypeDword ? FindChoiceByNumber(row, number) : FindChoiceByText(row, text);
        if (index < 0 && row->UnknownIsFirst)
            index = 0;
        if (index >= 0) {
            Append(output, size, &used, row->Choices[index].Shown);
            return output;
        }
        break;
    }
    case DisplayUmask:
        Append(output, size, &used, FormatPermissions(number, buffer));
        return output;
    case DisplayNamedZero:
        if (number == 0 && row->ZeroText != NULL) {
            Append(output, size, &used, row->ZeroText);
            return output;
        }
        break;
    case DisplayHostList:
        if (strcmp(text, "*") == 0) {
            Append(output, size, &used, "broadcast");
            return output;
        }
        break;
    case DisplaySearchOrder: {
        char one[2] = {0, 0};
        for (const char* p = text; *p != '\0'; ++p) {
            one[0] = *p;
            int index = FindChoiceByText(row, one);
            if (index < 0)
                continue;
            if (used > 0)
                Append(output, size, &used, ", ");
            Append(output, size, &used, row->Choices[index].Shown);
        }
        return output;
    }
    case DisplayPlain:
        break;
    }
    if (row->Type == TypeDword) {
        snprintf(buffer, sizeof(buffer), "%lu", (unsigned long)number);
        Append(output, size, &used, buffer);
    } else {
        Append(output, size, &used, text);
    }
    return output;
}

char* DescribeAccepted(const SettingRow* row, char* output, size_t size)
{
    if (output == NULL || size == 0)
        return output;
    output[0] = '\0';
    if (row == NULL)
        return output;
    size_t used = 0;
    char buffer[48];
    switch (row->Kind) {
    case KindFlag:
        Append(output, size, &used, "0 or 1");
        break;
    case KindChoice:
        Append(output, size, &used, "one of:");
        for (int i = 0; i < row->ChoiceCount; ++i) {
            const SettingChoice& choice = row->Choices[i];
            char stored[16];
            if (choice.Text != NULL)
                snprintf(buffer, sizeof(buffer), " \"%s\"", choice.Text);
            else
                snprintf(buffer, sizeof(buffer), " %lu", (unsigned long)choice.Number);
            Append(output, size, &used, buffer);
            snprintf(stored, sizeof(stored), "%lu", (unsigned long)choice.Number);
            if (strcmp(choice.Shown, choice.Text != NULL ? choice.Text : stored) != 0) {
                snprintf(buffer, sizeof(buffer), " (%s)", choice.Shown);
                Append(output, size, &used, buffer);
            }
        }
        break;
    case KindList:
    case KindMask:
        snprintf(buffer, sizeof(buffer), "%lu to %lu", (unsigned long)row->Minimum,
                 (unsigned long)row->Maximum);
        Append(output, size, &used, buffer);
        break;
    case KindClamped:
        snprintf(buffer, sizeof(buffer), "any number, clamped to %lu to %lu",
                 (unsigned long)row->Minimum, (unsigned long)row->Maximum);
        Append(output, size, &used, buffer);
        break;
    case KindNumber:
        Append(output, size, &used, "any 32-bit number");
        break;
    case KindText:
        snprintf(buffer, sizeof(buffer), "text of at most %lu characters",
                 (unsigned long)row->Maximum);
        Append(output, size, &used, buffer);
        break;
    case KindHostList:
        Append(output, size, &used, "\"*\", or host names separated by commas");
        break;
    case KindCodes:
        Append(output, size, &used, "codes out of:");
        for (int i = 0; i < row->ChoiceCount; ++i) {
            snprintf(buffer, sizeof(buffer), " %s (%s)", row->Choices[i].Text,
                     row->Choices[i].Shown);
            Append(output, size, &used, buffer);
        }
        break;
    }
    return output;
}

// Host names as the page's field holds them: every run of characters other
// than separators is one, joined by single commas.
static void MeasureHostList(const char* text, size_t* entries, size_t* joined)
{
    *entries = 0;
    *joined = 0;
    for (const char* p = text; *p != '\0';) {
        if (strchr(",; \t", *p) != NULL) {
            ++p;
            continue;
        }
        *joined += *entries > 0 ? 1 : 0;
        ++*entries;
        for (; *p != '\0' && strchr(",; \t", *p) == NULL; ++p)
            ++*joined;
    }
}

char* DescribeRefusal(const SettingRow* row, const char* input, char* output, size_t size)
{
    if (output == NULL || size == 0)
        return output;
    output[0] = '\0';
    if (row == NULL || input == NULL)
        return output;
    size_t used = 0;
    char buffer[200];
    if (row->Kind == KindMask) {
        const char* digits =
            input[0] == '0' && (input[1] == 'o' || input[1] == 'O') ? input + 2 : input;
        const char* bad = NULL;
        bool number = *digits != '\0';
        for (const char* p = digits; *p != '\0'; ++p) {
            number = number && *p >= '0' && *p <= '9';
            if (bad == NULL && (*p == '8' || *p == '9'))
                bad = p;
        }
        if (number && bad != NULL)
            snprintf(buffer, sizeof(buffer),
                     "a mask is octal, as umask reads it, and %c is no octal digit", *bad);
        else if (number)
            snprintf(buffer, sizeof(buffer), "a mask holds nine permission bits: octal 0 to 777");
        else
            snprintf(buffer, sizeof(buffer),
                     "a mask is octal 0 to 777 (22, 022 or 0o22) or nine of r, w, x and - "
                     "(rwxr-xr-x)");
        Append(output, size, &used, buffer);
        return output;
    }
    if (row->Kind == KindHostList) {
        size_t entries = 0, joined = 0;
        MeasureHostList(input, &entries, &joined);
        if (joined > row->Maximum) {
            snprintf(buffer, sizeof(buffer),
                     "%lu host names take %lu characters joined by commas; the page holds at "
                     "most %lu (%lu bytes as stored)",
                     (unsigned long)entries, (unsigned long)joined, (unsigned long)row->Maximum,
                     (unsigned long)row->Maximum + 2);
            Append(output, size, &used, buffer);
            return output;
        }
    }
    Append(output, size, &used, "the page accepts ");
    DescribeAccepted(row, output + used, size - used);
    return output;
}
