// The registry helpers the GUI tests' fixture uses, on the Windows registry:
// read and made through the host calls alone, as the contract suite does.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "contract/registry_helpers.h"
#include "host/registry.h"
#include "support/TempHostRoot.h"

namespace regtest {

using contract::Query;
using contract::Stored;

inline void MakeKey(const std::string& path) { ASSERT_EQ(contract::MakeKey(host::kLocalMachine, path), host::kErrorSuccess); }

}  // namespace regtest
