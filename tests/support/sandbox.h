// A registry of its own for every test: HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE of the test process are redirected to fresh scratch
// keys, which are deleted again afterwards.
#ifndef ZEVR_TEST_SANDBOX_H
#define ZEVR_TEST_SANDBOX_H

#include <windows.h>

#include <gtest/gtest.h>
#include <string>

class RegistrySandbox {
  public:
    RegistrySandbox();
    ~RegistrySandbox();
    // Path of the scratch root below the real HKEY_CURRENT_USER.
    const std::string& ScratchPath() const
    {
        return scratchPath_;
    }

  private:
    std::string scratchPath_;
    HKEY user_ = NULL;
    HKEY machine_ = NULL;
};

// Fixture that gives each test its own registry.
class SandboxTest : public testing::Test {
  protected:
    RegistrySandbox sandbox_;
};

// Small registry helpers for arranging and checking a test's registry. Paths
// are full paths below the hive (no settings root is added).
bool KeyExists(HKEY hive, const char* path);
bool ValueExists(HKEY hive, const char* path, const char* name);
bool ReadDword(HKEY hive, const char* path, const char* name, DWORD* value);
bool ReadString(HKEY hive, const char* path, const char* name, std::string* text);
// Raw data and type of a value; false when it is missing.
bool ReadRaw(HKEY hive, const char* path, const char* name, DWORD* type, std::string* data);
void WriteDword(HKEY hive, const char* path, const char* name, DWORD value);
void WriteString(HKEY hive, const char* path, const char* name, const char* text);
void WriteRaw(HKEY hive, const char* path, const char* name, DWORD type, const void* data,
              DWORD size);
// Number of values in a key; -1 when the key is missing.
int ValueCount(HKEY hive, const char* path);
// Creates the key (when missing) and leaves it readable but not writable,
// so that every RegSetValueEx on it fails with ERROR_ACCESS_DENIED.
void MakeKeyReadOnly(HKEY hive, const char* path);

// The events that the stand-in companion libraries recorded in this test's
// registry, as "event;event;...".
std::string StandInLog();
void AppendStandInLog(const char* event);

#endif
