// Small helpers the options' dialogs share: template coordinates in dialog
// units, and string-table texts as the controls show them.
#pragma once

#include <string>

#include <wx/gdicmn.h>
#include <wx/string.h>

class wxWindow;

namespace options::ui {

// A control's place given in the template's dialog units, in pixels of the
// dialog's font.
wxRect DialogRect(wxWindow* dialog, int x, int y, int width, int height);

// Text built with "\r\n" line ends as a control shows it ("\n").
wxString ForDisplay(const std::string& text);

// A string-table entry, or "" when there is none.
wxString StringText(unsigned stringId);

}  // namespace options::ui
