// The dialog templates of the library's pages, read back from the built DLL
// and compared control by control with their layout.
#include "dialog_template.h"

#include <gtest/gtest.h>

namespace {

const DWORD Page = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
const DWORD Child = WS_CHILD | WS_VISIBLE;
const DWORD AutoCheck = Child | BS_AUTOCHECKBOX | WS_TABSTOP;
const DWORD Label = Child | SS_LEFT;
const DWORD Centred = Child | SS_CENTER;
const DWORD Group = Child | BS_GROUPBOX;
const DWORD DropList = Child | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
const DWORD DropDown = Child | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP;
const DWORD Radio = Child | BS_AUTORADIOBUTTON;

struct Expected {
    int id;
    const char* cls;
    DWORD style;
    const char* text;
    short x, y, cx, cy;
};

void ExpectTemplate(int templateId, const char* caption, short cx, short cy,
                    const std::vector<Expected>& controls)
{
    HMODULE library = LoadLibraryExA("ZEVRNTPS.dll", NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, library);
    DialogTemplate dialog;
    ASSERT_TRUE(ReadDialogTemplate(library, templateId, &dialog));
    FreeLibrary(library);
    EXPECT_EQ(Page, dialog.style);
    EXPECT_EQ(0u, dialog.exStyle);
    EXPECT_EQ(caption, dialog.caption);
    EXPECT_EQ(0, dialog.x);
    EXPECT_EQ(0, dialog.y);
    EXPECT_EQ(cx, dialog.cx);
    EXPECT_EQ(cy, dialog.cy);
    EXPECT_EQ(8, dialog.pointSize);
    EXPECT_EQ("MS Sans Serif", dialog.font);
    ASSERT_EQ(controls.size(), dialog.items.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const Expected& e = controls[i];
        const DialogItem& item = dialog.items[i];
        SCOPED_TRACE("control " + std::to_string(i) + " (" + std::to_string(e.id) + ")");
        EXPECT_EQ(e.id, item.id);
        EXPECT_STRCASEEQ(e.cls, item.cls.c_str());
        EXPECT_EQ(e.style, item.style);
        EXPECT_EQ(0u, item.exStyle);
        EXPECT_EQ(e.text, item.text);
        EXPECT_EQ(e.x, item.x);
        EXPECT_EQ(e.y, item.y);
        EXPECT_EQ(e.cx, item.cx);
        EXPECT_EQ(e.cy, item.cy);
    }
}

} // namespace

TEST(NfsTemplates, GeneralPage)
{
    ExpectTemplate(
        107, "NFS General", 240, 215,
        {
            {1041, "Button", AutoCheck, "&Connect drives read-only", 12, 20, 217, 12},
            {1042, "Button", AutoCheck, "&Use file locking/sharing", 12, 35, 217, 10},
            {-1, "Static", Label, "NFS uses a mapping character to map long file names to DOS.", 12,
             70, 218, 19},
            {1129, "Static", Label, "&Mapping character:", 12, 92, 123, 10},
            {1043, "ComboBox", DropList, "", 140, 90, 24, 70},
            {1130, "Static", Label, "&Read size (in bytes):", 12, 132, 123, 16},
            {1045, "ComboBox", DropDown, "", 140, 130, 60, 45},
            {1131, "Static", Label, "&Write size (in bytes):", 12, 153, 123, 16},
            {1046, "ComboBox", DropDown, "", 140, 151, 60, 45},
            {1118, "Button", WS_CHILD | BS_PUSHBUTTON | WS_DISABLED, "", 19, 183, 56, 6},
            {-1, "Button", Group, "Mount Options", 5, 10, 230, 40},
            {-1, "Button", Group, "File Name Mapping", 5, 58, 230, 52},
            {-1, "Button", Group, "Data Transfer", 5, 120, 230, 52},
        });
}

TEST(NfsTemplates, CachingPage)
{
    ExpectTemplate(
        111, "Caching", 239, 213,
        {
            {-1, "Static", Label, "NFS caches attributes like file size and modification time.", 10,
             21, 220, 18},
            {1058, "Button", AutoCheck, "&Enable attribute cache", 12, 45, 218, 10},
            {1064, "Static", Label, "&Folder attributes (in seconds):", 20, 67, 100, 15},
            {1066, "Static", Centred, "Minimum", 115, 55, 55, 8},
            {1067, "Static", Centred, "Maximum", 175, 55, 55, 8},
            {1059, "ComboBox", DropDown, "", 125, 66, 35, 80},
            {1060, "ComboBox", DropDown, "", 185, 66, 35, 80},
            {1065, "Static", Label, "File a&ttributes (in seconds):", 20, 86, 100, 16},
            {1061, "ComboBox", DropDown, "", 125, 86, 35, 65},
            {1062, "ComboBox", DropDown, "", 185, 86, 35, 65},
            {1126, "Static", Label, "&Read-write cache size (in Kbytes):", 20, 132, 112, 18},
            {1057, "ComboBox", DropDown, "", 140, 132, 80, 70},
            {1148, "Static", Label,
             "The file name cache is for applications that do not use long file names.", 12, 169,
             218, 20},
            {1125, "Static", Label, "&Number of mappings to store:", 12, 192, 168, 10},
            {1063, "ComboBox", DropDown, "", 185, 190, 35, 45},
            {1154, "Button", AutoCheck, "Enable &data cache", 12, 122, 218, 10},
            {-1, "Button", Group, "Attribute Cache", 5, 10, 230, 96},
            {1146, "Button", Group, "Data Cache", 5, 111, 230, 44},
            {1147, "Button", Group, "File Name Cache", 5, 158, 230, 51},
        });
}

TEST(NfsTemplates, SecurityPage)
{
    const char* const bits[] = {"Read", "Write", "Execute"};
    const char* const heads[] = {"&User:", "&Group:", "&Other:"};
    const short columns[] = {11, 87, 157};
    std::vector<Expected> controls;
    for (int column = 0; column < 3; ++column) {
        short x = columns[column];
        controls.push_back({-1, "Static", Label, heads[column], x, 22, 70, 8});
        for (int bit = 0; bit < 3; ++bit)
            controls.push_back({2000 + column * 3 + bit, "Button", AutoCheck, bits[bit], x,
                                (short)(bit == 0   ? 33
                                        : bit == 1 ? 47
                                                   : 60),
                                70, 11});
    }
    const Expected rest[] = {
        {1151, "Static", Label, "Authentication servers verify your user name and password.", 11,
         97, 219, 18},
        {1047, "Button", Radio | WS_GROUP, "&Broadcast for an authentication server", 11, 118, 219,
         11},
        {1048, "Button", Radio, "Use a specific authen&tication server", 11, 133, 219, 11},
        {1051, "Static", Label, "&Server:", 25, 147, 205, 8},
        {1049, "Edit", Child | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, "", 25, 158, 181, 13},
        {-1, "Button", Group, "Default File Creation Permissions", 5, 10, 230, 67},
        {1149, "Button", Group, "Authentication", 5, 83, 230, 100},
    };
    controls.insert(controls.end(), rest, rest + sizeof(rest) / sizeof(rest[0]));
    ExpectTemplate(109, "Security", 240, 215, controls);
}

// The time-out and back-off controls are never shown.
TEST(NfsTemplates, TuningPage)
{
    const DWORD Hidden = WS_CHILD;
    const DWORD Edit = WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
    ExpectTemplate(
        112, "Tuning", 240, 215,
        {
            {1132, "Static", Hidden | SS_LEFT, "&Time-out (in seconds):", 11, 177, 134, 17},
            {1068, "ComboBox", Hidden | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, "", 150, 175, 80,
             94},
            {1133, "Static", Hidden | SS_LEFT, "&Backoff multiplier:", 11, 196, 134, 18},
            {1069, "Edit", Hidden | Edit, "", 150, 194, 40, 12},
            {1134, "Static", Label, "&Retries:", 11, 22, 130, 17},
            {1070, "ComboBox", DropDown, "", 150, 21, 80, 65},
            {1071, "Button", AutoCheck, "&Enable asynchronous readahead", 11, 67, 219, 8},
            {1135, "Static", Label, "&Idle time-out (in seconds):", 11, 105, 134, 20},
            {1073, "Edit", Child | Edit, "", 150, 102, 40, 13},
            {-1, "Button", Group, "NFS Retransmissions", 5, 10, 230, 35},
            {1153, "Button", Group, "Asynchronous Transmissions", 5, 53, 230, 28},
            {1150, "Button", Group, "Automounter", 5, 90, 230, 45},
        });
}

TEST(SharingTemplates, NfsServerAndLoggingPages)
{
    const DWORD Intro = Label | WS_GROUP;
    ExpectTemplate(104, "NFS Server", 303, 197,
                   {
                       {-1, "Static", Intro,
                        "The Quellmar NFS server allows you to share the folders and files on your "
                        "PC with other computers on your network.",
                        10, 5, 285, 20},
                       {1016, "Button", AutoCheck, "&Enable Quellmar NFS server", 10, 25, 285, 10},
                       {1017, "Button", AutoCheck, "&Log NFS server activity", 10, 40, 285, 10},
                   });
    ExpectTemplate(
        106, "Logging", 303, 197,
        {
            {-1, "Static", Intro,
             "The Quellmar Network Event Log monitors the activity of the Quellmar "
             "Network Services.",
             10, 5, 285, 20},
            {1038, "Button", AutoCheck, "&Enable Network Event Log", 10, 25, 285, 10},
            {1039, "Button", AutoCheck, "&Save log messages to file", 10, 40, 285, 10},
            {1040, "Edit", Child | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, "", 20, 53, 160, 12},
        });
}

TEST(NfsTemplates, FilesPage)
{
    ExpectTemplate(
        113, "Files and Folders", 239, 201,
        {
            {1074, "Button", AutoCheck, "&Show NFS files with archive attribute checked", 11, 24,
             219, 11},
            {1121, "Button", Radio | WS_GROUP | WS_TABSTOP, "&Lowercase", 11, 63, 219, 8},
            {1122, "Button", Radio, "&Uppercase", 11, 76, 219, 8},
            {1120, "Button", AutoCheck | WS_GROUP, "&Create file names in preferred case", 11, 111,
             219, 9},
            {1078, "Button", AutoCheck, "Use case sensitive &file name lookup", 11, 125, 219, 9},
            {1079, "Button", Radio | WS_GROUP | WS_TABSTOP, "System &V", 11, 164, 219, 8},
            {1080, "Button", Radio, "&BSD", 11, 179, 219, 8},
            {-1, "Button", Group, "Archive Attribute", 5, 10, 230, 32},
            {1128, "Button", Group, "Case Handling", 5, 99, 230, 42},
            {1127, "Button", Group, "Preferred Case", 5, 49, 230, 43},
            {-1, "Button", Group, "Folder Creation Semantics", 5, 150, 230, 44},
        });
}

TEST(NfsTemplates, AdvancedPage)
{
    ExpectTemplate(
        114, "Advanced", 240, 215,
        {
            {2100, "Button", Radio | WS_GROUP, "Automat&ic", 11, 73, 99, 10},
            {2101, "Button", Radio, "&TCP only", 11, 88, 99, 10},
            {2102, "Button", Radio, "&UDP only", 10, 103, 99, 10},
            {2110, "Button", Radio | WS_GROUP, "Auto&matic", 128, 73, 99, 9},
            {2111, "Button", Radio, "&V3 only", 128, 88, 99, 10},
            {2112, "Button", Radio, "V&2 only", 128, 103, 99, 10},
            {1085, "Button", Radio | WS_GROUP, "Use &portmapper", 10, 141, 219, 10},
            {1086, "Button", Radio, "Use a &specific port", 10, 156, 219, 10},
            {1087, "Static", Label, "NFS p&ort:", 35, 169, 80, 10},
            {1088, "Edit", Child | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, "", 120, 168, 39, 11},
            {-1, "Button", Group | WS_GROUP, "Transport", 5, 59, 112, 62},
            {-1, "Button", Group, "NFS Version", 123, 59, 112, 62},
            {1124, "Button", Group | WS_GROUP, "NFS Port", 5, 125, 230, 60},
            {-1, "Static", Label,
             "Warning: An incorrect setting will disable the NFS Client and make it impossible to "
             "browse NFS file systems. If this occurs, use Network Control Panel to remove and "
             "re-add the NFS Client.",
             5, 10, 230, 48},
        });
}

TEST(NameServiceTemplates, NisPage)
{
    const DWORD Heading = Label | WS_GROUP;
    const DWORD Address = Child | WS_TABSTOP | 0x0004;
    const DWORD Push = Child | BS_PUSHBUTTON | WS_TABSTOP;
    const DWORD List =
        Child | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
    ExpectTemplate(
        115, "NIS/NIS+ Configuration", 199, 222,
        {
            {1106, "Button", AutoCheck, "&Enable NIS", 10, 4, 160, 10},
            {1103, "Static", Heading, "NIS ser&ver search order:", 20, 16, 168, 10},
            {1091, "ZEVRIPAddress", Address, "", 20, 27, 90, 15},
            {1092, "Button", Push, "&Add", 130, 27, 55, 15},
            {1093, "ListBox", List, "", 20, 45, 90, 26},
            {1094, "Button", Push, "&Remove", 130, 45, 55, 15},
            {1107, "Button", AutoCheck, "Enable &NIS+", 10, 74, 160, 10},
            {1105, "Static", Heading, "NIS+ server sear&ch order:", 20, 86, 168, 10},
            {1095, "ZEVRIPAddress", Address, "", 20, 97, 90, 15},
            {1096, "Button", Push, "A&dd", 130, 96, 55, 15},
            {1097, "ListBox", List, "", 20, 115, 90, 26},
            {1098, "Button", Push, "Re&move", 130, 114, 55, 15},
            {1104, "Static", Heading, "Name &service domain:", 10, 144, 100, 10},
            {1089, "Edit", Child | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, "", 20, 155, 84, 14},
            {1156, "Button", Push, "&Up", 130, 183, 55, 15},
            {1157, "Button", Push, "Do&wn", 130, 201, 55, 15},
            {1108, "Static", Heading, "Name server search &order:", 10, 172, 168, 10},
            {1099, "ListBox", List, "", 18, 184, 90, 32},
        });
}
