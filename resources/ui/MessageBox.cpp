#include "resources/ui/MessageBox.h"

#include <string>

#include <wx/app.h>
#include <wx/msgdlg.h>

#include "resources/StringTable.h"

namespace ui {
namespace {

wxString MessageText(unsigned stringId) {
    std::string text;
    if (res::LoadText(stringId, text)) return wxString::FromUTF8(text);
    return wxString::Format("Fail to load resource %d !", static_cast<int>(stringId));
}

wxString Caption() { return wxTheApp ? wxTheApp->GetAppDisplayName() : wxString("V7"); }

}  // namespace

void ShowMessage(unsigned stringId, wxWindow* parent) {
    wxMessageBox(MessageText(stringId), Caption(), wxOK, parent);
}

bool AskYesNo(unsigned stringId, bool noIsDefault, wxWindow* parent) {
    const long style = wxYES_NO | (noIsDefault ? wxNO_DEFAULT : 0);
    return wxMessageBox(MessageText(stringId), Caption(), style, parent) == wxYES;
}

}  // namespace ui
