// "v7-host init": the installer's registry, system.ini, profiles and driver
// files, the completion of a root that lacks some of them, the refusal to
// overwrite an existing host, and the tool's errors.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>

#include "host/emulated/driver_catalog.h"
#include "host/emulated/root.h"
#include "host/emulated/version_block.h"
#include "host/device.h"
#include "host/registry_scope.h"
#include "host/version.h"
#include "support/InitializedHost.h"
#include "support/RegistryTestUtil.h"

namespace fs = std::filesystem;
using namespace regtest;
using namespace std::string_literals;
using host::kRegBinary;
using host::kRegSz;

namespace {

const std::string kProduct = "Software\\Halvorn\\Orvane";
const std::string kStation = kProduct + "\\Setup\\Station1";

class InitTest : public InitializedHostTest {
protected:
    fs::path Windows() const { return m_root.Path() / "drive_c" / "WINDOWS"; }
};

TEST_F(InitTest, WritesTheStationValuesWithTheStoreTypes) {
    const std::string one = "\1", zero = "\0"s, board = kProduct + "\\Setup\\Board1";
    const struct {
        std::string Key;
        const char* Name;
        host::DWORD Type;
        std::string Data;
    } values[] = {
        {kProduct, "Shutdown Enabled", kRegBinary, one},  {kProduct, "Shutdown Default", kRegBinary, one},
        {kProduct, "AutoLaunch Enabled", kRegBinary, zero}, {kProduct, "Station Display", kRegBinary, one},
        {kProduct, "Station Mode", kRegSz, "640 x 480, 256 colors\0"s}, {kProduct, "RefreshRate", kRegSz, "60\0"s},
        {board, "Detected", kRegBinary, one},             {board, "Launched", kRegBinary, zero},
        {kStation, "Launched", kRegBinary, zero},         {kStation, "OnLine", kRegBinary, one},
        {kStation, "IO Handle", kRegBinary, "\0\3\0\0"s}, {kStation, "Board Number", kRegBinary, one},
        {kStation, "Current User", kRegSz, "[ None ]\0"s}, {kStation, "Default User", kRegSz, "User1\0"s},
        {kStation, "Station Name", kRegSz, "Station1\0"s}, {kStation, "V7 Base Init", kRegBinary, one},
        {kStation, "V7 Keyboard Init", kRegBinary, one},  {kStation, "V7 Mouse Init", kRegBinary, one},
        {kStation + "\\Display\\DEFAULT", "Mode", kRegSz, "8,640,480\0"s},
    };
    for (const auto& v : values) EXPECT_EQ(Query(v.Key, v.Name), Value(v.Type, v.Data)) << v.Key << " " << v.Name;
    EXPECT_TRUE(KeyExists(kStation + "\\Display\\MODES\\24\\640,480"));
}

TEST_F(InitTest, GivesEveryUserAProfileAPasswordFileAndAPasswordListLine) {
    std::string ini = FileBytes(Windows() / "system.ini");
    EXPECT_NE(ini.find("[386Enh]\r\ndevice=brakor.vxd\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("[Password Lists]\r\n"), std::string::npos) << ini;
    EXPECT_EQ(std::count(ini.begin(), ini.end(), '\n'), std::count(ini.begin(), ini.end(), '\r')) << "bare LF";

    for (std::string user : {"User1", "Anna", "Bertil"}) {
        std::string upper = user;
        std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
        EXPECT_NE(ini.find(upper + "=C:\\WINDOWS\\" + upper + ".PWL\r\n"), std::string::npos) << user;
        EXPECT_TRUE(fs::is_regular_file(Windows() / (upper + ".PWL"))) << user;
        EXPECT_EQ(Query("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProfileList\\" + user, "ProfileImagePath"),
                  Value(kRegSz, "C:\\WINDOWS\\Profiles\\" + user + '\0'));
        EXPECT_TRUE(fs::is_directory(Windows() / "Profiles" / user / "Desktop")) << user;
        EXPECT_EQ(fs::status(Windows() / "Profiles" / user / "USER.DAT").permissions() & fs::perms::owner_write,
                  fs::perms::none) << user << ": USER.DAT should be read-only";
    }
}

TEST_F(InitTest, DriverFilesCarryTheirCatalogVersions) {
    for (const auto& driver : host::emulated::kDrivers) {
        SCOPED_TRACE(driver.FileName);
        // By bare name, as the About box asks: found in C:\WINDOWS\SYSTEM.
        std::vector<char> block(host::GetVersionInfoSize(driver.FileName, nullptr));
        ASSERT_TRUE(!block.empty() && host::GetVersionInfo(driver.FileName, 0, block.size(), block.data()));
        void* value = nullptr;
        host::UINT length = 0;
        auto query = [&](const std::string& path) {
            return host::QueryVersionValue(block.data(), path.c_str(), &value, &length);
        };
        for (auto [name, expected] : {std::pair{"FileVersion", driver.FileVersion},
                                      {"FileDescription", driver.Description}, {"CompanyName", driver.Company}}) {
            ASSERT_TRUE(query("\\StringFileInfo\\040904B0\\"s + name)) << name;
            EXPECT_STREQ(static_cast<const char*>(value), expected);
        }
        ASSERT_TRUE(query("\\"));
        ASSERT_EQ(length, sizeof(host::emulated::FixedFileInfo));
        host::emulated::FixedFileInfo fixed;
        std::memcpy(&fixed, value, sizeof fixed);
        host::emulated::VersionNumbers v{};
        ASSERT_TRUE(host::emulated::ParseVersionNumbers(driver.FileVersion, &v));
        EXPECT_EQ((std::vector<host::DWORD>{fixed.FileVersionMS, fixed.FileVersionLS, fixed.FileSubtype}),
                  (std::vector<host::DWORD>{host::DWORD(v[0] << 16 | v[1]), host::DWORD(v[2] << 16 | v[3]),
                                            driver.DeviceNumber}));
    }
}

TEST_F(InitTest, ConfigPrintsTheLoadedConfigurationInFieldOrder) {
    ToolResult r = RunHostTool({"config"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out,
              "BoardDetected=1\nBoardLaunched=0\nBoardName=V7 Station Controller\nStationDetected=1\n"
              "StationLaunched=0\nAutoLaunch=0\nOnLine=1\nIoHandle=768\nBoardNumber=1\nCurrentUser=[ None ]\n"
              "DefaultUser=User1\nStationName=Station1\nBaseInit=1\nKeyboardInit=1\nMouseInit=1\n"
              "StationDisplay=1\nStationMode=640 x 480, 256 colors\nRefreshRate=60\n"
              "ShutdownEnabled=1\nShutdownDefault=1\n");
}

TEST_F(InitTest, RefusesAnExistingHostUnlessForced) {
    fs::path marker = Windows() / "marker.txt";
    std::ofstream(marker) << "kept";
    ToolResult again = RunHostTool({"init"});
    EXPECT_NE(again.ExitCode, 0);
    EXPECT_NE(again.Err.find("--force"), std::string::npos) << again.Err;
    EXPECT_EQ(LineCount(again.Err), 1) << again.Err;
    EXPECT_TRUE(fs::exists(marker));

    // --force replaces drive C:, but a link in it that leads out is removed, not followed.
    fs::path outside = m_root.Path() / "outside";
    fs::create_directory(outside);
    std::ofstream(outside / "precious.txt") << "keep me";
    fs::create_directory_symlink(outside, Windows() / "link");
    ToolResult forced = RunHostTool({"init", "--force"});
    ASSERT_EQ(forced.ExitCode, 0) << forced.Err;
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_FALSE(fs::exists(fs::symlink_status(Windows() / "link")));
    EXPECT_TRUE(fs::exists(outside / "precious.txt"));
    EXPECT_EQ(Query(kStation, "Station Name"), Value(kRegSz, "Station1\0"s));
}

// What the root lacks is added; what it holds (a changed default user, a line
// added to system.ini) stays; afterwards it is whole and refused again.
TEST_F(InitTest, CompletesAPartialRootAndKeepsWhatItHolds) {
    const fs::path db = host::emulated::RegistryPath();
    auto removeRegistry = [&] {
        host::emulated::SetHostRoot(m_root.Path());  // lets go of the file
        for (const char* suffix : {"", "-wal", "-shm", "-gen"}) fs::remove(db.string() + suffix);
    };
    const struct {
        const char* Name;
        std::function<void()> Damage;
        const char* DefaultUser;  // afterwards
        bool IniKept;
    } rows[] = {
        {"no registry", removeRegistry, "User1", true},
        // As a program that opened a root before it was set up left it.
        {"a bare registry", [&] { removeRegistry(); StoreText(kStation, "Default User", "Bertil"); }, "Bertil", true},
        {"no drive C:", [&] { fs::remove_all(Windows().parent_path()); }, "Anna", false},
        {"a driver file missing", [&] { fs::remove(Windows() / "SYSTEM" / "Tilvex.vxd"); }, "Anna", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        StoreText(kStation, "Default User", "Anna");
        std::ofstream(Windows() / "system.ini", std::ios::app) << "[Mine]\r\n";
        row.Damage();
        ToolResult r = RunHostTool({"init"});
        ASSERT_EQ(r.ExitCode, 0) << r.Err;
        EXPECT_NE(r.Out.find("completed"), std::string::npos) << r.Out;
        EXPECT_EQ(Query(kStation, "Station Name"), Value(kRegSz, "Station1\0"s));
        EXPECT_EQ(Query(kStation, "Default User"), Value(kRegSz, row.DefaultUser + "\0"s));
        EXPECT_EQ(FileBytes(Windows() / "system.ini").find("[Mine]") != std::string::npos, row.IniKept);
        EXPECT_TRUE(KeyExists("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProfileList\\Anna"));
        for (const auto& driver : host::emulated::kDrivers)
            EXPECT_TRUE(fs::is_regular_file(Windows() / "SYSTEM" / driver.FileName)) << driver.FileName;
        EXPECT_NE(RunHostTool({"init"}).ExitCode, 0) << "whole again";
        EXPECT_EQ(RunHostTool({"init", "--if-needed"}).ExitCode, 0);
    }
}

TEST(HostToolErrors, OneLineAndNonZeroExit) {
    TempHostRoot root;  // an empty directory: no host set up yet
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"config"}, "not set up"},
        {{"reg", "export"}, "not set up"},
        {{"frobnicate"}, "unknown command"},
        {{"frob\x1b[2J\x9b"}, "unknown command \"frob\\x1b[2J\\x9b\""},  // no control character reaches the terminal
        {{}, "no command"},
        {{"init", "--now"}, "unknown option"},
        {{"reg", "copy"}, "unknown reg command"},
        {{"config", "--root"}, "--root needs the path of a host root"},
        {{"init"}, ""},  // from here on the host is set up
        {{"reg", "export", "HKLM\\Software\\Nowhere"}, "no key HKEY_LOCAL_MACHINE\\Software\\Nowhere"},
        {{"reg", "export", "HKEY_CURRENT_USER\\Software"}, "HKEY_LOCAL_MACHINE only"},
    };
    for (const auto& [args, expected] : cases) {
        if (expected.empty()) {
            EXPECT_FALSE(fs::exists(root.Path() / "registry.db")) << "a failed command must not create a registry";
            ASSERT_EQ(RunHostTool(args).ExitCode, 0);
            continue;
        }
        ToolResult r = RunHostTool(args);
        EXPECT_NE(r.ExitCode, 0) << expected;
        EXPECT_EQ(r.Err.rfind("v7-host: ", 0), 0u) << r.Err;
        EXPECT_NE(r.Err.find(expected), std::string::npos) << r.Err;
        EXPECT_EQ(LineCount(r.Err), 1) << r.Err;
        EXPECT_EQ(r.Out, "") << expected;
    }

    setenv("V7_HOST_ROOT", (root.Path() / "missing").c_str(), 1);
    ToolResult noRoot = RunHostTool({"config"});
    setenv("V7_HOST_ROOT", root.Path().c_str(), 1);
    EXPECT_NE(noRoot.ExitCode, 0);
    EXPECT_NE(noRoot.Err.find("no host root"), std::string::npos) << noRoot.Err;
}

// A root the superuser sets up (here under a umask that would share writes)
// and serves, as the system unit does, is the superuser's to change: another
// user reads the registry and drive C: and changes nothing, not even through a
// registry transaction, nor reaches the drivers.
TEST(HostToolRoot, ARootTheSuperuserSetsUpIsOnlyReadByOthers) {
    if (geteuid() != 0) GTEST_SKIP() << "needs the superuser";
    TempHostRoot scratch;
    fs::permissions(scratch.Path(), fs::perms(0755));
    const fs::path root = scratch.Path() / "system";
    const mode_t umaskBefore = umask(002);
    const ToolResult init = RunHostTool({"--root", root.string(), "init"});
    umask(umaskBefore);
    ASSERT_EQ(init.ExitCode, 0) << init.Err;
    const fs::perms shared = fs::perms::group_write | fs::perms::others_write;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        EXPECT_EQ(entry.symlink_status().permissions() & shared, fs::perms::none) << entry.path();
    host::emulated::SetHostRoot(root);
    RunningStationDrivers drivers({"--root", root.string()});
    constexpr uid_t kNobody = 65534;
    const int refused = InChild([&] {
        if (setgid(kNobody) != 0 || setuid(kNobody) != 0) return 2;
        host::emulated::SetHostRoot(root);
        host::HKEY key = nullptr;
        if (host::OpenRegKey(host::kLocalMachine, kStation.c_str(), 0, host::kKeyRead, &key) != 0) return 3;
        if (host::RegistryTransaction().Status() == 0 || SetNumber(key, "AutoLaunch", 1) == 0) return 4;
        if (open((root / "drive_c/WINDOWS/system.ini").c_str(), O_WRONLY) >= 0 || mkdir((root / "x").c_str(), 0755) == 0)
            return 5;
        return host::CreateDeviceFile("\\\\.\\Brakor") == host::kInvalidHandle ? 0 : 6;
    });
    EXPECT_EQ(refused, 0) << "2 no other user, 3 cannot read, 4 registry written, 5 files written, 6 drivers reached";
}

}  // namespace
