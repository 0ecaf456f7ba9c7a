// The contract suite's backend part for the emulated host: each test gets a
// fresh host root of its own, so the scratch key and folder start empty and
// go with the root.
#include <pwd.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "contract_fixture.h"
#include "host/emulated/drive.h"
#include "host/emulated/root.h"
#include "host/emulated/version_block.h"
#include "support/TempHostRoot.h"

namespace fs = std::filesystem;

namespace contract {
namespace {

fs::path Mapped(const std::string& windowsPath) {
    fs::path path;
    EXPECT_TRUE(host::emulated::MapWindowsPath(windowsPath, &path)) << windowsPath;
    return path;
}

}  // namespace

struct Scratch::Backend {
    TempHostRoot Root;
};

Scratch::Scratch() : m_backend(std::make_unique<Backend>()), m_key("Software\\Contract"), m_folder("C:\\Contract") {
    fs::create_directories(host::emulated::DriveCPath() / "Contract");
}

Scratch::~Scratch() = default;

void WriteFileBytes(const std::string& windowsPath, std::string_view bytes) {
    std::ofstream(Mapped(windowsPath), std::ios::binary) << bytes;
}

std::string ReadFileBytes(const std::string& windowsPath) { return FileBytes(Mapped(windowsPath)); }

void MakeFolder(const std::string& windowsPath) { fs::create_directory(Mapped(windowsPath)); }
void RenameEntry(const std::string& from, const std::string& to) { fs::rename(Mapped(from), Mapped(to)); }

// The emulated host reads a version block wherever it sits in the file.
bool PlaceVersionedFile(const std::string& windowsPath) {
    host::emulated::VersionBlockFields fields;
    fields.FileVersion = {2, 30, 0, 112};
    fields.ProductVersion = {2, 30, 0, 0};
    fields.Strings = {{"CompanyName", "Halvorn Ölund ™"}, {"FileVersion", "2.30.0.112"}, {"ProductVersion", "2.30"}};
    const std::vector<host::BYTE> block = host::emulated::BuildVersionBlock(fields);
    // An odd count of header bytes, so the block is not aligned in the file.
    WriteFileBytes(windowsPath, "MZ" + std::string(61, '\x90') + std::string(block.begin(), block.end()));
    return true;
}

std::string ExpectedUserName() {
    const passwd* entry = getpwuid(geteuid());
    return entry ? entry->pw_name : "";
}

const char* Skip(Difference) { return nullptr; }

}  // namespace contract
