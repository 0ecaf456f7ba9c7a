// The control panel inside the real main frame: its form, the eight buttons and
// what a click on them does to the program and the station.
#include <array>
#include <cstring>

#include <gtest/gtest.h>
#include <wx/event.h>

#include "GuiTest.h"
#include "app/CommandTable.h"
#include "app/MainFrame.h"
#include "panel/PictureButton.h"
#include "panel/V7View.h"
#include "resources/Bitmaps.h"
#include "station/StationConfiguration.h"

namespace {

struct Placement {
    int Id;
    wxRect Rect;  // pixels: the form's position, the U picture's size
};

// The form's buttons in tab order, at the standard dialog base units.
const std::array<Placement, 8> kPlacements = {{
    {CV7View::IDC_BROADCAST, {23, 49, 220, 45}},
    {CV7View::IDC_USER, {23, 98, 220, 45}},
    {CV7View::IDC_OPTIONS, {23, 146, 220, 45}},
    {CV7View::IDC_TEST, {23, 195, 220, 45}},
    {CV7View::IDC_ON, {203, 296, 48, 20}},
    {CV7View::IDC_OFF, {248, 296, 49, 20}},
    {CV7View::IDC_HELP, {330, 260, 98, 25}},
    {CV7View::IDC_EXIT, {330, 293, 98, 25}},
}};

void Click(CPictureButton* button) {
    for (wxEventType type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP}) {
        wxMouseEvent event(type);
        event.SetPosition(wxPoint(3, 3));
        event.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(event);
    }
}

void PressSpace(CPictureButton* button) {
    for (wxEventType type : {wxEVT_KEY_DOWN, wxEVT_KEY_UP}) {
        wxKeyEvent event(type);
        event.m_keyCode = WXK_SPACE;
        event.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(event);
    }
}

class PanelViewTest : public guitest::GuiTest {
protected:
    // The program as it starts for real, with the station installed and its
    // drivers running.
    CV7View* Start(bool stationOn = false) {
        InstallStation();
        StartDrivers();
        // Recorded on after the drivers wrote their start-up values.
        if (stationOn) {
            StationConfiguration config;
            config.LoadConfiguration();
            config.StationLaunched = config.BoardLaunched = 1;
            config.SaveConfiguration();
        }
        m_frame = StartProgram();
        if (!m_frame) return nullptr;
        return m_frame->GetActiveView();
    }

    bool FrameClosed() {
        return guitest::PumpUntil([] { return guitest::FindMainFrame() == nullptr; }, 5);
    }

    CMainFrame* m_frame = nullptr;
};

TEST_F(PanelViewTest, FormFillsTheClientAreaWithButtonsInTabOrderAtTheirPictureSizes) {
    CV7View* view = Start();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(m_frame->GetClientSize(), wxSize(450, 330));
    EXPECT_EQ(view->GetSize(), wxSize(450, 330));
    EXPECT_TRUE(view->HasBackground());

    const wxWindowList& children = view->GetChildren();
    ASSERT_EQ(children.size(), kPlacements.size());
    auto child = children.begin();
    for (const Placement& p : kPlacements) {
        SCOPED_TRACE(p.Id);
        EXPECT_EQ((*child++)->GetId(), p.Id);
        CPictureButton* button = view->Button(p.Id);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->GetRect(), p.Rect);
        EXPECT_NE(button->CurrentPicture(), 0);
    }
}

TEST_F(PanelViewTest, StationOffAtStartEnablesOnAndGreysOffAndUnavailableTasks) {
    CV7View* view = Start();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->Button(CV7View::IDC_ON)->IsEnabled());
    EXPECT_FALSE(view->Button(CV7View::IDC_OFF)->IsEnabled());
    EXPECT_EQ(view->Button(CV7View::IDC_OFF)->CurrentPicture(), 'X');

    // A task button is usable exactly when the command it stands for is.
    const std::pair<int, int> tasks[] = {{CV7View::IDC_BROADCAST, cmd::ID_SEND_MESSAGE},
                                         {CV7View::IDC_USER, cmd::ID_REMOVE_USER},
                                         {CV7View::IDC_OPTIONS, cmd::ID_STATION_OPTIONS},
                                         {CV7View::IDC_TEST, cmd::ID_STATION_TEST}};
    for (const auto& [id, command] : tasks)
        EXPECT_EQ(view->Button(id)->IsEnabled(), cmd::IsAvailable(command)) << id;
    EXPECT_TRUE(view->Button(CV7View::IDC_HELP)->IsEnabled());
    EXPECT_TRUE(view->Button(CV7View::IDC_EXIT)->IsEnabled());

    // The keyboard starts on the first usable button in tab order.
    wxWindow* firstEnabled = nullptr;
    for (const Placement& p : kPlacements)
        if (!firstEnabled && view->Button(p.Id)->IsEnabled()) firstEnabled = view->Button(p.Id);
    EXPECT_EQ(wxWindow::FindFocus(), firstEnabled);

    // True-colour display: the picture is drawn without a palette.
    EXPECT_EQ(view->Palette(), nullptr);
}

TEST_F(PanelViewTest, StationOnAtStartGreysOnAndTheSwapFollowsTheState) {
    CV7View* view = Start(/*stationOn=*/true);
    ASSERT_NE(view, nullptr);
    CPictureButton* on = view->Button(CV7View::IDC_ON);
    CPictureButton* off = view->Button(CV7View::IDC_OFF);
    EXPECT_FALSE(on->IsEnabled());
    EXPECT_EQ(on->CurrentPicture(), 'X');
    EXPECT_TRUE(off->IsEnabled());

    view->EnableOnOffButtons(false);
    EXPECT_TRUE(on->IsEnabled());
    EXPECT_FALSE(off->IsEnabled());
    EXPECT_EQ(off->CurrentPicture(), 'X');
    view->EnableOnOffButtons(false);  // the same state again changes nothing
    EXPECT_TRUE(on->IsEnabled());
    EXPECT_FALSE(off->IsEnabled());
    view->EnableOnOffButtons(true);
    EXPECT_FALSE(on->IsEnabled());
    EXPECT_TRUE(off->IsEnabled());
}

TEST_F(PanelViewTest, ClickingOnTurnsTheStationOnAndSwapsTheButtons) {
    CV7View* view = Start();
    ASSERT_NE(view, nullptr);
    CPictureButton* on = view->Button(CV7View::IDC_ON);
    on->SetFocus();
    guitest::PumpEvents();

    Click(on);
    guitest::PumpEvents();
    EXPECT_EQ(guitest::LaunchedValues(), std::make_pair(1, 1));
    EXPECT_FALSE(on->IsEnabled());
    EXPECT_EQ(on->CurrentPicture(), 'X');
    EXPECT_TRUE(view->Button(CV7View::IDC_OFF)->IsEnabled());
    // The focus left the greyed button for its partner.
    EXPECT_EQ(wxWindow::FindFocus(), view->Button(CV7View::IDC_OFF));
}

TEST_F(PanelViewTest, ClickingExitClosesTheMainWindow) {
    CV7View* view = Start();
    ASSERT_NE(view, nullptr);
    Click(view->Button(CV7View::IDC_EXIT));
    EXPECT_TRUE(FrameClosed());
}

TEST_F(PanelViewTest, SpaceOnTheFocusedExitButtonClosesTheMainWindow) {
    CV7View* view = Start();
    ASSERT_NE(view, nullptr);
    CPictureButton* exitButton = view->Button(CV7View::IDC_EXIT);
    exitButton->SetFocus();
    guitest::PumpEvents();
    ASSERT_EQ(exitButton->CurrentPicture(), 'F');
    PressSpace(exitButton);
    EXPECT_TRUE(FrameClosed());
}

TEST(PanelPalette, TakesEveryColourOfTheBackgroundsTable) {
    if (!guitest::HaveDisplay()) GTEST_SKIP() << "no display";
    const res::EmbeddedFile* file = res::FindBitmapResource("V7BG");
    ASSERT_NE(file, nullptr);
    std::unique_ptr<wxPalette> palette = CV7View::MakePalette(file->Data, file->Size);
    ASSERT_NE(palette, nullptr);
    ASSERT_EQ(palette->GetColoursCount(), 256);

    // The colour table follows the 14-byte file header and the info header,
    // blue, green, red and a reserved byte per entry.
    std::uint32_t infoSize = 0;
    std::memcpy(&infoSize, file->Data + 14, sizeof infoSize);
    const unsigned char* table = file->Data + 14 + infoSize;
    for (int i : {0, 1, 127, 255}) {
        unsigned char r = 0, g = 0, b = 0;
        ASSERT_TRUE(palette->GetRGB(i, &r, &g, &b));
        EXPECT_EQ(r, table[4 * i + 2]) << i;
        EXPECT_EQ(g, table[4 * i + 1]) << i;
        EXPECT_EQ(b, table[4 * i]) << i;
    }

    // A damaged picture gives no palette rather than a wrong one.
    EXPECT_EQ(CV7View::MakePalette(file->Data, 30), nullptr);
}

}  // namespace
