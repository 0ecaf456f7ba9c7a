// Runs a fuzz target without libFuzzer: every file in the folders (or files)
// named on the command line goes through LLVMFuzzerTestOneInput once, then
// -mutations=N changed copies of each (bit flips, byte changes, inserts,
// deletes, repeats, splices with another seed) from a fixed random seed, so
// every build fuzzes a little and a failure repeats on every run. A crash or a
// sanitizer report fails the run, as it would under the fuzzer; the input that
// caused it is saved as replay-crash-<target> in the working directory.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// Optional in a target, as under libFuzzer.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" __attribute__((weak)) void __sanitizer_set_death_callback(void (*callback)());

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr std::size_t kMaxLength = 8192;  // as the libFuzzer runs' -max_len
constexpr std::uint32_t kRandomSeed = 1;

// What runs now, for the crash handler (which may only use what is set up here).
const Bytes* g_current = nullptr;
char g_crashPath[4096] = "replay-crash";
char g_crashNote[8192] = "";

void SaveCurrentInput() {
    static bool saved = false;
    if (saved || !g_current) return;
    saved = true;
    const int fd = ::open(g_crashPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        if (::write(fd, g_current->data(), g_current->size()) < 0) {}
        ::close(fd);
    }
    if (::write(2, g_crashNote, std::strlen(g_crashNote)) < 0) {}
}

void OnFatalSignal(int signal) {
    SaveCurrentInput();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void Run(const Bytes& input, const std::string& what) {
    g_current = &input;
    std::snprintf(g_crashNote, sizeof g_crashNote, "\nreplay: failed on %s (input saved as %s)\n", what.c_str(),
                  g_crashPath);
    LLVMFuzzerTestOneInput(input.data(), input.size());
    g_current = nullptr;
}

Bytes ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// One to four random changes of seed, sometimes joined with another seed.
Bytes Mutate(const Bytes& seed, const std::vector<Bytes>& seeds, std::mt19937& random) {
    auto below = [&](std::size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    static constexpr std::uint8_t kInteresting[] = {0, 1, 0x7f, 0x80, 0xff, '\n', '"', '\\', '[', '='};
    Bytes data = seed;
    const std::size_t changes = 1 + below(4);
    for (std::size_t i = 0; i < changes; ++i) {
        const std::size_t at = below(data.size() + 1);
        switch (below(6)) {
        case 0:  // flip one bit
            if (!data.empty()) data[below(data.size())] ^= std::uint8_t(1u << below(8));
            break;
        case 1:  // one byte, often a value parsers treat specially
            if (!data.empty())
                data[below(data.size())] = below(2) ? kInteresting[below(std::size(kInteresting))] : std::uint8_t(below(256));
            break;
        case 2: {  // insert random bytes
            const std::size_t n = 1 + below(16);
            for (std::size_t k = 0; k < n; ++k) data.insert(data.begin() + at, std::uint8_t(below(256)));
            break;
        }
        case 3:  // delete a range
            data.erase(data.begin() + at, data.begin() + std::min(data.size(), at + 1 + below(32)));
            break;
        case 4: {  // repeat a range of the input at another place
            if (data.empty()) break;
            const std::size_t from = below(data.size());
            const Bytes piece(data.begin() + from, data.begin() + std::min(data.size(), from + 1 + below(64)));
            data.insert(data.begin() + below(data.size() + 1), piece.begin(), piece.end());
            break;
        }
        default: {  // splice: this input up to a point, another seed from a point
            const Bytes& other = seeds[below(seeds.size())];
            const std::size_t from = below(other.size() + 1);
            data.resize(at);
            data.insert(data.end(), other.begin() + from, other.end());
            break;
        }
        }
        if (data.size() > kMaxLength) data.resize(kMaxLength);
    }
    return data;
}

}  // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    unsigned long mutations = 0;
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("-mutations=", 0) == 0) {
            mutations = std::strtoul(arg.c_str() + 11, nullptr, 10);
        } else if (fs::is_directory(arg)) {
            for (const auto& entry : fs::recursive_directory_iterator(arg))
                if (entry.is_regular_file()) files.push_back(entry.path());
        } else {
            files.push_back(arg);
        }
    }
    // Sorted, so the mutations are the same on every machine.
    std::sort(files.begin(), files.end());
    std::snprintf(g_crashPath, sizeof g_crashPath, "replay-crash-%s", fs::path(argv[0]).filename().c_str());
    for (int signal : {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL}) std::signal(signal, OnFatalSignal);
    if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(SaveCurrentInput);

    std::vector<Bytes> seeds;
    for (const fs::path& file : files) {
        seeds.push_back(ReadFile(file));
        Run(seeds.back(), file.string());
    }
    std::mt19937 random(kRandomSeed);
    for (std::size_t s = 0; s < seeds.size(); ++s)
        for (unsigned long m = 0; m < mutations; ++m)
            Run(Mutate(seeds[s], seeds, random), "mutation " + std::to_string(m + 1) + " of " + files[s].string());
    std::printf("%zu seeds, %lu mutations each\n", seeds.size(), mutations);
    return seeds.empty() ? 1 : 0;
}
