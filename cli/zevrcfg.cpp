// zevrcfg: the NFS client settings from the command line, for scripts.
// Shows effective values with the level they come from, sets and unsets
// them with the pages' own acceptance and the sheet's pruning, exports and
// imports them as a text file or a registry editor file. The rules come
// from the settings table and the store; nothing here opens a window, so a
// script never waits on a message box.
//
// This file holds the table of commands and options and main: the command
// line is parsed against the table, options and arguments a command does
// not take are refused, and the command's handler hands the work to the
// files that do it (show.cpp, changes.cpp, transfer.cpp). The usage text
// and help COMMAND are written from the same table.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "regtree.h"
#include "sheet.h"
#include "commands.h"

// Options by bit, so that a command lists the ones it takes in one word.
enum {
    OptionServer = 1 << 0,
    OptionResource = 1 << 1,
    OptionJson = 1 << 2,
    OptionDryRun = 1 << 3,
    OptionReplace = 1 << 4,
    OptionReg = 1 << 5,
    OptionRegistry = 1 << 6,
    OptionHelp = 1 << 7,
};
enum { OptionLevel = OptionServer | OptionResource };

struct OptionRow {
    const char* Name;
    const char* Value; // the value's name, or NULL for a switch
    int Bit;
    const char* Help;
};

static const OptionRow OptionRows[] = {
    {"--server", "S", OptionServer, "work on server S's level"},
    {"--resource", "R", OptionResource, "work on resource R of that server (needs --server)"},
    {"--json", NULL, OptionJson, "print JSON instead of text"},
    {"--dry-run", NULL, OptionDryRun, "print what would change, write nothing"},
    {"--replace", NULL, OptionReplace,
     "remove every stored NFS client setting the file does not list"},
    {"--reg", NULL, OptionReg, "write a REGEDIT4 file instead of a settings file"},
    {"--registry", "KEY", OptionRegistry,
     "use HKEY_CURRENT_USER\\KEY\\HKCU and ...\\HKLM as the two hives"},
    {"--help", NULL, OptionHelp, "print this help (also -h, /?)"},
};

struct Options {
    std::vector<std::string> Words;
    int Given = 0; // OptionRow bits
    const char* Server = NULL;
    const char* Resource = NULL;
    const char* Registry = NULL;
};

struct CommandRow {
    const char* Name;
    const char* Arguments; // as the usage line shows them
    size_t MinWords, MaxWords;
    int Takes; // option bits; every command also takes --registry and --help
    const char* Summary;
    int (*Run)(const Options& options);
};

static int RunShow(const Options& options);
static int RunSet(const Options& options);
static int RunUnset(const Options& options);
static int RunExport(const Options& options);
static int RunImport(const Options& options);
static int RunHelp(const Options& options);

static const CommandRow CommandRows[] = {
    {"show", "", 0, 0, OptionLevel | OptionJson,
     "every setting's effective value at that level and where it comes from", RunShow},
    {"set", "NAME VALUE", 2, 2, OptionLevel | OptionDryRun,
     "store one NFS client setting, then prune as the sheet does", RunSet},
    {"unset", "NAME", 1, 1, OptionLevel | OptionDryRun,
     "remove one NFS client setting, then prune as the sheet does", RunUnset},
    {"export", "[FILE]", 0, 1, OptionReg,
     "every stored NFS client setting as a settings file (or REGEDIT4 file)", RunExport},
    {"import", "FILE", 1, 1, OptionReplace | OptionDryRun,
     "check every line, then set the listed values and prune", RunImport},
    {"help", "[COMMAND]", 0, 1, 0, "this help, or one command's", RunHelp},
};

static const char ExitHelp[] = "Exit status: 0 done, 1 input refused, 2 registry failure.\n";

static const CommandRow* FindCommand(const std::string& name)
{
    for (const CommandRow& command : CommandRows)
        if (name == command.Name)
            return &command;
    return NULL;
}

// "set NAME VALUE [--server S [--resource R]] [--dry-run]"
static std::string Synopsis(const CommandRow& command)
{
    std::string line =
        std::string(command.Name) + (*command.Arguments ? " " : "") + command.Arguments;
    if (command.Takes & OptionServer)
        line += " [--server S [--resource R]]";
    for (const OptionRow& option : OptionRows)
        if ((command.Takes & option.Bit) && !(option.Bit & OptionLevel))
            line += std::string(" [") + option.Name + (option.Value ? " " : "") +
                    (option.Value ? option.Value : "") + "]";
    return line;
}

static void PrintOption(const OptionRow& option, FILE* out)
{
    std::string name =
        std::string(option.Name) + (option.Value ? " " : "") + (option.Value ? option.Value : "");
    fprintf(out, "  %-16s %s\n", name.c_str(), option.Help);
}

static void PrintUsage(FILE* out)
{
    fputs("usage: zevrcfg [--registry KEY] COMMAND ...\n\n", out);
    for (const CommandRow& command : CommandRows)
        fprintf(out, "  %s\n      %s\n", Synopsis(command).c_str(), command.Summary);
    fputc('\n', out);
    for (const OptionRow& option : OptionRows)
        PrintOption(option, out);
    fputs("\nzevrcfg help COMMAND says more about one command.\n", out);
    fputs(ExitHelp, out);
}

static void PrintCommandHelp(const CommandRow& command, FILE* out)
{
    fprintf(out, "usage: zevrcfg [--registry KEY] %s\n\n%s\n", Synopsis(command).c_str(),
            command.Summary);
    if (command.Takes != 0)
        fputc('\n', out);
    for (const OptionRow& option : OptionRows)
        if (command.Takes & option.Bit)
            PrintOption(option, out);
    fprintf(out, "\n%s", ExitHelp);
}

static int ParseOptions(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-h" || arg == "/?")
            arg = "--help";
        const OptionRow* found = NULL;
        for (const OptionRow& option : OptionRows)
            if (arg == option.Name)
                found = &option;
        if (found == NULL && arg.size() > 2 && arg.compare(0, 2, "--") == 0)
            return Refuse("unknown option %s (zevrcfg --help)", arg.c_str());
        if (found == NULL) {
            options->Words.push_back(arg);
            continue;
        }
        options->Given |= found->Bit;
        if (found->Value == NULL)
            continue;
        if (i + 1 >= argc)
            return Refuse("%s needs a value (%s)", arg.c_str(), found->Value);
        const char* value = argv[++i];
        if (found->Bit == OptionServer)
            options->Server = value;
        else if (found->Bit == OptionResource)
            options->Resource = value;
        else
            options->Registry = value;
    }
    return ExitDone;
}

// Refuses options and argument counts that the command does not take.
static int Allow(const Options& options, const CommandRow& command)
{
    int refused = options.Given & ~(command.Takes | OptionRegistry | OptionHelp);
    for (const OptionRow& option : OptionRows)
        if (refused & option.Bit)
            return Refuse("%s does not take %s (zevrcfg help %s)", command.Name, option.Name,
                          command.Name);
    size_t words = options.Words.size() - 1;
    if (words < command.MinWords || words > command.MaxWords) {
        const char* plural = command.MaxWords == 1 ? "" : "s";
        if (command.MinWords == command.MaxWords)
            return Refuse("%s takes %u argument%s: %s (zevrcfg help %s)", command.Name,
                          (unsigned)command.MaxWords, plural, command.Arguments, command.Name);
        return Refuse("%s takes at most %u argument%s: %s (zevrcfg help %s)", command.Name,
                      (unsigned)command.MaxWords, plural, command.Arguments, command.Name);
    }
    if (options.Resource != NULL && options.Server == NULL)
        return Refuse("--resource needs --server");
    return ExitDone;
}

static Level LevelOf(const Options& options)
{
    Level level;
    if (options.Server != NULL) {
        level.Kind = options.Resource != NULL ? SectionResource : SectionServer;
        level.Server = options.Server;
        level.Resource = options.Resource != NULL ? options.Resource : "";
    }
    return level;
}

static int SetOrUnset(const Options& options, bool remove)
{
    std::string error;
    Change change;
    change.Remove = remove;
    change.Where = LevelOf(options);
    change.Row = FindEditable(options.Words[1], &error);
    if (change.Row == NULL || !CheckScope(change.Row, change.Where, &error))
        return Refuse("%s", error.c_str());
    if (change.Where.Kind != SectionTop && CheckLevelNames(change.Where) != ExitDone)
        return ExitRefused;
    if (!remove && !ParseChangeValue(change.Row, options.Words[2], true, &change, &error))
        return Refuse("%s", error.c_str());
    return RunChanges({change}, false, (options.Given & OptionDryRun) != 0);
}

static int RunShow(const Options& options)
{
    Level level = LevelOf(options);
    if (level.Kind != SectionTop && CheckLevelNames(level) != ExitDone)
        return ExitRefused;
    return Show(level, (options.Given & OptionJson) != 0);
}

static int RunSet(const Options& options)
{
    return SetOrUnset(options, false);
}

static int RunUnset(const Options& options)
{
    return SetOrUnset(options, true);
}

static int RunExport(const Options& options)
{
    const char* file = options.Words.size() > 1 ? options.Words[1].c_str() : NULL;
    return Export(file, (options.Given & OptionReg) != 0);
}

static int RunImport(const Options& options)
{
    return Import(options.Words[1].c_str(), (options.Given & OptionReplace) != 0,
                  (options.Given & OptionDryRun) != 0);
}

static int RunHelp(const Options& options)
{
    if (options.Words.size() == 1) {
        PrintUsage(stdout);
        return ExitDone;
    }
    const CommandRow* command = FindCommand(options.Words[1]);
    if (command == NULL)
        return Refuse("help: unknown command %s (zevrcfg help lists them)",
                      options.Words[1].c_str());
    PrintCommandHelp(*command, stdout);
    return ExitDone;
}

int main(int argc, char** argv)
{
    // DllMain never runs in a program; the library's resource loads use this.
    ModuleInstance = GetModuleHandleA(NULL);
    // Lines end in LF alone, so that what scripts read and compare is the
    // same on every system; the REGEDIT4 file carries its own CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    Options options;
    if (ParseOptions(argc, argv, &options) != ExitDone)
        return ExitRefused;
    const CommandRow* command = options.Words.empty() ? NULL : FindCommand(options.Words[0]);
    bool help = (options.Given & OptionHelp) != 0;
    if (options.Words.empty() || (help && command == NULL)) {
        PrintUsage(help ? stdout : stderr);
        return help ? ExitDone : ExitRefused;
    }
    if (command == NULL)
        return Refuse("unknown command %s (zevrcfg help)", options.Words[0].c_str());
    if (help) {
        PrintCommandHelp(*command, stdout);
        return ExitDone;
    }
    if (Allow(options, *command) != ExitDone)
        return ExitRefused;
    if (options.Registry != NULL && !RedirectRegistry(options.Registry)) {
        fprintf(stderr, "zevrcfg: cannot redirect the registry to HKEY_CURRENT_USER\\%s\n",
                options.Registry);
        return ExitRegistry;
    }
    return command->Run(options);
}
