#include <gtest/gtest.h>

#include <string>
#include <tuple>
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

TEST(DisplayModeTable, RowsSplitAndLookUpsByNameAndNumberAgree) {
    std::vector<int> numbers;
    for (const DisplayMode& row : DisplayModeTable::Rows()) {
        numbers.push_back(row.Number);
        EXPECT_EQ(row.Row, std::to_string(row.Number) + "|" + row.Name + "|" + row.Triple);
        EXPECT_EQ(DisplayModeTable::FindNumberByName(row.Name), row.Number) << row.Name;
    }
    EXPECT_EQ(numbers, (std::vector<int>{0, 1, 2, 9, 4, 5, 7}));
    // A number no row has falls back to row 2101.
    const struct {
        int Asked, Number;
        const char *Name, *Triple;
    } cases[] = {
        {9, 9, "640 x 480, True color (24-bit)", "24,640,480"}, {7, 7, "1024 x 768, 256 colors", "8,1024,768"},
        {4, 4, "800 x 600, 256 colors", "8,800,600"},           {0, 0, "640 x 480, 16 colors", "4,640,480"},
        {3, 1, "640 x 480, 256 colors", "8,640,480"},           {6, 1, "640 x 480, 256 colors", "8,640,480"},
        {8, 1, "640 x 480, 256 colors", "8,640,480"},           {10, 1, "640 x 480, 256 colors", "8,640,480"},
        {200, 1, "640 x 480, 256 colors", "8,640,480"},         {-1, 1, "640 x 480, 256 colors", "8,640,480"},
    };
    for (const auto& c : cases) {
        const DisplayMode mode = DisplayModeTable::FindByNumber(c.Asked);
        EXPECT_EQ(std::tie(mode.Number, mode.Name, mode.Triple), std::tuple(c.Number, c.Name, c.Triple)) << c.Asked;
    }
    for (const char* name : {"800 x 600, 16 colors", "1024 x 768, High color (16-bit)", "800 X 600, 256 colors"})
        EXPECT_EQ(DisplayModeTable::FindNumberByName(name), std::nullopt) << name << ": not offered, or not its case";
}

// Every mode's key and the chosen mode's triple; keys and values already there stay.
TEST(DisplayModeTable, MirrorPublishesEveryModeKeyAndTheChosenModeAndKeepsWhatIsThere) {
    TempHostRoot root;
    regtest::StoreText(kModes + "\\8\\640,480", "Driver", "kept");
    regtest::MakeKey(kModes + "\\8\\640,480\\Extra");
    regtest::StoreText(kDefault, "Other", "kept too");
    DisplayModeTable::WriteRegistryMirror(kStation, 9);
    EXPECT_EQ(SubKeys(kStation + "\\Display"), (Names{"DEFAULT", "MODES"}));
    EXPECT_EQ(SubKeys(kModes), (Names{"16", "24", "4", "8"}));
    EXPECT_EQ(SubKeys(kModes + "\\4"), (Names{"640,480"}));
    EXPECT_EQ(SubKeys(kModes + "\\8"), (Names{"1024,768", "640,480", "800,600"}));
    EXPECT_EQ(SubKeys(kModes + "\\16"), (Names{"640,480", "800,600"}));
    EXPECT_EQ(SubKeys(kModes + "\\24"), (Names{"640,480"}));
    EXPECT_EQ(Query(kDefault, "Mode"), (regtest::Stored{host::kErrorSuccess, host::kRegSz, Sz("24,640,480")}));
    EXPECT_EQ(Query(kModes + "\\8\\640,480", "Driver").Data, Sz("kept"));
    EXPECT_EQ(SubKeys(kModes + "\\8\\640,480"), (Names{"Extra"}));
    EXPECT_EQ(Query(kDefault, "Other").Data, Sz("kept too"));

    for (int missing : {3, 6, 8, 200}) {
        DisplayModeTable::WriteRegistryMirror(kStation, missing);
        EXPECT_EQ(Query(kDefault, "Mode").Data, Sz("8,640,480")) << missing;
    }
}
