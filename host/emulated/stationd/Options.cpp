#include "host/emulated/stationd/Options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>

#include "host/emulated/driver_catalog.h"
#include "host/emulated/stationd/ControlCodes.h"

namespace stationd {

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The catalog's spelling of a driver name given in any case; empty if unknown.
std::string CatalogName(const std::string& name) {
    for (const auto& driver : host::emulated::kDrivers)
        if (Lower(driver.Name) == Lower(name)) return driver.Name;
    return {};
}

bool ParseByte(std::string_view text, std::uint8_t* value) {
    unsigned number = 256;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (ec != std::errc() || end != text.data() + text.size() || number > 255) return false;
    *value = static_cast<std::uint8_t>(number);
    return true;
}

// "Tilvex=2.19": the driver and the version bytes its loaded record carries.
bool ParseDriverVersion(const std::string& value, Options* options) {
    const auto equals = value.find('=');
    const auto dot = value.find('.', equals == std::string::npos ? 0 : equals);
    if (equals == std::string::npos || dot == std::string::npos) return false;
    const std::string name = CatalogName(value.substr(0, equals));
    std::uint8_t major = 0, minor = 0;
    const std::string_view text = value;
    if (name.empty() || !ParseByte(text.substr(equals + 1, dot - equals - 1), &major) ||
        !ParseByte(text.substr(dot + 1), &minor))
        return false;
    options->Versions[name] = {major, minor};
    return true;
}

bool FitsRecordField(const std::string& text) { return !text.empty() && text.size() < kStationTextField; }

}  // namespace

const char* UsageText() {
    return "usage: v7-stationd [--root PATH] [switches]\n"
           "The station drivers of the emulated host: serves the device \\\\.\\Brakor on\n"
           "<root>/dev/Brakor for the host root PATH, else the one named by V7_HOST_ROOT,\n"
           "else the default root (the system-wide one for root).\n"
           "Runs in the foreground until SIGTERM or SIGINT, or until the host shuts down.\n"
           "\n"
           "Fault switches:\n"
           "  --refuse-on            turn-on calls fail\n"
           "  --refuse-off           turn-off calls fail\n"
           "  --refuse-message       broadcast messages fail\n"
           "  --refuse-shutdown      requests to shut down or restart fail\n"
           "  --keep-programs        a shut down or restart ends no control center (for\n"
           "                         tests that run the control center in their own process)\n"
           "  --without NAME         leave a driver out of the loaded list (repeatable;\n"
           "                         Brakor, Quorel, Tilvex, Dunvek or Vflatd, any case)\n"
           "  --driver-version NAME=MAJOR.MINOR\n"
           "                         the loaded version a driver reports, each 0 to 255\n"
           "                         (repeatable; for example Tilvex=2.19)\n"
           "  --init-zero WHICH      write the init value as 0 (repeatable; base, keyboard, mouse)\n"
           "  --slow MS              delay every reply by MS milliseconds (0 to 60000)\n"
           "  --station-name NAME    the station's name in the station list (default Station1)\n"
           "  --current-user NAME    the user the station list reports while the station is on\n"
           "  --version              print the version\n"
           "  --help                 this text\n";
}

bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& flag = args[i];
        auto needValue = [&](std::string* value) {
            if (i + 1 >= args.size()) {
                *error = flag + " needs a value";
                return false;
            }
            *value = args[++i];
            return true;
        };
        std::string value;
        if (flag == "--help" || flag == "-h") {
            options->Help = true;
        } else if (flag == "--version") {
            options->Version = true;
        } else if (flag == "--refuse-on") {
            options->RefuseOn = true;
        } else if (flag == "--refuse-off") {
            options->RefuseOff = true;
        } else if (flag == "--refuse-message") {
            options->RefuseMessage = true;
        } else if (flag == "--refuse-shutdown") {
            options->RefuseShutdown = true;
        } else if (flag == "--keep-programs") {
            options->KeepPrograms = true;
        } else if (flag == "--without") {
            if (!needValue(&value)) return false;
            std::string name = CatalogName(value);
            if (name.empty()) {
                *error = "--without: unknown driver '" + value + "' (Brakor, Quorel, Tilvex, Dunvek, Vflatd)";
                return false;
            }
            options->Without.insert(name);
        } else if (flag == "--driver-version") {
            if (!needValue(&value)) return false;
            if (!ParseDriverVersion(value, options)) {
                *error = "--driver-version: expected NAME=MAJOR.MINOR (a driver of the list, numbers 0 to 255), not '" +
                         value + "'";
                return false;
            }
        } else if (flag == "--init-zero") {
            if (!needValue(&value)) return false;
            std::string which = Lower(value);
            if (which != "base" && which != "keyboard" && which != "mouse") {
                *error = "--init-zero: expected base, keyboard or mouse, not '" + value + "'";
                return false;
            }
            options->InitZero.insert(which);
        } else if (flag == "--slow") {
            if (!needValue(&value)) return false;
            int ms = -1;
            auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), ms);
            if (ec != std::errc() || end != value.data() + value.size() || ms < 0 || ms > 60000) {
                *error = "--slow: expected milliseconds from 0 to 60000, not '" + value + "'";
                return false;
            }
            options->SlowMs = ms;
        } else if (flag == "--station-name" || flag == "--current-user") {
            if (!needValue(&value)) return false;
            if (!FitsRecordField(value)) {
                *error = flag + ": expected a name of 1 to 31 bytes";
                return false;
            }
            (flag == "--station-name" ? options->StationName : options->CurrentUser) = value;
        } else {
            *error = "unknown switch '" + flag + "' (see --help)";
            return false;
        }
    }
    return true;
}

}  // namespace stationd
