// A read-only multi-line text shown whole: the control takes the height its
// wrapped text needs at its width, its window growing or shrinking with it,
// as far as the screen holds; past that its scroll bar stays in view.
#pragma once

class wxTextCtrl;

namespace ui {

// A scroll bar that is always drawn, not one that appears only under the
// pointer: the reader sees at once that there is more.
void KeepScrollBarInView(wxTextCtrl* text);

// Sizes text (never below minHeight pixels) and its top-level window for the
// text it holds now; the window moves up if it would leave the screen.
void FitTextHeight(wxTextCtrl* text, int minHeight);

}  // namespace ui
