// ExitWindowsEx of the emulated host: a request to the station drivers.
#include "host/emulated/exit_windows.h"

#include <cstdint>

#include "host/device.h"
#include "host/system.h"

namespace host {

BOOL ExitWindowsEx(UINT flags, DWORD reserved) {
    if ((flags & ~emulated::kExitWindowsKnownFlags) != 0) return 0;
    HANDLE device = CreateDeviceFile("\\\\.\\Brakor");
    if (device == kInvalidHandle) return 0;
    std::uint8_t request[emulated::kExitWindowsSize] = {};
    for (int i = 0; i < 4; ++i) {
        request[i] = static_cast<std::uint8_t>(flags >> (8 * i));
        request[4 + i] = static_cast<std::uint8_t>(reserved >> (8 * i));
    }
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(device, emulated::kExitWindowsCode, request, sizeof request, request, sizeof request,
                              &returned);
    CloseHandle(device);
    return ok;
}

}  // namespace host
