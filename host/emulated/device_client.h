// Settings and diagnostics of the emulated host's device client (host/device.h)
// that have no Windows counterpart.
#pragma once

#include <chrono>

namespace host::emulated {

// How long a control call waits for the driver's reply before it fails and
// drops the connection. 5 seconds unless set; tests shorten it.
void SetDeviceReplyTimeout(std::chrono::milliseconds timeout);
std::chrono::milliseconds DeviceReplyTimeout();

// Why a control call failed without an answer from the driver. A call the
// driver answered with a failure is None: it is the driver's "no".
enum class DeviceFault {
    None,
    BadCall,      // a closed handle or a buffer the call cannot use
    Unreachable,  // no driver listening on the device
    Closed,       // the driver closed the connection without replying
    NoReply,      // nothing came back before the reply timeout
    Oversized,    // the reply announced more than the protocol allows
    Garbled,      // the bytes that came back are not a reply
};

// The fault of this thread's last DeviceIoControl.
DeviceFault LastDeviceFault();
// A short phrase for a message: "closed the connection without a reply", ...
const char* DescribeDeviceFault(DeviceFault fault);

}  // namespace host::emulated
