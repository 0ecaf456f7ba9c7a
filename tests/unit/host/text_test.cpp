// The system calls and the code page's text rules.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "host/system.h"
#include "host/text.h"

using namespace host;

namespace {

TEST(SystemTest, NamesFitOrReportTheSizeNeededAndLeaveTheBufferAlone) {
    const passwd* entry = getpwuid(geteuid());
    ASSERT_NE(entry, nullptr);
    const std::string user = entry->pw_name;
    char buffer[260];
    DWORD size = sizeof buffer;
    ASSERT_TRUE(GetUserName(buffer, &size));
    EXPECT_EQ(std::string(buffer), user);
    EXPECT_EQ(size, user.size() + 1);  // terminator included
    size = static_cast<DWORD>(user.size());
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_FALSE(GetUserName(buffer, &size));
    EXPECT_EQ(size, user.size() + 1);
    EXPECT_EQ(buffer[0], 'x');

    EXPECT_EQ(GetWindowsDirectory(buffer, 10), 11u);  // terminator included when it does not fit
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(GetWindowsDirectory(buffer, 11), 10u);
    EXPECT_STREQ(buffer, "C:\\WINDOWS");
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

TEST(TextTest, FoldsAsciiAndLatinLettersOnlyAndComparesFolded) {
    EXPECT_EQ(FoldCase("Station1 USER ÀÉÎÕÜÝÞ"), "station1 user àéîõüýþ");
    EXPECT_EQ(FoldCase("×÷ß"), "×÷ß");  // the multiplication sign sits among the capitals
    // Latin Extended-A: pairs capital/small, in both parities, and Ÿ outside its block.
    EXPECT_EQ(FoldCase("ĀĂŁŇŊŒŠŸŹŽ āłňœž"), "āăłňŋœšÿźž āłňœž");
    // Dotted and dotless I have no pair that folds safely; other scripts stay as they are.
    EXPECT_EQ(FoldCase("İı ΑΒΓ Ж"), "İı ΑΒΓ Ж");
    EXPECT_EQ(FoldCase("A\xC3\x28Z\xE2\x82\xFF\xC0\x80"), "a\xC3\x28z\xE2\x82\xFF\xC0\x80");  // invalid bytes pass

    EXPECT_EQ(MbsICmp("Åsa", "åSA"), 0);
    EXPECT_EQ(MbsICmp("", ""), 0);
    EXPECT_LT(MbsICmp("alpha", "BETA"), 0);
    EXPECT_GT(MbsICmp("Beta", "alpha"), 0);
    EXPECT_LT(MbsICmp("User", "user1"), 0);
    EXPECT_LT(MbsICmp("zeta", "Ärger"), 0);  // letters beyond ASCII sort after it
}

TEST(TextTest, CutsFallOnCharacterBoundaries) {
    const struct {
        const char* Text;
        std::size_t Limit, Cut;
    } cases[] = {
        {"ab€d", 10, 6}, {"ab€d", 2, 2}, {"ab€d", 3, 2}, {"ab€d", 4, 2}, {"ab€d", 5, 5},  // € is bytes 2..4
        {"😀", 3, 0},    {"😀", 4, 4},   {"a\x80\x80", 2, 2},  // a stray continuation byte stands alone
        {"", 5, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(CharBoundaryPrefix(c.Text, c.Limit), c.Cut) << c.Text << " " << c.Limit;
}

}  // namespace
