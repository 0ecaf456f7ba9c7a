// Menu 128 of the main window: pop-ups, items, order, texts and separators, and
// the update rules with the station off and on.
#include <string>
#include <vector>

#include <wx/menu.h>

#include "GuiTest.h"
#include "app/CommandTable.h"
#include "app/MainFrame.h"

namespace {

using namespace guitest;

class MenuTest : public GuiTest {};

// One line per item: "id text", "id text (radio)" or "-" for a separator.
std::vector<std::string> Describe(wxMenu* menu) {
    std::vector<std::string> lines;
    for (wxMenuItem* item : menu->GetMenuItems()) {
        if (item->IsSeparator()) {
            lines.push_back("-");
            continue;
        }
        std::string line = std::to_string(cmd::ToSystemCommand(item->GetId())) + " " +
                           item->GetItemLabel().utf8_string();
        if (item->GetKind() == wxITEM_RADIO) line += " (radio)";
        lines.push_back(line);
    }
    return lines;
}

TEST_F(MenuTest, MenuBarHoldsEveryItemInOrderWithItsText) {
    InstallStation();
    StartDrivers();
    CMainFrame* frame = StartProgram();
    ASSERT_NE(frame, nullptr);
    wxMenuBar* bar = frame->GetMenuBar();
    ASSERT_NE(bar, nullptr);

    const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
        {"&File", {"32783 Sh&ut Down Windows...", "-", "32778 E&xit"}},
        {"&Users", {"32773 &Remove User ...", "32774 &Display Users..."}},
        {"&Station", {"32775 Turn O&n the V7 Station", "32776 Turn O&ff the V7 Station",
                      "32777 T&est the V7 Station..."}},
        {"&Messages", {"32772 &Send a message..."}},
        {"&Options", {"32779 &Turn On V7 Station when PC starts (radio)",
                      "32771 &Leave V7 Station Off when PC starts (radio)", "-",
                      "32780 &Allow System Shut Down requests (radio)",
                      "32781 &Stop System Shut Down requests (radio)", "-", "32782 &More..."}},
        {"&Help", {"57667 &Contents and Index", "57668 &Help Using Help", "32770 &Where to Go for More Help",
                   "-", "57664 &About Orvane V7..."}},
    };
    ASSERT_EQ(bar->GetMenuCount(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(bar->GetMenuLabel(i).utf8_string(), expected[i].first);
        EXPECT_EQ(Describe(bar->GetMenu(i)), expected[i].second) << expected[i].first;
    }
    // The two radio groups: the template marks 32779 and 32781.
    EXPECT_TRUE(bar->IsChecked(cmd::ToWxId(cmd::ID_AUTOLAUNCH_ON)));
    EXPECT_TRUE(bar->IsChecked(cmd::ToWxId(cmd::ID_STOP_SHUTDOWN)));
}

// What the user can pick: only the command that makes sense for the station's
// state; features that come later are greyed, never pretending to work.
TEST_F(MenuTest, StationItemsFollowTheStateAndLaterFeaturesAreGreyed) {
    InstallStation();
    StartDrivers();
    CMainFrame* frame = StartProgram();
    ASSERT_NE(frame, nullptr);

    EXPECT_TRUE(IsMenuItemEnabled(frame, cmd::ID_STATION_ON));
    EXPECT_FALSE(IsMenuItemEnabled(frame, cmd::ID_STATION_OFF));
    EXPECT_TRUE(IsMenuItemEnabled(frame, cmd::ID_EXIT));
    for (int later : {cmd::ID_SHUTDOWN_WINDOWS, cmd::ID_REMOVE_USER, cmd::ID_DISPLAY_USERS, cmd::ID_STATION_TEST,
                      cmd::ID_SEND_MESSAGE, cmd::ID_AUTOLAUNCH_ON, cmd::ID_AUTOLAUNCH_OFF, cmd::ID_ALLOW_SHUTDOWN,
                      cmd::ID_STOP_SHUTDOWN, cmd::ID_STATION_OPTIONS, cmd::ID_MORE_HELP, cmd::ID_APP_ABOUT})
        EXPECT_FALSE(IsMenuItemEnabled(frame, later)) << later;
    // The help book is part of the program.
    EXPECT_TRUE(IsMenuItemEnabled(frame, cmd::ID_HELP_FINDER));
    EXPECT_TRUE(IsMenuItemEnabled(frame, cmd::ID_HELP_USING));

    ASSERT_TRUE(PickMenuCommand(frame, cmd::ID_STATION_ON));
    EXPECT_FALSE(IsMenuItemEnabled(frame, cmd::ID_STATION_ON));
    EXPECT_TRUE(IsMenuItemEnabled(frame, cmd::ID_STATION_OFF));
    // A greyed item cannot be picked.
    EXPECT_FALSE(PickMenuCommand(frame, cmd::ID_STATION_ON));
}

}  // namespace
