// What a test does to the stand-in station driver beyond its device: set its
// fault switches, read back the last broadcast it received, stop and start
// it. Test support only, for a Wine prefix where install.sh put the driver.
#pragma once

#include <string>

namespace standin {

// Replaces the "Faults" value of the driver's service key with UTF-8 words
// separated by blanks (refuse-on, refuse-off, refuse-message, without:NAME,
// pend, hang, short, station:NAME, user:NAME, version:NAME=MAJOR.MINOR; see
// brakor_standin.c); "" leaves no fault. The driver reads it at each request.
bool SetFaults(const std::string& words);

// The bytes of the last broadcast text the driver accepted, before its
// terminator. False when it has kept none since the last ForgetMessage.
bool LastMessage(std::string* text);
bool ForgetMessage();

// Stops or starts the driver's service and waits until it has stopped or
// runs (a few seconds at most). True when it got there.
bool StopDriver();
bool StartDriver();

}  // namespace standin
