// The help commands in the real help viewer: the page each command opens,
// the topic picked for a dialog's Help button, help over a modal dialog, and
// the viewer surviving its window being closed or destroyed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/html/helpdlg.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/html/htmlwin.h>
#include <wx/timer.h>

#include "app/HelpBook.h"

namespace {

bool HaveDisplay() {
    const char* display = std::getenv("DISPLAY");
    return wxTheApp && display && *display;
}

void Pump() {
    for (int i = 0; i < 3; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
    }
}

std::vector<wxHtmlHelpFrame*> HelpFrames() {
    std::vector<wxHtmlHelpFrame*> frames;
    for (wxWindow* window : wxTopLevelWindows) {
        auto* frame = wxDynamicCast(window, wxHtmlHelpFrame);
        if (frame && !frame->IsBeingDeleted())
            frames.push_back(frame);
    }
    return frames;
}

wxString PageOf(wxHtmlHelpWindow* help) {
    return help->GetHtmlWindow()->GetOpenedPage().AfterLast(':');
}

// The page in the one help frame; empty when there is not exactly one.
wxString ShownPage() {
    const auto frames = HelpFrames();
    return frames.size() == 1 ? PageOf(frames[0]->GetHelpWindow()) : wxString();
}

class HelpViewer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveDisplay())
            GTEST_SKIP() << "no display";
    }
    void TearDown() override {
        if (!HaveDisplay())
            return;
        HelpBook::Shutdown();
        for (wxWindow* window : m_windows)
            window->Destroy();
        Pump();
    }

    template <typename T>
    T* Keep(T* window) {
        m_windows.push_back(window);
        return window;
    }

    std::vector<wxWindow*> m_windows;
};

TEST_F(HelpViewer, TopicOfAWindowComesFromTheDialogThatHoldsIt) {
    auto* byId = Keep(new wxDialog(nullptr, 105, "Test V7 Station"));
    auto* inside = new wxButton(byId, wxID_ANY, "Refresh");
    EXPECT_EQ(HelpBook::TopicNumberFor(inside), 105);
    EXPECT_EQ(HelpBook::TopicNumberFor(byId), 105);

    auto* byName = Keep(new wxDialog(nullptr, wxID_ANY, "Send a message", wxDefaultPosition,
                                     wxDefaultSize, wxDEFAULT_DIALOG_STYLE, "dialog-101"));
    EXPECT_EQ(HelpBook::TopicNumberFor(new wxButton(byName, wxID_ANY, "Send")), 101);

    // Windows that are not one of the program's dialogs get the panel's topic.
    auto* unknownName = Keep(new wxDialog(nullptr, wxID_ANY, "x", wxDefaultPosition,
                                          wxDefaultSize, wxDEFAULT_DIALOG_STYLE, "dialog-999"));
    auto* partName = Keep(new wxDialog(nullptr, wxID_ANY, "x", wxDefaultPosition,
                                       wxDefaultSize, wxDEFAULT_DIALOG_STYLE, "dialog-10x"));
    auto* frame = Keep(new wxFrame(nullptr, wxID_ANY, "Orvane V7 Control Center"));
    EXPECT_EQ(HelpBook::TopicNumberFor(unknownName), HelpBook::kPanelTopic);
    EXPECT_EQ(HelpBook::TopicNumberFor(partName), HelpBook::kPanelTopic);
    EXPECT_EQ(HelpBook::TopicNumberFor(frame), HelpBook::kPanelTopic);
}

TEST_F(HelpViewer, HelpButtonOpensTheDialogsTopicInOneHelpWindow) {
    auto* options = Keep(new wxDialog(nullptr, 106, "V7 Station Options"));
    auto* help = new wxButton(options, wxID_ANY, "Help");
    options->Show();

    ASSERT_TRUE(HelpBook::ShowTopicFor(help));
    EXPECT_EQ(ShownPage(), "dialog-106.htm");
    EXPECT_EQ(HelpFrames()[0]->GetHelpWindow()->GetHtmlWindow()->GetOpenedPageTitle(),
              "V7 Station Options");

    auto* frame = Keep(new wxFrame(nullptr, wxID_ANY, "Orvane V7 Control Center"));
    ASSERT_TRUE(HelpBook::ShowTopicFor(frame));
    EXPECT_EQ(ShownPage(), "dialog-103.htm");
}

TEST_F(HelpViewer, MenuCommandsOpenContentsIndexAndUsingHelp) {
    ASSERT_TRUE(HelpBook::ShowContents(nullptr));
    EXPECT_EQ(ShownPage(), "welcome.htm");

    ASSERT_TRUE(HelpBook::ShowHelpOnHelp(nullptr));
    EXPECT_EQ(ShownPage(), "using-help.htm");

    EXPECT_TRUE(HelpBook::ShowIndex(nullptr));
    EXPECT_TRUE(HelpBook::ShowContextHelp(nullptr));
    EXPECT_EQ(ShownPage(), "welcome.htm");
    EXPECT_EQ(HelpFrames().size(), 1u);
}

TEST_F(HelpViewer, HelpOverAnOpenModalDialogIsModalAndClosesBackToIt) {
    auto* removeUser = Keep(new wxDialog(nullptr, 102, "Remove User"));
    std::vector<wxString> pages;
    wxWindow* parent = nullptr;
    int shown = 0;
    // Closes each modal help dialog as it comes up, the way its close box
    // does; gives up on the outer dialog after a few seconds.
    wxTimer closer;
    int ticks = 0;
    closer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        for (wxWindow* window : wxTopLevelWindows) {
            auto* help = wxDynamicCast(window, wxHtmlHelpDialog);
            if (help && help->IsModal()) {
                pages.push_back(PageOf(help->GetHelpWindow()));
                parent = help->GetParent();
                help->Close();
                return;
            }
        }
        if (++ticks > 50)
            removeUser->EndModal(wxID_ABORT);
    });
    removeUser->CallAfter([&] {
        closer.Start(100);
        // No window given: the open modal dialog decides the topic.
        shown += HelpBook::ShowTopicFor(nullptr);
        shown += HelpBook::ShowTopicFor(removeUser);
        removeUser->EndModal(wxID_CANCEL);
    });
    EXPECT_EQ(removeUser->ShowModal(), wxID_CANCEL);
    closer.Stop();

    EXPECT_EQ(shown, 2);
    EXPECT_EQ(pages, (std::vector<wxString>{"dialog-102.htm", "dialog-102.htm"}));
    EXPECT_EQ(parent, removeUser);
    EXPECT_TRUE(HelpFrames().empty());
}

TEST_F(HelpViewer, HelpWindowComesBackAfterBeingClosedOrDestroyed) {
    ASSERT_TRUE(HelpBook::ShowContents(nullptr));
    ASSERT_EQ(HelpFrames().size(), 1u);
    HelpFrames()[0]->Close();
    Pump();
    ASSERT_TRUE(HelpFrames().empty());
    ASSERT_TRUE(HelpBook::ShowHelpOnHelp(nullptr));
    EXPECT_EQ(ShownPage(), "using-help.htm");

    // Destroyed without a close event, as the library does with the windows
    // left at exit: the viewer must not touch the dead window.
    HelpFrames()[0]->Destroy();
    Pump();
    ASSERT_TRUE(HelpFrames().empty());
    ASSERT_TRUE(HelpBook::ShowTopicFor(nullptr));
    EXPECT_EQ(ShownPage(), "dialog-103.htm");

    HelpBook::Shutdown();
    Pump();
    EXPECT_TRUE(HelpFrames().empty());
}

}  // namespace
