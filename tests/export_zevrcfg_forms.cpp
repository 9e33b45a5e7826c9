// zevrcfg's input forms and refusals, its help and its order of servers,
// through the real executable.
#include "zevrcfg_fixture.h"

#include "settings.h"

TEST_F(Zevrcfg, MasksAreOctalAsUmaskReadsThem)
{
    // The top withholds everything, so that no server's mask is pruned.
    WriteDword(HKEY_CURRENT_USER, USER_DEFAULTS, "UMask", 0777);
    struct {
        const char* input;
        const char* server;
        DWORD exit;
        DWORD stored;        // when exit is 0
        const char* message; // in the output, or the error output when refused
    } rows[] = {
        {"22", "a", 0, 022, "UserMountDefaults: UMask = 022\n"},
        {"022", "b", 0, 022, "UMask = 022\n"},
        {"0o22", "c", 0, 022, "UMask = 022\n"},
        {"rwxr-x---", "d", 0, 027, "UMask = 027\n"},
        {"0", "e", 0, 0, "UMask = 00\n"},
        {"8", "f", 1, 0,
         "UMask: 8 is not accepted; a mask is octal, as umask reads it, and 8 is "
         "no octal digit"},
        {"1000", "f", 1, 0, "a mask holds nine permission bits: octal 0 to 777"},
    };
    for (const auto& row : rows) {
        Outcome run = Tool(std::string("set UMask ") + row.input + " --server " + row.server);
        EXPECT_EQ(row.exit, run.Exit) << row.input << "\n" << run.Err;
        EXPECT_TRUE(Has(row.exit ? run.Err : run.Out, row.message)) << row.input << "\n"
                                                                    << run.Out << run.Err;
        DWORD value = 0xDEAD;
        bool stored =
            ReadDword(HKEY_CURRENT_USER,
                      (std::string(NFS "Servers\\") + row.server + "\\UserMountDefaults").c_str(),
                      "UMask", &value);
        EXPECT_EQ(row.exit == 0, stored) << row.input;
        EXPECT_EQ(stored ? row.stored : 0xDEAD, value) << row.input;
    }
    // 777 is the top's own value: pruned, and both lines say so in octal.
    Outcome run = Tool("set UMask 777 --server a");
    EXPECT_TRUE(Has(run.Out, "UMask = 0777 at server a equals what it inherits")) << run.Out;
    EXPECT_TRUE(Has(run.Out, "a\\UserMountDefaults: UMask = 022\n")) << run.Out;

    // What export writes imports as the same masks.
    std::string first = Export();
    EXPECT_TRUE(Has(first, "\n[server b]\nUMask = 022\n")) << first;
    EXPECT_TRUE(Has(first, "\n[server e]\nUMask = 00\n")) << first;
    std::string file = TempFile("zcf");
    WriteFileText(file, first);
    run = Tool("import \"" + file + "\"", "\\HKCU\\fresh");
    EXPECT_EQ(0u, run.Exit) << run.Err;
    EXPECT_EQ(first, Export("\\HKCU\\fresh"));
    DeleteFileA(file.c_str());
}

TEST_F(Zevrcfg, HostListRefusalsNameTheLimit)
{
    // The longest list the page's field holds, and one character more.
    const size_t limit = FindNfsSetting("Hosts")->Maximum;
    std::string full;
    int entries = 0;
    for (; full.size() + 7 <= limit; ++entries)
        full += (entries ? "," : "") + std::string(6, 'a' + entries % 26);
    full += "," + std::string(limit - full.size() - 1, 'z');
    ++entries;
    ASSERT_EQ(limit, full.size());
    std::string tooLong =
        std::to_string(entries) + " host names take " + std::to_string(limit + 1) +
        " characters joined by commas; the page holds at most " + std::to_string(limit) + " (" +
        std::to_string(limit + 2) + " bytes as stored)";
    std::string file = TempFile("zcf");
    struct {
        std::string list;
        DWORD exit;
        std::string message; // in the error output when refused
    } rows[] = {
        {full + "y", 1, "line 2: Hosts: " + tooLong + "; nothing written"},
        // Far beyond the limit it is still the size that is refused.
        {full + "," + full, 1, std::to_string(2 * entries) + " host names take "},
        {"a, \"b c\"", 1, "line 2: Hosts: a host name must not be empty nor hold a blank"},
        {full, 0, ""},
    };
    for (const auto& row : rows) {
        WriteFileText(file, "[machine]\nHosts = " + row.list + "\n");
        Outcome run = Tool("import \"" + file + "\"");
        EXPECT_EQ(row.exit, run.Exit) << run.Err;
        EXPECT_TRUE(Has(run.Err, row.message)) << run.Err;
        EXPECT_EQ(row.exit == 0, ValueExists(HKEY_LOCAL_MACHINE, AUTH_SERVERS, "Hosts"));
    }
    // set takes the list as typed, with any separators, and judges it joined.
    Outcome run = Tool("set Hosts \"" + full + "y\"");
    EXPECT_EQ(1u, run.Exit);
    EXPECT_EQ("zevrcfg: Hosts: " + tooLong + "\n", run.Err);
    EXPECT_EQ(0u, Tool("set Hosts \" ; a , b\"").Exit);
    DeleteFileA(file.c_str());
}

TEST_F(Zevrcfg, UnsetOfWhatIsNotStoredChangesNothing)
{
    WriteDword(HKEY_CURRENT_USER, SERVER("s") "MachineMountDefaults", "RSize", 1024);
    Tool("show"); // the first run makes the --registry keys
    std::string before;
    DumpTree(HKEY_CURRENT_USER, sandbox_.ScratchPath(), &before);
    const char* runs[] = {"unset WSize --server s", "unset UMask", "unset IdleTime",
                          "unset RSize --server t --resource r"};
    for (const char* arguments : runs) {
        Outcome run = Tool(arguments);
        EXPECT_EQ(0u, run.Exit) << arguments << "\n" << run.Err;
        EXPECT_EQ("no change\n", run.Out) << arguments;
    }
    std::string after;
    DumpTree(HKEY_CURRENT_USER, sandbox_.ScratchPath(), &after);
    EXPECT_EQ(before, after);
}

TEST_F(Zevrcfg, ServersThatBeginWithAnotherOnesNameSortAfterIt)
{
    const char* names[] = {"nas2", "NAS10", "nas", "na"};
    for (const char* name : names)
        WriteDword(HKEY_CURRENT_USER,
                   (std::string(NFS "Servers\\") + name + "\\MachineMountDefaults").c_str(),
                   "RSize", 1024);
    std::string out = Export();
    EXPECT_LT(out.find("[server na]"), out.find("[server nas]"));
    EXPECT_LT(out.find("[server nas]"), out.find("[server NAS10]"));
    EXPECT_LT(out.find("[server NAS10]"), out.find("[server nas2]"));
    EXPECT_TRUE(
        Has(Tool("show --server nas3").Out, "Stored servers (4):\n  na\n  nas\n  NAS10\n  nas2\n"));
}

TEST_F(Zevrcfg, HelpComesFromTheCommandTable)
{
    Outcome usage = Tool("help");
    EXPECT_EQ(0u, usage.Exit);
    EXPECT_EQ(usage.Out, Tool("--help").Out);
    const char* synopses[] = {
        "\n  show [--server S [--resource R]] [--json]\n",
        "\n  set NAME VALUE [--server S [--resource R]] [--dry-run]\n",
        "\n  unset NAME [--server S [--resource R]] [--dry-run]\n",
        "\n  export [FILE] [--reg]\n",
        "\n  import FILE [--dry-run] [--replace]\n",
        "\n  help [COMMAND]\n",
    };
    for (const char* synopsis : synopses)
        EXPECT_TRUE(Has(usage.Out, synopsis)) << synopsis;

    // One command's help names its options only; COMMAND --help is the same.
    Outcome set = Tool("help set");
    EXPECT_EQ(0u, set.Exit);
    EXPECT_EQ(0u, set.Out.find("usage: zevrcfg [--registry KEY] set NAME VALUE")) << set.Out;
    EXPECT_TRUE(Has(set.Out, "\n  --dry-run ") && !Has(set.Out, "--json")) << set.Out;
    EXPECT_EQ(set.Out, Tool("set --help").Out);
    struct {
        const char* arguments;
        const char* message;
    } refused[] = {
        {"help nope", "help: unknown command nope"},
        {"help set unset", "help takes at most 1 argument"},
        {"export --dry-run", "export does not take --dry-run (zevrcfg help export)"},
        {"import", "import takes 1 argument: FILE"},
        {"show --server", "--server needs a value"},
        {"", "usage: zevrcfg"},
    };
    for (const auto& row : refused) {
        Outcome run = Tool(row.arguments);
        EXPECT_EQ(1u, run.Exit) << row.arguments;
        EXPECT_TRUE(Has(run.Err, row.message)) << row.arguments << "\n" << run.Err;
    }
}
