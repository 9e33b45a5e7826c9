// The fixture of the tests that run zevrcfg through the real executable,
// with the test's own registry: the tool's --registry switch points the
// child at the same scratch keys as the test's sandbox.
#ifndef ZEVR_TEST_ZEVRCFG_FIXTURE_H
#define ZEVR_TEST_ZEVRCFG_FIXTURE_H

#include "command.h"
#include "nfs_sheet.h"

#define NFS "Software\\ZEVR\\CC\\1.0\\zevrnfs\\"
#define SERVER(s) NFS "Servers\\" s "\\"
#define RESOURCE(s, r) SERVER(s) "Resources\\" r "\\"

inline bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// The line of show's output that starts with the setting's name.
inline std::string ShownLine(const std::string& out, const std::string& name)
{
    size_t at = out.find("\n  " + name + " ");
    if (at == std::string::npos)
        return "(no line for " + name + ")";
    return out.substr(at + 1, out.find('\n', at + 1) - at - 1);
}

// Every key and value below path, one line each, for comparing registries.
inline void DumpTree(HKEY hive, const std::string& path, std::string* out)
{
    HKEY key;
    if (RegOpenKeyA(hive, path.c_str(), &key) != ERROR_SUCCESS)
        return;
    *out += "[" + path.substr(path.find('\\') + 1) + "]\n";
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[4096];
        DWORD nameSize = sizeof(name), size = sizeof(data), type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, NULL, &type, data, &size) != ERROR_SUCCESS)
            break;
        *out += std::string(name) + ":" + std::to_string(type) + ":" +
                std::string((char*)data, size) + "\n";
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        if (RegEnumKeyA(key, i, name, sizeof(name)) != ERROR_SUCCESS)
            break;
        DumpTree(hive, path + "\\" + name, out);
    }
    RegCloseKey(key);
}

class Zevrcfg : public NfsSheet {
  protected:
    Outcome Tool(const std::string& arguments, const std::string& area = "")
    {
        return RunCommand("\"" + BinFolder() + "\\zevrcfg.exe\" --registry " +
                          sandbox_.ScratchPath() + area + " " + arguments);
    }
    std::string Export(const std::string& area = "")
    {
        Outcome run = Tool("export", area);
        EXPECT_EQ(0u, run.Exit) << run.Err;
        return run.Out;
    }
    // A tree of many servers and resources, every value its own (none equal
    // to what it inherits), with names that need quoting.
    void WriteTree()
    {
        WriteDword(HKEY_CURRENT_USER, NFS "MachineMountDefaults", "RSize", 2048);
        WriteDword(HKEY_CURRENT_USER, NFS "UserMountDefaults", "UMask", 023);
        WriteString(HKEY_CURRENT_USER, NFS "MachineMountDefaults", "Transport", "tcp");
        const char* names[] = {"alpha", "b e", "c]d", "e=f", "\"q\"", "zeta", "Mu", "nu"};
        for (int s = 0; s < 8; ++s) {
            std::string server = std::string(NFS "Servers\\") + names[s];
            const DWORD sizes[] = {512, 1024, 4096, 8192, 16384};
            WriteDword(HKEY_CURRENT_USER, (server + "\\MachineMountDefaults").c_str(), "RSize",
                       sizes[s % 5]);
            WriteString(HKEY_CURRENT_USER, (server + "\\MachineMountDefaults").c_str(), "Transport",
                        s % 2 ? "" : "udp");
            for (int r = 0; r < 5; ++r) {
                std::string resource =
                    server + "\\Resources\\" + names[(s + r) % 8] + "x" + std::to_string(r);
                WriteDword(HKEY_CURRENT_USER, (resource + "\\UserMountDefaults").c_str(), "Retries",
                           (DWORD)(r % 2 ? 0 : 10));
                WriteDword(HKEY_CURRENT_USER, (resource + "\\UserMountDefaults").c_str(),
                           "ReadOnly", 1);
            }
        }
        const char hosts[] = "auth1\0auth2\0";
        WriteRaw(HKEY_LOCAL_MACHINE, AUTH_SERVERS, "Hosts", REG_MULTI_SZ, hosts, sizeof(hosts));
        WriteDword(HKEY_LOCAL_MACHINE, AUTOMOUNTER, "IdleTime", 600);
    }
};

#endif
