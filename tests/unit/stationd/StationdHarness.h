// Helpers for driving the real station drivers on a fresh host root.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "host/types.h"

namespace stationd_test {

inline constexpr const char* kStationKey = "Software\\Halvorn\\Orvane\\Setup\\Station1";
inline constexpr const char* kBoardKey = "Software\\Halvorn\\Orvane\\Setup\\Board1";

// Makes the current root's registry as an installer would: the station key,
// with AutoLaunch (1 byte) and Default User when given.
void SetUpRegistry(bool autoLaunch = false, const char* defaultUser = nullptr);

struct RegValue {
    host::LONG Status = -1;
    host::DWORD Type = 0;
    std::vector<std::uint8_t> Data;
};
RegValue ReadValue(const char* key, const char* name);
// The value as text up to its first NUL.
std::string ReadText(const char* key, const char* name);

// Runs v7-stationd until it exits on its own (at most the timeout, then killed).
struct DaemonExit {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};
DaemonExit RunDaemonToExit(const std::vector<std::string>& args,
                           std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

std::vector<std::string> StationLogLines();

// One control call on a device handle: the success flag and the reply bytes.
struct Call {
    host::BOOL Ok = 0;
    std::vector<std::uint8_t> Reply;
};
Call Control(host::HANDLE device, host::DWORD code, std::vector<std::uint8_t> buffer);
std::vector<std::uint8_t> StationRecord(const std::string& name, const std::string& user);
std::string FieldText(const std::vector<std::uint8_t>& record, std::size_t offset);

// A raw socket to the device, for frames the client library would never send.
class RawClient {
public:
    RawClient();
    ~RawClient();
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool Connected() const { return m_fd >= 0; }
    void Send(const std::vector<std::uint8_t>& bytes);
    void Close();
    // Reads exactly n bytes; fewer when the daemon closes or the time runs out.
    std::vector<std::uint8_t> Receive(std::size_t n, std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));
    // True when the daemon has closed the connection (end of stream).
    bool ClosedByPeer(std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));

private:
    int m_fd = -1;
};

}  // namespace stationd_test
