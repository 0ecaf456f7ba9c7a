// Registry and file helpers shared by the host and host-tool tests.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "host/registry.h"
#include "support/TempHostRoot.h"

namespace registry_test {

inline std::vector<host::BYTE> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

inline host::LONG Set(host::HKEY key, const char* name, host::DWORD type, const std::vector<host::BYTE>& data) {
    return host::RegSetValueEx(key, name, type, data.data(), static_cast<host::DWORD>(data.size()));
}

inline void WriteValue(const std::string& path, const char* name, host::DWORD type, const std::string& data) {
    host::HKEY key = nullptr;
    ASSERT_EQ(host::RegCreateKey(host::HKEY_LOCAL_MACHINE, path.c_str(), &key), host::ERROR_SUCCESS);
    ASSERT_EQ(Set(key, name, type, Bytes(data)), host::ERROR_SUCCESS);
    host::RegCloseKey(key);
}

// A value's status, type and bytes, read with a buffer that is large enough.
struct Read {
    host::LONG Status = -1;
    host::DWORD Type = 0;
    std::vector<host::BYTE> Data;
    bool operator==(const Read&) const = default;
};
inline void PrintTo(const Read& r, std::ostream* os) {
    *os << "status " << r.Status << ", type " << r.Type << ", " << ::testing::PrintToString(r.Data);
}
inline Read Value(host::DWORD type, const std::string& data) { return {host::ERROR_SUCCESS, type, Bytes(data)}; }

inline Read Get(host::HKEY key, const char* name) {
    Read read;
    std::vector<host::BYTE> buffer(4096);
    host::DWORD size = static_cast<host::DWORD>(buffer.size());
    read.Status = host::RegQueryValueEx(key, name, &read.Type, buffer.data(), &size);
    if (read.Status == host::ERROR_SUCCESS) read.Data.assign(buffer.begin(), buffer.begin() + size);
    return read;
}

// The same by the key's path under HKEY_LOCAL_MACHINE, through a handle of its own.
inline Read ReadValue(const std::string& path, const char* name) {
    host::HKEY key = nullptr;
    host::LONG status = host::RegOpenKeyEx(host::HKEY_LOCAL_MACHINE, path.c_str(), 0, host::KEY_READ, &key);
    if (status != host::ERROR_SUCCESS) return {status, 0, {}};
    Read read = Get(key, name);
    host::RegCloseKey(key);
    return read;
}

inline bool KeyExists(const std::string& path) {
    host::HKEY key = nullptr;
    if (host::RegOpenKeyEx(host::HKEY_LOCAL_MACHINE, path.c_str(), 0, host::KEY_READ, &key)) return false;
    host::RegCloseKey(key);
    return true;
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

inline std::string FileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Runs body in a child process and returns its pid; the exit code is body's result.
inline pid_t Child(const std::function<int()>& body) {
    pid_t pid = fork();
    if (pid == 0) _exit(body());
    return pid;
}

// A child's exit code, or 128 + the signal that ended it.
inline int ExitCode(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

inline int InChild(const std::function<int()>& body) { return ExitCode(Child(body)); }

// "v7-host reg import" of text on stdin; "reg export" of the whole registry or of one key.
inline ToolResult Import(const std::string& text) { return RunHostTool({"reg", "import", "-"}, text); }
inline std::string Export(const std::string& key = {}) {
    ToolResult r = key.empty() ? RunHostTool({"reg", "export"}) : RunHostTool({"reg", "export", key});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    return r.Out;
}

}  // namespace registry_test
