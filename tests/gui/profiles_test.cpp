// Display Users and Remove User: the two list dialogs, the confirmations and
// every message of the removal, from the menu and the panel's User button.
#include <wx/button.h>
#include <wx/listbox.h>

#include "GuiTest.h"
#include "host/emulated/root.h"
#include "host/system.h"
#include "users/UserProfiles.h"
#include "users/ui/DisplayUsersDlg.h"
#include "users/ui/RemoveUserDlg.h"

namespace {

using namespace guitest;
namespace fs = std::filesystem;

wxString Format(unsigned id, const wxString& name) {
    wxString text = Text(id);
    text.Replace("%s", name);
    return text;
}

// A failed removal's report: a plain OK box, no icon.
ExpectDialog<wxMessageDialog> PlainOkBox(const wxString& text) {
    return ExpectDialog<wxMessageDialog>([text](wxMessageDialog* box) {
        EXPECT_EQ(std::make_pair(box->GetMessage(), box->GetEffectiveIcon()), std::make_pair(text, long{wxICON_NONE}));
        return wxID_OK;
    });
}

fs::path Profile(const std::string& name) { return host::emulated::DriveCPath() / "WINDOWS" / "Profiles" / name; }

class ProfilesTest : public GuiTest {
protected:
    void SetUpProgram() override {
        ASSERT_NE(LaunchOnInitialisedHost(), nullptr);
        m_login = LoginName();
        ASSERT_FALSE(m_login.empty());
    }
    // Picks name (or nothing) in the Remove User dialog and presses button.
    ExpectDialog<CRemoveUserDlg> RemoveDialog(const wxString& name, int button = wxID_OK) {
        return ExpectDialog<CRemoveUserDlg>([name, button](CRemoveUserDlg* dialog) {
            auto* remove = wxStaticCast(dialog->FindWindow(wxID_OK), wxButton);
            EXPECT_FALSE(remove->IsEnabled()) << "Remove is usable before a name is picked";
            if (!name.empty()) Select(dialog->List(), name, wxEVT_LISTBOX);
            EXPECT_EQ(remove->IsEnabled(), !name.empty());
            if (button == wxID_OK) dialog->TransferDataFromWindow();
            return button;
        });
    }
    std::string m_login;
};

TEST_F(ProfilesTest, DisplayUsersShowsTheSortedNamesWithNoneSelected) {
    wxTEST_DIALOG(PickMenuCommand(m_frame, cmd::ID_DISPLAY_USERS), ExpectDialog<CDisplayUsersDlg>([this](auto* dialog) {
                      EXPECT_EQ(dialog->GetTitle(), "Display Users");
                      wxListBox* list = dialog->List();
                      wxArrayString expected;
                      for (const std::string& n : users::FillUserProfileList()) expected.push_back(wxString::FromUTF8(n));
                      EXPECT_EQ(list->GetStrings(), expected);
                      EXPECT_EQ(expected.front(), "Anna");
                      EXPECT_EQ(list->GetSelection(), wxNOT_FOUND);
                      EXPECT_NE(dialog->FindWindow(wxID_OK), nullptr);
                      EXPECT_EQ(dialog->FindWindow(wxID_CANCEL), nullptr);
                      return wxID_OK;
                  }));
}

TEST_F(ProfilesTest, WithoutAProfileListBothCommandsShowOnlyMessage2200) {
    for (const std::string& name : users::FillUserProfileList())
        host::DeleteRegKey(host::kLocalMachine, (std::string(users::kProfileListKey) + "\\" + name).c_str());
    wxTEST_DIALOG(PickMenuCommand(m_frame, cmd::ID_DISPLAY_USERS), ExpectMessageBox(Text(2200), wxOK));
    host::DeleteRegKey(host::kLocalMachine, users::kProfileListKey);
    wxTEST_DIALOG(PickMenuCommand(m_frame, cmd::ID_REMOVE_USER), ExpectMessageBox(Text(2200), wxOK));
}

TEST_F(ProfilesTest, RemoveUserAsksAndRefusesBeforeRemovingAnything) {
    // The drivers have anna at the station; the registry remembers Bertil, wrongly.
    StationConfiguration config;
    config.LoadConfiguration();
    config.DefaultUser = "anna";
    config.SaveConfiguration();
    m_frame->OnStationOn();
    regtest::StoreText(StationConfiguration::StationKeyPath(kStationNumber), "Current User", "Bertil");
    const wxString own = wxString::FromUTF8(m_login);
    wxTEST_DIALOG(ClickWithMouse(PanelButton(CV7View::IDC_USER)), RemoveDialog("Anna", wxID_CANCEL));
    wxTEST_DIALOG(m_frame->OnRemoveUser(), RemoveDialog(""));
    wxTEST_DIALOG(m_frame->OnRemoveUser(), RemoveDialog(own), ExpectMessageBox(Format(2203, own), wxOK));
    wxTEST_DIALOG(m_frame->OnRemoveUser(), RemoveDialog("Bertil"), ExpectMessageBox(Format(2202, "Bertil"), wxNO));
    // Removing the profile of someone logged on at the station: No is the default.
    wxTEST_DIALOG(m_frame->OnRemoveUser(), RemoveDialog("Anna"), ExpectMessageBox(Format(2202, "Anna"), wxYES),
                  ExpectDialog<wxMessageDialog>([](wxMessageDialog* box) {
                      EXPECT_EQ(box->GetMessage(), Format(2204, "Anna"));
                      EXPECT_EQ(box->GetMessageDialogStyle() & (wxYES_NO | wxNO_DEFAULT), wxYES_NO | wxNO_DEFAULT);
                      return wxID_NO;
                  }));
    EXPECT_EQ(users::FillUserProfileList().size(), 4u);
    EXPECT_TRUE(fs::exists(Profile("Anna")) && fs::exists(Profile("Bertil")) && fs::exists(Profile(m_login)));

    wxTEST_DIALOG(m_frame->OnRemoveUser(), RemoveDialog("Anna"), ExpectMessageBox(Format(2202, "Anna"), wxYES),
                  ExpectMessageBox(Format(2204, "Anna"), wxYES));
    EXPECT_FALSE(fs::exists(Profile("Anna")));
    EXPECT_EQ(users::FillUserProfileList().size(), 3u);
    // The remembered name is not asked about.
    wxTEST_DIALOG(m_frame->OnRemoveUser(), RemoveDialog("Bertil"), ExpectMessageBox(Format(2202, "Bertil"), wxYES));
    EXPECT_FALSE(fs::exists(Profile("Bertil")));
}

TEST_F(ProfilesTest, EachFailedRemovalHasItsMessage) {
    const fs::path windows = host::emulated::DriveCPath() / "WINDOWS";
    fs::remove_all(Profile("Bertil"));
    fs::remove(windows / "BERTIL.PWL");
    fs::permissions(windows / "system.ini", fs::perms::owner_write, fs::perm_options::remove);
    regtest::MakeKey(std::string(users::kProfileListKey) + "\\Bertil\\Sub");

    wxString message2010 = Text(2010);
    message2010.Replace("%s", "c:\\windows\\system.ini", false);
    message2010.Replace("%s", "Bertil", false);
    wxTEST_DIALOG(m_frame->OnRemoveUser(), RemoveDialog("Bertil"), ExpectMessageBox(Format(2202, "Bertil"), wxYES),
                  PlainOkBox(Format(2006, "c:\\windows\\profiles\\bertil")),
                  PlainOkBox(Format(2007, "c:\\windows\\bertil.pwl")), PlainOkBox(message2010),
                  PlainOkBox(Format(2014, wxString(users::kProfileListKey) + "\\Bertil")));
}

}  // namespace
