// What the files of zevrcfg share: exit codes, the level a command works
// on, a value as read for its row, a change to make and a rule between two
// values broken at a level, and the functions each file offers the others.
#ifndef ZEVR_COMMANDS_H
#define ZEVR_COMMANDS_H

#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

#include "cfgfile.h"
#include "regmodel.h"
#include "settings.h"
#include "store.h"

enum { ExitDone = 0, ExitRefused = 1, ExitRegistry = 2 };
enum { ValueBufferSize = 8192 };

// Prints "zevrcfg: " and the message to the standard error; ExitRefused
// (levels.cpp).
int Refuse(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A level of the mount defaults: the top, a server, or a resource of one.
struct Level {
    int Kind = SectionTop;
    std::string Server;
    std::string Resource;
};

// levels.cpp
const char* ServerOf(const Level& level);
const char* ResourceOf(const Level& level);
std::string DescribeLevel(const Level& level);
HKEY HiveOf(const SettingRow* row);
bool IsNfsRow(const SettingRow* row);
std::string KeySubPath(const SettingRow* row, const Level& level);
std::string KeyFullPath(const SettingRow* row, const std::string& subPath);
bool LevelNamesFit(const Level& level);
int CheckLevelNames(const Level& level);
std::string RowKeyPath(const SettingRow* row, const Level& level);
std::vector<std::string> SubKeyNames(const std::string& subPath);
std::vector<Level> ListLevels();
bool SameLevel(const Level& a, const Level& b);
// The edited keys as read, the same keys as the command leaves them, and
// the keys that could not be read (named on the standard error). The first
// LoadSettings reads them and directs the registry layer to SettingsTree.
extern RegModel StoredTree;
extern RegModel SettingsTree;
extern std::vector<std::string> ReadProblems;
void LoadSettings();
void LookUpAt(const SettingRow* row, const Level& level, InheritedValue* found);

// A value as the tool reads it for a row: decoded when its type is the
// row's, and whether the row's page would take it as it stands.
struct Reading {
    bool Stored = false;   // the key holds a value of that name
    bool Readable = false; // of the row's type
    bool Accepted = false; // and a value the page would keep
    bool Kept = false;     // too long for the page to show: it leaves it as stored
    uint32_t Number = 0;
    std::string Text;
    std::vector<std::string> Entries;
    std::string Why; // when not accepted
};

// show.cpp
extern const char KeptWhy[];
std::string DescribeAcceptedOf(const SettingRow* row);
bool HostsAsTyped(const std::vector<std::string>& entries, std::string* joined);
void JudgeReading(const SettingRow* row, Reading* reading);
Reading ReadOwnValue(const SettingRow* row, const Level& level);
std::string InputForm(const SettingRow* row, const Reading& reading, int forFile);
int Show(const Level& level, bool json);

// One value to store or remove.
struct Change {
    const SettingRow* Row;
    Level Where;
    bool Remove = false;
    uint32_t Number = 0;
    std::string Text; // a text, or a multi-string's bytes
    int Line = 0;     // in the imported file
};

// A rule of the pages between two values of one level, broken there.
struct Breach {
    std::string Text;
    Level Where;
    const SettingRow* First;
    const SettingRow* Second;
};

// changes.cpp
std::vector<Breach> FindBreaches();
int RunChanges(const std::vector<Change>& changes, bool replace, bool dryRun);
const SettingRow* FindEditable(const std::string& name, std::string* error);
int CheckScope(const SettingRow* row, const Level& level, std::string* error);
int ParseChangeValue(const SettingRow* row, const std::string& input, bool clamp, Change* change,
                     std::string* error);

// transfer.cpp
int Export(const char* file, bool reg);
int Import(const char* file, bool replace, bool dryRun);

#endif
