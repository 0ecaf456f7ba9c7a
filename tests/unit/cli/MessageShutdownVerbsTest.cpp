// v7ctl's message and shutdown verbs against the real station drivers; what
// the station received is read back with "v7-host messages".
#include <gtest/gtest.h>

#include <memory>

#include "support/RegistryTestUtil.h"
#include "support/TempHostRoot.h"

namespace {

const std::string kProduct = "Software\\Halvorn\\Orvane";

// The texts "v7-host messages" prints, without their "--- <time>" lines.
std::vector<std::string> Received() {
    const ToolResult listed = RunHostTool({"messages"});
    EXPECT_EQ(listed.ExitCode, 0) << listed.Err;
    std::vector<std::string> texts;
    std::size_t at = 0;
    while ((at = listed.Out.find("--- ", at)) != std::string::npos) {
        const std::size_t start = listed.Out.find('\n', at) + 1;
        std::size_t next = listed.Out.find("\n--- ", start);
        next = next == std::string::npos ? listed.Out.size() - 1 : next;
        texts.push_back(listed.Out.substr(start, next - start));
        at = next;
    }
    return texts;
}

std::string LastLogLine() {
    const auto events = StationLogEvents();
    return events.empty() ? "" : events.back();
}

TEST(MessageShutdownVerbsTest, MessageChecksItsTextAndTheStation) {
    struct Case {
        std::vector<std::string> DriverArgs;  // {"none"}: no drivers running
        bool StationOn;
        std::vector<std::string> Verb;
        std::string Stdin;
        int ExitCode;
        std::string Out, Err;    // start of stdout, start of stderr
        std::string Received;    // the text after the head, "" when nothing arrived
    };
    const Case cases[] = {
        {{}, true, {"message", "  Lunch at one?  "}, "", 0, "The message was sent to Station1.", "", "Lunch at one?"},
        // Text from standard input: every byte kept, line breaks as CR LF; the
        // control characters reach the reader's terminal escaped.
        {{}, true, {"message", "-"}, "\n\tTab\there, back\\slash\nsecond line \x01\x1b[2J\xc2\x9b\n\n", 0,
         "The message", "", "Tab\there, back\\slash\r\nsecond line \\x01\\x1b[2J\\u009b"},
        // 200 bytes as sent: the line break goes out as CR LF.
        {{}, true, {"message", std::string(197, 'z') + "\nz"}, "", 0, "The message", "",
         std::string(197, 'z') + "\r\nz"},
        {{}, true, {"message", std::string(198, 'z') + "\nz"}, "", 2, "",
         "v7ctl: the message has 201 bytes (a line break takes 2); at most 200 can be sent", ""},
        {{}, true, {"message", "-"}, " \r\n\t", 2, "", "v7ctl: the message is empty", ""},
        {{}, true, {"message", "-"}, std::string("a\0b", 3), 2, "", "v7ctl: the message holds a NUL byte", ""},
        {{}, false, {"message", "hello"}, "", 1, "", "v7ctl: The V7 Station is not on.", ""},
        {{"--refuse-message"}, true, {"message", "hello"}, "", 5, "", "v7ctl: Could not broadcast this message.", ""},
        {{"none"}, true, {"message", "hello"}, "", 3, "", "v7ctl: The station drivers are not running", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Verb.back().substr(0, 20));
        InitializedHostRoot root;
        std::unique_ptr<RunningStationDrivers> drivers;
        if (c.DriverArgs != std::vector<std::string>{"none"}) drivers = std::make_unique<RunningStationDrivers>(c.DriverArgs);
        if (c.StationOn) {
            ASSERT_EQ(RunV7ctl({"on"}).ExitCode, drivers ? 0 : 3);
        }

        const ToolResult result = RunV7ctl(c.Verb, c.Stdin);
        EXPECT_EQ(result.ExitCode, c.ExitCode) << result.Err;
        EXPECT_EQ(result.Out.rfind(c.Out, 0), 0u) << result.Out;
        EXPECT_EQ(result.Err.rfind(c.Err, 0), 0u) << result.Err;
        const auto received = Received();
        if (c.Received.empty()) {
            EXPECT_TRUE(received.empty());
        } else {
            ASSERT_EQ(received.size(), 1u);
            EXPECT_EQ(received[0].substr(received[0].find("\n\n") + 2), c.Received);
            EXPECT_EQ(received[0].rfind("From:  ", 0), 0u) << received[0];
        }
    }
}

TEST(MessageShutdownVerbsTest, ShutdownNeedsYesSavesTheSettingAndReachesTheDrivers) {
    struct Case {
        std::vector<std::string> DriverArgs, Verb;
        int ExitCode;
        std::string Out, Err, LastEvent;
        unsigned char ShutdownEnabled;
    };
    const Case cases[] = {
        {{}, {"shutdown", "--restart"}, 2, "", "v7ctl: shutting down ends every program", "start\tpid", 0},
        {{}, {"shutdown", "--restart", "--yes"}, 0, "The computer is restarting.", "", "start\trestart", 1},
        {{}, {"shutdown", "--yes"}, 0, "The computer is shutting down.", "", "stop\tshut down", 1},
        {{"--refuse-shutdown"}, {"shutdown", "-y"}, 1, "", "v7ctl: Windows did not shut down or restart the computer.",
         "refused\tflags 5 (shut down, force)", 1},
        // The request needs no station drivers: the setting is saved, the refusal told as the window tells it.
        {{"none"}, {"shutdown", "--yes"}, 1, "", "v7ctl: Windows did not shut down or restart the computer.\n", "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Verb.back());
        InitializedHostRoot root;
        regtest::Store(kProduct, "Shutdown Enabled", host::REG_BINARY, {0});
        std::unique_ptr<RunningStationDrivers> drivers;
        if (c.DriverArgs != std::vector<std::string>{"none"}) drivers = std::make_unique<RunningStationDrivers>(c.DriverArgs);
        const ToolResult result = RunV7ctl(c.Verb);
        EXPECT_EQ(result.ExitCode, c.ExitCode) << result.Err;
        EXPECT_EQ(result.Out.rfind(c.Out, 0), 0u) << result.Out;
        EXPECT_EQ(result.Err.rfind(c.Err, 0), 0u) << result.Err;
        if (c.LastEvent.rfind("stop", 0) == 0) drivers->Stop();  // waits until the drivers have ended
        EXPECT_EQ(LastLogLine().rfind(c.LastEvent, 0), 0u) << LastLogLine();
        EXPECT_EQ(regtest::Query(kProduct, "Shutdown Enabled"), regtest::Binary({c.ShutdownEnabled}));
    }
}

}  // namespace
