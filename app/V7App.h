// The application object: one running copy per host root, owner of the driver
// handle for the whole run, and the routine that shows a string-table message.
#pragma once

#include <memory>

#include <wx/app.h>

#include "host/types.h"

class CV7Doc;
class StartupWarmUp;
class SingleInstance;
class OpenModalDialogs;

class CV7App : public wxApp {
public:
    CV7App();
    ~CV7App() override;

    bool OnInit() override;  // the start-up sequence
    int OnExit() override;   // the exit sequence

    // True when no other copy runs on this host root; otherwise brings that copy
    // forward (restored, its open modal dialog in front) and returns false.
    bool IsFirstInstance();
    // Holds this root's single-instance lock and opens the endpoint later copies
    // reach; false (with one line on stderr saying why) when either fails, since
    // a copy that cannot be found would let a second one run unnoticed.
    bool RegisterInstance();
    // Opens "\\.\Brakor" into m_hDriver; shows message 2011 when it cannot be
    // opened. False only when the device path is missing from the string table.
    bool OpenDriver();
    // Drivers that came up after a start without them: opens the device
    // into m_hDriver, without a message, when it is not open yet.
    void OpenDriverWhenMissing();
    // Closes m_hDriver if open; calling it again does nothing. Always true.
    bool CloseDriver();
    // A message box (OK only, caption "V7") with string-table text nStringID,
    // or "Fail to load resource %d !" when there is no such entry.
    void ShowMessage(unsigned nStringID);

    // Restores the main window if it is minimised and brings it forward, with
    // the modal dialog open in it (if any) in front.
    void BringForward();

    // The session ends: forced, the program ends at once; otherwise its open
    // dialogs close as cancelled, innermost first, then the main window.
    void EndSession(bool forced);

    // True after a start that found another copy running and handed over to
    // it; such a start ends successfully without a window.
    static bool HandedOverToRunningCopy();

    host::HANDLE m_hDriver = host::kInvalidHandle;
    bool m_bClassRegistered = false;  // the single-instance registration is held
    const char* m_pszClassName = "OrvaneV7ControlCenter";

private:
    void OnAppAbout(wxCommandEvent& event);
    void OnHelpUsing(wxCommandEvent& event);
    // The exit steps; also run when start-up fails part-way.
    void ReleaseResources();
    void ReportRegistryProblem();
    void CloseForSessionEnd();

    std::unique_ptr<StartupWarmUp> m_warmUp;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<OpenModalDialogs> m_modals;
    std::unique_ptr<CV7Doc> m_doc;
};

wxDECLARE_APP(CV7App);
