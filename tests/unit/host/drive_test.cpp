#include <gtest/gtest.h>

#include <fstream>

#include "host/emulated/drive.h"
#include "host/emulated/root.h"
#include "support/TempHostRoot.h"

using host::emulated::DriveCPath;
using host::emulated::MapWindowsPath;
namespace fs = std::filesystem;

namespace {

class DriveTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(DriveCPath() / "WINDOWS" / "Profiles" / "Åsa");
        std::ofstream(DriveCPath() / "WINDOWS" / "system.ini") << "[386Enh]\r\n";
    }

    // The mapped path, or "" when the mapping fails.
    static fs::path Map(const std::string& windowsPath) {
        fs::path result;
        return MapWindowsPath(windowsPath, &result) ? result : fs::path();
    }

    TempHostRoot m_root;
};

TEST_F(DriveTest, ExistingNamesAreFoundWithoutRegardToCase) {
    const fs::path ini = DriveCPath() / "WINDOWS" / "system.ini";
    EXPECT_EQ(Map("C:\\WINDOWS\\system.ini"), ini);
    EXPECT_EQ(Map("c:\\windows\\SYSTEM.INI"), ini);
    EXPECT_EQ(Map("C:/Windows/System.ini"), ini);
    EXPECT_EQ(Map("C:\\windows\\\\.\\system.ini"), ini);
    EXPECT_EQ(Map("C:\\WINDOWS\\PROFILES\\åsa"), DriveCPath() / "WINDOWS" / "Profiles" / "Åsa");
    EXPECT_EQ(Map("C:\\"), DriveCPath());
    EXPECT_EQ(Map("C:\\WINDOWS\\Profiles\\..\\SYSTEM.INI"), ini);
}

TEST_F(DriveTest, NewNamesAreKeptAsGivenBelowTheExistingOnes) {
    EXPECT_EQ(Map("C:\\windows\\New Dir\\File.TXT"), DriveCPath() / "WINDOWS" / "New Dir" / "File.TXT");
}

TEST_F(DriveTest, TwoNamesThatDifferOnlyInCaseResolveTheSameWayEveryTime) {
    fs::create_directory(DriveCPath() / "WINDOWS" / "TEMP");
    fs::create_directory(DriveCPath() / "WINDOWS" / "Temp");
    EXPECT_EQ(Map("C:\\WINDOWS\\Temp"), DriveCPath() / "WINDOWS" / "Temp");  // the exact spelling first
    EXPECT_EQ(Map("C:\\WINDOWS\\temp"), DriveCPath() / "WINDOWS" / "TEMP");  // else the first by name
}

TEST_F(DriveTest, PathsOffTheDriveFail) {
    for (const char* path : {"C:\\..", "C:\\WINDOWS\\..\\..\\etc\\passwd", "D:\\WINDOWS", "WINDOWS\\system.ini",
                             "\\WINDOWS", "C:WINDOWS", "\\\\.\\Brakor", "", "C:\\WINDOWS\\system.ini:stream"}) {
        fs::path result = "unchanged";
        EXPECT_FALSE(MapWindowsPath(path, &result)) << path;
        EXPECT_EQ(result, "unchanged") << path;
    }
}

TEST_F(DriveTest, SymbolicLinksMayNotLeadOffTheDrive) {
    const fs::path outside = m_root.Path() / "outside";
    fs::create_directory(outside);
    std::ofstream(outside / "secret") << "x";
    fs::create_directory_symlink(outside, DriveCPath() / "WINDOWS" / "Escape");
    fs::create_symlink("../../outside/secret", DriveCPath() / "WINDOWS" / "link.ini");
    fs::create_directory_symlink(DriveCPath() / "WINDOWS" / "Profiles", DriveCPath() / "Inside");

    EXPECT_EQ(Map("C:\\WINDOWS\\escape\\secret"), fs::path());
    EXPECT_EQ(Map("C:\\WINDOWS\\Escape"), fs::path());
    EXPECT_EQ(Map("C:\\WINDOWS\\LINK.INI"), fs::path());
    EXPECT_EQ(Map("C:\\WINDOWS\\escape\\new file"), fs::path());  // not even to create a file there
    EXPECT_EQ(Map("C:\\inside\\ÅSA"), DriveCPath() / "Inside" / "Åsa");
}

}  // namespace
