// Registry helpers of the contract suite: set and read values with a buffer
// that is large enough, and walk subkeys, through the host calls alone.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/registry.h"

namespace contract {

inline std::vector<host::BYTE> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

inline host::LONG Set(host::HKEY key, const char* name, host::DWORD type, const std::vector<host::BYTE>& data) {
    return host::SetRegValue(key, name, type, data.data(), static_cast<host::DWORD>(data.size()));
}

// A value's status, type and bytes.
struct Stored {
    host::LONG Status = -1;
    host::DWORD Type = host::kRegNone;
    std::vector<host::BYTE> Data;
    bool operator==(const Stored&) const = default;
};
inline void PrintTo(const Stored& s, std::ostream* os) {
    *os << "status " << s.Status << ", type " << s.Type << ", " << ::testing::PrintToString(s.Data);
}
inline Stored Value(host::DWORD type, const std::string& data) { return {host::kErrorSuccess, type, Bytes(data)}; }

inline Stored Get(host::HKEY key, const char* name) {
    Stored read;
    std::vector<host::BYTE> buffer(4096);
    host::DWORD size = static_cast<host::DWORD>(buffer.size());
    read.Status = host::QueryRegValue(key, name, &read.Type, buffer.data(), &size);
    if (read.Status == host::kErrorSuccess) read.Data.assign(buffer.begin(), buffer.begin() + size);
    return read;
}

// The same by the key's path below HKEY_LOCAL_MACHINE, through a handle of its own.
inline Stored Query(const std::string& path, const char* name) {
    host::HKEY key = nullptr;
    host::LONG status = host::OpenRegKey(host::kLocalMachine, path.c_str(), 0, host::kKeyRead, &key);
    if (status != host::kErrorSuccess) return {status, 0, {}};
    Stored read = Get(key, name);
    host::CloseRegKey(key);
    return read;
}

inline host::LONG MakeKey(host::HKEY parent, const std::string& path) {
    host::HKEY key = nullptr;
    const host::LONG status = host::CreateRegKey(parent, path.c_str(), &key);
    if (status == host::kErrorSuccess) host::CloseRegKey(key);
    return status;
}

inline host::LONG OpenStatus(host::HKEY parent, const std::string& path) {
    host::HKEY key = nullptr;
    const host::LONG status = host::OpenRegKey(parent, path.c_str(), 0, host::kKeyRead, &key);
    if (status == host::kErrorSuccess) host::CloseRegKey(key);
    return status;
}

// Every subkey name of key, in enumeration order.
inline std::vector<std::string> SubKeys(host::HKEY key) {
    std::vector<std::string> names;
    char name[1024];
    for (host::DWORD i = 0;; ++i) {
        host::DWORD size = sizeof name;
        if (host::EnumRegKey(key, i, name, &size) != host::kErrorSuccess) break;
        names.emplace_back(name, size);
    }
    return names;
}

}  // namespace contract
