#include <gtest/gtest.h>

#include <cstring>

#include "host/emulated/root.h"
#include "host/registry.h"
#include "registry_test_util.h"
#include "support/TempHostRoot.h"

using namespace host;
using namespace registry_test;

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, "Software\\Halvorn\\Orvane", &m_key), ERROR_SUCCESS); }
    void TearDown() override { RegCloseKey(m_key); }

    TempHostRoot m_root;
    HKEY m_key = nullptr;
};

TEST_F(RegistryTest, ValuesComeBackWithTheirTypeAndExactBytes) {
    const std::vector<BYTE> binary{0x00, 0xFF, 0x00, 0x7F, 0x80};
    const std::vector<BYTE> dword{0x78, 0x56, 0x34, 0x12};
    ASSERT_EQ(Set(m_key, "Terminated", REG_SZ, Bytes(std::string("User1", 6))), ERROR_SUCCESS);
    ASSERT_EQ(Set(m_key, "Unterminated", REG_SZ, Bytes("User1")), ERROR_SUCCESS);
    ASSERT_EQ(Set(m_key, "Binary", REG_BINARY, binary), ERROR_SUCCESS);
    ASSERT_EQ(Set(m_key, "Number", REG_DWORD, dword), ERROR_SUCCESS);
    ASSERT_EQ(Set(m_key, "Empty", REG_BINARY, {}), ERROR_SUCCESS);
    ASSERT_EQ(Set(m_key, "Utf8", REG_SZ, Bytes("Åsa Ölund\0")), ERROR_SUCCESS);

    // Reconnecting proves the bytes come from the file, not from memory.
    emulated::SetHostRoot(m_root.Path());
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Halvorn\\Orvane", 0, KEY_ALL_ACCESS, &m_key), ERROR_SUCCESS);

    Read terminated = Get(m_key, "Terminated");
    EXPECT_EQ(terminated.Type, REG_SZ);
    EXPECT_EQ(terminated.Data, Bytes(std::string("User1", 6)));
    EXPECT_EQ(Get(m_key, "Unterminated").Data, Bytes("User1"));
    EXPECT_EQ(Get(m_key, "Binary").Type, REG_BINARY);
    EXPECT_EQ(Get(m_key, "Binary").Data, binary);
    EXPECT_EQ(Get(m_key, "Number").Type, REG_DWORD);
    EXPECT_EQ(Get(m_key, "Number").Data, dword);
    Read empty = Get(m_key, "Empty");
    EXPECT_EQ(empty.Status, ERROR_SUCCESS);
    EXPECT_TRUE(empty.Data.empty());
    EXPECT_EQ(Get(m_key, "Utf8").Data, Bytes("Åsa Ölund\0"));
}

TEST_F(RegistryTest, FewerBytesThanTheValueGivesMoreDataAndLeavesTheBufferAlone) {
    ASSERT_EQ(Set(m_key, "IO Handle", REG_DWORD, {1, 2, 3, 4}), ERROR_SUCCESS);
    BYTE buffer[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    DWORD type = 0, size = 1;
    EXPECT_EQ(RegQueryValueEx(m_key, "IO Handle", &type, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(buffer[0], 0xAA);
    EXPECT_EQ(buffer[3], 0xAA);

    size = 3;  // one byte short still fails
    EXPECT_EQ(RegQueryValueEx(m_key, "IO Handle", nullptr, buffer, &size), ERROR_MORE_DATA);
    size = 0;  // no buffer: only the size
    EXPECT_EQ(RegQueryValueEx(m_key, "IO Handle", nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 4u);
    size = 8;  // more room than needed: the value's own size comes back
    EXPECT_EQ(RegQueryValueEx(m_key, "IO Handle", nullptr, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(RegQueryValueEx(m_key, "IO Handle", nullptr, buffer, nullptr), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, MissingValuesAndKeysAreNotFound) {
    EXPECT_EQ(Get(m_key, "Nothing").Status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValue(m_key, "Nothing"), ERROR_FILE_NOT_FOUND);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Halvorn\\Orvane\\Setup", 0, KEY_ALL_ACCESS, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Nobody\\Orvane", 0, KEY_ALL_ACCESS, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, "Software\\Nobody"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, KeysAndValueNamesIgnoreCaseAndKeepTheirSpelling) {
    ASSERT_EQ(Set(m_key, "Station Name", REG_SZ, Bytes("Station1")), ERROR_SUCCESS);
    HKEY other = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\halvorn\\ORVANE", 0, KEY_READ, &other), ERROR_SUCCESS);
    EXPECT_EQ(Get(other, "STATION NAME").Data, Bytes("Station1"));
    // Writing under another spelling replaces the value; the first spelling stays.
    ASSERT_EQ(Set(other, "station name", REG_SZ, Bytes("Station2")), ERROR_SUCCESS);
    char name[64];
    DWORD nameSize = sizeof name;
    ASSERT_EQ(RegEnumValue(m_key, 0, name, &nameSize, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(std::string(name), "Station Name");
    nameSize = sizeof name;
    EXPECT_EQ(RegEnumValue(m_key, 1, name, &nameSize, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(Get(m_key, "Station Name").Data, Bytes("Station2"));
    RegCloseKey(other);

    // Latin letters beyond ASCII fold too.
    ASSERT_EQ(RegCreateKey(m_key, "Ärger Œuvre", &other), ERROR_SUCCESS);
    RegCloseKey(other);
    EXPECT_EQ(RegOpenKeyEx(m_key, "ärger œuvre", 0, KEY_READ, &other), ERROR_SUCCESS);
    RegCloseKey(other);
    EXPECT_EQ(SubKeys(m_key), std::vector<std::string>{"Ärger Œuvre"});
}

TEST_F(RegistryTest, CreateMakesEveryLevelAndPathsTolerateOuterBackslashes) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKey(m_key, "\\Setup\\Station1\\Display\\DEFAULT\\", &key), ERROR_SUCCESS);
    ASSERT_EQ(Set(key, "Mode", REG_SZ, Bytes("1\0")), ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Halvorn\\Orvane\\Setup\\Station1\\Display\\Default", 0,
                           KEY_READ, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(Get(key, "mode").Data, Bytes("1\0"));
    RegCloseKey(key);
    // Creating an existing key opens it.
    ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, "software\\halvorn\\orvane\\setup", &key), ERROR_SUCCESS);
    EXPECT_EQ(SubKeys(key), std::vector<std::string>{"Station1"});
    RegCloseKey(key);
    EXPECT_EQ(RegCreateKey(m_key, "A\\\\B", &key), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKey(m_key, std::string(256, 'x').c_str(), &key), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, SubkeysEnumerateAlphabeticallyWithoutRegardToCase) {
    for (const char* name : {"beta", "Alpha", "gamma", "ALPHA2", "Ölund", "delta"}) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKey(m_key, name, &key), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    EXPECT_EQ(SubKeys(m_key), (std::vector<std::string>{"Alpha", "ALPHA2", "beta", "delta", "gamma", "Ölund"}));

    char name[8] = "unset";
    DWORD size = 6;  // "ALPHA2" needs 7 with its terminator
    EXPECT_EQ(RegEnumKeyEx(m_key, 1, name, &size), ERROR_MORE_DATA);
    EXPECT_STREQ(name, "unset");
    size = 7;
    ASSERT_EQ(RegEnumKeyEx(m_key, 1, name, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    EXPECT_STREQ(name, "ALPHA2");
    size = sizeof name;
    EXPECT_EQ(RegEnumKeyEx(m_key, 6, name, &size), ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryTest, ValuesEnumerateInTheOrderFirstStored) {
    ASSERT_EQ(Set(m_key, "b", REG_BINARY, {1}), ERROR_SUCCESS);
    ASSERT_EQ(Set(m_key, "a", REG_SZ, Bytes("x\0")), ERROR_SUCCESS);
    ASSERT_EQ(Set(m_key, "c", REG_DWORD, {1, 0, 0, 0}), ERROR_SUCCESS);
    ASSERT_EQ(Set(m_key, "B", REG_BINARY, {2, 3}), ERROR_SUCCESS);  // an update keeps its place
    ASSERT_EQ(RegDeleteValue(m_key, "A"), ERROR_SUCCESS);
    ASSERT_EQ(Set(m_key, "a", REG_SZ, Bytes("y\0")), ERROR_SUCCESS);  // a new value goes last

    std::vector<std::string> names;
    char name[16];
    BYTE data[16];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        LONG status = RegEnumValue(m_key, i, name, &nameSize, &type, data, &dataSize);
        if (status == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(status, ERROR_SUCCESS);
        names.emplace_back(name, nameSize);
        if (names.back() == "b") {
            EXPECT_EQ(std::vector<BYTE>(data, data + dataSize), (std::vector<BYTE>{2, 3}));
        }
    }
    EXPECT_EQ(names, (std::vector<std::string>{"b", "c", "a"}));

    DWORD nameSize = sizeof name, dataSize = 1, type = 0;
    EXPECT_EQ(RegEnumValue(m_key, 0, name, &nameSize, &type, data, &dataSize), ERROR_MORE_DATA);
    EXPECT_EQ(dataSize, 2u);
    nameSize = 1;
    dataSize = sizeof data;
    EXPECT_EQ(RegEnumValue(m_key, 0, name, &nameSize, &type, data, &dataSize), ERROR_MORE_DATA);
    EXPECT_EQ(nameSize, 2u);
}

TEST_F(RegistryTest, DeletingAKeyNeedsItToHaveNoSubkeys) {
    HKEY station = nullptr;
    ASSERT_EQ(RegCreateKey(m_key, "Setup\\Station1", &station), ERROR_SUCCESS);
    ASSERT_EQ(Set(station, "Launched", REG_BINARY, {1}), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(m_key, "Setup"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, ""), ERROR_ACCESS_DENIED);
    ASSERT_EQ(RegDeleteKey(m_key, "SETUP\\station1"), ERROR_SUCCESS);

    // The handle that stays open now names a deleted key.
    EXPECT_EQ(Get(station, "Launched").Status, ERROR_KEY_DELETED);
    EXPECT_EQ(Set(station, "Launched", REG_BINARY, {0}), ERROR_KEY_DELETED);
    HKEY child = nullptr;
    EXPECT_EQ(RegCreateKey(station, "Display", &child), ERROR_KEY_DELETED);
    char name[16];
    DWORD size = sizeof name;
    EXPECT_EQ(RegEnumKeyEx(station, 0, name, &size), ERROR_KEY_DELETED);

    // A new key of the same name is another key: its values start empty.
    HKEY again = nullptr;
    ASSERT_EQ(RegCreateKey(m_key, "Setup\\Station1", &again), ERROR_SUCCESS);
    EXPECT_EQ(Get(again, "Launched").Status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Get(station, "Launched").Status, ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(station), ERROR_SUCCESS);
    RegCloseKey(again);
    EXPECT_EQ(RegDeleteKey(m_key, "Setup\\Station1"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(m_key, "Setup"), ERROR_SUCCESS);
    EXPECT_TRUE(SubKeys(m_key).empty());
}

TEST_F(RegistryTest, OnlyOpenHandlesAreAccepted) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(Get(key, "x").Status, ERROR_INVALID_HANDLE);
    EXPECT_EQ(Get(nullptr, "x").Status, ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegFlushKey(reinterpret_cast<HKEY>(0x1234)), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegFlushKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);

    // Another root closes every key of the old one.
    ASSERT_EQ(Set(m_key, "Here", REG_BINARY, {1}), ERROR_SUCCESS);
    std::filesystem::path other = m_root.Path() / "other";
    std::filesystem::create_directory(other);
    emulated::SetHostRoot(other);
    EXPECT_EQ(Get(m_key, "Here").Status, ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    emulated::SetHostRoot(m_root.Path());
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Halvorn\\Orvane", 0, KEY_READ, &m_key), ERROR_SUCCESS);
    EXPECT_EQ(Get(m_key, "Here").Data, std::vector<BYTE>{1});
}

TEST_F(RegistryTest, TheUnnamedValueIsAValueLikeAnyOther) {
    ASSERT_EQ(RegSetValueEx(m_key, nullptr, REG_SZ, reinterpret_cast<const BYTE*>("d"), 2), ERROR_SUCCESS);
    EXPECT_EQ(Get(m_key, "").Data, Bytes(std::string("d", 2)));
    ASSERT_EQ(RegDeleteValue(m_key, ""), ERROR_SUCCESS);
    EXPECT_EQ(Get(m_key, nullptr).Status, ERROR_FILE_NOT_FOUND);
}

}  // namespace
