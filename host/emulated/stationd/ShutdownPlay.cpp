#include "host/emulated/stationd/ShutdownPlay.h"

#include <memory>
#include <optional>
#include <string>

#include "host/emulated/exit_windows.h"
#include "host/emulated/stationd/ControlCenterEnd.h"
#include "host/emulated/stationd/StartupValues.h"
#include "host/system.h"

namespace stationd {
namespace {

namespace emulated = host::emulated;

std::uint32_t ReadU32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

const char* Kind(std::uint32_t flags) {
    return flags & host::kExitReboot                             ? "restart"
           : flags & (host::kExitShutdown | host::kExitPowerOff) ? "shutdown"
                                                               : "logoff";
}

// "flags 6 (restart, force)"
std::string Describe(std::uint32_t flags) {
    std::string what = flags & host::kExitReboot                             ? "restart"
                       : flags & (host::kExitShutdown | host::kExitPowerOff) ? "shut down"
                                                                           : "log off";
    if (flags & host::kExitForce) what += ", force";
    return "flags " + std::to_string(flags) + " (" + what + ")";
}

// Takes the station down once the programs have ended, and plays a restart.
void GoDown(const Options& options, StationDrivers& drivers, StationLog& log, std::uint32_t flags) {
    if (!(flags & (host::kExitShutdown | host::kExitReboot | host::kExitPowerOff))) return;  // log off
    // The station goes down with the host.
    if (drivers.IsOn()) drivers.TurnOff();
    if (flags & host::kExitReboot) {
        log.Write("start", "restart");
        std::string error;
        if (!WriteStartupValues(options, drivers, &error)) log.Write("error", error);
    } else {
        drivers.PowerOff();
    }
}

// The rest of a request whose control center is still ending.
class AfterControlCenter : public LaterWork {
public:
    AfterControlCenter(std::unique_ptr<ControlCenterEnd> end, const Options& options, StationDrivers& drivers,
                       StationLog& log, std::uint32_t flags)
        : m_end(std::move(end)), m_options(options), m_drivers(drivers), m_log(log), m_flags(flags) {}

    int Fd() const override { return m_end->Fd(); }
    std::chrono::steady_clock::time_point Deadline() const override { return m_end->Deadline(); }
    bool Resume() override {
        m_end->Resume();
        if (m_end->Current() == ControlCenterEnd::State::kWaiting) return false;
        // A program that stayed stops the session's end, as a program that refuses it does.
        if (m_end->Current() == ControlCenterEnd::State::kEnded) GoDown(m_options, m_drivers, m_log, m_flags);
        return true;
    }

private:
    std::unique_ptr<ControlCenterEnd> m_end;
    const Options& m_options;
    StationDrivers& m_drivers;
    StationLog& m_log;
    std::uint32_t m_flags;
};

}  // namespace

ControlReply PlayExitWindows(const Options& options, StationDrivers& drivers, StationLog& log,
                             const std::vector<std::uint8_t>& body) {
    if (body.size() != emulated::kExitWindowsSize || drivers.PoweredOff()) return {};
    const std::uint32_t flags = ReadU32(body.data());
    if ((flags & ~emulated::kExitWindowsKnownFlags) != 0) return {};
    if (options.RefuseShutdown) {
        log.Write("refused", Describe(flags));
        return {};
    }
    log.Write(Kind(flags), Describe(flags));

    // As ExitWindowsEx, the request is answered once it is under way: the
    // control center may be the caller, and it can only end once answered.
    if (options.KeepPrograms) {
        GoDown(options, drivers, log, flags);
        return {true, body};
    }
    // Forced, the control center is told to end at once; otherwise it is asked.
    auto end = std::make_unique<ControlCenterEnd>((flags & host::kExitForce) != 0, log);
    ControlReply reply(end->Current() != ControlCenterEnd::State::kStayed, body);
    if (end->Current() == ControlCenterEnd::State::kEnded) GoDown(options, drivers, log, flags);
    if (end->Current() == ControlCenterEnd::State::kWaiting)
        reply.Then = std::make_shared<AfterControlCenter>(std::move(end), options, drivers, log, flags);
    return reply;
}

}  // namespace stationd
