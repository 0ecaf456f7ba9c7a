// Checks that a command has a host to work on.
#include <filesystem>

#include "host/emulated/hosttool/Commands.h"
#include "host/emulated/hosttool/ToolError.h"
#include "host/emulated/root.h"

namespace hosttool {

void RequireSetUpRoot() {
    namespace fs = std::filesystem;
    const fs::path& root = host::emulated::HostRoot();
    std::error_code ec;
    if (!fs::is_directory(root, ec))
        throw ToolError("no host root at " + root.string() + " (run \"v7-host init\" or set V7_HOST_ROOT)");
    if (!fs::exists(host::emulated::RegistryPath(), ec))
        throw ToolError("the host root " + root.string() + " is not set up (no registry.db; run \"v7-host init\")");
}

void CheckRegistryProblem() {
    std::string problem = host::emulated::RegistryProblem();
    if (!problem.empty()) throw ToolError(problem);
}

}  // namespace hosttool
