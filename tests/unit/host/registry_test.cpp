#include <gtest/gtest.h>
#include <sqlite3.h>

#include "host/emulated/root.h"
#include "support/RegistryTestUtil.h"
#include "support/TempHostRoot.h"

using namespace host;
using namespace regtest;
using namespace std::string_literals;

namespace {

const char kKey[] = "Software\\Halvorn\\Orvane";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, kKey, &m_key), ERROR_SUCCESS); }
    void TearDown() override { RegCloseKey(m_key); }

    TempHostRoot m_root;
    HKEY m_key = nullptr;
};

TEST_F(RegistryTest, ValuesComeBackWithTheirTypeAndExactBytes) {
    const struct {
        const char* Name;
        DWORD Type;
        std::string Data;
    } values[] = {
        {"Terminated", REG_SZ, "User1\0"s}, {"Unterminated", REG_SZ, "User1"},    {"Utf8", REG_SZ, "Åsa Ölund\0"s},
        {"Binary", REG_BINARY, "\0\xFF\0\x7F\x80"s}, {"Number", REG_DWORD, "\x78\x56\x34\x12"},
        {"Empty", REG_BINARY, ""},          {"", REG_SZ, "unnamed\0"s},
    };
    for (const auto& v : values) ASSERT_EQ(Set(m_key, v.Name, v.Type, Bytes(v.Data)), ERROR_SUCCESS);
    // Reconnecting proves the bytes come from the file, not from memory.
    emulated::SetHostRoot(m_root.Path());
    for (const auto& v : values) EXPECT_EQ(Query(kKey, v.Name), Value(v.Type, v.Data)) << v.Name;
    // The registry is a few pages, and its connection holds only what it reads:
    // SQLite's default bulk page cache alone would take more than the bound.
    EXPECT_LT(sqlite3_memory_used(), 160 * 1024);

    // A null name is the unnamed value.
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &m_key), ERROR_SUCCESS);
    EXPECT_EQ(Get(m_key, nullptr), Value(REG_SZ, "unnamed\0"s));
    ASSERT_EQ(RegDeleteValue(m_key, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(Get(m_key, "").Status, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, FewerBytesThanTheValueGivesMoreDataAndLeavesTheBufferAlone) {
    ASSERT_EQ(Set(m_key, "IO Handle", REG_DWORD, {1, 2, 3, 4}), ERROR_SUCCESS);
    BYTE buffer[8] = {0xAA, 0xAA, 0xAA, 0xAA};
    for (DWORD offered : {1u, 3u}) {
        DWORD type = 0, size = offered;
        EXPECT_EQ(RegQueryValueEx(m_key, "IO Handle", &type, buffer, &size), ERROR_MORE_DATA) << offered;
        EXPECT_EQ(size, 4u);
        EXPECT_EQ(type, REG_DWORD);
        EXPECT_EQ(std::vector<BYTE>(buffer, buffer + 4), std::vector<BYTE>(4, 0xAA));
    }
    DWORD size = 0;  // no buffer: only the size
    EXPECT_EQ(RegQueryValueEx(m_key, "IO Handle", nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 4u);
    size = 8;  // more room than needed: the value's own size comes back
    EXPECT_EQ(RegQueryValueEx(m_key, "IO Handle", nullptr, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(RegQueryValueEx(m_key, "IO Handle", nullptr, buffer, nullptr), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, MissingThingsAndClosedHandlesGiveTheirCodes) {
    EXPECT_EQ(Get(m_key, "Nothing").Status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValue(m_key, "Nothing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Query("Software\\Halvorn\\Orvane\\Setup", "x").Status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Query("Software\\Nobody\\Orvane", "x").Status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, "Software\\Nobody"), ERROR_FILE_NOT_FOUND);

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(Get(key, "x").Status, ERROR_INVALID_HANDLE);
    EXPECT_EQ(Get(nullptr, "x").Status, ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegFlushKey(reinterpret_cast<HKEY>(0x1234)), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegFlushKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
}

TEST_F(RegistryTest, KeysAndValueNamesIgnoreCaseAndKeepTheirSpelling) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKey(m_key, "\\Setup\\Station1\\Display\\DEFAULT\\", &key), ERROR_SUCCESS);  // outer \ ignored
    ASSERT_EQ(Set(key, "Mode", REG_SZ, Bytes("1")), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(Query(std::string(kKey) + "\\Setup\\Station1\\Display\\Default", "mode"), Value(REG_SZ, "1"));
    ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, "software\\halvorn\\orvane\\setup", &key), ERROR_SUCCESS);  // opens it
    EXPECT_EQ(SubKeys(key), std::vector<std::string>{"Station1"});
    RegCloseKey(key);
    EXPECT_EQ(RegCreateKey(m_key, "A\\\\B", &key), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKey(m_key, std::string(256, 'x').c_str(), &key), ERROR_INVALID_PARAMETER);

    ASSERT_EQ(Set(m_key, "Station Name", REG_SZ, Bytes("Station1")), ERROR_SUCCESS);
    EXPECT_EQ(Query("SOFTWARE\\halvorn\\ORVANE", "STATION NAME"), Value(REG_SZ, "Station1"));
    // Writing under another spelling replaces the value; the first spelling stays.
    StoreText("software\\HALVORN\\orvane", "station name", "Station2", false);
    char name[64];
    DWORD nameSize = sizeof name;
    ASSERT_EQ(RegEnumValue(m_key, 0, name, &nameSize, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(std::string(name), "Station Name");
    nameSize = sizeof name;
    EXPECT_EQ(RegEnumValue(m_key, 1, name, &nameSize, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(Get(m_key, "Station Name"), Value(REG_SZ, "Station2"));
}

TEST_F(RegistryTest, SubkeysEnumerateAlphabeticallyWithoutRegardToCase) {
    for (const char* name : {"beta", "Alpha", "gamma", "ALPHA2", "Œuvre", "Ölund", "delta"})
        MakeKey(std::string(kKey) + "\\" + name);
    EXPECT_EQ(SubKeys(m_key), (std::vector<std::string>{"Alpha", "ALPHA2", "beta", "delta", "gamma", "Ölund", "Œuvre"}));
    EXPECT_TRUE(KeyExists(std::string(kKey) + "\\ölund") && KeyExists(std::string(kKey) + "\\œUVRE"));  // Latin folds too

    char name[8] = "unset";
    DWORD size = 6;  // "ALPHA2" needs 7 with its terminator
    EXPECT_EQ(RegEnumKeyEx(m_key, 1, name, &size), ERROR_MORE_DATA);
    EXPECT_STREQ(name, "unset");
    size = 7;
    ASSERT_EQ(RegEnumKeyEx(m_key, 1, name, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    EXPECT_STREQ(name, "ALPHA2");
    size = sizeof name;
    EXPECT_EQ(RegEnumKeyEx(m_key, 7, name, &size), ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryTest, ValuesEnumerateInTheOrderFirstStored) {
    ASSERT_EQ(Set(m_key, "b", REG_BINARY, {1}), ERROR_SUCCESS);
    ASSERT_EQ(Set(m_key, "a", REG_SZ, Bytes("x")), ERROR_SUCCESS);
    ASSERT_EQ(Set(m_key, "c", REG_DWORD, {1, 0, 0, 0}), ERROR_SUCCESS);
    ASSERT_EQ(Set(m_key, "B", REG_BINARY, {2, 3}), ERROR_SUCCESS);  // an update keeps its place
    ASSERT_EQ(RegDeleteValue(m_key, "A"), ERROR_SUCCESS);
    ASSERT_EQ(Set(m_key, "a", REG_SZ, Bytes("y")), ERROR_SUCCESS);  // a new value goes last

    std::vector<std::string> seen;  // name=size
    char name[16];
    BYTE data[16];
    DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
    for (DWORD i = 0; RegEnumValue(m_key, i, name, &nameSize, &type, data, &dataSize) == ERROR_SUCCESS; ++i) {
        seen.push_back(std::string(name, nameSize) + "=" + std::to_string(dataSize));
        nameSize = sizeof name, dataSize = sizeof data;
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"b=2", "c=4", "a=1"}));
    EXPECT_EQ(RegEnumValue(m_key, 3, name, &nameSize, &type, data, &dataSize), ERROR_NO_MORE_ITEMS);

    dataSize = 1;
    EXPECT_EQ(RegEnumValue(m_key, 0, name, &nameSize, &type, data, &dataSize), ERROR_MORE_DATA);
    EXPECT_EQ(dataSize, 2u);
}

TEST_F(RegistryTest, DeletingAKeyNeedsItToHaveNoSubkeysAndEndsItsOpenHandles) {
    HKEY station = nullptr;
    ASSERT_EQ(RegCreateKey(m_key, "Setup\\Station1", &station), ERROR_SUCCESS);
    ASSERT_EQ(Set(station, "Launched", REG_BINARY, {1}), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(m_key, "Setup"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, ""), ERROR_ACCESS_DENIED);
    ASSERT_EQ(RegDeleteKey(m_key, "SETUP\\station1"), ERROR_SUCCESS);

    EXPECT_EQ(Get(station, "Launched").Status, ERROR_KEY_DELETED);
    EXPECT_EQ(Set(station, "Launched", REG_BINARY, {0}), ERROR_KEY_DELETED);
    HKEY again = nullptr;
    EXPECT_EQ(RegCreateKey(station, "Display", &again), ERROR_KEY_DELETED);
    char name[16];
    DWORD size = sizeof name;
    EXPECT_EQ(RegEnumKeyEx(station, 0, name, &size), ERROR_KEY_DELETED);

    // A new key of the same name is another key: its values start empty.
    ASSERT_EQ(RegCreateKey(m_key, "Setup\\Station1", &again), ERROR_SUCCESS);
    EXPECT_EQ(Get(again, "Launched").Status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Get(station, "Launched").Status, ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(station), ERROR_SUCCESS);
    RegCloseKey(again);
    EXPECT_EQ(RegDeleteKey(m_key, "Setup\\Station1"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(m_key, "Setup"), ERROR_SUCCESS);
    EXPECT_TRUE(SubKeys(m_key).empty());
}

}  // namespace
