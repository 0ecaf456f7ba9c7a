// The picture button on its own: which picture it draws in each state, and how
// mouse and keyboard make a click.
#include <cstdlib>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/panel.h>

#include "panel/PictureButton.h"

namespace {

// A plain picture of one colour; the colour tells the states apart.
wxBitmap Picture(int width, int height, unsigned char shade) {
    wxImage image(width, height);
    image.SetRGB(wxRect(0, 0, width, height), shade, shade, shade);
    return wxBitmap(image);
}

void Pump() {
    if (!wxTheApp) return;  // skipped: no display, wx never started
    for (int i = 0; i < 3; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxYield();
    }
}

class PictureButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
        m_frame = new wxFrame(nullptr, wxID_ANY, "picture button");
        m_panel = new wxPanel(m_frame);
        // A caption whose pictures do not exist, so each test chooses its own.
        m_button = new CPictureButton(m_panel, 1234, "Nothing", wxPoint(10, 20), wxSize(60, 30));
        m_other = new CPictureButton(m_panel, 1235, "Nothing", wxPoint(10, 80), wxSize(60, 30));
        m_button->Bind(wxEVT_BUTTON, [this](wxCommandEvent& e) {
            ++m_clicks;
            m_clickId = e.GetId();
        });
        m_frame->SetClientSize(200, 200);
        m_frame->Show();
        Pump();
    }
    void TearDown() override {
        if (m_frame) m_frame->Destroy();
        Pump();
    }

    void Mouse(wxEventType type, wxPoint at) {
        wxMouseEvent event(type);
        event.SetPosition(at);
        event.SetEventObject(m_button);
        m_button->GetEventHandler()->ProcessEvent(event);
    }
    void Key(wxEventType type, int code) {
        wxKeyEvent event(type);
        event.m_keyCode = code;
        event.SetEventObject(m_button);
        m_button->GetEventHandler()->ProcessEvent(event);
    }
    // Gives the focus to the button (or takes it away) as far as it can tell.
    bool Focus(wxWindow* window) {
        window->SetFocus();
        Pump();
        return window->HasFocus();
    }

    wxFrame* m_frame = nullptr;
    wxPanel* m_panel = nullptr;
    CPictureButton* m_button = nullptr;
    CPictureButton* m_other = nullptr;
    int m_clicks = 0;
    int m_clickId = 0;
};

TEST_F(PictureButtonTest, WithoutPicturesKeepsTemplateSizeDrawsNothingAndStillClicks) {
    EXPECT_FALSE(m_button->AutoLoad());
    EXPECT_EQ(m_button->GetPosition(), wxPoint(10, 20));
    EXPECT_EQ(m_button->GetSize(), wxSize(60, 30));
    EXPECT_EQ(m_button->CurrentPicture(), 0);

    Mouse(wxEVT_LEFT_DOWN, wxPoint(5, 5));
    EXPECT_EQ(m_button->CurrentPicture(), 0);
    Mouse(wxEVT_LEFT_UP, wxPoint(5, 5));
    EXPECT_EQ(m_clicks, 1);
    EXPECT_EQ(m_clickId, 1234);
}

TEST_F(PictureButtonTest, PicksPressedThenFocusThenDisabledThenUp) {
    m_button->LoadBitmaps(Picture(60, 30, 10), Picture(60, 30, 20), Picture(60, 30, 30),
                          Picture(60, 30, 40));
    Focus(m_other);
    EXPECT_EQ(m_button->CurrentPicture(), 'U');

    m_button->Disable();
    EXPECT_EQ(m_button->CurrentPicture(), 'X');
    m_button->Enable();
    EXPECT_EQ(m_button->CurrentPicture(), 'U');

    if (!Focus(m_button)) GTEST_SKIP() << "the display gives no keyboard focus";
    EXPECT_EQ(m_button->CurrentPicture(), 'F');
    Key(wxEVT_KEY_DOWN, WXK_SPACE);
    EXPECT_TRUE(m_button->IsPressed());
    EXPECT_EQ(m_button->CurrentPicture(), 'D');
    Key(wxEVT_KEY_UP, WXK_SPACE);
    EXPECT_EQ(m_button->CurrentPicture(), 'F');
    EXPECT_EQ(m_clicks, 1);
}

TEST_F(PictureButtonTest, MissingPicturesFallThroughToTheNextRule) {
    // Only U: every state draws U.
    m_button->LoadBitmaps(Picture(60, 30, 10), wxNullBitmap, wxNullBitmap, wxNullBitmap);
    Focus(m_other);
    m_button->Disable();
    EXPECT_EQ(m_button->CurrentPicture(), 'U');
    m_button->Enable();
    Mouse(wxEVT_LEFT_DOWN, wxPoint(5, 5));
    ASSERT_TRUE(m_button->IsPressed());
    EXPECT_EQ(m_button->CurrentPicture(), 'U');
    Mouse(wxEVT_LEFT_UP, wxPoint(5, 5));

    // No D: pressed with the focus draws F; no F either: pressed draws U.
    m_button->LoadBitmaps(Picture(60, 30, 10), wxNullBitmap, Picture(60, 30, 30), Picture(60, 30, 40));
    if (!Focus(m_button)) GTEST_SKIP() << "the display gives no keyboard focus";
    Key(wxEVT_KEY_DOWN, WXK_SPACE);
    EXPECT_EQ(m_button->CurrentPicture(), 'F');
    Key(wxEVT_KEY_UP, WXK_SPACE);
    m_button->LoadBitmaps(Picture(60, 30, 10), wxNullBitmap, wxNullBitmap, Picture(60, 30, 40));
    Key(wxEVT_KEY_DOWN, WXK_SPACE);
    EXPECT_EQ(m_button->CurrentPicture(), 'U');
    Key(wxEVT_KEY_UP, WXK_SPACE);

    // Without U, no rule finds a picture.
    m_button->LoadBitmaps(wxNullBitmap, Picture(60, 30, 20), wxNullBitmap, wxNullBitmap);
    EXPECT_EQ(m_button->CurrentPicture(), 0);
}

TEST_F(PictureButtonTest, MouseClicksOnlyWhenReleasedInside) {
    m_button->LoadBitmaps(Picture(60, 30, 10), Picture(60, 30, 20), wxNullBitmap, wxNullBitmap);

    // Press, wander out (no longer pressed), release outside: no click.
    Mouse(wxEVT_LEFT_DOWN, wxPoint(5, 5));
    EXPECT_TRUE(m_button->IsPressed());
    Mouse(wxEVT_MOTION, wxPoint(100, 5));
    EXPECT_FALSE(m_button->IsPressed());
    EXPECT_EQ(m_button->CurrentPicture(), 'U');
    Mouse(wxEVT_LEFT_UP, wxPoint(100, 5));
    EXPECT_EQ(m_clicks, 0);
    EXPECT_FALSE(m_button->HasCapture());

    // Press, wander out and back in, release inside: one click.
    Mouse(wxEVT_LEFT_DOWN, wxPoint(5, 5));
    Mouse(wxEVT_MOTION, wxPoint(-3, 5));
    Mouse(wxEVT_MOTION, wxPoint(59, 29));
    EXPECT_EQ(m_button->CurrentPicture(), 'D');
    Mouse(wxEVT_LEFT_UP, wxPoint(59, 29));
    EXPECT_EQ(m_clicks, 1);
    EXPECT_FALSE(m_button->IsPressed());

    // A release without a press inside is no click.
    Mouse(wxEVT_LEFT_UP, wxPoint(5, 5));
    EXPECT_EQ(m_clicks, 1);
}

TEST_F(PictureButtonTest, DisabledButtonNeitherPressesNorClicks) {
    m_button->LoadBitmaps(Picture(60, 30, 10), Picture(60, 30, 20), wxNullBitmap, Picture(60, 30, 40));
    m_button->Disable();
    EXPECT_FALSE(m_button->AcceptsFocus());
    Mouse(wxEVT_LEFT_DOWN, wxPoint(5, 5));
    EXPECT_FALSE(m_button->IsPressed());
    Mouse(wxEVT_LEFT_UP, wxPoint(5, 5));
    Key(wxEVT_KEY_DOWN, WXK_RETURN);
    EXPECT_EQ(m_clicks, 0);

    // Disabled in the middle of a press: the press ends without a click.
    m_button->Enable();
    Mouse(wxEVT_LEFT_DOWN, wxPoint(5, 5));
    m_button->Disable();
    EXPECT_FALSE(m_button->IsPressed());
    EXPECT_FALSE(m_button->HasCapture());
    m_button->Enable();
    Mouse(wxEVT_LEFT_UP, wxPoint(5, 5));
    EXPECT_EQ(m_clicks, 0);
}

TEST_F(PictureButtonTest, KeyboardClicksOnSpaceReleaseAndOnEnter) {
    m_button->LoadBitmaps(Picture(60, 30, 10), Picture(60, 30, 20), Picture(60, 30, 30), wxNullBitmap);
    // Auto-repeat: several key-downs, one release, one click.
    Key(wxEVT_KEY_DOWN, WXK_SPACE);
    Key(wxEVT_KEY_DOWN, WXK_SPACE);
    EXPECT_EQ(m_clicks, 0);
    Key(wxEVT_KEY_UP, WXK_SPACE);
    EXPECT_EQ(m_clicks, 1);
    // A release whose press this button never saw does nothing.
    Key(wxEVT_KEY_UP, WXK_SPACE);
    EXPECT_EQ(m_clicks, 1);
    Key(wxEVT_KEY_DOWN, WXK_RETURN);
    EXPECT_EQ(m_clicks, 2);
    Key(wxEVT_KEY_DOWN, 'A');
    EXPECT_EQ(m_clicks, 2);
}

TEST_F(PictureButtonTest, DisablingTheFocusedButtonHandsTheFocusOn) {
    m_button->LoadBitmaps(Picture(60, 30, 10), wxNullBitmap, Picture(60, 30, 30), Picture(60, 30, 40));
    if (!Focus(m_button)) GTEST_SKIP() << "the display gives no keyboard focus";
    m_button->Disable();
    Pump();
    EXPECT_FALSE(m_button->HasFocus());
    EXPECT_EQ(m_button->CurrentPicture(), 'X');
    EXPECT_TRUE(m_other->HasFocus());
}

}  // namespace
