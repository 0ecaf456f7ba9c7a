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
    ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, path.c_str(), &key), ERROR_SUCCESS);
    const std::string latin1 = "Bj\xF6rn";  // not UTF-8: never passed on altered
    auto set = [key](const char* name, const std::string& bytes) {
        return RegSetValueEx(key, name, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    };
    EXPECT_EQ(RegCreateKey(key, latin1.c_str(), &sub), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(set(latin1.c_str(), "x"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(set("value", latin1), ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, path.c_str()), ERROR_SUCCESS);
}

}  // namespace
