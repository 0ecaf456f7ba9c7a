#include "app/NativeDialog.h"

#include <dlfcn.h>

#include <wx/dialog.h>

// GTK answers it with GTK_RESPONSE_DELETE_EVENT, found at run time: the
// program links GTK only through wx.
void AnswerNativeDialog(wxDialog* dialog) {
    using Respond = void (*)(void*, int);
    static const auto respond = reinterpret_cast<Respond>(dlsym(RTLD_DEFAULT, "gtk_dialog_response"));
    constexpr int kResponseDeleteEvent = -4;
    if (respond && dialog->GetHandle()) respond(dialog->GetHandle(), kResponseDeleteEvent);
}
