// Settings files from arbitrary bytes: whatever system.ini holds, deleting a
// key makes it read as absent, setting it makes it read back as set, both
// succeed on a writable file, and neither changes what another key reads.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/emulated/root.h"
#include "host/inifile.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kIni = "C:\\WINDOWS\\system.ini";
fs::path g_root;

void Check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "ini_file_fuzz: %s\n", what);
    std::abort();
}

std::string Get(const char* section, const char* key) {
    char buffer[300] = {};
    host::GetIniString(section, key, "<none>", buffer, sizeof buffer, kIni);
    return buffer;
}

// What the keys that are never written read, to compare after each write.
std::string Others() { return Get("boot", "shell") + '\n' + Get("Password Lists", "Bo") + '\n' + Get("x", "y"); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // In memory where there is such a folder: every write is flushed to disk.
    std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    folder += "/ini_file_fuzz.XXXXXX";
    Check(mkdtemp(folder.data()) != nullptr, "no temporary folder");
    g_root = folder;
    fs::create_directories(g_root / "drive_c" / "WINDOWS");
    host::emulated::SetHostRoot(g_root);
    std::atexit([] {
        std::error_code ec;
        fs::remove_all(g_root, ec);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::ofstream(g_root / "drive_c" / "WINDOWS" / "system.ini", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    const std::string others = Others();

    Check(host::WriteIniString("Password Lists", "Anna", nullptr, kIni), "deleting a key failed");
    Check(Get("password lists", "ANNA") == "<none>", "a deleted key still reads");
    Check(Others() == others, "deleting a key changed another");

    Check(host::WriteIniString("Password Lists", "Anna", "C:\\WINDOWS\\ANNA.PWL", kIni),
          "setting a key failed");
    Check(Get("Password Lists", "anna") == "C:\\WINDOWS\\ANNA.PWL", "a set key reads otherwise");
    Check(Others() == others, "setting a key changed another");
    return 0;
}
