#include "options/AboutText.h"

#include <cstdio>

#include "host/system.h"
#include "resources/StringTable.h"

namespace options {
namespace {

constexpr unsigned IDS_VERSION = 1304;
constexpr unsigned IDS_VERSION_SUFFIX = 1305;
constexpr unsigned IDS_COPYRIGHT = 1306;
constexpr unsigned IDS_RUNNING_FOR = 1314;

std::string Entry(unsigned id) {
    const char* text = res::FindString(id);
    return text ? text : "";
}

std::string TwoDigits(std::uint64_t value) {
    char digits[24];
    std::snprintf(digits, sizeof digits, "%02llu", static_cast<unsigned long long>(value));
    return digits;
}

// A time span written with a format of %D (whole days), %H (hours of the day),
// %M (minutes of the hour), %S (seconds of the minute), the last three with two
// digits, and %% for a percent sign; anything else is copied as it stands.
std::string FormatTimeSpan(const std::string& format, std::uint64_t seconds) {
    std::string text;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            text += format[i];
            continue;
        }
        switch (format[++i]) {
        case 'D': text += std::to_string(seconds / 86400); break;
        case 'H': text += TwoDigits(seconds / 3600 % 24); break;
        case 'M': text += TwoDigits(seconds / 60 % 60); break;
        case 'S': text += TwoDigits(seconds % 60); break;
        case '%': text += '%'; break;
        default: text += '%'; text += format[i]; break;
        }
    }
    return text;
}

}  // namespace

std::string AboutText(std::uint64_t millisecondsSinceStart) {
    // A 64-bit count: after 49.7 days the running time goes on growing instead
    // of starting again from 0.
    std::string text = "Orvane V7 Version " + Entry(IDS_VERSION) + Entry(IDS_VERSION_SUFFIX) + "\r\n\r\n";
    if (const std::string copyright = Entry(IDS_COPYRIGHT); !copyright.empty()) text += copyright + "\r\n\r\n";
    return text + FormatTimeSpan(Entry(IDS_RUNNING_FOR), millisecondsSinceStart / 1000) + ".";
}

std::string AboutText() { return AboutText(host::GetTickCount64()); }

}  // namespace options
