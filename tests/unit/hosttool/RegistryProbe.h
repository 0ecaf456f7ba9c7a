// Reads registry values and files of the current host root for the host-tool tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/registry.h"

struct ProbedValue {
    host::DWORD Type;
    std::vector<host::BYTE> Data;
    bool operator==(const ProbedValue&) const = default;
};

inline bool KeyExists(const std::string& path) {
    host::HKEY key = nullptr;
    if (host::RegOpenKeyEx(host::HKEY_LOCAL_MACHINE, path.c_str(), 0, host::KEY_READ, &key) != host::ERROR_SUCCESS)
        return false;
    host::RegCloseKey(key);
    return true;
}

inline std::optional<ProbedValue> ReadValue(const std::string& path, const char* name) {
    host::HKEY key = nullptr;
    if (host::RegOpenKeyEx(host::HKEY_LOCAL_MACHINE, path.c_str(), 0, host::KEY_READ, &key) != host::ERROR_SUCCESS)
        return std::nullopt;
    ProbedValue value{0, std::vector<host::BYTE>(4096)};
    host::DWORD size = static_cast<host::DWORD>(value.Data.size());
    host::LONG status = host::RegQueryValueEx(key, name, &value.Type, value.Data.data(), &size);
    host::RegCloseKey(key);
    if (status != host::ERROR_SUCCESS) return std::nullopt;
    value.Data.resize(size);
    return value;
}

inline void WriteValue(const std::string& path, const char* name, host::DWORD type, const std::string& bytes) {
    host::HKEY key = nullptr;
    ASSERT_EQ(host::RegCreateKey(host::HKEY_LOCAL_MACHINE, path.c_str(), &key), host::ERROR_SUCCESS);
    ASSERT_EQ(host::RegSetValueEx(key, name, type, reinterpret_cast<const host::BYTE*>(bytes.data()),
                                  static_cast<host::DWORD>(bytes.size())),
              host::ERROR_SUCCESS);
    host::RegCloseKey(key);
}

inline ProbedValue Bytes(host::DWORD type, const std::string& bytes) {
    return {type, std::vector<host::BYTE>(bytes.begin(), bytes.end())};
}

inline std::string ReadWholeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
