// C:\WINDOWS as the installer leaves it: system.ini naming the station
// drivers and each user's password file, the password files, and a profile
// directory per user with a few files (USER.DAT read-only, as the system keeps it).
// Only what is missing is written: a file already there is left as it is.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "host/emulated/hosttool/Installer.h"
#include "host/emulated/hosttool/ToolError.h"
#include "host/emulated/root.h"

namespace hosttool {
namespace fs = std::filesystem;
namespace {

fs::path WindowsDir() { return host::emulated::DriveCPath() / "WINDOWS"; }

// Password-list keys and file names are upper case; only ASCII letters change.
std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

void MakeDir(const fs::path& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) throw ToolError("could not create " + dir.string() + ": " + ec.message());
}

std::string SystemIni(const std::vector<std::string>& users) {
    std::string ini =
        "[boot]\r\n"
        "shell=Explorer.exe\r\n"
        "system.drv=system.drv\r\n"
        "\r\n"
        "[386Enh]\r\n"
        "device=brakor.vxd\r\n"
        "device=quorel.vxd\r\n"
        "device=tilvex.vxd\r\n"
        "keyboard=dunvek.vxd\r\n"
        "\r\n"
        "[Password Lists]\r\n";
    for (const std::string& user : users) ini += Upper(user) + "=C:\\WINDOWS\\" + Upper(user) + ".PWL\r\n";
    return ini;
}

void WriteProfile(const fs::path& profile, const std::string& user) {
    for (const char* sub : {"Desktop", "Recent", "NetHood", "Start Menu/Programs/StartUp"}) MakeDir(profile / sub);
    WriteNewFile(profile / "USER.DA0", "registry backup of " + user + "\r\n");
    WriteNewFile(profile / "Desktop" / "Notes.txt", "Notes of " + user + "\r\n");
    WriteNewFile(profile / "Recent" / "Notes.lnk", "C:\\WINDOWS\\Profiles\\" + user + "\\Desktop\\Notes.txt\r\n");
    fs::path userDat = profile / "USER.DAT";
    if (!WriteNewFile(userDat, "user registry of " + user + "\r\n")) return;
    std::error_code ec;
    fs::permissions(userDat, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove, ec);
    if (ec) throw ToolError("could not make " + userDat.string() + " read-only: " + ec.message());
}

}  // namespace

bool WriteNewFile(const fs::path& file, const std::string& bytes) {
    // O_EXCL: an existing file, or a link of any kind, keeps the name.
    int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno == EEXIST) return false;
    if (fd < 0) throw ToolError("could not write " + file.string() + ": " + std::strerror(errno));
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    if (close(fd) != 0 || done != bytes.size()) throw ToolError("could not write " + file.string());
    return true;
}

void WriteWindowsDirectory(const std::vector<std::string>& users) {
    fs::path windows = WindowsDir();
    MakeDir(windows / "SYSTEM");
    MakeDir(windows / "Profiles");
    WriteNewFile(windows / "system.ini", SystemIni(users));
    for (const std::string& user : users) {
        // A stand-in for the encrypted list: a signature and the owner's name.
        WriteNewFile(windows / (Upper(user) + ".PWL"), "V7 password list\x1a" + user);
        WriteProfile(windows / "Profiles" / user, user);
    }
}

}  // namespace hosttool
