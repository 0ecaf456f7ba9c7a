// Settings files of the emulated host beyond the host contract (tests/contract):
// a file off drive C: is neither read nor written.
#include <gtest/gtest.h>

#include <fstream>

#include "host/emulated/root.h"
#include "host/inifile.h"
#include "support/TempHostRoot.h"

namespace fs = std::filesystem;

namespace {

TEST(IniFileDrive, FilesOffTheDriveAreNeitherReadNorWritten) {
    TempHostRoot root;
    const std::string content = "[boot]\r\nshell=Explorer.exe\r\n";
    std::ofstream(root.Path() / "system.ini", std::ios::binary) << content;  // beside drive_c
    fs::create_directories(host::emulated::DriveCPath() / "WINDOWS");
    for (const char* file : {"D:\\system.ini", "C:\\..\\system.ini", "C:\\WINDOWS\\..\\..\\system.ini"}) {
        char buffer[32];
        EXPECT_EQ(host::GetIniString("boot", "shell", "dflt", buffer, sizeof buffer, file), 4u) << file;
        EXPECT_STREQ(buffer, "dflt") << file;
        EXPECT_FALSE(host::WriteIniString("boot", "shell", nullptr, file)) << file;
    }
    EXPECT_EQ(FileBytes(root.Path() / "system.ini"), content);
}

}  // namespace
