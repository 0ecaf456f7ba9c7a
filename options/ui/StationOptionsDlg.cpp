#include "options/ui/StationOptionsDlg.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/msgdlg.h>
#include <wx/slider.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "resources/ui/DialogKeys.h"
#include "resources/ui/HelpBook.h"

namespace {

wxString FromUtf8(const std::string& text) { return wxString::FromUTF8(text); }

}  // namespace

CStationOptionsDlg::CStationOptionsDlg(wxWindow* parent, const options::StationOptions& values)
    : wxDialog(parent, IDD, "V7 Station Options"),
      m_bAutoLaunch(values.AutoLaunch),
      m_strDefaultUser(values.DefaultUser),
      m_bAllowShutdown(values.AllowShutdown),
      m_strRefreshRate(values.RefreshRate),
      m_nDisplayMode(values.DisplayMode),
      m_strModeName(values.ModeName) {
    BuildControls();
    Bind(wxEVT_INIT_DIALOG, &CStationOptionsDlg::OnInitDialog, this);
    // Every notification a trackbar sends: each step of a movement and its end.
    for (const auto& type : {wxEVT_SCROLL_TOP, wxEVT_SCROLL_BOTTOM, wxEVT_SCROLL_LINEUP, wxEVT_SCROLL_LINEDOWN,
                             wxEVT_SCROLL_PAGEUP, wxEVT_SCROLL_PAGEDOWN, wxEVT_SCROLL_THUMBTRACK,
                             wxEVT_SCROLL_THUMBRELEASE, wxEVT_SCROLL_CHANGED})
        m_sliderResolution->Bind(type, &CStationOptionsDlg::OnResolutionScroll, this);
    m_sliderResolution->Bind(wxEVT_KEY_DOWN, &CStationOptionsDlg::OnResolutionKey, this);
    m_sliderResolution->Bind(wxEVT_LEFT_DOWN, &CStationOptionsDlg::OnResolutionClick, this);
    m_sliderResolution->Bind(wxEVT_LEFT_UP, &CStationOptionsDlg::OnResolutionClick, this);
    m_listColors->Bind(wxEVT_CHOICE, &CStationOptionsDlg::OnColorsChange, this);
    m_listRefreshRate->Bind(wxEVT_CHOICE, &CStationOptionsDlg::OnRefreshRateChange, this);
    Bind(wxEVT_BUTTON, &CStationOptionsDlg::OnOK, this, wxID_OK);
    Bind(wxEVT_BUTTON, &CStationOptionsDlg::OnHelp, this, IDC_HELP_BUTTON);
}

// The template's layout in dialog units, so the text fits the font. Lists and
// the edit keep at least their natural height.
void CStationOptionsDlg::BuildControls() {
    auto place = [this](wxWindow* control, int x, int y, int w, int h) {
        const wxPoint at = ConvertDialogToPixels(wxPoint(x, y));
        wxSize size = ConvertDialogToPixels(wxSize(w, h));
        // (An empty list, and an edit under a scaled font, report less than
        // their text needs, so the template's height is the least they get.)
        if (dynamic_cast<wxChoice*>(control) || dynamic_cast<wxTextCtrl*>(control))
            size.y = std::max(size.y, control->GetBestSize().y);
        // Labels never clip their text, whatever the font's widths.
        if (dynamic_cast<wxCheckBox*>(control) ||
            (dynamic_cast<wxStaticText*>(control) && !control->HasFlag(wxST_NO_AUTORESIZE)))
            size.x = std::max(size.x, control->GetBestSize().x);
        control->SetSize(wxRect(at, size));
        return control;
    };
    auto box = [&](const char* label, int x, int y, int w, int h) {
        place(new wxStaticBox(this, wxID_ANY, label), x, y, w, h);
    };

    box("System options", 7, 7, 252, 67);
    place(new wxStaticText(this, wxID_ANY, "Default user login name:"), 15, 15, 77, 8);
    m_editDefaultUser = new wxTextCtrl(this, IDC_DEFAULT_USER);
    place(m_editDefaultUser, 15, 24, 176, 14);
    // The name's limit counts bytes as the station records it.
    m_limitDefaultUser = std::make_unique<options::ui::ByteLimitedEdit>(m_editDefaultUser, options::kMaxLoginName);
    // The check boxes' texts as they stand: they carry no mnemonic.
    m_checkAutoLaunch = new wxCheckBox(this, IDC_AUTOLAUNCH, "Automatically turn V7 Station on when system starts.");
    place(m_checkAutoLaunch, 15, 46, 230, 10);
    m_checkAllowShutdown =
        new wxCheckBox(this, IDC_ALLOW_SHUTDOWN, "Allow system Shut Down requests after V7 Station is turned on.");
    place(m_checkAllowShutdown, 15, 59, 230, 10);

    box("Display area", 7, 81, 102, 50);
    m_sliderResolution = new wxSlider(this, IDC_RESOLUTION, 0, 0, options::kPositionCount - 1, wxDefaultPosition,
                                      wxDefaultSize, wxSL_HORIZONTAL | wxSL_AUTOTICKS);
    m_sliderResolution->SetTickFreq(1);
    place(m_sliderResolution, 13, 93, 89, 21);
    m_labelResolution = new wxStaticText(this, IDC_RESOLUTION_LABEL, "1024 by 768", wxDefaultPosition, wxDefaultSize,
                                         wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
    place(m_labelResolution, 17, 114, 81, 8);

    box("Color palette", 114, 81, 102, 50);
    m_listColors = new wxChoice(this, IDC_COLORS);
    place(m_listColors, 118, 95, 91, 14);

    box("Refresh Rate", 221, 81, 101, 50);
    m_listRefreshRate = new wxChoice(this, IDC_REFRESH_RATE);
    place(m_listRefreshRate, 227, 95, 89, 14);
#ifdef __WXMSW__
    // Wine leaves a drop-down list of version 6 of the common controls unpainted
    // (black) until it is first touched; it is drawn again once the dialog shows.
    Bind(wxEVT_SHOW, [this](wxShowEvent& event) {
        event.Skip();
        if (event.IsShown())
            CallAfter([this] {
                m_listColors->Refresh();
                m_listRefreshRate->Refresh();
            });
    });
#endif

    auto* ok = new wxButton(this, wxID_OK, "OK");
    place(ok, 272, 7, 50, 20);
    ok->SetDefault();
    ui::EnterPressesDefaultButton(this);
    ui::F1ShowsHelpTopic(this);
    place(new wxButton(this, wxID_CANCEL, "Cancel"), 272, 30, 50, 20);
    place(new wxButton(this, IDC_HELP_BUTTON, "Help"), 272, 53, 50, 20);

    SetClientSize(ConvertDialogToPixels(wxSize(330, 138)));
    CentreOnParent();
}

options::StationOptions CStationOptionsDlg::Options() const {
    options::StationOptions values;
    values.AutoLaunch = m_bAutoLaunch;
    values.AllowShutdown = m_bAllowShutdown;
    values.DefaultUser = m_strDefaultUser;
    values.DisplayMode = m_nDisplayMode;
    values.ModeName = m_strModeName;
    values.RefreshRate = m_strRefreshRate;
    return values;
}

void CStationOptionsDlg::OnInitDialog(wxInitDialogEvent&) {
    m_checkAutoLaunch->SetValue(m_bAutoLaunch);
    // A stored name over the limit is shown whole, so the person can shorten it.
    m_limitDefaultUser->Show(FromUtf8(m_strDefaultUser));
    m_checkAllowShutdown->SetValue(m_bAllowShutdown);

    m_sliderResolution->SetValue(options::PositionForMode(m_nDisplayMode));
    UpdateResolutionLabel();
    const std::string color = options::ColorForMode(m_nDisplayMode);
    if (!color.empty()) m_strColors = color;
    FillColorList();
    m_strRefreshRate = options::RefreshRateText(m_strRefreshRate);
    FillRefreshList();
    m_editDefaultUser->SetFocus();
}

void CStationOptionsDlg::ReadControls() {
    m_bAutoLaunch = m_checkAutoLaunch->GetValue();
    m_strDefaultUser = m_editDefaultUser->GetValue().utf8_string();
    m_bAllowShutdown = m_checkAllowShutdown->GetValue();
    m_strColors = m_listColors->GetStringSelection().utf8_string();
    m_strRefreshRate = m_listRefreshRate->GetStringSelection().utf8_string();
}

// No forced repaint: the toolkit redraws the label on its next frame, also
// while the slider is dragged, and a synchronous repaint waits for the X server.
void CStationOptionsDlg::UpdateResolutionLabel() {
    m_labelResolution->SetLabel(FromUtf8(options::ResolutionName(m_sliderResolution->GetValue())));
}

namespace {

// Refills a list with what the position offers and selects the entry for text.
void Fill(wxChoice* list, const std::vector<std::string>& entries, const std::string& text) {
    list->Freeze();
    list->Clear();
    for (const std::string& entry : entries) list->Append(FromUtf8(entry));
    list->SetSelection(options::SelectionFor(entries, text));
    list->Thaw();
}

}  // namespace

void CStationOptionsDlg::FillColorList() {
    Fill(m_listColors, options::ColorsAt(m_sliderResolution->GetValue()), m_strColors);
}

void CStationOptionsDlg::FillRefreshList() {
    Fill(m_listRefreshRate, options::RefreshRatesAt(m_sliderResolution->GetValue()), m_strRefreshRate);
}

// Every notification, also one that leaves the position where it was: the
// colour stays when the new resolution offers it, the rate goes back to the
// list's last. The end of a movement runs this again, which reads back the
// selections the pass before fell back to.
void CStationOptionsDlg::OnResolutionScroll(wxScrollEvent&) {
    ++m_nScrollNotifications;
    ReadControls();
    UpdateResolutionLabel();
    FillColorList();
    m_strRefreshRate.clear();
    FillRefreshList();
}

void CStationOptionsDlg::OnResolutionKey(wxKeyEvent& event) {
    event.Skip();  // the slider moves first, when it can
    const std::pair<int, wxEventType> moves[] = {
        {WXK_HOME, wxEVT_SCROLL_TOP},          {WXK_END, wxEVT_SCROLL_BOTTOM},
        {WXK_LEFT, wxEVT_SCROLL_LINEUP},       {WXK_UP, wxEVT_SCROLL_LINEUP},
        {WXK_RIGHT, wxEVT_SCROLL_LINEDOWN},    {WXK_DOWN, wxEVT_SCROLL_LINEDOWN},
        {WXK_PAGEUP, wxEVT_SCROLL_PAGEUP},     {WXK_PAGEDOWN, wxEVT_SCROLL_PAGEDOWN},
        {WXK_NUMPAD_HOME, wxEVT_SCROLL_TOP},   {WXK_NUMPAD_END, wxEVT_SCROLL_BOTTOM},
    };
    if (event.HasAnyModifiers()) return;
    for (const auto& [key, type] : moves)
        if (event.GetKeyCode() == key) {
            const unsigned before = m_nScrollNotifications;
            CallAfter([this, before, type = type] { NotifyUnlessNotified(before, type); });
            return;
        }
}

void CStationOptionsDlg::OnResolutionClick(wxMouseEvent& event) {
    event.Skip();
    if (event.GetEventType() == wxEVT_LEFT_DOWN) {
        m_nNotifiedAtPress = m_nScrollNotifications;
        return;
    }
    const unsigned before = m_nNotifiedAtPress;
    CallAfter([this, before] { NotifyUnlessNotified(before, wxEVT_SCROLL_THUMBRELEASE); });
}

// A step's notification and the end of the movement, as a moving slider sends them.
void CStationOptionsDlg::NotifyUnlessNotified(unsigned notifiedBefore, wxEventType type) {
    if (m_nScrollNotifications != notifiedBefore) return;
    const wxEventType notifications[] = {type, wxEVT_SCROLL_CHANGED};
    for (wxEventType notification : notifications) {
        wxScrollEvent event(notification, m_sliderResolution->GetId(), m_sliderResolution->GetValue(), wxHORIZONTAL);
        event.SetEventObject(m_sliderResolution);
        m_sliderResolution->HandleWindowEvent(event);
    }
}

void CStationOptionsDlg::OnColorsChange(wxCommandEvent&) {
    ReadControls();
    FillColorList();
    FillRefreshList();
}

void CStationOptionsDlg::OnRefreshRateChange(wxCommandEvent&) { ReadControls(); }

void CStationOptionsDlg::OnOK(wxCommandEvent&) {
    // The colour as the last notification left it, which the list shows.
    if (auto mode = options::ModeFor(m_sliderResolution->GetValue(), m_strColors)) {
        m_nDisplayMode = mode->Number;
        m_strModeName = mode->Name;
    }
    ReadControls();
    // Any name within the limit goes, an empty one too; a longer one stored
    // before must be shortened first.
    if (m_strDefaultUser.size() > options::kMaxLoginName) {
        wxMessageDialog(this, FromUtf8(options::LoginNameError(m_strDefaultUser)), "V7", wxOK | wxICON_EXCLAMATION)
            .ShowModal();
        m_editDefaultUser->SetFocus();
        m_editDefaultUser->SelectAll();
        return;
    }
    m_strRefreshRate = options::StoredRefreshRate(m_strRefreshRate);
    SetReturnCode(wxID_OK);
    EndDialog(wxID_OK);
}

void CStationOptionsDlg::OnHelp(wxCommandEvent&) { HelpBook::ShowTopicFor(this); }
