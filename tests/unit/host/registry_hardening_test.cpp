// The registry against clumsy and hostile use: enumeration while others write,
// the depth and name limits, a deleted or replaced change counter (a truncated
// one: registry_process_test).
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

// One step of a walk: "enum" asks Index and expects Name ("" past the end);
// "small" asks it with a buffer too small first; "+x"/"-x" add or remove x in
// this process, "child-x" removes it in another process.
struct Step {
    std::string Action;
    DWORD Index;
    std::string Name;
};

void RunWalk(const char* path, const std::vector<Step>& steps, bool values) {
    HKEY key = nullptr, other = nullptr;
    ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, path, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &other), ERROR_SUCCESS);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.Action + " " + std::to_string(step.Index) + " " + step.Name);
        const std::string name = step.Action.substr(step.Action.find_first_of("+-") + 1);
        auto remove = [&, name] {
            return values ? RegDeleteValue(other, name.c_str()) : RegDeleteKey(other, name.c_str());
        };
        if (step.Action[0] == '+') {
            HKEY child = nullptr;
            ASSERT_EQ(values ? Set(other, name.c_str(), REG_BINARY, {1}) : RegCreateKey(other, name.c_str(), &child),
                      ERROR_SUCCESS);
        } else if (step.Action[0] == '-') {
            ASSERT_EQ(remove(), ERROR_SUCCESS);
        } else if (step.Action.rfind("child-", 0) == 0) {
            ASSERT_EQ(InChild([&] { return static_cast<int>(remove()); }), 0);
        } else {
            char text[64];
            DWORD size = step.Action == "small" ? 1 : sizeof text;
            auto ask = [&] {
                DWORD dataSize = 0;
                return values ? RegEnumValue(key, step.Index, text, &size, nullptr, nullptr, &dataSize)
                              : RegEnumKeyEx(key, step.Index, text, &size);
            };
            if (step.Action == "small") {
                ASSERT_EQ(ask(), ERROR_MORE_DATA);
                EXPECT_EQ(size, step.Name.size() + 1);
            }
            LONG status = ask();
            EXPECT_EQ(status, step.Name.empty() ? ERROR_NO_MORE_ITEMS : ERROR_SUCCESS);
            if (status == ERROR_SUCCESS) {
                EXPECT_EQ(std::string(text, size), step.Name);
            }
        }
    }
    RegCloseKey(key);
    RegCloseKey(other);
}

TEST(RegistryEnumeration, EachStepAnswersForTheListAsItStandsNow) {
    TempHostRoot root;
    for (const char* name : {"e", "B", "d", "a", "CC"}) MakeKey(std::string("Software\\Keys\\") + name);
    RunWalk("Software\\Keys",
            {{"enum", 0, "a"}, {"enum", 1, "B"}, {"small", 2, "CC"}, {"enum", 2, "CC"}, {"-a", 0, ""},
             {"enum", 2, "d"}, {"enum", 3, "e"}, {"+Ba", 0, ""}, {"enum", 1, "Ba"}, {"enum", 0, "B"},
             {"enum", 4, "e"}, {"enum", 5, ""}, {"enum", 1, "Ba"}, {"child-CC", 0, ""}, {"enum", 2, "d"},
             {"enum", 4, ""}, {"enum", 3, "e"}},
            false);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, "Software\\Values", &key), ERROR_SUCCESS);
    for (const char* name : {"v1", "v2", "v3", "v4"}) ASSERT_EQ(Set(key, name, REG_BINARY, {0}), ERROR_SUCCESS);
    RunWalk("Software\\Values",
            {{"enum", 0, "v1"}, {"small", 1, "v2"}, {"enum", 1, "v2"}, {"-v1", 0, ""}, {"enum", 1, "v3"},
             {"+v2", 0, ""}, {"enum", 2, "v4"}, {"+v5", 0, ""}, {"enum", 3, "v5"}, {"child-v3", 0, ""},
             {"enum", 1, "v4"}, {"enum", 3, ""}, {"enum", 0, "v2"}},
            true);
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
