// The rows of the settings table; settings.cpp holds what reads them.
#include "settings.h"

#include <stddef.h>

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
