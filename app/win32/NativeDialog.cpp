#include "app/NativeDialog.h"

#include <wx/msw/private.h>
#include <commctrl.h>

#include <string_view>

#include <wx/dialog.h>
#include <wx/msgdlg.h>

namespace {

struct Search {
    HWND Found = nullptr;
};

// A message box is the system's own dialog, run by its own loop: the visible,
// enabled dialog of this thread that is no window of wx's.
BOOL CALLBACK FindNativeDialog(HWND window, LPARAM state) {
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (::IsWindowVisible(window) && ::IsWindowEnabled(window) && std::wstring_view(className) == L"#32770" &&
        !wxFindWinFromHandle(window)) {
        reinterpret_cast<Search*>(state)->Found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

// Answered as its close box answers it, or, where it has none, with the
// button that changes nothing.
void AnswerNativeDialog(wxDialog* dialog) {
    HWND window = static_cast<HWND>(dialog->GetHandle());
    if (!window || !::IsWindow(window)) {
        Search search;
        ::EnumThreadWindows(::GetCurrentThreadId(), &FindNativeDialog, reinterpret_cast<LPARAM>(&search));
        window = search.Found;
    }
    if (!window) return;
    int button = IDCANCEL;
    if (auto* box = wxDynamicCast(dialog, wxMessageDialog)) {
        const long style = box->GetMessageDialogStyle();
        if (!(style & wxCANCEL)) button = (style & wxYES_NO) ? IDNO : IDOK;
    }
    // The task dialog takes a click by message, the classic box a command.
    ::PostMessageW(window, TDM_CLICK_BUTTON, static_cast<WPARAM>(button), 0);
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}
