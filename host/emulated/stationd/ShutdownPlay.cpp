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
    return flags & host::EWX_REBOOT                             ? "restart"
           : flags & (host::EWX_SHUTDOWN | host::EWX_POWEROFF) ? "shutdown"
                                                               : "logoff";
}

// "flags 6 (restart, force)"
std::string Describe(std::uint32_t flags) {
    std::string what = flags & host::EWX_REBOOT                             ? "restart"
                       : flags & (host::EWX_SHUTDOWN | host::EWX_POWEROFF) ? "shut down"
                                                                           : "log off";
    if (flags & host::EWX_FORCE) what += ", force";
    return "flags " + std::to_string(flags) + " (" + what + ")";
}

// Takes the station down once the programs have ended, and plays a restart.
ControlReply GoDown(const Options& options, StationDrivers& drivers, StationLog& log, std::uint32_t flags,
                    const std::vector<std::uint8_t>& body) {
    if (!(flags & (host::EWX_SHUTDOWN | host::EWX_REBOOT | host::EWX_POWEROFF))) return {true, body};  // log off
    // The station goes down with the host.
    if (drivers.IsOn()) drivers.TurnOff();
    if (flags & host::EWX_REBOOT) {
        log.Write("start", "restart");
        std::string error;
        if (!WriteStartupValues(options, drivers, &error)) log.Write("error", error);
    } else {
        drivers.PowerOff();
    }
    return {true, body};
}

// The rest of a request whose control center is still being ended.
class AfterControlCenter : public LaterReply {
public:
    AfterControlCenter(std::unique_ptr<ControlCenterEnd> end, const Options& options, StationDrivers& drivers,
                       StationLog& log, std::uint32_t flags, std::vector<std::uint8_t> body)
        : m_end(std::move(end)), m_options(options), m_drivers(drivers), m_log(log), m_flags(flags),
          m_body(std::move(body)) {}

    int Fd() const override { return m_end->Fd(); }
    std::chrono::steady_clock::time_point Deadline() const override { return m_end->Deadline(); }
    std::optional<ControlReply> Resume() override {
        m_end->Resume();
        switch (m_end->Current()) {
            case ControlCenterEnd::State::kWaiting: return std::nullopt;
            case ControlCenterEnd::State::kStayed: return ControlReply{};
            case ControlCenterEnd::State::kEnded: break;
        }
        return GoDown(m_options, m_drivers, m_log, m_flags, m_body);
    }

private:
    std::unique_ptr<ControlCenterEnd> m_end;
    const Options& m_options;
    StationDrivers& m_drivers;
    StationLog& m_log;
    std::uint32_t m_flags;
    std::vector<std::uint8_t> m_body;
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

    if (options.KeepPrograms) return GoDown(options, drivers, log, flags, body);
    // Forced, the control center is told to end at once; otherwise it is asked.
    auto end = std::make_unique<ControlCenterEnd>((flags & host::EWX_FORCE) != 0, log);
    switch (end->Current()) {
        case ControlCenterEnd::State::kStayed: return {};
        case ControlCenterEnd::State::kEnded: return GoDown(options, drivers, log, flags, body);
        case ControlCenterEnd::State::kWaiting: break;
    }
    ControlReply later;
    later.Later = std::make_shared<AfterControlCenter>(std::move(end), options, drivers, log, flags, body);
    return later;
}

}  // namespace stationd
