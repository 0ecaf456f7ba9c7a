// Registry helpers for every test program: set up keys and values as another
// component would, read back exactly what was stored (as the host contract
// suite does), and run the host tool's import and export; plus the
// child-process helpers the registry tests use.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "contract/registry_helpers.h"
#include "host/registry.h"
#include "support/TempHostRoot.h"

namespace regtest {

// Set, read and walk as the host contract suite does.
using contract::Bytes;
using contract::Get;
using contract::Query;
using contract::Set;
using contract::Stored;
using contract::SubKeys;
using contract::Value;

// The text's bytes, with the terminator unless told otherwise.
inline std::vector<host::BYTE> Sz(const std::string& text, bool terminated = true) {
    std::vector<host::BYTE> bytes = Bytes(text);
    if (terminated) bytes.push_back(0);
    return bytes;
}

// A key path count levels deep: name\\name\\...
inline std::string Levels(int count, const std::string& name = "d") {
    std::string path = name;
    for (int i = 1; i < count; ++i) path += "\\" + name;
    return path;
}

// Keys by their path under HKEY_LOCAL_MACHINE, created as needed.
inline void MakeKey(const std::string& path) {
    host::HKEY key = nullptr;
    ASSERT_EQ(host::CreateRegKey(host::kLocalMachine, path.c_str(), &key), host::kErrorSuccess);
    host::CloseRegKey(key);
}

inline void Store(const std::string& path, const char* name, host::DWORD type, const std::vector<host::BYTE>& data) {
    host::HKEY key = nullptr;
    ASSERT_EQ(host::CreateRegKey(host::kLocalMachine, path.c_str(), &key), host::kErrorSuccess);
    ASSERT_EQ(Set(key, name, type, data), host::kErrorSuccess);
    host::CloseRegKey(key);
}

inline void StoreText(const std::string& path, const char* name, const std::string& text, bool terminated = true) {
    Store(path, name, host::kRegSz, Sz(text, terminated));
}

inline Stored Binary(const std::vector<host::BYTE>& data) { return {host::kErrorSuccess, host::kRegBinary, data}; }

// A four-byte value as a number; ~0u when it is missing or has another size.
inline host::DWORD Number(const Stored& read) {
    host::DWORD value = ~0u;
    if (read.Status == host::kErrorSuccess && read.Data.size() == sizeof value) std::memcpy(&value, read.Data.data(), 4);
    return value;
}
inline host::LONG SetNumber(host::HKEY key, const char* name, host::DWORD value) {
    return host::SetRegValue(key, name, host::kRegBinary, reinterpret_cast<const host::BYTE*>(&value), sizeof value);
}

inline bool KeyExists(const std::string& path) {
    host::HKEY key = nullptr;
    if (host::OpenRegKey(host::kLocalMachine, path.c_str(), 0, host::kKeyRead, &key)) return false;
    host::CloseRegKey(key);
    return true;
}

// The same by path (HKEY_LOCAL_MACHINE itself for ""); empty when the key is missing.
inline std::vector<std::string> SubKeys(const std::string& path) {
    if (path.empty()) return SubKeys(host::kLocalMachine);
    host::HKEY key = nullptr;
    if (host::OpenRegKey(host::kLocalMachine, path.c_str(), 0, host::kKeyRead, &key)) return {};
    std::vector<std::string> names = SubKeys(key);
    host::CloseRegKey(key);
    return names;
}

// "v7-host reg import" of text on stdin; "reg export" of the whole registry or of one key.
inline ToolResult Import(const std::string& text) { return RunHostTool({"reg", "import", "-"}, text); }
inline std::string Export(const std::string& key = {}) {
    ToolResult r = key.empty() ? RunHostTool({"reg", "export"}) : RunHostTool({"reg", "export", key});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    return r.Out;
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

}  // namespace regtest
