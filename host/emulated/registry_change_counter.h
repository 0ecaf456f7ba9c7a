// A counter shared by every process that writes the registry of one host root,
// kept in a small file next to the database (registry.db-gen). Each write makes
// it odd while the write is in progress and even again afterwards, so a reader
// that sees the same even number as before knows that nothing was written in
// between and can answer from its own cache.
//
// The file is read and written with pread/pwrite, never mapped: anyone may
// truncate or delete it, and a mapping of a shortened file faults. A shortened
// counter is noticed on the next call, a deleted or replaced one (its file has
// no name left) within a millisecond.
// Then one call answers "in progress" (odd), so every cache built on the old
// file is dropped, and the file under the name is used from then on.
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
    // readOnly: this process never writes (the database is read-only to it).
    void Open(const std::filesystem::path& file, bool readOnly);

    // The current value; odd while a write is in progress (or one died half-way),
    // and whenever the file cannot be trusted.
    std::uint64_t Current();

    // Called while holding the database's write lock, so writers never interleave.
    void BeginWrite();
    void EndWrite();

private:
    // Reopens the file when it was deleted or replaced; false when it is unusable.
    bool Check();
    bool Read(std::uint64_t* value);
    void Write(std::uint64_t value);
    void Reopen();

    std::filesystem::path m_file;
    int m_fd = -1;
    bool m_readOnly = false;
    std::uint64_t m_written = 0;    // the odd value of the write in progress
    bool m_distrust = false;  // answer odd once: the file changed under us
};

}  // namespace host::emulated
