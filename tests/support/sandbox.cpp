#include "sandbox.h"

#include <sddl.h>
#include <stdio.h>

#include "../../tools/standins/record.h"

static LONG DeleteTree(HKEY parent, const char* name)
{
    HKEY key;
    LONG rc = RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key);
    if (rc != ERROR_SUCCESS)
        return rc;
    char child[256];
    while (RegEnumKeyA(key, 0, child, sizeof(child)) == ERROR_SUCCESS) {
        if (DeleteTree(key, child) != ERROR_SUCCESS) {
            // A read-only child: give it full access back, then retry.
            HKEY locked;
            if (RegOpenKeyExA(key, child, 0, WRITE_DAC, &locked) == ERROR_SUCCESS) {
                PSECURITY_DESCRIPTOR sd = NULL;
                ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KA;;;WD)",
                                                                     SDDL_REVISION_1, &sd, NULL);
                RegSetKeySecurity(locked, DACL_SECURITY_INFORMATION, sd);
                LocalFree(sd);
                RegCloseKey(locked);
            }
            if (DeleteTree(key, child) != ERROR_SUCCESS)
                break;
        }
    }
    RegCloseKey(key);
    return RegDeleteKeyA(parent, name);
}

RegistrySandbox::RegistrySandbox()
{
    static int serial;
    char path[128];
    snprintf(path, sizeof(path), "ZevrTests\\%lu-%lu-%d", GetCurrentProcessId(), GetTickCount(),
             ++serial);
    scratchPath_ = path;
    RegCreateKeyA(HKEY_CURRENT_USER, (scratchPath_ + "\\HKCU").c_str(), &user_);
    RegCreateKeyA(HKEY_CURRENT_USER, (scratchPath_ + "\\HKLM").c_str(), &machine_);
    EXPECT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CURRENT_USER, user_));
    EXPECT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_));
}

RegistrySandbox::~RegistrySandbox()
{
    RegOverridePredefKey(HKEY_CURRENT_USER, NULL);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, NULL);
    RegCloseKey(user_);
    RegCloseKey(machine_);
    DeleteTree(HKEY_CURRENT_USER, scratchPath_.c_str());
}

bool KeyExists(HKEY hive, const char* path)
{
    HKEY key;
    if (RegOpenKeyA(hive, path, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool ReadRaw(HKEY hive, const char* path, const char* name, DWORD* type, std::string* data)
{
    HKEY key;
    if (RegOpenKeyA(hive, path, &key) != ERROR_SUCCESS)
        return false;
    char buffer[8192];
    DWORD size = sizeof(buffer);
    LONG rc = RegQueryValueExA(key, name, NULL, type, (BYTE*)buffer, &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return false;
    data->assign(buffer, size);
    return true;
}

bool ValueExists(HKEY hive, const char* path, const char* name)
{
    DWORD type;
    std::string data;
    return ReadRaw(hive, path, name, &type, &data);
}

bool ReadDword(HKEY hive, const char* path, const char* name, DWORD* value)
{
    DWORD type;
    std::string data;
    if (!ReadRaw(hive, path, name, &type, &data) || type != REG_DWORD || data.size() != 4)
        return false;
    memcpy(value, data.data(), 4);
    return true;
}

bool ReadString(HKEY hive, const char* path, const char* name, std::string* text)
{
    DWORD type;
    std::string data;
    if (!ReadRaw(hive, path, name, &type, &data) || type != REG_SZ)
        return false;
    *text = std::string(data.c_str());
    return true;
}

void WriteRaw(HKEY hive, const char* path, const char* name, DWORD type, const void* data,
              DWORD size)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(hive, path, &key));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, (const BYTE*)data, size));
    RegCloseKey(key);
}

void WriteDword(HKEY hive, const char* path, const char* name, DWORD value)
{
    WriteRaw(hive, path, name, REG_DWORD, &value, 4);
}

void WriteString(HKEY hive, const char* path, const char* name, const char* text)
{
    WriteRaw(hive, path, name, REG_SZ, text, (DWORD)strlen(text) + 1);
}

int ValueCount(HKEY hive, const char* path)
{
    HKEY key;
    if (RegOpenKeyA(hive, path, &key) != ERROR_SUCCESS)
        return -1;
    DWORD count = 0;
    RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, &count, NULL, NULL, NULL, NULL);
    RegCloseKey(key);
    return (int)count;
}

static void SetKeyAccess(HKEY hive, const char* path, const char* sddl)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(hive, path, &key));
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(hive, path, 0, WRITE_DAC, &key));
    PSECURITY_DESCRIPTOR sd = NULL;
    ASSERT_TRUE(
        ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, NULL));
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd));
    LocalFree(sd);
    RegCloseKey(key);
}

std::string StandInLog()
{
    std::string log;
    if (!ReadString(HKEY_CURRENT_USER, STANDIN_LOG_KEY, STANDIN_LOG_VALUE, &log))
        return "";
    return log;
}

void AppendStandInLog(const char* event)
{
    RecordStandInEvent(event);
}

void MakeKeyReadOnly(HKEY hive, const char* path)
{
    SetKeyAccess(hive, path, "D:P(A;;KR;;;WD)");
}
