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

Bytes StationRecord(const std::string& name, const std::string& user) {
    Bytes record(kStationSize, 0);
    std::copy(name.begin(), name.end(), record.begin());
    std::copy(user.begin(), user.end(), record.begin() + 32);
    return record;
}

Bytes Message(const std::string& text) {
    Bytes buffer(kMessageSize, 0);
    std::copy(text.begin(), text.end(), buffer.begin());
    return buffer;
}

std::string Field(const Bytes& record, std::size_t offset) {
    std::string text;
    for (std::size_t i = offset; i < offset + 32 && record[i] != 0; ++i) text += static_cast<char>(record[i]);
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
// same buffer until a call fails.
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
        ASSERT_NE(m_device, host::INVALID_HANDLE_VALUE) << "the stand-in driver is not running";
        ASSERT_TRUE(Control(m_device, kTurnOff, StationRecord("Station1", "")).Ok);
    }
    void TearDown() override {
        standin::SetFaults("");
        if (m_device != host::INVALID_HANDLE_VALUE) host::CloseHandle(m_device);
    }

    // The station's current user as the station list reports it.
    std::string CurrentUser() {
        Call call = Control(m_device, kFirstStation, Bytes(kStationSize, 0));
        EXPECT_TRUE(call.Ok);
        EXPECT_EQ(Field(call.Reply, 0), "Station1");
        return Field(call.Reply, 32);
    }

    host::HANDLE m_device = host::INVALID_HANDLE_VALUE;
};

// Turn on, turn off and broadcast echo the request through their own transfer
// methods; the station list follows what they did.
TEST_F(StandInDevice, PowerAndBroadcastAnswerAndChangeTheStation) {
    EXPECT_EQ(CurrentUser(), "");
    EXPECT_FALSE(Control(m_device, kBroadcast, Message("while off")).Ok) << "nobody on the station to see it";

    const Bytes on = StationRecord("Station1", "\xC3\x85sa");
    Call turnOn = Control(m_device, kTurnOn, on);
    ASSERT_TRUE(turnOn.Ok);
    EXPECT_EQ(turnOn.Returned, kStationSize);
    EXPECT_EQ(turnOn.Reply, on);
    EXPECT_EQ(CurrentUser(), "\xC3\x85sa");

    const std::string longest(255, 'm');
    for (const std::string& text : {std::string("Hello, station"), longest}) {
        const Bytes message = Message(text);
        Call sent = Control(m_device, kBroadcast, message);
        ASSERT_TRUE(sent.Ok) << text.size();
        EXPECT_EQ(sent.Returned, kMessageSize);
        EXPECT_EQ(sent.Reply, message);
        std::string kept;
        ASSERT_TRUE(standin::LastMessage(&kept));
        EXPECT_EQ(kept, text);
    }

    const Bytes off = StationRecord("Station1", "");
    Call turnOff = Control(m_device, kTurnOff, off);
    ASSERT_TRUE(turnOff.Ok);
    EXPECT_EQ(turnOff.Reply, off);
    EXPECT_EQ(CurrentUser(), "");
    EXPECT_FALSE(Control(m_device, kNextStation, Bytes(kStationSize, 0)).Ok) << "one station only";
}

TEST_F(StandInDevice, TheDriverListHoldsTheFiveDriversInOrder) {
    EXPECT_EQ(DriverList(m_device), kAllDrivers);
    Call record = Control(m_device, kFirstDriver, Bytes(kDriverSize, 0));
    ASSERT_TRUE(record.Ok);
    EXPECT_EQ(std::string(record.Reply.begin() + 12, record.Reply.begin() + 20), "BRAKOR  ");
    // A device number that is not in the list has no next one.
    Bytes unknown(kDriverSize, 0);
    unknown[6] = 0x34;
    unknown[7] = 0x12;
    EXPECT_FALSE(Control(m_device, kNextDriver, unknown).Ok);
}

TEST_F(StandInDevice, FaultSwitchesChangeTheAnswers) {
    struct Case {
        const char* Faults;
        bool OnWorks, OffWorks, MessageWorks;
        std::vector<Loaded> Drivers;
    };
    const std::vector<Case> cases = {
        {"refuse-on", false, true, true, kAllDrivers},
        {"refuse-off", true, false, true, kAllDrivers},
        {"refuse-message", true, true, false, kAllDrivers},
        {"without:Brakor", true, true, true, {kAllDrivers.begin() + 1, kAllDrivers.end()}},
        {"without:vflatd, without:Tilvex", true, true, true, {kAllDrivers[0], kAllDrivers[1], kAllDrivers[3]}},
        {"without:Brakor without:Quorel without:Tilvex without:Dunvek without:Vflatd", true, true, true, {}},
        {"unknown-word without:Nobody", true, true, true, kAllDrivers},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Faults);
        ASSERT_TRUE(standin::SetFaults(c.Faults));
        EXPECT_EQ(DriverList(m_device), c.Drivers);
        EXPECT_EQ(Control(m_device, kTurnOn, StationRecord("Station1", "ola")).Ok, c.OnWorks);
        EXPECT_EQ(CurrentUser(), c.OnWorks ? "ola" : "");
        if (c.OnWorks) {
            EXPECT_EQ(Control(m_device, kBroadcast, Message("hi")).Ok, c.MessageWorks);
        }
        EXPECT_EQ(Control(m_device, kTurnOff, StationRecord("Station1", "")).Ok, c.OffWorks);
        ASSERT_TRUE(standin::SetFaults(""));
        ASSERT_TRUE(Control(m_device, kTurnOff, StationRecord("Station1", "")).Ok);
    }
}

TEST_F(StandInDevice, ReportSwitchesChangeTheStationAndTheVersions) {
    struct Case {
        const char* Switches;
        const char* Station;
        const char* User;  // reported while on, after turning on with "ola"
        std::vector<Loaded> Drivers;
    };
    std::vector<Loaded> versions = kAllDrivers;
    versions[1] = {0x3AE4, 2, 19};
    versions[4] = {0x011F, 255, 0};
    const std::vector<Case> cases = {
        {"station:STATION1 user:mARIA", "STATION1", "mARIA", kAllDrivers},
        {"USER:\xC3\x85sa", "Station1", "\xC3\x85sa", kAllDrivers},
        {"version:quorel=2.19 version:Vflatd=255.0", "Station1", "ola", versions},
        // Out of range or not a number, a name too long for its field: nothing changes.
        {"version:Quorel=256.1 version:Tilvex=2.x station:0123456789012345678901234567890123", "Station1", "ola",
         kAllDrivers},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Switches);
        ASSERT_TRUE(standin::SetFaults(c.Switches));
        ASSERT_TRUE(Control(m_device, kTurnOn, StationRecord("Station1", "ola")).Ok);
        Call station = Control(m_device, kFirstStation, Bytes(kStationSize, 0));
        ASSERT_TRUE(station.Ok);
        EXPECT_EQ(Field(station.Reply, 0), c.Station);
        EXPECT_EQ(Field(station.Reply, 32), c.User);
        EXPECT_EQ(DriverList(m_device), c.Drivers);
        ASSERT_TRUE(Control(m_device, kTurnOff, StationRecord("Station1", "")).Ok);
    }
}

TEST_F(StandInDevice, AShortReplySucceedsWithHalfTheRecord) {
    ASSERT_TRUE(standin::SetFaults("short"));
    struct Case {
        host::DWORD Code, Size;
    };
    for (const Case& c : {Case{kFirstStation, kStationSize}, Case{kFirstDriver, kDriverSize}}) {
        Call call = Control(m_device, c.Code, Bytes(c.Size, 0));
        EXPECT_TRUE(call.Ok) << std::hex << c.Code;
        EXPECT_EQ(call.Returned, c.Size / 2) << std::hex << c.Code;
        // Nothing is copied beyond what came back.
        EXPECT_EQ(call.Reply[c.Size - 1], 0xCC) << std::hex << c.Code;
    }
}

TEST_F(StandInDevice, RequestsOfTheWrongShapeFail) {
    struct Case {
        host::DWORD Code, InSize, OutSize;
    };
    const std::vector<Case> cases = {
        {kFirstStation, kStationSize - 1, kStationSize}, {kFirstStation, kStationSize, kStationSize - 1},
        {kFirstDriver, kStationSize, kStationSize},      {kBroadcast, 255, 255},
        {0x220800, kStationSize, kStationSize},          {0x22080E, kMessageSize, kMessageSize},
    };
    for (const Case& c : cases) {
        Call call = Control(m_device, c.Code, Bytes(c.InSize, 0), c.OutSize);
        EXPECT_FALSE(call.Ok) << std::hex << c.Code << " " << std::dec << c.InSize << "/" << c.OutSize;
        EXPECT_EQ(call.Returned, 0u);
    }
    // The driver still answers afterwards.
    EXPECT_EQ(CurrentUser(), "");
}

// "pend" lets the call be cancelled after the timeout; "hang" ignores the
// cancel too, so the call must give up on it.
TEST_F(StandInDevice, ADriverThatNeverAnswersFailsTheCallAndTheHandleStaysUsable) {
    for (const char* fault : {"pend", "hang"}) {
        SCOPED_TRACE(fault);
        ASSERT_TRUE(standin::SetFaults(fault));
        Call call = Control(m_device, kFirstStation, Bytes(kStationSize, 0));
        EXPECT_FALSE(call.Ok);
        EXPECT_EQ(call.Returned, 0u);
        EXPECT_EQ(call.Reply, Bytes(kStationSize, 0xCC)) << "nothing of an unanswered call reaches the caller";
        ASSERT_TRUE(standin::SetFaults(""));
        EXPECT_EQ(CurrentUser(), "");
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
    EXPECT_EQ(host::CreateDeviceFile(kDevicePath), host::INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Control(m_device, kFirstStation, Bytes(kStationSize, 0)).Ok) << "a handle opened before";
    ASSERT_TRUE(standin::StartDriver());
    host::HANDLE again = host::CreateDeviceFile(kDevicePath);
    ASSERT_NE(again, host::INVALID_HANDLE_VALUE);
    EXPECT_TRUE(Control(again, kFirstStation, Bytes(kStationSize, 0)).Ok);
    EXPECT_TRUE(host::CloseHandle(again));
}

TEST(DeviceSeam, OnlyDevicePathsOpen) {
    for (const char* path : {"C:\\windows\\win.ini", "\\\\.\\", "\\\\.\\..", "\\\\.\\Brakor\\x", "\\\\.\\C:/x",
                             "\\\\?\\C:\\windows\\win.ini", "Brakor"}) {
        EXPECT_EQ(host::CreateDeviceFile(path), host::INVALID_HANDLE_VALUE) << path;
    }
    EXPECT_EQ(host::CreateDeviceFile(nullptr), host::INVALID_HANDLE_VALUE);
    // Device names do not depend on letter case.
    host::HANDLE device = host::CreateDeviceFile("\\\\.\\bRAKOR");
    ASSERT_NE(device, host::INVALID_HANDLE_VALUE);
    EXPECT_TRUE(host::CloseHandle(device));
}

TEST(DeviceSeam, CallsThatCannotBeMadeFail) {
    Bytes record(kStationSize, 0);
    host::DWORD returned = 7;
    EXPECT_FALSE(host::DeviceIoControl(host::INVALID_HANDLE_VALUE, kFirstStation, record.data(), kStationSize,
                                       record.data(), kStationSize, &returned));
    EXPECT_EQ(returned, 0u);
    EXPECT_FALSE(host::CloseHandle(host::INVALID_HANDLE_VALUE));

    host::HANDLE device = host::CreateDeviceFile(kDevicePath);
    ASSERT_NE(device, host::INVALID_HANDLE_VALUE);
    Bytes huge(4097, 0);
    EXPECT_FALSE(host::DeviceIoControl(device, kFirstStation, huge.data(), 4097, record.data(), kStationSize, &returned));
    EXPECT_FALSE(host::DeviceIoControl(device, kFirstStation, nullptr, kStationSize, record.data(), kStationSize, &returned));
    // The same buffer in and out, as the channel calls it.
    EXPECT_TRUE(host::DeviceIoControl(device, kFirstStation, record.data(), kStationSize, record.data(), kStationSize,
                                      &returned));
    EXPECT_EQ(Field(record, 0), "Station1");
    EXPECT_TRUE(host::CloseHandle(device));
}

}  // namespace
