#include "host/emulated/registry_change_counter.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host::emulated {

namespace {
constexpr std::size_t kFileSize = 4096;
}

RegistryChangeCounter::~RegistryChangeCounter() {
    if (m_counter) munmap(m_counter, kFileSize);
}

void RegistryChangeCounter::Open(const std::filesystem::path& file) {
    int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) return;
    struct stat info {};
    void* mapped = MAP_FAILED;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
        (static_cast<std::size_t>(info.st_size) >= kFileSize || ftruncate(fd, kFileSize) == 0))
        mapped = mmap(nullptr, kFileSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);  // the mapping stays; no lock is held on this file
    if (mapped != MAP_FAILED) m_counter = static_cast<std::uint64_t*>(mapped);
}

std::uint64_t RegistryChangeCounter::Current() const {
    return m_counter ? __atomic_load_n(m_counter, __ATOMIC_ACQUIRE) : 1;
}

void RegistryChangeCounter::BeginWrite() {
    // A writer that died half-way left the counter odd; the next one ends that.
    if (m_counter) __atomic_fetch_or(m_counter, std::uint64_t{1}, __ATOMIC_SEQ_CST);
}

void RegistryChangeCounter::EndWrite() {
    if (m_counter) __atomic_fetch_add(m_counter, std::uint64_t{1}, __ATOMIC_SEQ_CST);
}

}  // namespace host::emulated
