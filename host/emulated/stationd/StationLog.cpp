#include "host/emulated/stationd/StationLog.h"

#include <fcntl.h>
#include <systemd/sd-daemon.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

namespace stationd {

StationLog::StationLog(const RootFiles& root, std::string* error) {
    m_fd = root.OpenInRoot("station.log", O_WRONLY | O_APPEND, error);
}

StationLog::~StationLog() {
    if (m_fd >= 0) close(m_fd);
}

std::string EscapeLogText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\\': out += "\\\\"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char hex[5];
                std::snprintf(hex, sizeof hex, "\\x%02X", c);
                out += hex;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out;
}

namespace {

// Standard error carries each event too, with its syslog priority in front, so
// the service manager's journal shows the drivers' events at their priority.
void Tell(const std::string& event, const std::string& detail) {
    const bool failed = event == "error" || (event == "stop" && detail == "error");
    const char* priority = failed ? SD_ERR : event == "refused" ? SD_WARNING : SD_INFO;
    std::fprintf(stderr, "%s%s %s\n", priority, event.c_str(), EscapeLogText(detail).c_str());
    std::fflush(stderr);
}

}  // namespace

void StationLog::Write(const std::string& event, const std::string& detail) {
    Tell(event, detail);
    if (m_fd < 0) return;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm utc{};
    gmtime_r(&now.tv_sec, &utc);
    char stamp[32];
    std::size_t used = std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &utc);
    std::snprintf(stamp + used, sizeof stamp - used, ".%03dZ", static_cast<int>(now.tv_nsec / 1000000));
    std::string line = std::string(stamp) + "\t" + event + "\t" + EscapeLogText(detail) + "\n";
    // One write per line on an O_APPEND file: lines never interleave.
    std::size_t done = 0;
    while (done < line.size()) {
        ssize_t n = write(m_fd, line.data() + done, line.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace stationd
