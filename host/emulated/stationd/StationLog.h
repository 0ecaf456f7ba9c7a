// The station log: one line per event, "<ISO time>\t<event>\t<detail>",
// appended and written through at once so a reader never sees half a line.
#pragma once

#include <filesystem>
#include <string>

namespace stationd {

class StationLog {
public:
    explicit StationLog(const std::filesystem::path& path);
    ~StationLog();
    StationLog(const StationLog&) = delete;
    StationLog& operator=(const StationLog&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    // event: start, on, off, message, stop.
    void Write(const std::string& event, const std::string& detail);

private:
    int m_fd = -1;
};

// Control characters and backslashes in a detail are written as escapes
// (\t, \n, \r, \\, \xHH) so a message can never forge or split a log line.
std::string EscapeLogText(const std::string& text);

}  // namespace stationd
