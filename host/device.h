// Device I/O: the station drivers are reached as the device "\\.\Brakor".
#pragma once

#include "host/types.h"

namespace host {

// Opens a device by its Windows path ("\\.\Name"), as CreateFile with no access
// rights, no sharing and OPEN_EXISTING. INVALID_HANDLE_VALUE when it cannot be opened.
HANDLE CreateDeviceFile(const char* path);

// One synchronous control call. in and out may be the same buffer. Returns
// nonzero on success; a driver that does not answer within the device timeout fails.
BOOL DeviceIoControl(HANDLE device, DWORD controlCode, const void* in, DWORD inSize, void* out,
                     DWORD outSize, DWORD* bytesReturned);

// How long each control call waits for the driver's answer: 5000 ms unless set.
void SetDeviceTimeout(DWORD milliseconds);
// Whether this thread's last control call failed because the driver gave no
// answer within the device timeout (rather than answering "no").
BOOL DeviceCallTimedOut();

BOOL CloseHandle(HANDLE handle);

}  // namespace host
