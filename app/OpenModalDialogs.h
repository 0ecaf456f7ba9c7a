// Keeps track of the modal dialogs (message boxes included) open right now, so
// that bringing the program forward can put the innermost one in front.
#pragma once

#include <vector>

#include <wx/modalhook.h>

class OpenModalDialogs : public wxModalDialogHook {
public:
    OpenModalDialogs() { Register(); }
    ~OpenModalDialogs() override { Unregister(); }

    // The dialog opened last and not yet closed; nullptr when none is open.
    wxDialog* Innermost() const { return m_open.empty() ? nullptr : m_open.back(); }

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog* dialog) override;

private:
    std::vector<wxDialog*> m_open;
};
