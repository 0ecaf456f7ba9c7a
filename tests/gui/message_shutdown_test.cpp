// Send a message and Shut Down Windows through the real station drivers: the
// dialogs, what the station receives, what the registry keeps, and the
// messages when the station is off or the drivers refuse.
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "GuiTest.h"
#include "users/Broadcast.h"
#include "users/ui/SendMessageDlg.h"
#include "users/ui/ShutDownDlg.h"

namespace {

using namespace guitest;

// What Send or OK does: validate, take the values, close with OK.
int PressOk(wxDialog* dialog) { return dialog->Validate() && dialog->TransferDataFromWindow() ? wxID_OK : wxID_NONE; }

// The station log's events after the time stamps.
std::vector<std::string> LogEvents(const std::string& event) {
    std::vector<std::string> found;
    for (const std::string& line : StationLogEvents())
        if (line.rfind(event + "\t", 0) == 0) found.push_back(line.substr(event.size() + 1));
    return found;
}

using MessageShutdownTest = GuiTest;

// Drivers that refuse both requests: each refusal is said, nothing is sent, and
// the Shut Down setting stored before asking stays.
TEST_F(MessageShutdownTest, StationOffShowsOnlyTheNotOnMessageAndRefusalsSaySo) {
    ASSERT_NE(Launch(false, {"--refuse-message", "--refuse-shutdown"}), nullptr);
    wxTEST_DIALOG(PickMenuCommand(m_frame, cmd::ID_SEND_MESSAGE), ExpectMessageBox(Text(1504), wxOK));

    m_frame->OnStationOn();
    auto answer = [](CSendMessageDlg* dialog) {
        FindControl<wxTextCtrl>(dialog, 1005)->SetValue("hello");
        return PressOk(dialog);
    };
    wxTEST_DIALOG(m_frame->OnSendMessage(), ExpectDialog<CSendMessageDlg>(answer), ExpectMessageBox(Text(1501), wxOK));
    EXPECT_TRUE(LogEvents("message").empty());

    auto shutDown = [](CShutDownDlg* dialog) {
        dialog->m_nShutdownChoice = 0;
        return wxID_OK;
    };
    wxTEST_DIALOG(m_frame->OnShutDownWindows(), ExpectDialog<CShutDownDlg>(shutDown),
                  ExpectMessageBox(Text(1510), wxOK));
    StationConfiguration config;
    config.LoadConfiguration();
    EXPECT_EQ(config.ShutdownEnabled, 1u);
    EXPECT_EQ(LogEvents("refused"), std::vector<std::string>{"flags 5 (shut down, force)"});
}

TEST_F(MessageShutdownTest, SendAMessageDialogSendsTheTrimmedTextWithItsHead) {
    ASSERT_NE(Launch(true), nullptr);
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
            auto* edit = FindControl<wxTextCtrl>(dialog, 1005);
            EXPECT_TRUE(edit->IsMultiLine() && edit->GetValue().empty());
            edit->SetValue(wxString::FromUTF8(c.Typed));
            return c.Button == wxID_OK ? PressOk(dialog) : wxID_CANCEL;
        };
        wxTEST_DIALOG(PickMenuCommand(m_frame, cmd::ID_SEND_MESSAGE), ExpectDialog<CSendMessageDlg>(answer));
        const auto logged = LogEvents("message");
        EXPECT_EQ(logged.empty() ? "" : logged.back(), c.Logged) << c.Typed;
    }
}

TEST_F(MessageShutdownTest, TheTextStopsAt200BytesAndSendChecksItAgain) {
    ASSERT_NE(Launch(true), nullptr);
    // 200 bytes as sent: ü takes 2, the line break goes out as CR LF.
    const wxString full = wxString(wxUniChar(0xFC), 98) + "\nab";
    auto answer = [&](CSendMessageDlg* dialog) {
        auto* edit = FindControl<wxTextCtrl>(dialog, 1005);
        edit->SetValue(full);
        edit->AppendText("x");  // typing past the limit is undone
        PumpEvents();
        EXPECT_EQ(edit->GetValue(), full);
        edit->ChangeValue(full + "x");  // a text that got past the control anyway
        EXPECT_EQ(PressOk(dialog), wxID_NONE) << "Send took 201 bytes";
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
    ASSERT_NE(Launch(true, {"--keep-programs"}), nullptr);
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
            auto* shutDown = FindControl<wxRadioButton>(dialog, CShutDownDlg::IDC_SHUT_DOWN);
            auto* restart = FindControl<wxRadioButton>(dialog, CShutDownDlg::IDC_RESTART);
            EXPECT_TRUE(shutDown->GetValue());
            EXPECT_FALSE(restart->GetValue());
            if (c.Check) FindControl<wxRadioButton>(dialog, c.Check)->SetValue(true);
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

}  // namespace
