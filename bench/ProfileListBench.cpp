// The profile list is read each time a Users dialog opens: 1000 profiles
// should list in at most 5 ms, and 4000 in no more than 4.5 times that (one
// forward walk on one open key, linear in the number of names).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <string>

#include "host/emulated/root.h"
#include "host/registry.h"
#include "users/UserProfiles.h"

namespace {

namespace fs = std::filesystem;

// One host root per size, filled once and kept for the whole run.
class ProfileHost {
public:
    explicit ProfileHost(int count) {
        std::string pattern = "/tmp/v7bench-XXXXXX";
        if (mkdtemp(pattern.data())) m_root = pattern;
        host::emulated::SetHostRoot(m_root);
        host::emulated::CreateMissingRegistry(true);
        for (int i = 0; i < count; ++i) {
            // Names out of order, so the walk and the sort both have work.
            const std::string key = std::string(users::kProfileListKey) + "\\User" + std::to_string((i * 7919) % count);
            host::HKEY handle = nullptr;
            if (host::CreateRegKey(host::kLocalMachine, key.c_str(), &handle) == host::kErrorSuccess)
                host::CloseRegKey(handle);
        }
        host::FlushRegKey(host::kLocalMachine);
    }
    ~ProfileHost() {
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }
    void Use() const { host::emulated::SetHostRoot(m_root); }

private:
    fs::path m_root;
};

const ProfileHost& HostWith(int count) {
    static std::map<int, std::unique_ptr<ProfileHost>> hosts;
    auto& host = hosts[count];
    if (!host) host = std::make_unique<ProfileHost>(count);
    return *host;
}

void BM_FillUserProfileList(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    HostWith(count).Use();
    for (auto _ : state) {
        auto names = users::FillUserProfileList();
        if (names.size() != static_cast<std::size_t>(count)) state.SkipWithError("profiles missing");
        benchmark::DoNotOptimize(names.data());
    }
    state.SetComplexityN(count);
}
BENCHMARK(BM_FillUserProfileList)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
