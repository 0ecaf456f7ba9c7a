// v7ctl's verbs on a host laid down by "v7-host init", against the real station
// drivers: each verb's text and exit code, what the station received (read back
// with "v7-host messages"), what the drivers logged and the registry keeps (the
// options and set verbs: OptionVerbsTest).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <tuple>

#include "cli/CommandLineTexts.h"
#include "host/emulated/root.h"
#include "host/registry.h"
#include "resources/StringTable.h"
#include "station/StationConfiguration.h"
#include "support/InitializedHost.h"
#include "support/RegistryTestUtil.h"

namespace fs = std::filesystem;

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

// Whether the whole text matches pattern, in which '*' stands for any run of characters.
bool Matches(const std::string& text, const std::string& pattern) {
    std::string expression;
    for (char c : pattern) {
        if (c == '*') expression += "[\\s\\S]*";
        else if (std::string(".^$|()[]{}+?\\").find(c) != std::string::npos) expression += std::string("\\") + c;
        else expression += c;
    }
    return std::regex_match(text, std::regex(expression));
}

// A fresh installed host; the drivers run with the switches given ({"none"}: not at all).
struct Host {
    explicit Host(const std::vector<std::string>& switches)
        : Drivers(switches == std::vector<std::string>{"none"} ? nullptr
                                                               : std::make_unique<RunningStationDrivers>(switches)) {}
    InitializedHostRoot Root;
    std::unique_ptr<RunningStationDrivers> Drivers;
};

TEST(Verbs, EachAnswersWithItsTextAndExitCodeAndARefusalChangesNothing) {
    // Each driver's line: whether it is loaded, then the version in its file.
    auto report = [](std::vector<const char*> loaded) {
        const char* names[] = {"Brakor", "Quorel", "Tilvex", "Dunvek"};
        std::string text = "Orvane V7 Version 1.20K\n\nCopyright \u00A9 Halvorn. All rights reserved.\n\n"
                           "Running for * days *  hours * minutes.\n\n";
        for (int i = 0; i < 4; ++i) text += names[i] + std::string(".vxd\t") + loaded[i] + "\t2.30.0.112 in file.\n";
        return text;
    };
    const std::string notRunning = "The station drivers are not running: *\"systemctl --user start v7-stationd\"*";
    const std::string verbHelp = " is not a verb (v7ctl --help lists them)\n";
    const struct {
        std::vector<std::string> Drivers;  // their switches; {"none"}: no drivers
        bool On;                           // "v7ctl on" first
        std::vector<std::string> Verb;
        std::string Stdin;
        int ExitCode;
        std::string Out, Err;   // patterns of the whole stdout and stderr
        std::string Received;   // the text after the head, "" when nothing arrived
        const char* Station;    // the status's first line afterwards, nullptr: not asked
    } cases[] = {
        {{}, false, {"status"}, "", 0, "Station: Station1 off\nCurrent user: [ None ]\nDrivers: running\n", "", "",
         "Station: Station1 off"},
        {{}, true, {"status"}, "", 0, "Station: Station1 on\nCurrent user: User1\nDrivers: running\n", "", "", nullptr},
        {{}, false, {"on"}, "", 0, "The V7 Station is on.\n", "", "", "Station: Station1 on"},
        // Off logs the station's user off: refused without --yes, nothing changes.
        {{}, true, {"off"}, "", 2, "", "v7ctl: turning the station off logs its user off; add --yes*", "",
         "Station: Station1 on"},
        {{}, true, {"off", "--yes"}, "", 0, "*", "", "", "Station: Station1 off"},
        {{"--refuse-on"}, false, {"on"}, "", 5, "", "v7ctl: Did not turn on the V7 station successfully.*", "",
         "Station: Station1 off"},
        {{"none"}, false, {"on"}, "", 3, "", "v7ctl: " + notRunning, "", nullptr},
        {{"--without", "Quorel", "--driver-version", "Dunvek=2.19"}, false, {"version"}, "", 0,
         report({"2.30 is loaded", "not loaded", "2.30 is loaded", "2.13 is loaded"}), "", "", nullptr},
        {{"none"}, false, {"version"}, "", 0, report({"not loaded", "not loaded", "not loaded", "not loaded"}),
         "v7ctl: " + notRunning, "", nullptr},
        {{"none"}, false, {"version", "extra"}, "", 2, "", "v7ctl: The following argument was not expected: extra\n*", "",
         nullptr},
        {{}, true, {"message", "  Lunch at one?  "}, "", 0, "The message was sent to Station1.*", "", "Lunch at one?",
         nullptr},
        // Text from standard input: every byte kept, line breaks as CR LF; the
        // control characters reach the reader's terminal escaped.
        {{}, true, {"message", "-"}, "\n\tTab\there, back\\slash\nsecond line \x01\x1b[2J\xc2\x9b\n\n", 0,
         "The message*", "", "Tab\there, back\\slash\r\nsecond line \\x01\\x1b[2J\\u009b", nullptr},
        // 200 bytes as sent: the line break goes out as CR LF.
        {{}, true, {"message", std::string(197, 'z') + "\nz"}, "", 0, "The message*", "",
         std::string(197, 'z') + "\r\nz", nullptr},
        {{}, true, {"message", std::string(198, 'z') + "\nz"}, "", 2, "",
         "v7ctl: the message has 201 bytes (a line break takes 2); at most 200 can be sent*", "", nullptr},
        {{}, true, {"message", "-"}, " \r\n\t", 2, "", "v7ctl: the message is empty*", "", nullptr},
        {{}, true, {"message", "-"}, std::string("a\0b", 3), 2, "", "v7ctl: the message holds a NUL byte*", "", nullptr},
        {{}, false, {"message", "hello"}, "", 1, "", "v7ctl: The V7 Station is not on.*", "", nullptr},
        {{"--refuse-message"}, true, {"message", "hello"}, "", 5, "", "v7ctl: Could not broadcast this message.*", "",
         nullptr},
        {{"none"}, true, {"message", "hello"}, "", 3, "", "v7ctl: " + notRunning, "", nullptr},
        // A missing or unknown verb; a verb's own mistakes keep the parser's
        // words; an argument said back never carries a control character.
        {{"none"}, false, {"bogus", "--yes"}, "", 2, "", "v7ctl: \"bogus\"" + verbHelp, "", nullptr},
        {{"none"}, false, {}, "", 2, "", "v7ctl: name a verb (v7ctl --help lists them)\n", "", nullptr},
        {{"none"}, false, {"--yes"}, "", 2, "", "v7ctl: name a verb (v7ctl --help lists them)\n", "", nullptr},
        {{"none"}, false, {"status", "bogus"}, "", 2, "",
         "v7ctl: The following argument was not expected: bogus\nRun with --help for more information.\n", "", nullptr},
        {{"none"}, false, {"bog\x1b[2Jus"}, "", 2, "", "v7ctl: \"bog\\x1b[2Jus\"" + verbHelp, "", nullptr},
        {{"none"}, false, {"status", "\x1b]0;owned\x07"}, "", 2, "",
         "v7ctl: The following argument was not expected: \\x1b]0;owned\\x07\nRun with --help for more information.\n", "",
         nullptr},
        {{"none"}, false, {"--help"}, "", 0, "*", "", "", nullptr},
        // Values the window would not offer.
        {{"none"}, false, {"set", "autolaunch", "maybe"}, "", 2, "", "*maybe*", "", nullptr},
        {{"none"}, false, {"set", "shutdown-requests", "yes"}, "", 2, "", "*yes*", "", nullptr},
        {{"none"}, false, {"set", "login-name", "A-name-of-twenty-one!"}, "", 2, "", "*at most 20 bytes (21 given*", "",
         nullptr},
        {{"none"}, false, {"set", "login-name", "\xC3\x85sa-" + std::string(16, 'x')}, "", 2, "",
         "*at most 20 bytes (21 given*", "", nullptr},
        {{"none"}, false, {"set", "display", "800 x 600, 16 colors"}, "", 2, "",
         "*800 x 600, 256 colors; 800 x 600, High color (16-bit)*", "", nullptr},
        {{"none"}, false, {"set", "display", "800 x 600, 256 colors", "--refresh", "72"}, "", 2, "", "*56 Hz, 60 Hz*", "",
         nullptr},
        {{"none"}, false, {"set"}, "", 2, "", "*subcommand*", "", nullptr},
        {{"none"}, false, {"set", "display", "--help"}, "", 0,
         "*\n  640 x 480, 16 colors  (--refresh 60)\n*\n  1024 x 768, 256 colors  (--refresh 44, 60, 72, 76)\n*", "",
         "", nullptr},
        {{}, true, {"is-on"}, "", 0, "on\n", "", "", nullptr},
        {{}, false, {"is-on", "-q"}, "", 1, "", "", "", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Verb.empty() ? "(no verb)" : c.Verb[0] + " " + c.Verb.back().substr(0, 20));
        Host host(c.Drivers);
        if (c.On) {
            ASSERT_EQ(RunV7ctl({"on"}).ExitCode, host.Drivers ? 0 : 3);
        }
        const std::string before = regtest::Export();
        const ToolResult result = RunV7ctl(c.Verb, c.Stdin);
        EXPECT_EQ(result.ExitCode, c.ExitCode) << result.Err;
        if (c.ExitCode == 2) {
            EXPECT_EQ(regtest::Export(), before) << "a refused verb changes nothing";
        }
        EXPECT_TRUE(Matches(result.Out, c.Out)) << result.Out;
        EXPECT_TRUE(Matches(result.Err, c.Err)) << result.Err;
        const auto received = Received();
        if (c.Received.empty()) {
            EXPECT_TRUE(received.empty());
        } else {
            ASSERT_EQ(received.size(), 1u);
            EXPECT_EQ(received[0].substr(received[0].find("\n\n") + 2), c.Received);
            EXPECT_EQ(received[0].rfind("From:  ", 0), 0u) << received[0];
        }
        if (c.Station) {
            EXPECT_EQ(RunV7ctl({"status"}).Out.rfind(std::string(c.Station) + "\n", 0), 0u);
        }
    }
}

TEST(Verbs, ShutdownNeedsYesSavesTheSettingAndReachesTheDrivers) {
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
        Host host(c.DriverArgs);
        regtest::Store(kProduct, "Shutdown Enabled", host::kRegBinary, {0});
        const ToolResult result = RunV7ctl(c.Verb);
        EXPECT_EQ(result.ExitCode, c.ExitCode) << result.Err;
        EXPECT_EQ(result.Out.rfind(c.Out, 0), 0u) << result.Out;
        EXPECT_EQ(result.Err.rfind(c.Err, 0), 0u) << result.Err;
        if (c.LastEvent.rfind("stop", 0) == 0) host.Drivers->Stop();  // waits until the drivers have ended
        const auto events = StationLogEvents();
        const std::string last = events.empty() ? "" : events.back();
        EXPECT_EQ(last.rfind(c.LastEvent, 0), 0u) << last;
        EXPECT_EQ(regtest::Query(kProduct, "Shutdown Enabled"), regtest::Binary({c.ShutdownEnabled}));
    }
}

// The paragraphs that send their reader to the window or to System.ini, as
// the command line words them.
const std::map<unsigned, const char*> kCommandLineParagraphs = {
    {3000,
     "[ Brakor.vxd is not loaded ]\n"
     "    The station drivers are not running, or Brakor.vxd,\n"
     "    the main one, is not among them. Start them with\n"
     "    \"systemctl --user start v7-stationd\" and run\n"
     "    \"v7ctl test\" again.\n\n"},
    {3008,
     "[ V7 Station is not turned on ]\n"
     "    The V7 Station is not working because it has not been\n"
     "    turned on.  Turn it on with \"v7ctl on\".\n\n"},
};

// The test verb's text and exit code (which fault shows which paragraph: StationTestPassTest).
TEST(Verbs, TestPrintsCaptionChecksAndTroubleshooterAndFailsOnAProblem) {
    struct Case {
        const char* Name;
        bool Drivers;               // a daemon at all, and v7ctl on before the test
        const char* ClearedValue;   // a station value set to 0 afterwards
        const char* Ticks;          // the five checks, x for passed
        std::vector<unsigned> Paragraphs;
    };
    const Case cases[] = {
        {"healthy and on", true, nullptr, "xxxxx", {3007}},
        {"keyboard value cleared", true, "V7 Keyboard Init", "xx xx", {3005}},
        {"no drivers", false, nullptr, " xxx ", {3000, 3001, 3002, 3003, 3009, 3008}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Host host(c.Drivers ? std::vector<std::string>{} : std::vector<std::string>{"none"});
        if (c.Drivers) {
            ASSERT_EQ(RunV7ctl({"on"}).ExitCode, 0);
        }
        if (c.ClearedValue) regtest::Store(StationConfiguration::StationKeyPath(1), c.ClearedValue, host::kRegBinary, {0});

        const ToolResult result = RunV7ctl({"test"});
        const bool ok = c.Paragraphs == std::vector<unsigned>{3007};
        EXPECT_EQ(result.ExitCode, ok ? 0 : 1) << result.Err;
        // The caption, the checks as the dialog labels them, the paragraphs with LF line ends.
        std::string expected = ok ? "Test V7 Station: OK\n\n" : "Test V7 Station: Problem?\n\n";
        const char* labels[] = {"Orvane V7 system software is running?", "V7 Station connector box initialized ok?",
                                "V7 Station keyboard initialized ok?", "V7 Station mouse initialized ok?",
                                "V7 Station is turned on?"};
        for (int i = 0; i < 5; ++i) expected += std::string(c.Ticks[i] == 'x' ? "[x] " : "[ ] ") + labels[i] + "\n";
        expected += "\n";
        for (unsigned id : c.Paragraphs) {
            const auto own = kCommandLineParagraphs.find(id);
            for (const char* p = own != kCommandLineParagraphs.end() ? own->second : res::FindString(id); *p; ++p)
                if (*p != '\r') expected += *p;
        }
        EXPECT_EQ(result.Out, expected);
        EXPECT_EQ(result.Err.empty(), c.Drivers) << "only a missing driver device is worth a word: " << result.Err;
    }
}

// The advice for drivers that are not running names the unit that serves the
// root in use: the system unit for the system-wide root, the user's otherwise.
TEST(Verbs, DriversAdviceNamesTheUnitOfTheRootInUse) {
    TempHostRoot own;
    const std::string user = "\"systemctl --user start v7-stationd\"", system = "\"systemctl start v7-stationd\" as root";
    for (const auto& [root, unit, other] : {std::tuple{own.Path(), user, system},
                                            {host::emulated::SystemHostRoot(), system, user}}) {
        host::emulated::SetHostRoot(root);
        for (unsigned id : {2011u, 3000u}) {
            const std::string text = cli::CommandLineText(id);
            EXPECT_NE(text.find(unit), std::string::npos) << root << ": " << text;
            EXPECT_EQ(text.find(other), std::string::npos) << root << ": " << text;
        }
    }
    host::emulated::SetHostRoot(own.Path());
}

using UserVerbsTest = InitializedHostTest;

TEST_F(UserVerbsTest, RemoveUserRefusesWhatTheWindowWouldAskOrRefuse) {
    // The drivers have ANNA at the station; the registry remembers Bertil, who is not asked about.
    regtest::Store(StationConfiguration::StationKeyPath(1), "AutoLaunch", host::kRegBinary, {1});
    RunningStationDrivers drivers({"--current-user", "ANNA"});
    ASSERT_TRUE(drivers.Started());
    regtest::StoreText(StationConfiguration::StationKeyPath(1), "Current User", "Bertil");
    struct Case {
        std::vector<std::string> Args;
        int ExitCode;
        std::string Err;  // start of stderr
    } const cases[] = {
        {{"remove-user", "Bertil"}, 2, "v7ctl: removing Bertil's user profile deletes its files; add --yes"},
        {{"remove-user", "Nobody", "--yes"}, 4, "v7ctl: there is no user profile named \"Nobody\""},
        {{"remove-user", "..", "--yes"}, 4, "v7ctl: there is no user profile named \"..\""},
        {{"remove-user", LoginName(), "--yes"}, 1, "v7ctl: User \"" + LoginName() + "\" is the currently logged in user"},
        {{"remove-user", "anna", "--yes"}, 2, "v7ctl: User \"Anna\" is currently logged on to the V7 station."},
        {{"remove-user"}, 2, "v7ctl: NAME is required"},
    };
    for (const Case& c : cases) {
        const ToolResult result = RunV7ctl(c.Args);
        EXPECT_EQ(result.ExitCode, c.ExitCode) << c.Args.back() << result.Err;
        EXPECT_EQ(result.Err.rfind(c.Err, 0), 0u) << result.Err;
    }
    EXPECT_EQ(RunV7ctl({"users"}).Out, "Anna\nBertil\n" + LoginName() + "\nUser1\n") << "nothing was removed";
}

TEST_F(UserVerbsTest, RemoveUserRemovesAndReportsFailuresAsTheWindowDoes) {
    fs::remove_all(host::emulated::DriveCPath() / "WINDOWS" / "Profiles" / "Bertil");
    ToolResult removed = RunV7ctl({"remove-user", "BERTIL", "--yes"});
    EXPECT_EQ(removed.ExitCode, 1);
    EXPECT_EQ(removed.Err, "v7ctl: Could not remove disk directory:\n\n[ c:\\windows\\profiles\\bertil ].\n");

    regtest::StoreText(StationConfiguration::StationKeyPath(1), "Current User", "Anna");
    removed = RunV7ctl({"remove-user", "Anna", "--yes", "--logged-on"});
    EXPECT_EQ(removed.ExitCode, 0) << removed.Err;
    EXPECT_EQ(removed.Out, "Removed the user profile of Anna.\n");
    EXPECT_FALSE(fs::exists(host::emulated::DriveCPath() / "WINDOWS" / "Profiles" / "Anna"));

    const std::string profiles = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProfileList\\";
    host::DeleteRegKey(host::kLocalMachine, (profiles + LoginName()).c_str());
    EXPECT_EQ(RunV7ctl({"users"}).Out, "User1\n");
    host::DeleteRegKey(host::kLocalMachine, (profiles + "User1").c_str());
    const ToolResult none = RunV7ctl({"users"});
    EXPECT_EQ(none.ExitCode, 1);
    EXPECT_EQ(none.Out, "");
    EXPECT_EQ(none.Err.rfind("v7ctl: No User Names were found.", 0), 0u) << none.Err;
}

}  // namespace
