#include "serverlist.h"

static int IsSeparator(char c)
{
    return c == ',' || c == ';' || c == ' ' || c == '\t';
}

int IsBroadcastList(const char* list)
{
    return list != NULL && list[0] == '*' && list[1] == '\0';
}

char* JoinServerList(char* list, size_t size)
{
    if (list == NULL || size == 0)
        return list;
    size_t i = 0;
    while (i < size && list[i] != '\0') {
        while (i < size && list[i] != '\0')
            ++i;
        // A terminator followed by a further entry becomes the comma.
        if (i + 1 < size && list[i + 1] != '\0')
            list[i++] = ',';
        else
            break;
    }
    // A list that was cut off without its terminators still ends here.
    if (i >= size)
        i = size - 1;
    list[i] = '\0';
    return list;
}

int SplitServerList(char* output, size_t size, const char* text)
{
    if (output == NULL || size == 0)
        return 0;
    size_t used = 0;
    const char* p = text != NULL ? text : "";
    while (*p != '\0') {
        if (IsSeparator(*p)) {
            ++p;
            continue;
        }
        // The entry, its terminator and the closing empty entry must fit.
        while (*p != '\0' && !IsSeparator(*p)) {
            if (used + 2 >= size) {
                output[0] = '\0';
                return 0;
            }
            output[used++] = *p++;
        }
        output[used++] = '\0';
    }
    output[used] = '\0';
    return 1;
}
