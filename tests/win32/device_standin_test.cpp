// The device calls of the Windows host against the stand-in station driver,
// run under Wine with the driver installed and started (host/win32/standin/install.sh).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "host/device.h"
#include "host/win32/standin/standin_control.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr host::DWORD kTurnOn = 0x220802, kFirstStation = 0x220803, kNextStation = 0x220804;
constexpr host::DWORD kFirstDriver = 0x22080A, kNextDriver = 0x22080B, kTurnOff = 0x22080C, kBroadcast = 0x22080D;
constexpr host::DWORD kStationSize = 68, kDriverSize = 80, kMessageSize = 256;
const char kDevicePath[] = "\\\\.\\Brakor";

struct Call {
    bool Ok = false;
    host::DWORD Returned = 0;
    Bytes Reply;
};

// One call with separate in and out buffers; the out buffer starts as 0xCC
// so a reply the driver never wrote shows.
Call Control(host::HANDLE device, host::DWORD code, const Bytes& in, host::DWORD outSize) {
    Call call;
    call.Reply.assign(outSize, 0xCC);
    call.Ok = host::DeviceIoControl(device, code, in.data(), static_cast<host::DWORD>(in.size()), call.Reply.data(),
                                    outSize, &call.Returned) != 0;
    return call;
}

Call Control(host::HANDLE device, host::DWORD code, const Bytes& in) {
    return Control(device, code, in, static_cast<host::DWORD>(in.size()));
}

// A record of size bytes holding text at offset (and more at offset + 32).
Bytes Record(host::DWORD size, const std::string& text, const std::string& more = {}) {
    Bytes record(size, 0);
    std::copy(text.begin(), text.end(), record.begin());
    std::copy(more.begin(), more.end(), record.begin() + 32);
    return record;
}
Bytes StationRecord(const std::string& name, const std::string& user) { return Record(kStationSize, name, user); }

std::string Field(const Bytes& record, std::size_t offset) {
    std::string text;
    for (std::size_t i = offset; i < offset + 32 && i < record.size() && record[i] != 0; ++i)
        text += static_cast<char>(record[i]);
    return text;
}

struct Loaded {
    unsigned Number, Major, Minor;
    bool operator==(const Loaded&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Loaded& d) {
    return out << std::hex << d.Number << std::dec << " " << d.Major << "." << d.Minor;
}

// The loaded-driver list as a caller walks it: first, then next with the
// same buffer in and out until a call fails.
std::vector<Loaded> DriverList(host::HANDLE device) {
    std::vector<Loaded> list;
    Bytes record(kDriverSize, 0);
    host::DWORD returned = 0;
    host::DWORD code = kFirstDriver;
    while (list.size() < 10 &&
           host::DeviceIoControl(device, code, record.data(), kDriverSize, record.data(), kDriverSize, &returned)) {
        EXPECT_EQ(returned, kDriverSize);
        list.push_back({static_cast<unsigned>(record[6] | record[7] << 8), record[8], record[9]});
        code = kNextDriver;
    }
    return list;
}

const std::vector<Loaded> kAllDrivers = {
    {0x3AE3, 2, 30}, {0x3AE4, 2, 30}, {0x3AE5, 2, 30}, {0x000D, 2, 30}, {0x011F, 4, 0}};

class StandInDevice : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(standin::SetFaults("")) << "the stand-in driver is not installed (install.sh)";
        ASSERT_TRUE(standin::ForgetMessage());
        m_device = host::CreateDeviceFile(kDevicePath);
        ASSERT_NE(m_device, host::kInvalidHandle) << "the stand-in driver is not running";
        ASSERT_TRUE(Control(m_device, kTurnOff, StationRecord("Station1", "")).Ok);
    }
    void TearDown() override {
        standin::SetFaults("");
        if (m_device != host::kInvalidHandle) host::CloseHandle(m_device);
    }

    // The station's name and current user as the station list reports them.
    std::string Station() {
        Call call = Control(m_device, kFirstStation, Bytes(kStationSize, 0));
        EXPECT_TRUE(call.Ok);
        return Field(call.Reply, 0) + "|" + Field(call.Reply, 32);
    }

    host::HANDLE m_device = host::kInvalidHandle;
};

// Each switch word against the same round: the driver list, turn on (echoed,
// with the user it was turned on with), a broadcast (echoed and kept; never
// while off), turn off. Unknown words, names and values out of range change nothing.
TEST_F(StandInDevice, EachSwitchShowsInTheListTheStationAndThePowerCalls) {
    std::vector<Loaded> versions = kAllDrivers;
    versions[1] = {0x3AE4, 2, 19};
    versions[4] = {0x011F, 255, 0};
    const struct {
        const char* Switches;
        bool On, Message, Off;
        const char *Name, *User;  // the station's, while on
        std::vector<Loaded> Drivers;
    } cases[] = {
        {"", true, true, true, "Station1", "ola", kAllDrivers},
        {"refuse-on", false, true, true, "Station1", "", kAllDrivers},
        {"refuse-off", true, true, false, "Station1", "ola", kAllDrivers},
        {"refuse-message", true, false, true, "Station1", "ola", kAllDrivers},
        {"without:Brakor", true, true, true, "Station1", "ola", {kAllDrivers.begin() + 1, kAllDrivers.end()}},
        {"without:vflatd, without:Tilvex", true, true, true, "Station1", "ola",
         {kAllDrivers[0], kAllDrivers[1], kAllDrivers[3]}},
        {"without:Brakor without:Quorel without:Tilvex without:Dunvek without:Vflatd", true, true, true, "Station1",
         "ola", {}},
        {"unknown-word without:Nobody", true, true, true, "Station1", "ola", kAllDrivers},
        {"station:STATION1 user:mARIA", true, true, true, "STATION1", "mARIA", kAllDrivers},
        {"USER:\xC3\x85sa", true, true, true, "Station1", "\xC3\x85sa", kAllDrivers},
        {"version:quorel=2.19 version:Vflatd=255.0", true, true, true, "Station1", "ola", versions},
        {"version:Quorel=256.1 version:Tilvex=2.x station:0123456789012345678901234567890123", true, true, true,
         "Station1", "ola", kAllDrivers},
    };
    const std::string texts[] = {"Hello, station", std::string(255, 'm')};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Switches);
        ASSERT_TRUE(standin::SetFaults(c.Switches));
        EXPECT_EQ(DriverList(m_device), c.Drivers);
        EXPECT_FALSE(Control(m_device, kBroadcast, Record(kMessageSize, "while off")).Ok) << "nobody to see it";

        const Bytes on = StationRecord("Station1", "ola");
        const Call turnOn = Control(m_device, kTurnOn, on);
        ASSERT_EQ(turnOn.Ok, c.On);
        EXPECT_EQ(turnOn.Returned, c.On ? kStationSize : 0);
        if (c.On) {
            EXPECT_EQ(turnOn.Reply, on);
        }
        EXPECT_EQ(Station(), std::string(c.Name) + "|" + c.User);
        for (const std::string& text : texts) {
            const Bytes message = Record(kMessageSize, text);
            const Call sent = Control(m_device, kBroadcast, message);
            std::string kept = "none";
            ASSERT_EQ(sent.Ok, c.Message && c.On) << text.size();
            standin::LastMessage(&kept);
            EXPECT_EQ(kept, sent.Ok ? text : "none") << text.size();
            EXPECT_EQ(sent.Reply, sent.Ok ? message : Bytes(kMessageSize, 0xCC));
            EXPECT_EQ(sent.Returned, sent.Ok ? kMessageSize : 0);
        }
        const Bytes off = StationRecord("Station1", "");
        const Call turnOff = Control(m_device, kTurnOff, off);
        EXPECT_EQ(turnOff.Ok, c.Off);
        EXPECT_EQ(turnOff.Reply, c.Off ? off : Bytes(kStationSize, 0xCC));
        EXPECT_EQ(turnOff.Returned, c.Off ? kStationSize : 0);
        EXPECT_EQ(Station(), std::string(c.Name) + "|" + (c.Off ? "" : c.User));
        EXPECT_FALSE(Control(m_device, kNextStation, Bytes(kStationSize, 0)).Ok) << "one station only";
        ASSERT_TRUE(standin::SetFaults(""));
        ASSERT_TRUE(standin::ForgetMessage());
        ASSERT_TRUE(Control(m_device, kTurnOff, StationRecord("Station1", "")).Ok);
    }
}

// Single calls: what comes back, and that nothing beyond it reaches the caller.
// "short" halves every reply; requests of the wrong shape fail; "pend" lets
// the call be cancelled after the timeout, "hang" ignores the cancel too, so
// the call must give up on it. The driver answers again afterwards.
TEST_F(StandInDevice, EachCallReturnsWhatTheDriverAnsweredAndNothingMore) {
    Bytes unknownDriver(kDriverSize, 0);
    unknownDriver[6] = 0x34;
    unknownDriver[7] = 0x12;
    const struct {
        const char* Faults;
        host::DWORD Code;
        Bytes In;
        host::DWORD OutSize, Returned;  // 0 returned: the call fails
        const char* Text;               // at the reply's start; at byte 12 of a driver record
    } cases[] = {
        {"", kFirstStation, Bytes(kStationSize, 0), kStationSize, kStationSize, "Station1"},
        {"", kFirstDriver, Bytes(kDriverSize, 0), kDriverSize, kDriverSize, "BRAKOR  "},
        {"", kNextDriver, unknownDriver, kDriverSize, 0, ""},  // a number not in the list has no next
        {"short", kFirstStation, Bytes(kStationSize, 0), kStationSize, kStationSize / 2, "Station1"},
        {"short", kFirstDriver, Bytes(kDriverSize, 0), kDriverSize, kDriverSize / 2, "BRAKOR  "},
        {"", kFirstStation, Bytes(kStationSize - 1, 0), kStationSize, 0, ""},
        {"", kFirstStation, Bytes(kStationSize, 0), kStationSize - 1, 0, ""},
        {"", kFirstDriver, Bytes(kStationSize, 0), kStationSize, 0, ""},
        {"", kBroadcast, Bytes(255, 0), 255, 0, ""},
        {"", 0x220800, Bytes(kStationSize, 0), kStationSize, 0, ""},
        {"", 0x22080E, Bytes(kMessageSize, 0), kMessageSize, 0, ""},
        {"", kFirstStation, Bytes(4097, 0), kStationSize, 0, ""},  // more than a request may carry
        {"pend", kFirstStation, Bytes(kStationSize, 0), kStationSize, 0, ""},
        {"hang", kFirstStation, Bytes(kStationSize, 0), kStationSize, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Faults) + " " + std::to_string(c.Code) + " " + std::to_string(c.In.size()));
        ASSERT_TRUE(standin::SetFaults(c.Faults));
        const Call call = Control(m_device, c.Code, c.In, c.OutSize);
        EXPECT_EQ(call.Ok, c.Returned != 0);
        EXPECT_EQ(call.Returned, c.Returned);
        EXPECT_EQ(Bytes(call.Reply.begin() + call.Returned, call.Reply.end()), Bytes(c.OutSize - call.Returned, 0xCC));
        const auto text = call.Reply.begin() + (c.Code == kFirstDriver ? 12 : 0);
        EXPECT_EQ(call.Returned ? std::string(text, text + 8) : "", c.Text);
        ASSERT_TRUE(standin::SetFaults(""));
        EXPECT_EQ(Station(), "Station1|");
    }
}

TEST_F(StandInDevice, ThreadsSharingOneHandleEachGetTheirOwnAnswer) {
    ASSERT_TRUE(Control(m_device, kTurnOn, StationRecord("Station1", "ola")).Ok);
    constexpr int kThreads = 4, kCalls = 50;
    std::atomic<int> right{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kCalls; ++i) {
                // Station and driver records alternate, so an answer given to the wrong call shows.
                if ((t + i) % 2) {
                    Call call = Control(m_device, kFirstStation, Bytes(kStationSize, 0));
                    right += call.Ok && Field(call.Reply, 32) == "ola";
                } else {
                    Call call = Control(m_device, kFirstDriver, Bytes(kDriverSize, 0));
                    right += call.Ok && call.Returned == kDriverSize && call.Reply[6] == 0xE3 && call.Reply[7] == 0x3A;
                }
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(right.load(), kThreads * kCalls);
}

TEST_F(StandInDevice, WithTheDriverStoppedTheDeviceIsMissing) {
    ASSERT_TRUE(standin::StopDriver());
    EXPECT_EQ(host::CreateDeviceFile(kDevicePath), host::kInvalidHandle);
    EXPECT_FALSE(Control(m_device, kFirstStation, Bytes(kStationSize, 0)).Ok) << "a handle opened before";
    ASSERT_TRUE(standin::StartDriver());
    host::HANDLE again = host::CreateDeviceFile(kDevicePath);
    ASSERT_NE(again, host::kInvalidHandle);
    EXPECT_TRUE(Control(again, kFirstStation, Bytes(kStationSize, 0)).Ok);
    EXPECT_TRUE(host::CloseHandle(again));
}

TEST(DeviceSeam, OnlyDevicePathsOpenAndCallsThatCannotBeMadeFail) {
    for (const char* path : {"C:\\windows\\win.ini", "\\\\.\\", "\\\\.\\..", "\\\\.\\Brakor\\x", "\\\\.\\C:/x",
                             "\\\\?\\C:\\windows\\win.ini", "Brakor"}) {
        EXPECT_EQ(host::CreateDeviceFile(path), host::kInvalidHandle) << path;
    }
    EXPECT_EQ(host::CreateDeviceFile(nullptr), host::kInvalidHandle);
    Bytes record(kStationSize, 0);
    host::DWORD returned = 7;
    EXPECT_FALSE(host::DeviceIoControl(host::kInvalidHandle, kFirstStation, record.data(), kStationSize,
                                       record.data(), kStationSize, &returned));
    EXPECT_EQ(returned, 0u);
    EXPECT_FALSE(host::CloseHandle(host::kInvalidHandle));
    // Device names do not depend on letter case.
    host::HANDLE device = host::CreateDeviceFile("\\\\.\\bRAKOR");
    ASSERT_NE(device, host::kInvalidHandle);
    EXPECT_FALSE(host::DeviceIoControl(device, kFirstStation, nullptr, kStationSize, record.data(), kStationSize, &returned));
    EXPECT_TRUE(host::CloseHandle(device));
}

}  // namespace
