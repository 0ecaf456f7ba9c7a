// The About box: the product, its version and the system's running time; one
// button switches the same text to the drivers' version report and back.
#pragma once

#include <wx/dialog.h>

class wxButton;
class wxKeyEvent;
class wxStaticText;

class CAboutDlg : public wxDialog {
public:
    static constexpr int IDD = 100;
    static constexpr int IDC_PROGRAM_ICON = 1000;
    static constexpr int IDC_TEXT = 1001;
    static constexpr int IDC_VERSIONS = 1002;

    // Opens on the about text. Without a parent it centres on the main window.
    explicit CAboutDlg(wxWindow* parent = nullptr);

    // Builds the other of the two texts afresh (the drivers are asked again,
    // the running time taken again) and swaps the button's caption.
    void ShowAboutOrVersions();

    bool AboutShown() const { return m_bAboutShown; }

private:
    bool m_bAboutShown = false;
    wxStaticText* m_text = nullptr;
    wxButton* m_btnVersions = nullptr;
};
