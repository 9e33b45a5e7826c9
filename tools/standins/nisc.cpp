// Stand-in for the name-space provider library: records its load, unload
// and every call.
#include "record.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        RecordStandInEvent("ZEVRNISC load");
    else if (reason == DLL_PROCESS_DETACH)
        RecordStandInEvent("ZEVRNISC unload");
    return TRUE;
}

extern "C" void __NSPInstallNS()
{
    RecordStandInEvent("__NSPInstallNS");
}

extern "C" void __NSPRemoveNS()
{
    RecordStandInEvent("__NSPRemoveNS");
}

extern "C" void __NSPSetNSOrder()
{
    RecordStandInEvent("__NSPSetNSOrder");
    // The sheet's address-control class must be gone by now.
    WNDCLASSA cls;
    HMODULE caller = GetModuleHandleA("ZEVRNTPS.dll");
    if (caller != NULL && GetClassInfoA(caller, "ZEVRIPAddress", &cls))
        RecordStandInEvent("ZEVRIPAddress still registered");
}
