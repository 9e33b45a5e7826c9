// What the benchmarks share: a scratch registry for the process, the server
// tree they measure on, the measurements that need no library code (counts,
// a bare enumeration), and the clocks.
#ifndef ZEVR_BENCHCOMMON_H
#define ZEVR_BENCHCOMMON_H

#include <windows.h>

// Redirects the process's HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE to fresh,
// empty keys below HKEY_CURRENT_USER\ZevrBench\<process id>; the previous
// scratch registry, if any, goes first. DropScratch restores the real hives
// and removes everything.
void FreshScratch();
void DropScratch();

// N servers with M resources each below zevrnfs\Servers, every level holding
// both mount-defaults keys with a mix of values equal to what they inherit
// and values of their own. Only the Servers tree is volatile: the registry
// server never writes it to disk, so no save of a large tree lands inside a
// measurement, while the keys the pages create stay ordinary keys.
void BuildTree(int servers, int resources);

// Mount-defaults keys and their values in the tree, counted with the plain
// registry calls (no calls of the library's counters).
void CountTree(long* keys, long* values);

// What any reader of the whole zevrnfs tree has to do at least: open each
// key, read its values with their data and its sub-key names, close it.
// Returns the registry calls made.
long BareEnumeration();

// Milliseconds since an arbitrary start, from the performance counter.
double NowMs();

// CPU time in ms, read from Linux's /proc through Wine's Z: drive: that of
// one thread (its Linux thread id, from CurrentLinuxThread on that thread),
// plus that of the servers working for it, whose process ids
// ZEVR_BENCH_SERVERS lists (the prefix's wineserver, which carries out every
// registry call, and the X server). Unlike wall time it does not grow when
// other programs take the processors. 0 when /proc cannot be read.
int CurrentLinuxThread();
double CpuMs(int linuxThread);
// How many server processes CpuMs adds.
int CpuServerCount();

#endif
