// "drivers" and "stations": the two lists the main station driver keeps,
// walked through the device as the control center walks them.
#include <cstdio>
#include <cstring>
#include <ostream>

#include "host/device.h"
#include "host/emulated/device_client.h"
#include "host/emulated/driver_catalog.h"
#include "host/emulated/hosttool/Commands.h"
#include "host/emulated/hosttool/ToolError.h"
#include "host/text.h"
#include "station/DriverChannel.h"

namespace hosttool {
namespace {

constexpr const char* kDevicePath = "\\\\.\\Brakor";

class Device {
public:
    Device() : m_handle(host::CreateDeviceFile(kDevicePath)) {
        if (m_handle == host::kInvalidHandle)
            throw ToolError("the station drivers are not running (no device \\\\.\\Brakor)");
    }
    ~Device() { host::CloseHandle(m_handle); }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // One record of a list: the first or the next after the one in the buffer.
    // False when the driver says there is none; a call that got no proper
    // answer is an error, so a broken driver never looks like a short list.
    template <typename Record>
    bool Call(host::DWORD code, Record* record, const char* what) {
        host::DWORD returned = 0;
        bool ok = host::DeviceIoControl(m_handle, code, record, sizeof(Record), record, sizeof(Record), &returned) != 0;
        auto fault = host::emulated::LastDeviceFault();
        if (fault != host::emulated::DeviceFault::None)
            throw ToolError(std::string("reading the ") + what + " list failed: the station drivers " +
                            host::emulated::DescribeDeviceFault(fault));
        if (ok && returned != sizeof(Record))
            throw ToolError(std::string("reading the ") + what + " list failed: the station drivers sent a " +
                            std::to_string(returned) + "-byte record instead of " + std::to_string(sizeof(Record)));
        return ok;
    }

private:
    host::HANDLE m_handle;
};

// Walks a list with its first and next codes; a list that does not end within
// kMaxListRecords is reported after what was read has been printed.
template <typename Record, typename Print>
void Walk(host::DWORD firstCode, host::DWORD nextCode, const char* what, Print print) {
    Device device;
    Record record{};
    bool more = device.Call(firstCode, &record, what);
    for (int count = 0; more; ++count) {
        if (count == kMaxListRecords)
            throw ToolError(std::string("the ") + what + " list did not end after " +
                            std::to_string(kMaxListRecords) + " records");
        print(record);
        more = device.Call(nextCode, &record, what);
    }
}

const char* DriverName(std::uint16_t deviceNumber) {
    for (const auto& driver : host::emulated::kDrivers)
        if (driver.DeviceNumber == deviceNumber) return driver.Name;
    return "(unknown)";
}

}  // namespace

void ListDrivers(std::ostream& out) {
    Walk<DriverRecord>(IOCTL_V7_GET_FIRST_DRIVER, IOCTL_V7_GET_NEXT_DRIVER, "driver", [&](const DriverRecord& r) {
        char line[64];
        std::snprintf(line, sizeof line, "%-10s 0x%04X  %u.%02u\n", DriverName(r.DeviceNumber()), r.DeviceNumber(),
                      r.MajorVersion(), r.MinorVersion());
        out << line << std::flush;
    });
}

void ListStations(std::ostream& out) {
    Walk<StationRecord>(IOCTL_V7_GET_FIRST_STATION, IOCTL_V7_GET_NEXT_STATION, "station", [&](const StationRecord& r) {
        std::string name = host::TerminalText(RecordText(r.Name));
        std::string user = host::TerminalText(RecordText(r.UserName));
        if (name.size() < 16) name.resize(16, ' ');
        out << name << ' ' << (user.empty() ? "(off)" : user) << '\n' << std::flush;
    });
}

}  // namespace hosttool
