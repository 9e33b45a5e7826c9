// How the stand-ins tell the tests what happened to them: each event is
// appended to the text value "Log" of HKEY_CURRENT_USER\ZevrStandIns as
// "event;". Under a redirected HKEY_CURRENT_USER each test sees its own log.
#ifndef ZEVR_STANDIN_RECORD_H
#define ZEVR_STANDIN_RECORD_H

#include <windows.h>
#include <string.h>

#define STANDIN_LOG_KEY "ZevrStandIns"
#define STANDIN_LOG_VALUE "Log"

static inline void RecordStandInEvent(const char* event)
{
    HKEY key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, STANDIN_LOG_KEY, &key) != ERROR_SUCCESS)
        return;
    char log[4096] = "";
    DWORD size = sizeof(log) - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, STANDIN_LOG_VALUE, NULL, &type, (BYTE*)log, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        log[0] = '\0';
    log[sizeof(log) - 1] = '\0';
    size_t used = strlen(log);
    size_t add = strlen(event);
    if (used + add + 2 < sizeof(log)) {
        memcpy(log + used, event, add);
        log[used + add] = ';';
        log[used + add + 1] = '\0';
        RegSetValueExA(key, STANDIN_LOG_VALUE, 0, REG_SZ, (const BYTE*)log, (DWORD)strlen(log) + 1);
    }
    RegCloseKey(key);
}

#endif
