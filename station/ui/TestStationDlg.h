// The Test V7 Station dialog (template 105): five indicators, the
// troubleshooter's text, and Close, Refresh and Help. It shows one pass's
// result; Refresh ends it with wxID_OK so the caller runs the next pass.
#pragma once

#include <wx/dialog.h>

#include "station/StationTest.h"

class CTestStationDlg : public wxDialog {
public:
    enum : int {
        IDD = 105,
        IDC_SOFTWARE_RUNNING = 1015,
        IDC_STATION_ON = 1016,
        IDC_CONNECTOR_BOX = 1017,
        IDC_KEYBOARD = 1018,
        IDC_MOUSE = 1019,
        IDC_TROUBLESHOOTER = 1022,
    };
    // The Help button sends the system's help command 57670; wx takes no window
    // IDs that high, so the button carries wx's own help ID.
    static constexpr int ID_HELP = wxID_HELP;

    explicit CTestStationDlg(wxWindow* parent);

    // Takes a pass's flags, text and caption (the window's title) and shows them.
    void SetResult(const station::TestResult& result);

    // The next pass shows with the focus where this one left it (on Refresh
    // when Refresh ended it).
    void EndModal(int retCode) override;
    int ShowModal() override;

private:
    void CreateControls();
    wxPoint At(int x, int y) { return ConvertDialogToPixels(wxPoint(x, y)); }
    wxSize Size(int w, int h) { return ConvertDialogToPixels(wxSize(w, h)); }
    // A label keeps its template size unless the font in use needs more.
    static void FitLabel(wxWindow* label);
    void RestoreFocus(wxIdleEvent& event);

    bool m_softwareRunning = false;
    bool m_connectorBox = false;
    bool m_keyboard = false;
    bool m_mouse = false;
    bool m_stationOn = false;
    wxString m_troubleshooter;
    wxWindow* m_focusAtEnd = nullptr;
    // Idle turns left to put the focus back once the window is on screen.
    int m_focusTurns = 0;
};
