#include "unit/stationd/StationdHarness.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <cstdio>
#include <iterator>

#include "host/emulated/root.h"

namespace stationd_test {

void SetUpRegistry(bool autoLaunch, const char* defaultUser) {
    regtest::Store(kStationKey, "AutoLaunch", host::kRegBinary, {static_cast<host::BYTE>(autoLaunch)});
    if (defaultUser) regtest::StoreText(kStationKey, "Default User", defaultUser);
    host::FlushRegKey(host::kLocalMachine);
}

DaemonExit RunDaemonToExit(const std::vector<std::string>& args, std::vector<std::string> command) {
    command.insert(command.begin(), {"-s", "KILL", "5"});
    command.push_back(V7_STATIOND_PATH);
    command.insert(command.end(), args.begin(), args.end());
    return RunProgram("/usr/bin/timeout", command);
}

Call Control(host::HANDLE device, host::DWORD code, Bytes buffer) {
    Call call;
    host::DWORD returned = 0;
    auto size = static_cast<host::DWORD>(buffer.size());
    call.Ok = host::DeviceIoControl(device, code, buffer.data(), size, buffer.data(), size, &returned);
    buffer.resize(returned);
    call.Reply = std::move(buffer);
    return call;
}

Bytes StationRecord(const std::string& name, const std::string& user) {
    Bytes record(68, 0);
    std::memcpy(record.data(), name.data(), std::min<std::size_t>(name.size(), 32));
    std::memcpy(record.data() + 32, user.data(), std::min<std::size_t>(user.size(), 32));
    return record;
}

std::string FieldText(const Bytes& record, std::size_t offset) {
    if (record.size() < offset + 32) return "";
    const char* field = reinterpret_cast<const char*>(record.data() + offset);
    return std::string(field, strnlen(field, 32));
}

std::string StationUser(host::HANDLE device) { return FieldText(Control(device, kFirstStation, Bytes(68)).Reply, 32); }

RawClient::RawClient() {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_un addr = UnixAddress(host::emulated::DeviceSocketPath("Brakor"));
    timeval wait{3, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0)
        m_fd = fd;
    else
        close(fd);
}

void RawClient::Close() {
    if (m_fd >= 0) close(m_fd);
    m_fd = -1;
}

void RawClient::Send(const Bytes& bytes) {
    if (m_fd >= 0) send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

void RawClient::ShutdownWrite() {
    if (m_fd >= 0) shutdown(m_fd, SHUT_WR);
}

Bytes RawClient::Receive(std::size_t n) {
    Bytes got(n);
    ssize_t r = m_fd < 0 ? -1 : recv(m_fd, got.data(), n, MSG_WAITALL);
    got.resize(r > 0 ? static_cast<std::size_t>(r) : 0);
    return got;
}

bool RawClient::ClosedByPeer() {
    std::uint8_t byte;
    return m_fd >= 0 && recv(m_fd, &byte, 1, 0) == 0;
}

milliseconds CpuTime(int pid) {
    // utime and stime: fields 14 and 15 of /proc/<pid>/stat, counted from after the command name.
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), {});
    unsigned long user = 0, system = 0;
    std::sscanf(stat.c_str() + stat.rfind(')') + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user, &system);
    return milliseconds((user + system) * 1000 / sysconf(_SC_CLK_TCK));
}

}  // namespace stationd_test
