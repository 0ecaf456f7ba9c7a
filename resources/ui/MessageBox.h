// Message boxes whose text is a string-table entry, captioned with the
// application title ("V7"). Every handler reports through these.
#pragma once

class wxWindow;

namespace ui {

// OK only. An id missing from the table shows "Fail to load resource %d !".
void ShowMessage(unsigned stringId, wxWindow* parent = nullptr);

// Yes and No; true for Yes. With noIsDefault, Enter and a stray click on the
// default button answer No (for destructive steps).
bool AskYesNo(unsigned stringId, bool noIsDefault = false, wxWindow* parent = nullptr);

}  // namespace ui
