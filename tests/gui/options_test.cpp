// The Options menu: its radio marks against values changed behind the
// program's back, its four commands, and the station options dialog: the
// slider and the two lists, OK and Cancel in the registry, the template's
// places, and the login name's limit in bytes.
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "GuiTest.h"
#include "options/ui/StationOptionsDlg.h"

namespace {

using namespace guitest;
using Dlg = CStationOptionsDlg;

const std::string kStation = StationConfiguration::StationKeyPath(kStationNumber);

using regtest::Export;  // the whole registry, to show that nothing was written

// Values as another program would store them, through the host tool.
void Import(const std::string& lines) {
    const ToolResult result = RunHostTool({"reg", "import", "-"}, "REGEDIT4\n\n" + lines);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
}
std::string ProductLine() { return "[HKEY_LOCAL_MACHINE\\" + std::string(kProductKey) + "]\n"; }
std::string StationLine() { return "[HKEY_LOCAL_MACHINE\\" + kStation + "]\n"; }

// Runs the options dialog in place of its modal loop: initialises it, lets
// the test work its controls, and answers OK only when its OK button ended it.
ExpectDialog<Dlg> DriveOptionsDialog(std::function<void(Dlg&)> drive) {
    return ExpectDialog<Dlg>([drive](Dlg* dialog) {
        dialog->InitDialog();
        drive(*dialog);
        return dialog->GetReturnCode() == wxID_OK ? wxID_OK : wxID_CANCEL;
    });
}

// A movement of the slider: a step, then the end of tracking.
void MoveSlider(Dlg& dialog, int position) {
    auto* slider = FindControl<wxSlider>(&dialog, Dlg::IDC_RESOLUTION);
    slider->SetValue(position);
    for (wxEventType type : {wxEVT_SCROLL_THUMBTRACK, wxEVT_SCROLL_CHANGED}) {
        wxScrollEvent event(type, slider->GetId(), position, wxHORIZONTAL);
        event.SetEventObject(slider);
        slider->HandleWindowEvent(event);
    }
}

void Choose(Dlg& dialog, int listId, const wxString& text) {
    Select(FindControl<wxChoice>(&dialog, listId), text, wxEVT_CHOICE);
}

// "label | colours (selected) | rates (selected)", as the dialog shows them.
std::string Shown(Dlg& dialog) {
    auto list = [&](int id) {
        auto* choice = FindControl<wxChoice>(&dialog, id);
        std::string text;
        for (unsigned i = 0; i < choice->GetCount(); ++i)
            text += (i ? "," : "") + choice->GetString(i).utf8_string() +
                    (static_cast<int>(i) == choice->GetSelection() ? "*" : "");
        return text;
    };
    return FindControl<wxStaticText>(&dialog, Dlg::IDC_RESOLUTION_LABEL)->GetLabel().utf8_string() + " | " +
           list(Dlg::IDC_COLORS) + " | " + list(Dlg::IDC_REFRESH_RATE);
}

class OptionsTest : public GuiTest {
protected:
    void SetUpProgram() override { ASSERT_NE(Launch(), nullptr); }
    // The four items' marks as the pop-up shows them when it opens.
    std::string Marks() {
        std::string marks;
        for (int command : {cmd::ID_AUTOLAUNCH_ON, cmd::ID_AUTOLAUNCH_OFF, cmd::ID_ALLOW_SHUTDOWN,
                            cmd::ID_STOP_SHUTDOWN}) {
            EXPECT_TRUE(IsMenuItemEnabled(m_frame, command)) << command;  // runs the update rules
            marks += m_frame->GetMenuBar()->IsChecked(cmd::ToWxId(command)) ? "x" : ".";
        }
        return marks;
    }
};

TEST_F(OptionsTest, MenuMarksShowTheRegistryAsTheMenuOpensStoreNothingAndFollowTheCommands) {
    EXPECT_EQ(Marks(), ".x.x") << "nothing stored: leave off, stop requests";
    const std::pair<std::string, const char*> stored[] = {
        {StationLine() + "\"AutoLaunch\"=hex:01\n", "x..x"},
        {ProductLine() + "\"Shutdown Default\"=hex:01\n", "x.x."},
        // Shut Down sets only "Shutdown Enabled": the menu shows the standing choice.
        {ProductLine() + "\"Shutdown Enabled\"=hex:01\n\"Shutdown Default\"=hex:00\n", "x..x"},
        // A four-byte value does not fit the one byte read: it reads as 0.
        {StationLine() + "\"AutoLaunch\"=dword:00000001\n", ".x.x"},
    };
    for (const auto& [lines, marks] : stored) {
        Import(lines);
        const std::string before = Export();
        EXPECT_EQ(Marks(), marks) << lines;
        EXPECT_EQ(Export(), before) << "opening the menu wrote to the registry";
    }
    const std::pair<int, const char*> commands[] = {{cmd::ID_AUTOLAUNCH_ON, "x..x"}, {cmd::ID_ALLOW_SHUTDOWN, "x.x."},
                                                    {cmd::ID_AUTOLAUNCH_OFF, ".xx."}, {cmd::ID_STOP_SHUTDOWN, ".x.x"}};
    for (const auto& [command, marks] : commands) {
        ASSERT_TRUE(PickMenuCommand(m_frame, command)) << command;
        EXPECT_EQ(Marks(), marks) << command;
    }
}

TEST_F(OptionsTest, SliderRefillsBothListsKeepingTheColourItCanAndTheLastRate) {
    Import(ProductLine() + "\"Station Display\"=hex:09\n\"RefreshRate\"=\"72\"\n");
    std::vector<std::string> steps;
    auto drive = [&](Dlg& d) {
        d.Show();  // for the real input below
        steps.push_back(Shown(d));
        MoveSlider(d, 1);
        steps.push_back(Shown(d));
        MoveSlider(d, 2);
        steps.push_back(Shown(d));
        // Real input that leaves the thumb where it is: the rate still goes
        // back to the last. End at the end, then a click on the thumb.
        d.Raise();
        auto* slider = FindControl<wxSlider>(&d, Dlg::IDC_RESOLUTION);
        slider->SetFocus();
        EXPECT_TRUE(PumpUntil([&] { return wxWindow::FindFocus() == slider; }, 5)) << "no keyboard focus";
        for (bool click : {false, true}) {
            Choose(d, Dlg::IDC_REFRESH_RATE, "72 Hz");
            wxUIActionSimulator input;
            if (click) {
                input.MouseMove(slider->ClientToScreen(wxPoint(slider->GetSize().x - 12, slider->GetSize().y / 2)));
                input.MouseClick();
            } else {
                input.Char(WXK_END);
            }
            PumpUntil([&] { return Shown(d).find("76 Hz*") != std::string::npos; }, 2);
            steps.push_back(Shown(d));
        }
        MoveSlider(d, 0);
        steps.push_back(Shown(d));
        Choose(d, Dlg::IDC_COLORS, "High color (16-bit)");
        steps.push_back(Shown(d));
        d.Hide();
    };
    wxTEST_DIALOG(m_frame->OnStationOptions(), DriveOptionsDialog(drive));
    const std::vector<std::string> expected = {
        "640 x 480 | 16 colors,256 colors,High color (16-bit),True color (24-bit)* | 60 Hz*",
        "800 x 600 | 256 colors,High color (16-bit)* | 56 Hz,60 Hz*",
        "1024 x 768 | 256 colors* | 44 Hz (interlaced),60 Hz,72 Hz,76 Hz*",
        "1024 x 768 | 256 colors* | 44 Hz (interlaced),60 Hz,72 Hz,76 Hz*",
        "1024 x 768 | 256 colors* | 44 Hz (interlaced),60 Hz,72 Hz,76 Hz*",
        "640 x 480 | 16 colors,256 colors*,High color (16-bit),True color (24-bit) | 60 Hz*",
        "640 x 480 | 16 colors,256 colors,High color (16-bit)*,True color (24-bit) | 60 Hz*",
    };
    EXPECT_EQ(steps, expected);
}

TEST_F(OptionsTest, OkStoresTheDialogsChoicesAndCancelStoresNothing) {
    Import(ProductLine() + "\"Shutdown Enabled\"=hex:01\n\"Shutdown Default\"=hex:00\n");
    const std::string before = Export();
    auto change = [](bool ok) {
        return [ok](Dlg& d) {
            FindControl<wxTextCtrl>(&d, Dlg::IDC_DEFAULT_USER)->SetValue("Bertil");
            FindControl<wxCheckBox>(&d, Dlg::IDC_AUTOLAUNCH)->SetValue(true);
            MoveSlider(d, 1);
            Choose(d, Dlg::IDC_COLORS, "256 colors");
            Choose(d, Dlg::IDC_REFRESH_RATE, "56 Hz");
            PressButton(&d, ok ? wxID_OK : wxID_CANCEL);
        };
    };
    wxTEST_DIALOG(m_frame->OnStationOptions(), DriveOptionsDialog(change(false)));
    EXPECT_EQ(Export(), before);
    EXPECT_EQ(m_frame->Configuration().DefaultUser, "User1");

    // The panel's Options button opens the same dialog.
    wxTEST_DIALOG(ClickWithMouse(PanelButton(CV7View::IDC_OPTIONS)), DriveOptionsDialog(change(true)));
    const std::tuple<std::string, const char*, const char*> values[] = {
        {kProductKey, "Station Display", "\x04"}, {kProductKey, "Station Mode", "800 x 600, 256 colors"},
        {kProductKey, "RefreshRate", "56"},       {kProductKey, "Shutdown Enabled", ""},
        {kProductKey, "Shutdown Default", ""},    {kStation, "Default User", "Bertil"},
        {kStation, "AutoLaunch", "\x01"},         {kStation + "\\Display\\DEFAULT", "Mode", "8,800,600"},
    };
    for (const auto& [key, name, value] : values) EXPECT_EQ(TextValue(key, name), value) << name;
}

// Where the template puts each control, in dialog units, and the check boxes'
// texts as they stand, without added mnemonics.
TEST_F(OptionsTest, ControlsStandWhereTheTemplatePutsThemWithTheirOwnTexts) {
    const struct {
        int Id, X, Y, Width;
        const char* Label = nullptr;
    } controls[] = {
        {Dlg::IDC_DEFAULT_USER, 15, 24, 176},
        {Dlg::IDC_AUTOLAUNCH, 15, 46, 230, "Automatically turn V7 Station on when system starts."},
        {Dlg::IDC_ALLOW_SHUTDOWN, 15, 59, 230, "Allow system Shut Down requests after V7 Station is turned on."},
        {Dlg::IDC_RESOLUTION, 13, 93, 89},  {Dlg::IDC_RESOLUTION_LABEL, 17, 114, 81},
        {Dlg::IDC_COLORS, 118, 95, 91},     {Dlg::IDC_REFRESH_RATE, 227, 95, 89},
    };
    wxTEST_DIALOG(m_frame->OnStationOptions(), DriveOptionsDialog([&](Dlg& d) {
                      for (const auto& c : controls) {
                          wxWindow* control = d.FindWindow(c.Id);
                          EXPECT_EQ(control->GetRect(), wxRect(d.ConvertDialogToPixels(wxPoint(c.X, c.Y)),
                                                               wxSize(d.ConvertDialogToPixels(wxSize(c.Width, 0)).x,
                                                                      control->GetSize().y)))
                              << c.Id;
                          EXPECT_EQ(control->GetLabel(), c.Label ? wxString(c.Label) : control->GetLabel()) << c.Id;
                      }
                  }));
}

// The login name counts bytes as stored (UTF-8): the edit takes no more than
// 20, cut where the next letter stops fitting, and an empty name is a name
// like any other. A stored name over the limit is shown whole and the lists
// keep working; OK says why it cannot close until the name is shortened.
TEST_F(OptionsTest, LoginNameIsKeptWithinTwentyBytesAndMayBeEmpty) {
    const std::string longName = "Administrator-of-station";  // 24 bytes
    auto accents = [](std::size_t n) { return wxString(wxUniChar(0xE9), n).utf8_string(); };  // two bytes each
    const struct {
        std::string Stored, Typed, Shown;
    } cases[] = {
        {longName, longName.substr(0, 20), longName.substr(0, 20)},
        {"User1", "", ""},
        {"User1", accents(11), accents(10)},
        {"User1", std::string(19, 'a') + accents(1) + "b", std::string(19, 'a')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Typed);
        Import(StationLine() + "\"Default User\"=\"" + c.Stored + "\"\n");
        const bool tooLong = c.Stored.size() > 20;
        auto drive = [&](Dlg& d) {
            auto* edit = FindControl<wxTextCtrl>(&d, Dlg::IDC_DEFAULT_USER);
            if (tooLong) {
                EXPECT_EQ(edit->GetValue().utf8_string(), c.Stored);
                Choose(d, Dlg::IDC_COLORS, "256 colors");
                PressButton(&d, wxID_OK);
                EXPECT_NE(d.GetReturnCode(), wxID_OK) << "closed with a name over the limit";
            }
            edit->Clear();
            edit->WriteText(wxString::FromUTF8(c.Typed));
            PumpEvents();
            EXPECT_EQ(edit->GetValue().utf8_string(), c.Shown);
            PressButton(&d, wxID_OK);
        };
        if (tooLong) {
            wxTEST_DIALOG(m_frame->OnStationOptions(), DriveOptionsDialog(drive),
                          ExpectMessageBox("at most 20 bytes", wxOK, {}, /*partial=*/true));
        } else {
            wxTEST_DIALOG(m_frame->OnStationOptions(), DriveOptionsDialog(drive));
        }
        EXPECT_EQ(TextValue(kStation, "Default User"), c.Shown);
    }
    EXPECT_EQ(TextValue(kProductKey, "Station Display"), "\x01");
}

}  // namespace
