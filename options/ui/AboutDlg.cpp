#include "options/ui/AboutDlg.h"

#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/image.h>
#include <wx/mstream.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "options/AboutText.h"
#include "options/VersionReport.h"
#include "options/ui/DialogText.h"
#include "resources/Bitmaps.h"
#include "resources/ui/DialogKeys.h"

namespace {

constexpr unsigned IDI_MAINFRAME = 128;
constexpr unsigned IDS_COPYRIGHT_CAPTION = 1302;
constexpr unsigned IDS_VERSIONS_CAPTION = 1303;

wxBitmap ProgramIcon() {
    const res::PackedBitmap* packed = res::FindIconResource(IDI_MAINFRAME);
    if (!packed) return wxBitmap();
    const std::vector<unsigned char> file = res::Unpack(*packed);
    if (file.empty()) return wxBitmap();
    wxMemoryInputStream stream(file.data(), file.size());
    wxImage image(stream, wxBITMAP_TYPE_BMP);
    return image.IsOk() ? wxBitmap(image) : wxBitmap();
}

}  // namespace

CAboutDlg::CAboutDlg(wxWindow* parent) : wxDialog(parent, IDD, "About") {
    using options::ui::DialogRect;
    SetClientSize(ConvertDialogToPixels(wxSize(271, 71)));

    const wxRect icon = DialogRect(this, 5, 7, 20, 20);
    auto* picture = new wxStaticBitmap(this, IDC_PROGRAM_ICON, ProgramIcon(), icon.GetPosition(), icon.GetSize());
    picture->SetScaleMode(wxStaticBitmap::Scale_AspectFit);
    const wxRect text = DialogRect(this, 32, 7, 177, 57);
    m_text = new wxStaticText(this, IDC_TEXT, "", text.GetPosition(), text.GetSize(), wxST_NO_AUTORESIZE | wxALIGN_LEFT);
    // IDOK is wx's OK: Enter and Escape close the box as its template says.
    const wxRect close = DialogRect(this, 213, 7, 50, 25);
    auto* closeButton = new wxButton(this, wxID_OK, "&Close", close.GetPosition(), close.GetSize());
    const wxRect versions = DialogRect(this, 213, 39, 50, 25);
    m_btnVersions = new wxButton(this, IDC_VERSIONS, "&Versions", versions.GetPosition(), versions.GetSize());

    closeButton->SetDefault();
    ui::EnterPressesDefaultButton(this);
    closeButton->SetFocus();
    SetEscapeId(wxID_OK);
    m_btnVersions->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ShowAboutOrVersions(); });
    ui::F1ShowsHelpTopic(this);

    // Always opens on the about text.
    m_bAboutShown = false;
    ShowAboutOrVersions();
    CentreOnParent();
}

void CAboutDlg::ShowAboutOrVersions() {
    const std::string text = m_bAboutShown ? options::VersionReport() : options::AboutText();
    const unsigned caption = m_bAboutShown ? IDS_COPYRIGHT_CAPTION : IDS_VERSIONS_CAPTION;
    m_bAboutShown = !m_bAboutShown;
    // Shown as it stands: an ampersand in a file's version is no mnemonic.
    m_text->SetLabelText(options::ui::ForDisplay(text));
    m_btnVersions->SetLabel(options::ui::StringText(caption));
}
