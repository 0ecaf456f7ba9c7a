// The About box's version report: four walks of the loaded-driver list through
// the device and four version blocks read from drive C:, with the drivers running.
#include <benchmark/benchmark.h>

#include "host/device.h"
#include "options/VersionReport.h"
#include "station/DriverChannel.h"
#include "DriverChannelSession.h"
#include "support/TempHostRoot.h"

namespace {

void BM_VersionReport(benchmark::State& state) {
    TempHostRoot root;
    if (RunHostTool({"init"}).ExitCode != 0) {
        state.SkipWithError("cannot lay down the host root");
        return;
    }
    DriverChannelSession drivers;
    if (!drivers.Ready()) {
        state.SkipWithError("the station drivers did not start");
        return;
    }
    // Every driver loaded and every file readable: the longest report.
    if (options::VersionReport().find("not loaded") != std::string::npos) state.SkipWithError("a driver is missing");
    for (auto _ : state) benchmark::DoNotOptimize(options::VersionReport());
}

}  // namespace

BENCHMARK(BM_VersionReport)->UseRealTime()->Unit(benchmark::kMicrosecond)->Repetitions(5);
