// What the main driver answers to each control code: the one station's on/off
// state and user, the station list, the loaded-driver list and broadcasts.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/emulated/driver_catalog.h"
#include "host/emulated/stationd/Options.h"
#include "host/emulated/stationd/StationLog.h"

namespace stationd {

class LaterWork;

struct ControlReply {
    ControlReply() = default;
    ControlReply(bool success, std::vector<std::uint8_t> body) : Success(success), Body(std::move(body)) {}

    bool Success = false;
    std::vector<std::uint8_t> Body;  // empty on failure
    // What the request still does after its reply, when it must wait for
    // something outside the daemon: the device server resumes it from its
    // event loop, so no client waits for it.
    std::shared_ptr<LaterWork> Then;
};

// Work that waits: the server watches Fd() (readable: ready) until Deadline()
// and then calls Resume(), which says whether the work is done.
class LaterWork {
public:
    virtual ~LaterWork() = default;
    virtual int Fd() const = 0;
    virtual std::chrono::steady_clock::time_point Deadline() const = 0;
    virtual bool Resume() = 0;
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
