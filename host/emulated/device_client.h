// Settings of the emulated host's device client (host/device.h) that have no
// Windows counterpart.
#pragma once

#include <chrono>

namespace host::emulated {

// How long a control call waits for the driver's reply before it fails and
// drops the connection. 5 seconds unless set; tests shorten it.
void SetDeviceReplyTimeout(std::chrono::milliseconds timeout);
std::chrono::milliseconds DeviceReplyTimeout();

}  // namespace host::emulated
