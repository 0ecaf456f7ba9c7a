#include "users/DirectoryTree.h"

#include <vector>

#include "host/files.h"
#include "host/types.h"

namespace users {
namespace {

// One folder of the walk: open, with its search and the entry it handles next.
struct Level {
    std::string Name;  // in the folder above
    host::HANDLE Folder = host::kInvalidHandle;
    host::HANDLE Search = host::kInvalidHandle;
    host::FindData Found{};
};

// Removes the entry itself when it is a link, the (emptied) folder otherwise.
bool RemoveEntry(host::HANDLE folder, const std::string& name) {
    const host::DWORD attributes = host::GetAttributesAt(folder, name.c_str());
    if (attributes != host::kInvalidAttributes && (attributes & host::kAttributeReparsePoint) &&
        !(attributes & host::kAttributeDirectory))
        return host::RemoveFileAt(folder, name.c_str()) != 0;
    return host::RemoveFolderAt(folder, name.c_str()) != 0;
}

// Walks the tree below top's entry name from each folder's own handle, so no
// path is named again and a link put in a folder's place is never entered.
// Depth is bounded by nothing but the handles the host gives.
class TreeWalk {
public:
    explicit TreeWalk(host::HANDLE top) : m_top(top) {}
    ~TreeWalk() {
        while (!m_levels.empty()) Leave();
    }

    bool Remove(const std::string& name) {
        Enter(m_top, name);
        while (!m_levels.empty()) {
            if (m_levels.back().Search == host::kInvalidHandle) {
                // Every entry is gone: the folder itself goes.
                const std::string done = m_levels.back().Name;
                Leave();
                if (!RemoveEntry(Current(), done)) return false;
                if (m_levels.empty()) return true;
                Advance(m_levels.back());
            } else if (!Step()) {
                return false;
            }
        }
        return true;
    }

private:
    host::HANDLE Current() const { return m_levels.empty() ? m_top : m_levels.back().Folder; }

    void Enter(host::HANDLE in, const std::string& name) {
        Level level;
        level.Name = name;
        level.Folder = host::OpenDirectoryAt(in, name.c_str());
        if (level.Folder != host::kInvalidHandle)
            level.Search = host::FindFirstAt(level.Folder, "*.*", &level.Found);
        m_levels.push_back(std::move(level));
    }

    void Leave() {
        Level& level = m_levels.back();
        if (level.Search != host::kInvalidHandle) host::FindClose(level.Search);
        if (level.Folder != host::kInvalidHandle) host::CloseDirectory(level.Folder);
        m_levels.pop_back();
    }

    static void Advance(Level& level) {
        if (host::FindNext(level.Search, &level.Found)) return;
        host::FindClose(level.Search);
        level.Search = host::kInvalidHandle;
    }

    // Handles the current folder's next entry; false when it cannot be removed.
    bool Step() {
        Level& level = m_levels.back();
        const std::string name = level.Found.cFileName;
        const host::DWORD attributes = level.Found.dwFileAttributes;
        // ".." is the parent: its marks are not this removal's to change.
        if (name != ".." && (attributes & host::kAttributeReadOnly))
            host::SetAttributesAt(level.Folder, name.c_str(), host::kAttributeNormal);
        bool removed = true;
        if (name == "." || name == "..") {
        } else if (attributes & host::kAttributeReparsePoint) {
            removed = (attributes & host::kAttributeDirectory) ? host::RemoveFolderAt(level.Folder, name.c_str())
                                                                   : host::RemoveFileAt(level.Folder, name.c_str());
        } else if (attributes & host::kAttributeDirectory) {
            Enter(level.Folder, name);  // its entries next; this folder goes on after it
            return true;
        } else {
            removed = host::RemoveFileAt(level.Folder, name.c_str());
        }
        if (removed) Advance(level);
        return removed;
    }

    host::HANDLE m_top;
    std::vector<Level> m_levels;
};

}  // namespace

bool DeleteDirectoryTree(const std::string& directory) {
    // The folder is removed from the folder that holds it; only that one is
    // opened by its path.
    const std::size_t end = directory.find_last_not_of("\\/");
    const std::size_t cut = end == std::string::npos ? end : directory.find_last_of("\\/", end);
    if (cut == std::string::npos) return false;
    std::string parent = directory.substr(0, cut);
    if (!parent.empty() && parent.back() == ':') parent += '\\';
    const std::string name = directory.substr(cut + 1, end - cut);
    if (name == "." || name == "..") return false;

    const host::HANDLE top = host::OpenDirectory(parent.c_str());
    if (top == host::kInvalidHandle) return false;
    bool removed;
    {
        // A folder that is itself a link goes as a link; what it leads to stays.
        const host::DWORD attributes = host::GetAttributesAt(top, name.c_str());
        if (attributes != host::kInvalidAttributes && (attributes & host::kAttributeReparsePoint))
            removed = host::RemoveFolderAt(top, name.c_str()) != 0;
        else
            removed = TreeWalk(top).Remove(name);
    }
    host::CloseDirectory(top);
    return removed;
}

}  // namespace users
