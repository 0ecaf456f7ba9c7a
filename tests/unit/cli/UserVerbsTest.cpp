// v7ctl's users and remove-user on a host laid down by "v7-host init".
#include <gtest/gtest.h>

#include <filesystem>

#include "host/emulated/root.h"
#include "host/registry.h"
#include "host/system.h"
#include "station/StationConfiguration.h"
#include "support/InitializedHost.h"
#include "support/RegistryTestUtil.h"

namespace fs = std::filesystem;

namespace {

using UserVerbsTest = InitializedHostTest;

TEST_F(UserVerbsTest, RemoveUserRefusesWhatTheWindowWouldAskOrRefuse) {
    regtest::StoreText(StationConfiguration::StationKeyPath(1), "Current User", "ANNA");
    struct Case {
        std::vector<std::string> Args;
        int ExitCode;
        const char* Err;  // start of stderr
    } const cases[] = {
        {{"remove-user", "Bertil"}, 2, "v7ctl: removing Bertil's user profile deletes its files; add --yes"},
        {{"remove-user", "Nobody", "--yes"}, 4, "v7ctl: there is no user profile named \"Nobody\""},
        {{"remove-user", "..", "--yes"}, 4, "v7ctl: there is no user profile named \"..\""},
        {{"remove-user", LoginName(), "--yes"}, 1, "v7ctl: User \"" },
        {{"remove-user", "anna", "--yes"}, 2, "v7ctl: User \"Anna\" is currently logged on to the V7 station."},
        {{"remove-user"}, 2, ""},
    };
    for (const Case& c : cases) {
        const ToolResult result = RunV7ctl(c.Args);
        EXPECT_EQ(result.ExitCode, c.ExitCode) << c.Args.back() << result.Err;
        EXPECT_EQ(result.Err.rfind(c.Err, 0), 0u) << result.Err;
    }
    EXPECT_NE(RunV7ctl({"remove-user", LoginName(), "--yes"}).Err.find("is the currently logged in user"),
              std::string::npos);
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

    host::RegDeleteKey(host::HKEY_LOCAL_MACHINE, ("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProfileList\\" + LoginName()).c_str());
    EXPECT_EQ(RunV7ctl({"users"}).Out, "User1\n");
    host::RegDeleteKey(host::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProfileList\\User1");
    const ToolResult none = RunV7ctl({"users"});
    EXPECT_EQ(none.ExitCode, 1);
    EXPECT_EQ(none.Out, "");
    EXPECT_EQ(none.Err.rfind("v7ctl: No User Names were found.", 0), 0u) << none.Err;
}

}  // namespace
