// On Windows the shell opens the address with the user's browser or mail
// program; it returns once the handler is started, never waiting for it.
#include "options/ui/UrlLauncher.h"

#include <wx/utils.h>

namespace options::ui {

bool OpenUrl(const wxString& url, std::function<void()>) {
    // Only web and mail addresses: the shell would run a program named here.
    const wxString lower = url.Lower();
    if (!lower.StartsWith("http://") && !lower.StartsWith("https://") && !lower.StartsWith("mailto:")) return false;
    // The shell answers a failure at once; none is reported later.
    return wxLaunchDefaultBrowser(url, wxBROWSER_NOBUSYCURSOR);
}

}  // namespace options::ui
