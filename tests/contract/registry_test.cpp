// The registry's answers, as Windows gives them.
#include <thread>

#include "contract_fixture.h"
#include "host/registry_scope.h"
#include "registry_helpers.h"

using namespace host;
using namespace contract;
using namespace std::string_literals;

namespace {

using RegistryTest = ContractTest;

TEST_F(RegistryTest, ValuesComeBackWithTheirTypeAndExactBytes) {
    const struct {
        const char* Name;
        DWORD Type;
        std::string Data;
    } values[] = {
        {"Terminated", REG_SZ, "User1\0"s}, {"Unterminated", REG_SZ, "User1"},    {"Utf8", REG_SZ, "Åsa Ölund\0"s},
        {"Beyond16Bits", REG_SZ, "\xF0\x9F\x98\x80!\0"s},  // a surrogate pair where text is UTF-16
        {"Binary", REG_BINARY, "\0\xFF\0\x7F\x80"s}, {"Number", REG_DWORD, "\x78\x56\x34\x12"},
        {"Empty", REG_BINARY, ""},          {"", REG_SZ, "unnamed\0"s},
    };
    for (const auto& v : values) ASSERT_EQ(Set(m_key, v.Name, v.Type, Bytes(v.Data)), ERROR_SUCCESS);
    for (const auto& v : values) EXPECT_EQ(Query(m_scratch.Key(), v.Name), Value(v.Type, v.Data)) << v.Name;
    // A null name is the unnamed value.
    EXPECT_EQ(Get(m_key, nullptr), Value(REG_SZ, "unnamed\0"s));
    ASSERT_EQ(RegDeleteValue(m_key, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(Get(m_key, "").Status, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, FewerBytesThanTheValueGivesMoreDataAndLeavesTheBufferAlone) {
    ASSERT_EQ(Set(m_key, "IO Handle", REG_DWORD, {1, 2, 3, 4}), ERROR_SUCCESS);
    for (const bool enumerate : {false, true}) {
        BYTE buffer[8] = {0xAA, 0xAA, 0xAA, 0xAA};
        auto ask = [&](DWORD* type, BYTE* data, DWORD* size) {
            char name[16];
            DWORD nameSize = sizeof name;
            return enumerate ? RegEnumValue(m_key, 0, name, &nameSize, type, data, size)
                             : RegQueryValueEx(m_key, "IO Handle", type, data, size);
        };
        for (DWORD offered : {1u, 3u}) {
            DWORD type = 0, size = offered;
            EXPECT_EQ(ask(&type, buffer, &size), ERROR_MORE_DATA) << offered;
            EXPECT_EQ(size, 4u);
            if (!enumerate) {
                EXPECT_EQ(type, REG_DWORD);  // the enumeration need not tell the type then
            }
            EXPECT_EQ(std::vector<BYTE>(buffer, buffer + 4), std::vector<BYTE>(4, 0xAA));
        }
        DWORD size = 0;  // no buffer: only the size
        EXPECT_EQ(ask(nullptr, nullptr, &size), ERROR_SUCCESS);
        EXPECT_EQ(size, 4u);
        size = 8;  // more room than needed: the value's own size comes back
        EXPECT_EQ(ask(nullptr, buffer, &size), ERROR_SUCCESS);
        EXPECT_EQ(size, 4u);
        EXPECT_EQ(ask(nullptr, buffer, nullptr), ERROR_INVALID_PARAMETER);
    }
}

TEST_F(RegistryTest, MissingThingsAndClosedHandlesGiveTheirCodes) {
    EXPECT_EQ(Get(m_key, "Nothing").Status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValue(m_key, "Nothing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(OpenStatus(m_key, "Setup"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(OpenStatus(m_key, "Nobody\\Setup"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKey(m_key, "Nobody"), ERROR_FILE_NOT_FOUND);

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(Get(key, "x").Status, ERROR_INVALID_HANDLE);
    EXPECT_EQ(Get(nullptr, "x").Status, ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegFlushKey(reinterpret_cast<HKEY>(0x1234)), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegFlushKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
}

TEST_F(RegistryTest, KeyPathsAndNamesFollowWindowsRules) {
    constexpr LONG kFails = -1;
    const std::string name255(255, 'x'), e128 = [] {
        std::string s;
        for (int i = 0; i < 128; ++i) s += "é";  // 256 bytes, 128 characters
        return s;
    }();
    const struct {
        std::string Path;
        LONG Create, Open;  // what create answers, then open of the same path (kFails: any failure)
    } cases[] = {
        {"Setup\\Station1\\", ERROR_SUCCESS, ERROR_SUCCESS},  // a trailing backslash is ignored
        {"\\Setup", ERROR_BAD_PATHNAME, ERROR_BAD_PATHNAME},
        {"\\", ERROR_BAD_PATHNAME, ERROR_BAD_PATHNAME},
        {"A\\\\B", ERROR_INVALID_PARAMETER, kFails},
        {name255, ERROR_SUCCESS, ERROR_SUCCESS},
        {e128, ERROR_SUCCESS, ERROR_SUCCESS},
        {std::string(256, 'x'), ERROR_INVALID_PARAMETER, kFails},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MakeKey(m_key, c.Path), c.Create) << c.Path;
        if (c.Open == kFails)
            EXPECT_NE(OpenStatus(m_key, c.Path), ERROR_SUCCESS) << c.Path;
        else
            EXPECT_EQ(OpenStatus(m_key, c.Path), c.Open) << c.Path;
    }
    EXPECT_EQ(RegDeleteKey(m_key, "\\Setup\\Station1"), ERROR_BAD_PATHNAME);
    EXPECT_EQ(SubKeys(m_key), (std::vector<std::string>{"Setup", name255, e128}));
}

TEST_F(RegistryTest, KeysAndValueNamesIgnoreCaseAndKeepTheirSpelling) {
    ASSERT_EQ(MakeKey(m_key, "Setup\\Station1\\Display\\DEFAULT"), ERROR_SUCCESS);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKey(m_key, "setup\\STATION1", &key), ERROR_SUCCESS);  // opens it
    EXPECT_EQ(SubKeys(key), std::vector<std::string>{"Display"});
    ASSERT_EQ(Set(key, "Station Name", REG_SZ, Bytes("Station1")), ERROR_SUCCESS);
    EXPECT_EQ(Query(m_scratch.Key() + "\\SETUP\\station1", "STATION NAME"), Value(REG_SZ, "Station1"));
    // Writing under another spelling replaces the value; the first spelling stays.
    ASSERT_EQ(Set(key, "station name", REG_SZ, Bytes("Station2")), ERROR_SUCCESS);
    char name[64];
    DWORD nameSize = sizeof name;
    ASSERT_EQ(RegEnumValue(key, 0, name, &nameSize, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(std::string(name), "Station Name");
    nameSize = sizeof name;
    EXPECT_EQ(RegEnumValue(key, 1, name, &nameSize, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(Get(key, "Station Name"), Value(REG_SZ, "Station2"));
    RegCloseKey(key);
}

TEST_F(RegistryTest, SubkeysEnumerateAlphabeticallyWithoutRegardToCase) {
    for (const char* name : {"beta", "Alpha", "gamma", "ALPHA2", "Œuvre", "Ölund", "delta"})
        ASSERT_EQ(MakeKey(m_key, name), ERROR_SUCCESS);
    EXPECT_EQ(SubKeys(m_key), (std::vector<std::string>{"Alpha", "ALPHA2", "beta", "delta", "gamma", "Ölund", "Œuvre"}));
    EXPECT_EQ(OpenStatus(m_key, "ölund"), ERROR_SUCCESS);  // Latin letters fold too
    EXPECT_EQ(OpenStatus(m_key, "œUVRE"), ERROR_SUCCESS);

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

TEST_F(RegistryTest, DeletingAKeyNeedsItToHaveNoSubkeysAndEndsItsOpenHandles) {
    HKEY station = nullptr;
    ASSERT_EQ(RegCreateKey(m_key, "Setup\\Station1", &station), ERROR_SUCCESS);
    ASSERT_EQ(Set(station, "Launched", REG_BINARY, {1}), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(m_key, "Setup"), ERROR_ACCESS_DENIED);
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

TEST_F(RegistryTest, ATransactionKeepsOtherWritersOutAndADroppedInnerOneFailsTheCommit) {
    {
        RegistryTransaction outer;
        ASSERT_EQ(outer.Status(), ERROR_SUCCESS);
        LONG otherThread = -1;
        std::thread other([&] { otherThread = RegistryTransaction().Status(); });  // waits for the lock
        { RegistryTransaction inner; }  // dropped
        EXPECT_NE(outer.Commit(), ERROR_SUCCESS);
        other.join();
        EXPECT_EQ(otherThread, ERROR_SUCCESS) << "the lock is free again once the outer one ends";
    }
    RegistryTransaction next;
    EXPECT_EQ(next.Commit(), ERROR_SUCCESS) << "a dropped transaction leaves nothing behind for the next";
}

// One step of a walk over the subkeys (or values) of one handle while a second
// handle changes them: "enum" asks Index and expects Name ("" past the end),
// "small" asks it with a buffer too small first; "+x" and "-x" add or remove x.
struct Step {
    std::string Action;
    DWORD Index;
    std::string Name;
};

void RunWalk(const std::string& path, const std::vector<Step>& steps, bool values) {
    HKEY key = nullptr, other = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &other), ERROR_SUCCESS);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.Action + " " + std::to_string(step.Index) + " " + step.Name);
        const char* name = step.Action.c_str() + 1;
        if (step.Action[0] == '+') {
            ASSERT_EQ(values ? Set(other, name, REG_BINARY, {1}) : MakeKey(other, name), ERROR_SUCCESS);
        } else if (step.Action[0] == '-') {
            ASSERT_EQ(values ? RegDeleteValue(other, name) : RegDeleteKey(other, name), ERROR_SUCCESS);
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
            const LONG status = ask();
            EXPECT_EQ(status, step.Name.empty() ? ERROR_NO_MORE_ITEMS : ERROR_SUCCESS);
            if (status == ERROR_SUCCESS) {
                EXPECT_EQ(std::string(text, size), step.Name);
            }
        }
    }
    RegCloseKey(key);
    RegCloseKey(other);
}

TEST_F(RegistryTest, EachEnumerationStepAnswersForTheListAsItStandsNow) {
    for (const char* name : {"e", "B", "d", "a", "CC"}) ASSERT_EQ(MakeKey(m_key, name), ERROR_SUCCESS);
    RunWalk(m_scratch.Key(),
            {{"enum", 0, "a"}, {"enum", 1, "B"}, {"small", 2, "CC"}, {"enum", 2, "CC"}, {"-a", 0, ""},
             {"enum", 2, "d"}, {"enum", 3, "e"}, {"+Ba", 0, ""}, {"enum", 1, "Ba"}, {"enum", 0, "B"},
             {"enum", 4, "e"}, {"enum", 5, ""}, {"enum", 1, "Ba"}, {"-CC", 0, ""}, {"enum", 2, "d"},
             {"enum", 4, ""}, {"enum", 3, "e"}},
            false);
    // Values keep the order first stored: an update keeps its place, a value
    // stored anew after its removal goes last.
    if (const char* why = Skip(Difference::ValueOrder)) GTEST_SKIP() << why;
    const std::string values = m_scratch.Key() + "\\Values";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, values.c_str(), &key), ERROR_SUCCESS);
    for (const char* name : {"v4", "v1", "v3", "v2"}) ASSERT_EQ(Set(key, name, REG_BINARY, {0}), ERROR_SUCCESS);
    RegCloseKey(key);
    RunWalk(values,
            {{"enum", 0, "v4"}, {"small", 1, "v1"}, {"enum", 1, "v1"}, {"-v4", 0, ""}, {"enum", 1, "v3"},
             {"+V3", 0, ""}, {"enum", 2, "v2"}, {"+v5", 0, ""}, {"enum", 3, "v5"}, {"-v1", 0, ""},
             {"+v1", 0, ""}, {"enum", 3, "v1"}, {"enum", 4, ""}, {"enum", 0, "v3"}},
            true);
}

}  // namespace
