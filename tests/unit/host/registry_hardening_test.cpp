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
    ASSERT_EQ(CreateRegKey(kLocalMachine, path.c_str(), &deep), kErrorSuccess);  // 511 levels
    EXPECT_EQ(CreateRegKey(deep, "One\\Two", &key), kErrorInvalidParameter);
    EXPECT_EQ(CreateRegKey(kLocalMachine, (path + "\\L\\L").c_str(), &key), kErrorInvalidParameter);
    ASSERT_EQ(CreateRegKey(deep, "Last", &key), kErrorSuccess);  // 512
    EXPECT_EQ(CreateRegKey(key, "Beyond", &key), kErrorInvalidParameter);
    EXPECT_EQ(OpenRegKey(deep, "Beyond", 0, kKeyRead, &key), kErrorFileNotFound);

    for (const char* name : {"a\rb", "a\nb", "tab\there", "del\x7F"})
        EXPECT_EQ(CreateRegKey(kLocalMachine, name, &key), kErrorInvalidParameter) << name;
    EXPECT_EQ(Set(deep, std::string(kMaxValueNameBytes + 1, 'v').c_str(), kRegBinary, {1}), kErrorInvalidParameter);
    EXPECT_EQ(Set(deep, std::string(kMaxValueNameBytes, 'v').c_str(), kRegBinary, {1}), kErrorSuccess);
}

LONG WriteNumber(const char* path, DWORD n) {
    HKEY key = nullptr;
    LONG status = CreateRegKey(kLocalMachine, path, &key);
    if (status == kErrorSuccess) status = SetNumber(key, "n", n);
    CloseRegKey(key);
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
    ASSERT_EQ(WriteNumber("Software\\Gen", n), kErrorSuccess);
    ASSERT_EQ(OpenRegKey(kLocalMachine, "Software\\Gen", 0, kKeyRead, &key), kErrorSuccess);
    for (const auto& hurt : damage) {
        const std::string walk = "Software\\Walk" + std::to_string(n);
        HKEY walked = nullptr;
        ASSERT_EQ(CreateRegKey(kLocalMachine, walk.c_str(), &walked), kErrorSuccess);
        for (const char* name : {"a", "b", "c"}) {
            MakeKey(walk + "\\" + name);
            ASSERT_EQ(Set(walked, name, kRegBinary, {1}), kErrorSuccess);
        }
        auto at = [walked](DWORD index) {  // the subkey and the value at index
            std::string both;
            for (const bool values : {false, true}) {
                char name[8];
                DWORD size = sizeof name;
                if ((values ? EnumRegValue(walked, index, name, &size, nullptr, nullptr, nullptr)
                            : EnumRegKey(walked, index, name, &size)) == kErrorSuccess)
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
                      OpenRegKey(kLocalMachine, walk.c_str(), 0, kKeyAllAccess, &other);
                      return static_cast<int>(WriteNumber("Software\\Gen", n) | DeleteRegKey(other, "b") |
                                              DeleteRegValue(other, "b"));
                  }),
                  0);
        EXPECT_EQ(Number(Get(key, "n")), n);
        EXPECT_EQ(Number(Query("Software\\Gen", "n")), n);  // and from the cache built anew
        EXPECT_EQ(at(1) + at(2), "cc") << "the enumeration's next step";
        CloseRegKey(walked);
    }
    // A key deleted by another process is gone for a handle open here too.
    ASSERT_EQ(InChild([] { return static_cast<int>(DeleteRegKey(kLocalMachine, "Software\\Gen")); }), 0);
    EXPECT_EQ(Get(key, "n").Status, kErrorKeyDeleted);
    EXPECT_FALSE(KeyExists("Software\\Gen"));
}

}  // namespace
