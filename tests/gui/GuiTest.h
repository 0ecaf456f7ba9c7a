// Shared ground of the GUI tests: a fresh host root per test, the station
// drivers, the program started the way it starts for real, and message boxes
// answered and checked through the modal dialog hook.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/ctrlsub.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/html/htmlwin.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/evtloop.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include "resources/ui/CommandTable.h"
#include "resources/ui/HelpBook.h"
#include "app/MainFrame.h"
#include "app/V7App.h"
#include "host/registry.h"
#include "panel/PictureButton.h"
#include "panel/V7View.h"
#include "resources/StringTable.h"
#include "station/StationConfiguration.h"
#include "support/RegistryTestUtil.h"
#include "support/TempHostRoot.h"

// Failures of expected dialogs become test failures, not assertion pop-ups.
#include <wx/modalhook.h>
class GtestModalHook;
#define wxTEST_DIALOG_HOOK_CLASS GtestModalHook
#include <wx/testing.h>

class GtestModalHook : public wxTestingModalHook {
public:
    using wxTestingModalHook::wxTestingModalHook;

protected:
    void ReportFailure(const wxString& msg) override { ADD_FAILURE() << msg.utf8_string(); }
};

namespace guitest {

// Answers at once each dialog no wxTEST_DIALOG expects and keeps its text;
// unless they are wanted, each fails the test, so a test never hangs on a box
// nobody will close. With RunModal set, a dialog that is no message box runs
// its own modal loop instead, and RunModal (which ends it) runs from inside
// that loop, never inside a yield of the dialog's start-up, where no input
// would be handled.
class DialogRecorder : public wxModalDialogHook {
public:
    explicit DialogRecorder(bool wanted = false) : m_wanted(wanted) {
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            if (wxEventLoopBase::GetActive() && wxEventLoopBase::GetActive()->IsYielding())
                m_timer.StartOnce(20);
            else
                RunModal(m_dialog);
        });
        Register();
    }
    ~DialogRecorder() override { Unregister(); }
    std::vector<std::string> Texts;
    std::function<void(wxDialog*)> RunModal;

protected:
    int Enter(wxDialog* dialog) override {
        auto* box = dynamic_cast<wxMessageDialog*>(dialog);
        if (RunModal && !box) {
            m_dialog = dialog;
            m_timer.StartOnce(20);
            return wxID_NONE;
        }
        Texts.push_back((box ? box->GetMessage() : "(not a message box) " + dialog->GetTitle()).utf8_string());
        if (!m_wanted) ADD_FAILURE() << "unexpected dialog: " << Texts.back();
        return m_wanted ? wxID_OK : wxID_CANCEL;
    }
    void Exit(wxDialog*) override {}

private:
    bool m_wanted;
    wxTimer m_timer;
    wxDialog* m_dialog = nullptr;
};

// A message box with this text (or only containing it), caption "V7", Yes/No
// buttons for wxYES/wxNO and OK for wxOK, answered with answer; whileShown
// runs while the box is up.
class ExpectMessageBox : public wxExpectModalBase<wxMessageDialog, ExpectMessageBox> {
public:
    ExpectMessageBox(wxString message, int answer, std::function<void()> whileShown = {}, bool partial = false)
        : m_message(std::move(message)), m_answer(answer), m_whileShown(std::move(whileShown)), m_partial(partial) {
        m_description = "message box \"" + m_message.Left(40) + "\"";
    }

protected:
    int OnInvoked(wxMessageDialog* dialog) const override {
        if (m_partial)
            EXPECT_NE(dialog->GetMessage().Find(m_message), wxNOT_FOUND) << dialog->GetMessage().utf8_string();
        else
            EXPECT_EQ(dialog->GetMessage().utf8_string(), m_message.utf8_string());
        EXPECT_EQ(dialog->GetCaption().utf8_string(), "V7");
        const long buttons = dialog->GetMessageDialogStyle() & (wxOK | wxYES_NO | wxCANCEL);
        EXPECT_EQ(buttons, m_answer == wxOK ? wxOK : wxYES_NO) << "buttons of \"" << m_message.utf8_string() << "\"";
        if (m_whileShown) m_whileShown();
        return m_answer == wxYES ? wxID_YES : m_answer == wxNO ? wxID_NO : wxID_OK;
    }

private:
    wxString m_message;
    int m_answer;
    std::function<void()> m_whileShown;
    bool m_partial;
};

// A dialog of type T, handled by act (which returns the button that ends it).
template <class T>
class ExpectDialog : public wxExpectModalBase<T, ExpectDialog<T>> {
public:
    explicit ExpectDialog(std::function<int(T*)> act) : m_act(std::move(act)) {}

protected:
    int OnInvoked(T* dialog) const override { return m_act(dialog); }

private:
    std::function<int(T*)> m_act;
};

// A control of a dialog by its id, of the type the test expects.
template <class Control>
Control* FindControl(wxWindow* dialog, int id) {
    auto* control = dynamic_cast<Control*>(dialog->FindWindow(id));
    EXPECT_NE(control, nullptr) << "control " << id;
    return control;
}

// A button pressed: its event goes to the dialog as a click would send it.
inline void PressButton(wxWindow* dialog, int id) {
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(dialog->FindWindow(id));
    dialog->FindWindow(id)->ProcessWindowEvent(click);
}

// A pick in a list or choice as the user makes it: the selection, then its
// notification (wxEVT_LISTBOX or wxEVT_CHOICE).
inline void Select(wxControlWithItems* list, const wxString& text, wxEventType type) {
    ASSERT_TRUE(list->SetStringSelection(text)) << text.utf8_string();
    wxCommandEvent event(type, list->GetId());
    event.SetEventObject(list);
    event.SetInt(list->GetSelection());
    list->ProcessWindowEvent(event);
}

inline wxString Text(unsigned stringId) {
    std::string text;
    EXPECT_TRUE(res::LoadText(stringId, text)) << "string " << stringId;
    return wxString::FromUTF8(text);
}

inline void PumpEvents() {
    for (int i = 0; i < 5; ++i) {
        wxTheApp->Yield(true);
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
    }
}

inline bool PumpUntil(const std::function<bool()>& done, double seconds = 10) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        PumpEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

inline CMainFrame* FindMainFrame() {
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* frame = dynamic_cast<CMainFrame*>(window); frame && !frame->IsBeingDeleted()) return frame;
    return nullptr;
}

// The one open help frame and its page; nullptr and "" when there is not exactly one.
inline wxHtmlHelpFrame* HelpFrame() {
    std::vector<wxHtmlHelpFrame*> frames;
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* frame = wxDynamicCast(window, wxHtmlHelpFrame); frame && !frame->IsBeingDeleted())
            frames.push_back(frame);
    return frames.size() == 1 ? frames[0] : nullptr;
}
inline wxString ShownHelpPage() {
    wxHtmlHelpFrame* frame = HelpFrame();
    return frame ? frame->GetHelpWindow()->GetHtmlWindow()->GetOpenedPage().AfterLast(':') : wxString();
}

// As the user picks it: update rules run first, and a greyed item does nothing.
inline bool IsMenuItemEnabled(CMainFrame* frame, int systemCommand) {
    frame->UpdateWindowUI();
    wxMenuItem* item = frame->GetMenuBar()->FindItem(cmd::ToWxId(systemCommand));
    return item && item->IsEnabled();
}
inline bool PickMenuCommand(CMainFrame* frame, int systemCommand) {
    return IsMenuItemEnabled(frame, systemCommand) && frame->ProcessCommand(cmd::ToWxId(systemCommand));
}

// Events sent straight to a window.
inline void SendMouse(wxWindow* window, wxEventType type, wxPoint at = wxPoint(3, 3)) {
    wxMouseEvent event(type);
    event.SetPosition(at);
    event.SetEventObject(window);
    window->GetEventHandler()->ProcessEvent(event);
}
inline void SendKey(wxWindow* window, wxEventType type, int code = WXK_SPACE) {
    wxKeyEvent event(type);
    event.m_keyCode = code;
    event.SetEventObject(window);
    window->GetEventHandler()->ProcessEvent(event);
}
inline void ClickWithMouse(wxWindow* window) {
    SendMouse(window, wxEVT_LEFT_DOWN);
    SendMouse(window, wxEVT_LEFT_UP);
}

// A value of HKEY_LOCAL_MACHINE as text without a terminator, or "(missing)".
inline std::string TextValue(const std::string& keyPath, const char* name) {
    const regtest::Stored value = regtest::Query(keyPath, name);
    if (value.Status != host::kErrorSuccess) return "(missing)";
    std::string data(value.Data.begin(), value.Data.end());
    if (!data.empty() && data.back() == '\0') data.pop_back();
    return data;
}

// The station's and the board's "Launched" bytes; -1 for missing.
inline std::pair<int, int> LaunchedValues() {
    auto byte = [](const std::string& path) {
        const regtest::Stored value = regtest::Query(path, "Launched");
        return value.Data.size() == 1 ? static_cast<int>(value.Data[0]) : -1;
    };
    return {byte(StationConfiguration::StationKeyPath(kStationNumber)),
            byte(StationConfiguration::BoardKeyPath(kBoardNumber))};
}

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!wxTheApp) GTEST_SKIP() << "no display (run under xvfb-run)";  // wx starts only with one
        m_guard = std::make_unique<DialogRecorder>();
        m_root = std::make_unique<TempHostRoot>();
        SetUpProgram();
    }
    // What a fixture sets up on the fresh root (with a display only).
    virtual void SetUpProgram() {}
    void TearDown() override {
        if (!m_root) return;
        HelpBook::Shutdown();  // the help window goes before the program's windows
        EndProgram();
        m_drivers.reset();
        m_root.reset();
        m_guard.reset();
    }

    // What the installer writes: station off, "Station1", default user "User1".
    void InstallStation(bool autoLaunch = false) {
        for (const std::string& path : {std::string(kProductKey), StationConfiguration::BoardKeyPath(kBoardNumber),
                                        StationConfiguration::StationKeyPath(kStationNumber)})
            regtest::MakeKey(path);
        StationConfiguration config;
        config.LoadConfiguration();
        config.BoardDetected = config.StationDetected = 1;
        config.BoardName = "V7 Board";
        config.StationName = "Station1";
        config.DefaultUser = "User1";
        config.CurrentUser = "[ None ]";
        config.AutoLaunch = autoLaunch ? 1 : 0;
        config.SaveConfiguration();
    }
    void StartDrivers(std::vector<std::string> args = {}) {
        m_drivers = std::make_unique<RunningStationDrivers>(std::move(args));
        ASSERT_TRUE(m_drivers->Started()) << "v7-stationd did not start";
    }
    // The start-up sequence; the frame it shows, or nullptr.
    CMainFrame* StartProgram() {
        m_started = true;
        if (!wxGetApp().OnInit()) return nullptr;
        PumpEvents();
        return FindMainFrame();
    }
    // Installer, drivers and program in one: the frame, also kept in m_frame.
    CMainFrame* Launch(bool autoLaunch = false, std::vector<std::string> driverArgs = {}) {
        InstallStation(autoLaunch);
        StartDrivers(std::move(driverArgs));
        return m_frame = StartProgram();
    }
    // A host as the host tool sets it up (profiles, drive C:), the drivers and
    // the program: the frame, also kept in m_frame.
    CMainFrame* LaunchOnInitialisedHost(std::vector<std::string> driverArgs = {}) {
        EXPECT_EQ(RunHostTool({"init"}).ExitCode, 0);
        StartDrivers(std::move(driverArgs));
        return m_frame = StartProgram();
    }
    // A button of the running program's panel.
    CPictureButton* PanelButton(int id) const { return m_frame->GetActiveView()->Button(id); }
    // Destroys every window and runs the exit steps.
    void EndProgram() {
        for (wxWindow* window : wxTopLevelWindows) window->Destroy();
        PumpUntil([] { return wxTopLevelWindows.empty(); }, 5);
        if (m_started) wxGetApp().OnExit();
        m_started = false;
    }

    std::unique_ptr<DialogRecorder> m_guard;
    std::unique_ptr<TempHostRoot> m_root;
    std::unique_ptr<RunningStationDrivers> m_drivers;
    bool m_started = false;
    CMainFrame* m_frame = nullptr;
};

}  // namespace guitest
