// The About box from the Help menu: it opens on the about text, its button
// switches to the report of the running drivers and back, each built afresh;
// both texts fit their place beside the program's icon.
#include <wx/statbmp.h>

#include "GuiTest.h"
#include "host/system.h"
#include "options/AboutText.h"
#include "options/ui/AboutDlg.h"

namespace {

using namespace guitest;

// Drivers started with --without Tilvex --driver-version Quorel=2.19.
const std::string kReport =
    "Brakor.vxd\t2.30 is loaded\t2.30.0.112 in file.\r\nQuorel.vxd\t2.13 is loaded\t2.30.0.112 in file.\r\n"
    "Tilvex.vxd\tnot loaded\t2.30.0.112 in file.\r\nDunvek.vxd\t2.30 is loaded\t2.30.0.112 in file.\r\n";

// The shown text with the line ends it was built with.
std::string Shown(wxWindow* dialog) {
    wxString text = dialog->FindWindow(CAboutDlg::IDC_TEXT)->GetLabel();
    text.Replace("\n", "\r\n");
    return text.utf8_string();
}

class AboutTest : public GuiTest {
protected:
    void SetUpProgram() override {
        ASSERT_NE(LaunchOnInitialisedHost({"--without", "Tilvex", "--driver-version", "Quorel=2.19"}), nullptr);
    }
};

// The box as it opens (the clock read just before) and after three presses;
// each text fits its place.
TEST_F(AboutTest, HelpMenuOpensTheBoxOnTheAboutTextItsButtonTogglesTheVersionReportAndBothFit) {
    const std::uint64_t opened = host::GetTickCount64();
    auto check = [opened](CAboutDlg* dialog) {
        auto* icon = dynamic_cast<wxStaticBitmap*>(dialog->FindWindow(CAboutDlg::IDC_PROGRAM_ICON));
        EXPECT_TRUE(icon && icon->GetBitmap().GetSize() == wxSize(32, 32));  // not when the icon does not unpack
        wxWindow* button = dialog->FindWindow(CAboutDlg::IDC_VERSIONS);
        wxWindow* text = dialog->FindWindow(CAboutDlg::IDC_TEXT);
        std::uint64_t before = opened;
        for (int press = 0; press < 4; ++press, before = host::GetTickCount64()) {
            if (press > 0) PressButton(dialog, CAboutDlg::IDC_VERSIONS);
            const bool about = press % 2 == 0;
            SCOPED_TRACE(press);
            EXPECT_EQ(dialog->AboutShown(), about);
            EXPECT_EQ(button->GetLabel(), about ? "Versions" : "Copyright");
            if (about) {  // the clock is read again; a minute may turn meanwhile
                const std::string shown = Shown(dialog);
                EXPECT_TRUE(shown == options::AboutText(before) || shown == options::AboutText(host::GetTickCount64()))
                    << shown;
            } else {
                EXPECT_EQ(Shown(dialog), kReport);
            }
            EXPECT_LE(text->GetBestSize().x, text->GetSize().x);
            EXPECT_LE(text->GetBestSize().y, text->GetSize().y);
        }
        return wxID_OK;
    };
    wxTEST_DIALOG(EXPECT_TRUE(PickMenuCommand(m_frame, cmd::ID_APP_ABOUT)), ExpectDialog<CAboutDlg>(check));
}

}  // namespace
