// The version calls hand strings back in UTF-8, their length in bytes with the
// terminator; the root is a whole VS_FIXEDFILEINFO. The file read is this test
// program itself (tests/win32/versioned.rc), found by its bare name.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/version.h"

using namespace host;

namespace {

TEST(Win32VersionTest, StringsComeBackInUtf8AndTheRootAsTheFixedInfo) {
    const char* self = "test_win32host.exe";
    DWORD handle = 1;
    const DWORD size = GetFileVersionInfoSize(self, &handle);
    ASSERT_GT(size, 0u);
    EXPECT_EQ(handle, 0u);
    std::vector<BYTE> block(size);
    ASSERT_EQ(GetFileVersionInfo(self, 0, size, block.data()), 1);

    const struct {
        const char* Path;
        std::string Text;
    } strings[] = {
        {"\\StringFileInfo\\040904B0\\CompanyName", "Halvørn Åb"},
        {"\\StringFileInfo\\040904b0\\FileVersion", "2.30.0.112"},
    };
    for (const auto& s : strings) {
        void* value = nullptr;
        UINT length = 0;
        ASSERT_EQ(VerQueryValue(block.data(), s.Path, &value, &length), 1) << s.Path;
        EXPECT_EQ(std::string(static_cast<const char*>(value)), s.Text);
        EXPECT_EQ(length, s.Text.size() + 1) << "bytes, terminator included";
    }

    void* value = nullptr;
    UINT length = 0;
    ASSERT_EQ(VerQueryValue(block.data(), "\\", &value, &length), 1);
    ASSERT_GE(length, 52u);
    DWORD fixed[13];
    std::memcpy(fixed, value, sizeof fixed);
    EXPECT_EQ(fixed[0], 0xFEEF04BDu);
    EXPECT_EQ(fixed[2], (2u << 16) | 30u);
    EXPECT_EQ(fixed[3], 112u);
    EXPECT_EQ(VerQueryValue(block.data(), "\\StringFileInfo\\040904B0\\Missing", &value, &length), 0);
    EXPECT_EQ(GetFileVersionInfoSize("no-such-file.vxd", &handle), 0u);
}

}  // namespace
