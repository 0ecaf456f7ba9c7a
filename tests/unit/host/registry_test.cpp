// The emulated registry beyond the host contract (tests/contract): values read
// back from the file, a connection that stays small, the root never deleted.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "host/emulated/root.h"
#include "support/RegistryTestUtil.h"
#include "support/TempHostRoot.h"

using namespace host;
using namespace regtest;
using namespace std::string_literals;

namespace {

TEST(EmulatedRegistry, ValuesComeFromTheFileAndTheConnectionStaysSmall) {
    TempHostRoot root;
    const std::pair<const char*, std::string> values[] = {
        {"Utf8", "Åsa Ölund\0"s}, {"Binary", "\0\xFF\0\x7F\x80"s}, {"", "unnamed"}};
    for (const auto& [name, data] : values) Store("Software\\Orvane", name, kRegBinary, Bytes(data));
    // Reconnecting proves the bytes come from the file, not from memory.
    emulated::SetHostRoot(root.Path());
    for (const auto& [name, data] : values) EXPECT_EQ(Query("Software\\Orvane", name), Binary(Bytes(data))) << name;
    // The registry is a few pages, and its connection holds only what it reads:
    // SQLite's default bulk page cache alone would take more than the bound.
    EXPECT_LT(sqlite3_memory_used(), 160 * 1024);
    EXPECT_EQ(DeleteRegKey(kLocalMachine, ""), kErrorAccessDenied);
}

}  // namespace
