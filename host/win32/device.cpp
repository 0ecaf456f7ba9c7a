// The driver device through Windows' device calls.
#include "host/device.h"

#include <string>

#include "host/win32/wide.h"
#include "host/win32/win_api.h"

namespace host {

HANDLE CreateDeviceFile(const char* path) {
    std::wstring wide;
    if (!win32::ToWide(path, &wide)) return INVALID_HANDLE_VALUE;
    return ::CreateFileW(wide.c_str(), 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

BOOL DeviceIoControl(HANDLE device, DWORD controlCode, const void* in, DWORD inSize, void* out, DWORD outSize,
                     DWORD* bytesReturned) {
    ::DWORD returned = 0;
    const BOOL done = ::DeviceIoControl(device, controlCode, const_cast<void*>(in), inSize, out, outSize, &returned,
                                        nullptr)
                          ? 1
                          : 0;
    if (bytesReturned) *bytesReturned = returned;
    return done;
}

BOOL CloseHandle(HANDLE handle) { return ::CloseHandle(handle) ? 1 : 0; }

}  // namespace host
