// Whole-key reads and removals on the host registry.
#include "host/emulated/hosttool/RegistryWalk.h"

#include "host/emulated/registry_store.h"
#include "host/text.h"

namespace hosttool {

using host::DWORD;
using host::LONG;

OpenKey::~OpenKey() { Close(); }

void OpenKey::Close() {
    if (m_owned) host::CloseRegKey(m_key);
    m_key = nullptr;
    m_owned = false;
}

LONG OpenKey::Open(const std::string& path) {
    Close();
    if (path.empty()) {
        m_key = host::kLocalMachine;
        return host::kErrorSuccess;
    }
    LONG status = host::OpenRegKey(host::kLocalMachine, path.c_str(), 0, host::kKeyAllAccess, &m_key);
    m_owned = status == host::kErrorSuccess;
    if (!m_owned) m_key = nullptr;
    return status;
}

LONG OpenKey::OpenChild(host::HKEY parent, const std::string& name) {
    Close();
    LONG status = host::OpenRegKey(parent, name.c_str(), 0, host::kKeyAllAccess, &m_key);
    m_owned = status == host::kErrorSuccess;
    if (!m_owned) m_key = nullptr;
    return status;
}

LONG OpenKey::Create(const std::string& path) {
    Close();
    if (path.empty()) {
        m_key = host::kLocalMachine;
        return host::kErrorSuccess;
    }
    LONG status = host::CreateRegKey(host::kLocalMachine, path.c_str(), &m_key);
    m_owned = status == host::kErrorSuccess;
    if (!m_owned) m_key = nullptr;
    return status;
}

std::vector<std::string> SubkeyNames(host::HKEY key, LONG* status) {
    std::vector<std::string> names;
    std::string buffer(256, '\0');
    *status = host::kErrorSuccess;
    for (DWORD index = 0;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        LONG result = host::EnumRegKey(key, index, buffer.data(), &size);
        if (result == host::kErrorMoreData && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 4);
            continue;
        }
        if (result == host::kErrorNoMoreItems) break;
        if (result != host::kErrorSuccess) {
            *status = result;
            break;
        }
        names.emplace_back(buffer.data(), size);
        ++index;
    }
    return names;
}

std::vector<StoredValue> Values(host::HKEY key, LONG* status) {
    std::vector<StoredValue> values;
    std::string name(256, '\0');
    *status = host::kErrorSuccess;
    for (DWORD index = 0;;) {
        // First the name and the size (no data buffer), then the data.
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD type = 0, dataSize = 0;
        LONG result = host::EnumRegValue(key, index, name.data(), &nameSize, &type, nullptr, &dataSize);
        if (result == host::kErrorMoreData && name.size() < (1u << 20)) {
            name.resize(name.size() * 4);
            continue;
        }
        if (result == host::kErrorNoMoreItems) break;
        if (result != host::kErrorSuccess) {
            *status = result;
            break;
        }
        StoredValue value{std::string(name.data(), nameSize), type, std::vector<host::BYTE>(dataSize)};
        nameSize = static_cast<DWORD>(name.size());
        result = host::EnumRegValue(key, index, name.data(), &nameSize, &type, value.Data.data(), &dataSize);
        if (result == host::kErrorMoreData) continue;  // changed under us: ask again
        if (result != host::kErrorSuccess) {
            *status = result;
            break;
        }
        value.Type = type;
        value.Data.resize(dataSize);
        values.push_back(std::move(value));
        ++index;
    }
    return values;
}

namespace {

// Below the registry's depth limit, so the recursion stays shallow.
LONG DeleteChildTree(host::HKEY parent, const std::string& name) {
    {
        OpenKey key;
        LONG status = key.OpenChild(parent, name);
        if (status != host::kErrorSuccess) return status;
        std::vector<std::string> children = SubkeyNames(key.Get(), &status);
        if (status != host::kErrorSuccess) return status;
        for (const std::string& child : children)
            if ((status = DeleteChildTree(key.Get(), child)) != host::kErrorSuccess) return status;
    }
    return host::DeleteRegKey(parent, name.c_str());
}

}  // namespace

LONG DeleteKeyTree(const std::string& path) {
    const std::size_t cut = path.rfind('\\');
    OpenKey parent;
    LONG status = parent.Open(cut == std::string::npos ? std::string() : path.substr(0, cut));
    if (status == host::kErrorSuccess) status = DeleteChildTree(parent.Get(), path.substr(cut + 1));
    return status == host::kErrorFileNotFound ? host::kErrorSuccess : status;
}

LONG StoredKeyPath(const std::string& path, std::string* stored) {
    stored->clear();
    OpenKey key;
    key.Open({});
    for (std::size_t start = 0; start <= path.size() && !path.empty();) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        std::string level = path.substr(start, end - start);
        LONG status = host::kErrorSuccess;
        std::string found;
        for (const std::string& name : SubkeyNames(key.Get(), &status))
            if (host::MbsICmp(name, level) == 0) found = name;
        if (status != host::kErrorSuccess) return status;
        if (found.empty()) return host::kErrorFileNotFound;
        OpenKey child;
        if ((status = child.OpenChild(key.Get(), found)) != host::kErrorSuccess) return status;
        key = std::move(child);
        *stored += (stored->empty() ? "" : "\\") + found;
        start = end + 1;
    }
    return host::kErrorSuccess;
}

std::string RegistryStatusText(LONG status) {
    std::string text;
    switch (status) {
    case host::emulated::ERROR_REGISTRY_BUSY:
        text = "the registry is busy: another program has held it for over " +
               std::to_string(host::emulated::kBusyTimeoutMs / 1000) + " seconds; try again once it is done";
        break;
    case host::emulated::kErrorRegistryIoFailed:
        text = "the registry could not be written (the disk may be full or failing)";
        break;
    case host::kErrorAccessDenied:
        text = "access denied (the registry may be read-only)";
        break;
    case host::kErrorInvalidParameter:
        text = "the registry refused the name (too long, a control character, or too deep)";
        break;
    case host::kErrorKeyDeleted:
        text = "the key was deleted meanwhile";
        break;
    case host::kErrorFileNotFound:
        text = "not found";
        break;
    case host::kErrorBadDb:
        text = "the registry is unavailable";
        break;
    default:
        text = "failed";
    }
    return text + " (error " + std::to_string(status) + ")";
}

}  // namespace hosttool
