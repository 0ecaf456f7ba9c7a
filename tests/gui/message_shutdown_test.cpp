// Send a message and Shut Down Windows through the real station drivers: the
// dialogs, what the station receives, what the registry keeps, and the
// messages when the station is off or the drivers refuse.
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <fstream>

#include "GuiTest.h"
#include "host/emulated/root.h"
#include "users/Broadcast.h"
#include "users/ui/SendMessageDlg.h"
#include "users/ui/ShutDownDlg.h"

namespace {

using namespace guitest;

// A dialog of type Dlg, answered by the function instead of a person.
template <class Dlg>
class ExpectDialog : public wxExpectModalBase<Dlg, ExpectDialog<Dlg>> {
public:
    explicit ExpectDialog(std::function<int(Dlg*)> answer) : m_answer(std::move(answer)) {}

protected:
    int OnInvoked(Dlg* dialog) const override { return m_answer(dialog); }

private:
    std::function<int(Dlg*)> m_answer;
};

// What Send or OK does: validate, take the values, close with OK.
int PressOk(wxDialog* dialog) { return dialog->Validate() && dialog->TransferDataFromWindow() ? wxID_OK : wxID_NONE; }

// A button pressed: its event goes to the dialog as a click would send it.
void Press(wxWindow* dialog, int id) {
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(dialog->FindWindow(id));
    dialog->FindWindow(id)->ProcessWindowEvent(click);
}

template <class Control>
Control* Find(wxWindow* dialog, int id) {
    auto* control = dynamic_cast<Control*>(dialog->FindWindow(id));
    EXPECT_NE(control, nullptr) << "control " << id;
    return control;
}

// The station log's events after the time stamps.
std::vector<std::string> LogEvents(const std::string& event) {
    std::ifstream log(host::emulated::StationLogPath());
    std::vector<std::string> found;
    for (std::string line; std::getline(log, line);) {
        const std::string rest = line.substr(line.find('\t') + 1);
        if (rest.rfind(event + "\t", 0) == 0) found.push_back(rest.substr(event.size() + 1));
    }
    return found;
}

class MessageShutdownTest : public GuiTest {
protected:
    CMainFrame* Start(bool stationOn, std::vector<std::string> driverArgs = {}) {
        InstallStation(stationOn);
        StartDrivers(std::move(driverArgs));
        m_frame = StartProgram();
        return m_frame;
    }
    CMainFrame* m_frame = nullptr;
};

TEST_F(MessageShutdownTest, StationOffShowsOnlyTheNotOnMessageAndARefusalSaysSo) {
    ASSERT_NE(Start(false, {"--refuse-message"}), nullptr);
    wxTEST_DIALOG(PickMenuCommand(m_frame, cmd::ID_SEND_MESSAGE), ExpectMessageBox(Text(1504), wxOK));

    m_frame->OnStationOn();
    auto answer = [](CSendMessageDlg* dialog) {
        Press(dialog, CSendMessageDlg::IDC_HELP);
        EXPECT_EQ(ShownHelpPage(), "dialog-101.htm");
        Find<wxTextCtrl>(dialog, 1005)->SetValue("hello");
        return PressOk(dialog);
    };
    wxTEST_DIALOG(m_frame->OnSendMessage(), ExpectDialog<CSendMessageDlg>(answer), ExpectMessageBox(Text(1501), wxOK));
    EXPECT_TRUE(LogEvents("message").empty());
}

TEST_F(MessageShutdownTest, SendAMessageDialogSendsTheTrimmedTextWithItsHead) {
    ASSERT_NE(Start(true), nullptr);
    const std::string head = "From:  " + users::SenderName() + "\\n\\n";
    struct Case {
        const char* Typed;
        int Button;
        std::string Logged;  // the last message in the log afterwards ("" = none yet)
    };
    const Case cases[] = {
        {"Lunch?", wxID_CANCEL, ""},
        {" \n \t\n", wxID_OK, ""},
        {"\n  Lunch at one?\nBring a plate.  \n\n", wxID_OK, head + "Lunch at one?\\r\\nBring a plate."},
    };
    for (const Case& c : cases) {
        auto answer = [&c](CSendMessageDlg* dialog) {
            EXPECT_EQ(dialog->GetId(), 101);  // the help topic's number
            auto* edit = Find<wxTextCtrl>(dialog, 1005);
            EXPECT_TRUE(edit->IsMultiLine() && edit->GetValue().empty());
            edit->SetValue(wxString::FromUTF8(c.Typed));
            return c.Button == wxID_OK ? PressOk(dialog) : wxID_CANCEL;
        };
        wxTEST_DIALOG(PickMenuCommand(m_frame, cmd::ID_SEND_MESSAGE), ExpectDialog<CSendMessageDlg>(answer));
        const auto logged = LogEvents("message");
        EXPECT_EQ(logged.empty() ? "" : logged.back(), c.Logged) << c.Typed;
    }
}

TEST_F(MessageShutdownTest, TheTextStopsAt200CharactersAndSendChecksItAgain) {
    ASSERT_NE(Start(true), nullptr);
    const wxString full(wxUniChar(0xFC), 200);  // ü: the limit counts characters, not bytes
    auto answer = [&](CSendMessageDlg* dialog) {
        auto* edit = Find<wxTextCtrl>(dialog, 1005);
        edit->SetValue(full);
        edit->AppendText("x");  // typing past the limit is undone
        PumpEvents();
        EXPECT_EQ(edit->GetValue(), full);
        edit->ChangeValue(full + "x");  // a text that got past the control anyway
        EXPECT_EQ(PressOk(dialog), wxID_NONE) << "Send took 201 characters";
        edit->ChangeValue(full);
        return PressOk(dialog);
    };
    wxTEST_DIALOG(m_frame->OnSendMessage(), ExpectDialog<CSendMessageDlg>(answer),
                  ExpectMessageBox("Enter no more than 200 characters.", wxOK));
    const auto logged = LogEvents("message");
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].find("x"), std::string::npos);
}

TEST_F(MessageShutdownTest, ShutDownSavesTheSettingThenAsksTheDriversWithTheChosenFlags) {
    // The drivers end no program: the control center here is this test.
    ASSERT_NE(Start(true, {"--keep-programs"}), nullptr);
    struct Case {
        int Check;    // the radio button to check, 0 = leave as opened
        int Button;
        std::string Requests;  // the log's shutdown and restart lines so far
    };
    const Case cases[] = {
        {CShutDownDlg::IDC_RESTART, wxID_CANCEL, ""},
        {CShutDownDlg::IDC_RESTART, wxID_OK, "flags 6 (restart, force);"},
        {0, wxID_OK, "flags 6 (restart, force);flags 5 (shut down, force);"},
    };
    for (const Case& c : cases) {
        StationConfiguration config;
        config.LoadConfiguration();
        config.ShutdownEnabled = 0;
        config.SaveConfiguration();
        auto answer = [&c](CShutDownDlg* dialog) {
            EXPECT_EQ(dialog->GetId(), 108);
            auto* shutDown = Find<wxRadioButton>(dialog, CShutDownDlg::IDC_SHUT_DOWN);
            auto* restart = Find<wxRadioButton>(dialog, CShutDownDlg::IDC_RESTART);
            EXPECT_TRUE(shutDown->GetValue());
            EXPECT_FALSE(restart->GetValue());
            if (c.Check) Find<wxRadioButton>(dialog, c.Check)->SetValue(true);
            EXPECT_NE(shutDown->GetValue(), restart->GetValue()) << "the two choices are not one group";
            return c.Button == wxID_OK ? PressOk(dialog) : c.Button;
        };
        wxTEST_DIALOG(PickMenuCommand(m_frame, cmd::ID_SHUTDOWN_WINDOWS), ExpectDialog<CShutDownDlg>(answer));
        std::string requests;
        for (const char* event : {"restart", "shutdown"})
            for (const auto& line : LogEvents(event))
                if (line.rfind("flags", 0) == 0) requests += line + ";";
        EXPECT_EQ(requests, c.Requests);
        config.LoadConfiguration();
        EXPECT_EQ(config.ShutdownEnabled, c.Button == wxID_OK ? 1u : 0u);
    }
}

TEST_F(MessageShutdownTest, ARefusedShutdownKeepsTheSettingAndSaysSo) {
    ASSERT_NE(Start(false, {"--refuse-shutdown"}), nullptr);
    auto answer = [](CShutDownDlg* dialog) {
        dialog->m_nShutdownChoice = 0;
        return wxID_OK;
    };
    wxTEST_DIALOG(m_frame->OnShutDownWindows(), ExpectDialog<CShutDownDlg>(answer), ExpectMessageBox(Text(1510), wxOK));
    StationConfiguration config;
    config.LoadConfiguration();
    EXPECT_EQ(config.ShutdownEnabled, 1u);
    EXPECT_EQ(LogEvents("refused"), std::vector<std::string>{"flags 5 (shut down, force)"});
}

}  // namespace
