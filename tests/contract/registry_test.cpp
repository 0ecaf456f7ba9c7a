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
        {"Terminated", kRegSz, "User1\0"s}, {"Unterminated", kRegSz, "User1"},    {"Utf8", kRegSz, "Åsa Ölund\0"s},
        {"Beyond16Bits", kRegSz, "\xF0\x9F\x98\x80!\0"s},  // a surrogate pair where text is UTF-16
        {"Binary", kRegBinary, "\0\xFF\0\x7F\x80"s}, {"Number", kRegDword, "\x78\x56\x34\x12"},
        {"Empty", kRegBinary, ""},          {"", kRegSz, "unnamed\0"s},
    };
    for (const auto& v : values) ASSERT_EQ(Set(m_key, v.Name, v.Type, Bytes(v.Data)), kErrorSuccess);
    for (const auto& v : values) EXPECT_EQ(Query(m_scratch.Key(), v.Name), Value(v.Type, v.Data)) << v.Name;
    // A null name is the unnamed value.
    EXPECT_EQ(Get(m_key, nullptr), Value(kRegSz, "unnamed\0"s));
    ASSERT_EQ(DeleteRegValue(m_key, nullptr), kErrorSuccess);
    EXPECT_EQ(Get(m_key, "").Status, kErrorFileNotFound);
}

TEST_F(RegistryTest, FewerBytesThanTheValueGivesMoreDataAndLeavesTheBufferAlone) {
    ASSERT_EQ(Set(m_key, "IO Handle", kRegDword, {1, 2, 3, 4}), kErrorSuccess);
    for (const bool enumerate : {false, true}) {
        BYTE buffer[8] = {0xAA, 0xAA, 0xAA, 0xAA};
        auto ask = [&](DWORD* type, BYTE* data, DWORD* size) {
            char name[16];
            DWORD nameSize = sizeof name;
            return enumerate ? EnumRegValue(m_key, 0, name, &nameSize, type, data, size)
                             : QueryRegValue(m_key, "IO Handle", type, data, size);
        };
        for (DWORD offered : {1u, 3u}) {
            DWORD type = 0, size = offered;
            EXPECT_EQ(ask(&type, buffer, &size), kErrorMoreData) << offered;
            EXPECT_EQ(size, 4u);
            if (!enumerate) {
                EXPECT_EQ(type, kRegDword);  // the enumeration need not tell the type then
            }
            EXPECT_EQ(std::vector<BYTE>(buffer, buffer + 4), std::vector<BYTE>(4, 0xAA));
        }
        DWORD size = 0;  // no buffer: only the size
        EXPECT_EQ(ask(nullptr, nullptr, &size), kErrorSuccess);
        EXPECT_EQ(size, 4u);
        size = 8;  // more room than needed: the value's own size comes back
        EXPECT_EQ(ask(nullptr, buffer, &size), kErrorSuccess);
        EXPECT_EQ(size, 4u);
        EXPECT_EQ(ask(nullptr, buffer, nullptr), kErrorInvalidParameter);
    }
}

TEST_F(RegistryTest, MissingThingsAndClosedHandlesGiveTheirCodes) {
    EXPECT_EQ(Get(m_key, "Nothing").Status, kErrorFileNotFound);
    EXPECT_EQ(DeleteRegValue(m_key, "Nothing"), kErrorFileNotFound);
    EXPECT_EQ(OpenStatus(m_key, "Setup"), kErrorFileNotFound);
    EXPECT_EQ(OpenStatus(m_key, "Nobody\\Setup"), kErrorFileNotFound);
    EXPECT_EQ(DeleteRegKey(m_key, "Nobody"), kErrorFileNotFound);

    HKEY key = nullptr;
    ASSERT_EQ(OpenRegKey(kLocalMachine, "Software", 0, kKeyRead, &key), kErrorSuccess);
    ASSERT_EQ(CloseRegKey(key), kErrorSuccess);
    EXPECT_EQ(CloseRegKey(key), kErrorInvalidHandle);
    EXPECT_EQ(Get(key, "x").Status, kErrorInvalidHandle);
    EXPECT_EQ(Get(nullptr, "x").Status, kErrorInvalidHandle);
    EXPECT_EQ(FlushRegKey(reinterpret_cast<HKEY>(0x1234)), kErrorInvalidHandle);
    EXPECT_EQ(FlushRegKey(kLocalMachine), kErrorSuccess);
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
        {"Setup\\Station1\\", kErrorSuccess, kErrorSuccess},  // a trailing backslash is ignored
        {"\\Setup", kErrorBadPathname, kErrorBadPathname},
        {"\\", kErrorBadPathname, kErrorBadPathname},
        {"A\\\\B", kErrorInvalidParameter, kFails},
        {name255, kErrorSuccess, kErrorSuccess},
        {e128, kErrorSuccess, kErrorSuccess},
        {std::string(256, 'x'), kErrorInvalidParameter, kFails},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MakeKey(m_key, c.Path), c.Create) << c.Path;
        if (c.Open == kFails)
            EXPECT_NE(OpenStatus(m_key, c.Path), kErrorSuccess) << c.Path;
        else
            EXPECT_EQ(OpenStatus(m_key, c.Path), c.Open) << c.Path;
    }
    EXPECT_EQ(DeleteRegKey(m_key, "\\Setup\\Station1"), kErrorBadPathname);
    EXPECT_EQ(SubKeys(m_key), (std::vector<std::string>{"Setup", name255, e128}));
}

TEST_F(RegistryTest, KeysAndValueNamesIgnoreCaseAndKeepTheirSpelling) {
    ASSERT_EQ(MakeKey(m_key, "Setup\\Station1\\Display\\DEFAULT"), kErrorSuccess);
    HKEY key = nullptr;
    ASSERT_EQ(CreateRegKey(m_key, "setup\\STATION1", &key), kErrorSuccess);  // opens it
    EXPECT_EQ(SubKeys(key), std::vector<std::string>{"Display"});
    ASSERT_EQ(Set(key, "Station Name", kRegSz, Bytes("Station1")), kErrorSuccess);
    EXPECT_EQ(Query(m_scratch.Key() + "\\SETUP\\station1", "STATION NAME"), Value(kRegSz, "Station1"));
    // Writing under another spelling replaces the value; the first spelling stays.
    ASSERT_EQ(Set(key, "station name", kRegSz, Bytes("Station2")), kErrorSuccess);
    char name[64];
    DWORD nameSize = sizeof name;
    ASSERT_EQ(EnumRegValue(key, 0, name, &nameSize, nullptr, nullptr, nullptr), kErrorSuccess);
    EXPECT_EQ(std::string(name), "Station Name");
    nameSize = sizeof name;
    EXPECT_EQ(EnumRegValue(key, 1, name, &nameSize, nullptr, nullptr, nullptr), kErrorNoMoreItems);
    EXPECT_EQ(Get(key, "Station Name"), Value(kRegSz, "Station2"));
    CloseRegKey(key);
}

TEST_F(RegistryTest, SubkeysEnumerateAlphabeticallyWithoutRegardToCase) {
    for (const char* name : {"beta", "Alpha", "gamma", "ALPHA2", "Œuvre", "Ölund", "delta"})
        ASSERT_EQ(MakeKey(m_key, name), kErrorSuccess);
    EXPECT_EQ(SubKeys(m_key), (std::vector<std::string>{"Alpha", "ALPHA2", "beta", "delta", "gamma", "Ölund", "Œuvre"}));
    EXPECT_EQ(OpenStatus(m_key, "ölund"), kErrorSuccess);  // Latin letters fold too
    EXPECT_EQ(OpenStatus(m_key, "œUVRE"), kErrorSuccess);

    char name[8] = "unset";
    DWORD size = 6;  // "ALPHA2" needs 7 with its terminator
    EXPECT_EQ(EnumRegKey(m_key, 1, name, &size), kErrorMoreData);
    EXPECT_STREQ(name, "unset");
    size = 7;
    ASSERT_EQ(EnumRegKey(m_key, 1, name, &size), kErrorSuccess);
    EXPECT_EQ(size, 6u);
    EXPECT_STREQ(name, "ALPHA2");
    size = sizeof name;
    EXPECT_EQ(EnumRegKey(m_key, 7, name, &size), kErrorNoMoreItems);
}

TEST_F(RegistryTest, DeletingAKeyNeedsItToHaveNoSubkeysAndEndsItsOpenHandles) {
    HKEY station = nullptr;
    ASSERT_EQ(CreateRegKey(m_key, "Setup\\Station1", &station), kErrorSuccess);
    ASSERT_EQ(Set(station, "Launched", kRegBinary, {1}), kErrorSuccess);
    EXPECT_EQ(DeleteRegKey(m_key, "Setup"), kErrorAccessDenied);
    ASSERT_EQ(DeleteRegKey(m_key, "SETUP\\station1"), kErrorSuccess);

    EXPECT_EQ(Get(station, "Launched").Status, kErrorKeyDeleted);
    EXPECT_EQ(Set(station, "Launched", kRegBinary, {0}), kErrorKeyDeleted);
    HKEY again = nullptr;
    EXPECT_EQ(CreateRegKey(station, "Display", &again), kErrorKeyDeleted);
    char name[16];
    DWORD size = sizeof name;
    EXPECT_EQ(EnumRegKey(station, 0, name, &size), kErrorKeyDeleted);

    // A new key of the same name is another key: its values start empty.
    ASSERT_EQ(CreateRegKey(m_key, "Setup\\Station1", &again), kErrorSuccess);
    EXPECT_EQ(Get(again, "Launched").Status, kErrorFileNotFound);
    EXPECT_EQ(Get(station, "Launched").Status, kErrorKeyDeleted);
    EXPECT_EQ(CloseRegKey(station), kErrorSuccess);
    CloseRegKey(again);
    EXPECT_EQ(DeleteRegKey(m_key, "Setup\\Station1"), kErrorSuccess);
    EXPECT_EQ(DeleteRegKey(m_key, "Setup"), kErrorSuccess);
    EXPECT_TRUE(SubKeys(m_key).empty());
}

TEST_F(RegistryTest, ATransactionKeepsOtherWritersOutAndADroppedInnerOneFailsTheCommit) {
    {
        RegistryTransaction outer;
        ASSERT_EQ(outer.Status(), kErrorSuccess);
        LONG otherThread = -1;
        std::thread other([&] { otherThread = RegistryTransaction().Status(); });  // waits for the lock
        { RegistryTransaction inner; }  // dropped
        EXPECT_NE(outer.Commit(), kErrorSuccess);
        other.join();
        EXPECT_EQ(otherThread, kErrorSuccess) << "the lock is free again once the outer one ends";
    }
    RegistryTransaction next;
    EXPECT_EQ(next.Commit(), kErrorSuccess) << "a dropped transaction leaves nothing behind for the next";
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
    ASSERT_EQ(OpenRegKey(kLocalMachine, path.c_str(), 0, kKeyAllAccess, &key), kErrorSuccess);
    ASSERT_EQ(OpenRegKey(kLocalMachine, path.c_str(), 0, kKeyAllAccess, &other), kErrorSuccess);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.Action + " " + std::to_string(step.Index) + " " + step.Name);
        const char* name = step.Action.c_str() + 1;
        if (step.Action[0] == '+') {
            ASSERT_EQ(values ? Set(other, name, kRegBinary, {1}) : MakeKey(other, name), kErrorSuccess);
        } else if (step.Action[0] == '-') {
            ASSERT_EQ(values ? DeleteRegValue(other, name) : DeleteRegKey(other, name), kErrorSuccess);
        } else {
            char text[64];
            DWORD size = step.Action == "small" ? 1 : sizeof text;
            auto ask = [&] {
                DWORD dataSize = 0;
                return values ? EnumRegValue(key, step.Index, text, &size, nullptr, nullptr, &dataSize)
                              : EnumRegKey(key, step.Index, text, &size);
            };
            if (step.Action == "small") {
                ASSERT_EQ(ask(), kErrorMoreData);
                EXPECT_EQ(size, step.Name.size() + 1);
            }
            const LONG status = ask();
            EXPECT_EQ(status, step.Name.empty() ? kErrorNoMoreItems : kErrorSuccess);
            if (status == kErrorSuccess) {
                EXPECT_EQ(std::string(text, size), step.Name);
            }
        }
    }
    CloseRegKey(key);
    CloseRegKey(other);
}

TEST_F(RegistryTest, EachEnumerationStepAnswersForTheListAsItStandsNow) {
    for (const char* name : {"e", "B", "d", "a", "CC"}) ASSERT_EQ(MakeKey(m_key, name), kErrorSuccess);
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
    ASSERT_EQ(CreateRegKey(kLocalMachine, values.c_str(), &key), kErrorSuccess);
    for (const char* name : {"v4", "v1", "v3", "v2"}) ASSERT_EQ(Set(key, name, kRegBinary, {0}), kErrorSuccess);
    CloseRegKey(key);
    RunWalk(values,
            {{"enum", 0, "v4"}, {"small", 1, "v1"}, {"enum", 1, "v1"}, {"-v4", 0, ""}, {"enum", 1, "v3"},
             {"+V3", 0, ""}, {"enum", 2, "v2"}, {"+v5", 0, ""}, {"enum", 3, "v5"}, {"-v1", 0, ""},
             {"+v1", 0, ""}, {"enum", 3, "v1"}, {"enum", 4, ""}, {"enum", 0, "v3"}},
            true);
}

}  // namespace
