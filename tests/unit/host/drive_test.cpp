#include <gtest/gtest.h>

#include <fstream>

#include "host/files.h"

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

TEST_F(DriveTest, NamesResolveWithoutRegardToCase) {
    const fs::path windows = DriveCPath() / "WINDOWS", ini = windows / "system.ini";
    fs::create_directory(windows / "TEMP");
    fs::create_directory(windows / "Temp");
    const std::pair<const char*, fs::path> cases[] = {
        {"C:\\WINDOWS\\system.ini", ini},
        {"c:\\windows\\SYSTEM.INI", ini},
        {"C:/Windows/System.ini", ini},
        {"C:\\windows\\\\.\\system.ini", ini},
        {"C:\\WINDOWS\\Profiles\\..\\SYSTEM.INI", ini},
        {"C:\\WINDOWS\\PROFILES\\åsa", windows / "Profiles" / "Åsa"},
        {"C:\\", DriveCPath()},
        {"C:\\windows\\New Dir\\File.TXT", windows / "New Dir" / "File.TXT"},  // new names kept as given
        {"C:\\WINDOWS\\Temp", windows / "Temp"},  // names that differ in case only: the exact spelling,
        {"C:\\WINDOWS\\temp", windows / "TEMP"},  // else the first by name, every time
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(Map(path), expected) << path;
}

TEST_F(DriveTest, PathsAndLinksOffTheDriveFail) {
    const fs::path outside = m_root.Path() / "outside";
    fs::create_directory(outside);
    std::ofstream(outside / "secret") << "x";
    fs::create_directory_symlink(outside, DriveCPath() / "WINDOWS" / "Escape");
    fs::create_symlink("../../outside/secret", DriveCPath() / "WINDOWS" / "link.ini");
    fs::create_directory_symlink(DriveCPath() / "WINDOWS" / "Profiles", DriveCPath() / "Inside");

    for (const char* path : {"C:\\..", "C:\\WINDOWS\\..\\..\\etc\\passwd", "D:\\WINDOWS", "WINDOWS\\system.ini",
                             "\\WINDOWS", "C:WINDOWS", "\\\\.\\Brakor", "", "C:\\WINDOWS\\system.ini:stream",
                             "C:\\WINDOWS\\escape\\secret", "C:\\WINDOWS\\Escape", "C:\\WINDOWS\\LINK.INI",
                             "C:\\WINDOWS\\escape\\new file"}) {
        fs::path result = "unchanged";
        EXPECT_FALSE(MapWindowsPath(path, &result)) << path;
        EXPECT_EQ(result, "unchanged") << path;
    }
    EXPECT_EQ(Map("C:\\inside\\ÅSA"), DriveCPath() / "Inside" / "Åsa");  // a link within the drive is fine
}

TEST_F(DriveTest, FolderRelativeCallsStayInTheirFolder) {
    const fs::path outside = m_root.Path() / "outside", windows = DriveCPath() / "WINDOWS";
    fs::create_directory(outside);
    std::ofstream(outside / "secret") << "x";
    fs::permissions(outside / "secret", fs::perms::owner_read);
    fs::create_directory_symlink(outside, windows / "Escape");
    fs::create_symlink(outside / "secret", windows / "link.ini");
    EXPECT_EQ(host::OpenDirectory("C:\\WINDOWS\\Escape"), host::kInvalidHandle);

    const host::HANDLE folder = host::OpenDirectory("c:\\windows");
    ASSERT_NE(folder, host::kInvalidHandle);
    for (const char* name : {"..", "Escape", "link.ini", "Profiles\\Åsa", "Profiles/Åsa", "system.ini", ""})
        EXPECT_EQ(host::OpenDirectoryAt(folder, name), host::kInvalidHandle) << name;
    for (const char* name : {"../outside/secret", "..\\system.ini", "..", "Escape\\secret"}) {
        EXPECT_FALSE(host::RemoveFileAt(folder, name)) << name;
        EXPECT_FALSE(host::SetAttributesAt(folder, name, host::kAttributeNormal)) << name;
    }
    EXPECT_TRUE(host::SetAttributesAt(folder, "LINK.INI", host::kAttributeNormal));  // the link, left as it is
    EXPECT_EQ(fs::status(outside / "secret").permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_EQ(host::GetAttributesAt(folder, "escape"), host::kAttributeReparsePoint | host::kAttributeDirectory);
    EXPECT_TRUE(host::RemoveFolderAt(folder, "escape"));  // the link goes, not what it leads to
    EXPECT_TRUE(fs::exists(outside / "secret"));

    host::CloseDirectory(folder);
}

}  // namespace
