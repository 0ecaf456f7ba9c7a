// The daemon works only inside its host root: a link under the root is
// refused, never followed, and a root it cannot write is reported as such,
// not as another daemon.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "unit/stationd/StationdHarness.h"

using namespace stationd_test;
namespace fs = std::filesystem;

namespace {

// Names, modes and contents of a folder's entries, to prove nothing changed.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> entries{{".", std::to_string(int(fs::status(dir).permissions()))}};
    for (const auto& entry : fs::directory_iterator(dir))
        entries[entry.path().filename()] = std::to_string(int(entry.symlink_status().permissions())) + ":" +
                                           FileBytes(entry.path());
    return entries;
}

// Prepares the root (and a folder outside it); returns a command to run the daemon under.
using Words = std::vector<std::string>;
using Prepare = std::function<Words(const fs::path& root, const fs::path& outside)>;

}  // namespace

TEST(StationdRoot, LinksAreRefusedUnwritableFilesAreNamedAndNothingOutsideChanges) {
    const struct {
        const char* Name;
        Prepare Make;
        const char* Expected;
    } cases[] = {
        {"dev links out", [](auto& root, auto& out) { fs::create_directory_symlink(out, root / "dev"); return Words{}; },
         "is a symbolic link"},
        {"log links out",
         [](auto& root, auto& out) { fs::create_symlink(out / "notes", root / "station.log"); return Words{}; },
         "is a symbolic link"},
        {"lock links out",
         [](auto& root, auto& out) {
             fs::create_directory(root / "dev");
             fs::create_symlink(out / "taken.lock", root / "dev" / ".stationd.lock");
             return Words{};
         },
         "is a symbolic link"},
        {"dev is a file", [](auto& root, auto&) { std::ofstream(root / "dev") << "x"; return Words{}; }, "not a folder"},
        {"registry is a folder",
         [](auto& root, auto&) {
             fs::remove(root / "registry.db");
             fs::create_directory(root / "registry.db");
             return Words{};
         },
         "registry.db is a folder"},
        {"lock is a folder",
         [](auto& root, auto&) { fs::create_directories(root / "dev" / ".stationd.lock"); return Words{}; },
         "cannot open"},
        {"read-only root",
         [](auto& root, auto&) {
             fs::permissions(root, fs::perms(0555));
             // The superuser writes anywhere: run the daemon as nobody instead.
             return geteuid() == 0 ? Words{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"} : Words{};
         },
         "cannot create"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TempHostRoot root;
        SetUpRegistry();
        fs::path outside = root.Path().string() + "-outside";
        fs::create_directory(outside);
        fs::permissions(outside, fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
        std::ofstream(outside / "Brakor") << "someone else's file";
        std::ofstream(outside / "notes") << "keep me\n";
        const Words wrapper = c.Make(root.Path(), outside);
        auto before = Snapshot(outside);

        DaemonExit result = RunDaemonToExit({}, wrapper);
        fs::permissions(root.Path(), fs::perms::owner_all);
        EXPECT_NE(result.ExitCode, 0);
        EXPECT_EQ(LineCount(result.Err), 1) << result.Err;
        EXPECT_NE(result.Err.find(c.Expected), std::string::npos) << result.Err;
        EXPECT_EQ(Snapshot(outside), before);
        fs::remove_all(outside);
    }
}
