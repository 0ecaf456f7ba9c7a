// The emulated host's code page (UTF-8): case folding and cuts on character
// boundaries. The system calls: tests/contract.
#include <gtest/gtest.h>

#include "host/text.h"

using namespace host;

namespace {

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
