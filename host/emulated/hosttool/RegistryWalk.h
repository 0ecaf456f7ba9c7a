// Whole-key reads and removals on the host registry, for export and import.
#pragma once

#include <string>
#include <vector>

#include "host/registry.h"

namespace hosttool {

// An open key below HKEY_LOCAL_MACHINE, closed when it goes; the path "" is
// HKEY_LOCAL_MACHINE itself (never closed).
class OpenKey {
public:
    OpenKey() = default;
    ~OpenKey();
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    OpenKey(OpenKey&& other) noexcept : m_key(other.m_key), m_owned(other.m_owned) { other.m_owned = false; }
    OpenKey& operator=(OpenKey&& other) noexcept {
        if (this != &other) {
            Close();
            m_key = other.m_key;
            m_owned = other.m_owned;
            other.m_owned = false;
        }
        return *this;
    }

    host::LONG Open(const std::string& path);    // existing keys only
    host::LONG Create(const std::string& path);  // makes missing levels
    // One level down from an open key: a walk opens each key from its parent,
    // so a deep key costs no more than a shallow one.
    host::LONG OpenChild(host::HKEY parent, const std::string& name);
    host::HKEY Get() const { return m_key; }

private:
    void Close();
    host::HKEY m_key = nullptr;
    bool m_owned = false;
};

struct StoredValue {
    std::string Name;
    host::DWORD Type;
    std::vector<host::BYTE> Data;
};

// Subkey names in the registry's order (alphabetical without regard to case).
// A failure other than the end of the list gives its status in *status.
std::vector<std::string> SubkeyNames(host::HKEY key, host::LONG* status);
// Values in stored order, with their exact bytes.
std::vector<StoredValue> Values(host::HKEY key, host::LONG* status);

// Removes the key with everything below it; ERROR_SUCCESS also when it was not there.
host::LONG DeleteKeyTree(const std::string& path);

// A registry status in words, for a message ("the registry is busy ...").
std::string RegistryStatusText(host::LONG status);

// The stored spelling of an existing key path (each level as the registry names
// it); ERROR_FILE_NOT_FOUND when a level is missing.
host::LONG StoredKeyPath(const std::string& path, std::string* stored);

}  // namespace hosttool
