// The table of every registry value the library reads or writes: where it
// lives, its type, the page that edits it, its default, what the page
// accepts and how the page shows it. The pages take their lists, bounds,
// clamps and mappings from here, and so can any other program that edits
// the same values. Pure data and text work, no Win32.
#ifndef ZEVR_SETTINGS_H
#define ZEVR_SETTINGS_H

#include <stddef.h>
#include <stdint.h>

enum SettingSheet { SheetNfsClient, SheetFileSharing, SheetNameService };

enum SettingPage {
    PageGeneral,
    PageSecurity,
    PageCaching,
    PageTuning,
    PageFiles,
    PageAdvanced,
    PageNfsServer,
    PageEventLog,
    PageNis,
};

// HiveUser is HKEY_CURRENT_USER, HiveMachine HKEY_LOCAL_MACHINE.
enum SettingHive { HiveUser, HiveMachine };

// ScopeLevels: a mount default, stored on the top level, per server or per
// resource, each inheriting from the one above. ScopeMachine: one value for
// the whole machine, never inherited.
enum SettingScope { ScopeLevels, ScopeMachine };

enum SettingType { TypeDword, TypeString, TypeMultiString };

// Where a missing value's default comes from. OriginBuiltIn: inherited, and
// at the top level the built-in default. OriginUnlisted: inherited, but no
// built-in row, so the top level gets 0 like any unknown name. OriginFixed:
// a constant of the page.
enum SettingOrigin { OriginBuiltIn, OriginUnlisted, OriginFixed };

// What a page accepts for a value.
enum SettingKind {
    KindFlag,     // check box or two-button radio group: 0 or 1
    KindList,     // editable number list: any number from Minimum to Maximum
    KindChoice,   // exactly one of Choices
    KindClamped,  // number field: any number, clamped to Minimum..Maximum
    KindNumber,   // any 32-bit number
    KindMask,     // nine permission bits, Minimum..Maximum is 0..511
    KindText,     // free text of at most Maximum characters
    KindHostList, // multi-string of host names, "*" alone for broadcast
    KindCodes,    // a string of one-letter codes out of Choices
};

// How a page shows a value other than as its stored number or text.
enum SettingDisplay {
    DisplayPlain,
    DisplayChoice,      // the choice's shown text
    DisplayUmask,       // permissions granted, as rwx triplets
    DisplayNamedZero,   // 0 is the list's named item (ZeroText)
    DisplayHostList,    // "broadcast", or the hosts joined by commas
    DisplaySearchOrder, // the codes' shown texts joined by commas
};

struct SettingChoice {
    uint32_t Number;   // the stored number (numbers)
    const char* Text;  // the stored text (texts, codes), or NULL
    const char* Shown; // how the page shows it
};

struct SettingRow {
    const char* Name;
    SettingSheet Sheet;
    SettingPage Page;
    SettingHive Hive;
    // ScopeLevels: the mount-defaults key name, found on each level.
    // ScopeMachine: the key below the suite's settings root, or from the
    // hive's root when Absolute is 1.
    const char* Key;
    int Absolute;
    SettingScope Scope;
    SettingType Type;
    SettingKind Kind;
    SettingOrigin Origin;
    uint32_t DefaultNumber;
    // Texts' default; a multi-string's is its strings one after another,
    // each terminated, closed by an empty string.
    const char* DefaultText;
    uint32_t Minimum;
    uint32_t Maximum;
    // Number lists: the items the page offers, in order, NULL-terminated.
    const char* const* Items;
    // Where the page adds its named item for 0 (DisplayNamedZero): before
    // Items (1) or after them (0); its text is ZeroText.
    int ZeroFirst;
    const char* ZeroText;
    const SettingChoice* Choices;
    int ChoiceCount;
    SettingDisplay Display;
    // The other end of a minimum/maximum pair, saved only in order.
    const char* Pair;
    int PairIsMinimum;
    // 1 when the pruning pass deletes the value where it equals what it
    // inherits.
    int Prunable;
    // 1 when no page reads the value back.
    int WriteOnly;
    const char* Note;
    // 1 when the page shows any other stored value as the first choice;
    // otherwise such a value is shown as stored (no button checked).
    int UnknownIsFirst;
    // A flag this value depends on: the page stores this value as 0 while
    // that flag is 0 (case-sensitive lookup needs names forced into a case).
    const char* Requires;
};

// Rows in table order: the NFS client sheet's pages in sheet order, then
// the file-sharing and the name-service sheet.
int GetSettingCount();
const SettingRow* GetSettingRow(int index);

// The row of valueName in the given key, or NULL. Names compare ignoring
// case, as the registry does; key is a row's Key.
const SettingRow* FindSettingInKey(SettingHive hive, const char* key, const char* valueName);
// The row of an NFS client setting by name, ignoring case (those names are
// unique), or NULL.
const SettingRow* FindNfsSetting(const char* valueName);
// The row of a page's value by name, ignoring case (unique on a page), or
// NULL.
const SettingRow* FindPageSetting(SettingPage page, const char* valueName);
// The row of a mount default by its exact name and type, as the built-in
// lookups of the store need it, or NULL.
const SettingRow* FindLevelSetting(const char* valueName, SettingType type);

const char* GetSheetName(SettingSheet sheet);
const char* GetPageName(SettingPage page);
const char* GetTypeName(SettingType type);

// The key path of a row below the settings root (ScopeMachine, not
// Absolute: Key itself; Absolute: from the hive's root). For ScopeLevels:
// the top level without server, zevrnfs\Servers\S\... with a server, and
// the resource's level with both. 1, or 0 with an empty output when a name
// is empty or holds a backslash, a resource comes without its server, a
// machine-wide row gets a server, or the path would not fit size bytes
// (at most LevelKeyPathSize, the longest settings sub-path plus one).
enum { LevelKeyPathSize = 256 };
int BuildSettingKeyPath(const SettingRow* row, const char* server, const char* resource,
                        char* output, size_t size);

enum SettingCheck { SettingRefused, SettingAccepted, SettingClamped };

// What the row's page does with value on save: keeps it, clamps it
// (*stored gets the clamped number) or refuses it (the stored value stays).
SettingCheck CheckSettingNumber(const SettingRow* row, uint32_t value, uint32_t* stored);
// The same for texts (KindChoice, KindText, KindCodes), and for a host list
// given as text (entries separated by commas, semicolons or blanks).
SettingCheck CheckSettingText(const SettingRow* row, const char* text);

// 1 when data, stored with the row's text or list type (size bytes, as
// read), is more than the row's page can show: with the terminators the
// page adds, longer than Maximum + 1 bytes. The page then leaves it as
// stored until its control is changed. Never for choices, which the page
// rewrites as its first.
int IsKeptAsStored(const SettingRow* row, const char* data, size_t size);

// Reads input as a person writes the value: the stored number or text, or
// the way the page shows it ("tcp", "automatic", "rwxr-xr-x", "forever"
// ...); a mask in octal as umask reads it ("22", "022", "0o22"), never in
// decimal. Then checks it as above. A number goes to *number, a text to
// text (size bytes).
SettingCheck ParseSettingInput(const SettingRow* row, const char* input, uint32_t* number,
                               char* text, size_t size);

// The value as the page shows it, in output (size bytes); the stored
// number or text when the row has no display mapping. A multi-string is
// given as stored. Returns output.
char* FormatSettingValue(const SettingRow* row, uint32_t number, const char* text, char* output,
                         size_t size);

// What the page accepts for the row, as one line for people ("512 to
// 32768", "one of: ~ ! @ ...", "0 or 1"); returns output.
char* DescribeAccepted(const SettingRow* row, char* output, size_t size);

// Why the row's page refuses input, as one phrase for people that names
// the rule: a mask's digit that is not octal or its nine bits, a host
// list's entries and length against the page's limit, or else "the page
// accepts ..." as above; returns output.
char* DescribeRefusal(const SettingRow* row, const char* input, char* output, size_t size);

// The other end of the row's minimum/maximum pair, or NULL; *isMinimum
// tells which end the row is.
const SettingRow* FindPairedSetting(const SettingRow* row, int* isMinimum);
// A pair is saved only while its minimum is not above its maximum.
int IsPairInOrder(uint32_t minimum, uint32_t maximum);

// The flag the row depends on, or NULL; the value may be non-zero only
// while that flag is.
const SettingRow* FindRequiredSetting(const SettingRow* row);
int IsRequirementMet(uint32_t value, uint32_t requiredValue);

// Creation mask and the permission boxes: a box is checked when its bit is
// clear. Bit 8 is the owner's read, bit 0 the others' execute; bits above
// the nine are dropped.
uint32_t GrantedFromUmask(uint32_t mask);
uint32_t UmaskFromGranted(uint32_t granted);
// "rwxr-xr-x" for 022 (10 bytes with its terminator); returns output.
char* FormatPermissions(uint32_t mask, char* output);

// The row's choice for a stored number or text, and its index in Choices;
// -1 when none matches.
// ASCII case folding, shared by the look-ups and the input parser.
char LowerCase(char c);
int SameIgnoringCase(const char* a, const char* b);
int FindChoiceByNumber(const SettingRow* row, uint32_t number);
int FindChoiceByText(const SettingRow* row, const char* text);

#endif
