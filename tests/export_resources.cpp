// The version record and the string table, read back from the built DLL
// and compared with the texts typed here.
#include <windows.h>

#include <gtest/gtest.h>
#include <string>

static HMODULE LoadBuiltLibrary()
{
    return LoadLibraryExA("ZEVRNTPS.dll", NULL, LOAD_LIBRARY_AS_DATAFILE);
}

static std::string VersionString(const std::string& block, const char* name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof(path));
    std::string dll(path);
    dll = dll.substr(0, dll.find_last_of('\\') + 1) + "ZEVRNTPS.dll";
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(dll.c_str(), &handle);
    if (size == 0)
        return "(no version record)";
    std::string data(size, '\0');
    if (!GetFileVersionInfoA(dll.c_str(), 0, size, &data[0]))
        return "(unreadable)";
    char* value = NULL;
    UINT length = 0;
    std::string query = "\\StringFileInfo\\" + block + "\\" + name;
    if (!VerQueryValueA(&data[0], query.c_str(), (void**)&value, &length))
        return "(missing)";
    return value;
}

TEST(VersionRecord, HoldsTheProductTexts)
{
    EXPECT_EQ("3.1.1.0", VersionString("040904b0", "FileVersion"));
    EXPECT_EQ("3.1.1.0", VersionString("040904b0", "ProductVersion"));
    EXPECT_EQ("Quellmar User Interface Extensions DLL",
              VersionString("040904b0", "FileDescription"));
    EXPECT_EQ("ZEVRPROP", VersionString("040904b0", "InternalName"));
    EXPECT_EQ("ZEVRPROP.DLL", VersionString("040904b0", "OriginalFilename"));
    EXPECT_EQ("Quellmar", VersionString("040904b0", "ProductName"));
}

TEST(StringTable, EveryEntryReadsBackExactly)
{
    HMODULE library = LoadBuiltLibrary();
    ASSERT_NE(nullptr, library);
    const struct {
        UINT id;
        const char* text;
    } expected[] = {
        {8, "This field has a limit of %d characters."},
        {9, "This field cannot be empty."},
        {11, "Automatic"},
        {12, "5 times"},
        {13, "10 times"},
        {14, "forever"},
        {22, "What's this?"},
        {23, "Def&aults"},
        {26, "Windows default"},
        {27, "\"%s\" is not a valid NIS or NIS+ Domain Name."},
        {30, "%d is not a valid entry. Please specify a value between 0 and 255 for this field"},
        {31, "Error"},
        {34, "Quellmar NFS Client Configuration"},
        {35, "Quellmar File Sharing Configuration"},
        {36, "Quellmar NIS/NIS+ Name Service Configuration"},
        {37, "Please add at least one server to the list."},
    };
    for (const auto& entry : expected) {
        char text[512] = "";
        LoadStringA(library, entry.id, text, sizeof(text));
        EXPECT_STREQ(entry.text, text) << "string " << entry.id;
        // The entries are U.S. English resources.
        HRSRC block =
            FindResourceExA(library, (LPCSTR)RT_STRING, MAKEINTRESOURCEA(entry.id / 16 + 1),
                            MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
        EXPECT_NE(nullptr, block) << "string " << entry.id;
    }
    // Nothing else is in the table's blocks.
    char text[64];
    for (UINT id : {0u, 1u, 10u, 15u, 21u, 24u, 28u, 32u, 33u, 38u})
        EXPECT_EQ(0, LoadStringA(library, id, text, sizeof(text))) << "string " << id;
    FreeLibrary(library);
}
