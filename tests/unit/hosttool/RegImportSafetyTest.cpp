// "reg import" is all or nothing: a bad line, or a name the registry would
// refuse, is told by its number, a busy registry changes nothing, and a kill at
// any moment leaves the registry as before or after; damage is told in one line.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <thread>

#include "host/emulated/root.h"
#include "support/RegistryTestUtil.h"
#include "support/TempHostRoot.h"

namespace fs = std::filesystem;
using namespace regtest;
using namespace std::string_literals;

namespace {

TEST(RegImport, ABadLineOrANameTheRegistryRefusesIsToldByItsNumberAndNothingIsApplied) {
    InitializedHostRoot root;
    const std::string before = Export();
    // Each file starts with good steps (a deletion among them), lines 1-5, before its bad line.
    const std::string good = "REGEDIT4\n\n[-HKEY_LOCAL_MACHINE\\Software\\Halvorn]\n[HKEY_LOCAL_MACHINE\\Software\\New]\n"
                             "\"ok\"=\"fine\"\n";
    struct Case {
        std::string Bad;
        int Line = 6;
    } const cases[] = {
        {"\"open\"=\"never closed\n"}, {"\"esc\"=\"bad \\n escape\"\n"}, {"\"h\"=hex:01,0g\n"},
        {"\"h\"=hex:01,\\\n  zz\n"}, {"\"h\"=hex:01,\\\n"}, {"\"d\"=dword:123456789\n"}, {"\"t\"=text:abc\n"},
        {"\"x\"=\"1\" trailing\n"}, {"\"x\"\n"}, {"just words\n"}, {"\n; fine\n[HKEY_CURRENT_USER\\Software]\n", 8},
        {"[HKEY_LOCAL_MACHINE\\Software\\\\Twice]\n"}, {"[HKEY_LOCAL_MACHINE\\Software\n"}, {"[-HKEY_LOCAL_MACHINE]\n"},
        {"[-HKEY_LOCAL_MACHINE\\Software\\New]\n\"v\"=\"under a deleted key\"\n", 7},
        // Names the registry itself would refuse.
        {"[HKEY_LOCAL_MACHINE\\Software\\" + std::string(256, 'k') + "]\n"}, {"[HKEY_LOCAL_MACHINE\\" + Levels(513) + "]\n"},
        {"\"" + std::string(16384, 'v') + "\"=\"x\"\n"}, {"\"a\0b\"=\"x\"\n"s}, {"\"a\rb\"=\"x\"\n"},
        {"[HKEY_LOCAL_MACHINE\\Software\\a\0b]\n"s}, {"[HKEY_LOCAL_MACHINE\\Software\\a\rb]\n"},
        {"[HKEY_LOCAL_MACHINE\\Software\\tab\there]\n"},
    };
    for (const Case& c : cases) {
        ToolResult r = Import(good + c.Bad);
        SCOPED_TRACE(c.Bad.substr(0, 40));
        EXPECT_EQ(r.ExitCode, 1);
        EXPECT_EQ(r.Err.rfind("v7-host: stdin:" + std::to_string(c.Line) + ": ", 0), 0u) << r.Err.substr(0, 200);
        EXPECT_EQ(LineCount(r.Err), 1) << r.Err;
    }
    // Input that is no registry text, endless or huge is refused in one line as soon as that shows.
    const struct {
        std::string Text;
        const char* File;
        const char* Says;
    } refused[] = {
        {"", "-", "stdin:1: not a registry file"}, {"\n\n", "-", "stdin:1: not a registry file"},
        {"[HKEY_LOCAL_MACHINE\\Software]\n", "-", "stdin:1: not a registry file"},
        {"\"v\"=\"before any key\"\n", "-", "stdin:1: not a registry file"},
        {"REGEDIT4\n\"v\"=\"before any key\"\n", "-", "stdin:2: value before the first key"},
        {"", "/dev/zero", "/dev/zero:1: not a registry file"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\New]\n\n\0\n"s, "-", "stdin:4: a NUL byte"},
        {"REGEDIT4\n" + std::string(17 << 20, ';'), "-", "stdin: larger than 16 MiB"},
    };
    for (const auto& c : refused) {
        ToolResult r = RunHostTool({"reg", "import", c.File}, c.Text);
        EXPECT_EQ(r.ExitCode, 1) << c.Says;
        EXPECT_NE(r.Err.find(c.Says), std::string::npos) << r.Err.substr(0, 200);
        EXPECT_EQ(LineCount(r.Err), 1) << r.Err.substr(0, 200);
    }
    EXPECT_EQ(Export(), before);
}

TEST(RegImport, ABusyRegistryIsToldInWordsAndNothingIsImported) {
    InitializedHostRoot root;
    const std::string before = Export();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(host::emulated::RegistryPath().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);  // another writer
    ToolResult r = Import("REGEDIT4\n[-HKEY_LOCAL_MACHINE\\Software]\n[HKEY_LOCAL_MACHINE\\New]\n\"v\"=\"x\"\n");
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_NE(r.Err.find("busy"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("nothing was imported"), std::string::npos) << r.Err;
    EXPECT_EQ(LineCount(r.Err), 1) << r.Err;
    EXPECT_EQ(Export(), before);
}

pid_t StartImport(const fs::path& file) {
    pid_t pid = fork();
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec.
        if (const int null = open("/dev/null", O_WRONLY); null >= 0) dup2(null, STDERR_FILENO);
        execl(V7_HOSTTOOL_PATH, V7_HOSTTOOL_PATH, "reg", "import", file.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

TEST(RegImport, AKillAtAnyMomentLeavesTheRegistryAsBeforeOrAsAfter) {
    InitializedHostRoot root;
    const std::string before = Export();
    // Replaces the product's keys and adds many values: a mix would show.
    std::string text = "REGEDIT4\n\n[-HKEY_LOCAL_MACHINE\\Software]\n";
    for (int k = 0; k < 40; ++k) {
        text += "[HKEY_LOCAL_MACHINE\\Software\\Imported\\Key" + std::to_string(k) + "]\n";
        for (int v = 0; v < 100; ++v) text += "\"Value" + std::to_string(v) + "\"=dword:" + std::to_string(k) + "\n";
    }
    const fs::path file = root.Path() / "big.reg", reset = root.Path() / "reset.reg";
    std::ofstream(file) << text;
    std::ofstream(reset) << "REGEDIT4\n[-HKEY_LOCAL_MACHINE\\Software]\n" << before.substr(before.find('['));

    auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(RunHostTool({"reg", "import", file.string()}).ExitCode, 0);
    const auto full = std::chrono::steady_clock::now() - started;
    const std::string after = Export();
    ASSERT_NE(after, before);
    ASSERT_EQ(RunHostTool({"reg", "import", reset.string()}).ExitCode, 0);
    ASSERT_EQ(Export(), before);

    std::mt19937 random(20261207);
    std::uniform_int_distribution<long> delay(0, std::chrono::duration_cast<std::chrono::microseconds>(full).count());
    int killed = 0;
    for (int round = 0; round < 24; ++round) {
        pid_t pid = StartImport(file);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        killed += WIFSIGNALED(status);
        const std::string now = Export();
        ASSERT_TRUE(now == before || now == after) << "round " << round << " left a mix";
        if (now == after) {
            ASSERT_EQ(RunHostTool({"reg", "import", reset.string()}).ExitCode, 0);
        }
    }
    EXPECT_GE(killed, 8);  // most kills land before the import ends
}

TEST(RegTool, ARegistryProblemIsToldOnceInOneLine) {
    const struct {
        const char* Content;
        std::vector<std::string> Args;
        const char* Says;
    } cases[] = {
        {"not a registry", {"reg", "export"}, "damaged"},
        {"not a registry", {"reg", "import", "-"}, "damaged"},
        {"", {"reg", "export"}, "empty"},
        {"", {"config"}, "empty"},
    };
    for (const auto& c : cases) {
        TempHostRoot root;
        std::ofstream(host::emulated::RegistryPath()) << c.Content;
        ToolResult r = RunHostTool(c.Args, "REGEDIT4\n[HKEY_LOCAL_MACHINE\\New]\n");
        EXPECT_EQ(r.ExitCode, 1) << c.Args[0];
        EXPECT_EQ(LineCount(r.Err), 1) << r.Err;
        EXPECT_NE(r.Err.find(c.Says), std::string::npos) << r.Err;
        EXPECT_EQ(FileBytes(host::emulated::RegistryPath()), c.Content);
    }
}

TEST(RegTool, AReadOnlyRegistryStillExports) {
    InitializedHostRoot root;
    const std::string before = Export();
    fs::permissions(host::emulated::RegistryPath(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    // As root, file permissions bind only another user: export as "nobody".
    if (geteuid() == 0) {
        fs::permissions(root.Path(), fs::perms::all);
        const ToolResult r = RunProgram("/usr/bin/setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                                                              V7_HOSTTOOL_PATH, "reg", "export"});
        EXPECT_EQ(r.ExitCode, 0) << r.Err;
        EXPECT_EQ(r.Out, before);
    } else {
        EXPECT_EQ(Export(), before);
        EXPECT_EQ(Import("REGEDIT4\n[HKEY_LOCAL_MACHINE\\New]\n").ExitCode, 1);
    }
}

}  // namespace
