#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "options/DisplayModeTable.h"
#include "station/StationConfiguration.h"
#include "support/RegistryTestUtil.h"
#include "support/TempHostRoot.h"

using regtest::Query;
using regtest::SubKeys;
using regtest::Sz;
using Names = std::vector<std::string>;

namespace {

const std::string kStation = StationConfiguration::StationKeyPath(1);
const std::string kModes = kStation + "\\Display\\MODES";
const std::string kDefault = kStation + "\\Display\\DEFAULT";

}  // namespace

TEST(DisplayModeTable, RowsSplitIntoNumberNameAndTriple) {
    std::vector<DisplayMode> rows = DisplayModeTable::Rows();
    ASSERT_EQ(rows.size(), 7u);
    std::vector<int> numbers;
    for (const DisplayMode& row : rows) numbers.push_back(row.Number);
    EXPECT_EQ(numbers, (std::vector<int>{0, 1, 2, 9, 4, 5, 7}));
    EXPECT_EQ(rows[3].Name, "640 x 480, True color (24-bit)");
    EXPECT_EQ(rows[3].Triple, "24,640,480");
    EXPECT_EQ(rows[6].Name, "1024 x 768, 256 colors");
    EXPECT_EQ(rows[6].Triple, "8,1024,768");
    EXPECT_EQ(rows[6].Row, "7|1024 x 768, 256 colors|8,1024,768");
}

TEST(DisplayModeTable, LookUpByNameFindsEveryOfferedModeAndNothingElse) {
    for (const DisplayMode& row : DisplayModeTable::Rows())
        EXPECT_EQ(DisplayModeTable::FindNumberByName(row.Name), row.Number) << row.Name;
    EXPECT_EQ(DisplayModeTable::FindNumberByName("800 x 600, 256 colors"), 4);
    EXPECT_EQ(DisplayModeTable::FindNumberByName("800 x 600, 16 colors"), std::nullopt);
    EXPECT_EQ(DisplayModeTable::FindNumberByName("1024 x 768, High color (16-bit)"), std::nullopt);
    EXPECT_EQ(DisplayModeTable::FindNumberByName("800 X 600, 256 colors"), std::nullopt) << "case counts";
}

TEST(DisplayModeTable, LookUpByNumberFallsBackToRow2101) {
    EXPECT_EQ(DisplayModeTable::FindByNumber(9).Triple, "24,640,480");
    EXPECT_EQ(DisplayModeTable::FindByNumber(0).Triple, "4,640,480");
    for (int missing : {3, 6, 8, 10, 200, -1}) {
        DisplayMode mode = DisplayModeTable::FindByNumber(missing);
        EXPECT_EQ(mode.Number, 1) << missing;
        EXPECT_EQ(mode.Name, "640 x 480, 256 colors") << missing;
        EXPECT_EQ(mode.Triple, "8,640,480") << missing;
    }
}

TEST(DisplayModeTable, MirrorPublishesEveryModeKeyAndTheChosenMode) {
    TempHostRoot root;
    regtest::MakeKey(kStation);
    DisplayModeTable::WriteRegistryMirror(kStation, 9);
    EXPECT_EQ(SubKeys(kStation + "\\Display"), (Names{"DEFAULT", "MODES"}));
    EXPECT_EQ(SubKeys(kModes), (Names{"16", "24", "4", "8"}));
    EXPECT_EQ(SubKeys(kModes + "\\4"), (Names{"640,480"}));
    EXPECT_EQ(SubKeys(kModes + "\\8"), (Names{"1024,768", "640,480", "800,600"}));
    EXPECT_EQ(SubKeys(kModes + "\\16"), (Names{"640,480", "800,600"}));
    EXPECT_EQ(SubKeys(kModes + "\\24"), (Names{"640,480"}));
    regtest::Stored mode = Query(kDefault, "Mode");
    EXPECT_EQ(mode.Type, host::REG_SZ);
    EXPECT_EQ(mode.Data, Sz("24,640,480"));

    for (int missing : {3, 6, 8, 200}) {
        DisplayModeTable::WriteRegistryMirror(kStation, missing);
        EXPECT_EQ(Query(kDefault, "Mode").Data, Sz("8,640,480")) << missing;
    }
}

TEST(DisplayModeTable, MirrorLeavesExistingKeysAsTheyAre) {
    TempHostRoot root;
    regtest::StoreText(kModes + "\\8\\640,480", "Driver", "kept");
    regtest::MakeKey(kModes + "\\8\\640,480\\Extra");
    regtest::StoreText(kDefault, "Other", "kept too");
    DisplayModeTable::WriteRegistryMirror(kStation, 4);
    EXPECT_EQ(Query(kModes + "\\8\\640,480", "Driver").Data, Sz("kept"));
    EXPECT_EQ(SubKeys(kModes + "\\8\\640,480"), (Names{"Extra"}));
    EXPECT_EQ(Query(kDefault, "Other").Data, Sz("kept too"));
    EXPECT_EQ(Query(kDefault, "Mode").Data, Sz("8,800,600"));
    EXPECT_EQ(SubKeys(kModes + "\\8"), (Names{"1024,768", "640,480", "800,600"}));
}
