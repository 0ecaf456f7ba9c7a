// The emulated registry against clumsy and hostile use: enumeration while
// another process writes, the depth and name limits it keeps, a deleted or
// replaced change counter (a truncated one: registry_process_test).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "host/emulated/root.h"
#include "support/RegistryTestUtil.h"
#include "support/TempHostRoot.h"

using namespace host;
using namespace regtest;
namespace fs = std::filesystem;

namespace {

// An open key's enumeration follows another process's change at its next step.
TEST(RegistryEnumeration, AnotherProcesssRemovalShowsAtTheNextStep) {
    TempHostRoot root;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, "Software\\Keys", &key), ERROR_SUCCESS);
    for (const char* name : {"a", "b", "c"}) {
        MakeKey(std::string("Software\\Keys\\") + name);
        ASSERT_EQ(Set(key, name, REG_BINARY, {1}), ERROR_SUCCESS);
    }
    for (const bool values : {false, true}) {
        char name[8];
        DWORD size = sizeof name;
        auto at = [&](DWORD index) {
            size = sizeof name;
            const LONG status = values ? RegEnumValue(key, index, name, &size, nullptr, nullptr, nullptr)
                                       : RegEnumKeyEx(key, index, name, &size);
            return status == ERROR_SUCCESS ? std::string(name, size) : "";
        };
        EXPECT_EQ(at(0) + at(1), "ab");
        ASSERT_EQ(InChild([values] {
                      HKEY other = nullptr;
                      RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Keys", 0, KEY_ALL_ACCESS, &other);
                      return static_cast<int>(values ? RegDeleteValue(other, "b") : RegDeleteKey(other, "b"));
                  }),
                  0);
        EXPECT_EQ(at(1) + at(2), "c") << (values ? "values" : "keys");
    }
    RegCloseKey(key);
}

TEST(RegistryLimits, KeysNestAtMost512LevelsAndNamesHoldNoControlCharacters) {
    TempHostRoot root;
    const std::string path = Levels(511, "L");
    HKEY deep = nullptr, key = nullptr;
    ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, path.c_str(), &deep), ERROR_SUCCESS);  // 511 levels
    EXPECT_EQ(RegCreateKey(deep, "One\\Two", &key), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, (path + "\\L\\L").c_str(), &key), ERROR_INVALID_PARAMETER);
    ASSERT_EQ(RegCreateKey(deep, "Last", &key), ERROR_SUCCESS);  // 512
    EXPECT_EQ(RegCreateKey(key, "Beyond", &key), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyEx(deep, "Beyond", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);

    for (const char* name : {"a\rb", "a\nb", "tab\there", "del\x7F"})
        EXPECT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, name, &key), ERROR_INVALID_PARAMETER) << name;
    EXPECT_EQ(Set(deep, std::string(kMaxValueNameBytes + 1, 'v').c_str(), REG_BINARY, {1}), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Set(deep, std::string(kMaxValueNameBytes, 'v').c_str(), REG_BINARY, {1}), ERROR_SUCCESS);
}

LONG WriteNumber(const char* path, DWORD n) {
    HKEY key = nullptr;
    LONG status = RegCreateKey(HKEY_LOCAL_MACHINE, path, &key);
    if (status == ERROR_SUCCESS) status = SetNumber(key, "n", n);
    RegCloseKey(key);
    return status;
}

TEST(RegistryChangeCounter, OtherProcessesWritesAreSeenWhateverHappensToTheCounter) {
    TempHostRoot root;
    const fs::path counter = emulated::RegistryPath().string() + "-gen";
    const std::function<void()> damage[] = {
        [] {},
        [&] { fs::remove(counter); },
        [&] {
            std::ofstream(counter.string() + ".x", std::ios::binary) << std::string(4096, '\0');
            fs::rename(counter.string() + ".x", counter);
        },
        [&] { fs::resize_file(counter, 0); },
    };
    DWORD n = 1;
    HKEY key = nullptr;
    ASSERT_EQ(WriteNumber("Software\\Gen", n), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Gen", 0, KEY_READ, &key), ERROR_SUCCESS);
    for (const auto& hurt : damage) {
        ASSERT_EQ(Number(Query("Software\\Gen", "n")), n);  // cached in this process
        hurt();
        ++n;
        ASSERT_EQ(InChild([n] { return static_cast<int>(WriteNumber("Software\\Gen", n)); }), 0);
        EXPECT_EQ(Number(Get(key, "n")), n);
        EXPECT_EQ(Number(Query("Software\\Gen", "n")), n);  // and from the cache built anew
    }
    // A key deleted by another process is gone for a handle open here too.
    ASSERT_EQ(InChild([] { return static_cast<int>(RegDeleteKey(HKEY_LOCAL_MACHINE, "Software\\Gen")); }), 0);
    EXPECT_EQ(Get(key, "n").Status, ERROR_KEY_DELETED);
    EXPECT_FALSE(KeyExists("Software\\Gen"));
}

}  // namespace
