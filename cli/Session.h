// One run of v7ctl: the driver handle (opened on first use, closed at the end),
// the station configuration, the run's options (--check, --timeout) and its
// exit code.
#pragma once

#include <string>

#include "cli/Output.h"
#include "host/types.h"
#include "station/StationConfiguration.h"

namespace cli {

class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Opens "\\.\Brakor" unless it is open; false (with the drivers-missing
    // text on stderr) when the drivers cannot be reached.
    bool OpenDriver();
    // The same without a message: for a verb that only asks the drivers
    // when they are there.
    bool TryOpenDriver();
    bool DriverOpen() const { return m_hDriver != host::kInvalidHandle; }
    // Opens the device and asks for the main driver, one control call bounded
    // by the timeout: kOk when it answered, kDriversDown or kTimedOut (said on
    // stderr) when not. A driver that does not answer is let go, so the verb's
    // later calls fail at once instead of each waiting out the timeout.
    int ReachDrivers();
    // Whether the main driver is in the drivers' list, as ReachDrivers found it.
    bool MainDriverLoaded() const { return m_mainDriverLoaded; }
    // What ReachDrivers found, as status names it: "running" (the main driver
    // answered), "not-running" (no device) or "not-answering".
    const char* DriversState() const { return m_driversState; }
    // The exit code for a control call the drivers failed: kTimedOut when
    // they gave no answer, kRefused when they said no.
    static int CallFailure();

    StationConfiguration& Configuration() { return m_config; }

    // --check: report what would change and change nothing.
    bool Check() const { return m_check; }
    void SetCheck(bool check) { m_check = check; }
    // --timeout: how long each control call waits for the drivers.
    void SetTimeout(double seconds);
    double TimeoutSeconds() const { return m_timeoutSeconds; }

    int ExitCode() const { return m_exitCode; }
    void SetExitCode(int code) { m_exitCode = code; }

private:
    void CloseDriver();

    host::HANDLE m_hDriver = host::kInvalidHandle;
    StationConfiguration m_config;
    bool m_mainDriverLoaded = false;
    const char* m_driversState = "not-running";
    bool m_check = false;
    double m_timeoutSeconds = 5;
    int m_exitCode = kOk;
};

// A destructive verb run without --yes: says why on stderr; returns kUsage.
int RefuseWithoutYes(const std::string& what);
// Records whether the verb changed something (or, with --check, would).
void ReportChanged(bool changed);

}  // namespace cli
