#include "host/emulated/stationd/StationDrivers.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "host/emulated/exit_windows.h"
#include "host/emulated/stationd/ControlCodes.h"
#include "host/emulated/stationd/ShutdownPlay.h"

namespace stationd {

namespace {

ControlReply Failure() { return {}; }

// Drops a trailing partial UTF-8 sequence left by a byte limit.
void TrimPartialCharacter(std::string* text) {
    std::size_t end = text->size();
    std::size_t lead = end;
    while (lead > 0 && (static_cast<unsigned char>((*text)[lead - 1]) & 0xC0) == 0x80) --lead;
    if (lead == 0) return;
    unsigned char first = static_cast<unsigned char>((*text)[lead - 1]);
    std::size_t need = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
    if (end - (lead - 1) < need) text->resize(lead - 1);
}

void PutField(std::vector<std::uint8_t>* record, std::size_t offset, const std::string& text) {
    std::size_t n = std::min(text.size(), kStationTextField - 1);
    std::memcpy(record->data() + offset, text.data(), n);
}

}  // namespace

std::string FieldText(const std::uint8_t* field, std::size_t size) {
    const auto* end = static_cast<const std::uint8_t*>(std::memchr(field, 0, size - 1));
    std::string text(reinterpret_cast<const char*>(field), end ? static_cast<std::size_t>(end - field) : size - 1);
    TrimPartialCharacter(&text);
    return text;
}

StationDrivers::StationDrivers(const Options& options, StationLog& log) : m_options(options), m_log(log) {
    for (const auto& driver : host::emulated::kDrivers)
        if (!options.Without.count(driver.Name)) m_loaded.push_back(&driver);
}

bool StationDrivers::TurnOn(const std::string& user) {
    if (m_options.RefuseOn) return false;
    m_on = true;
    m_user = user.substr(0, kStationTextField - 1);
    TrimPartialCharacter(&m_user);
    m_log.Write("on", m_user);
    return true;
}

bool StationDrivers::TurnOff() {
    if (m_options.RefuseOff) return false;
    m_on = false;
    m_user.clear();
    m_log.Write("off", m_options.StationName);
    return true;
}

std::string StationDrivers::ReportedUser() const {
    if (!m_on) return {};
    return m_options.CurrentUser.empty() ? m_user : m_options.CurrentUser;
}

ControlReply StationDrivers::StationRecordReply() const {
    ControlReply reply{true, std::vector<std::uint8_t>(kStationRecordSize, 0)};
    PutField(&reply.Body, kStationNameOffset, m_options.StationName);
    PutField(&reply.Body, kStationUserOffset, ReportedUser());
    return reply;
}

// A copy of the driver's descriptor block: next-block link, system version,
// device number, version, flags, the 8-byte blank-padded upper-case name.
ControlReply StationDrivers::DriverRecordReply(std::size_t index) const {
    if (index >= m_loaded.size()) return Failure();
    const auto& driver = *m_loaded[index];
    ControlReply reply{true, std::vector<std::uint8_t>(kDriverRecordSize, 0)};
    auto& b = reply.Body;
    b[4] = 0x00;  // system version 4.0
    b[5] = 0x04;
    b[kDriverDeviceNumberOffset] = static_cast<std::uint8_t>(driver.DeviceNumber & 0xFF);
    b[kDriverDeviceNumberOffset + 1] = static_cast<std::uint8_t>(driver.DeviceNumber >> 8);
    const auto version = m_options.Versions.find(driver.Name);
    b[kDriverMajorOffset] = version != m_options.Versions.end() ? version->second.first : driver.Major;
    b[kDriverMinorOffset] = version != m_options.Versions.end() ? version->second.second : driver.Minor;
    std::memset(b.data() + kDriverNameOffset, ' ', kDriverNameSize);
    for (std::size_t i = 0; i < kDriverNameSize && driver.Name[i]; ++i)
        b[kDriverNameOffset + i] = static_cast<std::uint8_t>(std::toupper(static_cast<unsigned char>(driver.Name[i])));
    return reply;
}

bool StationDrivers::Broadcast(const std::vector<std::uint8_t>& buffer) {
    // Delivered only to a station that is on: otherwise nobody would see it.
    if (!m_on || m_options.RefuseMessage) return false;
    const auto* end = static_cast<const std::uint8_t*>(std::memchr(buffer.data(), 0, buffer.size()));
    std::size_t length = end ? static_cast<std::size_t>(end - buffer.data()) : buffer.size();
    m_log.Write("message", std::string(reinterpret_cast<const char*>(buffer.data()), length));
    return true;
}

ControlReply StationDrivers::Handle(std::uint32_t code, const std::vector<std::uint8_t>& body) {
    if (m_poweredOff) return Failure();
    switch (code) {
    case kTurnStationOn: {
        if (body.size() != kStationRecordSize) return Failure();
        if (!TurnOn(FieldText(body.data() + kStationUserOffset, kStationTextField))) return Failure();
        return {true, body};
    }
    case kTurnStationOff:
        if (body.size() != kStationRecordSize || !TurnOff()) return Failure();
        return {true, body};
    case kGetFirstStation:
        if (body.size() != kStationRecordSize) return Failure();
        return StationRecordReply();
    case kGetNextStation:
        // One station: there is never a next one.
        return Failure();
    case kGetFirstDriver:
        if (body.size() != kDriverRecordSize) return Failure();
        return DriverRecordReply(0);
    case kGetNextDriver: {
        if (body.size() != kDriverRecordSize) return Failure();
        auto number = static_cast<std::uint16_t>(body[kDriverDeviceNumberOffset] |
                                                 body[kDriverDeviceNumberOffset + 1] << 8);
        auto it = std::find_if(m_loaded.begin(), m_loaded.end(),
                               [&](const auto* d) { return d->DeviceNumber == number; });
        if (it == m_loaded.end()) return Failure();
        return DriverRecordReply(static_cast<std::size_t>(it - m_loaded.begin()) + 1);
    }
    case kBroadcastMessage:
        if (body.size() != kBroadcastSize || !Broadcast(body)) return Failure();
        return {true, body};
    case host::emulated::kExitWindowsCode:
        return PlayExitWindows(m_options, *this, m_log, body);
    default:
        return Failure();
    }
}

}  // namespace stationd
