// What the main driver answers to each control code: the one station's on/off
// state and user, the station list, the loaded-driver list and broadcasts.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/emulated/driver_catalog.h"
#include "host/emulated/stationd/Options.h"
#include "host/emulated/stationd/StationLog.h"

namespace stationd {

class LaterReply;

struct ControlReply {
    ControlReply() = default;
    ControlReply(bool success, std::vector<std::uint8_t> body) : Success(success), Body(std::move(body)) {}

    bool Success = false;
    std::vector<std::uint8_t> Body;  // empty on failure
    // Set when the answer must wait for something outside the daemon; the
    // device server then waits for it in its event loop, not in the call.
    std::shared_ptr<LaterReply> Later;
};

// An answer that comes later: the server watches Fd() (readable: ready) until
// Deadline() and then calls Resume(), which gives the reply or, empty, asks to
// be watched again.
class LaterReply {
public:
    virtual ~LaterReply() = default;
    virtual int Fd() const = 0;
    virtual std::chrono::steady_clock::time_point Deadline() const = 0;
    virtual std::optional<ControlReply> Resume() = 0;
};

class StationDrivers {
public:
    StationDrivers(const Options& options, StationLog& log);

    // A control call. An unknown code or a size the code does not use fails.
    ControlReply Handle(std::uint32_t code, const std::vector<std::uint8_t>& body);

    // Turns the station on with the user (cut to 31 bytes); false when refused.
    bool TurnOn(const std::string& user);
    bool TurnOff();
    bool IsOn() const { return m_on; }
    // The user the station was turned on with.
    const std::string& User() const { return m_user; }
    // The user the station list reports: empty while the station is off.
    std::string ReportedUser() const;
    // After a shut down of the host the drivers answer nothing and stop.
    void PowerOff() { m_poweredOff = true; }
    bool PoweredOff() const { return m_poweredOff; }

private:
    ControlReply StationRecordReply() const;
    ControlReply DriverRecordReply(std::size_t index) const;
    bool Broadcast(const std::vector<std::uint8_t>& buffer);

    const Options& m_options;
    StationLog& m_log;
    std::vector<const host::emulated::DriverInfo*> m_loaded;
    bool m_on = false;
    bool m_poweredOff = false;
    std::string m_user;
};

// Text of a NUL-terminated record field: at most size-1 bytes, never ending
// inside a UTF-8 character.
std::string FieldText(const std::uint8_t* field, std::size_t size);

}  // namespace stationd
