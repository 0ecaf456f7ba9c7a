// The configuration store is loaded before every command and saved after every
// change: a load should take at most 5 µs (10 µs of CPU) and a save (with the
// display-mode mirror and its flush) at most 10 ms, medians on this machine.
#include <benchmark/benchmark.h>

#include <string>

#include "host/registry.h"
#include "station/StationConfiguration.h"
#include "support/TempHostRoot.h"

namespace {

// A root set up as after installation: every key present, every field stored.
void FillRegistry() {
    for (const std::string& path : {std::string(kProductKey), StationConfiguration::BoardKeyPath(1),
                                    StationConfiguration::StationKeyPath(1)}) {
        host::HKEY key = nullptr;
        host::CreateRegKey(host::kLocalMachine, path.c_str(), &key);
        host::CloseRegKey(key);
    }
    StationConfiguration c;
    c.BoardDetected = 1;
    c.BoardName = "V7 controller";
    c.StationDetected = 1;
    c.OnLine = 1;
    c.IoHandle = 0x300;
    c.BoardNumber = 1;
    c.CurrentUser = "[ None ]";
    c.DefaultUser = "User1";
    c.StationName = "Station1";
    c.StationDisplay = 4;
    c.StationMode = "800 x 600, 256 colors";
    c.RefreshRate = "60";
    c.SaveConfiguration();
}

void BM_LoadConfiguration(benchmark::State& state) {
    TempHostRoot root;
    FillRegistry();
    StationConfiguration c;
    for (auto _ : state) {
        c.LoadConfiguration();
        benchmark::DoNotOptimize(c.StationLaunched);
    }
}
BENCHMARK(BM_LoadConfiguration);

void BM_SaveConfiguration(benchmark::State& state) {
    TempHostRoot root;
    FillRegistry();
    StationConfiguration c;
    c.LoadConfiguration();
    for (auto _ : state) {
        c.StationLaunched ^= 1;  // a real change each time, as a power command makes
        c.SaveConfiguration();
    }
}
BENCHMARK(BM_SaveConfiguration)->Unit(benchmark::kMicrosecond);

}  // namespace
