#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "host/system.h"

using namespace host;

namespace {

TEST(SystemTest, UserNameIsTheAccountTheProcessRunsAs) {
    const passwd* entry = getpwuid(geteuid());
    ASSERT_NE(entry, nullptr);
    const std::string expected = entry->pw_name;

    char buffer[260];
    std::memset(buffer, 'x', sizeof buffer);
    DWORD size = sizeof buffer;
    ASSERT_TRUE(GetUserName(buffer, &size));
    EXPECT_EQ(std::string(buffer), expected);
    EXPECT_EQ(size, expected.size() + 1);  // terminator included

    size = static_cast<DWORD>(expected.size());  // one byte short
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_FALSE(GetUserName(buffer, &size));
    EXPECT_EQ(size, expected.size() + 1);
    EXPECT_EQ(buffer[0], 'x');
}

TEST(SystemTest, WindowsDirectoryFitsOrReportsTheSizeNeeded) {
    char buffer[32];
    EXPECT_EQ(GetWindowsDirectory(buffer, sizeof buffer), 10u);
    EXPECT_STREQ(buffer, "C:\\WINDOWS");
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetWindowsDirectory(buffer, 10), 11u);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(GetWindowsDirectory(buffer, 11), 10u);
}

TEST(SystemTest, TickCountAdvancesInMilliseconds) {
    DWORD before = GetTickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    DWORD elapsed = GetTickCount() - before;  // unsigned: right across a wrap too
    EXPECT_GE(elapsed, 50u);
    EXPECT_LT(elapsed, 5000u);
}

}  // namespace
