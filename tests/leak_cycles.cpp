// Leak checks: open, apply and close each sheet many times in one process
// and compare kernel handles, GDI and USER objects and heap in use before
// and after, past a fixed warm-up. The cycle count comes from
// ZEVR_LEAK_CYCLES (10 unless set; the long run uses 500). Past the warm-up
// the counts come back exactly, and any growth fails, so ten cycles already
// catch one handle or a few hundred heap bytes lost per cycle. A measure that
// this system answers with a constant is reported as not measured.
#include "sandbox.h"
#include "sheet_driver.h"

#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

enum { WarmUpCycles = 5 };

static int CycleCount()
{
    const char* text = getenv("ZEVR_LEAK_CYCLES");
    int cycles = text != NULL ? atoi(text) : 0;
    return cycles > 0 ? cycles : 10;
}

// The system's handle list, counted for this process: Wine answers
// GetProcessHandleCount with 0, but lists every handle here.
static DWORD HandleCount()
{
    typedef LONG(WINAPI * QueryFunction)(ULONG, PVOID, ULONG, PULONG);
    static QueryFunction query = (QueryFunction)(void (*)())GetProcAddress(
        GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation");
    struct Entry {
        ULONG process;
        BYTE type, flags;
        USHORT handle;
        PVOID object;
        ULONG access;
    };
    enum { SystemHandleInformation = 16 };
    static std::vector<BYTE> buffer(1 << 20);
    ULONG needed = 0;
    while (query != NULL && query(SystemHandleInformation, buffer.data(), (ULONG)buffer.size(),
                                  &needed) == (LONG)0xC0000004) // length mismatch
        buffer.resize(buffer.size() * 2);
    if (query == NULL)
        return 0;
    ULONG count = *(ULONG*)buffer.data();
    const Entry* entries = (const Entry*)(buffer.data() + sizeof(ULONG_PTR));
    DWORD own = 0;
    for (ULONG i = 0; i < count; ++i)
        if (entries[i].process == GetCurrentProcessId())
            ++own;
    return own;
}

static DWORD GdiObjects()
{
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
}

static DWORD UserObjects()
{
    return GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
}

// Bytes in busy blocks of every heap of the process.
static DWORD HeapInUse()
{
    HANDLE heaps[64];
    DWORD count = GetProcessHeaps(64, heaps);
    DWORD total = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                total += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return total;
}

struct Measure {
    const char* name;
    DWORD (*read)();
    // Makes one object of the kind counted and frees it again, so that a
    // measure that does not move with it is known to be a constant.
    bool (*moves)();
};

static bool HandleCountMoves()
{
    DWORD before = HandleCount();
    HANDLE event = CreateEventA(NULL, FALSE, FALSE, NULL);
    bool moved = HandleCount() != before;
    CloseHandle(event);
    return moved;
}

static bool GdiObjectsMove()
{
    DWORD before = GdiObjects();
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    bool moved = GdiObjects() != before;
    DeleteObject(pen);
    return moved;
}

static bool UserObjectsMove()
{
    DWORD before = UserObjects();
    HMENU menu = CreateMenu();
    bool moved = UserObjects() != before;
    DestroyMenu(menu);
    return moved;
}

static bool HeapMoves()
{
    DWORD before = HeapInUse();
    void* block = HeapAlloc(GetProcessHeap(), 0, 4096);
    bool moved = HeapInUse() != before;
    HeapFree(GetProcessHeap(), 0, block);
    return moved;
}

static const Measure Measures[] = {
    {"kernel handles", HandleCount, HandleCountMoves},
    {"GDI objects", GdiObjects, GdiObjectsMove},
    {"USER objects", UserObjects, UserObjectsMove},
    {"heap bytes in use", HeapInUse, HeapMoves},
};
enum { MeasureCount = sizeof(Measures) / sizeof(Measures[0]) };

class Leaks : public SandboxTest {
  protected:
    void SetUp() override
    {
        library_ = LoadLibraryA("ZEVRNTPS.dll");
        ASSERT_NE(nullptr, library_);
    }
    void TearDown() override
    {
        FreeLibrary(library_);
    }

    // One cycle: open, visit every page, Apply, OK.
    bool Cycle(const char* entryName, const char* caption)
    {
        SheetDriver driver;
        auto entry = (ZevrEntryPoint)(void (*)())GetProcAddress(library_, entryName);
        if (!driver.Open(entry, caption))
            return false;
        for (int i = 1; i < driver.PageCount(); ++i)
            driver.SelectPage(i);
        driver.PressApply();
        driver.PressOk();
        return driver.WaitClosed() && driver.ResultText() == "TRUE";
    }

    void CheckCycles(const char* entryName, const char* caption)
    {
        for (int i = 0; i < WarmUpCycles; ++i)
            ASSERT_TRUE(Cycle(entryName, caption));
        DWORD before[MeasureCount];
        for (int m = 0; m < MeasureCount; ++m)
            before[m] = Measures[m].read();
        int cycles = CycleCount();
        DWORD start = GetTickCount();
        for (int i = 0; i < cycles; ++i)
            ASSERT_TRUE(Cycle(entryName, caption)) << "cycle " << i;
        DWORD elapsed = GetTickCount() - start;
        printf("%s: %d cycles after %d warm-up, %lu ms\n", entryName, cycles, (int)WarmUpCycles,
               (unsigned long)elapsed);
        for (int m = 0; m < MeasureCount; ++m) {
            DWORD after = Measures[m].read();
            if (!Measures[m].moves()) {
                printf("  %-18s not measured (answered with a constant: %lu)\n", Measures[m].name,
                       (unsigned long)after);
                continue;
            }
            printf("  %-18s %lu -> %lu, growth %ld\n", Measures[m].name, (unsigned long)before[m],
                   (unsigned long)after, (long)(after - before[m]));
            EXPECT_LE(after, before[m]) << Measures[m].name;
        }
    }

    HMODULE library_ = NULL;
};

TEST_F(Leaks, NfsClientSheetCyclesLeaveNothingBehind)
{
    CheckCycles("NFSClientProperty", "Quellmar NFS Client Configuration");
}

TEST_F(Leaks, SharingSheetCyclesLeaveNothingBehind)
{
    CheckCycles("PrintSharingProperty", "Quellmar File Sharing Configuration");
}

TEST_F(Leaks, NameServiceSheetCyclesLeaveNothingBehind)
{
    CheckCycles("NISProperty", "Quellmar NIS/NIS+ Name Service Configuration");
}
