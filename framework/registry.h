// Registry access layer: settings paths under the suite's roots, thin
// wrappers that pass Win32 error codes through, typed readers and writers
// that return 1 or 0, and the write-failure message.
#ifndef ZEVR_REGISTRY_H
#define ZEVR_REGISTRY_H

#include <windows.h>

enum { SettingsPathSize = 272 };

// Joins sub-path to the hive's settings root into a static buffer that the
// next call overwrites; one trailing backslash is dropped.
const char* BuildSettingsPath(HKEY hive, const char* subPath);

// Raw operations: Win32 error codes. A settings path that does not fit the
// path buffer fails with ERROR_FILENAME_EXCED_RANGE without touching the
// registry, so that no shortened path ever names another key.
//
// A key that could not be created fails again, with the same code, for
// every later create until ForgetFailedKeys: a page whose key could not be
// loaded then never saves the values its controls were created with over
// the stored ones, should the key become available while the sheet is open.
LONG OpenSettingsKey(HKEY hive, const char* subPath, HKEY* key);
LONG CreateSettingsKey(HKEY hive, const char* subPath, HKEY* key);
LONG CreateKeyAbsolute(HKEY root, const char* fullPath, HKEY* key);
LONG CloseSettingsKey(HKEY key);
// Called when a sheet is prepared: every key may be tried afresh.
void ForgetFailedKeys();
LONG DeleteSettingsKey(HKEY hive, const char* subPath);
LONG DeleteSettingsValue(HKEY key, const char* valueName);
LONG EnumSubKey(HKEY key, DWORD index, char* name, DWORD nameSize);
LONG EnumValueName(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type);
// The same with the data: ERROR_MORE_DATA when the name or the data does
// not fit, and then neither is known.
LONG EnumValueData(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data,
                   DWORD* dataSize);
LONG QueryRawValue(HKEY key, const char* valueName, DWORD* type, BYTE* data, DWORD* size);
LONG SetRawValue(HKEY key, const char* valueName, DWORD type, const BYTE* data, DWORD size);

// Typed readers: 1 when the value exists with the expected type and fits.
// Texts handed back are always terminated (a multi-string by an empty
// string), also when the stored data lacks its terminator.
int GetStringValue(HKEY key, const char* valueName, char* buffer, DWORD* size);
int GetMultiStringValue(HKEY key, const char* valueName, char* buffer, DWORD* size);

// The same reads, telling a value of the right type that does not fit the
// buffer (with its terminators) apart from one that is missing: a page
// must not save its default over a text it merely could not show.
enum TextReadResult { TextMissing, TextRead, TextTooLong };
TextReadResult ReadStringValue(HKEY key, const char* valueName, char* buffer, DWORD* size);
TextReadResult ReadMultiStringValue(HKEY key, const char* valueName, char* buffer, DWORD* size);
int GetDwordValue(HKEY key, const char* valueName, DWORD* value);

// Values that a page found too long to show whole, by name, since the sheet
// was prepared. A page leaves such a value as stored on save until the
// user changes its control, which releases it.
void KeepValue(const char* valueName);
void ReleaseValue(const char* valueName);
int IsValueKept(const char* valueName);
void ForgetKeptValues();

// Typed writers: 1 on success.
int SetStringValue(HKEY key, const char* valueName, const char* text);
int SetDwordValue(HKEY key, const char* valueName, DWORD value);
int SetMultiStringValue(HKEY key, const char* valueName, const char* list);

// Bytes that SetMultiStringValue stores for list: every string with its
// terminator, plus the closing empty string.
DWORD MultiStringSize(const char* list);

// Where the raw operations go: the registry, unless a program directs them
// to a model of the keys it works on (the tool works out a command's end
// state in memory that way). Each has the signature of the registry call it
// stands for. NULL directs them back to the registry.
struct RegistryBackend {
    LONG (*OpenKey)(HKEY hive, const char* path, HKEY* key);
    LONG (*CreateKey)(HKEY hive, const char* path, HKEY* key);
    LONG (*CloseKey)(HKEY key);
    LONG (*DeleteKey)(HKEY hive, const char* path);
    LONG (*DeleteValue)(HKEY key, const char* valueName);
    LONG (*EnumKey)(HKEY key, DWORD index, char* name, DWORD nameSize);
    LONG (*EnumValue)
    (HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data, DWORD* dataSize);
    LONG (*QueryValue)(HKEY key, const char* valueName, DWORD* type, BYTE* data, DWORD* size);
    LONG (*SetValue)(HKEY key, const char* valueName, DWORD type, const BYTE* data, DWORD size);
};
void DirectRegistryCalls(const RegistryBackend* backend);

// Number of registry calls the raw operations have made so far.
DWORD GetRegistryCallCount();

// Shows "Write Register Failed" unless that box is already on screen.
void ReportWriteFailure();

#endif
