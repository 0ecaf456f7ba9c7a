// Opening a web or mail address with the desktop's handler: "xdg-open", looked
// up on PATH and started without waiting for it, so a browser that takes its
// time (or stays in the foreground) never freezes the program.
#pragma once

#include <functional>

#include <wx/string.h>

namespace options::ui {

// Starts the handler for the address. Returns false at once when there is no
// handler on PATH or it cannot be started; `failed` is called later, from the
// event loop, when the handler ends with a failure status.
bool OpenUrl(const wxString& url, std::function<void()> failed);

}  // namespace options::ui
