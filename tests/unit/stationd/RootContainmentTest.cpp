// The daemon works only inside its host root: a link under the root that
// points elsewhere is refused, never followed, and a root it cannot write is
// reported as such.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>

#include "host/emulated/root.h"
#include "unit/stationd/StationdHarness.h"

using namespace stationd_test;
namespace fs = std::filesystem;

namespace {

// Names, modes and contents of every entry of a folder, to prove nothing changed.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::directory_iterator(dir)) {
        std::string& text = entries[entry.path().filename().string()];
        text = std::to_string(static_cast<int>(entry.symlink_status().permissions()));
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            text += ":" + std::string(std::istreambuf_iterator<char>(in), {});
        }
    }
    entries["."] = std::to_string(static_cast<int>(fs::status(dir).permissions()));
    return entries;
}

struct RootCase {
    const char* Name;
    std::function<void(const fs::path& root, const fs::path& outside)> Prepare;
    const char* Expected;  // in the one-line error
};

}  // namespace

TEST(StationdRoot, LinksOutOfTheRootAreRefusedAndNothingOutsideIsTouched) {
    const RootCase cases[] = {
        {"device folder", [](const fs::path& root, const fs::path& outside) { fs::create_directory_symlink(outside, root / "dev"); },
         "symbolic link"},
        {"station log",
         [](const fs::path& root, const fs::path& outside) { fs::create_symlink(outside / "notes.txt", root / "station.log"); },
         "symbolic link"},
        {"lock file",
         [](const fs::path& root, const fs::path& outside) {
             fs::create_directory(root / "dev");
             fs::create_symlink(outside / "taken.lock", root / "dev" / ".stationd.lock");
         },
         "symbolic link"},
        {"device folder is a file", [](const fs::path& root, const fs::path&) { std::ofstream(root / "dev") << "x"; },
         "not a folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TempHostRoot root;
        SetUpRegistry();
        fs::path outside = root.Path().string() + "-outside";
        fs::create_directory(outside);
        fs::permissions(outside, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec);
        std::ofstream(outside / "Brakor") << "someone else's file";
        std::ofstream(outside / "notes.txt") << "keep me\n";
        c.Prepare(root.Path(), outside);
        auto before = Snapshot(outside);

        DaemonExit result = RunDaemonToExit({});
        EXPECT_NE(result.ExitCode, 0);
        EXPECT_EQ(LineCount(result.Err), 1) << result.Err;
        EXPECT_NE(result.Err.find(c.Expected), std::string::npos) << result.Err;
        EXPECT_EQ(Snapshot(outside), before);
        fs::remove_all(outside);
    }
}

TEST(StationdRoot, AFolderItCannotWriteIsNotTakenForAnotherDaemon) {
    const std::pair<const char*, std::function<std::string(const fs::path&)>> cases[] = {
        {"read-only root",
         [](const fs::path& root) {
             fs::permissions(root, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
             // The superuser writes anywhere: run the daemon as nobody instead.
             return geteuid() == 0 ? std::string("setpriv --reuid=65534 --regid=65534 --clear-groups") : std::string();
         }},
        {"lock file is a folder",
         [](const fs::path& root) {
             fs::create_directories(root / "dev" / ".stationd.lock");
             return std::string();
         }},
    };
    for (const auto& [name, prepare] : cases) {
        SCOPED_TRACE(name);
        TempHostRoot root;
        SetUpRegistry();
        std::string wrapper = prepare(root.Path());
        DaemonExit result = RunDaemonToExit({}, wrapper);
        fs::permissions(root.Path(), fs::perms::owner_all);
        EXPECT_NE(result.ExitCode, 0);
        EXPECT_EQ(LineCount(result.Err), 1) << result.Err;
        EXPECT_EQ(result.Err.find("already"), std::string::npos) << result.Err;
        EXPECT_NE(result.Err.find("cannot"), std::string::npos) << result.Err;
    }
}
