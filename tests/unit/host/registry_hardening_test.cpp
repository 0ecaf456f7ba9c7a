// The emulated registry against clumsy and hostile use: the depth and name
// limits it keeps, another process's writes seen whatever happened to the
// change counter (writers at once: registry_process_test).
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

// Another process's writes show here, in values and at an open enumeration's
// next step, whatever happened to the change counter meanwhile.
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
        const std::string walk = "Software\\Walk" + std::to_string(n);
        HKEY walked = nullptr;
        ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, walk.c_str(), &walked), ERROR_SUCCESS);
        for (const char* name : {"a", "b", "c"}) {
            MakeKey(walk + "\\" + name);
            ASSERT_EQ(Set(walked, name, REG_BINARY, {1}), ERROR_SUCCESS);
        }
        auto at = [walked](DWORD index) {  // the subkey and the value at index
            std::string both;
            for (const bool values : {false, true}) {
                char name[8];
                DWORD size = sizeof name;
                if ((values ? RegEnumValue(walked, index, name, &size, nullptr, nullptr, nullptr)
                            : RegEnumKeyEx(walked, index, name, &size)) == ERROR_SUCCESS)
                    both.append(name, size);
            }
            return both;
        };
        EXPECT_EQ(at(0) + at(1), "aabb");
        ASSERT_EQ(Number(Query("Software\\Gen", "n")), n);  // cached in this process
        hurt();
        ++n;
        ASSERT_EQ(InChild([n, walk] {
                      HKEY other = nullptr;
                      RegOpenKeyEx(HKEY_LOCAL_MACHINE, walk.c_str(), 0, KEY_ALL_ACCESS, &other);
                      return static_cast<int>(WriteNumber("Software\\Gen", n) | RegDeleteKey(other, "b") |
                                              RegDeleteValue(other, "b"));
                  }),
                  0);
        EXPECT_EQ(Number(Get(key, "n")), n);
        EXPECT_EQ(Number(Query("Software\\Gen", "n")), n);  // and from the cache built anew
        EXPECT_EQ(at(1) + at(2), "cc") << "the enumeration's next step";
        RegCloseKey(walked);
    }
    // A key deleted by another process is gone for a handle open here too.
    ASSERT_EQ(InChild([] { return static_cast<int>(RegDeleteKey(HKEY_LOCAL_MACHINE, "Software\\Gen")); }), 0);
    EXPECT_EQ(Get(key, "n").Status, ERROR_KEY_DELETED);
    EXPECT_FALSE(KeyExists("Software\\Gen"));
}

}  // namespace
