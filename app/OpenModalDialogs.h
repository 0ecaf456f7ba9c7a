// Keeps track of the modal dialogs (message boxes included) open right now, so
// that bringing the program forward can put the innermost one in front and the
// end of the session can close them.
#pragma once

#include <functional>
#include <vector>

#include <wx/modalhook.h>

class OpenModalDialogs : public wxModalDialogHook {
public:
    OpenModalDialogs() { Register(); }
    ~OpenModalDialogs() override { Unregister(); }

    // The dialog opened last and not yet closed; nullptr when none is open.
    wxDialog* Innermost() const { return m_open.empty() ? nullptr : m_open.back(); }

    // Closes the innermost dialog as its close box would (the code that runs it
    // sees Cancel); then() runs from the event loop once the dialog has
    // returned to that code. False when none is open.
    bool CloseInnermost(std::function<void()> then);

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog* dialog) override;

private:
    std::vector<wxDialog*> m_open;
    wxDialog* m_closing = nullptr;
    std::function<void()> m_afterClosing;
};
