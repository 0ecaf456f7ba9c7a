// What the Windows backend adds to Windows' own calls: bytes that are no UTF-8
// are never passed on (the emulated host stores a name's bytes as they are).
// Runs against Windows' registry (Wine here).
#include <gtest/gtest.h>

#include <string>

#include "host/registry.h"

using namespace host;

namespace {

TEST(Win32Registry, BytesThatAreNoUtf8AreRefused) {
    const std::string path = "Software\\V7BackendTest\\" + std::to_string(::testing::UnitTest::GetInstance()->random_seed());
    HKEY key = nullptr, sub = nullptr;
    ASSERT_EQ(CreateRegKey(kLocalMachine, path.c_str(), &key), kErrorSuccess);
    const std::string latin1 = "Bj\xF6rn";  // not UTF-8: never passed on altered
    auto set = [key](const char* name, const std::string& bytes) {
        return SetRegValue(key, name, kRegSz, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    };
    EXPECT_EQ(CreateRegKey(key, latin1.c_str(), &sub), kErrorInvalidParameter);
    EXPECT_EQ(set(latin1.c_str(), "x"), kErrorInvalidParameter);
    EXPECT_EQ(set("value", latin1), kErrorInvalidParameter);
    CloseRegKey(key);
    EXPECT_EQ(DeleteRegKey(kLocalMachine, path.c_str()), kErrorSuccess);
}

}  // namespace
