// What the GUI tests' fixture sets up, on Windows and under the names it uses:
// the host is the Wine prefix's registry, whose product key a test gets as
// the installer left it and leaves as it found it; the station drivers are the stand-in driver
// (host/win32/standin), given its own fault words. The installer, not a host
// tool, lays a Windows host down (host/win32/setup/init.sh).
#pragma once

#include <string>
#include <vector>

// The product key kept in the current user's hive while the test runs.
class TempHostRoot {
public:
    TempHostRoot();
    ~TempHostRoot();
    TempHostRoot(const TempHostRoot&) = delete;
    TempHostRoot& operator=(const TempHostRoot&) = delete;
};

// The stand-in driver started afresh (station off) with these fault words;
// afterwards it runs again without faults, as the other tests expect it.
class RunningStationDrivers {
public:
    explicit RunningStationDrivers(std::vector<std::string> faults = {});
    ~RunningStationDrivers();
    RunningStationDrivers(const RunningStationDrivers&) = delete;
    RunningStationDrivers& operator=(const RunningStationDrivers&) = delete;

    bool Started() const { return m_started; }
    // The driver stopped; 0 once it has.
    int Stop();

private:
    bool m_started = false;
};

struct ToolResult {
    int ExitCode;
    std::string Out;
    std::string Err;
};
// There is no host tool on Windows: it fails, saying so.
ToolResult RunHostTool(const std::vector<std::string>& args, const std::string& stdinText = {});
