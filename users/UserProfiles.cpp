#include "users/UserProfiles.h"

#include <algorithm>
#include <utility>

#include "host/registry.h"
#include "host/text.h"

namespace users {

std::vector<std::string> FillUserProfileList() {
    std::vector<std::pair<std::string, std::string>> found;  // folded, as stored
    host::HKEY list = nullptr;
    if (host::OpenRegKey(host::kLocalMachine, kProfileListKey, 0, host::kKeyRead, &list) != host::kErrorSuccess)
        return {};
    // One forward walk on the one open key: each step continues where the last ended.
    // Room for the longest key name the registry holds, so no name ends the walk early.
    char name[host::kMaxKeyNameBytes + 1] = {};
    for (host::DWORD index = 0;; ++index) {
        host::DWORD size = sizeof name;
        if (host::EnumRegKey(list, index, name, &size) != host::kErrorSuccess) break;
        std::string stored(name, size);
        found.emplace_back(host::FoldCase(stored), std::move(stored));
    }
    host::CloseRegKey(list);
    // The registry's order already is this one; each name is folded once, not per comparison.
    auto byFolded = [](const auto& a, const auto& b) { return a.first < b.first; };
    if (!std::is_sorted(found.begin(), found.end(), byFolded)) std::stable_sort(found.begin(), found.end(), byFolded);
    std::vector<std::string> names;
    names.reserve(found.size());
    for (auto& entry : found) names.push_back(std::move(entry.second));
    return names;
}

}  // namespace users
