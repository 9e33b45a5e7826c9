// zevrcfg as administrators script it across many PCs: key names of any
// length the registry holds, names that differ only in case, and a command
// that cannot write everything writes nothing.
#include "zevrcfg_fixture.h"

// Writes a number below a path of HKEY_CURRENT_USER a level at a time: the
// whole path may pass what the ANSI calls take.
static void WriteDeep(const std::string& path, const char* name, DWORD value)
{
    HKEY key = HKEY_CURRENT_USER;
    for (size_t at = 0; at < path.size();) {
        size_t end = path.find('\\', at);
        if (end == std::string::npos)
            end = path.size();
        HKEY next;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(key, path.substr(at, end - at).c_str(), &next));
        if (key != HKEY_CURRENT_USER)
            RegCloseKey(key);
        key = next;
        at = end + 1;
    }
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE*)&value, 4));
    RegCloseKey(key);
}

// The number, or -1 when a key on the way or the value is missing.
static long ReadDeep(const std::string& path, const char* name)
{
    HKEY key = HKEY_CURRENT_USER;
    long result = -1;
    for (size_t at = 0; at <= path.size();) {
        size_t end = path.find('\\', at);
        if (end == std::string::npos)
            end = path.size();
        HKEY next;
        LONG rc = RegOpenKeyA(key, path.substr(at, end - at).c_str(), &next);
        if (key != HKEY_CURRENT_USER)
            RegCloseKey(key);
        if (rc != ERROR_SUCCESS)
            return -1;
        key = next;
        at = end + 1;
    }
    DWORD value = 0, size = 4;
    if (name == NULL)
        result = 0;
    else if (RegQueryValueExA(key, name, NULL, NULL, (BYTE*)&value, &size) == ERROR_SUCCESS)
        result = (long)value;
    RegCloseKey(key);
    return result;
}

TEST_F(Zevrcfg, LongServerNamesAreShownExportedSetImportedAndRemoved)
{
    // 210 characters still fit the store's own paths, 230 do not: the tool
    // reads both itself.
    const std::string a(210, 'a'), b(230, 'b');
    WriteDeep(NFS "Servers\\" + a + "\\MachineMountDefaults", "RSize", 1024);
    WriteDeep(NFS "Servers\\" + b + "\\MachineMountDefaults", "RSize", 8192);
    WriteDeep(NFS "Servers\\" + b + "\\Resources\\r1\\MachineMountDefaults", "WSize", 2048);
    WriteDword(HKEY_CURRENT_USER, SERVER("nas") "MachineMountDefaults", "WSize", 4096);

    Outcome run = Tool("show --server " + a);
    ASSERT_EQ(0u, run.Exit) << run.Err;
    EXPECT_FALSE(Has(run.Out, "No key")) << run.Out;
    std::string line = ShownLine(run.Out, "RSize");
    EXPECT_TRUE(Has(line, " 1024 ") && Has(line, " server " + a)) << line;
    run = Tool("show --server " + b + " --resource r1");
    ASSERT_EQ(0u, run.Exit) << run.Err;
    line = ShownLine(run.Out, "WSize");
    EXPECT_TRUE(Has(line, " 2048 ") && Has(line, " resource r1")) << line;
    line = ShownLine(run.Out, "RSize");
    EXPECT_TRUE(Has(line, " 8192 ") && Has(line, " server " + b)) << line;

    std::string file = Export();
    EXPECT_TRUE(Has(file, "\n[server " + a + "]\nRSize = 1024\n")) << file;
    EXPECT_TRUE(
        Has(file, "\n[server " + b + "]\nRSize = 8192\n\n[resource " + b + " r1]\nWSize = 2048\n"))
        << file;
    EXPECT_FALSE(Has(file, "left out")) << file;

    // Another server's set is not held up by them; the long one takes its own.
    run = Tool("set WSize 8192 --server nas");
    EXPECT_EQ(0u, run.Exit) << run.Err;
    EXPECT_EQ("", run.Err);
    EXPECT_TRUE(Has(run.Out, SERVER("nas") "MachineMountDefaults: WSize = 4096 -> 8192\n"));
    run = Tool("set WSize 1024 --server " + b);
    EXPECT_EQ(0u, run.Exit) << run.Err;
    EXPECT_EQ(1024, ReadDeep(NFS "Servers\\" + b + "\\MachineMountDefaults", "WSize"));

    // The export imports whole into an empty registry.
    std::string path = TempFile("zcf");
    std::string now = Export();
    WriteFileText(path, now);
    run = Tool("import \"" + path + "\"", "\\HKCU\\fresh");
    EXPECT_EQ(0u, run.Exit) << run.Err;
    EXPECT_EQ(now, Export("\\HKCU\\fresh"));

    // Replaced by a file without them: their keys go, emptied.
    WriteFileText(path, "[server nas]\nWSize = 8192\n");
    run = Tool("import --replace \"" + path + "\"");
    EXPECT_EQ(0u, run.Exit) << run.Err;
    EXPECT_TRUE(Has(run.Out, "\n- HKEY_CURRENT_USER\\" NFS "Servers\\" + b + "\n")) << run.Out;
    EXPECT_EQ(-1, ReadDeep(NFS "Servers\\" + a, NULL));
    EXPECT_EQ(-1, ReadDeep(NFS "Servers\\" + b, NULL));
    EXPECT_EQ("# NFS client settings, written by zevrcfg export\n\n[server nas]\nWSize = 8192\n",
              Export());
    DeleteFileA(path.c_str());
}

TEST_F(Zevrcfg, AMachineKeyThatCannotBeWrittenStopsTheWholeImport)
{
    WriteDword(HKEY_CURRENT_USER, NFS "MachineMountDefaults", "RSize", 8192);
    const char hosts[] = "auth1\0auth2\0";
    WriteRaw(HKEY_LOCAL_MACHINE, AUTH_SERVERS, "Hosts", REG_MULTI_SZ, hosts, sizeof(hosts));
    MakeKeyReadOnly(HKEY_LOCAL_MACHINE, AUTH_SERVERS);
    std::string file = TempFile("zcf");
    WriteFileText(file, "[top]\nWSize = 4096\n");
    const std::string denied = "zevrcfg: cannot change the values of HKEY_LOCAL_MACHINE\\" +
                               std::string(AUTH_SERVERS) + ": Access denied (error 5)\n";

    Outcome dry = Tool("import --replace --dry-run \"" + file + "\"");
    EXPECT_EQ(2u, dry.Exit);
    EXPECT_TRUE(Has(dry.Out, "- HKEY_LOCAL_MACHINE\\" AUTH_SERVERS ": Hosts = {auth1, auth2}\n"))
        << dry.Out;
    EXPECT_TRUE(Has(dry.Out, "\ndry run: nothing written\n")) << dry.Out;
    EXPECT_EQ(0u, dry.Err.find(denied)) << dry.Err;

    Outcome run = Tool("import --replace \"" + file + "\"");
    EXPECT_EQ(2u, run.Exit);
    EXPECT_EQ("", run.Out);
    EXPECT_EQ(denied + "zevrcfg: nothing written\n", run.Err);
    DWORD value = 0;
    EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, NFS "MachineMountDefaults", "RSize", &value));
    EXPECT_EQ(8192u, value);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, NFS "MachineMountDefaults", "WSize"));
    DWORD type = 0;
    std::string stored;
    EXPECT_TRUE(ReadRaw(HKEY_LOCAL_MACHINE, AUTH_SERVERS, "Hosts", &type, &stored));
    EXPECT_EQ(std::string(hosts, sizeof(hosts)), stored);
    DeleteFileA(file.c_str());
}

TEST_F(Zevrcfg, ServerNamesCompareWithoutCaseAndEmptiedKeysGo)
{
    WriteDword(HKEY_CURRENT_USER, SERVER("nas1") "MachineMountDefaults", "RSize", 1024);
    WriteDword(HKEY_CURRENT_USER, SERVER("nas1") "UserMountDefaults", "ReadOnly", 1);
    WriteDword(HKEY_CURRENT_USER, RESOURCE("nas1", "/export") "MachineMountDefaults", "WSize",
               1024);
    HKEY empty;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, SERVER("empty"), &empty));
    RegCloseKey(empty);
    std::string file = TempFile("zcf");
    struct {
        const char* text; // imported when set, else arguments is run
        const char* arguments;
        DWORD exit;
        const char* out;
        const char* err;
    } steps[] = {
        {"[server NAS1]\nRSize = 2048\n", NULL, 0,
         "~ HKEY_CURRENT_USER\\" SERVER("nas1") "MachineMountDefaults: RSize = 1024 -> 2048\n", ""},
        {"[server NAS1]\nRSize = 2048\n[server nas1]\nRSize = 4096\n", NULL, 1, "",
         "line 4: RSize is set twice in this section (line 2)"},
        {"[resource NAS1 /EXPORT]\nWSize = 1024\n[resource nas1 /export]\nWSize = 1024\n", NULL, 1,
         "", "line 4: WSize is set twice in this section (line 2)"},
        // Pruned for real: the value and the key it leaves empty go.
        {NULL, "set ReadOnly 0 --server NAS1", 0,
         "ReadOnly = 0 at server NAS1 equals what it inherits: pruned, as the sheet does\n"
         "- HKEY_CURRENT_USER\\" SERVER("nas1") "UserMountDefaults: ReadOnly = 1\n"
                                                "- HKEY_CURRENT_USER\\" SERVER(
                                                    "nas1") "UserMountDefaults\n",
         ""},
        {NULL, "unset WSize --server Nas1 --resource /EXPORT", 0,
         "- HKEY_CURRENT_USER\\" SERVER("nas1") "Resources\n", ""},
        {NULL, "unset RSize --server NAS1", 0, "- HKEY_CURRENT_USER\\" NFS "Servers\\nas1\n", ""},
    };
    for (const auto& step : steps) {
        Outcome run;
        if (step.text != NULL) {
            WriteFileText(file, step.text);
            run = Tool("import \"" + file + "\"");
        } else {
            run = Tool(step.arguments);
        }
        const char* what = step.text != NULL ? step.text : step.arguments;
        EXPECT_EQ(step.exit, run.Exit) << what << "\n" << run.Err;
        EXPECT_TRUE(Has(run.Out, step.out)) << what << "\n" << run.Out;
        EXPECT_FALSE(Has(run.Out, "pruned") && !Has(step.out, "pruned")) << run.Out;
        EXPECT_TRUE(step.err[0] == '\0' ? run.Err.empty() : Has(run.Err, step.err)) << what << "\n"
                                                                                    << run.Err;
    }
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, SERVER("nas1")));
    // A key that was empty before the command stays.
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, SERVER("empty")));
    DeleteFileA(file.c_str());
}
