#include "host/emulated/registry_change_counter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

namespace host::emulated {

namespace {

constexpr std::uint64_t kUntrusted = 1;

// A fresh or restored counter starts from the clock, so it does not come back
// to a number some reader still holds from the file it replaces.
std::uint64_t FreshValue() {
    auto now = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()) << 1;
}

}  // namespace

RegistryChangeCounter::~RegistryChangeCounter() {
    if (m_fd >= 0) close(m_fd);
}

void RegistryChangeCounter::Open(const std::filesystem::path& file, bool readOnly) {
    m_file = file;
    m_readOnly = readOnly;
    Reopen();
    m_distrust = false;
}

void RegistryChangeCounter::Reopen() {
    if (m_fd >= 0) close(m_fd);
    // A process that only reads follows the writers' counter without write permission.
    m_fd = m_readOnly ? open(m_file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW)
                      : open(m_file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    struct stat info {};
    if (m_fd >= 0 && (fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        close(m_fd);
        m_fd = -1;
    }
    std::uint64_t value = 0;
    if (m_fd >= 0 && !m_readOnly && !Read(&value)) Write(FreshValue());
    m_distrust = true;
}

bool RegistryChangeCounter::Read(std::uint64_t* value) {
    return pread(m_fd, value, sizeof *value, 0) == static_cast<ssize_t>(sizeof *value);
}

void RegistryChangeCounter::Write(std::uint64_t value) {
    if (pwrite(m_fd, &value, sizeof value, 0) != static_cast<ssize_t>(sizeof value)) m_distrust = true;
}

bool RegistryChangeCounter::Check() {
    if (m_file.empty()) return false;
    // A deleted or replaced file has no name left; the next writer makes a new
    // one. One fstat a look: a coarse clock would let a reader miss a
    // replacement for a whole tick.
    struct stat info {};
    if (m_fd < 0 || fstat(m_fd, &info) != 0 || info.st_nlink == 0) Reopen();
    return m_fd >= 0;
}

std::uint64_t RegistryChangeCounter::Current() {
    std::uint64_t value = 0;
    if (!Check() || !Read(&value)) {
        m_distrust = false;
        return kUntrusted;
    }
    if (m_distrust) {
        m_distrust = false;
        return kUntrusted;
    }
    return value;
}

void RegistryChangeCounter::BeginWrite() {
    if (!Check()) return;
    // A shortened file is restored; a writer that died half-way left the value odd.
    m_written = Read(&m_written) ? m_written | 1 : FreshValue() | 1;
    Write(m_written);
}

void RegistryChangeCounter::EndWrite() {
    // The write lock is still held, so nobody moved the counter since BeginWrite.
    if (m_fd >= 0) Write(m_written + 1);
}

}  // namespace host::emulated
