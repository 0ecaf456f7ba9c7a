#include <gtest/gtest.h>

#include "host/text.h"

using host::CharBoundaryPrefix;
using host::FoldCase;
using host::MbsICmp;

namespace {

TEST(TextTest, FoldsAsciiAndLatinLettersOnly) {
    EXPECT_EQ(FoldCase("Station1 USER"), "station1 user");
    EXPECT_EQ(FoldCase("ÀÉÎÕÜÝÞ"), "àéîõüýþ");
    EXPECT_EQ(FoldCase("×÷ß"), "×÷ß");  // the multiplication sign sits among the capitals
    // Latin Extended-A: pairs capital/small, in both parities, and Ÿ outside its block.
    EXPECT_EQ(FoldCase("ĀĂŁŇŊŒŠŸŹŽ"), "āăłňŋœšÿźž");
    EXPECT_EQ(FoldCase("āłňœž"), "āłňœž");
    // Dotted and dotless I have no pair that folds safely; other scripts stay as they are.
    EXPECT_EQ(FoldCase("İı ΑΒΓ Ж"), "İı ΑΒΓ Ж");
}

TEST(TextTest, InvalidBytesPassThroughUnchanged) {
    const std::string bad = "A\xC3\x28Z\xE2\x82\xFF\xC0\x80";
    EXPECT_EQ(FoldCase(bad), "a\xC3\x28z\xE2\x82\xFF\xC0\x80");
}

TEST(TextTest, ComparisonIgnoresCaseAndOrdersByCharacter) {
    EXPECT_EQ(MbsICmp("User1", "USER1"), 0);
    EXPECT_EQ(MbsICmp("Åsa", "åSA"), 0);
    EXPECT_LT(MbsICmp("alpha", "BETA"), 0);
    EXPECT_GT(MbsICmp("Beta", "alpha"), 0);
    EXPECT_LT(MbsICmp("User", "user1"), 0);
    EXPECT_LT(MbsICmp("zeta", "Ärger"), 0);  // letters beyond ASCII sort after it
    EXPECT_EQ(MbsICmp("", ""), 0);
}

TEST(TextTest, CutsFallOnCharacterBoundaries) {
    const std::string text = "ab€d";  // € takes three bytes (2..4)
    EXPECT_EQ(CharBoundaryPrefix(text, 10), text.size());
    EXPECT_EQ(CharBoundaryPrefix(text, 2), 2u);
    EXPECT_EQ(CharBoundaryPrefix(text, 3), 2u);
    EXPECT_EQ(CharBoundaryPrefix(text, 4), 2u);
    EXPECT_EQ(CharBoundaryPrefix(text, 5), 5u);
    EXPECT_EQ(CharBoundaryPrefix("😀", 3), 0u);
    EXPECT_EQ(CharBoundaryPrefix("😀", 4), 4u);
    // A stray continuation byte is a character of its own.
    EXPECT_EQ(CharBoundaryPrefix("a\x80\x80", 2), 2u);
    EXPECT_EQ(CharBoundaryPrefix("", 5), 0u);
}

}  // namespace
