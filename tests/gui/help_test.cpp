// The help book. The packed archive, read through the virtual file system the
// viewer uses: the project, contents and index name pages that exist, the
// contents reach every page, links resolve. The real viewer: the page each
// dialog's Help opens, the topic picked for a window, the page each command
// opens in one help window, help over a modal dialog, and the viewer surviving
// its window being closed or destroyed.

#include <algorithm>
#include <optional>
#include <regex>
#include <set>

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/filesys.h>
#include <wx/frame.h>
#include <wx/html/helpdlg.h>
#include <wx/stream.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include "GuiTest.h"
#include "options/ui/AboutDlg.h"
#include "options/ui/MoreHelpDlg.h"
#include "options/ui/StationOptionsDlg.h"
#include "resources/ui/HelpBook.h"
#include "station/ui/TestStationDlg.h"
#include "users/ui/DisplayUsersDlg.h"
#include "users/ui/RemoveUserDlg.h"
#include "users/ui/SendMessageDlg.h"
#include "users/ui/ShutDownDlg.h"

namespace {

using guitest::HelpFrame;
using guitest::ShownHelpPage;

std::optional<std::string> Member(const std::string& name) {
    wxFileSystem fs;
    std::unique_ptr<wxFSFile> file(fs.OpenFile(HelpBook::BookLocation() + "#zip:" + name));
    if (!file) return std::nullopt;
    std::string text;
    char buffer[4096];
    for (wxInputStream* in = file->GetStream(); in->Read(buffer, sizeof buffer).LastRead() > 0;)
        text.append(buffer, in->LastRead());
    return text;
}

std::set<std::string> Pages() {
    std::set<std::string> pages;
    wxFileSystem fs;
    for (wxString f = fs.FindFirst(HelpBook::BookLocation() + "#zip:*.htm", wxFILE); !f.empty(); f = fs.FindNext())
        pages.insert(f.AfterLast(':').ToStdString());
    return pages;
}

// The first group of each match of pattern (case-insensitive).
std::vector<std::string> Matches(const std::string& text, const std::string& pattern) {
    const std::regex re(pattern, std::regex::icase);
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it) found.push_back((*it)[1]);
    return found;
}

TEST(HelpArchive, ProjectContentsAndIndexNameOnlyPagesOfTheBookAndTheContentsReachThemAll) {
    const auto project = Member("orvane-v7.hhp");
    ASSERT_TRUE(project);
    std::vector<std::string> named;  // contents, index, default topic
    for (const char* key : {"Contents file", "Index file", "Default topic"}) {
        const auto values = Matches(*project, std::string(key) + R"(=(\S+))");
        ASSERT_EQ(values.size(), 1u) << key;
        ASSERT_TRUE(Member(values[0])) << key << " names missing " << values[0];
        named.push_back(values[0]);
    }
    const auto pages = Pages();
    ASSERT_GE(pages.size(), 16u);
    const std::string local = R"re(<param\s+name="Local"\s+value="([^"]*)")re";
    const auto inContents = Matches(*Member(named[0]), local);
    const auto inIndex = Matches(*Member(named[1]), local);
    ASSERT_FALSE(inContents.empty());
    ASSERT_GT(inIndex.size(), inContents.size());
    for (const auto& list : {inContents, inIndex})
        for (const auto& page : list) EXPECT_TRUE(pages.count(page)) << "names missing page " << page;
    for (const auto& page : pages)
        EXPECT_NE(std::find(inContents.begin(), inContents.end(), page), inContents.end())
            << page << " is not in the contents";
}

TEST(HelpArchive, PagesArePlainAsciiAndEveryLinkResolvesToAPageAndAnchor) {
    int links = 0;
    for (const auto& page : Pages()) {
        const auto text = Member(page);
        ASSERT_TRUE(text) << page;
        // Entities for the rest: the viewer needs no charset.
        EXPECT_TRUE(std::all_of(text->begin(), text->end(), [](char c) { return static_cast<unsigned char>(c) <= 0x7e; }))
            << page;
        for (const auto& target : Matches(*text, R"re(<a\s+href="([^"]*)")re")) {
            ++links;
            EXPECT_EQ(target.find(':'), std::string::npos) << page << " links outside the book: " << target;
            const auto hash = target.find('#');
            const auto targetText = Member(hash == 0 ? page : target.substr(0, hash));
            if (!targetText) {
                ADD_FAILURE() << page << " links to missing page " << target;
            } else if (hash != std::string::npos) {
                const auto names = Matches(*targetText, R"re(<a\s+name="([^"]*)")re");
                EXPECT_NE(std::find(names.begin(), names.end(), target.substr(hash + 1)), names.end())
                    << page << " links to missing anchor " << target;
            }
        }
    }
    EXPECT_GT(links, 50);
}

class HelpViewer : public guitest::GuiTest {
protected:
    void SetUpProgram() override { m_guard.reset(); }  // these tests run their own modal dialogs
    // A dialog whose template number is its ID or its name "dialog-NNN".
    static wxDialog* Dialog(int id, const wxString& name = wxDialogNameStr) {
        return new wxDialog(nullptr, id, "dialog", wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE, name);
    }
};

// Each dialog's Help button and a real F1 key, wherever the focus is, open the
// dialog's own topic.
TEST_F(HelpViewer, EveryDialogsHelpButtonAndF1OpenItsOwnTopic) {
    const struct {
        int Topic;
        const char* Title;
        std::function<wxDialog*()> Make;
        int HelpButton;  // 0: none
        int Focus;       // the control that has the focus when F1 comes
    } cases[] = {
        {100, "About Orvane V7 and driver versions", [] { return new CAboutDlg(); }, 0, wxID_OK},
        {101, "Sending a message", [] { return new CSendMessageDlg(nullptr); }, CSendMessageDlg::IDC_HELP_BUTTON,
         CSendMessageDlg::IDC_MESSAGE},
        {102, "Removing a user", [] { return new CRemoveUserDlg(nullptr); }, CUserListDlg::HelpButtonId(),
         CRemoveUserDlg::IDC_USER_LIST},
        {104, "Display Users", [] { return new CDisplayUsersDlg(nullptr); }, CUserListDlg::HelpButtonId(), wxID_OK},
        {105, "Testing the V7 Station", [] { return new CTestStationDlg(nullptr); }, CTestStationDlg::ID_HELP,
         CTestStationDlg::IDC_TROUBLESHOOTER},
        {106, "V7 Station Options", [] { return new CStationOptionsDlg(nullptr, {}); }, CStationOptionsDlg::IDC_HELP_BUTTON,
         CStationOptionsDlg::IDC_RESOLUTION},
        {107, "Where to go for more help", [] { return new CMoreHelpDlg(nullptr); }, 0, CMoreHelpDlg::IDC_CONTACT},
        {108, "Shutting down or restarting", [] { return new CShutDownDlg(nullptr); }, CShutDownDlg::IDC_HELP_BUTTON,
         CShutDownDlg::IDC_RESTART},
    };
    for (const auto& c : cases) {
        for (const bool key : {false, true}) {
            if (!key && !c.HelpButton) continue;
            SCOPED_TRACE(std::to_string(c.Topic) + (key ? " F1" : " Help"));
            wxDialog* dialog = c.Make();
            dialog->Show();
            if (key) {
                wxWindow* focus = dialog->FindWindow(c.Focus);
                ASSERT_NE(focus, nullptr);
                dialog->Raise();
                focus->SetFocus();
                ASSERT_TRUE(guitest::PumpUntil([&] { return wxWindow::FindFocus() == focus; }, 5)) << "no focus";
                wxUIActionSimulator().Char(WXK_F1);
                guitest::PumpUntil([] { return HelpFrame() != nullptr; }, 2);
            } else {
                guitest::PressButton(dialog, c.HelpButton);
            }
            EXPECT_EQ(ShownHelpPage().utf8_string(), "dialog-" + std::to_string(c.Topic) + ".htm");
            if (wxHtmlHelpFrame* frame = HelpFrame()) {
                EXPECT_EQ(frame->GetHelpWindow()->GetHtmlWindow()->GetOpenedPageTitle().utf8_string(), c.Title);
                frame->Destroy();
            }
            dialog->Destroy();
            guitest::PumpEvents();
        }
    }
}

TEST_F(HelpViewer, TopicIsTheTemplateNumberOfTheDialogThatHoldsTheWindowElseThePanels) {
    // The template number is the dialog's ID or its name "dialog-NNN"; anything else is the panel's.
    EXPECT_EQ(HelpBook::TopicNumberFor(new wxButton(Dialog(wxID_ANY, "dialog-101"), wxID_ANY, "Send")), 101);
    EXPECT_EQ(HelpBook::TopicNumberFor(Dialog(wxID_ANY, "dialog-999")), HelpBook::kPanelTopic);
    EXPECT_EQ(HelpBook::TopicNumberFor(Dialog(wxID_ANY, "dialog-10x")), HelpBook::kPanelTopic);
    ASSERT_TRUE(HelpBook::ShowTopicFor(Dialog(wxID_ANY)));
    EXPECT_EQ(ShownHelpPage(), "dialog-103.htm");
}

TEST_F(HelpViewer, CommandsOpenTheirPagesAgainAfterTheWindowIsClosedOrDestroyed) {
    ASSERT_TRUE(HelpBook::ShowContents(nullptr));
    ASSERT_EQ(ShownHelpPage(), "welcome.htm");
    HelpFrame()->Close();
    guitest::PumpEvents();
    ASSERT_EQ(HelpFrame(), nullptr);

    ASSERT_TRUE(HelpBook::ShowHelpOnHelp(nullptr));
    EXPECT_EQ(ShownHelpPage(), "using-help.htm");
    EXPECT_TRUE(HelpBook::ShowIndex(nullptr));
    EXPECT_TRUE(HelpBook::ShowContextHelp(nullptr));
    ASSERT_EQ(ShownHelpPage(), "welcome.htm");

    // Destroyed without a close event, as the library does with the windows
    // left at exit: the viewer must not touch the dead window.
    HelpFrame()->Destroy();
    guitest::PumpEvents();
    ASSERT_EQ(HelpFrame(), nullptr);
    ASSERT_TRUE(HelpBook::ShowTopicFor(nullptr));
    EXPECT_EQ(ShownHelpPage(), "dialog-103.htm");

    HelpBook::Shutdown();
    guitest::PumpEvents();
    EXPECT_EQ(HelpFrame(), nullptr);
}

TEST_F(HelpViewer, HelpOverAnOpenModalDialogIsModalAndClosesBackToIt) {
    wxDialog* removeUser = Dialog(102);
    std::vector<wxString> pages;
    wxWindow* parent = nullptr;
    int shown = 0;
    // Closes each modal help dialog as it comes up, as its close box does;
    // gives up on the outer dialog after a few seconds.
    wxTimer closer;
    int ticks = 0;
    closer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        for (wxWindow* window : wxTopLevelWindows) {
            auto* help = wxDynamicCast(window, wxHtmlHelpDialog);
            if (help && help->IsModal()) {
                pages.push_back(help->GetHelpWindow()->GetHtmlWindow()->GetOpenedPage().AfterLast(':'));
                parent = help->GetParent();
                help->Close();
                return;
            }
        }
        if (++ticks > 50) removeUser->EndModal(wxID_ABORT);
    });
    removeUser->CallAfter([&] {
        closer.Start(100);
        shown += HelpBook::ShowTopicFor(nullptr);  // no window: the open modal dialog decides
        shown += HelpBook::ShowTopicFor(removeUser);
        removeUser->EndModal(wxID_CANCEL);
    });
    EXPECT_EQ(removeUser->ShowModal(), wxID_CANCEL);
    closer.Stop();

    EXPECT_EQ(shown, 2);
    EXPECT_EQ(pages, (std::vector<wxString>{"dialog-102.htm", "dialog-102.htm"}));
    EXPECT_EQ(parent, removeUser);
    EXPECT_EQ(HelpFrame(), nullptr);
}

// F1 in the main window opens the contents; the help window opens centred on
// the main window, wherever that is.
using HelpInProgram = guitest::GuiTest;
TEST_F(HelpInProgram, F1InTheMainWindowOpensTheContentsCentredOnIt) {
    ASSERT_NE(LaunchOnInitialisedHost(), nullptr);
    const wxRect screen = wxDisplay(m_frame).GetClientArea();
    m_frame->Move(screen.x + screen.width / 2 - 100, screen.y + screen.height / 2 - 80);
    m_frame->Raise();
    m_frame->SetFocus();
    ASSERT_TRUE(guitest::PumpUntil([&] { return wxGetTopLevelParent(wxWindow::FindFocus()) == m_frame; }, 5));
    wxUIActionSimulator().Char(WXK_F1);
    ASSERT_TRUE(guitest::PumpUntil([] { return HelpFrame() != nullptr; }, 5));
    EXPECT_EQ(ShownHelpPage(), "welcome.htm");
    const wxPoint help = HelpFrame()->GetScreenRect().GetPosition() + HelpFrame()->GetSize() / 2;
    const wxPoint frame = m_frame->GetScreenRect().GetPosition() + m_frame->GetSize() / 2;
    EXPECT_LE(std::abs(help.x - frame.x), 2) << help.x << " " << frame.x;
    EXPECT_LE(std::abs(help.y - frame.y), 2) << help.y << " " << frame.y;
}

}  // namespace
