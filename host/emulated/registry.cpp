// The registry calls of the host seam, on the emulated host's SQLite store.
#include "host/registry.h"

#include <string_view>
#include <vector>

#include "host/emulated/registry_connection.h"
#include "host/common/utf8.h"

namespace host {

using emulated::KeyId;
using emulated::RegistrySession;

namespace {

// A key name is one to 255 printable characters, counted as Windows counts
// them: UTF-16 units, so a character beyond U+FFFF takes two and a byte that
// is no character one. A control character would cut the name where it is passed on as
// text, or break its line in an export.
bool IsKeyName(std::string_view name) {
    if (name.empty()) return false;
    for (std::string_view rest = name; !rest.empty();) {
        const common::Utf8Char c = common::DecodeUtf8(rest);
        if (c.Valid && (c.Code < 0x20 || c.Code == 0x7F)) return false;
        rest.remove_prefix(c.Length);
    }
    return common::Utf16Length(name) <= kMaxKeyNameChars;
}

// "A\B\C" -> {"A", "B", "C"}; a trailing backslash is ignored. A leading one
// names no key below the parent: ERROR_BAD_PATHNAME, as on Windows. An empty
// name between two backslashes or a name IsKeyName refuses is
// ERROR_INVALID_PARAMETER.
LONG SplitSubKey(const char* subKey, std::vector<std::string_view>* names) {
    std::string_view path = subKey ? subKey : "";
    if (!path.empty() && path.front() == '\\') return kErrorBadPathname;
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    while (!path.empty()) {
        std::size_t end = path.find('\\');
        std::string_view name = path.substr(0, end);
        if (!IsKeyName(name)) return kErrorInvalidParameter;
        names->push_back(name);
        path.remove_prefix(end == std::string_view::npos ? path.size() : end + 1);
    }
    return kErrorSuccess;
}

// Resolves the handle, then runs the operation on its key.
template <typename Operation>
LONG OnKey(HKEY handle, Operation operation) {
    RegistrySession session;
    if (LONG status = session.Status()) return status;
    KeyId key = 0;
    if (!session.Handles().Resolve(handle, &key)) return kErrorInvalidHandle;
    return operation(session, key);
}

LONG OpenOrCreate(HKEY parent, const char* subKey, HKEY* result, bool create) {
    if (!result) return kErrorInvalidParameter;
    std::vector<std::string_view> names;
    if (LONG status = SplitSubKey(subKey, &names)) return status;
    return OnKey(parent, [&](RegistrySession& session, KeyId key) {
        KeyId found = 0;
        LONG status = create ? session.Store().CreateKey(key, names, &found) : session.Store().FindKey(key, names, &found);
        if (status == kErrorSuccess) *result = session.Handles().Add(found);
        return status;
    });
}

}  // namespace

LONG OpenRegKey(HKEY parent, const char* subKey, DWORD options, DWORD access, HKEY* result) {
    return OpenOrCreate(parent, subKey, result, false);
}

LONG CreateRegKey(HKEY parent, const char* subKey, HKEY* result) { return OpenOrCreate(parent, subKey, result, true); }

LONG CloseRegKey(HKEY key) {
    RegistrySession session;
    if (LONG status = session.Status()) return status;
    return session.Handles().Remove(key) ? kErrorSuccess : kErrorInvalidHandle;
}

LONG QueryRegValue(HKEY key, const char* valueName, DWORD* type, BYTE* data, DWORD* size) {
    return OnKey(key, [&](RegistrySession& session, KeyId id) {
        return session.Store().QueryValue(id, valueName ? valueName : "", type, data, size);
    });
}

LONG SetRegValue(HKEY key, const char* valueName, DWORD type, const BYTE* data, DWORD size) {
    return OnKey(key, [&](RegistrySession& session, KeyId id) {
        return session.Store().SetValue(id, valueName ? valueName : "", type, data, size);
    });
}

LONG DeleteRegValue(HKEY key, const char* valueName) {
    return OnKey(key, [&](RegistrySession& session, KeyId id) {
        return session.Store().DeleteValue(id, valueName ? valueName : "");
    });
}

LONG DeleteRegKey(HKEY parent, const char* subKey) {
    std::vector<std::string_view> names;
    if (LONG status = SplitSubKey(subKey, &names)) return status;
    return OnKey(parent, [&](RegistrySession& session, KeyId id) { return session.Store().DeleteKey(id, names); });
}

LONG EnumRegKey(HKEY key, DWORD index, char* name, DWORD* nameSize) {
    return OnKey(key, [&](RegistrySession& session, KeyId id) {
        return session.Store().EnumKey(id, index, name, nameSize);
    });
}

LONG EnumRegValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data, DWORD* dataSize) {
    return OnKey(key, [&](RegistrySession& session, KeyId id) {
        return session.Store().EnumValue(id, index, name, nameSize, type, data, dataSize);
    });
}

LONG FlushRegKey(HKEY key) {
    return OnKey(key, [&](RegistrySession& session, KeyId) { return session.Store().Flush(); });
}

}  // namespace host
