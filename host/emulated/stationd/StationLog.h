// The station log: one line per event, "<ISO time>\t<event>\t<detail>",
// appended and written through at once so a reader never sees half a line.
// Each event also goes to standard error as "<priority><event> <detail>" (the
// syslog priority the journal reads: errors 3, refused requests 4, else 6).
#pragma once

#include <string>

#include "host/emulated/stationd/RootFiles.h"

namespace stationd {

class StationLog {
public:
    // <root>/station.log; when it cannot be opened IsOpen() is false and *error says why.
    StationLog(const RootFiles& root, std::string* error);
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
