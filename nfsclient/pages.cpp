#include "nfsclient.h"

// The sheet opens on the General page, which coordinates the others, so it
// comes first. Security and Tuning join this list in their places as they
// are built.
void AddNfsClientPages()
{
    AddGeneralPage();
    AddCachingPage();
    AddFilesPage();
    AddAdvancedPage();
}
