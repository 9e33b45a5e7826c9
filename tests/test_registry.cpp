// The registry access layer against a real (per-test) registry.
#include "registry.h"
#include "sandbox.h"
#include "ui.h"

#include <string>

TEST(SettingsPath, JoinsTheHiveRootAndDropsOneTrailingBackslash)
{
    EXPECT_STREQ("Software\\ZEVR\\CC\\1.0\\zevrnfs\\UserMountDefaults",
                 BuildSettingsPath(HKEY_CURRENT_USER, "zevrnfs\\UserMountDefaults"));
    EXPECT_STREQ("Software\\ZEVR\\CC\\1.0\\zevrnfs",
                 BuildSettingsPath(HKEY_CURRENT_USER, "zevrnfs\\"));
    EXPECT_STREQ("SOFTWARE\\ZEVR\\CC\\1.0\\zevrnfs\\Automounter",
                 BuildSettingsPath(HKEY_LOCAL_MACHINE, "zevrnfs\\Automounter"));
    EXPECT_STREQ("SOFTWARE\\ZEVR\\CC\\1.0", BuildSettingsPath(HKEY_LOCAL_MACHINE, ""));
    EXPECT_STREQ("Software\\ZEVR\\CC\\1.0", BuildSettingsPath(HKEY_CURRENT_USER, ""));
    // Only one backslash goes.
    EXPECT_STREQ("Software\\ZEVR\\CC\\1.0\\a\\", BuildSettingsPath(HKEY_CURRENT_USER, "a\\\\"));
}

TEST(SettingsPath, OtherHivesUseTheSubPathAsItStands)
{
    EXPECT_STREQ("System\\Setup", BuildSettingsPath(HKEY_USERS, "System\\Setup\\"));
    EXPECT_STREQ("", BuildSettingsPath(HKEY_CLASSES_ROOT, ""));
    EXPECT_STREQ("", BuildSettingsPath(HKEY_USERS, "\\"));
}

TEST(SettingsPath, TooLongForTheBufferStaysTerminatedAndNamesNoKey)
{
    std::string longPath(400, 'k');
    const char* path = BuildSettingsPath(HKEY_CURRENT_USER, longPath.c_str());
    EXPECT_EQ((size_t)SettingsPathSize - 1, strlen(path));

    RegistrySandbox sandbox;
    // A shortened path must never be opened, created or deleted instead.
    std::string fits(SettingsPathSize - 1 - strlen("Software\\ZEVR\\CC\\1.0\\"), 'k');
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, CreateSettingsKey(HKEY_CURRENT_USER, "", &key));
    CloseSettingsKey(key);
    EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE,
              CreateSettingsKey(HKEY_CURRENT_USER, longPath.c_str(), &key));
    EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE,
              OpenSettingsKey(HKEY_CURRENT_USER, longPath.c_str(), &key));
    EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE, DeleteSettingsKey(HKEY_CURRENT_USER, longPath.c_str()));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\ZEVR\\CC\\1.0"));
}

class RegistryLayer : public SandboxTest {
  protected:
    void SetUp() override
    {
        ASSERT_EQ(ERROR_SUCCESS, CreateSettingsKey(HKEY_CURRENT_USER, "test\\", &key_));
    }
    void TearDown() override
    {
        CloseSettingsKey(key_);
    }
    void Raw(const char* name, DWORD type, const void* data, DWORD size)
    {
        ASSERT_EQ(ERROR_SUCCESS, SetRawValue(key_, name, type, (const BYTE*)data, size));
    }
    HKEY key_ = NULL;
};

TEST_F(RegistryLayer, KeysAreCreatedOpenedAndDeletedUnderTheSettingsRoot)
{
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\ZEVR\\CC\\1.0\\test"));
    HKEY key;
    EXPECT_EQ(ERROR_SUCCESS, OpenSettingsKey(HKEY_CURRENT_USER, "test", &key));
    CloseSettingsKey(key);
    EXPECT_NE(ERROR_SUCCESS, OpenSettingsKey(HKEY_CURRENT_USER, "absent", &key));
    EXPECT_NE(ERROR_SUCCESS, OpenSettingsKey(HKEY_LOCAL_MACHINE, "test", &key));

    ASSERT_EQ(ERROR_SUCCESS, CreateSettingsKey(HKEY_LOCAL_MACHINE, "zevrnfsd", &key));
    CloseSettingsKey(key);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\ZEVR\\CC\\1.0\\zevrnfsd"));
    EXPECT_EQ(ERROR_SUCCESS, DeleteSettingsKey(HKEY_LOCAL_MACHINE, "zevrnfsd\\"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\ZEVR\\CC\\1.0\\zevrnfsd"));

    ASSERT_EQ(ERROR_SUCCESS, CreateKeyAbsolute(HKEY_LOCAL_MACHINE,
                                               "System\\CurrentControlSet\\Services\\X", &key));
    CloseSettingsKey(key);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\X"));
}

TEST_F(RegistryLayer, EnumerationGivesNamesAndTypes)
{
    ASSERT_EQ(1, SetDwordValue(key_, "Number", 7));
    ASSERT_EQ(1, SetStringValue(key_, "Text", "abc"));
    char name[256];
    DWORD size = sizeof(name);
    DWORD type = 0;
    ASSERT_EQ(ERROR_SUCCESS, EnumValueName(key_, 0, name, &size, &type));
    EXPECT_STREQ("Number", name);
    EXPECT_EQ((DWORD)REG_DWORD, type);
    size = sizeof(name);
    ASSERT_EQ(ERROR_SUCCESS, EnumValueName(key_, 1, name, &size, &type));
    EXPECT_EQ((DWORD)REG_SZ, type);
    size = sizeof(name);
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, EnumValueName(key_, 2, name, &size, &type));

    HKEY child;
    ASSERT_EQ(ERROR_SUCCESS, CreateSettingsKey(HKEY_CURRENT_USER, "test\\Sub", &child));
    CloseSettingsKey(child);
    EXPECT_EQ(ERROR_SUCCESS, EnumSubKey(key_, 0, name, sizeof(name)));
    EXPECT_STREQ("Sub", name);
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, EnumSubKey(key_, 1, name, sizeof(name)));

    EXPECT_EQ(ERROR_SUCCESS, DeleteSettingsValue(key_, "Number"));
    EXPECT_NE(ERROR_SUCCESS, DeleteSettingsValue(key_, "Number"));
}

TEST_F(RegistryLayer, DwordReaderAcceptsOnlyFourByteDwords)
{
    DWORD value = 0;
    EXPECT_EQ(0, GetDwordValue(key_, "Missing", &value));
    Raw("Text", REG_SZ, "12", 3);
    EXPECT_EQ(0, GetDwordValue(key_, "Text", &value));
    DWORD four = 5;
    Raw("Binary", REG_BINARY, &four, 4);
    EXPECT_EQ(0, GetDwordValue(key_, "Binary", &value));
    unsigned long long eight = 9;
    Raw("Long", REG_DWORD, &eight, 8);
    EXPECT_EQ(0, GetDwordValue(key_, "Long", &value));
    // Two bytes stored as a number: missing, and the caller's number untouched.
    Raw("Short", REG_DWORD, "\x07\x00", 2);
    value = 0xAAAAAAAAu;
    EXPECT_EQ(0, GetDwordValue(key_, "Short", &value));
    EXPECT_EQ(0xAAAAAAAAu, value);
    ASSERT_EQ(1, SetDwordValue(key_, "Good", 0xFFFFFFFFu));
    EXPECT_EQ(1, GetDwordValue(key_, "Good", &value));
    EXPECT_EQ(0xFFFFFFFFu, value);
}

TEST_F(RegistryLayer, StringReaderChecksTypeAndSize)
{
    ASSERT_EQ(1, SetStringValue(key_, "Text", "hello"));
    std::string data;
    DWORD type = 0;
    ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, "Software\\ZEVR\\CC\\1.0\\test", "Text", &type, &data));
    EXPECT_EQ((DWORD)REG_SZ, type);
    EXPECT_EQ(std::string("hello\0", 6), data); // the terminator is stored

    char buffer[16];
    DWORD size = sizeof(buffer);
    EXPECT_EQ(1, GetStringValue(key_, "Text", buffer, &size));
    EXPECT_STREQ("hello", buffer);
    EXPECT_EQ(6u, size);

    // Exactly the text and its terminator fit; one byte less does not.
    size = 6;
    EXPECT_EQ(1, GetStringValue(key_, "Text", buffer, &size));
    size = 5;
    EXPECT_EQ(0, GetStringValue(key_, "Text", buffer, &size));

    ASSERT_EQ(1, SetDwordValue(key_, "Number", 1));
    size = sizeof(buffer);
    EXPECT_EQ(0, GetStringValue(key_, "Number", buffer, &size));
    size = sizeof(buffer);
    EXPECT_EQ(0, GetStringValue(key_, "Missing", buffer, &size));
}

TEST_F(RegistryLayer, UnterminatedStringsComeBackTerminated)
{
    Raw("Bare", REG_SZ, "abc", 3);
    char buffer[8];
    memset(buffer, 'X', sizeof(buffer));
    DWORD size = sizeof(buffer);
    ASSERT_EQ(1, GetStringValue(key_, "Bare", buffer, &size));
    EXPECT_STREQ("abc", buffer);
    EXPECT_EQ(4u, size);

    // Three characters without terminator in a three-byte buffer: no room
    // for the terminator, so the value counts as missing, and the buffer is
    // still terminated.
    char small[3];
    memset(small, 'X', sizeof(small));
    size = sizeof(small);
    EXPECT_EQ(0, GetStringValue(key_, "Bare", small, &size));
    EXPECT_EQ('\0', small[2]);

    Raw("Empty", REG_SZ, "", 0);
    memset(buffer, 'X', sizeof(buffer));
    size = sizeof(buffer);
    ASSERT_EQ(1, GetStringValue(key_, "Empty", buffer, &size));
    EXPECT_STREQ("", buffer);
}

TEST_F(RegistryLayer, MultiStringsAreSizedAndTerminated)
{
    ASSERT_EQ(1, SetMultiStringValue(key_, "List", "a\0bc\0"));
    DWORD type;
    std::string data;
    ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, "Software\\ZEVR\\CC\\1.0\\test", "List", &type, &data));
    EXPECT_EQ((DWORD)REG_MULTI_SZ, type);
    EXPECT_EQ(std::string("a\0bc\0\0", 6), data);

    ASSERT_EQ(1, SetMultiStringValue(key_, "None", ""));
    ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, "Software\\ZEVR\\CC\\1.0\\test", "None", &type, &data));
    EXPECT_EQ(std::string("\0", 1), data);

    char buffer[16];
    DWORD size = sizeof(buffer);
    ASSERT_EQ(1, GetMultiStringValue(key_, "List", buffer, &size));
    EXPECT_EQ(0, memcmp("a\0bc\0\0", buffer, 6));
    size = sizeof(buffer);
    EXPECT_EQ(0, GetStringValue(key_, "List", buffer, &size));

    // Stored without either terminator: both are put back.
    Raw("Bare", REG_MULTI_SZ, "a\0bc", 4);
    memset(buffer, 'X', sizeof(buffer));
    size = sizeof(buffer);
    ASSERT_EQ(1, GetMultiStringValue(key_, "Bare", buffer, &size));
    EXPECT_EQ(0, memcmp("a\0bc\0\0", buffer, 6));
    EXPECT_EQ(6u, size);
    char tight[5];
    size = sizeof(tight);
    EXPECT_EQ(0, GetMultiStringValue(key_, "Bare", tight, &size));
    EXPECT_EQ('\0', tight[4]);
}

// Too long only when the type is right: another type of any length is
// missing, so that the page's default replaces it.
TEST_F(RegistryLayer, TextReadersTellTooLongFromMissing)
{
    std::string longText(300, 'z');
    Raw("Long", REG_SZ, longText.data(), (DWORD)longText.size());
    Raw("Full", REG_SZ, "abcd", 4); // fits, its terminator does not
    Raw("LongList", REG_MULTI_SZ, longText.data(), (DWORD)longText.size());
    Raw("LongBinary", REG_BINARY, longText.data(), (DWORD)longText.size());
    const struct {
        const char* name;
        bool multi;
        TextReadResult read;
    } cases[] = {
        {"Long", false, TextTooLong},      {"Full", false, TextTooLong},
        {"Full", true, TextMissing},       {"LongList", true, TextTooLong},
        {"LongList", false, TextMissing},  {"LongBinary", false, TextMissing},
        {"LongBinary", true, TextMissing}, {"Missing", false, TextMissing},
    };
    for (const auto& c : cases) {
        char buffer[4];
        DWORD size = sizeof(buffer);
        EXPECT_EQ(c.read, c.multi ? ReadMultiStringValue(key_, c.name, buffer, &size)
                                  : ReadStringValue(key_, c.name, buffer, &size))
            << c.name << (c.multi ? " as a list" : "");
    }
}

TEST_F(RegistryLayer, WritersReportFailureOnAReadOnlyKey)
{
    MakeKeyReadOnly(HKEY_CURRENT_USER, "Software\\ZEVR\\CC\\1.0\\locked");
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, OpenSettingsKey(HKEY_CURRENT_USER, "locked", &key));
    EXPECT_EQ(ERROR_ACCESS_DENIED, SetRawValue(key, "X", REG_DWORD, (const BYTE*)"\0\0\0\0", 4));
    EXPECT_EQ(0, SetDwordValue(key, "X", 1));
    EXPECT_EQ(0, SetStringValue(key, "X", "a"));
    EXPECT_EQ(0, SetMultiStringValue(key, "X", "a\0"));
    CloseSettingsKey(key);
}

// A window on the box's thread whose procedure fails a write again while
// the first box is open, as page code run by the box's message loop would.
static LRESULT CALLBACK ReportAgainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP) {
        ReportWriteFailure();
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(WriteFailure, OneBoxAtATime)
{
    WNDCLASSA cls = {};
    cls.lpfnWndProc = ReportAgainProc;
    cls.hInstance = GetModuleHandleA(NULL);
    cls.lpszClassName = "ReportAgain";
    RegisterClassA(&cls);
    HWND helper = NULL;
    UiThread thread([&helper] {
        helper = CreateWindowA("ReportAgain", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL,
                               GetModuleHandleA(NULL), NULL);
        ReportWriteFailure();
        // After the box is closed, the next failure is reported again.
        ReportWriteFailure();
        DestroyWindow(helper);
    });
    MessageBoxInfo box;
    ASSERT_TRUE(WaitMessageBox(thread.Id(), &box));
    EXPECT_EQ("Write Register Failed", box.text);
    EXPECT_EQ("Error", box.caption);
    EXPECT_TRUE(box.exclamation);
    EXPECT_EQ(std::vector<int>{IDOK}, box.buttons);
    EXPECT_EQ(nullptr, box.owner);

    // A second failure while the box is open shows nothing more.
    EXPECT_EQ(1, SendMessageA(helper, WM_APP, 0, 0));
    Settle(100);
    EXPECT_EQ(1, CountMessageBoxes(thread.Id()));
    DismissMessageBox(box);

    MessageBoxInfo second;
    ASSERT_TRUE(WaitMessageBox(thread.Id(), &second));
    EXPECT_EQ("Write Register Failed", second.text);
    DismissMessageBox(second);
    EXPECT_TRUE(thread.Join());
}
