#include "station/ui/TestStationDlg.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valgen.h>

#include "resources/ui/DialogKeys.h"
#include "resources/ui/HelpBook.h"
#include "station/ui/IndicatorCheckBox.h"
#include "station/ui/WholeText.h"

namespace {

// The size the template's controls need, in dialog units.
constexpr int kWidth = 257;
constexpr int kHeight = 170;

}  // namespace

CTestStationDlg::CTestStationDlg(wxWindow* parent)
    : wxDialog(parent, IDD, "<Text here comes from string table>", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
    CreateControls();
    SetClientSize(Size(kWidth, kHeight));
    CentreOnParent();
}

void CTestStationDlg::CreateControls() {
    // Created in the template's order, which is also the Tab order.
    struct Indicator {
        int Id, Y;
        const char* Label;
        bool* Value;
    };
    const Indicator indicators[] = {
        {IDC_SOFTWARE_RUNNING, 7, station::kSoftwareRunningLabel, &m_softwareRunning},
        {IDC_CONNECTOR_BOX, 24, station::kConnectorBoxLabel, &m_connectorBox},
        {IDC_KEYBOARD, 41, station::kKeyboardLabel, &m_keyboard},
        {IDC_MOUSE, 58, station::kMouseLabel, &m_mouse},
        {IDC_STATION_ON, 75, station::kStationOnLabel, &m_stationOn},
    };
    for (const Indicator& i : indicators) {
        auto* box = new CIndicatorCheckBox(this, i.Id, i.Label, At(7, i.Y), Size(180, 10));
        box->SetValidator(wxGenericValidator(i.Value));
        FitLabel(box);
    }

    FitLabel(new wxStaticText(this, wxID_ANY, "Troubleshooter:", At(7, 97), Size(50, 8)));
    auto* text = new wxTextCtrl(this, IDC_TROUBLESHOOTER, wxEmptyString, At(7, 108), Size(243, 55),
                                wxTE_MULTILINE | wxTE_READONLY | wxVSCROLL | wxTE_WORDWRAP);
    text->SetValidator(wxGenericValidator(&m_troubleshooter));
    ui::KeepScrollBarInView(text);

    auto* close = new wxButton(this, wxID_CANCEL, "&Close", At(200, 7), Size(50, 25));
    new wxButton(this, wxID_OK, "&Refresh", At(200, 35), Size(50, 25));
    auto* help = new wxButton(this, ID_HELP, "&Help", At(200, 63), Size(50, 25));
    help->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { HelpBook::ShowTopicFor(this); });
    close->SetDefault();
    ui::EnterPressesDefaultButton(this);
    ui::F1ShowsHelpTopic(this);
    SetEscapeId(wxID_CANCEL);
    close->SetFocus();
    Bind(wxEVT_IDLE, &CTestStationDlg::RestoreFocus, this);
}

void CTestStationDlg::EndModal(int retCode) {
    wxWindow* focus = FindFocus();
    m_focusAtEnd = focus && focus->GetParent() == this ? focus : nullptr;
    wxDialog::EndModal(retCode);
}

int CTestStationDlg::ShowModal() {
    // GTK hands a window that comes on screen to its first control, whatever
    // was focused before; so the focus is put back from idle time, after the
    // window is shown, and held for a few turns until it stays.
    m_focusTurns = m_focusAtEnd ? 50 : 0;
    return wxDialog::ShowModal();
}

void CTestStationDlg::RestoreFocus(wxIdleEvent& event) {
    event.Skip();
    if (m_focusTurns <= 0 || !IsShownOnScreen()) return;
    if (FindFocus() != m_focusAtEnd) m_focusAtEnd->SetFocus();
    else if (m_focusTurns > 3) m_focusTurns = 3;  // it holds: a few more looks
    --m_focusTurns;
    event.RequestMore();
}

void CTestStationDlg::FitLabel(wxWindow* label) {
    const wxSize need = label->GetBestSize();
    const wxSize size = label->GetSize();
    label->SetSize(std::max(size.x, need.x), std::max(size.y, need.y));
}

void CTestStationDlg::SetResult(const station::TestResult& result) {
    m_softwareRunning = result.SoftwareRunning;
    m_connectorBox = result.ConnectorBox;
    m_keyboard = result.Keyboard;
    m_mouse = result.Mouse;
    m_stationOn = result.StationOn;
    // The paragraphs end their lines with CR LF; the text control wants LF
    // (and turns it back into CR LF where the system needs that).
    m_troubleshooter = wxString::FromUTF8(result.Text);
    m_troubleshooter.Replace("\r\n", "\n");
    SetTitle(wxString::FromUTF8(result.Caption));
    TransferDataToWindow();
    // The advice is read whole: the dialog grows down to fit it at the
    // template's width, and scrolls only what the screen cannot hold.
    ui::FitTextHeight(static_cast<wxTextCtrl*>(FindWindow(IDC_TROUBLESHOOTER)), Size(0, 55).y);
}
