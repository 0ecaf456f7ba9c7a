// "init": sets a root up, completes one that lacks some of its parts, or
// (forced) clears the old host's files and lays down registry and drive C:.
#include <sys/stat.h>

#include <filesystem>
#include <ostream>

#include "host/device.h"
#include "host/emulated/driver_catalog.h"
#include "host/emulated/hosttool/Commands.h"
#include "host/emulated/hosttool/Installer.h"
#include "host/emulated/hosttool/ToolError.h"
#include "host/emulated/root.h"
#include "host/system.h"
#include "host/text.h"

namespace hosttool {
namespace fs = std::filesystem;
namespace {

// A dangling link counts too: exists() would follow it.
bool Present(const fs::path& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found && !ec;
}

std::vector<fs::path> HostFiles() {
    fs::path db = host::emulated::RegistryPath();
    return {db,
            fs::path(db.string() + "-wal"),
            fs::path(db.string() + "-shm"),
            fs::path(db.string() + "-journal"),
            host::emulated::DriveCPath(),
            host::emulated::StationLogPath()};
}

// The station drivers keep the registry open; replacing it under them would
// leave them writing into a removed database.
void RefuseWhileDriversRun() {
    host::HANDLE device = host::CreateDeviceFile("\\\\.\\Brakor");
    if (device == host::kInvalidHandle) return;
    host::CloseHandle(device);
    throw ToolError("the station drivers are running on this root; stop them before replacing it");
}

void ClearOldHost() {
    bool existing = Present(host::emulated::RegistryPath()) || Present(host::emulated::DriveCPath());
    if (!existing) return;
    RefuseWhileDriversRun();
    // remove_all removes a symbolic link itself, never what it points to.
    for (const fs::path& path : HostFiles()) {
        std::error_code ec;
        fs::remove_all(path, ec);
        if (ec) throw ToolError("could not remove " + path.string() + ": " + ec.message());
    }
}

// While it lives, the registry this process opens is made when missing.
struct RegistryCreation {
    RegistryCreation() { host::emulated::CreateMissingRegistry(true); }
    ~RegistryCreation() { host::emulated::CreateMissingRegistry(false); }
    RegistryCreation(const RegistryCreation&) = delete;
    RegistryCreation& operator=(const RegistryCreation&) = delete;
};

// While it lives, nothing this process creates is writable by group or
// others, whatever the umask: a root set up by root is root's alone to change.
struct NoSharedWrites {
    NoSharedWrites() : m_old(umask(022)) { umask(m_old | 022); }
    ~NoSharedWrites() { umask(m_old); }
    NoSharedWrites(const NoSharedWrites&) = delete;
    NoSharedWrites& operator=(const NoSharedWrites&) = delete;

private:
    mode_t m_old;
};

// A name that can be a profile directory and a password-list key.
bool UsableUserName(const std::string& name) {
    if (name.empty() || name.size() > 31 || name == "." || name == "..") return false;
    for (unsigned char c : name)
        if (c < 0x20 || std::string_view("\\/:*?\"<>|[]=;").find(static_cast<char>(c)) != std::string_view::npos)
            return false;
    return true;
}

}  // namespace

std::vector<std::string> InstallerUsers() {
    std::vector<std::string> users{"User1", "Anna", "Bertil"};
    char name[host::kMaxPath] = {};
    host::DWORD size = sizeof name;
    if (host::GetAccountName(name, &size) && UsableUserName(name)) {
        bool known = false;
        for (const std::string& user : users) known = known || host::MbsICmp(user, name) == 0;
        if (!known) users.emplace_back(name);
    }
    return users;
}

MissingParts FindMissingParts() {
    MissingParts missing;
    const fs::path windows = host::emulated::DriveCPath() / "WINDOWS";
    missing.Registry = !Present(host::emulated::RegistryPath());
    missing.RegistryValues = !missing.Registry && !RegistryHoldsInstallerValues();
    missing.WindowsDirectory = !Present(windows / "system.ini");
    for (const auto& driver : host::emulated::kDrivers)
        missing.DriverFiles = missing.DriverFiles || !Present(windows / "SYSTEM" / driver.FileName);
    return missing;
}

bool InitHost(InitMode mode, std::ostream& out) {
    const fs::path root = host::emulated::HostRoot();
    NoSharedWrites noSharedWrites;
    if (mode == InitMode::Replace) ClearOldHost();
    const MissingParts missing = FindMissingParts();
    if (!missing.Any()) {
        if (mode == InitMode::Complete)
            throw ToolError(root.string() + " already holds a host (use \"v7-host init --force\" to replace it)");
        return false;
    }
    std::error_code ec;
    fs::create_directories(root, ec);
    if (ec || !fs::is_directory(root)) throw ToolError("could not create the host root " + root.string());

    std::vector<std::string> users = InstallerUsers();
    std::vector<std::string> added;
    if (missing.WindowsDirectory) {
        WriteWindowsDirectory(users);
        added.emplace_back("drive C: (system.ini, profiles, password files)");
    }
    if (missing.DriverFiles) {
        WriteDriverFiles();
        added.emplace_back("driver files");
    }
    if (missing.Registry) {
        RegistryCreation creation;
        WriteInstallerRegistry(users);
        added.emplace_back("registry");
    } else if (missing.RegistryValues) {
        AddMissingInstallerValues(users);
        added.emplace_back("the installer's registry values");
    }
    CheckRegistryProblem();

    if (!(missing.Registry && missing.WindowsDirectory && missing.DriverFiles)) {
        out << "Host root at " << root.string() << " completed; added:";
        for (std::size_t i = 0; i < added.size(); ++i) out << (i ? ", " : " ") << added[i];
        out << "\n";
        return true;
    }
    out << "Host root set up at " << root.string() << "\n"
        << "  registry:  " << host::emulated::RegistryPath().string() << "\n"
        << "  drive C:   " << host::emulated::DriveCPath().string() << "\n"
        << "  users:    ";
    for (const std::string& user : users) out << ' ' << user;
    out << "\n";
    return true;
}

}  // namespace hosttool
