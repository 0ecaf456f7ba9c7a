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

[[noreturn]] void Fail(const std::string& what, const std::string& path, host::LONG status) {
    CheckRegistryProblem();  // a damaged database says more than a status code
    throw ToolError("could not read " + what + " of " + ShownName(path) + ": " + RegistryStatusText(status));
}

// A key being written: its open handle, its path and the subkeys still to visit.
struct Level {
    OpenKey Key;
    std::string Path;
    std::vector<std::string> Children;
    std::size_t Next = 0;
};

// Writes the key's section and lists its subkeys.
void WriteKey(Level& level, std::string& text) {
    host::LONG status = host::kErrorSuccess;
    std::vector<StoredValue> values = Values(level.Key.Get(), &status);
    if (status != host::kErrorSuccess) Fail("the values", level.Path, status);
    level.Children = SubkeyNames(level.Key.Get(), &status);
    if (status != host::kErrorSuccess) Fail("the subkeys", level.Path, status);

    // HKEY_LOCAL_MACHINE itself gets a section only when it holds values.
    if (level.Path.empty() && values.empty()) return;
    try {
        text += FormatSection(level.Path) + "\n";
        for (const StoredValue& value : values) text += FormatValue(value.Name, value.Type, value.Data) + "\n";
    } catch (const std::invalid_argument& e) {
        throw ToolError("cannot write " + ShownName(level.Path) + " as REGEDIT4 text: its " + e.what());
    }
    text += "\n";
}

// Depth first without recursion, each key opened from its parent's handle.
void ExportTree(const std::string& path, std::string& text) {
    std::vector<Level> stack(1);
    stack[0].Path = path;
    if (host::LONG status = stack[0].Key.Open(path)) Fail("the key", path, status);
    WriteKey(stack[0], text);
    while (!stack.empty()) {
        Level& top = stack.back();
        if (top.Next == top.Children.size()) {
            stack.pop_back();
            continue;
        }
        const std::string& name = top.Children[top.Next++];
        Level child;
        child.Path = top.Path.empty() ? name : top.Path + "\\" + name;
        if (host::LONG status = child.Key.OpenChild(top.Key.Get(), name)) Fail("the key", child.Path, status);
        WriteKey(child, text);
        stack.push_back(std::move(child));
    }
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
    if (status == host::kErrorFileNotFound) throw ToolError("no key " + ShownName(path));
    if (status != host::kErrorSuccess) Fail("the key", path, status);

    // The whole text first, so a failure part-way prints nothing half-done.
    std::string text = "REGEDIT4\n\n";
    ExportTree(stored, text);
    CheckRegistryProblem();
    out << text;
}

}  // namespace hosttool
