// The registry shared by processes: writers at the same time, a writer killed
// mid-write, and a damaged database.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <thread>

#include "host/emulated/root.h"
#include "support/RegistryTestUtil.h"
#include "support/TempHostRoot.h"

using namespace host;
using namespace regtest;
namespace fs = std::filesystem;

namespace {

TEST(RegistryProcesses, WritersInTwoProcessesAtOnceNeverFailEvenWithATruncatedChangeCounter) {
    TempHostRoot root;
    HKEY key = nullptr;
    // The parent's connection is open before the fork: each child must open its own.
    ASSERT_EQ(CreateRegKey(kLocalMachine, "Software\\Shared", &key), kErrorSuccess);
    auto writer = [](std::string name) {
        return [name] {
            auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
            for (DWORD i = 0; std::chrono::steady_clock::now() < end; ++i) {
                HKEY k = nullptr;
                const std::string sub = "Software\\Shared\\" + name + std::to_string(i % 7);
                if (CreateRegKey(kLocalMachine, sub.c_str(), &k) || SetNumber(k, "Count", i) ||
                    Number(Get(k, "Count")) != i || (i % 5 == 0 && FlushRegKey(k)) ||
                    (i % 11 == 0 && DeleteRegValue(k, "Count")) || CloseRegKey(k))
                    return 1;
            }
            return 0;
        };
    };
    pid_t first = Child(writer("A"));
    pid_t second = Child(writer("B"));
    // The parent reads all the while, as the control center does while the
    // drivers write, and now and then cuts the change counter short.
    const fs::path counter = emulated::RegistryPath().string() + "-gen";
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    int readFailures = 0;
    for (int i = 0; std::chrono::steady_clock::now() < end; ++i) {
        if (!SubKeys(key).empty() && Get(key, "none").Status != kErrorFileNotFound) ++readFailures;
        if (i % 20 == 0) fs::resize_file(counter, i % 60 == 0 ? 0 : 3);
    }
    EXPECT_EQ(ExitCode(first), 0);
    EXPECT_EQ(ExitCode(second), 0);
    EXPECT_EQ(readFailures, 0);
    EXPECT_EQ(SubKeys(key).size(), 14u);
    EXPECT_TRUE(emulated::RegistryProblem().empty());
}

TEST(RegistryProcesses, AWriterKilledMidWayLeavesEveryValueOldOrNew) {
    TempHostRoot root;
    const char* names[] = {"v0", "v1", "v2", "v3", "v4", "v5", "v6", "v7", "v8", "v9"};
    HKEY key = nullptr;
    ASSERT_EQ(CreateRegKey(kLocalMachine, "Software\\Loop", &key), kErrorSuccess);
    for (const char* name : names) ASSERT_EQ(SetNumber(key, name, 0), kErrorSuccess);
    ASSERT_EQ(FlushRegKey(key), kErrorSuccess);

    // Round n writes n into v0 ... v9 in turn, so the values always read n, ..., n, n-1, ..., n-1.
    pid_t child = Child([&] {
        for (DWORD round = 1;; ++round)
            for (const char* name : names)
                if (SetNumber(key, name, round) != kErrorSuccess) return 1;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    kill(child, SIGKILL);
    ASSERT_EQ(ExitCode(child), 128 + SIGKILL);

    emulated::SetHostRoot(root.Path());  // a fresh connection, as the next program would open
    ASSERT_EQ(OpenRegKey(kLocalMachine, "Software\\Loop", 0, kKeyRead, &key), kErrorSuccess);
    const DWORD first = Number(Get(key, names[0]));
    ASSERT_NE(first, ~0u);
    EXPECT_GT(first, 0u) << "the writer never wrote";
    bool dropped = false;
    for (const char* name : names) {
        DWORD value = Number(Get(key, name));
        dropped = dropped || value == first - 1;
        EXPECT_EQ(value, dropped ? first - 1 : first) << name;
    }
    EXPECT_TRUE(emulated::RegistryProblem().empty());
}

TEST(DamagedRegistry, IsReportedOnceAndLeftAlone) {
    const struct {
        const char* Name;
        const char* Problem;
        std::function<void()> Damage;
    } cases[] = {
        // An empty file is not taken for a new registry.
        {"an empty file", "empty", [] { std::ofstream(emulated::RegistryPath()).close(); }},
        {"a file that is no database", "damaged",
         [] { std::ofstream(emulated::RegistryPath()) << "this is not a registry\n" + std::string(5000, 'Z'); }},
        {"a database with a broken page", "damaged",
         [] {
             for (int i = 0; i < 200; ++i)
                 StoreText("Software\\Orvane", ("Value" + std::to_string(i)).c_str(), std::string(100, 'v'), false);
             emulated::SetHostRoot(fs::path(emulated::HostRoot()));  // closing folds the WAL into the file
             std::string bytes = FileBytes(emulated::RegistryPath());
             ASSERT_GT(bytes.size(), 3 * 4096u);
             for (std::size_t i = 4096; i < 3 * 4096; ++i) bytes[i] = static_cast<char>(0xA5 ^ i);
             std::ofstream(emulated::RegistryPath(), std::ios::binary) << bytes;
         }},
        {"a database of something else", "not a registry",
         [] {
             sqlite3* db = nullptr;
             ASSERT_EQ(sqlite3_open(emulated::RegistryPath().c_str(), &db), SQLITE_OK);
             ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE notes(text)", nullptr, nullptr, nullptr), SQLITE_OK);
             sqlite3_close(db);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TempHostRoot root;
        c.Damage();
        ASSERT_FALSE(fs::exists(emulated::RegistryPath().string() + "-wal"));
        const std::string before = FileBytes(emulated::RegistryPath());
        // Every call fails, the file stays as it was, and the problem is told once.
        ::testing::internal::CaptureStderr();
        HKEY key = nullptr;
        EXPECT_EQ(OpenRegKey(kLocalMachine, "Software", 0, kKeyRead, &key), kErrorBadDb);
        EXPECT_EQ(CreateRegKey(kLocalMachine, "Software\\New", &key), kErrorBadDb);
        EXPECT_EQ(Set(kLocalMachine, "x", kRegBinary, {1}), kErrorBadDb);
        EXPECT_EQ(FlushRegKey(kLocalMachine), kErrorBadDb);
        std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(LineCount(err), 1) << err;
        EXPECT_NE(err.find(emulated::RegistryPath().string()), std::string::npos) << err;
        EXPECT_NE(err.find(c.Problem), std::string::npos) << err;
        EXPECT_NE(emulated::RegistryProblem().find(c.Problem), std::string::npos);
        EXPECT_EQ(FileBytes(emulated::RegistryPath()), before);
        EXPECT_FALSE(fs::exists(emulated::RegistryPath().string() + "-wal"));
    }
}

// A root folder its owner may not write: SQLite calls the database read-only,
// but what is missing is the shared-memory file beside it.
TEST(RegistryRoot, AnUnwritableRootFolderIsNamedAsTheCause) {
    TempHostRoot root;
    MakeKey("Software");
    emulated::SetHostRoot(root.Path());  // the last connection closed takes its -shm file along
    ASSERT_FALSE(fs::exists(emulated::RegistryPath().string() + "-shm"));
    constexpr uid_t kNobody = 65534;  // the superuser writes anywhere: the reader is nobody
    ASSERT_EQ(chown(root.Path().c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(chown(emulated::RegistryPath().c_str(), kNobody, kNobody), 0);
    fs::permissions(root.Path(), fs::perms(0555));
    const int found = InChild([] {
        if (setgid(kNobody) != 0 || setuid(kNobody) != 0) return 2;
        HKEY key = nullptr;
        const LONG status = OpenRegKey(kLocalMachine, "Software", 0, kKeyRead, &key);
        const std::string problem = emulated::RegistryProblem();
        return status != kErrorSuccess && problem.find("is not writable") != std::string::npos &&
                       problem.find("registry.db-shm") != std::string::npos
                   ? 0
                   : 1;
    });
    fs::permissions(root.Path(), fs::perms::owner_all);
    EXPECT_EQ(found, 0);
}

// --root, then V7_HOST_ROOT, then the user's default: the superuser's is the
// system-wide root whatever its environment, so root over ssh or sudo finds it.
TEST(RegistryRoot, TheOptionThenTheVariableThenTheUserChooseTheRoot) {
    const struct {
        const char* Option;
        const char* Variable;
        const char* DataHome;
        bool Superuser;
        fs::path Expected;
    } rows[] = {
        {"/opt/a", "/b", "/x", true, "/opt/a"},
        {"rel", "", "", false, fs::current_path() / "rel"},
        {"", "/b", "/x", true, "/b"},
        {"", "", "/x", true, "/srv/system-root"},
        {"", "", "", true, "/srv/system-root"},
        {"", "", "/x", false, "/x/orvane-v7/host"},
        {"", "", "x", false, "/home/u/.local/share/orvane-v7/host"},  // a relative data folder is no data folder
        {"", "", "", false, "/home/u/.local/share/orvane-v7/host"},
    };
    for (const auto& row : rows) {
        emulated::RootSources sources{row.Option, row.Variable, row.DataHome, "/home/u", row.Superuser, "/srv/system-root"};
        EXPECT_EQ(emulated::ChooseHostRoot(sources), row.Expected) << row.Option << "|" << row.Variable << "|"
                                                                   << row.DataHome << "|" << row.Superuser;
    }
}

// A program other than the set-up that opens the registry of a root never set
// up is told so, naming "v7-host init", and leaves nothing behind: neither the
// root nor a bare registry.db that would pass for a host with no station.
TEST(RegistryRoot, ARootNeverSetUpIsReportedAndGetsNoRegistryUntilItIsSetUp) {
    TempHostRoot root;
    const fs::path missing = root.Path() / "not-yet";
    HKEY key = nullptr;
    for (bool rootExists : {false, true}) {
        SCOPED_TRACE(rootExists ? "an empty root" : "no root");
        if (rootExists) fs::create_directory(missing);
        emulated::SetHostRoot(missing);
        emulated::CreateMissingRegistry(false);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(CreateRegKey(kLocalMachine, "Software", &key), kErrorBadDb);
        EXPECT_EQ(OpenRegKey(kLocalMachine, "Software", 0, kKeyRead, &key), kErrorBadDb);
        std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(LineCount(err), 1) << err;
        EXPECT_NE(emulated::RegistryProblem().find("v7-host init"), std::string::npos);
        EXPECT_EQ(fs::exists(missing), rootExists);
        EXPECT_FALSE(fs::exists(emulated::RegistryPath()));
    }
    // The set-up makes it.
    emulated::CreateMissingRegistry(true);
    EXPECT_EQ(CreateRegKey(kLocalMachine, "Software", &key), kErrorSuccess);
    EXPECT_TRUE(emulated::RegistryProblem().empty());
    EXPECT_TRUE(fs::exists(emulated::RegistryPath()));
    emulated::SetHostRoot(root.Path());
}

}  // namespace
