// Settings files on drive C:: reading with defaults, and writes that keep
// every other line as it was.
#include <gtest/gtest.h>

#include <fstream>

#include "host/emulated/root.h"
#include "host/inifile.h"
#include "support/TempHostRoot.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kIni = "C:\\WINDOWS\\system.ini";
constexpr const char* kContent =
    "; kept comment\r\n"
    "[boot]\r\n"
    "shell=Explorer.exe\r\n"
    "\r\n"
    "[Password Lists]\r\n"
    "  ANNA  =  C:\\WINDOWS\\ANNA.PWL  \r\n"
    "Quoted=\"  spaced  \"\r\n"
    "Åsa=C:\\WINDOWS\\ÅSA.PWL\r\n"
    "\r\n"
    "[386Enh]\r\n"
    "device=brakor.vxd\n";

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(File().parent_path());
        std::ofstream(File(), std::ios::binary) << kContent;
    }
    static fs::path File() { return host::emulated::DriveCPath() / "WINDOWS" / "system.ini"; }
    static std::string Content() { return FileBytes(File()); }
    // A cut value answers size - 1, however many bytes the cut left.
    static std::string Get(const char* section, const char* key, const char* file = kIni, host::DWORD size = 260,
                           bool cut = false) {
        char buffer[260] = "untouched";
        host::DWORD length = host::GetPrivateProfileString(section, key, "dflt", buffer, size, file);
        EXPECT_EQ(length, cut ? size - 1 : std::string(buffer).size()) << key;
        return buffer;
    }
    TempHostRoot m_root;
};

TEST_F(IniFileTest, ReadsTrimmedValuesWithoutRegardToCase) {
    struct Case {
        const char* Section;
        const char* Key;
        const char* File;
        host::DWORD Size;
        const char* Expected;
        bool Cut = false;
    } const cases[] = {
        {"password lists", "anna", kIni, 260, "C:\\WINDOWS\\ANNA.PWL"},
        {"Password Lists", "QUOTED", kIni, 260, "  spaced  "},
        {"Password Lists", "åSA", "c:/windows/SYSTEM.INI", 260, "C:\\WINDOWS\\ÅSA.PWL"},
        {"Password Lists", "Åsa", kIni, 13, "C:\\WINDOWS\\", true},  // never half a character
        {"Password Lists", "shell", kIni, 260, "dflt"},        // a key of another section
        {"boot", "missing", kIni, 260, "dflt"},
        {"nowhere", "shell", kIni, 260, "dflt"},
        {"boot", "shell", "C:\\WINDOWS\\absent.ini", 260, "dflt"},
        {"boot", "shell", "D:\\system.ini", 260, "dflt"},
    };
    for (const Case& c : cases) EXPECT_EQ(Get(c.Section, c.Key, c.File, c.Size, c.Cut), c.Expected) << c.Key;
}

TEST_F(IniFileTest, WritesChangeOnlyTheirOwnLine) {
    ASSERT_TRUE(host::WritePrivateProfileString("PASSWORD LISTS", "anna", nullptr, kIni));
    std::string expected = kContent;
    expected.erase(expected.find("  ANNA"), std::string("  ANNA  =  C:\\WINDOWS\\ANNA.PWL  \r\n").size());
    EXPECT_EQ(Content(), expected);
    EXPECT_TRUE(host::WritePrivateProfileString("Password Lists", "anna", nullptr, kIni)) << "already gone";
    EXPECT_TRUE(host::WritePrivateProfileString(nullptr, nullptr, nullptr, kIni)) << "flush";

    ASSERT_TRUE(host::WritePrivateProfileString("Password Lists", "Bo", "C:\\WINDOWS\\BO.PWL", kIni));
    ASSERT_TRUE(host::WritePrivateProfileString("boot", "SHELL", "other.exe", kIni));
    ASSERT_TRUE(host::WritePrivateProfileString("New", "k", "v", "C:\\WINDOWS\\new.ini"));
    EXPECT_EQ(Get("password lists", "bo"), "C:\\WINDOWS\\BO.PWL");
    EXPECT_NE(Content().find("Åsa=C:\\WINDOWS\\ÅSA.PWL\r\nBo=C:\\WINDOWS\\BO.PWL\r\n\r\n[386Enh]"), std::string::npos)
        << Content();
    EXPECT_NE(Content().find("[boot]\r\nSHELL=other.exe\r\n"), std::string::npos) << Content();
    EXPECT_EQ(Get("New", "K", "C:\\WINDOWS\\new.ini"), "v");
}

TEST_F(IniFileTest, RefusedWritesLeaveTheFileAlone) {
    struct Case {
        const char* Section;
        const char* Key;
        const char* Value;
        const char* File;
    } const cases[] = {
        {"boot", "shell", nullptr, "D:\\system.ini"},
        {"boot", "shell", nullptr, "C:\\..\\..\\system.ini"},
        {"boot", "a=b", "v", kIni},
        {"boot", "k", "line\r\nbreak", kIni},
        {"bo]ot", "k", "v", kIni},
        {nullptr, "k", "v", kIni},
    };
    for (const Case& c : cases) EXPECT_FALSE(host::WritePrivateProfileString(c.Section, c.Key, c.Value, c.File));
    fs::permissions(File(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(host::WritePrivateProfileString("boot", "shell", nullptr, kIni)) << "read-only";
    EXPECT_EQ(Content(), kContent);
}

}  // namespace
