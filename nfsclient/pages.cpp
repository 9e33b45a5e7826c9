#include "nfsclient.h"

// The sheet opens on the General page, which coordinates the others, so it
// comes first.
void AddNfsClientPages()
{
    AddGeneralPage();
    AddSecurityPage();
    AddCachingPage();
    AddTuningPage();
    AddFilesPage();
    AddAdvancedPage();
}
