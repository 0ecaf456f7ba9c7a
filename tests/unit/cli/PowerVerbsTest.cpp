// v7ctl's power verbs against the real station drivers (their refusals and
// exit codes: ScriptingTest).
#include <gtest/gtest.h>

#include "support/InitializedHost.h"

namespace {

using PowerVerbsTest = InitializedHostTest;

TEST_F(PowerVerbsTest, OnOffAndStatusFollowTheDrivers) {
    RunningStationDrivers drivers;
    ASSERT_TRUE(drivers.Started());

    ToolResult status = RunV7ctl({"status"});
    EXPECT_EQ(status.ExitCode, 0) << status.Err;
    EXPECT_NE(status.Out.find("Station1 off"), std::string::npos) << status.Out;

    EXPECT_EQ(RunV7ctl({"on"}).ExitCode, 0);
    status = RunV7ctl({"status"});
    EXPECT_NE(status.Out.find("Station1 on"), std::string::npos) << status.Out;
    EXPECT_NE(status.Out.find("Current user: User1"), std::string::npos) << status.Out;

    // Off logs the station's user off: refused without --yes, nothing changes.
    ToolResult refused = RunV7ctl({"off"});
    EXPECT_EQ(refused.ExitCode, 2);
    EXPECT_NE(refused.Err.find("--yes"), std::string::npos) << refused.Err;
    EXPECT_NE(RunV7ctl({"status"}).Out.find("Station1 on"), std::string::npos);

    EXPECT_EQ(RunV7ctl({"off", "--yes"}).ExitCode, 0);
    EXPECT_NE(RunV7ctl({"status"}).Out.find("Station1 off"), std::string::npos);
}

}  // namespace
