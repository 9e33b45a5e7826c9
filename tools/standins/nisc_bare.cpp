// A provider library that lacks the three exports: it only records that it
// was loaded and unloaded.
#include "record.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        RecordStandInEvent("ZEVRNISC load");
    else if (reason == DLL_PROCESS_DETACH)
        RecordStandInEvent("ZEVRNISC unload");
    return TRUE;
}

extern "C" int NspVersion()
{
    return 1;
}
