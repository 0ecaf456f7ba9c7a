// One run of v7ctl: the driver handle (opened on first use, closed at the end),
// the station configuration, and the string-table output every verb uses.
#pragma once

#include <string>

#include "host/types.h"
#include "station/StationConfiguration.h"

namespace cli {

// Exit codes shared by every verb.
enum ExitCode : int {
    kOk = 0,
    kFailed = 1,    // the operation ran and failed (or, for test, found a problem)
    kUsage = 2,     // the command line was wrong, or a required --yes was missing
};

class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Opens "\\.\Brakor" unless it is open; false (with message 2011 on
    // stderr) when the drivers cannot be reached.
    bool OpenDriver();
    // The same without a message: for a verb that only asks the drivers
    // when they are there.
    bool TryOpenDriver();
    bool DriverOpen() const { return m_hDriver != host::INVALID_HANDLE_VALUE; }

    StationConfiguration& Configuration() { return m_config; }

    int ExitCode() const { return m_exitCode; }
    void SetExitCode(int code) { m_exitCode = code; }

private:
    host::HANDLE m_hDriver = host::INVALID_HANDLE_VALUE;
    StationConfiguration m_config;
    int m_exitCode = kOk;
};

// The string-table text, or "Fail to load resource N !" as the window shows it.
std::string Text(unsigned stringId);
// One line on stdout; control characters but tabs and line breaks escaped.
void Print(const std::string& line);
void PrintText(unsigned stringId);
// One line on stderr, "v7ctl: " before it, escaped as Print does; returns kFailed.
int Fail(const std::string& line);
int FailText(unsigned stringId);
// A destructive verb run without --yes: says why on stderr; returns kUsage.
int RefuseWithoutYes(const std::string& what);

}  // namespace cli
