// "reg export": a key tree as REGEDIT4 text, depth first, subkeys in the
// registry's alphabetical order, values in stored order.
#include <ostream>
#include <stdexcept>

#include "host/emulated/hosttool/Commands.h"
#include "host/emulated/hosttool/RegText.h"
#include "host/emulated/hosttool/RegistryWalk.h"
#include "host/emulated/hosttool/ToolError.h"

namespace hosttool {
namespace {

std::string ShownName(const std::string& path) {
    return path.empty() ? "HKEY_LOCAL_MACHINE" : "HKEY_LOCAL_MACHINE\\" + path;
}

void Fail(const std::string& what, const std::string& path, host::LONG status) {
    throw ToolError("could not read " + what + " of " + ShownName(path) + " (error " + std::to_string(status) + ")");
}

void ExportKey(const std::string& path, std::string& text) {
    OpenKey key;
    host::LONG status = key.Open(path);
    if (status != host::ERROR_SUCCESS) Fail("the key", path, status);
    std::vector<StoredValue> values = Values(key.Get(), &status);
    if (status != host::ERROR_SUCCESS) Fail("the values", path, status);
    std::vector<std::string> children = SubkeyNames(key.Get(), &status);
    if (status != host::ERROR_SUCCESS) Fail("the subkeys", path, status);

    // HKEY_LOCAL_MACHINE itself gets a section only when it holds values.
    if (!path.empty() || !values.empty()) {
        try {
            text += FormatSection(path) + "\n";
            for (const StoredValue& value : values) text += FormatValue(value.Name, value.Type, value.Data) + "\n";
        } catch (const std::invalid_argument& e) {
            throw ToolError("cannot write " + ShownName(path) + " as REGEDIT4 text: its " + e.what());
        }
        text += "\n";
    }
    for (const std::string& child : children) ExportKey(path.empty() ? child : path + "\\" + child, text);
}

}  // namespace

void ExportRegistry(const std::string& keyName, std::ostream& out) {
    RequireSetUpRoot();
    std::string path;
    try {
        path = ParseKeyName(keyName);
    } catch (const std::invalid_argument& e) {
        throw ToolError(e.what(), kExitUsage);
    }
    std::string stored;
    host::LONG status = StoredKeyPath(path, &stored);
    CheckRegistryProblem();
    if (status == host::ERROR_FILE_NOT_FOUND) throw ToolError("no key " + ShownName(path));
    if (status != host::ERROR_SUCCESS) Fail("the key", path, status);

    // The whole text first, so a failure part-way prints nothing half-done.
    std::string text = "REGEDIT4\n\n";
    ExportKey(stored, text);
    CheckRegistryProblem();
    out << text;
}

}  // namespace hosttool
