// The emulated host's device calls: a device "\\.\Name" is the Unix socket
// <root>/dev/Name served by the station drivers.
#include "host/device.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/emulated/device_client.h"
#include "host/emulated/device_connection.h"
#include "host/emulated/root.h"

namespace host {

namespace {

namespace fs = std::filesystem;
using emulated::DeviceConnection;

std::atomic<std::int64_t> g_replyTimeoutMs{5000};
thread_local emulated::DeviceFault t_lastFault = emulated::DeviceFault::None;

struct OpenDevice {
    std::mutex Lock;  // one call at a time per handle
    DeviceConnection Connection;
    explicit OpenDevice(fs::path socketPath) : Connection(std::move(socketPath)) {}
};

std::mutex g_tableLock;
std::vector<std::shared_ptr<OpenDevice>> g_table;

// Handles are table indices plus one, so they are never 0 or INVALID_HANDLE_VALUE.
HANDLE ToHandle(std::size_t index) { return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(index + 1)); }

std::shared_ptr<OpenDevice> Lookup(HANDLE handle) {
    auto value = reinterpret_cast<std::uintptr_t>(handle);
    std::lock_guard<std::mutex> guard(g_tableLock);
    if (value == 0 || value > g_table.size()) return nullptr;
    return g_table[value - 1];
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// Device names compare without regard to case, as on Windows.
fs::path FindDeviceSocket(const std::string& name) {
    fs::path exact = emulated::DeviceSocketPath(name);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(exact, ec))) return exact;
    for (const auto& entry : fs::directory_iterator(emulated::DeviceDirPath(), ec)) {
        if (EqualNoCase(entry.path().filename().string(), name)) return entry.path();
    }
    return exact;
}

bool ValidDeviceName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos;
}

}  // namespace

namespace emulated {

void SetDeviceReplyTimeout(std::chrono::milliseconds timeout) { g_replyTimeoutMs = timeout.count(); }
std::chrono::milliseconds DeviceReplyTimeout() { return std::chrono::milliseconds(g_replyTimeoutMs.load()); }

DeviceFault LastDeviceFault() { return t_lastFault; }

const char* DescribeDeviceFault(DeviceFault fault) {
    switch (fault) {
    case DeviceFault::None: return "answered";
    case DeviceFault::BadCall: return "were called with a closed handle or an unusable buffer";
    case DeviceFault::Unreachable: return "could not be reached";
    case DeviceFault::Closed: return "closed the connection without a reply";
    case DeviceFault::NoReply: return "sent no reply in time";
    case DeviceFault::Oversized: return "announced a reply over the 4096-byte limit";
    case DeviceFault::Garbled: return "sent bytes that are not a reply";
    }
    return "failed";
}

}  // namespace emulated

HANDLE CreateDeviceFile(const char* path) {
    static const std::string kPrefix = "\\\\.\\";
    if (!path) return kInvalidHandle;
    std::string text(path);
    if (text.compare(0, kPrefix.size(), kPrefix) != 0) return kInvalidHandle;
    std::string name = text.substr(kPrefix.size());
    if (!ValidDeviceName(name)) return kInvalidHandle;

    fs::path socketPath = FindDeviceSocket(name);
    if (socketPath.native().size() > emulated::kMaxSocketPath) {
        std::fprintf(stderr, "v7: device socket path %s is longer than %zu bytes; use a shorter host root (V7_HOST_ROOT)\n",
                     socketPath.c_str(), emulated::kMaxSocketPath);
        return kInvalidHandle;
    }
    auto device = std::make_shared<OpenDevice>(socketPath);
    if (!device->Connection.Connect()) return kInvalidHandle;

    std::lock_guard<std::mutex> guard(g_tableLock);
    auto freeSlot = std::find(g_table.begin(), g_table.end(), nullptr);
    if (freeSlot != g_table.end()) {
        *freeSlot = device;
        return ToHandle(static_cast<std::size_t>(freeSlot - g_table.begin()));
    }
    g_table.push_back(device);
    return ToHandle(g_table.size() - 1);
}

BOOL DeviceIoControl(HANDLE handle, DWORD controlCode, const void* in, DWORD inSize, void* out, DWORD outSize,
                     DWORD* bytesReturned) {
    if (bytesReturned) *bytesReturned = 0;
    t_lastFault = emulated::DeviceFault::BadCall;
    auto device = Lookup(handle);
    if (!device) return 0;
    if (inSize > emulated::device_protocol::kMaxBodySize || (inSize > 0 && !in) || (outSize > 0 && !out)) return 0;

    // The request is built before anything is written, so in and out may share a buffer.
    auto request = emulated::device_protocol::EncodeRequest(controlCode, in, inSize);
    emulated::device_protocol::ReplyHeader header;
    std::vector<std::uint8_t> body;
    {
        std::lock_guard<std::mutex> guard(device->Lock);
        t_lastFault = device->Connection.Exchange(request, &header, &body, emulated::DeviceReplyTimeout());
        if (t_lastFault != emulated::DeviceFault::None) return 0;
    }
    DWORD copied = static_cast<DWORD>(std::min<std::size_t>(body.size(), outSize));
    if (copied > 0) std::memcpy(out, body.data(), copied);
    if (bytesReturned) *bytesReturned = copied;
    return header.Success ? 1 : 0;
}

void SetDeviceTimeout(DWORD milliseconds) { emulated::SetDeviceReplyTimeout(std::chrono::milliseconds(milliseconds)); }

BOOL DeviceCallTimedOut() { return t_lastFault == emulated::DeviceFault::NoReply ? 1 : 0; }

BOOL CloseHandle(HANDLE handle) {
    auto value = reinterpret_cast<std::uintptr_t>(handle);
    std::shared_ptr<OpenDevice> device;
    {
        std::lock_guard<std::mutex> guard(g_tableLock);
        if (value == 0 || value > g_table.size() || !g_table[value - 1]) return 0;
        device = std::move(g_table[value - 1]);
        g_table[value - 1] = nullptr;
    }
    // Waits for a call in progress on another thread before the socket closes.
    std::lock_guard<std::mutex> guard(device->Lock);
    device->Connection.Disconnect();
    return 1;
}

}  // namespace host
