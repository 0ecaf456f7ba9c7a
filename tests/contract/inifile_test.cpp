// Settings files: reading with defaults, writes that keep every other line as
// it was, and writes that would not read back as written refused.
#include "contract_fixture.h"
#include "host/files.h"
#include "host/inifile.h"

using namespace contract;

namespace {

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

class IniFileTest : public ContractTest {
protected:
    void SetUp() override {
        ContractTest::SetUp();
        WriteFileBytes(m_ini, kContent);
    }
    // A cut value answers size - 1, however many bytes the cut left.
    std::string Get(const char* section, const char* key, std::string file = {}, host::DWORD size = 260,
                    bool cut = false) {
        char buffer[260] = "untouched";
        const host::DWORD length = host::GetIniString(section, key, "dflt", buffer, size,
                                                                 (file.empty() ? m_ini : file).c_str());
        EXPECT_EQ(length, cut ? size - 1 : std::string(buffer).size()) << key;
        return buffer;
    }
    const std::string m_ini = m_scratch.Path("system.ini");
};

TEST_F(IniFileTest, ReadsTrimmedValuesWithoutRegardToCase) {
    const std::string other = m_scratch.Path("SYSTEM.INI"), absent = m_scratch.Path("absent.ini");
    struct Case {
        const char* Section;
        const char* Key;
        std::string File;
        host::DWORD Size;
        const char* Expected;
        bool Cut = false;
    } const cases[] = {
        {"password lists", "anna", "", 260, "C:\\WINDOWS\\ANNA.PWL"},
        {"Password Lists", "QUOTED", "", 260, "  spaced  "},
        {"Password Lists", "åSA", other, 260, "C:\\WINDOWS\\ÅSA.PWL"},
        {"Password Lists", "Åsa", "", 13, "C:\\WINDOWS\\", true},  // never half a character
        {"Password Lists", "shell", "", 260, "dflt"},               // a key of another section
        {"boot", "missing", "", 260, "dflt"},
        {"nowhere", "shell", "", 260, "dflt"},
        {"boot", "shell", absent, 260, "dflt"},
        {"386enh", "DEVICE", "", 260, "brakor.vxd"},  // a line ended by LF alone
    };
    for (const Case& c : cases) EXPECT_EQ(Get(c.Section, c.Key, c.File, c.Size, c.Cut), c.Expected) << c.Key;
}

TEST_F(IniFileTest, WritesChangeOnlyTheirOwnLine) {
    const char* layoutSkipped = Skip(Difference::IniLayout);  // null: every other byte is checked too
    ASSERT_TRUE(host::WriteIniString("PASSWORD LISTS", "anna", nullptr, m_ini.c_str()));
    EXPECT_EQ(Get("Password Lists", "ANNA"), "dflt");
    std::string expected = kContent;
    expected.erase(expected.find("  ANNA"), std::string("  ANNA  =  C:\\WINDOWS\\ANNA.PWL  \r\n").size());
    if (!layoutSkipped) {
        EXPECT_EQ(ReadFileBytes(m_ini), expected);
    }
    EXPECT_TRUE(host::WriteIniString("Password Lists", "anna", nullptr, m_ini.c_str())) << "already gone";
    // The flush answers FALSE, as Windows documents, and changes nothing.
    const std::string before = ReadFileBytes(m_ini);
    EXPECT_FALSE(host::WriteIniString(nullptr, nullptr, nullptr, m_ini.c_str()));
    EXPECT_EQ(ReadFileBytes(m_ini), before);

    const std::string created = m_scratch.Path("new.ini");
    ASSERT_TRUE(host::WriteIniString("Password Lists", "Bo", "C:\\WINDOWS\\BO.PWL", m_ini.c_str()));
    ASSERT_TRUE(host::WriteIniString("boot", "SHELL", "other.exe", m_ini.c_str()));
    ASSERT_TRUE(host::WriteIniString("New", "k", "v", created.c_str()));
    EXPECT_EQ(Get("password lists", "bo"), "C:\\WINDOWS\\BO.PWL");
    EXPECT_EQ(Get("Boot", "shell"), "other.exe");
    EXPECT_EQ(Get("Password Lists", "Åsa"), "C:\\WINDOWS\\ÅSA.PWL");
    EXPECT_EQ(Get("New", "K", created), "v");
    if (layoutSkipped) GTEST_SKIP() << layoutSkipped;
    const std::string content = ReadFileBytes(m_ini);
    EXPECT_NE(content.find("Åsa=C:\\WINDOWS\\ÅSA.PWL\r\nBo=C:\\WINDOWS\\BO.PWL\r\n\r\n[386Enh]"), std::string::npos)
        << content;
    EXPECT_NE(content.find("[boot]\r\nSHELL=other.exe\r\n"), std::string::npos) << content;
}

TEST_F(IniFileTest, RefusedWritesLeaveTheFileAlone) {
    const struct {
        const char* Section;
        const char* Key;
        const char* Value;
    } cases[] = {
        {"boot", "a=b", "v"}, {"boot", "k", "line\r\nbreak"}, {"bo]ot", "k", "v"}, {nullptr, "k", "v"},
    };
    for (const auto& c : cases) EXPECT_FALSE(host::WriteIniString(c.Section, c.Key, c.Value, m_ini.c_str()));
    ASSERT_TRUE(host::SetAttributes(m_ini.c_str(), host::kAttributeReadOnly));
    EXPECT_FALSE(host::WriteIniString("boot", "shell", nullptr, m_ini.c_str())) << "read-only";
    EXPECT_EQ(ReadFileBytes(m_ini), kContent);
}

TEST_F(IniFileTest, DeletingAKeyTakesEveryLineOfItAndAFolderIsNoSettingsFile) {
    WriteFileBytes(m_ini, "[Password Lists]\r\nANNA=a.pwl\r\nanna=b.pwl\r\n[other]\r\nx=1\r\n");
    EXPECT_TRUE(host::WriteIniString("Password Lists", "Anna", nullptr, m_ini.c_str()));
    EXPECT_EQ(ReadFileBytes(m_ini).find("pwl"), std::string::npos) << ReadFileBytes(m_ini);
    MakeFolder(m_scratch.Path("folder.ini"));
    EXPECT_EQ(Get("names", "who", m_scratch.Path("folder.ini")), "dflt");
}

}  // namespace
