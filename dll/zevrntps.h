// Public interface of ZEVRNTPS.dll: the five procedures that network setup
// calls. Each takes the argument count, the argument strings (argv[0] is the
// parent window handle in hexadecimal, without prefix) and a place that
// receives a pointer to the result text, "TRUE" or "FALSE". Every procedure
// returns TRUE; the outcome is told by the result text alone.
//
// They use the C calling convention, as every library procedure that setup
// scripts call does: the caller removes the arguments.
#ifndef ZEVRNTPS_H
#define ZEVRNTPS_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

BOOL __cdecl NFSClientProperty(DWORD argc, LPSTR argv[], LPSTR* result);
BOOL __cdecl NISProperty(DWORD argc, LPSTR argv[], LPSTR* result);
BOOL __cdecl NISInstall(DWORD argc, LPSTR argv[], LPSTR* result);
BOOL __cdecl NISRemove(DWORD argc, LPSTR argv[], LPSTR* result);
BOOL __cdecl PrintSharingProperty(DWORD argc, LPSTR argv[], LPSTR* result);

// The type of every entry point, for callers that look them up by name.
typedef BOOL(__cdecl* ZevrEntryPoint)(DWORD argc, LPSTR argv[], LPSTR* result);

#ifdef __cplusplus
}
#endif

#endif
