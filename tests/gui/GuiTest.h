// Shared ground of the GUI tests: a display check, a fresh host root per test,
// the station drivers, the program started the way it starts for real, and
// message boxes answered and checked through the modal dialog hook.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/weakref.h>

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

class CMainFrame;

namespace guitest {

// Any dialog that no wxTEST_DIALOG expects fails the test and is answered
// Cancel at once, so a test never hangs on a box nobody will close.
class UnexpectedDialogGuard : public wxModalDialogHook {
public:
    UnexpectedDialogGuard() { Register(); }
    ~UnexpectedDialogGuard() override { Unregister(); }

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog*) override {}
};

bool HaveDisplay();

// A message box: its exact text, caption "V7", the buttons the answer implies
// (Yes/No for wxYES and wxNO, OK for wxOK), answered with answer. whileShown
// runs while the box is up, to look at the program's state at that moment.
class ExpectMessageBox : public wxExpectModalBase<wxMessageDialog, ExpectMessageBox> {
public:
    ExpectMessageBox(wxString message, int answer, std::function<void()> whileShown = {});
    // A box whose text contains part (for texts made at run time).
    static ExpectMessageBox Containing(wxString part, int answer);

protected:
    int OnInvoked(wxMessageDialog* dialog) const override;

private:
    wxString m_message;
    bool m_partial = false;
    int m_answer;
    std::function<void()> m_whileShown;
};

// The text of a string-table entry.
wxString Text(unsigned id);

// Runs pending events, idle processing and deferred deletions a few times.
void PumpEvents();
// Pumps events until done() or the time (seconds) runs out; returns done().
bool PumpUntil(const std::function<bool()>& done, double seconds = 10);

// The main frame among the open windows, or nullptr.
CMainFrame* FindMainFrame();

// Picks a menu command as the user would: menu states updated first, and a
// greyed item does nothing. False when the item is greyed or absent.
bool PickMenuCommand(CMainFrame* frame, int systemCommand);
// The state of a menu item after the frame's update rules ran.
bool IsMenuItemEnabled(CMainFrame* frame, int systemCommand);

// A value as stored in the registry (HKEY_LOCAL_MACHINE), or nothing.
std::optional<std::vector<unsigned char>> RawValue(const std::string& keyPath, const char* name);
// A REG_SZ value without its terminator.
std::string TextValue(const std::string& keyPath, const char* name);
// The station's and the board's "Launched" bytes, as {station, board}; -1 for missing.
std::pair<int, int> LaunchedValues();

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the product's, board 1's and station 1's values as the installer
    // does (station off, "Station1", default user "User1").
    void InstallStation(bool autoLaunch = false);
    // Starts v7-stationd on this root with its fault switches.
    void StartDrivers(std::vector<std::string> args = {});
    // The start-up sequence; the frame it shows, or nullptr when it declined.
    CMainFrame* StartProgram();
    // Destroys the main window the way its close box does and runs the exit steps.
    void EndProgram();

    std::unique_ptr<UnexpectedDialogGuard> m_guard;
    std::unique_ptr<TempHostRoot> m_root;
    std::unique_ptr<RunningStationDrivers> m_drivers;
    bool m_started = false;
};

}  // namespace guitest
