// The system calls: names that fit or report the size they need, the tick count.
#include <chrono>
#include <cstring>
#include <thread>

#include "contract_fixture.h"
#include "host/system.h"
#include "host/text.h"

using namespace host;

namespace {

TEST(SystemTest, NamesFitOrReportTheSizeNeededAndLeaveTheBufferAlone) {
    const std::string user = contract::ExpectedUserName();
    ASSERT_FALSE(user.empty());
    char buffer[260];
    DWORD size = sizeof buffer;
    ASSERT_TRUE(GetAccountName(buffer, &size));
    EXPECT_EQ(std::string(buffer), user);
    EXPECT_EQ(size, user.size() + 1);  // terminator included
    size = static_cast<DWORD>(user.size());
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_FALSE(GetAccountName(buffer, &size));
    EXPECT_EQ(size, user.size() + 1);
    EXPECT_EQ(buffer[0], 'x');

    EXPECT_EQ(GetWindowsFolder(buffer, 10), 11u);  // terminator included when it does not fit
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(GetWindowsFolder(buffer, 11), 10u);
    EXPECT_EQ(MbsICmp(buffer, "C:\\WINDOWS"), 0) << buffer;
}

TEST(SystemTest, TickCountAdvancesInMillisecondsAndIsTheLow32BitsOfThe64BitCount) {
    DWORD before = GetTickCount();
    ULONGLONG before64 = GetTickCount64();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    for (ULONGLONG elapsed : {ULONGLONG{GetTickCount() - before}, GetTickCount64() - before64}) {
        EXPECT_GE(elapsed, 50u);
        EXPECT_LT(elapsed, 5000u);
    }
    // Read one right after the other: the 32-bit count is the 64-bit one cut.
    const DWORD low = GetTickCount();
    const ULONGLONG full = GetTickCount64();
    EXPECT_LE(static_cast<DWORD>(full) - low, 1u);
}

}  // namespace
