// zevrcfg: the NFS client settings from the command line, for scripts.
// Shows effective values with the level they come from, sets and unsets
// them with the pages' own acceptance and the sheet's pruning, exports and
// imports them as a text file or a registry editor file. The rules come
// from the settings table and the store; nothing here opens a window, so a
// script never waits on a message box.
//
// This file holds the options and main: it parses the command line,
// refuses options a command does not take, and hands the command to the
// files that do the work (show.cpp, changes.cpp, transfer.cpp).
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "regtree.h"
#include "sheet.h"
#include "commands.h"

static const char Usage[] =
    "usage: zevrcfg [--registry KEY] COMMAND ...\n"
    "\n"
    "  show [--server S [--resource R]] [--json]\n"
    "      every setting's effective value at that level and where it comes from\n"
    "  set NAME VALUE [--server S [--resource R]] [--dry-run]\n"
    "  unset NAME [--server S [--resource R]] [--dry-run]\n"
    "      store or remove one NFS client setting, then prune as the sheet does\n"
    "  export [--reg] [FILE]\n"
    "      every stored NFS client setting as a settings file (or REGEDIT4 file)\n"
    "  import FILE [--replace] [--dry-run]\n"
    "      check every line, then set the listed values (--replace: remove\n"
    "      every stored NFS client setting first) and prune\n"
    "\n"
    "  --dry-run        work on a volatile copy, print what would change, write nothing\n"
    "  --registry KEY   use HKEY_CURRENT_USER\\KEY\\HKCU and ...\\HKLM as the two hives\n"
    "\n"
    "Exit status: 0 done, 1 input refused, 2 registry failure.\n";

struct Options {
    std::vector<std::string> Words;
    const char* Server = NULL;
    const char* Resource = NULL;
    const char* Registry = NULL;
    bool Json = false;
    bool DryRun = false;
    bool Replace = false;
    bool Reg = false;
    bool Help = false;
};

static int ParseOptions(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        const char** target = arg == "--server"     ? &options->Server
                              : arg == "--resource" ? &options->Resource
                              : arg == "--registry" ? &options->Registry
                                                    : NULL;
        if (target != NULL) {
            if (i + 1 >= argc)
                return Refuse("%s needs a value", arg.c_str());
            *target = argv[++i];
        } else if (arg == "--json") {
            options->Json = true;
        } else if (arg == "--dry-run") {
            options->DryRun = true;
        } else if (arg == "--replace") {
            options->Replace = true;
        } else if (arg == "--reg") {
            options->Reg = true;
        } else if (arg == "--help" || arg == "-h" || arg == "/?") {
            options->Help = true;
        } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            return Refuse("unknown option %s (zevrcfg --help)", arg.c_str());
        } else {
            options->Words.push_back(arg);
        }
    }
    return ExitDone;
}

// Refuses options that the command does not take.
static int Allow(const Options& options, const char* command, bool level, bool json, bool dryRun,
                 bool replace, bool reg, size_t words)
{
    if ((!level && (options.Server || options.Resource)) || (!json && options.Json) ||
        (!dryRun && options.DryRun) || (!replace && options.Replace) || (!reg && options.Reg))
        return Refuse("%s does not take that option (zevrcfg --help)", command);
    if (options.Words.size() != words + 1)
        return Refuse("%s takes %u argument%s (zevrcfg --help)", command, (unsigned)words,
                      words == 1 ? "" : "s");
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
    return RunChanges({change}, false, options.DryRun);
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
    if (options.Help || options.Words.empty()) {
        fputs(Usage, options.Help ? stdout : stderr);
        return options.Help ? ExitDone : ExitRefused;
    }
    if (options.Registry != NULL && !RedirectRegistry(options.Registry)) {
        fprintf(stderr, "zevrcfg: cannot redirect the registry to HKEY_CURRENT_USER\\%s\n",
                options.Registry);
        return ExitRegistry;
    }
    const std::string& command = options.Words[0];
    if (command == "show") {
        if (Allow(options, "show", true, true, false, false, false, 0) != ExitDone)
            return ExitRefused;
        Level level = LevelOf(options);
        if (level.Kind != SectionTop && CheckLevelNames(level) != ExitDone)
            return ExitRefused;
        return Show(level, options.Json);
    }
    if (command == "set" || command == "unset") {
        bool remove = command == "unset";
        if (Allow(options, command.c_str(), true, false, true, false, false, remove ? 1 : 2) !=
            ExitDone)
            return ExitRefused;
        return SetOrUnset(options, remove);
    }
    if (command == "export") {
        if (options.Words.size() == 1)
            options.Words.push_back("");
        if (Allow(options, "export", false, false, false, false, true, 1) != ExitDone)
            return ExitRefused;
        const char* file = options.Words[1].empty() ? NULL : options.Words[1].c_str();
        return Export(file, options.Reg);
    }
    if (command == "import") {
        if (Allow(options, "import", false, false, true, true, false, 1) != ExitDone)
            return ExitRefused;
        return Import(options.Words[1].c_str(), options.Replace, options.DryRun);
    }
    return Refuse("unknown command %s (zevrcfg --help)", command.c_str());
}