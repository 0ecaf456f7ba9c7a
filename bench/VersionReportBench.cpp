// The About box's version report: four walks of the loaded-driver list through
// the device and four version blocks read from drive C:, with the drivers running.
#include <benchmark/benchmark.h>

#include "host/device.h"
#include "options/VersionReport.h"
#include "station/DriverChannel.h"
#include "support/TempHostRoot.h"

namespace {

void BM_VersionReport(benchmark::State& state) {
    TempHostRoot root;
    if (RunHostTool({"init"}).ExitCode != 0) {
        state.SkipWithError("cannot lay down the host root");
        return;
    }
    RunningStationDrivers daemon;
    host::HANDLE device = host::CreateDeviceFile("\\\\.\\Brakor");
    if (!daemon.Started() || device == host::INVALID_HANDLE_VALUE) {
        state.SkipWithError("the station drivers did not start");
        return;
    }
    ResetDriverHandleCache();
    SetDriverHandleSource([device] { return device; });
    // Every driver loaded and every file readable: the longest report.
    if (options::VersionReport().find("not loaded") != std::string::npos) state.SkipWithError("a driver is missing");
    for (auto _ : state) benchmark::DoNotOptimize(options::VersionReport());
    SetDriverHandleSource(nullptr);
    ResetDriverHandleCache();
    host::CloseHandle(device);
}

}  // namespace

BENCHMARK(BM_VersionReport)->UseRealTime()->Unit(benchmark::kMicrosecond)->Repetitions(5);
