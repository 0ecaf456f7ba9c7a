// Walking a key's subkeys by index, as the profile list walks ProfileList: the
// whole walk should cost in proportion to the number of subkeys (each step O(1)).
#include <benchmark/benchmark.h>

#include <cstdio>

#include "host/registry_scope.h"
#include "host/registry.h"
#include "support/TempHostRoot.h"

namespace {

void BM_EnumerateSubkeys(benchmark::State& state) {
    TempHostRoot root;
    const auto count = static_cast<host::DWORD>(state.range(0));
    host::HKEY key = nullptr;
    bool ready = host::CreateRegKey(host::kLocalMachine, "Software\\Profiles", &key) == host::kErrorSuccess;
    {
        host::RegistryTransaction batch;  // one transaction: set-up in a moment
        for (host::DWORD i = 0; ready && i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "User%06u", (i * 7919u) % count);  // not in order of creation
            host::HKEY child = nullptr;
            ready = host::CreateRegKey(key, name, &child) == host::kErrorSuccess && host::CloseRegKey(child) == 0;
        }
        ready = ready && batch.Commit() == host::kErrorSuccess;
    }
    if (!ready) {
        state.SkipWithError("cannot set up the registry");
        return;
    }
    for (auto _ : state) {
        char name[256];
        host::DWORD index = 0;
        for (;; ++index) {
            host::DWORD size = sizeof name;
            if (host::EnumRegKey(key, index, name, &size) != host::kErrorSuccess) break;
            benchmark::DoNotOptimize(name);
        }
        if (index != count) {
            state.SkipWithError("the walk missed subkeys");
            break;
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * count);
    host::CloseRegKey(key);
}

}  // namespace

BENCHMARK(BM_EnumerateSubkeys)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
