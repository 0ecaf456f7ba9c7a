#include "options/ui/DialogText.h"

#include <wx/window.h>

#include "resources/StringTable.h"

namespace options::ui {

wxRect DialogRect(wxWindow* dialog, int x, int y, int width, int height) {
    return wxRect(dialog->ConvertDialogToPixels(wxPoint(x, y)), dialog->ConvertDialogToPixels(wxSize(width, height)));
}

wxString ForDisplay(const std::string& text) {
    wxString shown = wxString::FromUTF8(text);
    shown.Replace("\r\n", "\n");
    return shown;
}

wxString StringText(unsigned stringId) {
    std::string text;
    res::LoadText(stringId, text);
    return wxString::FromUTF8(text);
}

}  // namespace options::ui
