// A fresh emulated host root for one test: a temporary directory that the
// process's host layer points at, removed afterwards.
#pragma once

#include <sys/un.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

class TempHostRoot {
public:
    TempHostRoot();
    ~TempHostRoot();
    TempHostRoot(const TempHostRoot&) = delete;
    TempHostRoot& operator=(const TempHostRoot&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// A fresh root laid down by "v7-host init"; throws (failing the test) when that fails.
class InitializedHostRoot : public TempHostRoot {
public:
    InitializedHostRoot();
};

// Runs v7-stationd on the current host root for the life of the object; waits
// until its device socket answers. Extra arguments are its fault switches; a
// file limit caps its open files.
class RunningStationDrivers {
public:
    explicit RunningStationDrivers(std::vector<std::string> args = {}, unsigned fileLimit = 0);
    ~RunningStationDrivers();
    RunningStationDrivers(const RunningStationDrivers&) = delete;
    RunningStationDrivers& operator=(const RunningStationDrivers&) = delete;

    bool Started() const { return m_pid > 0; }
    // SIGTERM and wait; returns the exit status.
    int Stop();
    int Pid() const { return m_pid; }

private:
    int m_pid = -1;
};

// The station log's lines (the drivers' events) without their time stamps.
std::vector<std::string> StationLogEvents();

// How many lines a text has: a message must be told in exactly one.
inline int LineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

// A file's bytes, "" when it cannot be read.
std::string FileBytes(const std::filesystem::path& file);

// The Unix-domain address of a socket file.
sockaddr_un UnixAddress(const std::filesystem::path& socketFile);

// The login name the host layer reports, "" when it cannot tell.
std::string LoginName();

// Runs v7-host with the arguments on the current host root; captures stdout and
// stderr; returns the exit code.
struct ToolResult {
    int ExitCode;
    std::string Out;
    std::string Err;
};
ToolResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::string& stdinText = {});
ToolResult RunHostTool(const std::vector<std::string>& args, const std::string& stdinText = {});
// v7ctl, likewise (in the test programs that are built with it).
ToolResult RunV7ctl(const std::vector<std::string>& args, const std::string& stdinText = {});
