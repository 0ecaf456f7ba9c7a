#include "users/UserProfiles.h"

#include <algorithm>

#include "host/registry.h"
#include "host/text.h"

namespace users {

std::vector<std::string> FillUserProfileList() {
    std::vector<std::string> names;
    host::HKEY list = nullptr;
    if (host::RegOpenKeyEx(host::HKEY_LOCAL_MACHINE, kProfileListKey, 0, host::KEY_READ, &list) != host::ERROR_SUCCESS)
        return names;
    // One forward walk on the one open key: each step continues where the last ended.
    char name[host::MAX_PATH] = {};
    for (host::DWORD index = 0;; ++index) {
        host::DWORD size = host::MAX_PATH - 1;
        if (host::RegEnumKeyEx(list, index, name, &size) != host::ERROR_SUCCESS) break;
        names.emplace_back(name, size);
    }
    host::RegCloseKey(list);
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return host::MbsICmp(a, b) < 0; });
    return names;
}

}  // namespace users
