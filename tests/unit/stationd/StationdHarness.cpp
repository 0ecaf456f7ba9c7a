#include "unit/stationd/StationdHarness.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <thread>

#include "host/device.h"
#include "host/emulated/root.h"
#include "host/registry.h"

namespace stationd_test {

using namespace host;

void SetUpRegistry(bool autoLaunch, const char* defaultUser) {
    HKEY key = nullptr;
    if (RegCreateKey(HKEY_LOCAL_MACHINE, kStationKey, &key) != ERROR_SUCCESS) return;
    BYTE flag = autoLaunch ? 1 : 0;
    RegSetValueEx(key, "AutoLaunch", REG_BINARY, &flag, 1);
    if (defaultUser)
        RegSetValueEx(key, "Default User", REG_SZ, reinterpret_cast<const BYTE*>(defaultUser),
                      static_cast<DWORD>(std::strlen(defaultUser) + 1));
    RegCloseKey(key);
    RegFlushKey(HKEY_LOCAL_MACHINE);
}

RegValue ReadValue(const char* keyPath, const char* name) {
    RegValue value;
    HKEY key = nullptr;
    value.Status = RegOpenKeyEx(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key);
    if (value.Status != ERROR_SUCCESS) return value;
    value.Data.resize(1024);
    DWORD size = static_cast<DWORD>(value.Data.size());
    value.Status = RegQueryValueEx(key, name, &value.Type, value.Data.data(), &size);
    value.Data.resize(value.Status == ERROR_SUCCESS ? size : 0);
    RegCloseKey(key);
    return value;
}

std::string ReadText(const char* key, const char* name) {
    RegValue value = ReadValue(key, name);
    return std::string(reinterpret_cast<const char*>(value.Data.data()),
                       strnlen(reinterpret_cast<const char*>(value.Data.data()), value.Data.size()));
}

namespace {

void Drain(int fd, std::string* into) {
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) into->append(buffer, static_cast<std::size_t>(n));
}

}  // namespace

DaemonExit RunDaemonToExit(const std::vector<std::string>& args, std::chrono::milliseconds timeout) {
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) || pipe2(err, O_CLOEXEC)) return {};
    std::vector<char*> argv{const_cast<char*>(V7_STATIOND_PATH)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        dup2(err[1], 2);
        execv(V7_STATIOND_PATH, argv.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    DaemonExit result;
    int status = 0;
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    Drain(out[0], &result.Out);
    Drain(err[0], &result.Err);
    close(out[0]);
    close(err[0]);
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

std::vector<std::string> StationLogLines() {
    std::ifstream in(host::emulated::StationLogPath());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

Call Control(HANDLE device, DWORD code, std::vector<std::uint8_t> buffer) {
    Call call;
    DWORD returned = 0;
    call.Ok = DeviceIoControl(device, code, buffer.data(), static_cast<DWORD>(buffer.size()), buffer.data(),
                              static_cast<DWORD>(buffer.size()), &returned);
    buffer.resize(returned);
    call.Reply = std::move(buffer);
    return call;
}

std::vector<std::uint8_t> StationRecord(const std::string& name, const std::string& user) {
    std::vector<std::uint8_t> record(68, 0);
    std::memcpy(record.data(), name.data(), std::min<std::size_t>(name.size(), 32));
    std::memcpy(record.data() + 32, user.data(), std::min<std::size_t>(user.size(), 32));
    return record;
}

std::string FieldText(const std::vector<std::uint8_t>& record, std::size_t offset) {
    const char* field = reinterpret_cast<const char*>(record.data() + offset);
    return std::string(field, strnlen(field, std::min<std::size_t>(32, record.size() - offset)));
}

RawClient::RawClient() {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, host::emulated::DeviceSocketPath("Brakor").c_str(), sizeof(addr.sun_path) - 1);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        m_fd = fd;
    } else {
        close(fd);
    }
}

RawClient::~RawClient() { Close(); }

void RawClient::Close() {
    if (m_fd >= 0) close(m_fd);
    m_fd = -1;
}

void RawClient::Send(const std::vector<std::uint8_t>& bytes) {
    if (m_fd >= 0) send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

std::vector<std::uint8_t> RawClient::Receive(std::size_t n, std::chrono::milliseconds timeout) {
    std::vector<std::uint8_t> got;
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (m_fd >= 0 && got.size() < n) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{m_fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        std::uint8_t buffer[4096];
        ssize_t r = recv(m_fd, buffer, std::min(sizeof buffer, n - got.size()), 0);
        if (r <= 0) break;
        got.insert(got.end(), buffer, buffer + r);
    }
    return got;
}

bool RawClient::ClosedByPeer(std::chrono::milliseconds timeout) {
    pollfd p{m_fd, POLLIN, 0};
    if (m_fd < 0 || poll(&p, 1, static_cast<int>(timeout.count())) <= 0) return false;
    std::uint8_t byte;
    return recv(m_fd, &byte, 1, 0) == 0;
}

}  // namespace stationd_test
