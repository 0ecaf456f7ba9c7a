#include "app/win32/InstanceEndpoint.h"

#include <wx/msw/wrapwin.h>

#include <wx/app.h>
#include <wx/snglinst.h>
#include <wx/utils.h>

#include "host/emulated/control_center_instance.h"

namespace {

// The window class later copies look for (message-only windows are found by
// class only), the request they send and the answer that proves it ours.
constexpr const wchar_t* kWindowClass = L"OrvaneV7ControlCenter";
constexpr UINT kActivateMessage = WM_APP + 0x56;
constexpr LRESULT kActivateAnswer = 0x0A7E;

}  // namespace

struct InstanceEndpoint::Window {
    HWND Handle = nullptr;
    ATOM Class = 0;

    ~Window() {
        if (Handle) ::DestroyWindow(Handle);
        if (Class) ::UnregisterClassW(kWindowClass, ::GetModuleHandleW(nullptr));
    }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != kActivateMessage) return ::DefWindowProcW(window, message, wParam, lParam);
        // Answered at once; the window comes forward from the event loop.
        if (auto* endpoint = reinterpret_cast<InstanceEndpoint*>(::GetWindowLongPtrW(window, GWLP_USERDATA)))
            endpoint->CallAfter([endpoint] { endpoint->Deliver(host::emulated::kActivateRequest); });
        return kActivateAnswer;
    }
};

InstanceEndpoint::InstanceEndpoint(std::function<void(const std::string&)> onMessage)
    : m_onMessage(std::move(onMessage)) {}

InstanceEndpoint::~InstanceEndpoint() {
    if (m_followsSession && wxTheApp) {
        wxTheApp->Unbind(wxEVT_QUERY_END_SESSION, &InstanceEndpoint::OnQueryEndSession, this);
        wxTheApp->Unbind(wxEVT_END_SESSION, &InstanceEndpoint::OnEndSession, this);
    }
    m_window.reset();
    m_checker.reset();  // lets the mutex go
}

InstanceEndpoint::Lock InstanceEndpoint::TakeLock(std::string* why) {
    // One copy per user and session: the mutex lives in the session's namespace.
    auto checker = std::make_unique<wxSingleInstanceChecker>();
    if (!checker->Create("OrvaneV7ControlCenter-" + wxGetUserId())) {
        *why = "the session's mutex cannot be made (error " + std::to_string(::GetLastError()) + ")";
        return Lock::kFailed;
    }
    const bool another = checker->IsAnotherRunning();
    m_checker = std::move(checker);
    return another ? Lock::kByAnother : Lock::kHeld;
}

std::string InstanceEndpoint::Listen() {
    if (m_window) return {};
    auto window = std::make_unique<Window>();
    const HINSTANCE module = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Window::Procedure;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kWindowClass;
    window->Class = ::RegisterClassExW(&windowClass);
    if (!window->Class) return "the window class cannot be registered (error " + std::to_string(::GetLastError()) + ")";
    window->Handle = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr);
    if (!window->Handle) return "the message window cannot be made (error " + std::to_string(::GetLastError()) + ")";
    ::SetWindowLongPtrW(window->Handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_window = std::move(window);
    if (!m_followsSession && wxTheApp) {
        wxTheApp->Bind(wxEVT_QUERY_END_SESSION, &InstanceEndpoint::OnQueryEndSession, this);
        wxTheApp->Bind(wxEVT_END_SESSION, &InstanceEndpoint::OnEndSession, this);
        m_followsSession = true;
    }
    return {};
}

void InstanceEndpoint::Deliver(const std::string& message) {
    if (m_onMessage) m_onMessage(message);
}

// Nothing here is left unsaved, so the session may end; the windows close
// when it does, not when it is only asked about.
void InstanceEndpoint::OnQueryEndSession(wxCloseEvent& event) { event.Veto(false); }

void InstanceEndpoint::OnEndSession(wxCloseEvent&) { Deliver(host::emulated::kEndSessionNormal); }

InstanceEndpoint::SendResult InstanceEndpoint::SendActivate(std::chrono::milliseconds timeout) {
    const HWND window = ::FindWindowExW(HWND_MESSAGE, nullptr, kWindowClass, nullptr);
    if (!window) return SendResult::kNoListener;
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    // Only the foreground process may give the foreground away, and only now.
    if (process) ::AllowSetForegroundWindow(process);
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(window, kActivateMessage, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                               static_cast<UINT>(timeout.count()), &answer))
        return SendResult::kFailed;
    return answer == static_cast<DWORD_PTR>(kActivateAnswer) ? SendResult::kSent : SendResult::kFailed;
}
