// The device calls on Windows: the driver's device opened for overlapped I/O,
// so that a control call waits a bounded time and a driver that never answers
// cannot hold the caller for good.
#include "host/device.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>
// <windows.h> names nothing of host/device.h as a macro; its own
// INVALID_HANDLE_VALUE, the same all-bits-set value, stands for the host's below.

namespace host {

namespace {

// How long a control call waits for the driver before it cancels the call.
std::atomic<::DWORD> g_replyTimeoutMs{5000};
// Whether this thread's last control call was given up for want of an answer.
thread_local bool t_timedOut = false;
// How long a cancelled call may take to end. A driver that lets even that
// pass keeps the call's buffers (see LeakedCall).
constexpr ::DWORD kCancelTimeoutMs = 1000;
// The largest request a call sends, as on the emulated host.
constexpr host::DWORD kMaxRequestSize = 4096;

const char kDevicePrefix[] = "\\\\.\\";

// One call in flight: its own buffers and event, so the caller's buffers may
// overlap and are never touched by the kernel after the call returns.
struct PendingCall {
    ::OVERLAPPED Overlapped{};
    std::vector<std::uint8_t> In;
    std::vector<std::uint8_t> Out;
};

// What GetOverlappedResultEx says of a call that has not ended yet.
bool StillRunning(::DWORD error) { return error == WAIT_TIMEOUT || error == ERROR_IO_INCOMPLETE; }

bool ValidDeviceName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos;
}

bool Utf8ToWide(const std::string& text, std::wstring* wide) {
    if (text.empty()) {
        wide->clear();
        return true;
    }
    if (text.size() > static_cast<std::size_t>(INT32_MAX)) return false;
    const int length = static_cast<int>(text.size());
    const int units = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (units <= 0) return false;
    wide->assign(static_cast<std::size_t>(units), L'\0');
    return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, wide->data(), units) == units;
}

}  // namespace

HANDLE CreateDeviceFile(const char* path) {
    if (!path) return INVALID_HANDLE_VALUE;
    const std::string text(path);
    const std::size_t prefix = sizeof kDevicePrefix - 1;
    // Only a device: never a file or a pipe reached through the same call.
    if (text.compare(0, prefix, kDevicePrefix) != 0 || !ValidDeviceName(text.substr(prefix)))
        return INVALID_HANDLE_VALUE;
    std::wstring wide;
    if (!Utf8ToWide(text, &wide)) return INVALID_HANDLE_VALUE;
    return ::CreateFileW(wide.c_str(), 0, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
}

BOOL DeviceIoControl(HANDLE device, DWORD controlCode, const void* in, DWORD inSize, void* out, DWORD outSize,
                     DWORD* bytesReturned) {
    if (bytesReturned) *bytesReturned = 0;
    t_timedOut = false;
    if (!device || device == INVALID_HANDLE_VALUE) {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (inSize > kMaxRequestSize || (inSize > 0 && !in) || (outSize > 0 && !out)) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }

    auto call = std::make_unique<PendingCall>();
    call->Overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!call->Overlapped.hEvent) return 0;
    const auto* inBytes = static_cast<const std::uint8_t*>(in);
    call->In.assign(inBytes, inBytes + inSize);
    call->Out.assign(outSize, 0);

    const ::DWORD code = controlCode;
    ::DWORD got = 0;
    ::BOOL done = ::DeviceIoControl(device, code, inSize ? call->In.data() : nullptr, inSize,
                                    outSize ? call->Out.data() : nullptr, outSize, &got, &call->Overlapped);
    ::DWORD error = done ? ERROR_SUCCESS : ::GetLastError();
    if (!done && error == ERROR_IO_PENDING) {
        done = ::GetOverlappedResultEx(device, &call->Overlapped, &got, g_replyTimeoutMs.load(), FALSE);
        error = done ? ERROR_SUCCESS : ::GetLastError();
        if (!done && StillRunning(error)) {
            ::CancelIoEx(device, &call->Overlapped);
            // An answer that came in as the call was cancelled is still the answer.
            done = ::GetOverlappedResultEx(device, &call->Overlapped, &got, kCancelTimeoutMs, FALSE);
            error = done ? ERROR_SUCCESS : ::GetLastError();
            if (!done && StillRunning(error)) {
                // The call and its event are left to the kernel.
                call.release();
                t_timedOut = true;
                ::SetLastError(ERROR_TIMEOUT);
                return 0;
            }
            if (!done) error = ERROR_TIMEOUT;
        }
    }

    if (done) {
        const ::DWORD copied = got < outSize ? got : outSize;
        if (copied > 0) std::memcpy(out, call->Out.data(), copied);
        if (bytesReturned) *bytesReturned = static_cast<host::DWORD>(copied);
    }
    ::CloseHandle(call->Overlapped.hEvent);
    t_timedOut = !done && error == ERROR_TIMEOUT;
    ::SetLastError(error);
    return done ? 1 : 0;
}

void SetDeviceTimeout(DWORD milliseconds) { g_replyTimeoutMs = milliseconds; }

BOOL DeviceCallTimedOut() { return t_timedOut ? 1 : 0; }

BOOL CloseHandle(HANDLE handle) {
    if (!handle || handle == INVALID_HANDLE_VALUE) {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return ::CloseHandle(handle) ? 1 : 0;
}

}  // namespace host
