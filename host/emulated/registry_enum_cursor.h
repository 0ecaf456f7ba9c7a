// Where the last enumeration step on a key stood, so that the next index
// continues from there with one indexed look-up instead of counting from the
// start; subkey names are read a run at a time. A cursor holds only while
// nothing was written since it was made.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/emulated/registry_key_id.h"
#include "host/types.h"

namespace host::emulated {

struct EnumCursor {
    std::uint64_t View = 0;  // the store's view when the step was taken
    DWORD Index = 0;
    std::vector<std::string> Names;   // subkeys: the run from Index on, as stored
    std::vector<std::string> Folded;  // and as compared
    std::int64_t Row = 0;             // values: the row at Index

    bool Holds(DWORD index) const { return index >= Index && index - Index < Names.size(); }
};

// One cursor per key and kind; a handful of keys are walked at a time.
class EnumCursors {
public:
    const EnumCursor* Find(KeyId key, std::uint64_t view) const {
        auto found = m_cursors.find(key);
        return found != m_cursors.end() && found->second.View == view ? &found->second : nullptr;
    }
    void Store(KeyId key, EnumCursor cursor) {
        if (m_cursors.size() >= kMaxCursors && !m_cursors.count(key)) m_cursors.clear();
        m_cursors[key] = std::move(cursor);
    }
    void Clear() { m_cursors.clear(); }

private:
    static constexpr std::size_t kMaxCursors = 256;
    std::unordered_map<KeyId, EnumCursor> m_cursors;
};

}  // namespace host::emulated
