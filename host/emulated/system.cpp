// System services of the emulated host.
#include "host/system.h"

#include <pwd.h>
#include <time.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

namespace host {

namespace {

// The account the process runs as, from the password database: it is what
// decides whose files the process may touch, whereas $USER is only a hint
// that su, sudo or a service manager may leave stale or unset.
std::string LoginName() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name)
        return found->pw_name;
    return {};
}

UINT CopyOut(const std::string& text, char* buffer, UINT size) {
    if (!buffer || size < text.size() + 1) return static_cast<UINT>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<UINT>(text.size());
}

}  // namespace

BOOL GetAccountName(char* buffer, DWORD* size) {
    if (!size) return 0;
    std::string name = LoginName();
    if (name.empty()) return 0;
    if (!buffer || *size < name.size() + 1) {
        *size = static_cast<DWORD>(name.size() + 1);  // the size needed
        return 0;
    }
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    *size = static_cast<DWORD>(name.size() + 1);
    return 1;
}

ULONGLONG GetTickCount64() {
    // The boot-time clock counts time spent suspended too, as the tick count
    // does on Windows; the monotonic clock would stop while the machine sleeps.
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<ULONGLONG>(now.tv_sec) * 1000u + static_cast<ULONGLONG>(now.tv_nsec) / 1000000u;
}

DWORD GetTickCount() {
    return static_cast<DWORD>(GetTickCount64());  // wraps after about 49.7 days, as on Windows
}

UINT GetWindowsFolder(char* buffer, UINT size) { return CopyOut("C:\\WINDOWS", buffer, size); }

}  // namespace host
