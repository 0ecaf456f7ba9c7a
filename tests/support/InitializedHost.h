// A fresh host root laid down by "v7-host init", for tests that need an installed host.
#pragma once

#include <gtest/gtest.h>

#include "support/TempHostRoot.h"

class InitializedHostTest : public ::testing::Test {
protected:
    InitializedHostRoot m_root;
};
