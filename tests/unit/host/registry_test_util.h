// Small helpers shared by the registry tests.
#pragma once

#include <string>
#include <vector>

#include "host/registry.h"

namespace registry_test {

inline std::vector<host::BYTE> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

inline host::LONG Set(host::HKEY key, const char* name, host::DWORD type, const std::vector<host::BYTE>& data) {
    return host::RegSetValueEx(key, name, type, data.data(), static_cast<host::DWORD>(data.size()));
}

// The value's bytes and type, read with a buffer that is large enough.
struct Read {
    host::LONG Status = -1;
    host::DWORD Type = 0;
    std::vector<host::BYTE> Data;
};

inline Read Get(host::HKEY key, const char* name) {
    Read read;
    std::vector<host::BYTE> buffer(4096);
    host::DWORD size = static_cast<host::DWORD>(buffer.size());
    read.Status = host::RegQueryValueEx(key, name, &read.Type, buffer.data(), &size);
    if (read.Status == host::ERROR_SUCCESS) read.Data.assign(buffer.begin(), buffer.begin() + size);
    return read;
}

// Every subkey name of key, in enumeration order.
inline std::vector<std::string> SubKeys(host::HKEY key) {
    std::vector<std::string> names;
    char name[256];
    for (host::DWORD i = 0;; ++i) {
        host::DWORD size = sizeof name;
        if (host::RegEnumKeyEx(key, i, name, &size) != host::ERROR_SUCCESS) break;
        names.emplace_back(name, size);
    }
    return names;
}

}  // namespace registry_test
