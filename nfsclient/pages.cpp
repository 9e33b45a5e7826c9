#include "nfsclient.h"

// The pages join this list as they are built: General, Security, Caching,
// Tuning, Files and Folders, Advanced.
void AddNfsClientPages()
{
}
