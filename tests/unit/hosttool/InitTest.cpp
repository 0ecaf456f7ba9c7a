// "v7-host init": the installer's registry, system.ini, profiles and driver
// files, and the refusal to overwrite an existing host.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "host/emulated/driver_catalog.h"
#include "host/emulated/root.h"
#include "host/version.h"
#include "support/TempHostRoot.h"
#include "unit/hosttool/RegistryProbe.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

const std::string kProduct = "Software\\Halvorn\\Orvane";
const std::string kBoard = kProduct + "\\Setup\\Board1";
const std::string kStation = kProduct + "\\Setup\\Station1";
const std::string kProfiles = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProfileList";

class InitTest : public ::testing::Test {
protected:
    void SetUp() override {
        ToolResult r = RunHostTool({"init"});
        ASSERT_EQ(r.ExitCode, 0) << r.Err;
        ASSERT_EQ(r.Err, "");
    }
    fs::path Windows() const { return root.Path() / "drive_c" / "WINDOWS"; }
    TempHostRoot root;
};

TEST_F(InitTest, WritesTheStationValuesWithTheStoreTypes) {
    const std::string one(1, '\1'), zero(1, '\0');
    EXPECT_EQ(ReadValue(kProduct, "Shutdown Enabled"), Bytes(host::REG_BINARY, one));
    EXPECT_EQ(ReadValue(kProduct, "Shutdown Default"), Bytes(host::REG_BINARY, one));
    EXPECT_EQ(ReadValue(kProduct, "AutoLaunch Enabled"), Bytes(host::REG_BINARY, zero));
    EXPECT_EQ(ReadValue(kProduct, "Station Display"), Bytes(host::REG_BINARY, one));
    EXPECT_EQ(ReadValue(kProduct, "Station Mode"), Bytes(host::REG_SZ, "640 x 480, 256 colors\0"s));
    EXPECT_EQ(ReadValue(kProduct, "RefreshRate"), Bytes(host::REG_SZ, "60\0"s));

    EXPECT_EQ(ReadValue(kBoard, "Detected"), Bytes(host::REG_BINARY, one));
    EXPECT_EQ(ReadValue(kBoard, "Launched"), Bytes(host::REG_BINARY, zero));

    EXPECT_EQ(ReadValue(kStation, "Launched"), Bytes(host::REG_BINARY, zero));
    EXPECT_EQ(ReadValue(kStation, "OnLine"), Bytes(host::REG_BINARY, one));
    auto ioHandle = ReadValue(kStation, "IO Handle");
    ASSERT_TRUE(ioHandle);
    EXPECT_EQ(ioHandle->Type, host::REG_BINARY);
    EXPECT_EQ(ioHandle->Data.size(), 4u);
    EXPECT_EQ(ReadValue(kStation, "Board Number"), Bytes(host::REG_BINARY, one));
    EXPECT_EQ(ReadValue(kStation, "Current User"), Bytes(host::REG_SZ, "[ None ]\0"s));
    EXPECT_EQ(ReadValue(kStation, "Default User"), Bytes(host::REG_SZ, "User1\0"s));
    EXPECT_EQ(ReadValue(kStation, "Station Name"), Bytes(host::REG_SZ, "Station1\0"s));
    for (const char* init : {"V7 Base Init", "V7 Keyboard Init", "V7 Mouse Init"})
        EXPECT_EQ(ReadValue(kStation, init), Bytes(host::REG_BINARY, one)) << init;

    EXPECT_EQ(ReadValue(kStation + "\\Display\\DEFAULT", "Mode"), Bytes(host::REG_SZ, "8,640,480\0"s));
    EXPECT_TRUE(KeyExists(kStation + "\\Display\\MODES\\24\\640,480"));
}

TEST_F(InitTest, GivesEveryUserAProfileAPasswordFileAndAPasswordListLine) {
    std::string ini = ReadWholeFile(Windows() / "system.ini");
    EXPECT_NE(ini.find("[386Enh]\r\ndevice=brakor.vxd\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("[Password Lists]\r\n"), std::string::npos) << ini;
    for (std::size_t i = ini.find('\n'); i != std::string::npos; i = ini.find('\n', i + 1))
        ASSERT_TRUE(i > 0 && ini[i - 1] == '\r') << "bare LF at " << i;

    for (const char* user : {"User1", "Anna", "Bertil"}) {
        std::string upper = user;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_NE(ini.find(upper + "=C:\\WINDOWS\\" + upper + ".PWL\r\n"), std::string::npos) << user;
        EXPECT_TRUE(fs::is_regular_file(Windows() / (upper + ".PWL"))) << user;

        EXPECT_EQ(ReadValue(kProfiles + "\\" + user, "ProfileImagePath"),
                  Bytes(host::REG_SZ, "C:\\WINDOWS\\Profiles\\" + std::string(user) + '\0'));
        fs::path profile = Windows() / "Profiles" / user;
        EXPECT_TRUE(fs::is_directory(profile / "Desktop")) << user;
        fs::perms userDat = fs::status(profile / "USER.DAT").permissions();
        EXPECT_EQ(userDat & fs::perms::owner_write, fs::perms::none) << user << ": USER.DAT should be read-only";
    }
}

TEST_F(InitTest, DriverFilesCarryTheirCatalogVersions) {
    for (const auto& driver : host::emulated::kDrivers) {
        // By bare name, as the About box asks: found in C:\WINDOWS\SYSTEM.
        std::string file = driver.FileName;
        host::DWORD handle = 0;
        host::DWORD size = host::GetFileVersionInfoSize(file.c_str(), &handle);
        ASSERT_GT(size, 0u) << file;
        std::vector<char> block(size);
        ASSERT_TRUE(host::GetFileVersionInfo(file.c_str(), handle, size, block.data())) << file;

        auto text = [&](const char* name) {
            void* value = nullptr;
            host::UINT length = 0;
            std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
            if (!host::VerQueryValue(block.data(), path.c_str(), &value, &length)) return std::string("<none>");
            return std::string(static_cast<const char*>(value));
        };
        EXPECT_EQ(text("FileVersion"), driver.FileVersion);
        EXPECT_EQ(text("FileDescription"), driver.Description);
        EXPECT_EQ(text("CompanyName"), driver.Company);

        void* fixed = nullptr;
        host::UINT length = 0;
        ASSERT_TRUE(host::VerQueryValue(block.data(), "\\", &fixed, &length));
        host::DWORD ms = 0, ls = 0;  // dwFileVersionMS and LS follow signature, struct version
        std::memcpy(&ms, static_cast<const char*>(fixed) + 8, 4);
        std::memcpy(&ls, static_cast<const char*>(fixed) + 12, 4);
        unsigned a = 0, b = 0, c = 0, d = 0;
        std::sscanf(driver.FileVersion, "%u.%u.%u.%u", &a, &b, &c, &d);
        EXPECT_EQ(ms, (a << 16) | b) << driver.FileName;
        EXPECT_EQ(ls, (c << 16) | d) << driver.FileName;
    }
}

TEST_F(InitTest, ConfigPrintsTheLoadedConfigurationInFieldOrder) {
    ToolResult r = RunHostTool({"config"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out,
              "BoardDetected=1\n"
              "BoardLaunched=0\n"
              "BoardName=V7 Station Controller\n"
              "StationDetected=1\n"
              "StationLaunched=0\n"
              "AutoLaunch=0\n"
              "OnLine=1\n"
              "IoHandle=768\n"
              "BoardNumber=1\n"
              "CurrentUser=[ None ]\n"
              "DefaultUser=User1\n"
              "StationName=Station1\n"
              "BaseInit=1\n"
              "KeyboardInit=1\n"
              "MouseInit=1\n"
              "StationDisplay=1\n"
              "StationMode=640 x 480, 256 colors\n"
              "RefreshRate=60\n"
              "ShutdownEnabled=1\n"
              "ShutdownDefault=1\n");
}

TEST_F(InitTest, RefusesAnExistingHostUnlessForced) {
    fs::path marker = Windows() / "marker.txt";
    std::ofstream(marker) << "kept";
    ToolResult again = RunHostTool({"init"});
    EXPECT_NE(again.ExitCode, 0);
    EXPECT_NE(again.Err.find("--force"), std::string::npos) << again.Err;
    EXPECT_EQ(std::count(again.Err.begin(), again.Err.end(), '\n'), 1) << again.Err;
    EXPECT_TRUE(fs::exists(marker));

    // --force replaces drive C:, but a link in it that leads out is removed, not followed.
    fs::path outside = root.Path() / "outside";
    fs::create_directory(outside);
    std::ofstream(outside / "precious.txt") << "keep me";
    fs::create_directory_symlink(outside, Windows() / "link");

    ToolResult forced = RunHostTool({"init", "--force"});
    ASSERT_EQ(forced.ExitCode, 0) << forced.Err;
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_FALSE(fs::exists(fs::symlink_status(Windows() / "link")));
    EXPECT_TRUE(fs::exists(outside / "precious.txt"));
    EXPECT_TRUE(fs::exists(Windows() / "system.ini"));
    EXPECT_EQ(RunHostTool({"config"}).ExitCode, 0);
}

TEST(HostToolErrors, OneLineAndNonZeroExit) {
    TempHostRoot root;  // an empty directory: no host set up yet
    struct Case {
        std::vector<std::string> Args;
        std::string Expected;
    } cases[] = {
        {{"config"}, "not set up"},
        {{"reg", "export"}, "not set up"},
        {{"frobnicate"}, "unknown command"},
        {{}, "no command"},
        {{"init", "--now"}, "unknown option"},
        {{"reg", "copy"}, "unknown reg command"},
    };
    for (const Case& c : cases) {
        ToolResult r = RunHostTool(c.Args);
        EXPECT_NE(r.ExitCode, 0) << c.Expected;
        EXPECT_EQ(r.Err.rfind("v7-host: ", 0), 0u) << r.Err;
        EXPECT_NE(r.Err.find(c.Expected), std::string::npos) << r.Err;
        EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << r.Err;
    }
    EXPECT_FALSE(fs::exists(root.Path() / "registry.db")) << "a failed command must not create a registry";

    setenv("V7_HOST_ROOT", (root.Path() / "missing").c_str(), 1);
    ToolResult noRoot = RunHostTool({"config"});
    setenv("V7_HOST_ROOT", root.Path().c_str(), 1);
    EXPECT_NE(noRoot.ExitCode, 0);
    EXPECT_NE(noRoot.Err.find("no host root"), std::string::npos) << noRoot.Err;

    ToolResult help = RunHostTool({"--help"});
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_NE(help.Out.find("reg import FILE"), std::string::npos);
}

}  // namespace
