#include "settings.h"

#include <stdio.h>
#include <string.h>

static const char UserDefaults[] = "UserMountDefaults";
static const char MachineDefaults[] = "MachineMountDefaults";
static const char ServiceParameters[] = "System\\CurrentControlSet\\Services\\Zevrnfs\\Parameters";
static const char AuthServers[] = "zevrnfs\\Authentication\\Servers";
static const char Automounter[] = "zevrnfs\\Automounter";
static const char NfsServer[] = "zevrnfsd";
static const char NfsServerService[] = "SYSTEM\\CurrentControlSet\\Services\\Quellmar NFS Server";
static const char EventLog[] = "LOGGING";
static const char NameService[] = "zevrnfs\\NameServiceOptions";

static const char* const TransferSizes[] = {"512",  "1024",  "2048",  "4096",
                                            "8192", "16384", "32768", NULL};
static const char* const AttributeTimes[] = {"1", "5", "10", "20", "30", "40", "50", "60", NULL};
static const char* const CacheSizes[] = {"256", "512", "1024", "2048", "4096", NULL};
static const char* const MappingCounts[] = {"0", "256", "1024", NULL};
static const char* const Timeouts[] = {"5", "15", "30", "60", NULL};
static const char* const RetryCounts[] = {"1", "5", "10", NULL};

static const SettingChoice MappingCharacters[] = {
    {0, "~", "~"}, {0, "!", "!"}, {0, "@", "@"}, {0, "#", "#"}, {0, "%", "%"}, {0, "^", "^"},
    {0, "&", "&"}, {0, "(", "("}, {0, ")", ")"}, {0, "{", "{"}, {0, "}", "}"},
};
static const SettingChoice Transports[] = {
    {0, "", "automatic"}, {0, "tcp", "tcp"}, {0, "udp", "udp"}};
// The buttons offer version 3 before version 2.
static const SettingChoice Versions[] = {{0, NULL, "automatic"}, {3, NULL, "3"}, {2, NULL, "2"}};
static const SettingChoice NameCases[] = {{0, NULL, "lower"}, {1, NULL, "upper"}};
static const SettingChoice GroupSemantics[] = {{0, NULL, "System V"}, {1, NULL, "BSD"}};
// The service starts with the system (2) while the server is enabled, on
// demand (3) otherwise.
static const SettingChoice StartTypes[] = {{2, NULL, "automatic"}, {3, NULL, "on demand"}};
static const SettingChoice SearchCodes[] = {
    {0, "W", "Windows default"}, {0, "Y", "NIS"}, {0, "N", "NIS+"}};

#define CHOICES(list) list, (int)(sizeof(list) / sizeof(list[0]))

// Columns: name, sheet, page, hive, key, absolute, scope, type, kind, origin,
// default number, default text, minimum, maximum, items, zero first, zero
// text, choices, choice count, display, pair, pair is minimum, prunable,
// write-only, note, unknown is first, requires.
// clang-format off
static const SettingRow Rows[] = {
    {"ReadOnly", SheetNfsClient, PageGeneral, HiveUser, UserDefaults, 0, ScopeLevels, TypeDword,
     KindFlag, OriginBuiltIn, 0, NULL, 0, 1, NULL, 0, NULL, NULL, 0, DisplayPlain, NULL, 0, 1, 0,
     "1 mounts drives read-only", 0, NULL},
    {"LockingSharing", SheetNfsClient, PageGeneral, HiveUser, UserDefaults, 0, ScopeLevels,
     TypeDword, KindFlag, OriginBuiltIn, 0, NULL, 0, 1, NULL, 0, NULL, NULL, 0, DisplayPlain, NULL,
     0, 1, 0, "1 enables file locking and sharing", 0, NULL},
    {"ShortNameMappingCharacter", SheetNfsClient, PageGeneral, HiveUser, UserDefaults, 0,
     ScopeLevels, TypeString, KindChoice, OriginBuiltIn, 0, "~", 0, 1, NULL, 0, NULL,
     CHOICES(MappingCharacters), DisplayChoice, NULL, 0, 1, 0,
     "marks long names shortened to 8.3; any other stored text shows the first item", 1, NULL},
    {"RSize", SheetNfsClient, PageGeneral, HiveUser, MachineDefaults, 0, ScopeLevels, TypeDword,
     KindList, OriginBuiltIn, 32768, NULL, 512, 32768, TransferSizes, 0, NULL, NULL, 0,
     DisplayPlain, NULL, 0, 1, 0, "read transfer size in bytes", 0, NULL},
    {"WSize", SheetNfsClient, PageGeneral, HiveUser, MachineDefaults, 0, ScopeLevels, TypeDword,
     KindList, OriginBuiltIn, 32768, NULL, 512, 32768, TransferSizes, 0, NULL, NULL, 0,
     DisplayPlain, NULL, 0, 1, 0, "write transfer size in bytes", 0, NULL},
    {"UMask", SheetNfsClient, PageSecurity, HiveUser, UserDefaults, 0, ScopeLevels, TypeDword,
     KindMask, OriginBuiltIn, 18, NULL, 0, 511, NULL, 0, NULL, NULL, 0, DisplayUmask, NULL, 0, 1, 0,
     "creation mask of new files and folders; a set bit withholds that permission", 0, NULL},
    {"Hosts", SheetNfsClient, PageSecurity, HiveMachine, AuthServers, 0, ScopeMachine,
     TypeMultiString, KindHostList, OriginFixed, 0, "*\0", 0, 4093, NULL, 0, NULL, NULL, 0,
     DisplayHostList, NULL, 0, 0, 0,
     "authentication servers; \"*\" alone broadcasts; any other entry names a server", 0, NULL},
    {"CacheSizeK", SheetNfsClient, PageCaching, HiveMachine, ServiceParameters, 1, ScopeMachine,
     TypeDword, KindList, OriginFixed, 0, NULL, 0, 4096, CacheSizes, 1, "Automatic", NULL, 0,
     DisplayNamedZero, NULL, 0, 0, 0, "data cache size in kilobytes", 0, NULL},
    {"EnableDataCache", SheetNfsClient, PageCaching, HiveMachine, ServiceParameters, 1,
     ScopeMachine, TypeDword, KindFlag, OriginFixed, 1, NULL, 0, 1, NULL, 0, NULL, NULL, 0,
     DisplayPlain, NULL, 0, 0, 0, "1 enables the data cache", 0, NULL},
    {"NumMappedNames", SheetNfsClient, PageCaching, HiveMachine, ServiceParameters, 1, ScopeMachine,
     TypeDword, KindList, OriginFixed, 256, NULL, 0, 1024, MappingCounts, 0, NULL, NULL, 0,
     DisplayPlain, NULL, 0, 0, 0, "entries of the file-name cache", 0, NULL},
    {"AttrCacheOff", SheetNfsClient, PageCaching, HiveUser, UserDefaults, 0, ScopeLevels, TypeDword,
     KindFlag, OriginBuiltIn, 0, NULL, 0, 1, NULL, 0, NULL, NULL, 0, DisplayPlain, NULL, 0, 1, 0,
     "1 turns the attribute cache off (its box is checked for 0)", 0, NULL},
    {"AttrCacheDirMin", SheetNfsClient, PageCaching, HiveUser, UserDefaults, 0, ScopeLevels,
     TypeDword, KindList, OriginBuiltIn, 30, NULL, 1, 60, AttributeTimes, 0, NULL, NULL, 0,
     DisplayPlain, "AttrCacheDirMax", 1, 1, 0, "seconds folder attributes are kept, at least", 0, NULL},
    {"AttrCacheDirMax", SheetNfsClient, PageCaching, HiveUser, UserDefaults, 0, ScopeLevels,
     TypeDword, KindList, OriginBuiltIn, 60, NULL, 1, 60, AttributeTimes, 0, NULL, NULL, 0,
     DisplayPlain, "AttrCacheDirMin", 0, 1, 0, "seconds folder attributes are kept, at most", 0, NULL},
    {"AttrCacheRegMin", SheetNfsClient, PageCaching, HiveUser, UserDefaults, 0, ScopeLevels,
     TypeDword, KindList, OriginBuiltIn, 3, NULL, 1, 60, AttributeTimes, 0, NULL, NULL, 0,
     DisplayPlain, "AttrCacheRegMax", 1, 1, 0, "seconds file attributes are kept, at least", 0, NULL},
    {"AttrCacheRegMax", SheetNfsClient, PageCaching, HiveUser, UserDefaults, 0, ScopeLevels,
     TypeDword, KindList, OriginBuiltIn, 60, NULL, 1, 60, AttributeTimes, 0, NULL, NULL, 0,
     DisplayPlain, "AttrCacheRegMin", 0, 1, 0, "seconds file attributes are kept, at most", 0, NULL},
    {"Timeout", SheetNfsClient, PageTuning, HiveUser, MachineDefaults, 0, ScopeLevels, TypeDword,
     KindList, OriginBuiltIn, 0, NULL, 0, 60, Timeouts, 1, "Automatic", NULL, 0, DisplayNamedZero,
     NULL, 0, 1, 0, "seconds before a request is sent again (its control is hidden)", 0, NULL},
    {"BackoffMultiplier", SheetNfsClient, PageTuning, HiveUser, MachineDefaults, 0, ScopeLevels,
     TypeDword, KindClamped, OriginBuiltIn, 4, NULL, 1, 50, NULL, 0, NULL, NULL, 0, DisplayPlain,
     NULL, 0, 1, 0, "time-out growth per retry (its control is hidden)", 0, NULL},
    {"Retries", SheetNfsClient, PageTuning, HiveUser, UserDefaults, 0, ScopeLevels, TypeDword,
     KindList, OriginBuiltIn, 5, NULL, 0, 10, RetryCounts, 0, "forever", NULL, 0, DisplayNamedZero,
     NULL, 0, 1, 0, "times a request is sent again", 0, NULL},
    {"AsynchReadahead", SheetNfsClient, PageTuning, HiveMachine, ServiceParameters, 1, ScopeMachine,
     TypeDword, KindFlag, OriginFixed, 1, NULL, 0, 1, NULL, 0, NULL, NULL, 0, DisplayPlain, NULL, 0,
     0, 0, "1 reads ahead asynchronously", 0, NULL},
    {"IdleTime", SheetNfsClient, PageTuning, HiveMachine, Automounter, 0, ScopeMachine, TypeDword,
     KindClamped, OriginFixed, 300, NULL, 120, 1800, NULL, 0, NULL, NULL, 0, DisplayPlain, NULL, 0,
     0, 0, "seconds before the automounter releases an idle drive", 0, NULL},
    {"ArchiveBit", SheetNfsClient, PageFiles, HiveUser, UserDefaults, 0, ScopeLevels, TypeDword,
     KindFlag, OriginBuiltIn, 1, NULL, 0, 1, NULL, 0, NULL, NULL, 0, DisplayPlain, NULL, 0, 1, 0,
     "1 maps the archive attribute", 0, NULL},
    {"CaseSensitive", SheetNfsClient, PageFiles, HiveUser, UserDefaults, 0, ScopeLevels, TypeDword,
     KindFlag, OriginBuiltIn, 0, NULL, 0, 1, NULL, 0, NULL, NULL, 0, DisplayPlain, NULL, 0, 1, 0,
     "1 looks names up with case", 0, "CaseForce"},
    {"PreferredCaseIsUpper", SheetNfsClient, PageFiles, HiveUser, UserDefaults, 0, ScopeLevels,
     TypeDword, KindChoice, OriginBuiltIn, 0, NULL, 0, 1, NULL, 0, NULL, CHOICES(NameCases),
     DisplayChoice, NULL, 0, 1, 0, "the case names are forced into", 0, NULL},
    {"CaseForce", SheetNfsClient, PageFiles, HiveUser, UserDefaults, 0, ScopeLevels, TypeDword,
     KindFlag, OriginBuiltIn, 0, NULL, 0, 1, NULL, 0, NULL, NULL, 0, DisplayPlain, NULL, 0, 1, 0,
     "1 forces names into the preferred case", 0, NULL},
    {"UseBsdGroupSemantics", SheetNfsClient, PageFiles, HiveUser, UserDefaults, 0, ScopeLevels,
     TypeDword, KindChoice, OriginBuiltIn, 0, NULL, 0, 1, NULL, 0, NULL, CHOICES(GroupSemantics),
     DisplayChoice, NULL, 0, 1, 0, "group of new folders", 0, NULL},
    {"Transport", SheetNfsClient, PageAdvanced, HiveUser, MachineDefaults, 0, ScopeLevels,
     TypeString, KindChoice, OriginBuiltIn, 0, "", 0, 3, NULL, 0, NULL, CHOICES(Transports),
     DisplayChoice, NULL, 0, 1, 0, "texts compare with case; any other text is automatic", 1, NULL},
    {"NfsVersion", SheetNfsClient, PageAdvanced, HiveUser, UserDefaults, 0, ScopeLevels, TypeDword,
     KindChoice, OriginUnlisted, 0, NULL, 0, 3, NULL, 0, NULL, CHOICES(Versions), DisplayChoice,
     NULL, 0, 1, 0, "protocol version; any other number is automatic", 1, NULL},
    {"NfsPort", SheetNfsClient, PageAdvanced, HiveUser, UserDefaults, 0, ScopeLevels, TypeDword,
     KindNumber, OriginBuiltIn, 0, NULL, 0, 0xFFFFFFFFu, NULL, 0, "portmapper", NULL, 0,
     DisplayNamedZero, NULL, 0, 1, 0, "server port; 0 asks the portmapper", 0, NULL},

    {"Enable", SheetFileSharing, PageNfsServer, HiveMachine, NfsServer, 0, ScopeMachine, TypeDword,
     KindFlag, OriginFixed, 0, NULL, 0, 1, NULL, 0, NULL, NULL, 0, DisplayPlain, NULL, 0, 0, 0,
     "1 runs the NFS server", 0, NULL},
    {"Logging", SheetFileSharing, PageNfsServer, HiveMachine, NfsServer, 0, ScopeMachine, TypeDword,
     KindFlag, OriginFixed, 0, NULL, 0, 1, NULL, 0, NULL, NULL, 0, DisplayPlain, NULL, 0, 0, 0,
     "1 logs the server's activity", 0, NULL},
    {"Start", SheetFileSharing, PageNfsServer, HiveMachine, NfsServerService, 1, ScopeMachine,
     TypeDword, KindChoice, OriginFixed, 3, NULL, 2, 3, NULL, 0, NULL, CHOICES(StartTypes),
     DisplayChoice, NULL, 0, 0, 1, "the server service's start type, written from Enable", 0, NULL},
    {"Enable", SheetFileSharing, PageEventLog, HiveMachine, EventLog, 0, ScopeMachine, TypeDword,
     KindFlag, OriginFixed, 1, NULL, 0, 1, NULL, 0, NULL, NULL, 0, DisplayPlain, NULL, 0, 0, 0,
     "1 keeps the network event log", 0, NULL},
    {"Save", SheetFileSharing, PageEventLog, HiveMachine, EventLog, 0, ScopeMachine, TypeDword,
     KindFlag, OriginFixed, 1, NULL, 0, 1, NULL, 0, NULL, NULL, 0, DisplayPlain, NULL, 0, 0, 0,
     "1 also saves the log to File", 0, NULL},
    {"File", SheetFileSharing, PageEventLog, HiveMachine, EventLog, 0, ScopeMachine, TypeString,
     KindText, OriginFixed, 0, "C:\\LOGGING.TXT", 0, 255, NULL, 0, NULL, NULL, 0, DisplayPlain,
     NULL, 0, 0, 0, "saved only when that file exists or can be created", 0, NULL},

    {"Domain", SheetNameService, PageNis, HiveMachine, NameService, 0, ScopeMachine, TypeString,
     KindText, OriginFixed, 0, "", 0, 255, NULL, 0, NULL, NULL, 0, DisplayPlain, NULL, 0, 0, 0,
     "name service domain; checked as a domain name while a service is enabled", 0, NULL},
    {"NisServers", SheetNameService, PageNis, HiveMachine, NameService, 0, ScopeMachine, TypeString,
     KindText, OriginFixed, 0, "", 0, 179, NULL, 0, NULL, NULL, 0, DisplayPlain, NULL, 0, 0, 0,
     "up to 10 dotted addresses separated by blanks", 0, NULL},
    {"NisplusServers", SheetNameService, PageNis, HiveMachine, NameService, 0, ScopeMachine,
     TypeString, KindText, OriginFixed, 0, "", 0, 179, NULL, 0, NULL, NULL, 0, DisplayPlain, NULL,
     0, 0, 0, "up to 10 dotted addresses separated by blanks", 0, NULL},
    {"SearchOrder", SheetNameService, PageNis, HiveMachine, NameService, 0, ScopeMachine,
     TypeString, KindCodes, OriginFixed, 0, "W", 0, 34, NULL, 0, NULL, CHOICES(SearchCodes),
     DisplaySearchOrder, NULL, 0, 0, 0,
     "one code per entry: W, then at most one of Y and N; a service is enabled by its code", 0, NULL},
};
// clang-format on

enum { RowCount = (int)(sizeof(Rows) / sizeof(Rows[0])) };

int GetSettingCount()
{
    return RowCount;
}

const SettingRow* GetSettingRow(int index)
{
    return index >= 0 && index < RowCount ? &Rows[index] : NULL;
}

static char LowerCase(char c)
{
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

static int SameIgnoringCase(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (LowerCase(*a) != LowerCase(*b))
            return 0;
    return *a == *b;
}

const SettingRow* FindSettingInKey(SettingHive hive, const char* key, const char* valueName)
{
    if (key == NULL || valueName == NULL)
        return NULL;
    for (const SettingRow& row : Rows)
        if (row.Hive == hive && SameIgnoringCase(row.Key, key) &&
            SameIgnoringCase(row.Name, valueName))
            return &row;
    return NULL;
}

const SettingRow* FindNfsSetting(const char* valueName)
{
    if (valueName == NULL)
        return NULL;
    for (const SettingRow& row : Rows)
        if (row.Sheet == SheetNfsClient && SameIgnoringCase(row.Name, valueName))
            return &row;
    return NULL;
}

const SettingRow* FindLevelSetting(const char* valueName, SettingType type)
{
    if (valueName == NULL)
        return NULL;
    for (const SettingRow& row : Rows)
        if (row.Scope == ScopeLevels && row.Type == type && strcmp(row.Name, valueName) == 0)
            return &row;
    return NULL;
}

const char* GetSheetName(SettingSheet sheet)
{
    switch (sheet) {
    case SheetNfsClient:
        return "NFS client";
    case SheetFileSharing:
        return "file sharing";
    case SheetNameService:
        return "name service";
    }
    return "";
}

const char* GetPageName(SettingPage page)
{
    static const char* const names[] = {"NFS General", "Security",          "Caching",
                                        "Tuning",      "Files and Folders", "Advanced",
                                        "NFS Server",  "Logging",           "NIS/NIS+"};
    return (int)page >= 0 && (int)page < (int)(sizeof(names) / sizeof(names[0])) ? names[page] : "";
}

const char* GetTypeName(SettingType type)
{
    switch (type) {
    case TypeDword:
        return "REG_DWORD";
    case TypeString:
        return "REG_SZ";
    case TypeMultiString:
        return "REG_MULTI_SZ";
    }
    return "";
}

static int IsLevelName(const char* name)
{
    return name != NULL && name[0] != '\0' && strchr(name, '\\') == NULL;
}

int BuildSettingKeyPath(const SettingRow* row, const char* server, const char* resource,
                        char* output, size_t size)
{
    if (output == NULL || size == 0)
        return 0;
    output[0] = '\0';
    if (row == NULL || (resource != NULL && server == NULL))
        return 0;
    if (size > LevelKeyPathSize)
        size = LevelKeyPathSize;
    int written;
    if (row->Scope == ScopeMachine) {
        if (server != NULL)
            return 0;
        written = snprintf(output, size, "%s", row->Key);
    } else if (server == NULL) {
        written = snprintf(output, size, "zevrnfs\\%s", row->Key);
    } else if (!IsLevelName(server) || (resource != NULL && !IsLevelName(resource))) {
        return 0;
    } else if (resource == NULL) {
        written = snprintf(output, size, "zevrnfs\\Servers\\%s\\%s", server, row->Key);
    } else {
        written = snprintf(output, size, "zevrnfs\\Servers\\%s\\Resources\\%s\\%s", server,
                           resource, row->Key);
    }
    if (written < 0 || (size_t)written >= size) {
        output[0] = '\0';
        return 0;
    }
    return 1;
}

int FindChoiceByNumber(const SettingRow* row, uint32_t number)
{
    if (row == NULL)
        return -1;
    for (int i = 0; i < row->ChoiceCount; ++i)
        if (row->Choices[i].Text == NULL && row->Choices[i].Number == number)
            return i;
    return -1;
}

int FindChoiceByText(const SettingRow* row, const char* text)
{
    if (row == NULL || text == NULL)
        return -1;
    for (int i = 0; i < row->ChoiceCount; ++i)
        if (row->Choices[i].Text != NULL && strcmp(row->Choices[i].Text, text) == 0)
            return i;
    return -1;
}

SettingCheck CheckSettingNumber(const SettingRow* row, uint32_t value, uint32_t* stored)
{
    if (row == NULL || row->Type != TypeDword)
        return SettingRefused;
    uint32_t result = value;
    SettingCheck check = SettingAccepted;
    switch (row->Kind) {
    case KindFlag:
        if (value > 1)
            return SettingRefused;
        break;
    case KindChoice:
        if (FindChoiceByNumber(row, value) < 0)
            return SettingRefused;
        break;
    case KindList:
    case KindMask:
        if (value < row->Minimum || value > row->Maximum)
            return SettingRefused;
        break;
    case KindClamped:
        // The field is read as a signed number before it is clamped.
        if ((int32_t)value < (int32_t)row->Minimum) {
            result = row->Minimum;
            check = SettingClamped;
        } else if ((int32_t)value > (int32_t)row->Maximum) {
            result = row->Maximum;
            check = SettingClamped;
        }
        break;
    case KindNumber:
        break;
    default:
        return SettingRefused;
    }
    if (stored != NULL)
        *stored = result;
    return check;
}

SettingCheck CheckSettingText(const SettingRow* row, const char* text)
{
    if (row == NULL || text == NULL || row->Type == TypeDword)
        return SettingRefused;
    size_t length = strlen(text);
    switch (row->Kind) {
    case KindChoice:
        return FindChoiceByText(row, text) >= 0 ? SettingAccepted : SettingRefused;
    case KindText:
        return length <= row->Maximum ? SettingAccepted : SettingRefused;
    case KindHostList:
        // No entry at all is an empty list, which the page stores as well.
        return length <= row->Maximum ? SettingAccepted : SettingRefused;
    case KindCodes: {
        if (length > row->Maximum)
            return SettingRefused;
        char one[2] = {0, 0};
        for (const char* p = text; *p != '\0'; ++p) {
            one[0] = *p;
            if (FindChoiceByText(row, one) < 0)
                return SettingRefused;
        }
        return SettingAccepted;
    }
    default:
        return SettingRefused;
    }
}

int IsKeptAsStored(const SettingRow* row, const char* data, size_t size)
{
    if (row == NULL || row->Type == TypeDword || row->Kind == KindChoice)
        return 0;
    size_t zeros = row->Type == TypeMultiString ? 2 : 1;
    size_t have = 0;
    while (have < zeros && have < size && data[size - 1 - have] == '\0')
        ++have;
    // An empty list stored as one zero byte needs nothing more.
    if (zeros == 2 && size == 1 && data[0] == '\0')
        have = zeros;
    return size + (zeros - have) > (size_t)row->Maximum + 1 ? 1 : 0;
}

// A decimal number of at most 32 bits, nothing else.
static int ParseDecimal(const char* text, uint32_t* value)
{
    if (text == NULL || *text == '\0')
        return 0;
    uint64_t result = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9')
            return 0;
        result = result * 10 + (uint64_t)(*p - '0');
        if (result > 0xFFFFFFFFu)
            return 0;
    }
    *value = (uint32_t)result;
    return 1;
}

// Nine characters, each the permission's letter (granted) or "-".
static int ParsePermissions(const char* text, uint32_t* mask)
{
    static const char letters[] = "rwxrwxrwx";
    if (text == NULL || strlen(text) != 9)
        return 0;
    uint32_t granted = 0;
    for (int i = 0; i < 9; ++i) {
        if (LowerCase(text[i]) == letters[i])
            granted |= 1u << (8 - i);
        else if (text[i] != '-')
            return 0;
    }
    *mask = UmaskFromGranted(granted);
    return 1;
}

static int ParseOctal(const char* text, uint32_t* value)
{
    if (text == NULL || text[0] != '0' || text[1] == '\0')
        return 0;
    uint32_t result = 0;
    for (const char* p = text + 1; *p != '\0'; ++p) {
        // Beyond 32 bits is no number at all, rather than one that wrapped.
        if (*p < '0' || *p > '7' || result > 0xFFFFFFFFu / 8)
            return 0;
        result = result * 8 + (uint32_t)(*p - '0');
    }
    *value = result;
    return 1;
}

static int CopyText(char* output, size_t size, const char* text)
{
    if (output == NULL || size == 0 || strlen(text) >= size)
        return 0;
    memcpy(output, text, strlen(text) + 1);
    return 1;
}

SettingCheck ParseSettingInput(const SettingRow* row, const char* input, uint32_t* number,
                               char* text, size_t size)
{
    if (row == NULL || input == NULL)
        return SettingRefused;
    if (row->Type != TypeDword) {
        const char* value = input;
        // The shown text ("automatic") stands for its stored text.
        if (row->Kind == KindChoice && FindChoiceByText(row, input) < 0) {
            for (int i = 0; i < row->ChoiceCount; ++i)
                if (SameIgnoringCase(row->Choices[i].Shown, input))
                    value = row->Choices[i].Text;
        }
        SettingCheck check = CheckSettingText(row, value);
        if (check == SettingRefused || !CopyText(text, size, value))
            return SettingRefused;
        return check;
    }
    uint32_t value = 0;
    int parsed = 0;
    // Masks are written in octal by habit: "022" is 18.
    if (row->Kind == KindMask)
        parsed = ParseOctal(input, &value) || ParsePermissions(input, &value);
    if (!parsed)
        parsed = ParseDecimal(input, &value);
    if (!parsed && row->Display == DisplayNamedZero && row->ZeroText != NULL &&
        SameIgnoringCase(row->ZeroText, input)) {
        value = 0;
        parsed = 1;
    }
    if (!parsed && row->Kind == KindChoice) {
        for (int i = 0; i < row->ChoiceCount && !parsed; ++i)
            if (row->Choices[i].Text == NULL && SameIgnoringCase(row->Choices[i].Shown, input)) {
                value = row->Choices[i].Number;
                parsed = 1;
            }
    }
    if (!parsed)
        return SettingRefused;
    uint32_t stored = value;
    SettingCheck check = CheckSettingNumber(row, value, &stored);
    if (check != SettingRefused && number != NULL)
        *number = stored;
    return check;
}

uint32_t GrantedFromUmask(uint32_t mask)
{
    return ~mask & 0777u;
}

uint32_t UmaskFromGranted(uint32_t granted)
{
    return ~granted & 0777u;
}

char* FormatPermissions(uint32_t mask, char* output)
{
    static const char letters[] = "rwxrwxrwx";
    uint32_t granted = GrantedFromUmask(mask);
    for (int i = 0; i < 9; ++i)
        output[i] = (granted >> (8 - i)) & 1 ? letters[i] : '-';
    output[9] = '\0';
    return output;
}

// Appends text to output (size bytes) as far as it fits.
static void Append(char* output, size_t size, size_t* used, const char* text)
{
    for (; *text != '\0' && *used + 1 < size; ++text)
        output[(*used)++] = *text;
    output[*used] = '\0';
}

char* FormatSettingValue(const SettingRow* row, uint32_t number, const char* text, char* output,
                         size_t size)
{
    if (output == NULL || size == 0)
        return output;
    output[0] = '\0';
    if (row == NULL)
        return output;
    size_t used = 0;
    char buffer[16];
    if (text == NULL)
        text = "";
    switch (row->Display) {
    case DisplayChoice: {
        int index =
            row->Type == TypeDword ? FindChoiceByNumber(row, number) : FindChoiceByText(row, text);
        if (index < 0 && row->UnknownIsFirst)
            index = 0;
        if (index >= 0) {
            Append(output, size, &used, row->Choices[index].Shown);
            return output;
        }
        break;
    }
    case DisplayUmask:
        Append(output, size, &used, FormatPermissions(number, buffer));
        return output;
    case DisplayNamedZero:
        if (number == 0 && row->ZeroText != NULL) {
            Append(output, size, &used, row->ZeroText);
            return output;
        }
        break;
    case DisplayHostList:
        if (strcmp(text, "*") == 0) {
            Append(output, size, &used, "broadcast");
            return output;
        }
        break;
    case DisplaySearchOrder: {
        char one[2] = {0, 0};
        for (const char* p = text; *p != '\0'; ++p) {
            one[0] = *p;
            int index = FindChoiceByText(row, one);
            if (index < 0)
                continue;
            if (used > 0)
                Append(output, size, &used, ", ");
            Append(output, size, &used, row->Choices[index].Shown);
        }
        return output;
    }
    case DisplayPlain:
        break;
    }
    if (row->Type == TypeDword) {
        snprintf(buffer, sizeof(buffer), "%lu", (unsigned long)number);
        Append(output, size, &used, buffer);
    } else {
        Append(output, size, &used, text);
    }
    return output;
}

char* DescribeAccepted(const SettingRow* row, char* output, size_t size)
{
    if (output == NULL || size == 0)
        return output;
    output[0] = '\0';
    if (row == NULL)
        return output;
    size_t used = 0;
    char buffer[48];
    switch (row->Kind) {
    case KindFlag:
        Append(output, size, &used, "0 or 1");
        break;
    case KindChoice:
        Append(output, size, &used, "one of:");
        for (int i = 0; i < row->ChoiceCount; ++i) {
            const SettingChoice& choice = row->Choices[i];
            char stored[16];
            if (choice.Text != NULL)
                snprintf(buffer, sizeof(buffer), " \"%s\"", choice.Text);
            else
                snprintf(buffer, sizeof(buffer), " %lu", (unsigned long)choice.Number);
            Append(output, size, &used, buffer);
            snprintf(stored, sizeof(stored), "%lu", (unsigned long)choice.Number);
            if (strcmp(choice.Shown, choice.Text != NULL ? choice.Text : stored) != 0) {
                snprintf(buffer, sizeof(buffer), " (%s)", choice.Shown);
                Append(output, size, &used, buffer);
            }
        }
        break;
    case KindList:
    case KindMask:
        snprintf(buffer, sizeof(buffer), "%lu to %lu", (unsigned long)row->Minimum,
                 (unsigned long)row->Maximum);
        Append(output, size, &used, buffer);
        break;
    case KindClamped:
        snprintf(buffer, sizeof(buffer), "any number, clamped to %lu to %lu",
                 (unsigned long)row->Minimum, (unsigned long)row->Maximum);
        Append(output, size, &used, buffer);
        break;
    case KindNumber:
        Append(output, size, &used, "any 32-bit number");
        break;
    case KindText:
        snprintf(buffer, sizeof(buffer), "text of at most %lu characters",
                 (unsigned long)row->Maximum);
        Append(output, size, &used, buffer);
        break;
    case KindHostList:
        Append(output, size, &used, "\"*\", or host names separated by commas");
        break;
    case KindCodes:
        Append(output, size, &used, "codes out of:");
        for (int i = 0; i < row->ChoiceCount; ++i) {
            snprintf(buffer, sizeof(buffer), " %s (%s)", row->Choices[i].Text,
                     row->Choices[i].Shown);
            Append(output, size, &used, buffer);
        }
        break;
    }
    return output;
}

const SettingRow* FindPairedSetting(const SettingRow* row, int* isMinimum)
{
    if (row == NULL || row->Pair == NULL)
        return NULL;
    if (isMinimum != NULL)
        *isMinimum = row->PairIsMinimum;
    return FindSettingInKey(row->Hive, row->Key, row->Pair);
}

const SettingRow* FindRequiredSetting(const SettingRow* row)
{
    if (row == NULL || row->Requires == NULL)
        return NULL;
    return FindSettingInKey(row->Hive, row->Key, row->Requires);
}

int IsRequirementMet(uint32_t value, uint32_t requiredValue)
{
    return value == 0 || requiredValue != 0 ? 1 : 0;
}

int IsPairInOrder(uint32_t minimum, uint32_t maximum)
{
    return minimum <= maximum ? 1 : 0;
}
