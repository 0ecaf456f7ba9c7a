// The control panel: the picture button on its own (which picture it draws,
// what makes a click), the form inside the real main frame, and the panel's
// BMP decoder against wx's general reader.
#include <algorithm>
#include <string_view>
#include <vector>

#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/mstream.h>
#include <wx/panel.h>
#include <wx/settings.h>

#include "GuiTest.h"
#include "panel/BmpImage.h"
#include "panel/PictureBundle.h"
#include "resources/Bitmaps.h"
#include "support/ReaderImage.h"

namespace {

using namespace guitest;

class PictureButtonTest : public GuiTest {
protected:
    void SetUpProgram() override {
        auto* frame = new wxFrame(nullptr, wxID_ANY, "picture button");  // destroyed by EndProgram
        auto* panel = new wxPanel(frame);
        // A caption without built-in pictures, so each test chooses its own.
        m_button = new CPictureButton(panel, 1234, "Nothing", wxPoint(10, 20), wxSize(60, 30));
        m_other = new CPictureButton(panel, 1235, "Nothing", wxPoint(10, 80), wxSize(60, 30));
        m_button->Bind(wxEVT_BUTTON, [this](wxCommandEvent& e) {
            EXPECT_EQ(e.GetId(), 1234);
            ++m_clicks;
        });
        frame->SetClientSize(200, 200);
        frame->Show();
        PumpEvents();
    }
    // Pictures of 48 x 20 for the states named in which ("UDFX": all four).
    void Load(std::string_view which) {
        auto picture = [&](char state) {
            return which.find(state) == which.npos ? wxNullBitmap : wxBitmap(wxImage(48, 20));
        };
        m_button->LoadBitmaps(picture('U'), picture('D'), picture('F'), picture('X'));
    }
    bool Focus(wxWindow* window) {
        window->SetFocus();
        PumpEvents();
        return window->HasFocus();
    }
    void Mouse(wxEventType type, wxPoint at = wxPoint(5, 5)) { SendMouse(m_button, type, at); }
    void Key(wxEventType type, int code = WXK_SPACE) { SendKey(m_button, type, code); }
    void Step(char step) {
        switch (step) {
        case 'd': return Mouse(wxEVT_LEFT_DOWN);
        case 'u': return Mouse(wxEVT_LEFT_UP);
        case '2': return Mouse(wxEVT_LEFT_DCLICK);
        case 'l': return Mouse(wxEVT_MOTION, wxPoint(-3, 5));
        case 'o': return Mouse(wxEVT_MOTION, wxPoint(100, 5));
        case 'O': return Mouse(wxEVT_LEFT_UP, wxPoint(100, 5));
        case 'i': return Mouse(wxEVT_MOTION, wxPoint(47, 19));
        case 'I': return Mouse(wxEVT_LEFT_UP, wxPoint(47, 19));
        case 's': return Key(wxEVT_KEY_DOWN);
        case 'S': return Key(wxEVT_KEY_UP);
        case 'e': return Key(wxEVT_KEY_DOWN, WXK_RETURN);
        case 'a': return Key(wxEVT_KEY_DOWN, 'A');
        case 'x': m_button->Disable(); return;
        case 'n': m_button->Enable(); return;
        }
        ADD_FAILURE() << "no step " << step;
    }

    CPictureButton* m_button = nullptr;
    CPictureButton* m_other = nullptr;
    int m_clicks = 0;
};

TEST_F(PictureButtonTest, DrawsPressedThenFocusThenDisabledThenUpFallingThroughMissingPictures) {
    // Without pictures: the template's place and size, nothing drawn.
    EXPECT_FALSE(m_button->AutoLoad());
    EXPECT_EQ(m_button->GetRect(), wxRect(10, 20, 60, 30));
    EXPECT_EQ(m_button->CurrentPicture(), 0);
    Load("U");  // the U picture sets the size, the corner stays
    EXPECT_EQ(m_button->GetRect(), wxRect(10, 20, 48, 20));
    Load("DFX");  // without U: the template's size again
    EXPECT_EQ(m_button->GetRect(), wxRect(10, 20, 60, 30));
    EXPECT_EQ(m_button->GetBestSize(), wxSize(60, 30));

    const bool canFocus = Focus(m_button);
    const struct {
        const char* loaded;
        std::string_view state;  // X disabled, F focused, D pressed
        char expected;
    } cases[] = {
        {"UDFX", "", 'U'}, {"UDFX", "X", 'X'}, {"UDFX", "F", 'F'},  {"UDFX", "D", 'D'}, {"UDFX", "FD", 'D'},
        {"U", "X", 'U'},   {"U", "FD", 'U'},   {"UFX", "FD", 'F'}, {"UX", "FD", 'U'},  {"D", "", 0},
        {"", "D", 0},      {"DFX", "X", 0},    {"DFX", "FD", 0},   {"FX", "F", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.loaded) + " in state " + std::string(c.state));
        const bool focused = c.state.find('F') != c.state.npos, pressed = c.state.find('D') != c.state.npos;
        if (focused && !canFocus) continue;  // the display gives no keyboard focus
        Focus(focused ? m_button : m_other);
        Load(c.loaded);
        m_button->Enable(c.state.find('X') == c.state.npos);
        if (pressed) Key(wxEVT_KEY_DOWN);
        EXPECT_EQ(m_button->IsPressed(), pressed);
        EXPECT_EQ(m_button->CurrentPicture(), c.expected);
        Key(wxEVT_KEY_UP);
        m_button->Enable();
    }
}

// Event scripts, a character a step: d/u press and release inside, l and o
// move out to the left and right, O releases outside, i/I move and release at
// the far corner inside, 2 a double-click, s/S Space down and up, e Enter, a
// the key A, x/n disable and enable. After each step the button is pressed as
// the next character of pressed says, and shows its D picture exactly then.
TEST_F(PictureButtonTest, ClicksOnReleaseInsideOnSpaceReleaseOnEnterOnceADoubleClickNeverWhenDisabled) {
    Mouse(wxEVT_LEFT_DOWN);  // even without pictures
    Mouse(wxEVT_LEFT_UP);
    EXPECT_EQ(m_clicks, 1);

    Load("UD");
    const struct {
        const char* name;
        std::string_view steps, pressed;
        int clicks;
    } cases[] = {
        {"click", "du", "10", 1},
        {"released outside", "doO", "100", 0},
        {"out and back in", "dliI", "1010", 1},
        {"release without a press", "u", "0", 0},
        {"Space auto-repeated, released twice", "ssSS", "1100", 1},
        {"Enter at once, other keys never", "ea", "00", 1},
        {"disabled; disabled in the middle of a press", "xduendxnu", "000001000", 0},
        {"double-click", "du2u", "1000", 1},
        {"double-click with the second press delivered too", "dud2u", "10100", 1},
        {"two double-clicks", "du2udu2u", "10001000", 2},
        {"two single clicks", "dudu", "1010", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.steps.size(), c.pressed.size());
        m_button->Enable();
        m_clicks = 0;
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            Step(c.steps[i]);
            EXPECT_EQ(m_button->IsPressed(), c.pressed[i] == '1') << "step " << i;
            EXPECT_EQ(m_button->CurrentPicture(), c.pressed[i] == '1' ? 'D' : 'U') << "step " << i;
        }
        EXPECT_EQ(m_clicks, c.clicks);
        EXPECT_FALSE(m_button->HasCapture());
    }
    m_button->Disable();
    EXPECT_FALSE(m_button->AcceptsFocus());
}

class PanelViewTest : public GuiTest {};

TEST_F(PanelViewTest, FormFillsTheClientAreaAndStartsWithTheStationsState) {
    CMainFrame* frame = Launch();
    ASSERT_NE(frame, nullptr);
    CV7View* view = frame->GetActiveView();
    EXPECT_EQ(frame->GetClientSize(), wxSize(450, 330));
    EXPECT_EQ(view->GetSize(), wxSize(450, 330));
    EXPECT_TRUE(view->HasBackground());
    EXPECT_EQ(view->Palette(), nullptr) << "a true-colour display needs no palette";

    // In tab order: the form's place, the U picture's size.
    const std::pair<int, wxRect> placements[] = {
        {CV7View::IDC_BROADCAST, {23, 49, 220, 45}}, {CV7View::IDC_USER, {23, 98, 220, 45}},
        {CV7View::IDC_OPTIONS, {23, 146, 220, 45}},  {CV7View::IDC_TEST, {23, 195, 220, 45}},
        {CV7View::IDC_ON, {203, 296, 45, 20}},       {CV7View::IDC_OFF, {248, 296, 49, 20}},
        {CV7View::IDC_HELP_BUTTON, {330, 260, 98, 25}},     {CV7View::IDC_EXIT, {330, 293, 98, 25}},
    };
    // Then the line that says the drivers are not running, hidden while they run.
    ASSERT_EQ(view->GetChildren().size(), std::size(placements) + 1);
    EXPECT_EQ(view->GetChildren().back(), view->DriversState());
    EXPECT_FALSE(view->DriversState()->IsShown());
    auto child = view->GetChildren().begin();
    wxWindow* firstUsable = nullptr;
    for (const auto& [id, rect] : placements) {
        SCOPED_TRACE(id);
        EXPECT_EQ((*child++)->GetId(), id);
        CPictureButton* button = view->Button(id);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->GetRect(), rect);
        EXPECT_NE(button->CurrentPicture(), 0);
        if (!firstUsable && button->IsEnabled()) firstUsable = button;
    }
    EXPECT_EQ(wxWindow::FindFocus(), firstUsable) << "the keyboard starts on the first usable button";

    // Station off: On usable, Off greyed; a task button exactly when its command works.
    EXPECT_TRUE(view->Button(CV7View::IDC_ON)->IsEnabled());
    EXPECT_FALSE(view->Button(CV7View::IDC_OFF)->IsEnabled());
    const std::pair<int, int> tasks[] = {{CV7View::IDC_BROADCAST, cmd::ID_SEND_MESSAGE},
                                         {CV7View::IDC_USER, cmd::ID_REMOVE_USER},
                                         {CV7View::IDC_OPTIONS, cmd::ID_STATION_OPTIONS},
                                         {CV7View::IDC_TEST, cmd::ID_STATION_TEST}};
    for (const auto& [id, command] : tasks) EXPECT_EQ(view->Button(id)->IsEnabled(), cmd::IsAvailable(command)) << id;
    EXPECT_TRUE(view->Button(CV7View::IDC_HELP_BUTTON)->IsEnabled());
    EXPECT_TRUE(view->Button(CV7View::IDC_EXIT)->IsEnabled());
}

// Run again with a larger interface font (GDK_DPI_SCALE), on a HiDPI screen
// and in a dark theme (see CMakeLists.txt): every text of the pictures has the
// room its size at the interface font's scale needs, in the right place, and
// no control covers another or leaves the window.
TEST_F(PanelViewTest, EveryTextHasRoomAtTheFontInUseAndNoControlCoversAnother) {
    CMainFrame* frame = Launch();
    ASSERT_NE(frame, nullptr);
    CV7View* view = frame->GetActiveView();
    const wxRect client(view->GetClientSize());
    const wxWindowList& controls = view->GetChildren();
    for (auto a = controls.begin(); a != controls.end(); ++a) {
        EXPECT_TRUE(client.Contains((*a)->GetRect())) << (*a)->GetLabel();
        for (auto b = std::next(a); b != controls.end(); ++b)
            EXPECT_FALSE((*a)->GetRect().Intersects((*b)->GetRect())) << (*a)->GetLabel() << " on " << (*b)->GetLabel();
    }
    // The pictures were drawn for a 10-point interface font at 96 dots per
    // inch, three quarters of a point to a pixel.
    const wxFont system = view->GetFont();
    wxClientDC dc(view);
    for (const CV7View::Label& label : CV7View::Labels()) {
        SCOPED_TRACE(label.Text);
        wxFont font(system);
        font.SetFractionalPointSize(system.GetFractionalPointSize() / 10 * label.Px * 0.75);
        font.SetWeight(label.Bold ? wxFONTWEIGHT_BOLD : wxFONTWEIGHT_NORMAL);
        dc.SetFont(font);
        const wxSize text = dc.GetTextExtent(label.Text);
        const wxRect box = view->ToWindow(label.Box);
        EXPECT_LE(text.x, box.width);
        EXPECT_LE(text.y, box.height);
        EXPECT_TRUE(client.Contains(box));
        // A caption inside its own button; any other text clear of every button.
        for (wxWindow* control : controls) {
            const bool own = control->GetId() == label.Owner;
            EXPECT_EQ(own ? control->GetRect().Contains(box) : control->GetRect().Intersects(box), own)
                << control->GetLabel();
        }
    }
}

// The panel as drawn, pixel for pixel, in the pictures of the desktop's theme:
// on the screen (background and buttons, uploaded to the display server), and
// the background alone into a 1x and a 2x memory picture (the 2x one from the
// 2x picture).
TEST_F(PanelViewTest, PanelIsDrawnPixelForPixelOnScreenAndInMemoryAtBothScales) {
    CMainFrame* frame = Launch();
    ASSERT_NE(frame, nullptr);
    CV7View* view = frame->GetActiveView();
    const wxSize form(CV7View::kFormWidth, CV7View::kFormHeight);
    ASSERT_EQ(view->GetClientSize(), form);
    const std::string theme = wxSystemSettings::GetAppearance().IsDark() ? "_DARK" : "";
    EXPECT_EQ(view->IsDark(), !theme.empty());

    // The panel as it should look: the background with each button's current
    // picture over it.
    auto expected = [&](int scale) {
        wxImage panel = ReaderImage("V7BG" + theme, scale);
        for (wxWindow* child : view->GetChildren()) {
            auto* button = dynamic_cast<CPictureButton*>(child);
            if (!button) continue;  // the drivers' line, hidden while they run
            const wxImage face =
                ReaderImage(button->GetLabel().Upper().ToStdString() + button->CurrentPicture() + theme, scale);
            if (face.IsOk()) panel.Paste(face, button->GetPosition().x * scale, button->GetPosition().y * scale);
        }
        return panel;
    };
    // Pixels of got that differ from want.
    auto differing = [](const wxImage& got, const wxImage& want) {
        if (got.GetSize() != want.GetSize()) return -1;
        int count = 0;
        for (long i = 0; i < 3L * want.GetWidth() * want.GetHeight(); i += 3)
            count += !std::equal(want.GetData() + i, want.GetData() + i + 3, got.GetData() + i);
        return count;
    };

    frame->Raise();
    frame->Update();
    wxYield();
    // The screen at its own scale (GDK_SCALE=2 runs the suite on a HiDPI screen).
    const int screenScale = view->GetContentScaleFactor() >= 1.5 ? 2 : 1;
    wxBitmap screen;
    ASSERT_TRUE(screen.CreateScaled(form.x, form.y, 24, screenScale));
    {
        wxClientDC window(view);
        wxMemoryDC grab(screen);
        grab.Blit(0, 0, form.x, form.y, &window, 0, 0);
    }
    EXPECT_EQ(differing(screen.ConvertToImage(), expected(screenScale)), 0) << "on the screen";

    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        wxBitmap memory;
        ASSERT_TRUE(memory.CreateScaled(form.x, form.y, 24, scale));
        {
            wxMemoryDC dc(memory);
            view->DrawBackground(dc);
        }
        EXPECT_EQ(differing(memory.ConvertToImage(), ReaderImage("V7BG" + theme, scale)), 0);
    }
}

// Every built-in picture, in both themes: the panel's decoder agrees with wx's
// general reader, and its bundle offers exactly those pixels at 1x and a
// sharper 2x picture of the same logical size.
TEST(PanelBitmaps, DecodeAsTheGeneralReaderAndBundleAOneTimesAndATwiceAsLargePicture) {
    std::vector<std::string> names;
    for (const char* theme : {"", "_DARK"}) {
        names.push_back(std::string("V7BG") + theme);
        for (const char* caption : {"BROADCAST", "USER", "OPTIONS", "TEST", "ON", "OFF", "HELP", "EXIT"})
            for (const char* state : {"U", "D", "F", "X"}) names.push_back(std::string(caption) + state + theme);
    }
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const res::PackedBitmap* packed = res::FindBitmapResource(name);
        ASSERT_NE(packed, nullptr);
        ASSERT_NE(res::FindBitmapResource2x(name), nullptr);
        const std::vector<unsigned char> file = res::Unpack(*packed);
        const auto layout = ParseBmp(file.data(), file.size());
        ASSERT_TRUE(layout);
        const auto rgb = DecodeBmpRgb(*layout);
        ASSERT_TRUE(rgb);
        const wxImage reference = ReaderImage(name, 1);
        ASSERT_TRUE(reference.IsOk());
        const wxSize logical(layout->Width, layout->Height);
        ASSERT_EQ(logical, reference.GetSize());
        ASSERT_EQ(rgb->size(), std::size_t(reference.GetWidth()) * reference.GetHeight() * 3);
        EXPECT_TRUE(std::equal(rgb->begin(), rgb->end(), reference.GetData())) << "pixels differ";

        const wxBitmapBundle bundle = LoadResourceBundle(name);
        ASSERT_TRUE(bundle.IsOk());
        EXPECT_EQ(bundle.GetDefaultSize(), logical);
        EXPECT_EQ(bundle.GetPreferredBitmapSizeAtScale(1.0), logical);
        EXPECT_EQ(bundle.GetPreferredBitmapSizeAtScale(2.0), logical * 2);
        // 1x: exactly the 8-bit picture's pixels.
        const wxImage normal = bundle.GetBitmap(logical).ConvertToImage();
        ASSERT_EQ(normal.GetSize(), logical);
        EXPECT_TRUE(std::equal(rgb->begin(), rgb->end(), normal.GetData())) << "1x pixels differ";
        // 2x: twice the pixels, drawn at the same logical size, and not merely
        // the 1x picture blown up.
        const wxBitmap twice = bundle.GetBitmap(logical * 2);
        ASSERT_TRUE(twice.IsOk());
        EXPECT_EQ(twice.GetSize(), logical * 2);
        EXPECT_EQ(twice.GetLogicalSize(), logical);
        const wxImage sharp = twice.ConvertToImage();
        const wxImage blownUp = normal.Scale(logical.x * 2, logical.y * 2, wxIMAGE_QUALITY_NEAREST);
        EXPECT_FALSE(std::equal(sharp.GetData(), sharp.GetData() + logical.x * logical.y * 12, blownUp.GetData()));
    }
}

}  // namespace
