// How a request to end the session reaches the emulated host's station drivers.
//
// It is not one of the main driver's seven control codes: it stands for the
// operating system, which the emulated host does not have. ExitWindowsEx sends
// it on its own connection to \\.\Brakor:
//   request: code kExitWindowsCode, 8 bytes: flags (u32), reserved (u32)
//   reply:   success flag, the same 8 bytes
// The drivers log it, end the running control center of the host root (see
// host/emulated/control_center_instance.h) and, for a restart, play their
// start-up again; for a shut down they turn the station off and stop serving.
#pragma once

#include <cstddef>
#include <cstdint>

namespace host::emulated {

constexpr std::uint32_t kExitWindowsCode = 0x7E570001;
constexpr std::size_t kExitWindowsSize = 8;
// The flags the emulated host knows (EWX_SHUTDOWN, _REBOOT, _FORCE, _POWEROFF).
constexpr std::uint32_t kExitWindowsKnownFlags = 0x0F;

}  // namespace host::emulated
