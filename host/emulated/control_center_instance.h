// How the control center of a host root is found: the lock it holds on
// <root>/instance.lock while it runs, the socket it listens on beside it, and
// the requests that socket takes. The program itself takes the lock; the
// station drivers use the same checks to find the program they may end.
#pragma once

#include <filesystem>
#include <string>

namespace host::emulated {

// The control center's program file name: a process is only taken for the
// control center when it runs this program.
inline constexpr const char kControlCenterProgram[] = "orvane-v7";
// The socket the running control center listens on, under the host root.
inline constexpr const char kControlCenterEndpointName[] = "instance.sock";

// Requests the control center takes on its socket, each on its own connection.
inline constexpr const char kActivateRequest[] = "Activate\n";
// The session ends: "forced" ends the program at once, "normal" as a session
// end does (its dialogs closed as cancelled, then the main window).
inline constexpr const char kEndSessionForced[] = "end-session forced\n";
inline constexpr const char kEndSessionNormal[] = "end-session normal\n";

// Opens <root>/instance.lock (created 0600 when create is set) without
// following a link and without waiting on a FIFO. Only a regular file with one
// link, owned by this user, is accepted; -1 with one line in *problem otherwise.
int OpenControlCenterLock(const std::filesystem::path& root, bool create, std::string* problem);

enum class LockTaken { kHeld, kByAnother, kFailed };
// Takes the lock on the opened file; kFailed with one line in *problem.
LockTaken TakeControlCenterLock(int fd, const std::filesystem::path& root, std::string* problem);

// The process holding the lock on the opened file, or 0 when none does.
int ControlCenterLockHolder(int fd);

}  // namespace host::emulated
