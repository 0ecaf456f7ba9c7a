// Windows paths on drive C: of the emulated host. Names are matched without
// regard to case as the drive is walked; the result never leaves the drive.
#include "host/emulated/drive.h"

#include <string_view>
#include <vector>

#include "host/emulated/root.h"
#include "host/text.h"

namespace fs = std::filesystem;

namespace host::emulated {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The entry of directory whose name equals name without regard to case: the
// exact spelling when it exists, else the first match in name order (so two
// names that differ only in case resolve the same way every time).
bool FindEntry(const fs::path& directory, const std::string& name, fs::path* found) {
    std::error_code ec;
    if (fs::symlink_status(directory / name, ec).type() != fs::file_type::not_found && !ec) {
        *found = directory / name;
        return true;
    }
    const std::string folded = FoldCase(name);
    std::string best;
    for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
        std::string candidate = it->path().filename().string();
        if (FoldCase(candidate) == folded && (best.empty() || candidate < best)) best = candidate;
    }
    if (best.empty()) return false;
    *found = directory / best;
    return true;
}

bool IsWithin(const fs::path& path, const fs::path& root) {
    auto p = path.begin();
    for (auto r = root.begin(); r != root.end(); ++r, ++p)
        if (p == path.end() || *p != *r) return false;
    return true;
}

}  // namespace

bool MapWindowsPath(const std::string& windowsPath, fs::path* result) {
    std::string_view path = windowsPath;
    // Only absolute paths on drive C: ("C:\..." or "c:/...").
    if (path.size() < 3 || (path[0] != 'C' && path[0] != 'c') || path[1] != ':' || !IsSeparator(path[2]))
        return false;
    path.remove_prefix(3);

    std::vector<std::string> names;
    while (!path.empty()) {
        std::size_t end = 0;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        std::string name(path.substr(0, end));
        path.remove_prefix(end < path.size() ? end + 1 : end);
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            if (names.empty()) return false;  // above the drive root
            names.pop_back();
            continue;
        }
        // A colon would name a stream or another drive; the drive holds no such names.
        if (name.find(':') != std::string::npos) return false;
        names.push_back(std::move(name));
    }

    const fs::path drive = DriveCPath();
    fs::path mapped = drive;
    bool exists = true;  // names below one that does not exist are kept as given
    for (const std::string& name : names) {
        fs::path next;
        if (exists && FindEntry(mapped, name, &next)) {
            mapped = std::move(next);
        } else {
            exists = false;
            mapped /= name;
        }
    }

    // Symbolic links may point anywhere on the drive, but not off it.
    std::error_code ec;
    fs::path real = fs::weakly_canonical(mapped, ec);
    fs::path realDrive = fs::weakly_canonical(drive, ec);
    if (ec || !IsWithin(real, realDrive)) return false;
    *result = mapped;
    return true;
}

}  // namespace host::emulated
