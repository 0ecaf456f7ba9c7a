#include "options/ui/UrlLauncher.h"

#include <wx/filefn.h>
#include <wx/process.h>
#include <wx/utils.h>

namespace options::ui {
namespace {

// Reports the handler's failure when it ends, and then goes away.
class HandlerProcess : public wxProcess {
public:
    explicit HandlerProcess(std::function<void()> failed) : m_failed(std::move(failed)) {}

    void OnTerminate(int, int status) override {
        if (status != 0 && m_failed) m_failed();
        delete this;
    }

private:
    std::function<void()> m_failed;
};

}  // namespace

bool OpenUrl(const wxString& url, std::function<void()> failed) {
    wxString path, handler;
    if (!wxGetEnv("PATH", &path) || !wxFindFileInPath(&handler, path, "xdg-open")) return false;
    // An argument vector, no shell: the address reaches the handler as it is.
    const wxScopedCharBuffer program = handler.fn_str(), target = url.utf8_str();
    const char* argv[] = {program.data(), target.data(), nullptr};
    auto* process = new HandlerProcess(std::move(failed));
    if (wxExecute(argv, wxEXEC_ASYNC, process) == 0) {
        delete process;
        return false;
    }
    return true;
}

}  // namespace options::ui
