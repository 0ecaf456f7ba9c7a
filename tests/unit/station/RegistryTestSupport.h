// Small registry helpers for tests of the station and options code: set up keys and
// values as another component would, and read back exactly what was stored.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/registry.h"

namespace regtest {

struct StoredValue {
    host::LONG Status = -1;
    host::DWORD Type = host::REG_NONE;
    std::vector<host::BYTE> Bytes;
};

inline StoredValue Query(const std::string& keyPath, const char* name) {
    StoredValue value;
    host::HKEY key = nullptr;
    value.Status = host::RegOpenKeyEx(host::HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, host::KEY_READ, &key);
    if (value.Status != host::ERROR_SUCCESS) return value;
    value.Bytes.resize(4096);
    host::DWORD size = static_cast<host::DWORD>(value.Bytes.size());
    value.Status = host::RegQueryValueEx(key, name, &value.Type, value.Bytes.data(), &size);
    value.Bytes.resize(value.Status == host::ERROR_SUCCESS ? size : 0);
    host::RegCloseKey(key);
    return value;
}

inline void Store(const std::string& keyPath, const char* name, host::DWORD type,
                  const std::vector<host::BYTE>& bytes) {
    host::HKEY key = nullptr;
    ASSERT_EQ(host::RegCreateKey(host::HKEY_LOCAL_MACHINE, keyPath.c_str(), &key), host::ERROR_SUCCESS);
    ASSERT_EQ(host::RegSetValueEx(key, name, type, bytes.data(), static_cast<host::DWORD>(bytes.size())),
              host::ERROR_SUCCESS);
    host::RegCloseKey(key);
}

// The text's bytes, with the terminator unless told otherwise.
inline std::vector<host::BYTE> Sz(const std::string& text, bool terminated = true) {
    std::vector<host::BYTE> bytes(text.begin(), text.end());
    if (terminated) bytes.push_back(0);
    return bytes;
}

inline void StoreText(const std::string& keyPath, const char* name, const std::string& text,
                      bool terminated = true) {
    Store(keyPath, name, host::REG_SZ, Sz(text, terminated));
}

inline void MakeKey(const std::string& keyPath) {
    host::HKEY key = nullptr;
    ASSERT_EQ(host::RegCreateKey(host::HKEY_LOCAL_MACHINE, keyPath.c_str(), &key), host::ERROR_SUCCESS);
    host::RegCloseKey(key);
}

// The subkey names of a key (HKEY_LOCAL_MACHINE itself for an empty path) in
// enumeration order; empty when the key is missing.
inline std::vector<std::string> Subkeys(const std::string& keyPath) {
    std::vector<std::string> names;
    host::HKEY key = host::HKEY_LOCAL_MACHINE;
    if (!keyPath.empty() &&
        host::RegOpenKeyEx(host::HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, host::KEY_READ, &key) !=
            host::ERROR_SUCCESS)
        return names;
    for (host::DWORD i = 0;; ++i) {
        char name[260];
        host::DWORD size = sizeof name;
        if (host::RegEnumKeyEx(key, i, name, &size) != host::ERROR_SUCCESS) break;
        names.emplace_back(name, size);
    }
    if (key != host::HKEY_LOCAL_MACHINE) host::RegCloseKey(key);
    return names;
}

}  // namespace regtest
