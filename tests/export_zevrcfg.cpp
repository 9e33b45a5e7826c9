// zevrcfg through the real executable, with the test's own registry: the
// tool's --registry switch points the child at the same scratch keys as
// the test's sandbox.
#include "zevrcfg_fixture.h"

#include <commctrl.h>

TEST_F(Zevrcfg, ShowsEffectiveValuesAndWhereTheyComeFrom)
{
    WriteDword(HKEY_CURRENT_USER, NFS "MachineMountDefaults", "RSize", 8192);
    WriteDword(HKEY_CURRENT_USER, NFS "MachineMountDefaults", "WSize", 8192);
    WriteDword(HKEY_CURRENT_USER, SERVER("srv1") "MachineMountDefaults", "WSize", 4096);
    WriteDword(HKEY_CURRENT_USER, RESOURCE("srv1", "r1") "UserMountDefaults", "UMask", 027);
    // Another type is passed over, as the store does.
    WriteString(HKEY_CURRENT_USER, SERVER("srv1") "MachineMountDefaults", "RSize", "1024");
    WriteString(HKEY_CURRENT_USER, SERVER("srv1") "MachineMountDefaults", "Transport", "udp");
    WriteDword(HKEY_LOCAL_MACHINE, AUTOMOUNTER, "IdleTime", 900);
    Outcome run = Tool("show --server srv1 --resource r1");
    ASSERT_EQ(0u, run.Exit) << run.Err;
    struct {
        const char* name;
        const char* shown;
        const char* origin;
    } rows[] = {
        {"RSize", "8192", "top level"},
        {"WSize", "4096", "server srv1"},
        {"UMask", "rwxr-x--- (027)", "resource r1"},
        {"ReadOnly", "0", "built-in"},
        {"Transport", "udp", "server srv1"},
        {"NfsVersion", "automatic (0)", "built-in"},
        {"Timeout", "Automatic (0)", "built-in"},
        {"IdleTime", "900", "machine-wide"},
        {"Hosts", "broadcast (*)", "built-in"},
        {"SearchOrder", "", "built-in"},
    };
    for (const auto& row : rows) {
        std::string line = ShownLine(run.Out, row.name);
        EXPECT_TRUE(Has(line, std::string(" ") + row.shown + " ")) << line;
        EXPECT_EQ(line.size() - strlen(row.origin), line.rfind(row.origin)) << line;
    }
    run = Tool("show --server srv1 --json");
    EXPECT_TRUE(Has(run.Out, "{\"name\": \"WSize\", \"sheet\": \"NFS client\", \"page\": \"NFS "
                             "General\", \"scope\": \"levels\", \"editable\": true, \"value\": "
                             "4096, \"shown\": \"4096\", \"origin\": \"server\", "
                             "\"accepted\": true}"))
        << run.Out;

    std::string longName(256, 'n');
    const char* refused[] = {"show --server \"\"", "show --server a\\b",
                             "show --resource r",  "show --server s --resource a\\b",
                             "show extra",         "show --nonsense",
                             "frobnicate",         ""};
    for (const char* arguments : refused)
        EXPECT_EQ(1u, Tool(arguments).Exit) << arguments;
    EXPECT_EQ(1u, Tool("show --server " + longName).Exit);
    Outcome help = Tool("--help");
    EXPECT_EQ(0u, help.Exit);
    EXPECT_EQ(0u, help.Out.find("usage: zevrcfg"));
    EXPECT_EQ(0u, Tool("show --server " + longName.substr(0, 200)).Exit);

    // A level without a key of its own says so before the table and names
    // what is stored; the registry's match ignores case.
    WriteDword(HKEY_CURRENT_USER, SERVER("my nas") "MachineMountDefaults", "RSize", 1024);
    EXPECT_FALSE(Has(Tool("show --server SRV1").Out, "No key"));
    run = Tool("show --server srv9");
    EXPECT_EQ(0u, run.Out.find("Effective settings at server srv9\nNo key is stored for server "
                               "srv9: every value below is inherited.\nStored servers (2):\n  "
                               "\"my nas\"\n  srv1\n\n"))
        << run.Out;
    run = Tool("show --server srv1 --resource r9");
    EXPECT_TRUE(Has(run.Out, "\nNo key is stored for resource r9 of server srv1: every value "
                             "below is inherited.\nStored resources of server srv1 (1):\n  r1\n"))
        << run.Out;
    EXPECT_TRUE(Has(Tool("show --server srv9 --json").Out,
                    "\"server\": \"srv9\", \"stored\": false, \"storedServers\": [\"my nas\", "
                    "\"srv1\"], \"settings\""));
    EXPECT_TRUE(Has(Tool("show --server srv1 --json").Out, "\"stored\": true, \"settings\""));
}

TEST_F(Zevrcfg, SetRefusesClampsChecksPairsAndDryRuns)
{
    WriteDword(HKEY_CURRENT_USER, SERVER("s") "MachineMountDefaults", "RSize", 8192);
    WriteDword(HKEY_CURRENT_USER, NFS "UserMountDefaults", "AttrCacheDirMin", 40);
    struct {
        const char* arguments;
        DWORD exit;
        const char* message; // in the error output, or the output when exit is 0
    } rows[] = {
        {"set RSize 99999", 1, "RSize: 99999 is not accepted; the page accepts 512 to 32768"},
        {"set ShortNameMappingCharacter x", 1, "one of: \"~\" \"!\""},
        {"set Transport TCP --server s", 0, "MachineMountDefaults: Transport = tcp"},
        {"set BackoffMultiplier 99 --server s", 0, "99 clamped to 50"},
        {"set IdleTime 600 --server s", 1, "IdleTime is machine-wide"},
        {"set IdleTime 60", 0, "60 clamped to 120"},
        {"set UMask rwxr-x--- --server s --resource r", 0, "UMask = 027"},
        {"set CacheSizeK automatic", 0, "CacheSizeK = 0"},
        {"set Hosts \"a, b;c\"", 0, "Hosts = {a, b, c}"},
        {"set AttrCacheDirMax 30 --server s", 1,
         "server s: AttrCacheDirMin 40 is above AttrCacheDirMax 30"},
        {"set AttrCacheDirMin 61", 1, "1 to 60"},
        {"set CaseSensitive 1", 1, "the top level: CaseSensitive 1 needs CaseForce 1"},
        {"set CaseForce 1 --server s", 0, "UserMountDefaults: CaseForce = 1"},
        {"set CaseSensitive 1 --server s", 0, "UserMountDefaults: CaseSensitive = 1"},
        {"unset CaseForce --server s", 1, "server s: CaseSensitive 1 needs CaseForce 1"},
        {"set Enable 1", 1, "Enable is shown only: the NFS Server page"},
        {"set NoSuch 1", 1, "unknown setting NoSuch"},
        {"set RSize", 1, "set takes 2 arguments"},
        {"set RSize 1024 --json", 1, "set does not take --json"},
        // Equal to what it inherits: pruned at once.
        {"set ReadOnly 0 --server s", 0, "no change"},
        // The top now equals the server, whose value pruning then deletes.
        {"set RSize 8192 --dry-run", 0,
         "- HKEY_CURRENT_USER\\" SERVER("s") "MachineMountDefaults: RSize = 8192\n"
                                             "dry run: nothing written"},
        {"unset AttrCacheDirMin --dry-run", 0,
         "- HKEY_CURRENT_USER\\" NFS "UserMountDefaults: AttrCacheDirMin = 40"},
    };
    for (const auto& row : rows) {
        Outcome run = Tool(row.arguments);
        EXPECT_EQ(row.exit, run.Exit) << row.arguments << "\n" << run.Err;
        EXPECT_TRUE(
            Has(row.exit == 0 && !Has(row.message, "clamped") ? run.Out : run.Err, row.message))
            << row.arguments << "\n"
            << run.Out << run.Err;
    }
    DWORD value = 0;
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, NFS "MachineMountDefaults", "RSize"));
    EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, SERVER("s") "MachineMountDefaults",
                          "BackoffMultiplier", &value));
    EXPECT_EQ(50u, value);
    EXPECT_TRUE(ReadDword(HKEY_LOCAL_MACHINE, AUTOMOUNTER, "IdleTime", &value));
    EXPECT_EQ(120u, value);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, SERVER("s") "UserMountDefaults", "ReadOnly"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, NFS "UserMountDefaults", "AttrCacheDirMin"));

    // Unset: the value goes and the level inherits again; a machine-wide
    // value gives way to the page's fixed default.
    Outcome run = Tool("unset RSize --server s");
    EXPECT_EQ(0u, run.Exit) << run.Err;
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, SERVER("s") "MachineMountDefaults", "RSize"));
    EXPECT_TRUE(Has(ShownLine(Tool("show --server s").Out, "RSize"), " 32768 "));
    EXPECT_EQ(0u, Tool("unset IdleTime").Exit);
    std::string line = ShownLine(Tool("show").Out, "IdleTime");
    EXPECT_TRUE(Has(line, " 300 ") && Has(line, " built-in")) << line;
}

TEST_F(Zevrcfg, ExportThenReplacingImportThenExportGivesTheSameFile)
{
    WriteTree();
    std::string first = Export();
    EXPECT_TRUE(Has(first, "\n[top]\nRSize = 2048\nUMask = 023\nTransport = tcp\n"));
    EXPECT_TRUE(Has(first, "\n[server \"b e\"]\nRSize = 1024\nTransport = \"\"\n"));
    EXPECT_TRUE(Has(first, "\n[resource \"c]d\" \"e=fx1\"]\nReadOnly = 1\nRetries = 0\n"));
    EXPECT_TRUE(Has(first, "\n[machine]\nHosts = auth1, auth2\nIdleTime = 600\n"));
    // Servers by name, each followed by its resources.
    EXPECT_LT(first.find("[server alpha]"), first.find("[resource alpha \"\\\"q\\\"x4\"]"));
    EXPECT_LT(first.find("[resource alpha"), first.find("[server \"b e\"]"));
    EXPECT_LT(first.find("[server Mu]"), first.find("[server nu]"));

    std::string file = TempFile("zcf");
    WriteFileText(file, first);
    // Stored settings the file does not list go with --replace.
    WriteDword(HKEY_CURRENT_USER, SERVER("extra") "UserMountDefaults", "CaseForce", 1);
    Outcome run = Tool("import --replace \"" + file + "\"");
    EXPECT_EQ(0u, run.Exit) << run.Err;
    EXPECT_EQ(first, Export());

    // A stored value no page keeps is left out with the reason, so the file
    // still imports; a plain import keeps what the file does not list.
    WriteDword(HKEY_CURRENT_USER, SERVER("zeta") "MachineMountDefaults", "WSize", 100);
    WriteDword(HKEY_CURRENT_USER, SERVER("zeta") "UserMountDefaults", "CaseForce", 1);
    WriteDword(HKEY_CURRENT_USER, SERVER("nu") "UserMountDefaults", "CaseSensitive", 1);
    std::string second = Export();
    EXPECT_TRUE(Has(second, "# WSize = 100 at server zeta left out: the page accepts 512 to "
                            "32768\n"));
    EXPECT_TRUE(Has(second, "# CaseSensitive = 1 at server nu left out: server nu: CaseSensitive "
                            "1 needs CaseForce 1;"));
    WriteFileText(file, second);
    EXPECT_EQ(0u, Tool("import \"" + file + "\"", "\\HKCU\\fresh").Exit);
    run = Tool("import \"" + file + "\"");
    EXPECT_EQ(0u, run.Exit) << run.Err;
    EXPECT_EQ(second, Export());

    // A host list longer than the page shows is marked, and neither set of
    // another value nor a replacing import of the export removes it.
    std::string hosts;
    for (int i = 0; i < 600; ++i)
        hosts += "host" + std::to_string(100 + i) + '\0';
    hosts += '\0';
    WriteRaw(HKEY_LOCAL_MACHINE, AUTH_SERVERS, "Hosts", REG_MULTI_SZ, hosts.data(),
             (DWORD)hosts.size());
    EXPECT_TRUE(Has(Tool("show").Out, "\n  " + std::string(26, ' ') + "   (kept as stored:"));
    EXPECT_EQ(0u, Tool("set IdleTime 900").Exit);
    std::string third = Export();
    EXPECT_TRUE(Has(third, "\n# Hosts at the machine left out, kept as stored:"));
    WriteFileText(file, third);
    run = Tool("import --replace \"" + file + "\"");
    EXPECT_EQ(0u, run.Exit) << run.Err;
    DWORD type = 0;
    std::string stored;
    EXPECT_TRUE(ReadRaw(HKEY_LOCAL_MACHINE, AUTH_SERVERS, "Hosts", &type, &stored));
    EXPECT_TRUE(type == REG_MULTI_SZ && stored == hosts);
    DeleteFileA(file.c_str());
}

TEST_F(Zevrcfg, ImportWithOneBadLineWritesNothing)
{
    WriteDword(HKEY_CURRENT_USER, NFS "MachineMountDefaults", "RSize", 1024);
    std::string before = Export();
    std::string file = TempFile("zcf");
    struct {
        const char* text;
        const char* error;
    } rows[] = {
        {"[top]\nRSize = 2048\nNoSuch = 1\n", "line 3: unknown setting NoSuch"},
        {"[top]\nRSize = 2048\n[server s]\nWSize = 40000\n", "line 4: WSize: 40000 is not"},
        {"[top]\nRSize = 2048\n[server s\nWSize = 4096\n", "line 3: malformed section"},
        {"[top]\nBackoffMultiplier = 99\n", "line 2: BackoffMultiplier: 99 is not accepted"},
        {"[server s]\nIdleTime = 300\n", "line 2: IdleTime is machine-wide"},
        {"[machine]\nRSize = 2048\n", "line 2: RSize is a mount default"},
        {"[top]\nRSize = 2048\n\nrsize = 4096\n", "line 4: RSize is set twice in this section "
                                                  "(line 2)"},
        {"[machine]\nHosts = a, \"b c\"\n", "line 2: Hosts: a host name must not"},
        {"[top]\nTransport = \"tcp\n", "line 2: a quoted text is not closed"},
        {"[top]\nRSize = 2048\n[server s]\nAttrCacheRegMin = 50\nAttrCacheRegMax = 40\n",
         "line 4: server s: AttrCacheRegMin 50 is above AttrCacheRegMax 40"},
        {"[top]\nEnable = 1\n", "line 2: Enable is shown only"},
        {"[resource s r]\nCaseForce = 1\nCaseSensitive = 1\n[server s]\nCaseSensitive = 1\n",
         "line 5: server s: CaseSensitive 1 needs CaseForce 1"},
    };
    for (const auto& row : rows) {
        WriteFileText(file, row.text);
        Outcome run = Tool("import \"" + file + "\"");
        EXPECT_EQ(1u, run.Exit) << row.text;
        EXPECT_TRUE(Has(run.Err, row.error)) << row.text << "\n" << run.Err;
        EXPECT_TRUE(Has(run.Err, "nothing written")) << run.Err;
    }
    EXPECT_EQ(before, Export());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, NFS "Servers"));

    // A dry run of a good file says what would change and writes nothing.
    WriteFileText(file, "[top]\nRSize = 2048\n");
    Outcome run = Tool("import --dry-run \"" + file + "\"");
    EXPECT_EQ(0u, run.Exit) << run.Err;
    EXPECT_TRUE(Has(run.Out, "MachineMountDefaults: RSize = 1024 -> 2048\n")) << run.Out;
    EXPECT_EQ(before, Export());
    // The volatile copies are gone again.
    char name[256];
    for (DWORD i = 0; RegEnumKeyA(HKEY_CURRENT_USER, i, name, sizeof(name)) == ERROR_SUCCESS; ++i)
        EXPECT_NE(0, strncmp(name, "ZevrcfgScratch", 14)) << name;
    DeleteFileA(file.c_str());
}

// UTF-16LE with its mark and CR LF, as a shell's redirection or an
// editor's "Unicode" writes the text.
static std::string Utf16File(const std::string& utf8)
{
    std::string crlf;
    for (char c : utf8)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::wstring wide(crlf.size(), L'\0');
    wide.resize(
        MultiByteToWideChar(CP_UTF8, 0, crlf.data(), (int)crlf.size(), &wide[0], (int)wide.size()));
    std::string bytes = "\xFF\xFE";
    for (wchar_t unit : wide) {
        bytes += (char)(unit & 0xFF);
        bytes += (char)(unit >> 8);
    }
    return bytes;
}

TEST_F(Zevrcfg, ImportReadsUtf16AndRefusesWhatIsNoSettingsFile)
{
    ASSERT_EQ(1252u, GetACP()) << "the non-ASCII names below are those of code page 1252";
    WriteTree();
    std::string first = Export();
    std::string file = TempFile("zcf");
    WriteFileText(file, Utf16File(first));
    Outcome run = Tool("import --replace \"" + file + "\"");
    EXPECT_EQ(0u, run.Exit) << run.Err;
    EXPECT_EQ(first, Export());

    // A name outside ASCII is stored in the code page, and exported escaped.
    WriteFileText(file, Utf16File("[server caf\xC3\xA9]\nRSize = 1024\n[machine]\n"
                                  "Hosts = h\xC3\xB4te, \"\\xE9t\xC3\xA9\"\n"));
    run = Tool("import \"" + file + "\"");
    EXPECT_EQ(0u, run.Exit) << run.Err;
    DWORD size = 0;
    EXPECT_TRUE(
        ReadDword(HKEY_CURRENT_USER, SERVER("caf\xE9") "MachineMountDefaults", "RSize", &size));
    EXPECT_EQ(1024u, size);
    std::string second = Export();
    EXPECT_TRUE(Has(second, "\n[server \"caf\\xE9\"]\nRSize = 1024\n")) << second;
    EXPECT_TRUE(Has(second, "\nHosts = \"h\\xF4te\", \"\\xE9t\\xE9\"\n")) << second;

    struct {
        std::string bytes;
        std::string error; // how the error output goes on after the file's name
    } rows[] = {
        {Utf16File("[top]\nRSize = 2048\nTransport = \xE4\xB8\xAD\n"),
         ": line 3: the character U+4E2D has no form in code page 1252"},
        // Nothing but a failed redirection: with --replace it would have
        // removed everything.
        {"", ": the file is empty; import expects a settings file"},
    };
    for (const auto& row : rows) {
        WriteFileText(file, row.bytes);
        run = Tool("import --replace \"" + file + "\"");
        EXPECT_EQ(1u, run.Exit);
        EXPECT_EQ(0u, run.Err.find("zevrcfg: " + file + row.error)) << run.Err;
        EXPECT_TRUE(Has(run.Err, "; nothing written\n")) << run.Err;
    }
    EXPECT_EQ(second, Export());
    DeleteFileA(file.c_str());
}

TEST_F(Zevrcfg, RegFileLoadedByRegGivesTheSameRegistryAsImport)
{
    WriteTree();
    std::string text = TempFile("zcf"), reg = TempFile("zcr");
    ASSERT_EQ(0u, Tool("export \"" + text + "\"").Exit);
    ASSERT_EQ(0u, Tool("export --reg \"" + reg + "\"").Exit);
    std::string file = ReadFileText(reg);
    EXPECT_EQ(0u, file.find("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" NFS "MachineMountDefaults]\r\n"
                            "\"RSize\"=dword:00000800\r\n\"Transport\"=\"tcp\"\r\n"));
    EXPECT_TRUE(Has(file, "\"Hosts\"=hex(7):61,75,74,68,31,00,61,75,74,68,32,00,00\r\n"));

    // Both into fresh areas of this test's registry: the hives of the file
    // are moved there as --registry moves the tool's.
    EXPECT_EQ(0u, Tool("import \"" + text + "\"", "\\HKCU\\viaTool").Exit);
    std::string area = "[HKEY_CURRENT_USER\\" + sandbox_.ScratchPath() + "\\HKCU\\viaReg\\";
    for (const char* hive : {"[HKEY_CURRENT_USER\\", "[HKEY_LOCAL_MACHINE\\"})
        for (size_t at = file.find(hive); at != std::string::npos; at = file.find(hive, at + 1))
            file.replace(at, strlen(hive), area + (hive[6] == 'C' ? "HKCU\\" : "HKLM\\"));
    WriteFileText(reg, file);
    Outcome run = RunCommand("reg.exe import \"" + reg + "\"");
    EXPECT_EQ(0u, run.Exit) << run.Out << run.Err;
    for (const char* hive : {"HKCU", "HKLM"}) {
        std::string viaTool, viaReg;
        DumpTree(HKEY_CURRENT_USER, std::string("viaTool\\") + hive, &viaTool);
        DumpTree(HKEY_CURRENT_USER, std::string("viaReg\\") + hive, &viaReg);
        EXPECT_GT(viaTool.size(), 100u);
        EXPECT_EQ(viaTool, viaReg) << hive;
    }
    DeleteFileA(text.c_str());
    DeleteFileA(reg.c_str());
}

TEST_F(Zevrcfg, RegistryFailureSaysWhatWasAndWasNotWritten)
{
    MakeKeyReadOnly(HKEY_CURRENT_USER, SERVER("locked") "MachineMountDefaults");
    std::string file = TempFile("zcf");
    WriteFileText(file, "[top]\nRSize = 2048\n[server locked]\nWSize = 4096\n"
                        "[server other]\nWSize = 1024\n");
    // Every key is opened for writing before the first write: one that is
    // denied stops the whole command.
    Outcome run = Tool("import \"" + file + "\"");
    EXPECT_EQ(2u, run.Exit) << run.Err;
    EXPECT_EQ("zevrcfg: cannot change the values of HKEY_CURRENT_USER\\" SERVER(
                  "locked") "MachineMountDefaults: Access denied (error 5)\n"
                            "zevrcfg: nothing written\n",
              run.Err);
    EXPECT_EQ("", run.Out);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, NFS "MachineMountDefaults", "RSize"));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, SERVER("other") "MachineMountDefaults", "WSize"));
    EXPECT_EQ(2u, Tool("set WSize 4096 --server locked").Exit);
    DeleteFileA(file.c_str());
}

// The tool and the sheet agree: what the tool sets is what the pages show,
// and after the sheet's OK the export holds what the pages showed.
TEST_F(Zevrcfg, ToolAndSheetAgree)
{
    const char* sets[] = {"RSize 8192",      "ShortNameMappingCharacter #",
                          "UMask 027",       "Hosts alpha,beta",
                          "CacheSizeK 1024", "IdleTime 600",
                          "Transport udp",   "Retries forever"};
    for (const char* set : sets)
        ASSERT_EQ(0u, Tool(std::string("set ") + set).Exit) << set;
    Open();
    EXPECT_EQ("8192", sheet_->Text(1045));
    EXPECT_EQ("#", sheet_->Text(1043));
    sheet_->ComboType(1046, "4096");
    sheet_->SelectPage(1);
    for (int bit = 0; bit < 9; ++bit)
        EXPECT_EQ((027 >> bit) & 1 ? (UINT)BST_UNCHECKED : (UINT)BST_CHECKED,
                  sheet_->Checked(2008 - bit))
            << bit;
    EXPECT_EQ("alpha,beta", sheet_->Text(1049));
    sheet_->SelectPage(2);
    EXPECT_EQ("1024", sheet_->Text(1057));
    sheet_->SelectPage(3);
    EXPECT_EQ("600", sheet_->Text(1073));
    EXPECT_EQ("forever", sheet_->Text(1070));
    sheet_->SetText(1073, "5000");
    sheet_->SelectPage(5);
    EXPECT_EQ((UINT)BST_CHECKED, sheet_->Checked(2102));
    OkAndClose();
    std::string text = Export();
    // The pages that save after the General page's pruning pass keep even
    // the values equal to what they inherit, as the sheet does.
    EXPECT_TRUE(Has(text, "\n[top]\nShortNameMappingCharacter = #\nRSize = 8192\nWSize = 4096\n"
                          "UMask = 027\nAttrCacheOff = 0\nAttrCacheDirMin = 30\n"
                          "AttrCacheDirMax = 60\nAttrCacheRegMin = 3\nAttrCacheRegMax = 60\n"
                          "Timeout = 0\nBackoffMultiplier = 4\nRetries = 0\nTransport = udp\n"
                          "NfsVersion = 0\nNfsPort = 0\n"))
        << text;
    EXPECT_TRUE(Has(text, "\n[machine]\nHosts = alpha, beta\nCacheSizeK = 1024\n"
                          "EnableDataCache = 1\nNumMappedNames = 256\nAsynchReadahead = 1\n"
                          "IdleTime = 1800\n"))
        << text;
}
