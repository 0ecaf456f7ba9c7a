// System services on Windows.
#include "host/system.h"

#include <string>

#include "host/win32/wide.h"
#include "host/win32/win_api.h"

#include <lmcons.h>

namespace host {

BOOL GetAccountName(char* buffer, DWORD* size) {
    if (!size) return 0;
    wchar_t wide[UNLEN + 1];
    ::DWORD units = UNLEN + 1;
    if (!::GetUserNameW(wide, &units) || units == 0) return 0;
    const std::string name = win32::ToUtf8(std::wstring_view(wide, units - 1));  // units counts the terminator
    const DWORD needed = static_cast<DWORD>(name.size() + 1);
    if (!win32::CopyWithTerminator(name, buffer, *size)) {
        *size = needed;
        return 0;
    }
    *size = needed;
    return 1;
}

ULONGLONG GetTickCount64() { return ::GetTickCount64(); }

DWORD GetTickCount() { return static_cast<DWORD>(::GetTickCount64()); }

UINT GetWindowsFolder(char* buffer, UINT size) {
    wchar_t wide[MAX_PATH];
    const ::UINT units = ::GetWindowsDirectoryW(wide, MAX_PATH);
    if (units == 0 || units >= MAX_PATH) return 0;
    const std::string path = win32::ToUtf8(std::wstring_view(wide, units));
    if (!win32::CopyWithTerminator(path, buffer, size)) return static_cast<UINT>(path.size() + 1);
    return static_cast<UINT>(path.size());
}

BOOL ExitWindowsEx(UINT flags, DWORD reserved) {
    // Shutting down, restarting and powering off need the shut-down privilege
    // enabled in the process's token; a log-off does not, but asking costs nothing.
    ::HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return 0;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool enabled = ::LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid) &&
                   ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                   ::GetLastError() == ERROR_SUCCESS;  // ERROR_NOT_ALL_ASSIGNED: not held
    ::CloseHandle(token);
    if (!enabled && flags != EWX_LOGOFF && flags != (EWX_LOGOFF | EWX_FORCE)) return 0;
    return ::ExitWindowsEx(flags, reserved) ? 1 : 0;
}

}  // namespace host
