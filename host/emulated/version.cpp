// File version resources on the emulated host: the driver files carry a real
// VS_VERSIONINFO block somewhere in their bytes.
#include "host/version.h"

#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <unordered_set>

#include "host/emulated/drive.h"
#include "host/common/utf16.h"
#include "host/emulated/version_block.h"

namespace fs = std::filesystem;

namespace host {

namespace {

using emulated::VersionValue;

constexpr std::uintmax_t kMaxFileSize = 16u << 20;  // driver files are small; do not read a huge one

// A bare file name is looked for where Windows finds drivers and libraries:
// the system directory, then the Windows directory.
bool ResolveFile(const char* fileName, fs::path* file) {
    if (!fileName || !*fileName) return false;
    std::string name = fileName;
    if (name.find_first_of("\\/:") != std::string::npos) return emulated::MapWindowsPath(name, file);
    for (const char* directory : {"C:\\WINDOWS\\SYSTEM\\", "C:\\WINDOWS\\"}) {
        std::error_code ec;
        if (emulated::MapWindowsPath(directory + name, file) && fs::is_regular_file(*file, ec)) return true;
    }
    return false;
}

// The version block of the file, or empty.
std::string ReadVersionBlock(const char* fileName) {
    fs::path file;
    std::error_code ec;
    if (!ResolveFile(fileName, &file) || !fs::is_regular_file(file, ec) || fs::file_size(file, ec) > kMaxFileSize)
        return {};
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t offset = 0, length = 0;
    if (!in.good() && !in.eof()) return {};
    if (!emulated::LocateVersionBlock(bytes, &offset, &length)) return {};
    return bytes.substr(offset, length);
}

// Strings handed out by VerQueryValue, converted to the host's UTF-8 code page.
// They are kept for the life of the process (one copy of each distinct text),
// so the pointer stays good whatever the caller does with its block.
const std::string& Interned(std::string text) {
    static std::mutex mutex;
    static std::unordered_set<std::string> texts;
    std::lock_guard lock(mutex);
    return *texts.insert(std::move(text)).first;
}

}  // namespace

DWORD GetVersionInfoSize(const char* fileName, DWORD* handle) {
    if (handle) *handle = 0;
    return static_cast<DWORD>(ReadVersionBlock(fileName).size());
}

BOOL GetVersionInfo(const char* fileName, DWORD handle, DWORD length, void* data) {
    if (!data) return 0;
    std::string block = ReadVersionBlock(fileName);
    // A cut copy would claim more bytes (its wLength) than the caller holds.
    if (block.empty() || length < block.size()) return 0;
    std::memcpy(data, block.data(), block.size());
    return 1;
}

BOOL QueryVersionValue(const void* block, const char* subBlock, void** buffer, UINT* length) {
    if (!block || !subBlock || !buffer || !length) return 0;
    // The block's own length bounds the walk: it is what GetFileVersionInfo copied.
    const auto* bytes = static_cast<const BYTE*>(block);
    const std::size_t size = static_cast<std::size_t>(bytes[0] | bytes[1] << 8);
    VersionValue value;
    if (!emulated::FindVersionValue(bytes, size, subBlock, &value)) return 0;
    std::string_view path = subBlock;
    while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
    if (path.empty()) {
        // The root's value must be a whole VS_FIXEDFILEINFO before a caller reads it as one.
        emulated::FixedFileInfo fixed;
        if (value.Size < sizeof fixed) return 0;
        std::memcpy(&fixed, value.Data, sizeof fixed);
        if (fixed.Signature != emulated::kFixedFileInfoSignature) return 0;
    }
    if (value.Text) {
        const std::string& text =
            Interned(common::Utf16LeToUtf8({reinterpret_cast<const char*>(value.Data), value.Size}));
        *buffer = const_cast<char*>(text.c_str());
        *length = static_cast<UINT>(text.size() + 1);  // bytes, which are the code page's characters
        return 1;
    }
    if (value.Size == 0) return 0;
    *buffer = const_cast<BYTE*>(value.Data);
    *length = static_cast<UINT>(value.Size);
    return 1;
}

}  // namespace host
