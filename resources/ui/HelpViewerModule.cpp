#include "resources/ui/HelpViewerModule.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include <wx/module.h>
#include <wx/object.h>

namespace help {
namespace {

const HelpViewerApi* g_viewer = nullptr;
// wx modules of the libraries loaded with the viewer, in start-up order.
std::vector<wxModule*> g_lateModules;

// wx starts the modules of the libraries linked at start; a library loaded
// later registers its classes (at the head of the class list) but nothing
// starts its modules. wx html's fill the tag handler tables, without which
// every page shows as bare text. Started here once, ended at wx clean-up.
void StartLateModules(const wxClassInfo* firstBefore) {
    for (const wxClassInfo* info = wxClassInfo::GetFirst(); info && info != firstBefore; info = info->GetNext()) {
        if (info == wxCLASSINFO(wxModule) || !info->IsKindOf(wxCLASSINFO(wxModule)))
            continue;
        auto* module = wxDynamicCast(info->CreateObject(), wxModule);
        if (!module)
            continue;
        if (module->Init())
            g_lateModules.push_back(module);
        else
            delete module;
    }
}

std::string DlError(const std::string& fallback) {
    const char* text = dlerror();
    return text ? text : fallback;
}

}  // namespace

std::string ViewerModulePath(std::string& error) {
    // secure_getenv: a set-id run must not load code named by its caller.
    if (const char* path = secure_getenv("V7_HELP_MODULE"); path && *path) {
        if (std::filesystem::path(path).is_absolute())
            return path;
        error = std::string("V7_HELP_MODULE is not an absolute path: ") + path;
        return {};
    }
    std::error_code failed;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failed);
    if (failed) {
        error = "cannot find the running program (/proc/self/exe): " + failed.message();
        return {};
    }
    return (program.parent_path() / V7_HELP_MODULE_FROM_PROGRAM).lexically_normal().string();
}

const HelpViewerApi* LoadedViewer() {
    return g_viewer;
}

const HelpViewerApi* LoadViewer(std::string& error) {
    if (g_viewer)
        return g_viewer;
    const std::string path = ViewerModulePath(error);
    if (path.empty())
        return nullptr;
    const wxClassInfo* firstBefore = wxClassInfo::GetFirst();
    // Never closed: windows and handlers of the module live until the end.
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        error = DlError("cannot load " + path);
        return nullptr;
    }
    dlerror();
    const auto entry = reinterpret_cast<HelpViewerEntryPoint>(dlsym(module, kHelpViewerEntryPoint));
    if (!entry) {
        error = DlError(path + ": no " + kHelpViewerEntryPoint);
        return nullptr;
    }
    const HelpViewerApi* viewer = entry();
    if (!viewer || viewer->version != kHelpViewerApiVersion) {
        error = path + ": help viewer version " + (viewer ? std::to_string(viewer->version) : "none") +
                ", this program needs version " + std::to_string(kHelpViewerApiVersion);
        return nullptr;
    }
    StartLateModules(firstBefore);
    g_viewer = viewer;
    return g_viewer;
}

void EndViewerLibraries() {
    for (auto it = g_lateModules.rbegin(); it != g_lateModules.rend(); ++it) {
        (*it)->Exit();
        delete *it;
    }
    g_lateModules.clear();
}

}  // namespace help
