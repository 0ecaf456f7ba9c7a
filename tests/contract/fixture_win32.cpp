// The contract suite's backend part for Windows (run here under Wine): the
// scratch key lies under HKLM\Software\V7Contract and the scratch folder under
// C:\, each named at random so tests may run side by side; both are removed
// afterwards. Files are reached through the standard library with paths made
// from UTF-8, never through the calls under test.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "contract_fixture.h"
#include "registry_helpers.h"

namespace fs = std::filesystem;

namespace contract {
namespace {

fs::path Native(const std::string& windowsPath) { return fs::path(std::u8string(windowsPath.begin(), windowsPath.end())); }

bool UnderWine() { return std::getenv("WINECONFIGDIR") != nullptr; }

// Deletes key below parent with every key under it.
void DeleteTree(host::HKEY parent, const std::string& path) {
    host::HKEY key = nullptr;
    if (host::OpenRegKey(parent, path.c_str(), 0, host::kKeyAllAccess, &key) != host::kErrorSuccess) return;
    for (const std::string& child : SubKeys(key)) DeleteTree(key, child);
    host::CloseRegKey(key);
    host::DeleteRegKey(parent, path.c_str());
}

}  // namespace

struct Scratch::Backend {};

Scratch::Scratch() {
    char name[17];
    std::snprintf(name, sizeof name, "%08X%08X", std::random_device()(), std::random_device()());
    m_key = std::string("Software\\V7Contract\\") + name;
    m_folder = std::string("C:\\V7Contract-") + name;
    fs::create_directory(Native(m_folder));
}

Scratch::~Scratch() {
    DeleteTree(host::kLocalMachine, m_key);
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(Native(m_folder), ec))
        fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ec);  // clears read-only
    fs::remove_all(Native(m_folder), ec);
}

void WriteFileBytes(const std::string& windowsPath, std::string_view bytes) {
    std::ofstream(Native(windowsPath), std::ios::binary) << bytes;
}

std::string ReadFileBytes(const std::string& windowsPath) {
    std::ifstream in(Native(windowsPath), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void MakeFolder(const std::string& windowsPath) { fs::create_directory(Native(windowsPath)); }
void RenameEntry(const std::string& from, const std::string& to) { fs::rename(Native(from), Native(to)); }

// Windows reads a version block only from a PE file's resources: the cross
// build makes one from versioned.rc and names it here.
bool PlaceVersionedFile(const std::string& windowsPath) {
#ifdef V7_CONTRACT_VERSIONED_FILE
    std::error_code ec;
    return fs::copy_file(fs::path(V7_CONTRACT_VERSIONED_FILE), Native(windowsPath), ec);
#else
    (void)windowsPath;
    return false;
#endif
}

std::string ExpectedUserName() {
    const char* name = std::getenv("USERNAME");
    return name ? name : "";
}

const char* Skip(Difference difference) {
    switch (difference) {
        case Difference::ValueOrder:
            return UnderWine() ? "Wine keeps a key's values sorted by name; Windows keeps the order first stored"
                               : nullptr;
        case Difference::IniLayout:
            return UnderWine() ? "Wine writes a settings file back from its own reading of it: blank lines and the "
                                 "blanks around '=' go, a key keeps its first spelling"
                               : nullptr;
        case Difference::VersionFile:
#ifdef V7_CONTRACT_VERSIONED_FILE
            return nullptr;
#else
            return "built without the PE file made from versioned.rc (V7_CONTRACT_VERSIONED_FILE)";
#endif
    }
    return nullptr;
}

}  // namespace contract
