// The file-sharing sheet's pages and the list library kept loaded around it.
#include "sharing.h"

// Loaded only to stay resident while the sheet is open; nothing in it is
// called.
static HMODULE ListLibrary;

void AddSharingPages()
{
    AddNfsServerPage();
    AddEventLogPage();
}

int LoadListLibrary()
{
    ListLibrary = LoadLibraryA("ZEVRPLST.dll");
    return ListLibrary != NULL ? 1 : 0;
}

void FreeListLibrary()
{
    if (ListLibrary == NULL)
        return;
    FreeLibrary(ListLibrary);
    // A later sheet must not free it a second time.
    ListLibrary = NULL;
}
