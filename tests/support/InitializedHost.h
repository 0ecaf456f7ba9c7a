// A fresh host root laid down by "v7-host init", for tests that need an installed host.
#pragma once

#include <gtest/gtest.h>

#include "support/TempHostRoot.h"

class InitializedHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        const ToolResult r = RunHostTool({"init"});
        ASSERT_EQ(r.ExitCode, 0) << r.Err;
        ASSERT_EQ(r.Err, "");
    }
    TempHostRoot m_root;
};
