// Public interface of ZEVRNTPS.dll: the five procedures that network setup
// calls. Each takes the argument count, the argument strings (argv[0] is the
// parent window handle in hexadecimal, without prefix) and a place that
// receives a pointer to the result text, "TRUE" or "FALSE". Every procedure
// returns TRUE; the outcome is told by the result text alone.
#ifndef ZEVRNTPS_H
#define ZEVRNTPS_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

BOOL NFSClientProperty(DWORD argc, LPSTR argv[], LPSTR* result);
BOOL NISProperty(DWORD argc, LPSTR argv[], LPSTR* result);
BOOL NISInstall(DWORD argc, LPSTR argv[], LPSTR* result);
BOOL NISRemove(DWORD argc, LPSTR argv[], LPSTR* result);
BOOL PrintSharingProperty(DWORD argc, LPSTR argv[], LPSTR* result);

// The type of every entry point, for callers that look them up by name.
typedef BOOL (*ZevrEntryPoint)(DWORD argc, LPSTR argv[], LPSTR* result);

#ifdef __cplusplus
}
#endif

#endif
