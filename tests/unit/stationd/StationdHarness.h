// The real station drivers on a fresh host root, reached through the device
// client or through a raw socket for frames the client would never send.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/device.h"
#include "support/RegistryTestUtil.h"
#include "support/TempHostRoot.h"

namespace stationd_test {

using Bytes = std::vector<std::uint8_t>;
using std::chrono::milliseconds;

// Written out, not taken from the daemon's headers, so a change on both sides is still caught.
constexpr host::DWORD kOn = 0x220802, kFirstStation = 0x220803, kNextStation = 0x220804, kFirstDriver = 0x22080A,
                      kNextDriver = 0x22080B, kOff = 0x22080C, kBroadcast = 0x22080D;
inline const std::string kStationKey = "Software\\Halvorn\\Orvane\\Setup\\Station1";
inline const std::string kBoardKey = "Software\\Halvorn\\Orvane\\Setup\\Board1";

// The registry as an installer leaves it: the station key, AutoLaunch (1 byte), Default User when given.
void SetUpRegistry(bool autoLaunch = false, const char* defaultUser = nullptr);

// Runs v7-stationd until it exits on its own (killed after 5 s); a wrapper
// command (e.g. one that changes the user) goes before it.
using DaemonExit = ToolResult;
DaemonExit RunDaemonToExit(const std::vector<std::string>& args, std::vector<std::string> wrapper = {});

struct Call {
    host::BOOL Ok = 0;
    Bytes Reply;
};
// One control call with the buffer as both input and output.
Call Control(host::HANDLE device, host::DWORD code, Bytes buffer);
Bytes StationRecord(const std::string& name, const std::string& user);
std::string FieldText(const Bytes& record, std::size_t offset);
inline int DeviceNumber(const Bytes& record) { return record[6] | record[7] << 8; }
// The user field of the station list's first record.
std::string StationUser(host::HANDLE device);

// A raw socket to the device; each read waits at most 3 s.
class RawClient {
public:
    RawClient();
    ~RawClient() { Close(); }

    bool Connected() const { return m_fd >= 0; }
    void Send(const Bytes& bytes);
    void Close();
    // Ends the sending side only: the daemon reads end of input.
    void ShutdownWrite();
    // Exactly n bytes; fewer when the daemon closes or the time runs out.
    Bytes Receive(std::size_t n);
    bool ClosedByPeer();

private:
    int m_fd = -1;
};

// User plus system CPU time a process has used so far.
milliseconds CpuTime(int pid);

}  // namespace stationd_test

// A fresh root with its registry, the daemon on it and one open device handle.
class StationdTest : public ::testing::Test {
protected:
    void Start(std::vector<std::string> args = {}, bool autoLaunch = false, const char* defaultUser = nullptr) {
        stationd_test::SetUpRegistry(autoLaunch, defaultUser);
        m_daemon = std::make_unique<RunningStationDrivers>(std::move(args));
        ASSERT_TRUE(m_daemon->Started());
        m_device = host::CreateDeviceFile("\\\\.\\Brakor");
        ASSERT_NE(m_device, host::kInvalidHandle);
    }
    // Closes the handle and stops the daemon; a table's next case starts again.
    void TearDown() override {
        if (m_device != host::kInvalidHandle) host::CloseHandle(m_device);
        m_device = host::kInvalidHandle;
        m_daemon.reset();
    }
    stationd_test::Call Control(host::DWORD code, stationd_test::Bytes buffer) {
        return stationd_test::Control(m_device, code, std::move(buffer));
    }

    TempHostRoot m_root;
    std::unique_ptr<RunningStationDrivers> m_daemon;
    host::HANDLE m_device = host::kInvalidHandle;
};
