// One pass of the station test against the running station drivers: load the
// configuration, refresh from the station list, five driver look-ups, the text.
#include <benchmark/benchmark.h>

#include "host/device.h"
#include "host/registry.h"
#include "station/DriverChannel.h"
#include "station/StationConfiguration.h"
#include "station/StationTest.h"
#include "DriverChannelSession.h"
#include "support/TempHostRoot.h"

namespace {

void BM_StationTestPass(benchmark::State& state) {
    TempHostRoot root;
    host::HKEY key;
    if (host::CreateRegKey(host::kLocalMachine, StationConfiguration::StationKeyPath(kStationNumber).c_str(),
                           &key) != 0) {
        state.SkipWithError("cannot set up the registry");
        return;
    }
    const host::BYTE on = 1;  // the drivers turn the station on at start: a pass with no problem
    host::SetRegValue(key, "AutoLaunch", host::kRegBinary, &on, 1);
    host::CloseRegKey(key);
    host::FlushRegKey(host::kLocalMachine);
    DriverChannelSession drivers;
    if (!drivers.Ready()) {
        state.SkipWithError("the station drivers did not start");
        return;
    }

    StationConfiguration config;
    if (station::RunTestPass(config).ProblemFound) state.SkipWithError("the station is not healthy");
    for (auto _ : state) {
        station::TestResult result = station::RunTestPass(config);
        benchmark::DoNotOptimize(result);
    }
}

}  // namespace

BENCHMARK(BM_StationTestPass)->UseRealTime();
