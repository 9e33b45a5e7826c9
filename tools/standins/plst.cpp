// Stand-in for the list library: nothing is called in it; it records being
// loaded and unloaded.
#include "record.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        RecordStandInEvent("ZEVRPLST load");
    else if (reason == DLL_PROCESS_DETACH)
        RecordStandInEvent("ZEVRPLST unload");
    return TRUE;
}

extern "C" int ListLibraryVersion()
{
    return 1;
}
