// The more-help box: Internet and Email hand their address to a stub
// "xdg-open" on PATH, or name it in message 1403; the contact text.
#include <fstream>

#include <wx/textctrl.h>

#include "GuiTest.h"
#include "options/ui/MoreHelpDlg.h"

namespace {

using namespace guitest;
namespace fs = std::filesystem;

class MoreHelpTest : public GuiTest {
protected:
    void SetUpProgram() override {
        wxGetEnv("PATH", &m_path);
        ASSERT_NE(LaunchOnInitialisedHost(), nullptr);
        m_dialog = new CMoreHelpDlg(m_frame);
        m_dialog->Show();
    }
    void TearDown() override {
        if (!IsSkipped()) wxSetEnv("PATH", m_path);
        GuiTest::TearDown();
    }
    wxString m_path;
    CMoreHelpDlg* m_dialog = nullptr;
};

TEST_F(MoreHelpTest, HelpMenuOpensTheBoxWhoseButtonsOpenTheirAddressesOrNameThemInMessage1403) {
    wxTEST_DIALOG(EXPECT_TRUE(PickMenuCommand(m_frame, cmd::ID_MORE_HELP)),
                  wxExpectDismissableModal<CMoreHelpDlg>(wxID_OK));
    const fs::path bin = m_root->Path() / "bin", log = m_root->Path() / "opened.txt";
    const struct {
        int Button;
        int Handler;  // -1: none on PATH; else the stub's exit status
        std::string Target;
    } cases[] = {
        {CMoreHelpDlg::IDC_INTERNET, 0, "https://www.halvorn.example/"},
        {CMoreHelpDlg::IDC_EMAIL, 0, "mailto:support@halvorn.example"},
        {CMoreHelpDlg::IDC_INTERNET, 4, "https://www.halvorn.example/"},
        {CMoreHelpDlg::IDC_EMAIL, -1, "mailto:support@halvorn.example"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Target + " handler " + std::to_string(c.Handler));
        fs::remove_all(bin);
        fs::remove(log);
        fs::create_directories(bin);
        if (c.Handler >= 0) {
            std::ofstream(bin / "xdg-open") << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << log.string() << "'\nexit "
                                            << c.Handler << "\n";
            fs::permissions(bin / "xdg-open", fs::perms::owner_all);
        }
        wxSetEnv("PATH", bin.string());
        auto opened = [&] { return FileBytes(log); };
        bool reported = false;
        auto press = [&] {
            PressButton(m_dialog, c.Button);
            PumpUntil([&] { return reported || (c.Handler == 0 && !opened().empty()); });
            PumpUntil([] { return false; }, 0.3);  // a handler that ended well shows nothing
        };
        if (c.Handler == 0) {
            press();
        } else {
            wxTEST_DIALOG(press(), ExpectMessageBox("Error executing " + c.Target +
                                                        ". Try accessing this site manually in your favorite Web browser.",
                                                    wxOK, [&] { reported = true; }));
        }
        EXPECT_EQ(opened(), c.Handler >= 0 ? c.Target + "\n" : "");
        EXPECT_TRUE(m_dialog->IsShown());
    }
}

TEST_F(MoreHelpTest, ContactTextIsShownOutOfTheTabOrderAndFits) {
    auto* text = dynamic_cast<wxTextCtrl*>(m_dialog->FindWindow(CMoreHelpDlg::IDC_CONTACT));
    wxString contact = Text(1400);
    contact.Replace("\r\n", "\n");
    EXPECT_EQ(text->GetValue(), contact);
    EXPECT_FALSE(text->CanAcceptFocusFromKeyboard());
    for (int line = 0; line < text->GetNumberOfLines(); ++line)  // nothing to scroll to
        EXPECT_LT(text->GetTextExtent(text->GetLineText(line)).x, text->GetClientSize().x) << line;
    EXPECT_LT(text->GetNumberOfLines() * text->GetCharHeight(), text->GetClientSize().y);
}

}  // namespace
