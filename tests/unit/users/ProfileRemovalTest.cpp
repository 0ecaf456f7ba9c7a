// The profile removal sequence on a host laid down by "v7-host init": what is
// removed, what stays, and which messages come, for damaged and hostile set-ups.
#include <fcntl.h>
#include <linux/fs.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <functional>
#include <map>
#include <thread>

#include "host/emulated/root.h"
#include "host/inifile.h"
#include "host/registry.h"
#include "host/system.h"
#include "host/text.h"
#include "support/InitializedHost.h"
#include "support/RegistryTestUtil.h"
#include "users/DirectoryTree.h"
#include "users/ProfileRemoval.h"
#include "users/UserProfiles.h"

namespace fs = std::filesystem;

namespace {

fs::path Windows() { return host::emulated::DriveCPath() / "WINDOWS"; }
fs::path Profile(const std::string& name) { return Windows() / "Profiles" / name; }
bool Exists(const fs::path& path) { return fs::symlink_status(path).type() != fs::file_type::not_found; }

// Sets or clears the immutable flag, which stops even root from deleting a file.
bool SetImmutable(const fs::path& file, bool on) {
    int fd = open(file.c_str(), O_RDONLY);
    int flags = 0;
    bool done = fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                (flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL, ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    if (fd >= 0) close(fd);
    return done;
}

std::string PasswordEntry(const std::string& name) {
    char value[260] = {};
    host::GetIniString("Password Lists", name.c_str(), "", value, sizeof value, "C:\\WINDOWS\\system.ini");
    return value;
}

// A chain of folders whose path is longer than any path the host takes, made
// one step at a time from each folder.
void MakeDeepTree(const fs::path& top, int depth) {
    const std::string name(250, 'd');
    int dir = open(top.c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; dir >= 0 && level < depth; ++level) {
        close(openat(dir, "file.txt", O_WRONLY | O_CREAT, 0644));
        mkdirat(dir, name.c_str(), 0755);
        const int below = openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY);
        close(dir);
        dir = below;
    }
    ASSERT_GE(dir, 0);
    close(dir);
}

void AddProfileKey(const std::string& path) { regtest::MakeKey(std::string(users::kProfileListKey) + "\\" + path); }

// Every box a removal shows, as "id: text", in order; every question answered yes.
std::vector<std::string> Remove(const std::string& name) {
    std::vector<std::string> messages;
    auto note = [&messages](const users::Message& m) { messages.push_back(std::to_string(m.Id) + ": " + m.Text); };
    users::RemovalDialogue dialogue;
    dialogue.Confirm = dialogue.ConfirmLoggedOn = [&](const users::Message& m) { return note(m), true; };
    dialogue.Report = note;
    StationConfiguration config;
    EXPECT_EQ(users::RemoveUserProfile(name, config, dialogue), users::RemovalOutcome::Ran);
    return messages;
}

using ProfileRemovalTest = InitializedHostTest;

// The messages for a folder (named as the profile list has it) and a file left behind.
std::string NoDir(const std::string& name) {
    return "2006: Could not remove disk directory:\n\n[ c:\\windows\\profiles\\" + name + " ].";
}
std::string NoFile(const std::string& path) { return "2007: Could not remove disk file:\n\n[ " + path + " ]."; }
std::string NoEntry(const std::string& name) {
    return "2010: Could not remove [Password List] entry in c:\\windows\\system.ini file for user " + name + ".";
}
void SetPasswordFile(const char* user, const std::string& path) {
    host::WriteIniString("Password Lists", user, path.c_str(), "C:\\WINDOWS\\system.ini");
}
// Rewrites system.ini's bytes as another program might have written them.
void EditIni(const std::function<void(std::string&)>& edit) {
    std::string content = FileBytes(Windows() / "system.ini");
    edit(content);
    std::ofstream(Windows() / "system.ini", std::ios::binary | std::ios::trunc) << content;
}

TEST_F(ProfileRemovalTest, EachStepRemovesOrReportsItsOwnItem) {
    const fs::path outside = m_root.Path() / "outside";
    // 258 bytes that name a decoy, then a character a 260-byte buffer cannot hold whole.
    const std::string decoy = std::string(243, 'a') + ".pwl";
    struct Case {
        const char* What;
        std::string Name;
        std::function<void()> Damage;
        std::vector<std::string> Messages;  // after 2202
        bool FolderGone, PasswordFileGone;
        std::vector<fs::path> Kept;
    } const cases[] = {
        {"a whole profile, read-only USER.DAT inside", "Anna", [] {}, {}, true, true, {}},
        {"no profile folder", "Anna", [] { fs::remove_all(Profile("Anna")); }, {NoDir("anna")}, true, true, {}},
        {"no password-list entry", "Anna",
         [] { host::WriteIniString("Password Lists", "Anna", nullptr, "C:\\WINDOWS\\system.ini"); },
         {}, true, false, {}},
        {"a password file that is gone", "Bertil", [] { fs::remove(Windows() / "BERTIL.PWL"); },
         {NoFile("c:\\windows\\bertil.pwl")}, true, true, {}},
        {"a password file off the drive", "Anna", [&] { SetPasswordFile("Anna", outside / "f"); },
         {NoFile(host::FoldCase((outside / "f").string()))}, true, false, {outside / "f"}},
        {"links to outside and to the drive", "Anna",
         [&] {
             fs::create_directory_symlink(outside, Profile("Anna") / "dir link");
             fs::create_symlink(outside / "f", Profile("Anna") / "Desktop" / "file link");
             fs::create_directory_symlink(Windows() / "SYSTEM", Profile("Anna") / "system link");
         },
         {}, true, true, {outside / "f", Windows() / "SYSTEM" / "Brakor.vxd"}},
        {"a profile folder that is a link", "Bertil",
         [] {
             fs::remove_all(Profile("Bertil"));
             fs::create_directory_symlink(Windows() / "SYSTEM", Profile("Bertil"));
         },
         {}, true, true, {Windows() / "SYSTEM" / "Brakor.vxd"}},
        {"a file that cannot be deleted deep inside", "Anna",
         [] { ASSERT_TRUE(SetImmutable(Profile("Anna") / "Desktop" / "Notes.txt", true)) << "no immutable flag here"; },
         {NoDir("anna")}, false, true, {Profile("Anna") / "Desktop" / "Notes.txt"}},
        {"a tree deeper than any path can name", "Anna", [] { MakeDeepTree(Profile("Anna") / "Desktop", 20); }, {},
         true, true, {}},
        {"an entry no Windows path can name", "Anna",
         [] { std::ofstream(Profile("Anna") / "x\\..\\..\\..\\system.ini") << "hostile"; }, {NoDir("anna")}, false,
         true, {Windows() / "system.ini"}},
        {"a name that is no folder name", "..",
         [] { AddProfileKey(".."), SetPasswordFile("..", "C:\\WINDOWS\\ANNA.PWL"); },
         {NoDir(".."), NoFile("c:\\windows\\anna.pwl")}, false, false, {Profile("Anna"), Windows() / "ANNA.PWL"}},
        {"a name with a colon", "a:b", [] { AddProfileKey("a:b"); }, {NoDir("a:b")}, true, true, {}},
        {"an entry naming system.ini", "Anna", [] { SetPasswordFile("Anna", "C:\\WINDOWS\\System.ini"); },
         {NoFile("c:\\windows\\system.ini")}, true, false, {Windows() / "system.ini"}},
        {"an entry naming system.ini before a NUL", "Anna",
         [] {
             EditIni([](std::string& s) { s.replace(s.find("ANNA.PWL"), 8, std::string("system.ini\0.pwl", 15)); });
         },
         {NoFile("c:\\windows\\system.ini")}, true, false, {Windows() / "system.ini"}},
        {"an entry naming a password file in a sub-folder", "Anna",
         [] {
             std::ofstream(Windows() / "SYSTEM" / "X.PWL") << "x";
             SetPasswordFile("Anna", "C:\\WINDOWS\\SYSTEM\\X.PWL");
         },
         {NoFile("c:\\windows\\system\\x.pwl")}, true, false, {Windows() / "SYSTEM" / "X.PWL"}},
        {"an entry naming a link", "Anna",
         [&] { fs::create_symlink(outside / "f", Windows() / "L.PWL"), SetPasswordFile("Anna", "C:\\WINDOWS\\L.PWL"); },
         {NoFile("c:\\windows\\l.pwl")}, true, false, {Windows() / "L.PWL"}},
        {"an entry longer than its buffer", "Anna",
         [&] {
             std::ofstream(Windows() / decoy) << "x";
             SetPasswordFile("Anna", "C:\\WINDOWS\\" + decoy + "\xC3\xA9");
         },
         {NoFile("c:\\windows\\" + decoy)}, true, false, {Windows() / decoy}},
        {"a link where a temporary copy of system.ini could be", "Anna",
         [&] { fs::create_symlink(outside / "f", Windows() / "system.ini.v7tmp"); }, {}, true, true, {}},
        {"system.ini with CR-only line ends", "Anna",
         [] { EditIni([](std::string& s) { s.erase(std::remove(s.begin(), s.end(), '\n'), s.end()); }); }, {}, true,
         true, {}},
        {"the entry in a second password-list section", "Anna",
         [] {
             EditIni([](std::string& s) {
                 s.insert(s.find("ANNA="), ";"), s += "[password lists]\r\nAnna=C:\\WINDOWS\\ANNA.PWL\r\n";
             });
         },
         {}, true, true, {}},
        {"a read-only system.ini", "Anna",
         [] { fs::permissions(Windows() / "system.ini", fs::perms::owner_write, fs::perm_options::remove); },
         {NoEntry("Anna")}, true, true, {}},
        {"a FIFO in place of system.ini", "Anna",
         [] { fs::remove(Windows() / "system.ini"), mkfifo((Windows() / "system.ini").c_str(), 0644); },
         {NoEntry("Anna")}, true, false, {}},
        {"a folder in place of system.ini", "Anna",
         [] { fs::remove(Windows() / "system.ini"), fs::create_directory(Windows() / "system.ini"); },
         {NoEntry("Anna")}, true, false, {}},
        {"a system.ini that is a link", "Anna",
         [] { fs::rename(Windows() / "system.ini", Windows() / "SYSTEM" / "real.ini"),
              fs::create_symlink("SYSTEM/real.ini", Windows() / "system.ini"); },
         {NoEntry("Anna")}, true, false, {}},
        {"a profile key with a subkey", "Anna", [] { AddProfileKey("Anna\\Extra"); },
         {"2014: Could not remove registry key:\n\n[ SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProfileList\\Anna ]."},
         true, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        InitializedHostRoot root;
        fs::create_directories(outside);
        std::ofstream(outside / "f") << "keep";
        const std::string pwl = PasswordEntry(c.Name);
        c.Damage();

        const std::vector<std::string> messages = Remove(c.Name);
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages[0].rfind("2202: Please confirm you wish to remove " + c.Name + "'s", 0), 0u);
        EXPECT_EQ(std::vector<std::string>(messages.begin() + 1, messages.end()), c.Messages);
        EXPECT_EQ(!Exists(Profile(c.Name)), c.FolderGone);
        if (!pwl.empty()) {
            EXPECT_EQ(!Exists(Windows() / pwl.substr(11)), c.PasswordFileGone) << pwl;
        }
        auto failed = [&c](const char* id) {
            for (const std::string& m : c.Messages)
                if (m.rfind(id, 0) == 0) return true;
            return false;
        };
        if (fs::is_regular_file(fs::symlink_status(Windows() / "system.ini"))) {
            EXPECT_EQ(PasswordEntry(c.Name).empty(), !failed("2010"));
        }
        EXPECT_EQ(regtest::KeyExists(std::string(users::kProfileListKey) + "\\" + c.Name), failed("2014"));
        // The table spelt its drive paths on the fixture's root; this row has a root of its own.
        auto here = [&](const fs::path& p) {
            const fs::path below = p.lexically_relative(m_root.Path() / "drive_c");
            return below.empty() || *below.begin() == ".." ? p : host::emulated::DriveCPath() / below;
        };
        for (const fs::path& kept : c.Kept) EXPECT_TRUE(Exists(here(kept))) << kept;
        EXPECT_EQ(FileBytes(outside / "f"), "keep");
        EXPECT_TRUE(Exists(Windows() / "Profiles" / "Bertil") || c.Name == "Bertil");

        SetImmutable(Profile("Anna") / "Desktop" / "Notes.txt", false);
        fs::remove_all(outside);
    }
}

// Every file and folder below a folder, with its permissions and size.
std::map<std::string, std::pair<fs::perms, std::uintmax_t>> Snapshot(const fs::path& folder) {
    std::map<std::string, std::pair<fs::perms, std::uintmax_t>> entries;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        entries[e.path().lexically_relative(folder)] = {e.symlink_status().permissions(),
                                                        e.is_regular_file() ? e.file_size() : 0};
    return entries;
}

// A folder with a read-only file and a sub-folder, as a profile has.
void MakeFolderWithFiles(const fs::path& folder) {
    fs::create_directories(folder / "Sub");
    for (const char* file : {"ro.txt", "a.txt", "Sub/b.txt"}) std::ofstream(folder / file) << file;
    fs::permissions(folder / "ro.txt", fs::perms::owner_read);
}

// A swapper puts links to other folders and files in the place of a profile's
// entries while the removal walks it: nothing the links lead to, another
// profile on the drive or a folder off the host root, is deleted or changed.
TEST_F(ProfileRemovalTest, EntriesSwappedForLinksNeverLeadTheRemovalOut) {
    std::string outsidePattern = "/tmp/v7decoy-XXXXXX";
    ASSERT_TRUE(mkdtemp(outsidePattern.data()));
    const fs::path decoys[] = {Profile("Decoy"), outsidePattern};
    for (const fs::path& decoy : decoys) MakeFolderWithFiles(decoy);
    const auto inside = Snapshot(decoys[0]), outside = Snapshot(decoys[1]);
    const char* swapped[] = {"A", "A/Sub", "B", "B/Sub", "A/ro.txt", "B/Sub/C"};

    int escapes = 0;
    for (int round = 0; round < 300; ++round) {
        for (const char* folder : {"A", "B", "B/Sub/C"}) MakeFolderWithFiles(Profile("Race") / folder);
        std::atomic<bool> done{false};
        std::thread swapper([&] {
            for (unsigned i = round; !done; ++i) {
                const fs::path entry = Profile("Race") / swapped[i % std::size(swapped)];
                const fs::path aside = entry.string() + "~";
                fs::path target = decoys[i % 2];
                if (entry.extension() == ".txt") target /= "ro.txt";
                if (rename(entry.c_str(), aside.c_str()) != 0) continue;
                if (symlink(target.c_str(), entry.c_str()) == 0) std::this_thread::yield();
                if (unlink(entry.c_str()) == 0) rename(aside.c_str(), entry.c_str());
            }
        });
        users::DeleteDirectoryTree("C:\\WINDOWS\\Profiles\\Race");
        done = true;
        swapper.join();
        fs::remove_all(Profile("Race"));
        if (Snapshot(decoys[0]) != inside || Snapshot(decoys[1]) != outside) {
            ++escapes;
            for (const fs::path& decoy : decoys) {
                fs::remove_all(decoy);
                MakeFolderWithFiles(decoy);
            }
        }
    }
    fs::remove_all(decoys[1]);
    EXPECT_EQ(escapes, 0) << "of 300 rounds";
}

TEST_F(ProfileRemovalTest, ProfileListIsSortedWithoutRegardToCase) {
    std::string longest;  // 255 characters as Windows counts them, 510 bytes here
    for (int i = 0; i < 255; ++i) longest += "é";
    for (const std::string& name : {std::string("zed"), std::string("Ärla"), longest, std::string("adam"), std::string("Zoe")})
        AddProfileKey(name);
    // Without the login user's profile, whose name differs from host to host.
    host::DeleteRegKey(host::kLocalMachine, (std::string(users::kProfileListKey) + "\\" + LoginName()).c_str());
    const std::vector<std::string> expected{"adam", "Anna", "Bertil", "User1", "zed", "Zoe", "Ärla", longest};
    EXPECT_EQ(users::FillUserProfileList(), expected);
    AddProfileKey("Anna\\Below");  // a subkey of a profile is no profile
    EXPECT_EQ(users::FillUserProfileList(), expected);
}

}  // namespace
