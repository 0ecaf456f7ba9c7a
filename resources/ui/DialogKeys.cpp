#include "resources/ui/DialogKeys.h"

#include <algorithm>
#include <vector>

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/utils.h>

#include "resources/ui/HelpBook.h"

namespace ui {

void EnterPressesDefaultButton(wxDialog* dialog, std::initializer_list<wxWindow*> keepEnter) {
    const std::vector<wxWindow*> keep(keepEnter);
    // The hook sees the key before the focused control does, whatever that is.
    dialog->Bind(wxEVT_CHAR_HOOK, [dialog, keep](wxKeyEvent& event) {
        const int key = event.GetKeyCode();
        wxWindow* focus = wxWindow::FindFocus();
        if ((key != WXK_RETURN && key != WXK_NUMPAD_ENTER) || event.HasAnyModifiers() ||
            std::find(keep.begin(), keep.end(), focus) != keep.end() || dynamic_cast<wxButton*>(focus)) {
            event.Skip();
            return;
        }
        auto* button = dynamic_cast<wxButton*>(dialog->GetDefaultItem());
        if (!button || !button->IsEnabled()) {
            wxBell();
            return;
        }
        wxCommandEvent click(wxEVT_BUTTON, button->GetId());
        click.SetEventObject(button);
        button->ProcessWindowEvent(click);
    });
}

void F1ShowsHelpTopic(wxDialog* dialog) {
    dialog->Bind(wxEVT_CHAR_HOOK, [dialog](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_F1 && !event.HasAnyModifiers())
            HelpBook::ShowTopicFor(dialog);
        else
            event.Skip();
    });
}

}  // namespace ui
