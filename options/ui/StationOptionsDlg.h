// "V7 Station Options" (template 106): the login name, the start-up and
// shut-down request options, and the station's display as a resolution on a
// three-step slider with the colour and refresh-rate lists it offers.
#pragma once

#include <memory>
#include <string>

#include <wx/dialog.h>

#include "options/StationOptions.h"
#include "options/ui/ByteLimitedEdit.h"

class wxCheckBox;
class wxChoice;
class wxKeyEvent;
class wxMouseEvent;
class wxScrollEvent;
class wxSlider;
class wxStaticText;
class wxTextCtrl;

class CStationOptionsDlg : public wxDialog {
public:
    // The system's IDs of the template and its controls.
    enum : int {
        IDD = 106,
        IDC_DEFAULT_USER = 1025,
        IDC_AUTOLAUNCH = 1027,
        IDC_ALLOW_SHUTDOWN = 1028,
        IDC_RESOLUTION = 1031,
        IDC_COLORS = 1051,
        IDC_REFRESH_RATE = 1053,
        IDC_RESOLUTION_LABEL = 1055,
        IDC_HELP_BUTTON = wxID_HELP,  // the Help command (57670) of the main frame's help routing
    };

    CStationOptionsDlg(wxWindow* parent, const options::StationOptions& values);

    // The values to store once the dialog has ended with OK.
    options::StationOptions Options() const;

private:
    void BuildControls();
    void OnInitDialog(wxInitDialogEvent& event);
    void OnResolutionScroll(wxScrollEvent& event);
    // The toolkit's slider says nothing when a key or a click leaves the thumb
    // where it was (End at the end, Home at the start, a click on the thumb);
    // a trackbar notifies those too, so the dialog sends them itself.
    void OnResolutionKey(wxKeyEvent& event);
    void OnResolutionClick(wxMouseEvent& event);
    void NotifyUnlessNotified(unsigned notifiedBefore, wxEventType type);
    void OnColorsChange(wxCommandEvent& event);
    void OnRefreshRateChange(wxCommandEvent& event);
    void OnOK(wxCommandEvent& event);
    void OnHelp(wxCommandEvent& event);

    // Reads every control into the members. A login name over the limit (one
    // stored before) is read like any other, so the lists keep working until
    // OK checks it.
    void ReadControls();
    void UpdateResolutionLabel();
    void FillColorList();
    void FillRefreshList();

    wxSlider* m_sliderResolution = nullptr;
    wxTextCtrl* m_editDefaultUser = nullptr;
    std::unique_ptr<options::ui::ByteLimitedEdit> m_limitDefaultUser;
    wxCheckBox* m_checkAutoLaunch = nullptr;
    wxCheckBox* m_checkAllowShutdown = nullptr;
    wxStaticText* m_labelResolution = nullptr;
    wxChoice* m_listColors = nullptr;
    wxChoice* m_listRefreshRate = nullptr;

    bool m_bAutoLaunch;
    std::string m_strDefaultUser;
    bool m_bAllowShutdown;
    std::string m_strColors;
    std::string m_strRefreshRate;
    int m_nDisplayMode;
    std::string m_strModeName;
    unsigned m_nScrollNotifications = 0;  // counts the slider's notifications
    unsigned m_nNotifiedAtPress = 0;      // the count when the mouse went down
};
