// A counter shared by every process that writes the registry of one host root,
// kept in a small memory-mapped file next to the database (registry.db-gen).
// Each write makes it odd while the write is in progress and even again
// afterwards, so a reader that sees the same even number as before knows that
// nothing was written in between and can answer from its own cache.
#pragma once

#include <cstdint>
#include <filesystem>

namespace host::emulated {

class RegistryChangeCounter {
public:
    RegistryChangeCounter() = default;
    ~RegistryChangeCounter();
    RegistryChangeCounter(const RegistryChangeCounter&) = delete;
    RegistryChangeCounter& operator=(const RegistryChangeCounter&) = delete;

    // Without the file (it could not be made) every read goes to the database.
    void Open(const std::filesystem::path& file);

    // The current value; odd while a write is in progress (or one died half-way).
    std::uint64_t Current() const;
    bool Usable() const { return m_counter != nullptr; }

    // Called while holding the database's write lock, so writers never interleave.
    void BeginWrite();
    void EndWrite();

private:
    std::uint64_t* m_counter = nullptr;
};

}  // namespace host::emulated
