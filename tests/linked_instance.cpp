// A program that links the library's code gets no DllMain call for it: the
// library's resources are the program's own.
#include "sheet.h"

static struct LinkedInstance {
    LinkedInstance()
    {
        ModuleInstance = GetModuleHandleA(NULL);
    }
} linkedInstance;
