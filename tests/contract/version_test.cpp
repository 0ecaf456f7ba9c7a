// File version resources: a driver file's block and its values; other files give none.
#include <cstring>

#include "contract_fixture.h"
#include "version_text.h"
#include "host/version.h"

using namespace host;
using namespace contract;

namespace {

using VersionFileTest = ContractTest;

TEST_F(VersionFileTest, ADriverFileGivesItsBlockAndValuesAndOthersGiveNone) {
    if (const char* why = Skip(Difference::VersionFile)) GTEST_SKIP() << why;
    const std::string driver = m_scratch.Path("Brakor.vxd");
    ASSERT_TRUE(PlaceVersionedFile(driver));
    DWORD handle = 7;
    const DWORD size = GetVersionInfoSize(driver.c_str(), &handle);
    ASSERT_GT(size, 0u);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(GetVersionInfoSize(m_scratch.Path("BRAKOR.VXD").c_str(), nullptr), size);
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetVersionInfo(driver.c_str(), 0, size, data.data()));

    for (const auto& [path, text] : std::initializer_list<std::pair<const char*, const char*>>{
             {"\\StringFileInfo\\040904B0\\FileVersion", "2.30.0.112"},
             {"\\stringfileinfo\\040904b0\\FILEVERSION", "2.30.0.112"},
             {"\\StringFileInfo\\040904B0\\CompanyName", "Halvorn Ölund ™"},
             {"\\StringFileInfo\\040904E4\\FileVersion", "<none>"},
             {"\\StringFileInfo\\040904B0\\Comments", "<none>"}})
        EXPECT_EQ(QueryText(data.data(), path), text) << path;
    void* buffer = nullptr;
    UINT length = 0;
    ASSERT_TRUE(QueryVersionValue(data.data(), "\\VarFileInfo\\Translation", &buffer, &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(std::memcmp(buffer, "\x09\x04\xB0\x04", 4), 0);
    ASSERT_TRUE(QueryVersionValue(data.data(), "\\", &buffer, &length));
    DWORD fixed[4];  // signature, structure version, file version high and low
    ASSERT_GE(length, sizeof fixed);
    std::memcpy(fixed, buffer, sizeof fixed);
    EXPECT_EQ(fixed[0], 0xFEEF04BDu);
    EXPECT_EQ(fixed[2], 0x0002001Eu);
    EXPECT_EQ(fixed[3], 0x00000070u);
}

TEST_F(VersionFileTest, FilesWithoutABlockGiveNone) {
    WriteFileBytes(m_scratch.Path("plain.vxd"), "MZ no resource here");
    for (const std::string& file : {m_scratch.Path("plain.vxd"), m_scratch.Path("absent.vxd"), std::string()})
        EXPECT_EQ(GetVersionInfoSize(file.c_str(), nullptr), 0u) << file;
}

}  // namespace
