// Measures the pruning pass of the NFS client settings store on trees of
// N servers with M resources each, every level holding both mount-defaults
// keys with a mix of values equal to what they inherit and values of their
// own, and then the whole apply path that runs it: OK on the NFS client
// sheet.
//
// Pruning: per size, on three fresh trees, a bare enumeration of the tree
// (open each key, read its values and sub-key names, close it) and then the
// pass on the same tree, side by side; the medians of both, their ratio,
// the registry calls the pass made (counted by the registry layer) per
// mount-defaults key, and the values and keys it deleted.
//
// Apply: per size, on three fresh trees, a bare enumeration of the tree,
// then the sheet is opened, its other five pages visited (Security, Caching,
// Tuning, Files and Folders, Advanced) and OK pressed on the last one; the
// time from OK to the return of the export beside the enumeration's, and
// the registry calls of opening, visiting and OK.
//
//   prune_bench [NxM ...]        (default: 10x10 100x10 300x10)
//
// HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE of the process are redirected to
// HKEY_CURRENT_USER\ZevrBench\<process id>, which is deleted afterwards: the
// real settings are never touched.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "benchcommon.h"
#include "benchsheet.h"
#include "registry.h"
#include "sheet.h"
#include "store.h"
#include "zevrntps.h"

enum { Runs = 3 };

struct PruneRun {
    double BareMs, PruneMs, BareCpu, PruneCpu;
    long BareCalls;
    DWORD Calls;
    long Keys, Values, ValuesDeleted, KeysDeleted;
};

struct ApplyRun {
    double OkMs, OkCpu, BareMs;
    long Keys, BareCalls;
    DWORD OpenCalls, VisitCalls, OkCalls;
};

static int MainThread;

static PruneRun PruneOnce(int servers, int resources)
{
    FreshScratch();
    BuildTree(servers, resources);
    PruneRun run;
    CountTree(&run.Keys, &run.Values);

    double cpu = CpuMs(MainThread);
    double start = NowMs();
    run.BareCalls = BareEnumeration();
    run.BareMs = NowMs() - start;
    run.BareCpu = CpuMs(MainThread) - cpu;

    DWORD callsBefore = GetRegistryCallCount();
    cpu = CpuMs(MainThread);
    start = NowMs();
    PruneInheritedValues();
    run.PruneMs = NowMs() - start;
    run.PruneCpu = CpuMs(MainThread) - cpu;
    run.Calls = GetRegistryCallCount() - callsBefore;

    long keysAfter, valuesAfter;
    CountTree(&keysAfter, &valuesAfter);
    run.ValuesDeleted = run.Values - valuesAfter;
    run.KeysDeleted = run.Keys - keysAfter;
    return run;
}

static void ShowNfsSheet(void*)
{
    char parent[] = "0";
    char* argv[2] = {parent, NULL};
    char* result = NULL;
    NFSClientProperty(1, argv, &result);
}

static bool ApplyOnce(int servers, int resources, ApplyRun* run)
{
    FreshScratch();
    BuildTree(servers, resources);
    long values;
    CountTree(&run->Keys, &values);
    double start = NowMs();
    run->BareCalls = BareEnumeration();
    run->BareMs = NowMs() - start;
    DWORD before = GetRegistryCallCount();
    if (TimeOpen(ShowNfsSheet, NULL).Wall < 0)
        return false;
    run->OpenCalls = GetRegistryCallCount() - before;
    before = GetRegistryCallCount();
    for (int page = 1; page < 6; ++page) {
        if (TimeStep(PSM_SETCURSEL, page, 0).Wall < 0)
            return false;
    }
    run->VisitCalls = GetRegistryCallCount() - before;
    before = GetRegistryCallCount();
    StepTime ok = TimeOk();
    run->OkMs = ok.Wall;
    run->OkCpu = ok.Cpu;
    run->OkCalls = GetRegistryCallCount() - before;
    return run->OkMs >= 0;
}

static bool ParseSize(const char* text, int* servers, int* resources)
{
    if (sscanf(text, "%dx%d", servers, resources) == 2 && *servers >= 0 && *resources >= 0)
        return true;
    fprintf(stderr, "prune_bench: size %s is not NxM\n", text);
    return false;
}

int main(int argc, char** argv)
{
    // The library's code is linked in: its resources are this program's.
    ModuleInstance = GetModuleHandleA(NULL);
    MainThread = CurrentLinuxThread();
    static const char* const defaults[] = {"10x10", "100x10", "300x10"};
    const char* const* sizes = defaults;
    int count = 3;
    if (argc > 1) {
        sizes = argv + 1;
        count = argc - 1;
    }

    printf("pruning pass (median of %d fresh trees; bare: open, read and close every key; "
           "CPU: %s)\n",
           Runs, CpuServerCount() > 0 ? "this thread's and the servers'" : "this thread's only");
    printf("servers resources  keys values  bare ms prune ms ratio  bare CPU prune CPU ratio "
           "bare calls prune calls calls/key deleted keys-deleted  bare/key net/key ratio\n");
    for (int i = 0; i < count; ++i) {
        int servers, resources;
        if (!ParseSize(sizes[i], &servers, &resources))
            continue;
        PruneRun runs[Runs];
        double bare[Runs], prune[Runs], bareCpu[Runs], pruneCpu[Runs];
        for (int r = 0; r < Runs; ++r) {
            runs[r] = PruneOnce(servers, resources);
            bare[r] = runs[r].BareMs;
            prune[r] = runs[r].PruneMs;
            bareCpu[r] = runs[r].BareCpu;
            pruneCpu[r] = runs[r].PruneCpu;
        }
        const PruneRun& run = runs[0];
        double bareMs = Median(bare, Runs), pruneMs = Median(prune, Runs);
        double bareCpuMs = Median(bareCpu, Runs), pruneCpuMs = Median(pruneCpu, Runs);
        // Net: the calls less the deletions, which a bare enumeration does
        // not make.
        double bareKey = (double)run.BareCalls / (double)run.Keys;
        double netKey =
            (double)((long)run.Calls - run.ValuesDeleted - run.KeysDeleted) / (double)run.Keys;
        printf("%7d %9d %5ld %6ld %8.1f %8.1f %5.2f %9.1f %9.1f %5.2f %10ld %11lu %9.1f %7ld "
               "%12ld %9.1f %7.1f %5.2f\n",
               servers, resources, run.Keys, run.Values, bareMs, pruneMs, pruneMs / bareMs,
               bareCpuMs, pruneCpuMs, bareCpuMs > 0 ? pruneCpuMs / bareCpuMs : 0, run.BareCalls,
               (unsigned long)run.Calls, (double)run.Calls / (double)run.Keys, run.ValuesDeleted,
               run.KeysDeleted, bareKey, netKey, netKey / bareKey);
        fflush(stdout);
    }

    if (!StartSheetThread()) {
        DropScratch();
        return 1;
    }
    printf("\napply path: OK on the NFS client sheet after visiting all six pages "
           "(median of %d fresh trees)\n",
           Runs);
    printf("servers resources  keys    OK ms  us/key   OK CPU  bare ms OK/bare open calls "
           "visit calls OK calls OK calls/key bare calls/key ratio\n");
    for (int i = 0; i < count; ++i) {
        int servers, resources;
        if (!ParseSize(sizes[i], &servers, &resources))
            continue;
        ApplyRun runs[Runs];
        double ok[Runs], okCpu[Runs], bare[Runs], okToBare[Runs];
        for (int r = 0; r < Runs; ++r) {
            if (!ApplyOnce(servers, resources, &runs[r])) {
                fprintf(stderr, "prune_bench: the NFS client sheet did not become idle or close\n");
                DropScratch();
                return 1;
            }
            ok[r] = runs[r].OkMs;
            okCpu[r] = runs[r].OkCpu;
            bare[r] = runs[r].BareMs;
            okToBare[r] = runs[r].OkMs / runs[r].BareMs;
        }
        const ApplyRun& run = runs[0];
        double okMs = Median(ok, Runs);
        double okKey = (double)run.OkCalls / (double)run.Keys;
        double bareKey = (double)run.BareCalls / (double)run.Keys;
        // OK/bare is the median of each tree's own ratio.
        printf("%7d %9d %5ld %8.1f %7.1f %8.1f %8.1f %7.2f %10lu %11lu %8lu %12.1f %14.1f %5.2f\n",
               servers, resources, run.Keys, okMs, okMs * 1000.0 / (double)run.Keys,
               Median(okCpu, Runs), Median(bare, Runs), Median(okToBare, Runs),
               (unsigned long)run.OpenCalls, (unsigned long)run.VisitCalls,
               (unsigned long)run.OkCalls, okKey, bareKey, okKey / bareKey);
        fflush(stdout);
    }
    DropScratch();
    return 0;
}
