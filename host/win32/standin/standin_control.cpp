// The stand-in driver's service key and service, through advapi32.
#include "host/win32/standin/standin_control.h"

#include <vector>

#include <windows.h>

namespace standin {

namespace {

const wchar_t kServiceName[] = L"Brakor";
const wchar_t kServiceKey[] = L"System\\CurrentControlSet\\Services\\Brakor";
// Polls of the service state before giving up, kPollMs apart.
constexpr int kPolls = 100;
constexpr ::DWORD kPollMs = 50;

class Key {
public:
    explicit Key(REGSAM access) {
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kServiceKey, 0, access, &m_key) != ERROR_SUCCESS) m_key = nullptr;
    }
    ~Key() {
        if (m_key) ::RegCloseKey(m_key);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ::HKEY Get() const { return m_key; }

private:
    ::HKEY m_key = nullptr;
};

// Service handles closed on every path.
struct ServiceHandles {
    SC_HANDLE Manager = nullptr;
    SC_HANDLE Service = nullptr;
    ServiceHandles() {
        Manager = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
        if (Manager) Service = ::OpenServiceW(Manager, kServiceName, SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS);
    }
    ~ServiceHandles() {
        if (Service) ::CloseServiceHandle(Service);
        if (Manager) ::CloseServiceHandle(Manager);
    }
    ServiceHandles(const ServiceHandles&) = delete;
    ServiceHandles& operator=(const ServiceHandles&) = delete;
};

bool WaitForState(SC_HANDLE service, ::DWORD state) {
    for (int i = 0; i < kPolls; ++i) {
        SERVICE_STATUS status{};
        if (!::QueryServiceStatus(service, &status)) return false;
        if (status.dwCurrentState == state) return true;
        ::Sleep(kPollMs);
    }
    return false;
}

}  // namespace

bool SetFaults(const std::string& words) {
    Key key(KEY_SET_VALUE);
    if (!key.Get()) return false;
    std::wstring wide;
    if (!words.empty()) {
        const int length = static_cast<int>(words.size());
        const int units = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, words.data(), length, nullptr, 0);
        if (units <= 0) return false;
        wide.assign(static_cast<std::size_t>(units), L'\0');
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, words.data(), length, wide.data(), units);
    }
    const auto bytes = static_cast<::DWORD>((wide.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key.Get(), L"Faults", 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()), bytes) ==
           ERROR_SUCCESS;
}

bool LastMessage(std::string* text) {
    Key key(KEY_QUERY_VALUE);
    if (!key.Get()) return false;
    ::DWORD type = 0, size = 0;
    if (::RegQueryValueExW(key.Get(), L"LastMessage", nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_BINARY)
        return false;
    std::vector<BYTE> bytes(size);
    if (size > 0 && ::RegQueryValueExW(key.Get(), L"LastMessage", nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS)
        return false;
    text->assign(bytes.begin(), bytes.begin() + size);
    return true;
}

bool ForgetMessage() {
    Key key(KEY_SET_VALUE);
    if (!key.Get()) return false;
    const LONG status = ::RegDeleteValueW(key.Get(), L"LastMessage");
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool StopDriver() {
    ServiceHandles handles;
    if (!handles.Service) return false;
    SERVICE_STATUS status{};
    if (!::ControlService(handles.Service, SERVICE_CONTROL_STOP, &status) &&
        ::GetLastError() != ERROR_SERVICE_NOT_ACTIVE)
        return false;
    return WaitForState(handles.Service, SERVICE_STOPPED);
}

bool StartDriver() {
    ServiceHandles handles;
    if (!handles.Service) return false;
    if (!::StartServiceW(handles.Service, 0, nullptr) && ::GetLastError() != ERROR_SERVICE_ALREADY_RUNNING)
        return false;
    return WaitForState(handles.Service, SERVICE_RUNNING);
}

}  // namespace standin
