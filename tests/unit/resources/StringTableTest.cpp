#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "resources/StringEntries.h"
#include "resources/StringTable.h"

namespace {

const std::string CRLF = "\r\n";

std::string Text(unsigned id) {
    const char* text = res::FindString(id);
    return text ? text : "<missing>";
}

}  // namespace

TEST(StringTable, NumbersAreUniqueAndSortedSoTheLookUpFindsEveryEntry) {
    std::set<unsigned> seen;
    unsigned previous = 0;
    for (const res::StringEntry& entry : res::AllStrings()) {
        EXPECT_GT(entry.Id, previous) << "entry " << entry.Id << " out of order";
        EXPECT_TRUE(seen.insert(entry.Id).second) << "entry " << entry.Id << " twice";
        previous = entry.Id;
        ASSERT_NE(entry.Text, nullptr);
        EXPECT_EQ(res::FindString(entry.Id), entry.Text) << "look-up misses entry " << entry.Id;
    }
    // Every entry some part of the control center loads by number.
    std::set<unsigned> used = {128, 1000, 57344, 32773, 32774, 2006, 2007, 2009, 2010, 2011, 2012, 2013, 2014,
                               2018, 2024, 2025, 2026, 2027, 2160, 2161, 2200, 2202, 2203, 2204, 3011, 3012,
                               1510};
    const std::pair<unsigned, unsigned> ranges[] = {{1302, 1306}, {1309, 1314}, {1400, 1403}, {1500, 1504},
                                                    {2100, 2106}, {2120, 2122}, {2130, 2133}, {2140, 2144},
                                                    {3000, 3009}};
    for (auto [first, last] : ranges)
        for (unsigned id = first; id <= last; ++id) used.insert(id);
    EXPECT_EQ(seen, used);
}

// Texts whose formatted use another test checks whole (the message head, the
// running time, a loaded version, the mode keys, the default login) are left to it.
TEST(StringTable, TextsAreByteExactAndAMissingEntryLeavesTheTextAlone) {
    const std::pair<unsigned, std::string> texts[] = {
        {2011, "The Orvane Brakor.vxd virtual device driver is not loaded.  Orvane cannot function properly. "
               "Please make sure the line:\n\n    device=brakor.vxd\n\nis in the [386Enh] section of the "
               "Windows System.ini file.\n\n[The \"CreateFile\" call to establish contact with Brakor.vxd failed]."},
        {2012, "Are you sure you want to turn off the V7 Station?" + CRLF + CRLF +
                   "Please close all files and exit all programs on the V7 Station before turning it off."},
        {128, "V7\nV7\nV7\n\nV7.Document\nV7 Document"},
        {2202, "Please confirm you wish to remove %s's user profile.\n\nThis user's profile information will be "
               "removed from the Registry and from the hard disk. "},
        {32774, "Show All User Names\nShow All User Names"},
        {2018, std::string(1, '\\') + '\\' + ".\\Brakor"},
        {0, "<missing>"}, {2008, "<missing>"}, {2019, "<missing>"}, {99999, "<missing>"},
    };
    for (const auto& [id, text] : texts) {
        EXPECT_EQ(Text(id), text) << id;
        std::string loaded = "kept";
        EXPECT_EQ(res::LoadText(id, loaded), text != "<missing>") << id;
        EXPECT_EQ(loaded, text == "<missing>" ? "kept" : text) << id;
    }
    EXPECT_NE(Text(3001).find("Windows \\System directory"), std::string::npos);
}

TEST(StringTable, TroubleshooterParagraphsEndWithAnEmptyLine) {
    for (unsigned id : {3000u, 3001u, 3002u, 3003u, 3004u, 3005u, 3006u, 3007u, 3008u, 3009u}) {
        std::string text = Text(id);
        ASSERT_GE(text.size(), 4u) << id;
        EXPECT_EQ(text.substr(text.size() - 4), CRLF + CRLF) << id;
        EXPECT_EQ(text.front(), '[') << id;
        EXPECT_EQ(text.find('\n'), text.find('\r') + 1) << id;
    }
    EXPECT_EQ(Text(3007), "[ No problems found ]" + CRLF + CRLF);
    EXPECT_EQ(Text(3003), "[ Dunvek.vxd is not loaded ]" + CRLF +
                              "     Dunvek.vxd is an Orvane virtual device driver which" + CRLF +
                              "    manages the Orvane station keyboards. Please make sure" + CRLF +
                              "    the line 'keyboard=dunvek.vxd' is in the [386Enh] section" + CRLF +
                              "     of System.ini." + CRLF + CRLF);
    EXPECT_NE(Text(3009).find("It should be \"display=*vdd,*vflatd\"." + CRLF), std::string::npos);
}
