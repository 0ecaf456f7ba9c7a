#include "users/ProfileRemoval.h"

#include <string_view>

#include "host/files.h"
#include "host/inifile.h"
#include "host/registry.h"
#include "host/system.h"
#include "host/text.h"
#include "users/DirectoryTree.h"
#include "users/UserProfiles.h"

namespace users {
namespace {

constexpr unsigned IDS_COULD_NOT_REMOVE_DIRECTORY = 2006;
constexpr unsigned IDS_COULD_NOT_REMOVE_FILE = 2007;
constexpr unsigned IDS_COULD_NOT_REMOVE_PASSWORD_ENTRY = 2010;
constexpr unsigned IDS_COULD_NOT_REMOVE_KEY = 2014;
constexpr unsigned IDS_CONFIRM_REMOVE = 2202;
constexpr unsigned IDS_OWN_PROFILE = 2203;
constexpr unsigned IDS_CONFIRM_REMOVE_LOGGED_ON = 2204;
constexpr const char* kPasswordLists = "Password Lists";

std::string WindowsDirectory() {
    char buffer[host::kMaxPath] = {};
    host::GetWindowsFolder(buffer, host::kMaxPath);
    return buffer;
}

void RemoveProfileFolder(const std::string& windows, const std::string& name, const RemovalDialogue& dialogue) {
    const std::string folder = windows + "\\Profiles\\" + name;
    // A name that is no plain folder name would lead the path elsewhere.
    if (IsPlainFolderName(name) && DeleteDirectoryTree(folder)) return;
    dialogue.Report(FormatText(IDS_COULD_NOT_REMOVE_DIRECTORY, {host::FoldCase(folder)}));
}

// Whether a password-list value names a password file the system keeps: a
// regular file "*.pwl" right in the Windows directory. A value that filled the
// whole buffer may have been cut, so it names some other file.
bool IsPasswordFile(const std::string& windows, const char* value, host::DWORD length) {
    const std::string_view path(value, length);
    // A NUL inside would make the name checked here differ from the file deleted.
    if (length >= host::kMaxPath - 1 || path.find('\0') != std::string_view::npos) return false;
    if (path.size() <= windows.size() + 1 || host::MbsICmp(path.substr(0, windows.size()), windows) != 0 ||
        path[windows.size()] != '\\')
        return false;
    const std::string_view file = path.substr(windows.size() + 1);
    if (file.size() <= 4 || file.find_first_of("\\/:") != std::string_view::npos ||
        host::MbsICmp(file.substr(file.size() - 4), ".pwl") != 0)
        return false;
    const host::DWORD attributes = host::GetAttributes(value);
    return attributes != host::kInvalidAttributes &&
           (attributes & (host::kAttributeDirectory | host::kAttributeReparsePoint)) == 0;
}

void RemovePasswordFile(const std::string& windows, const std::string& systemIni, const std::string& name,
                        const RemovalDialogue& dialogue) {
    char file[host::kMaxPath] = {};
    const host::DWORD length =
        host::GetIniString(kPasswordLists, name.c_str(), "", file, host::kMaxPath, systemIni.c_str());
    if (length == 0) return;
    // The entry of a name that is no plain folder name is not trusted to name this user's file.
    if (IsPlainFolderName(name) && IsPasswordFile(windows, file, length) && host::RemoveFile(file)) return;
    dialogue.Report(FormatText(IDS_COULD_NOT_REMOVE_FILE, {host::FoldCase(file)}));
}

void RemovePasswordEntry(const std::string& systemIni, const std::string& name, const RemovalDialogue& dialogue) {
    if (host::WriteIniString(kPasswordLists, name.c_str(), nullptr, systemIni.c_str())) return;
    dialogue.Report(FormatText(IDS_COULD_NOT_REMOVE_PASSWORD_ENTRY, {host::FoldCase(systemIni), name}));
}

void RemoveProfileKey(const std::string& name, const RemovalDialogue& dialogue) {
    const std::string key = std::string(kProfileListKey) + "\\" + name;
    // A backslash would name a key further down, never this profile's own.
    if (name.find('\\') == std::string::npos &&
        host::DeleteRegKey(host::kLocalMachine, key.c_str()) == host::kErrorSuccess) return;
    dialogue.Report(FormatText(IDS_COULD_NOT_REMOVE_KEY, {key}));
}

}  // namespace

bool IsPlainFolderName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7F || c == '\\' || c == '/' || c == ':') return false;
    return true;
}

bool IsOwnProfile(const std::string& name) {
    char user[host::kMaxPath] = {};
    host::DWORD size = host::kMaxPath;
    return host::GetAccountName(user, &size) && host::MbsICmp(user, name) == 0;
}

RemovalOutcome RemoveUserProfile(const std::string& name, StationConfiguration& config,
                                 const RemovalDialogue& dialogue) {
    if (name.empty()) return RemovalOutcome::NothingChosen;
    if (IsOwnProfile(name)) {
        dialogue.Report(FormatText(IDS_OWN_PROFILE, {name}));
        return RemovalOutcome::OwnProfile;
    }
    if (!dialogue.Confirm(FormatText(IDS_CONFIRM_REMOVE, {name}))) return RemovalOutcome::Declined;
    config.LoadConfiguration();
    // Who is at the station now is the driver's word; without an answer from
    // it nobody is: the station does not run without its drivers.
    const std::string loggedOn = config.DriversCurrentUser().value_or("");
    if (!loggedOn.empty() && host::MbsICmp(name, loggedOn) == 0 &&
        !dialogue.ConfirmLoggedOn(FormatText(IDS_CONFIRM_REMOVE_LOGGED_ON, {name, name})))
        return RemovalOutcome::Declined;

    const std::string windows = WindowsDirectory();
    const std::string systemIni = windows + "\\system.ini";
    RemoveProfileFolder(windows, name, dialogue);
    RemovePasswordFile(windows, systemIni, name, dialogue);
    RemovePasswordEntry(systemIni, name, dialogue);
    RemoveProfileKey(name, dialogue);
    // Flush results are not checked: each step above already reported its own failure.
    host::WriteIniString(nullptr, nullptr, nullptr, systemIni.c_str());
    host::FlushRegKey(host::kLocalMachine);
    return RemovalOutcome::Ran;
}

}  // namespace users
