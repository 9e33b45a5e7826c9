// Times the three sheets of ZEVRNTPS.dll against the platform floor: a bare
// sheet of the same dialog templates from the same DLL, whose page
// procedures do nothing. Library and floor run interleaved (their order
// alternates from round to round) in one process, each session on a fresh
// registry; the figures are medians over the rounds, and the best round.
//
// A session opens the sheet (open: the call of the export to idle), visits
// the other pages in the sheet's own order (each visit: the page change to
// idle), then presses OK on the last page (OK: the press to the export's
// return). For the NFS client sheet that order is General (shown on open),
// Security, Caching, Tuning, Files and Folders, Advanced; its OK applies all
// six pages, and the pruning pass runs twice (after the General page and
// after the Files and Folders page save).
//
// The name-service template names the address control's class, which the
// floor registers as a bare window. A second floor, "NIS, 4 fields", gives
// those windows four edit fields each, as the library's control has: the
// gap between the two floors is what the control's design costs.
//
// It then counts the registry calls the DLL makes while opening, visiting
// and applying each sheet, on a fresh registry and on registries holding a
// server tree: every registry function the DLL imports is replaced, in its
// import table, by a counting wrapper.
//
//   sheet_bench [ROUNDS]      (default 15; one warm-up round is not counted)
//
// HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE of the process are redirected to
// HKEY_CURRENT_USER\ZevrBench\<process id>, which is deleted afterwards.
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "benchcommon.h"
#include "benchsheet.h"
#include "iat.h"
#include "zevrntps.h"

enum { MaxPages = 6, MaxRounds = 200 };

struct SheetKind {
    const char* Name;
    const char* Export;
    UINT TitleId;
    int Templates[MaxPages];
    int PageCount;
    bool AddressClass; // its template holds "ZEVRIPAddress" controls
    double OpenTarget;
    // The floor's address windows hold four edit fields each, as the
    // library's address control does; beside the bare floor this shows
    // what that control costs.
    bool FieldedFloor;
};

static const SheetKind Sheets[] = {
    {"NFS client", "NFSClientProperty", 34, {107, 109, 111, 112, 113, 114}, 6, false, 1.05, false},
    {"file sharing", "PrintSharingProperty", 35, {104, 106}, 2, false, 1.15, false},
    {"name service", "NISProperty", 36, {115}, 1, true, 1.15, false},
    {"NIS, 4 fields", "NISProperty", 36, {115}, 1, true, 1.15, true},
};
enum { SheetCount = sizeof(Sheets) / sizeof(Sheets[0]) };

static const char* const NfsPageNames[MaxPages] = {"General", "Security", "Caching",
                                                   "Tuning",  "Files",    "Advanced"};

static HMODULE Library;

// One session's figures: open, each page visit (index 0 unused), OK.
struct Session {
    StepTime Open;
    StepTime Visit[MaxPages];
    StepTime Ok;
};

static Session Results[SheetCount][2][MaxRounds]; // [sheet][floor?][round]

// The library's sheet: the export, called as network setup calls it.
static void LibraryBody(void* context)
{
    const SheetKind* kind = (const SheetKind*)context;
    ZevrEntryPoint entry = (ZevrEntryPoint)(void (*)())GetProcAddress(Library, kind->Export);
    char parent[] = "0";
    char* argv[2] = {parent, NULL};
    char* result = NULL;
    entry(1, argv, &result);
}

static INT_PTR CALLBACK BarePageProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// The same frame style as the library's sheets get.
static int CALLBACK BareSheetCallback(HWND, UINT message, LPARAM lParam)
{
    if (message == PSCB_PRECREATE) {
        DLGTEMPLATE* plain = (DLGTEMPLATE*)lParam;
        if (((WORD*)plain)[1] == 0xFFFF)
            ((DWORD*)plain)[3] |= WS_SYSMENU;
        else
            plain->style |= WS_SYSMENU;
    }
    return 0;
}

// The floor: the same header, templates and caption, pages that do nothing.
static void FloorBody(void* context)
{
    const SheetKind* kind = (const SheetKind*)context;
    static char title[256];
    LoadStringA(Library, kind->TitleId, title, sizeof(title));
    PROPSHEETPAGEA_V1 pages[MaxPages] = {};
    for (int i = 0; i < kind->PageCount; ++i) {
        pages[i].dwSize = sizeof(PROPSHEETPAGEA_V1);
        pages[i].dwFlags = PSP_DEFAULT;
        pages[i].hInstance = Library;
        pages[i].pszTemplate = MAKEINTRESOURCEA(kind->Templates[i]);
        pages[i].pfnDlgProc = BarePageProc;
    }
    PROPSHEETHEADERA header = {};
    header.dwSize = PROPSHEETHEADERA_V1_SIZE;
    header.dwFlags = PSH_USEICONID | PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    header.hInstance = Library;
    header.pszCaption = title;
    header.nPages = kind->PageCount;
    header.ppsp = (LPCPROPSHEETPAGEA)pages;
    header.pfnCallback = BareSheetCallback;
    PropertySheetA(&header);
}

static LRESULT CALLBACK FieldedAddressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        const CREATESTRUCTA* create = (const CREATESTRUCTA*)lParam;
        int width = (create->cx - 14) / 4;
        for (int i = 0; i < 4; ++i)
            CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_CENTER,
                            (width + 3) * i + 2, 2, width - 1, create->cy - 4, window,
                            (HMENU)(INT_PTR)i, Library, NULL);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The name-service template names the address control's class; the floor
// registers a bare window of that name, only while its own sheet is open so
// that the library's registration never meets it.
static void SetBareAddressClass(bool registered, bool fielded)
{
    if (!registered) {
        UnregisterClassA("ZEVRIPAddress", Library);
        return;
    }
    WNDCLASSA cls = {};
    cls.style = CS_GLOBALCLASS;
    cls.lpfnWndProc = fielded ? FieldedAddressProc : DefWindowProcA;
    cls.hInstance = Library;
    cls.lpszClassName = "ZEVRIPAddress";
    RegisterClassA(&cls);
}

static bool RunSession(const SheetKind& kind, bool floor, Session* session)
{
    FreshScratch();
    if (floor && kind.AddressClass)
        SetBareAddressClass(true, kind.FieldedFloor);
    session->Open = TimeOpen(floor ? FloorBody : LibraryBody, (void*)&kind);
    bool ok = session->Open.Wall >= 0;
    for (int page = 1; ok && page < kind.PageCount; ++page) {
        session->Visit[page] = TimeStep(PSM_SETCURSEL, page, 0);
        ok = session->Visit[page].Wall >= 0;
    }
    if (ok) {
        session->Ok = TimeOk();
        ok = session->Ok.Wall >= 0;
    }
    if (floor && kind.AddressClass)
        SetBareAddressClass(false, false);
    if (!ok)
        fprintf(stderr, "sheet_bench: the %s sheet (%s) did not become idle or close\n", kind.Name,
                floor ? "floor" : "library");
    return ok;
}

// Registry calls of the DLL, through its import table.
enum { CountedFunctions = 9 };
static LONG Calls;
static void* RealFunctions[CountedFunctions];

#define COUNTED(index, name, params, args)                                                         \
    static LSTATUS WINAPI Counted##name params                                                     \
    {                                                                                              \
        InterlockedIncrement(&Calls);                                                              \
        return ((decltype(&name))RealFunctions[index])args;                                        \
    }
COUNTED(0, RegOpenKeyA, (HKEY a, LPCSTR b, PHKEY c), (a, b, c))
COUNTED(1, RegCreateKeyA, (HKEY a, LPCSTR b, PHKEY c), (a, b, c))
COUNTED(2, RegCloseKey, (HKEY a), (a))
COUNTED(3, RegDeleteKeyA, (HKEY a, LPCSTR b), (a, b))
COUNTED(4, RegDeleteValueA, (HKEY a, LPCSTR b), (a, b))
COUNTED(5, RegEnumKeyA, (HKEY a, DWORD b, LPSTR c, DWORD d), (a, b, c, d))
COUNTED(6, RegEnumValueA,
        (HKEY a, DWORD b, LPSTR c, LPDWORD d, LPDWORD e, LPDWORD f, LPBYTE g, LPDWORD h),
        (a, b, c, d, e, f, g, h))
COUNTED(7, RegQueryValueExA, (HKEY a, LPCSTR b, LPDWORD c, LPDWORD d, LPBYTE e, LPDWORD f),
        (a, b, c, d, e, f))
COUNTED(8, RegSetValueExA, (HKEY a, LPCSTR b, DWORD c, DWORD d, const BYTE* e, DWORD f),
        (a, b, c, d, e, f))
#undef COUNTED

static const struct {
    const char* Name;
    void* Wrapper;
} CountedTable[CountedFunctions] = {
    {"RegOpenKeyA", (void*)CountedRegOpenKeyA},
    {"RegCreateKeyA", (void*)CountedRegCreateKeyA},
    {"RegCloseKey", (void*)CountedRegCloseKey},
    {"RegDeleteKeyA", (void*)CountedRegDeleteKeyA},
    {"RegDeleteValueA", (void*)CountedRegDeleteValueA},
    {"RegEnumKeyA", (void*)CountedRegEnumKeyA},
    {"RegEnumValueA", (void*)CountedRegEnumValueA},
    {"RegQueryValueExA", (void*)CountedRegQueryValueExA},
    {"RegSetValueExA", (void*)CountedRegSetValueExA},
};

// Imports the DLL does not have stay NULL and are not replaced.
static void CountRegistryCalls(bool on)
{
    for (int i = 0; i < CountedFunctions; ++i) {
        if (on) {
            RealFunctions[i] = ReplaceImport(Library, "advapi32.dll", CountedTable[i].Name,
                                             CountedTable[i].Wrapper);
        } else if (RealFunctions[i] != NULL) {
            ReplaceImport(Library, "advapi32.dll", CountedTable[i].Name, RealFunctions[i]);
            RealFunctions[i] = NULL;
        }
    }
}

static void PrintRatio(const char* sheet, const char* what, double* library, double* floor,
                       int rounds, double target)
{
    double ratios[MaxRounds];
    for (int i = 0; i < rounds; ++i)
        ratios[i] = floor[i] > 0 ? library[i] / floor[i] : 0;
    double q1 = Quartile(ratios, rounds, 1), q3 = Quartile(ratios, rounds, 3);
    double lib = Median(library, rounds), bare = Median(floor, rounds);
    double ratio = bare > 0 ? lib / bare : 0;
    // Sorted by Median: the best rounds come first.
    printf("%-13s %-13s %7.1f %7.1f %5.2f %4.2f-%4.2f %7.1f %7.1f %5.2f  <= %4.2f %s\n", sheet,
           what, lib, bare, ratio, q1, q3, library[0], floor[0],
           floor[0] > 0 ? library[0] / floor[0] : 0, target, ratio <= target ? "met" : "ABOVE");
}

static double Pick(const StepTime& time, bool cpu)
{
    return cpu ? time.Cpu : time.Wall;
}

static void PrintTimes(int rounds, bool cpu)
{
    printf("\n%s in ms, %d rounds; floor: a bare sheet of the same templates; q1-q3: quartiles "
           "of the rounds' own ratios; best: the fastest round of each\n",
           cpu ? "CPU time" : "wall time", rounds);
    printf("%-13s %-13s %7s %7s %5s %9s %7s %7s %5s  %s\n", "", "", "median", "", "", "", "best",
           "", "", "");
    printf("%-13s %-13s %7s %7s %5s %9s %7s %7s %5s  %s\n", "sheet", "measure", "library", "floor",
           "ratio", "q1-q3", "library", "floor", "ratio", "target (median)");
    double library[MaxRounds], floor[MaxRounds];
    for (int s = 0; s < SheetCount; ++s) {
        const SheetKind& kind = Sheets[s];
        for (int r = 0; r < rounds; ++r) {
            library[r] = Pick(Results[s][0][r].Open, cpu);
            floor[r] = Pick(Results[s][1][r].Open, cpu);
        }
        PrintRatio(kind.Name, "open", library, floor, rounds, kind.OpenTarget);
        if (kind.PageCount > 1) {
            for (int r = 0; r < rounds; ++r) {
                for (int f = 0; f < 2; ++f) {
                    const Session& session = Results[s][f][r];
                    double total = Pick(session.Open, cpu);
                    for (int page = 1; page < kind.PageCount; ++page)
                        total += Pick(session.Visit[page], cpu);
                    (f ? floor : library)[r] = total;
                }
            }
            PrintRatio(kind.Name, "all pages", library, floor, rounds, 1.5);
        }
        for (int r = 0; r < rounds; ++r) {
            library[r] = Pick(Results[s][0][r].Ok, cpu);
            floor[r] = Pick(Results[s][1][r].Ok, cpu);
        }
        PrintRatio(kind.Name, "OK to return", library, floor, rounds, 1.5);
    }

    printf("NFS client pages, open or visit (library, floor, difference):\n");
    for (int page = 0; page < Sheets[0].PageCount; ++page) {
        for (int r = 0; r < rounds; ++r) {
            for (int f = 0; f < 2; ++f) {
                const Session& session = Results[0][f][r];
                (f ? floor : library)[r] =
                    Pick(page == 0 ? session.Open : session.Visit[page], cpu);
            }
        }
        double lib = Median(library, rounds), bare = Median(floor, rounds);
        printf("  %-9s %8.1f %8.1f %+7.1f   best %6.1f %6.1f %+6.1f\n", NfsPageNames[page], lib,
               bare, lib - bare, library[0], floor[0], library[0] - floor[0]);
    }
}

// Registry calls of one library session: opening, the page visits, OK.
static void CountSession(const SheetKind& kind, int servers, int resources)
{
    FreshScratch();
    long keys = 0, values = 0;
    if (servers > 0) {
        BuildTree(servers, resources);
        CountTree(&keys, &values);
    }
    CountRegistryCalls(true);
    Calls = 0;
    StepTime open = TimeOpen(LibraryBody, (void*)&kind);
    LONG opening = Calls;
    for (int page = 1; open.Wall >= 0 && page < kind.PageCount; ++page)
        TimeStep(PSM_SETCURSEL, page, 0);
    LONG visiting = Calls - opening;
    TimeOk();
    LONG applying = Calls - opening - visiting;
    CountRegistryCalls(false);

    char size[32] = "fresh";
    if (servers > 0)
        snprintf(size, sizeof(size), "%dx%d", servers, resources);
    printf("%-13s %-8s %6ld %7ld %8ld %8ld", kind.Name, size, keys, (long)opening, (long)visiting,
           (long)applying);
    if (keys > 0)
        printf(" %9.1f", (double)applying / (double)keys);
    printf("\n");
}

int main(int argc, char** argv)
{
    int rounds = argc > 1 ? atoi(argv[1]) : 15;
    if (rounds < 1 || rounds > MaxRounds) {
        fprintf(stderr, "sheet_bench: ROUNDS is 1 to %d\n", MaxRounds);
        return 2;
    }
    Library = LoadLibraryA("ZEVRNTPS.dll");
    if (Library == NULL) {
        fprintf(stderr, "sheet_bench: ZEVRNTPS.dll does not load (%lu)\n", GetLastError());
        return 1;
    }
    if (!StartSheetThread())
        return 1;
    printf("sheet_bench: ZEVRNTPS.dll, %s build\n", sizeof(void*) == 8 ? "x86_64" : "i686");

    for (int round = -1; round < rounds; ++round) {
        for (int s = 0; s < SheetCount; ++s) {
            // Library first in even rounds, floor first in odd ones.
            for (int i = 0; i < 2; ++i) {
                int floor = (round & 1) ? 1 - i : i;
                Session session = {};
                if (!RunSession(Sheets[s], floor != 0, &session)) {
                    DropScratch();
                    return 1;
                }
                if (round >= 0)
                    Results[s][floor][round] = session;
            }
        }
        fprintf(stderr, ".");
    }
    fprintf(stderr, "\n");
    PrintTimes(rounds, false);
    if (SheetCpuKnown()) {
        printf("\nCPU time: the sheet thread's%s\n",
               CpuServerCount() > 0 ? ", the wineserver's and the X server's" : " only");
        PrintTimes(rounds, true);
    }

    printf("\nregistry calls of the DLL (its import table counted):\n");
    printf("%-13s %-8s %6s %7s %8s %8s %9s\n", "sheet", "registry", "keys", "open", "visits", "OK",
           "OK/key");
    static const int trees[][2] = {{0, 0}, {10, 10}, {300, 10}};
    for (const SheetKind& kind : Sheets) {
        if (kind.FieldedFloor)
            continue;
        for (const auto& tree : trees)
            CountSession(kind, tree[0], tree[1]);
    }
    DropScratch();
    return 0;
}
