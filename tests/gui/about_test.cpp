// The About box: opened from the Help menu on the about text; its button
// switching to the version report of the running drivers and back, each time
// built afresh; F1 opening its help topic; both texts fitting their place.
#include <wx/button.h>
#include <wx/stattext.h>

#include "GuiTest.h"
#include "host/system.h"
#include "options/AboutText.h"
#include "options/ui/AboutDlg.h"
#include "resources/ui/HelpBook.h"

namespace {

using namespace guitest;

// The report of drivers started with --without Tilvex --driver-version Quorel=2.19.
const char* const kReport =
    "Brakor.vxd\t2.30 is loaded\t2.30.0.112 in file.\n"
    "Quorel.vxd\t2.13 is loaded\t2.30.0.112 in file.\n"
    "Tilvex.vxd\tnot loaded\t2.30.0.112 in file.\n"
    "Dunvek.vxd\t2.30 is loaded\t2.30.0.112 in file.\n";

wxString Shown(const CAboutDlg* dialog) {
    return dynamic_cast<wxStaticText*>(dialog->FindWindow(CAboutDlg::IDC_TEXT))->GetLabelText();
}
wxString Caption(const CAboutDlg* dialog) { return dialog->FindWindow(CAboutDlg::IDC_VERSIONS)->GetLabel(); }
void Press(CAboutDlg* dialog) {
    wxCommandEvent click(wxEVT_BUTTON, CAboutDlg::IDC_VERSIONS);
    click.SetEventObject(dialog->FindWindow(CAboutDlg::IDC_VERSIONS));
    dialog->FindWindow(CAboutDlg::IDC_VERSIONS)->GetEventHandler()->ProcessEvent(click);
}

// The about text with the running time taken between before and after (a
// minute may turn meanwhile).
void ExpectAboutText(const CAboutDlg* dialog, std::uint64_t before) {
    const std::uint64_t after = host::GetTickCount64();
    wxString early = wxString::FromUTF8(options::AboutText(before)), late = wxString::FromUTF8(options::AboutText(after));
    early.Replace("\r\n", "\n");
    late.Replace("\r\n", "\n");
    const wxString shown = Shown(dialog);
    EXPECT_TRUE(shown == early || shown == late) << shown.utf8_string();
    EXPECT_TRUE(shown.StartsWith("Orvane V7 Version 1.20K\n\n")) << shown.utf8_string();
    EXPECT_EQ(Caption(dialog), "Versions");
    EXPECT_TRUE(dialog->AboutShown());
}

// Checks the box as it opens, then presses its button three times.
class ExpectAboutBox : public wxExpectModalBase<CAboutDlg, ExpectAboutBox> {
public:
    explicit ExpectAboutBox(std::uint64_t before) : m_before(before) {}

protected:
    int OnInvoked(CAboutDlg* dialog) const override {
        EXPECT_EQ(dialog->GetId(), 100);
        EXPECT_EQ(dialog->GetTitle(), "About");
        ExpectAboutText(dialog, m_before);
        Press(dialog);
        EXPECT_EQ(Shown(dialog).utf8_string(), kReport);
        EXPECT_EQ(Caption(dialog), "Copyright");
        EXPECT_FALSE(dialog->AboutShown());
        const std::uint64_t before = host::GetTickCount64();
        Press(dialog);
        ExpectAboutText(dialog, before);
        Press(dialog);
        EXPECT_EQ(Shown(dialog).utf8_string(), kReport);
        return wxID_OK;
    }

private:
    std::uint64_t m_before;
};

class AboutTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        if (!HaveDisplay()) return;
        ASSERT_EQ(RunHostTool({"init"}).ExitCode, 0);
        StartDrivers({"--without", "Tilvex", "--driver-version", "Quorel=2.19"});
    }
    void TearDown() override {
        if (HaveDisplay()) HelpBook::Shutdown();
        GuiTest::TearDown();
    }
};

TEST_F(AboutTest, HelpMenuOpensTheBoxOnTheAboutTextAndItsButtonTogglesTheVersionReport) {
    CMainFrame* frame = StartProgram();
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(IsMenuItemEnabled(frame, cmd::ID_APP_ABOUT));
    wxTEST_DIALOG(EXPECT_TRUE(PickMenuCommand(frame, cmd::ID_APP_ABOUT)), ExpectAboutBox(host::GetTickCount64()));
}

TEST_F(AboutTest, TextsFitTheTemplateAndF1OpensTheAboutTopic) {
    CMainFrame* frame = StartProgram();
    ASSERT_NE(frame, nullptr);
    auto* dialog = new CAboutDlg();
    dialog->Show();
    PumpEvents();
    EXPECT_EQ(dialog->GetClientSize(), dialog->ConvertDialogToPixels(wxSize(271, 71)));
    EXPECT_EQ(dynamic_cast<wxButton*>(dialog->GetDefaultItem()), dialog->FindWindow(wxID_OK));
    EXPECT_EQ(dialog->FindWindow(wxID_OK)->GetLabel(), "&Close");
    auto* text = dialog->FindWindow(CAboutDlg::IDC_TEXT);
    for (int view = 0; view < 2; ++view, Press(dialog)) {
        SCOPED_TRACE(view ? "report" : "about");
        const wxSize needed = text->GetBestSize(), place = text->GetSize();
        EXPECT_LE(needed.x, place.x);
        EXPECT_LE(needed.y, place.y);
    }
    SendKey(dialog, wxEVT_CHAR_HOOK, WXK_F1);
    EXPECT_EQ(ShownHelpPage(), "dialog-100.htm");
}

}  // namespace
