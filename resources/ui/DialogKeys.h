// The keyboard of the system's dialogs where the toolkit differs: Enter
// presses the dialog's default button wherever the focus is, and F1 opens the
// dialog's help topic.
#pragma once

#include <initializer_list>

class wxDialog;
class wxWindow;

namespace ui {

// Enter (and the keypad's Enter) presses the default button of dialog whatever
// control has the focus: a list, a check box, a slider, a drop-down list, a
// read-only text. A focused push button is pressed itself, a disabled default
// button makes Enter only beep, and the controls in keepEnter (a multi-line
// edit that takes Enter as a new line) get the key as they would anyway.
void EnterPressesDefaultButton(wxDialog* dialog, std::initializer_list<wxWindow*> keepEnter = {});

// F1 (without modifiers) opens the help topic of dialog, as its Help button
// does, whatever control has the focus.
void F1ShowsHelpTopic(wxDialog* dialog);

}  // namespace ui
