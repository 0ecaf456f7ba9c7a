#include "station/DriverChannel.h"

#include <cstring>
#include <string_view>
#include <utility>

#include "host/device.h"
#include "host/text.h"

namespace {

std::function<host::HANDLE()>& HandleSource() {
    static std::function<host::HANDLE()> source;
    return source;
}

std::function<void()>& DesktopRepaint() {
    static std::function<void()> repaint;
    return repaint;
}

host::HANDLE g_cachedHandle = host::kInvalidHandle;

// One synchronous call with the same buffer in and out. A "success" that did
// not fill the whole buffer is a failure: the buffer holds part of an answer.
host::BOOL Control(host::DWORD code, void* buffer, host::DWORD size) {
    host::DWORD returned = 0;
    const host::BOOL ok = host::DeviceIoControl(GetDriverHandle(), code, buffer, size, buffer, size, &returned);
    return ok && returned == size;
}

}  // namespace

void SetDriverHandleSource(std::function<host::HANDLE()> source) { HandleSource() = std::move(source); }

void SetDesktopRepaint(std::function<void()> repaint) { DesktopRepaint() = std::move(repaint); }

host::HANDLE GetDriverHandle() {
    if (g_cachedHandle != host::kInvalidHandle) return g_cachedHandle;
    // While the application has no open device, ask it again on every call.
    g_cachedHandle = HandleSource() ? HandleSource()() : host::kInvalidHandle;
    return g_cachedHandle;
}

void ResetDriverHandleCache() { g_cachedHandle = host::kInvalidHandle; }

int TurnStationOn(StationRecord* record) {
    if (!Control(IOCTL_V7_TURN_STATION_ON, record, sizeof(StationRecord))) return 1;
    if (DesktopRepaint()) DesktopRepaint()();
    return 0;
}

host::BOOL GetFirstStation(StationRecord* record) {
    return Control(IOCTL_V7_GET_FIRST_STATION, record, sizeof(StationRecord));
}

host::BOOL GetNextStation(StationRecord* record) {
    return Control(IOCTL_V7_GET_NEXT_STATION, record, sizeof(StationRecord));
}

host::BOOL GetFirstDriver(DriverRecord* record) {
    return Control(IOCTL_V7_GET_FIRST_DRIVER, record, sizeof(DriverRecord));
}

host::BOOL GetNextDriver(DriverRecord* record) {
    return Control(IOCTL_V7_GET_NEXT_DRIVER, record, sizeof(DriverRecord));
}

host::BOOL TurnStationOff(StationRecord* record) {
    return Control(IOCTL_V7_TURN_STATION_OFF, record, sizeof(StationRecord));
}

host::BOOL BroadcastMessage(const std::string& text) {
    // The terminator must fit: a longer text is cut before byte 256, never inside a character.
    char buffer[kBroadcastBufferSize] = {};
    std::string_view view(text.c_str());
    std::memcpy(buffer, view.data(), host::CharBoundaryPrefix(view, kBroadcastBufferSize - 1));
    return Control(IOCTL_V7_BROADCAST_MESSAGE, buffer, kBroadcastBufferSize);
}

int IsDriverLoaded(std::uint16_t deviceNumber) {
    DriverRecord record{};
    if (!GetFirstDriver(&record)) return 0;
    for (int seen = 1; seen <= kMaxListRecords; ++seen) {
        if (record.DeviceNumber() == deviceNumber) return 1;
        if (!GetNextDriver(&record)) return 0;
    }
    return 0;
}

void CopyRecordText(char (&field)[32], const std::string& text) {
    std::memset(field, 0, sizeof field);
    std::string_view view(text.c_str());
    std::memcpy(field, view.data(), host::CharBoundaryPrefix(view, sizeof field - 1));
}

std::string RecordText(const char (&field)[32]) {
    // Look at all 32 bytes so a character that would run past byte 31 is left out whole.
    const void* nul = std::memchr(field, 0, sizeof field);
    std::size_t length = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : sizeof field;
    std::string_view all(field, length);
    return std::string(all.substr(0, host::CharBoundaryPrefix(all, sizeof field - 1)));
}
