// v7ctl for scripts: every verb's --json object against its schema, the exit
// codes, "changed", --check, metrics, and output that cannot be written; with
// them the power verbs against the real station drivers.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "support/RegistryTestUtil.h"
#include "support/TempHostRoot.h"

namespace {

// Validates each (schema name, object file) pair; prints one line per object
// that is not exactly one JSON object matching its schema.
const char* kValidator = R"(
import json, pathlib, sys, jsonschema
folder = pathlib.Path(sys.argv[1])
for name, path in zip(sys.argv[2::2], sys.argv[3::2]):
    schema = json.loads((folder / (name + ".json")).read_text())
    resolver = jsonschema.RefResolver(folder.resolve().as_uri() + "/", schema)
    lines = pathlib.Path(path).read_text().splitlines()
    try:
        if len(lines) != 1: raise ValueError(f"{len(lines)} lines on stdout")
        jsonschema.Draft202012Validator(schema, resolver=resolver).validate(json.loads(lines[0]))
    except Exception as e:
        print(f"{path}: {str(e).splitlines()[0]}")
)";

// What is done to the fresh host before the verb.
// kVariableElsewhere: V7_HOST_ROOT names a missing root; --root names the host (ROOT).
enum Before { kNothing, kOn, kDamagedRegistry, kNoRegistry, kVariableElsewhere };

struct VerbRun {
    const char* Drivers;  // v7-stationd's switches; "none": no drivers
    Before Setup;
    std::vector<std::string> Verb;
    const char* Schema;
    int ExitCode;
    const char* Holds;  // part of the compact object
};

// Each row on a fresh host; --json goes before the verb and after it in turn.
const VerbRun kRuns[] = {
    {"", kNothing, {"status"}, "status", 0, R"("current-user":null,"drivers":"running","remembered":false,"shutdown-requests":"allow","state":"off")"},
    {"", kOn, {"status"}, "status", 0, R"("current-user":"User1","drivers":"running","remembered":false,"shutdown-requests":"allow","state":"on")"},
    {"none", kNothing, {"status"}, "status", 3, R"("drivers":"not-running","error":{"code":3,"message":"The station drivers are not running)"},
    {"--slow 5000", kNothing, {"status", "--timeout", "0.3"}, "status", 6, R"("drivers":"not-answering","error":{"code":6,)"},
    {"--slow 5000", kNothing, {"on", "--timeout", "0.3"}, "on", 6, R"("code":6)"},
    {"--refuse-on", kNothing, {"on"}, "on", 5, R"({"changed":false,"error":{"code":5,"message":"Did not turn on the V7 station successfully."})"},
    {"none", kNothing, {"on"}, "on", 3, R"("code":3)"},
    {"", kOn, {"on"}, "on", 0, R"({"changed":false,"state":"on"})"},
    {"", kVariableElsewhere, {"--root", "ROOT", "on"}, "on", 0, R"({"changed":true,"state":"on"})"},
    {"", kVariableElsewhere, {"status", "--root", "ROOT"}, "status", 0, R"("drivers":"running","remembered":false)"},
    {"", kOn, {"off"}, "off", 2, R"("code":2,"message":"turning the station off logs its user off; add --yes)"},
    {"", kNothing, {"off", "--yes"}, "off", 0, R"({"changed":false,"state":"off"})"},
    {"", kNothing, {"test"}, "test", 1, R"("id":"station-not-on","text":"[ V7 Station is not turned on ]\n    The V7 Station is not working because it has not been\n    turned on.  Turn it on with \"v7ctl on\".)"},
    {"", kOn, {"test"}, "test", 0, R"("problem-found":false)"},
    {"", kNothing, {"users"}, "users", 0, R"("users":["Anna","Bertil",)"},
    {"", kNothing, {"remove-user", "Nobody", "--yes"}, "remove-user", 4, R"("code":4)"},
    {"", kNothing, {"remove-user", "Nobody", "--missing-ok"}, "remove-user", 0, R"({"changed":false,"user":"Nobody"})"},
    {"", kNothing, {"version"}, "version", 0, R"({"file":"Brakor.vxd","file-version":"2.30.0.112","loaded":"2.30"})"},
    {"none", kNothing, {"version"}, "version", 0, R"({"file":"Brakor.vxd","file-version":"2.30.0.112","loaded":null})"},
    {"", kNothing, {"options"}, "options", 0, R"("display":"640 x 480, 256 colors","login-name":"User1","refresh":60)"},
    {"", kNothing, {"set", "display", "800 x 600, 256 colors", "--refresh", "56"}, "set", 0, R"({"changed":true,"display":"800 x 600, 256 colors","refresh":56})"},
    {"", kNothing, {"set", "autolaunch", "maybe"}, "set", 2, R"({"error":{"code":2,)"},
    {"", kNothing, {"status", "--timeout", "nan"}, "error", 2, R"({"error":{"code":2,"message":"--timeout: seconds from)"},
    {"", kOn, {"message", "hi"}, "message", 0, R"({"changed":true,"station":"Station1"})"},
    {"", kNothing, {"message", "hi"}, "message", 1, R"("message":"The V7 Station is not on.  There is no one to send a message to.  Turn it on with \"v7ctl on\".")"},
    {"", kNothing, {"shutdown", "--check"}, "shutdown", 0, R"({"action":"shut-down","changed":true})"},
    // An unusable or missing registry is said, never answered with defaults.
    {"none", kDamagedRegistry, {"set", "autolaunch", "on"}, "error", 1, R"({"error":{"code":1,"message":"the registry cannot be read (error 1009); nothing was read or changed"}})"},
    {"none", kNoRegistry, {"options"}, "error", 1, R"({"error":{"code":1,"message":"the registry cannot be read (error 1009))"},
    {"", kNothing, {"bogus"}, "error", 2, R"("message":"\"bogus\" is not a verb)"},
    {"", kOn, {"is-on"}, "is-on", 0, R"({"state":"on"})"},
    {"", kNothing, {"is-on", "-q"}, "is-on", 1, R"({"state":"off"})"},
    {"--slow 5000", kNothing, {"is-on", "--timeout", "0.3"}, "is-on", 6, R"({"error":{"code":6,)"},
    {"", kNothing, {"metrics"}, "error", 2, R"({"error":{"code":2,"message":"metrics writes the Prometheus text format)"},
};

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        words.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

TEST(ScriptingTest, EveryVerbGivesOneObjectOfItsSchemaAndTheExitCodeScriptsBranchOn) {
    std::vector<std::string> check{"-c", kValidator, V7_CLI_SCHEMA_DIR};
    const std::string scratch = testing::TempDir() + "v7ctl-json-";
    for (std::size_t i = 0; i < std::size(kRuns); ++i) {
        const VerbRun& run = kRuns[i];
        SCOPED_TRACE(run.Verb[0] + " with " + run.Drivers);
        InitializedHostRoot root;
        std::unique_ptr<RunningStationDrivers> drivers;
        if (std::string(run.Drivers) != "none") drivers = std::make_unique<RunningStationDrivers>(Words(run.Drivers));
        if (run.Setup == kOn) {
            ASSERT_EQ(RunV7ctl({"on"}).ExitCode, 0);
        }
        if (run.Setup == kNoRegistry) std::filesystem::remove(root.Path() / "registry.db");
        if (run.Setup == kDamagedRegistry) {
            std::FILE* registry = std::fopen((root.Path() / "registry.db").c_str(), "w");
            std::fputs("not a registry", registry);
            std::fclose(registry);
        }
        if (run.Setup == kVariableElsewhere) setenv("V7_HOST_ROOT", (root.Path() / "elsewhere").c_str(), 1);
        std::vector<std::string> args = run.Verb;
        std::replace(args.begin(), args.end(), std::string("ROOT"), root.Path().string());
        args.insert(i % 2 ? args.end() : args.begin(), "--json");
        const ToolResult result = RunV7ctl(args);
        EXPECT_EQ(result.ExitCode, run.ExitCode) << result.Err;
        EXPECT_NE(result.Out.find(run.Holds), std::string::npos) << result.Out;
        // A failure told on stderr is in the object too.
        EXPECT_EQ(result.Out.find("\"error\"") != std::string::npos, result.ExitCode != 0 && !result.Err.empty());
        const std::string file = scratch + std::to_string(i);
        std::FILE* out = std::fopen(file.c_str(), "w");
        std::fputs(result.Out.c_str(), out);
        std::fclose(out);
        check.push_back(run.Schema);
        check.push_back(file);
    }
    const ToolResult validated = RunProgram("/usr/bin/python3", check);
    EXPECT_EQ(validated.ExitCode, 0) << validated.Err;
    EXPECT_EQ(validated.Out, "");
    for (std::size_t i = 0; i < std::size(kRuns); ++i) std::remove((scratch + std::to_string(i)).c_str());
}

// Each changing verb: --check says it would change and leaves the registry
// byte for byte; the verb then changes it; said again it changes nothing.
TEST(ScriptingTest, ChangingVerbsSayWhetherTheyChangedAndCheckChangesNothing) {
    InitializedHostRoot root;
    RunningStationDrivers drivers;
    const std::vector<std::string> verbs[] = {
        {"on"},
        {"set", "autolaunch", "on"},
        {"set", "shutdown-requests", "stop"},
        {"set", "login-name", "Bob"},
        {"set", "display", "1024 x 768, 256 colors", "--refresh", "72"},
        {"remove-user", "Bertil", "--yes", "--missing-ok"},
        {"off", "--yes"},
    };
    for (std::vector<std::string> verb : verbs) {
        SCOPED_TRACE(verb.back());
        verb.push_back("--json");
        const std::string before = regtest::Export();
        verb.push_back("--check");
        EXPECT_NE(RunV7ctl(verb).Out.find("\"changed\":true"), std::string::npos);
        EXPECT_EQ(regtest::Export(), before);
        verb.pop_back();
        for (const char* changed : {"\"changed\":true", "\"changed\":false"}) {
            const ToolResult result = RunV7ctl(verb);
            EXPECT_EQ(result.ExitCode, 0) << result.Err;
            EXPECT_NE(result.Out.find(changed), std::string::npos) << result.Out;
        }
        EXPECT_NE(regtest::Export(), before);
    }
}

// metrics in each state of the drivers, the station turned on first (as
// whatever login name): exit 0, the samples that state gives, and text
// that promtool accepts.
TEST(ScriptingTest, MetricsSayWhatTheDriversAnswerAndPassPromtool) {
    const struct {
        const char* Drivers;  // as the station is read; "none": stopped
        std::string LoginName;
        std::vector<std::string> Holds;
        const char* Lacks;
    } rows[] = {
        {"", "User1",
         {"v7_drivers_up 1\n", "v7_station_on 1\n", "v7_station_on_remembered 0\n",
          "v7_driver_loaded{driver=\"Brakor.vxd\",version=\"2.30\",file_version=\"2.30.0.112\"} 1\n",
          "v7_station_check_ok{check=\"station-on\"} 1\n", "v7_station_user_info{user=\"User1\"} 1\n"},
         "\nv7_drivers_state{state=\"running\"} 0"},
        {"none", "User1",
         {"v7_drivers_up 0\n", "v7_drivers_state{state=\"not-running\"} 1\n", "v7_station_on 1\n",
          "v7_station_on_remembered 1\n", "{driver=\"Brakor.vxd\",version=\"\",file_version=\"2.30.0.112\"} 0\n",
          "v7_station_check_ok{check=\"software-running\"} 0\n"},
         "v7_station_user_info{"},
        {"--slow 5000", "User1", {"v7_drivers_up 0\n", "v7_drivers_state{state=\"not-answering\"} 1\n"},
         "v7_station_user_info{"},
        // Escaped as the format says; a byte that is not UTF-8, or a control
        // character the format cannot escape, becomes U+FFFD.
        {"", "a\"b\\c\nd\x1b\xFF\xC3\xA9",
         {"v7_station_user_info{user=\"a\\\"b\\\\c\\nd\xEF\xBF\xBD\xEF\xBF\xBD\xC3\xA9\"} 1\n"}, "\x1b"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Drivers + row.LoginName);
        InitializedHostRoot root;
        auto drivers = std::make_unique<RunningStationDrivers>();
        ASSERT_EQ(RunV7ctl({"set", "login-name", row.LoginName}).ExitCode, 0);
        ASSERT_EQ(RunV7ctl({"on"}).ExitCode, 0);
        if (*row.Drivers) drivers.reset();
        if (*row.Drivers && std::string(row.Drivers) != "none")
            drivers = std::make_unique<RunningStationDrivers>(Words(row.Drivers));
        const ToolResult result = RunV7ctl({"metrics", "--timeout", "0.3"});
        EXPECT_EQ(result.ExitCode, 0) << result.Err;
        for (const std::string& sample : row.Holds) EXPECT_NE(result.Out.find(sample), std::string::npos) << sample;
        EXPECT_EQ(result.Out.find(row.Lacks), std::string::npos) << result.Out;
        const ToolResult checked = RunProgram("/usr/bin/promtool", {"check", "metrics"}, result.Out);
        EXPECT_EQ(checked.ExitCode, 0) << checked.Out << checked.Err << result.Out;
    }
}

TEST(ScriptingTest, OutputToAFullDiskFails) {
    InitializedHostRoot root;
    RunningStationDrivers drivers;
    for (const std::vector<std::string>& args : {std::vector<std::string>{"status"}, {"--json", "status"}}) {
        const int code = regtest::InChild([&args] {
            std::vector<char*> argv{const_cast<char*>(V7_V7CTL_PATH)};
            for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            dup2(open("/dev/full", O_WRONLY), STDOUT_FILENO);
            dup2(open("/dev/null", O_WRONLY), STDERR_FILENO);
            execv(V7_V7CTL_PATH, argv.data());
            return 127;
        });
        EXPECT_EQ(code, 1) << args[0];
    }
}

}  // namespace
