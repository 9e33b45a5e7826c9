#include "provider.h"

#include <windows.h>

typedef void (*ProviderFunction)();

void CallNameSpaceProvider(const char* exportName)
{
    HMODULE library = LoadLibraryA("ZEVRNISC.dll");
    if (library == NULL)
        return;
    // Through a generic function pointer: the export takes no arguments.
    ProviderFunction function = (ProviderFunction)(void (*)())GetProcAddress(library, exportName);
    if (function != NULL)
        function();
    FreeLibrary(library);
}

void InstallNameSpaceProvider()
{
    CallNameSpaceProvider("__NSPInstallNS");
}

void RemoveNameSpaceProvider()
{
    CallNameSpaceProvider("__NSPRemoveNS");
}

void SetNameSpaceOrder()
{
    CallNameSpaceProvider("__NSPSetNSOrder");
}
