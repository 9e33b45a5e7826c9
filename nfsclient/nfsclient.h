// The NFS client sheet: its page adders, in the order the sheet shows them.
#ifndef ZEVR_NFSCLIENT_H
#define ZEVR_NFSCLIENT_H

void AddNfsClientPages();

#endif
