// Completing a registry that lacks the installer's values (one made before
// the root was set up, or one the drivers wrote their own values into): the
// installer's registry is written into a scratch root, and each of its keys
// and values that the real registry lacks is added there. Nothing present is
// overwritten.
#include <unistd.h>

#include <filesystem>
#include <utility>

#include "host/emulated/hosttool/Installer.h"
#include "host/emulated/hosttool/RegistryWalk.h"
#include "host/emulated/hosttool/ToolError.h"
#include "host/emulated/root.h"
#include "host/registry_scope.h"
#include "station/StationConfiguration.h"

namespace hosttool {
namespace fs = std::filesystem;
namespace {

using KeyValues = std::vector<std::pair<std::string, std::vector<StoredValue>>>;

void Collect(const std::string& path, KeyValues* into) {
    OpenKey key;
    host::LONG status = key.Open(path);
    if (status == host::kErrorSuccess) into->emplace_back(path, Values(key.Get(), &status));
    std::vector<std::string> names;
    if (status == host::kErrorSuccess) names = SubkeyNames(key.Get(), &status);
    if (status != host::kErrorSuccess) throw ToolError("could not read the new registry (" + RegistryStatusText(status) + ")");
    for (const std::string& name : names) Collect(path.empty() ? name : path + "\\" + name, into);
}

// The installer's keys and values, as written into a fresh registry of a
// scratch root under the real one; the process is back on the real root after.
KeyValues InstallerKeyValues(const std::vector<std::string>& users) {
    const fs::path root = host::emulated::HostRoot();
    const fs::path scratch = root / (".init-" + std::to_string(getpid()));
    struct Back {
        fs::path Root, Scratch;
        ~Back() {
            host::emulated::CreateMissingRegistry(false);
            host::emulated::SetHostRoot(Root);
            std::error_code ec;
            fs::remove_all(Scratch, ec);
        }
    } back{root, scratch};
    std::error_code ec;
    fs::create_directory(scratch, ec);
    if (ec) throw ToolError("could not create " + scratch.string() + ": " + ec.message());
    host::emulated::SetHostRoot(scratch);
    host::emulated::CreateMissingRegistry(true);
    WriteInstallerRegistry(users);
    KeyValues all;
    Collect("", &all);
    return all;
}

}  // namespace

bool RegistryHoldsInstallerValues() {
    OpenKey station;
    host::LONG status = station.Open(StationConfiguration::StationKeyPath(kStationNumber));
    if (status == host::kErrorFileNotFound) return false;
    if (status != host::kErrorSuccess) return true;
    // The drivers write their own values into the station key; the station's
    // name comes only from the installer.
    host::DWORD size = 0;
    return host::QueryRegValue(station.Get(), "Station Name", nullptr, nullptr, &size) != host::kErrorFileNotFound;
}

void AddMissingInstallerValues(const std::vector<std::string>& users) {
    const KeyValues wanted = InstallerKeyValues(users);
    host::RegistryTransaction transaction;
    host::LONG status = transaction.Status();
    for (const auto& [path, values] : wanted) {
        if (status != host::kErrorSuccess) break;
        OpenKey key;
        status = key.Create(path);
        for (const StoredValue& value : values) {
            if (status != host::kErrorSuccess) break;
            host::DWORD size = 0;
            if (host::QueryRegValue(key.Get(), value.Name.c_str(), nullptr, nullptr, &size) != host::kErrorFileNotFound)
                continue;
            status = host::SetRegValue(key.Get(), value.Name.c_str(), value.Type, value.Data.data(),
                                         static_cast<host::DWORD>(value.Data.size()));
        }
    }
    if (status == host::kErrorSuccess) status = transaction.Commit();
    if (status != host::kErrorSuccess)
        throw ToolError("could not complete the registry (" + RegistryStatusText(status) + ")");
    host::FlushRegKey(host::kLocalMachine);
}

}  // namespace hosttool
