#include "host/emulated/stationd/StartupValues.h"

#include <cstring>
#include <vector>

#include "host/emulated/root.h"
#include "host/registry.h"

namespace stationd {

namespace {

using namespace host;

class Key {
public:
    explicit Key(const char* path) { m_status = CreateRegKey(kLocalMachine, path, &m_key); }
    ~Key() {
        if (m_status == kErrorSuccess) CloseRegKey(m_key);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    bool Ok() const { return m_status == kErrorSuccess && m_failed == 0; }

    void Bytes(const char* name, std::vector<BYTE> data) {
        Track(SetRegValue(m_key, name, kRegBinary, data.data(), static_cast<DWORD>(data.size())));
    }
    void Flag(const char* name, bool on) { Bytes(name, {static_cast<BYTE>(on ? 1 : 0)}); }
    void Text(const char* name, const std::string& text) {
        Track(SetRegValue(m_key, name, kRegSz, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1)));
    }
    // A one-byte option as the control center reads it: offered one byte,
    // anything missing or longer reads as 0.
    BYTE ReadByte(const char* name) const {
        BYTE value = 0;
        DWORD size = 1;
        return m_status == kErrorSuccess && QueryRegValue(m_key, name, nullptr, &value, &size) == kErrorSuccess
                   ? value
                   : 0;
    }
    std::string ReadText(const char* name, const std::string& fallback) const {
        char buffer[260] = {};
        DWORD size = sizeof buffer;
        if (m_status != kErrorSuccess ||
            QueryRegValue(m_key, name, nullptr, reinterpret_cast<BYTE*>(buffer), &size) != kErrorSuccess)
            return fallback;
        return std::string(buffer, strnlen(buffer, sizeof buffer));
    }

private:
    void Track(LONG status) {
        if (status != kErrorSuccess) ++m_failed;
    }
    HKEY m_key = nullptr;
    LONG m_status;
    int m_failed = 0;
};

}  // namespace

bool WriteStartupValues(const Options& options, StationDrivers& drivers, std::string* error) {
    Key station(kStationKey);
    Key board(kBoardKey);
    station.Flag("Detected", true);
    station.Flag("OnLine", true);
    station.Bytes("IO Handle", {0x00, 0x03, 0x00, 0x00});  // 0x0300, little-endian
    station.Flag("Board Number", true);
    station.Flag("V7 Base Init", !options.InitZero.count("base"));
    station.Flag("V7 Keyboard Init", !options.InitZero.count("keyboard"));
    station.Flag("V7 Mouse Init", !options.InitZero.count("mouse"));
    board.Flag("Detected", true);

    bool launched = false;
    std::string user = kNoUser;
    if (station.ReadByte("AutoLaunch") != 0) {
        std::string defaultUser = station.ReadText("Default User", kDefaultUser);
        if (drivers.TurnOn(defaultUser)) {
            launched = true;
            user = drivers.User();  // the station list may report another (--current-user)
        }
    }
    station.Flag("Launched", launched);
    board.Flag("Launched", launched);
    station.Text("Current User", user);

    bool flushed = FlushRegKey(kLocalMachine) == kErrorSuccess;
    if (!station.Ok() || !board.Ok() || !flushed) {
        std::string problem = host::emulated::RegistryProblem();
        *error = "cannot write the station values to the registry" + (problem.empty() ? "" : ": " + problem);
        return false;
    }
    return true;
}

}  // namespace stationd
