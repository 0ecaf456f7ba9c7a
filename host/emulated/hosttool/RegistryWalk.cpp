// Whole-key reads and removals on the host registry.
#include "host/emulated/hosttool/RegistryWalk.h"

#include "host/text.h"

namespace hosttool {

using host::DWORD;
using host::LONG;

OpenKey::~OpenKey() { Close(); }

void OpenKey::Close() {
    if (m_owned) host::RegCloseKey(m_key);
    m_key = nullptr;
    m_owned = false;
}

LONG OpenKey::Open(const std::string& path) {
    Close();
    if (path.empty()) {
        m_key = host::HKEY_LOCAL_MACHINE;
        return host::ERROR_SUCCESS;
    }
    LONG status = host::RegOpenKeyEx(host::HKEY_LOCAL_MACHINE, path.c_str(), 0, host::KEY_ALL_ACCESS, &m_key);
    m_owned = status == host::ERROR_SUCCESS;
    if (!m_owned) m_key = nullptr;
    return status;
}

LONG OpenKey::Create(const std::string& path) {
    Close();
    if (path.empty()) {
        m_key = host::HKEY_LOCAL_MACHINE;
        return host::ERROR_SUCCESS;
    }
    LONG status = host::RegCreateKey(host::HKEY_LOCAL_MACHINE, path.c_str(), &m_key);
    m_owned = status == host::ERROR_SUCCESS;
    if (!m_owned) m_key = nullptr;
    return status;
}

std::vector<std::string> SubkeyNames(host::HKEY key, LONG* status) {
    std::vector<std::string> names;
    std::string buffer(256, '\0');
    *status = host::ERROR_SUCCESS;
    for (DWORD index = 0;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        LONG result = host::RegEnumKeyEx(key, index, buffer.data(), &size);
        if (result == host::ERROR_MORE_DATA && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 4);
            continue;
        }
        if (result == host::ERROR_NO_MORE_ITEMS) break;
        if (result != host::ERROR_SUCCESS) {
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
    *status = host::ERROR_SUCCESS;
    for (DWORD index = 0;;) {
        // First the name and the size (no data buffer), then the data.
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD type = 0, dataSize = 0;
        LONG result = host::RegEnumValue(key, index, name.data(), &nameSize, &type, nullptr, &dataSize);
        if (result == host::ERROR_MORE_DATA && name.size() < (1u << 20)) {
            name.resize(name.size() * 4);
            continue;
        }
        if (result == host::ERROR_NO_MORE_ITEMS) break;
        if (result != host::ERROR_SUCCESS) {
            *status = result;
            break;
        }
        StoredValue value{std::string(name.data(), nameSize), type, std::vector<host::BYTE>(dataSize)};
        nameSize = static_cast<DWORD>(name.size());
        result = host::RegEnumValue(key, index, name.data(), &nameSize, &type, value.Data.data(), &dataSize);
        if (result == host::ERROR_MORE_DATA) continue;  // changed under us: ask again
        if (result != host::ERROR_SUCCESS) {
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

LONG DeleteKeyTree(const std::string& path) {
    {
        OpenKey key;
        LONG status = key.Open(path);
        if (status == host::ERROR_FILE_NOT_FOUND) return host::ERROR_SUCCESS;
        if (status != host::ERROR_SUCCESS) return status;
        std::vector<std::string> children = SubkeyNames(key.Get(), &status);
        if (status != host::ERROR_SUCCESS) return status;
        for (const std::string& child : children) {
            status = DeleteKeyTree(path + "\\" + child);
            if (status != host::ERROR_SUCCESS) return status;
        }
    }
    return host::RegDeleteKey(host::HKEY_LOCAL_MACHINE, path.c_str());
}

LONG StoredKeyPath(const std::string& path, std::string* stored) {
    stored->clear();
    for (std::size_t start = 0; start <= path.size() && !path.empty();) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        std::string level = path.substr(start, end - start);
        OpenKey key;
        LONG status = key.Open(*stored);
        if (status != host::ERROR_SUCCESS) return status;
        std::string found;
        for (const std::string& name : SubkeyNames(key.Get(), &status))
            if (host::MbsICmp(name, level) == 0) found = name;
        if (status != host::ERROR_SUCCESS) return status;
        if (found.empty()) return host::ERROR_FILE_NOT_FOUND;
        *stored += (stored->empty() ? "" : "\\") + found;
        start = end + 1;
    }
    return host::ERROR_SUCCESS;
}

}  // namespace hosttool
