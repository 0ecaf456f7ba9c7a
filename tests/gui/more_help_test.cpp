// The more-help box: opened from the Help menu with the contact text in place;
// Internet and Email handing their address to the desktop's handler (a stub
// "xdg-open" on PATH that records its argument), message 1403 naming the
// address when there is no handler or it fails; the box staying open; the
// read-only text out of the Tab order and keeping Enter; F1 opening its topic.
#include <fstream>

#include <wx/button.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include "GuiTest.h"
#include "options/ui/MoreHelpDlg.h"
#include "resources/ui/HelpBook.h"

namespace {

using namespace guitest;
namespace fs = std::filesystem;

class ExpectMoreHelpBox : public wxExpectModalBase<CMoreHelpDlg, ExpectMoreHelpBox> {
protected:
    int OnInvoked(CMoreHelpDlg* dialog) const override {
        EXPECT_EQ(dialog->GetId(), 107);
        EXPECT_EQ(dialog->GetTitle(), "More help");
        wxString contact = Text(1400);
        contact.Replace("\r\n", "\n");
        EXPECT_EQ(dynamic_cast<wxTextCtrl*>(dialog->FindWindow(CMoreHelpDlg::IDC_CONTACT))->GetValue(), contact);
        return wxID_OK;
    }
};

class MoreHelpTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        if (!HaveDisplay()) return;
        wxGetEnv("PATH", &m_path);
        m_bin = m_root->Path() / "bin";
        m_log = m_root->Path() / "opened.txt";
        fs::create_directories(m_bin);
        ASSERT_EQ(RunHostTool({"init"}).ExitCode, 0);
        StartDrivers();
        m_frame = StartProgram();
        ASSERT_NE(m_frame, nullptr);
    }
    void TearDown() override {
        if (HaveDisplay()) {
            wxSetEnv("PATH", m_path);
            HelpBook::Shutdown();
        }
        GuiTest::TearDown();
    }
    // PATH holds only the stub folder; the stub, when present, records its
    // argument and ends with the status.
    void InstallHandler(bool present, int status = 0) {
        fs::remove(m_bin / "xdg-open");
        if (present) {
            std::ofstream(m_bin / "xdg-open") << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << m_log.string()
                                              << "'\nexit " << status << "\n";
            fs::permissions(m_bin / "xdg-open", fs::perms::owner_all);
        }
        wxSetEnv("PATH", wxString(m_bin.string()));
    }
    std::string Opened() const {
        std::ifstream in(m_log);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    CMoreHelpDlg* ShowBox() {
        auto* dialog = new CMoreHelpDlg(m_frame);
        dialog->Show();
        PumpEvents();
        return dialog;
    }

    wxString m_path;
    fs::path m_bin, m_log;
    CMainFrame* m_frame = nullptr;
};

TEST_F(MoreHelpTest, HelpMenuOpensTheBoxWithTheContactText) {
    ASSERT_TRUE(IsMenuItemEnabled(m_frame, cmd::ID_MORE_HELP));
    wxTEST_DIALOG(EXPECT_TRUE(PickMenuCommand(m_frame, cmd::ID_MORE_HELP)), ExpectMoreHelpBox());
}

TEST_F(MoreHelpTest, ButtonsOpenTheirAddressesOrNameThemInMessage1403) {
    const struct {
        int Button;
        bool HandlerPresent;
        int HandlerStatus;
        const char* Target;
        bool Reported;
    } cases[] = {
        {CMoreHelpDlg::IDC_INTERNET, true, 0, "https://www.halvorn.example/", false},
        {CMoreHelpDlg::IDC_EMAIL, true, 0, "mailto:support@halvorn.example", false},
        {CMoreHelpDlg::IDC_INTERNET, true, 4, "https://www.halvorn.example/", true},
        {CMoreHelpDlg::IDC_EMAIL, false, 0, "mailto:support@halvorn.example", true},
    };
    CMoreHelpDlg* dialog = ShowBox();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Target + std::string(c.HandlerPresent ? " handler status " : " no handler") +
                     std::to_string(c.HandlerStatus));
        fs::remove(m_log);
        InstallHandler(c.HandlerPresent, c.HandlerStatus);
        bool reported = false;
        auto press = [&] {
            wxCommandEvent click(wxEVT_BUTTON, c.Button);
            click.SetEventObject(dialog->FindWindow(c.Button));
            dialog->FindWindow(c.Button)->GetEventHandler()->ProcessEvent(click);
            if (c.Reported) {
                PumpUntil([&] { return reported; });
            } else {  // the handler runs and ends; nothing may be shown
                PumpUntil([&] { return !Opened().empty(); });
                PumpUntil([] { return false; }, 0.3);
            }
        };
        if (c.Reported) {
            const wxString message = wxString::Format(
                "Error executing %s. Try accessing this site manually in your favorite Web browser.", c.Target);
            wxTEST_DIALOG(press(), ExpectMessageBox(message, wxOK, [&] { reported = true; }));
        } else {
            press();
        }
        EXPECT_EQ(Opened(), c.HandlerPresent ? c.Target + std::string("\n") : "");
        EXPECT_TRUE(dialog->IsShown());
    }
}

TEST_F(MoreHelpTest, ContactTextIsOutOfTheTabOrderKeepsEnterAndFitsAndF1OpensTheTopic) {
    CMoreHelpDlg* dialog = ShowBox();
    EXPECT_EQ(dialog->GetClientSize(), dialog->ConvertDialogToPixels(wxSize(148, 167)));
    auto* text = dynamic_cast<wxTextCtrl*>(dialog->FindWindow(CMoreHelpDlg::IDC_CONTACT));
    auto* ok = dialog->FindWindow(wxID_OK);
    EXPECT_EQ(dynamic_cast<wxButton*>(dialog->GetDefaultItem()), ok);
    EXPECT_FALSE(text->IsEditable());
    EXPECT_FALSE(text->CanAcceptFocusFromKeyboard());
    // Every line shows whole, without scrolling.
    for (int line = 0; line < text->GetNumberOfLines(); ++line)
        EXPECT_LT(text->GetTextExtent(text->GetLineText(line)).x, text->GetClientSize().x) << line;
    EXPECT_LT(text->GetNumberOfLines() * text->GetCharHeight(), text->GetClientSize().y);

    // A real Enter key in the text neither presses OK nor changes the text;
    // the same key on OK closes the box.
    const wxString before = text->GetValue();
    dialog->Raise();
    for (wxWindow* focus : {static_cast<wxWindow*>(text), ok}) {
        focus->SetFocus();
        ASSERT_TRUE(PumpUntil([&] { return wxWindow::FindFocus() == focus; }, 5)) << "no keyboard focus";
        wxUIActionSimulator().Char(WXK_RETURN);
        PumpUntil([&] { return !dialog->IsShown(); }, 0.5);
        EXPECT_EQ(dialog->IsShown(), focus == text);
    }
    EXPECT_EQ(text->GetValue(), before);

    dialog->Show();
    SendKey(dialog, wxEVT_CHAR_HOOK, WXK_F1);
    EXPECT_EQ(ShownHelpPage(), "dialog-107.htm");
}

}  // namespace
