// Runs a fuzz target without libFuzzer: every file in the folders (or files)
// named on the command line goes through LLVMFuzzerTestOneInput once. A crash or
// a sanitizer report fails the run, as it would under the fuzzer.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

static void RunOne(const fs::path& file, unsigned& count) {
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    ++count;
}

int main(int argc, char** argv) {
    unsigned count = 0;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg = argv[i];
        if (fs::is_directory(arg)) {
            for (const auto& entry : fs::recursive_directory_iterator(arg))
                if (entry.is_regular_file()) RunOne(entry.path(), count);
        } else {
            RunOne(arg, count);
        }
    }
    std::printf("%u inputs\n", count);
    return count == 0 ? 1 : 0;
}
