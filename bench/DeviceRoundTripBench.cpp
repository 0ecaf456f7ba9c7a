// One control call to the running station drivers and back.
#include <benchmark/benchmark.h>

#include <cstring>

#include "host/device.h"
#include "host/registry.h"
#include "support/TempHostRoot.h"

namespace {

void BM_DeviceRoundTrip(benchmark::State& state) {
    TempHostRoot root;
    host::HKEY key;
    if (host::CreateRegKey(host::kLocalMachine, "Software\\Halvorn\\Orvane\\Setup\\Station1", &key) != 0) {
        state.SkipWithError("cannot set up the registry");
        return;
    }
    host::CloseRegKey(key);
    host::FlushRegKey(host::kLocalMachine);
    RunningStationDrivers daemon;
    host::HANDLE device = host::CreateDeviceFile("\\\\.\\Brakor");
    if (!daemon.Started() || device == host::kInvalidHandle) {
        state.SkipWithError("the station drivers did not start");
        return;
    }
    unsigned char record[68];
    for (auto _ : state) {
        std::memset(record, 0, sizeof record);
        host::DWORD returned = 0;
        if (!host::DeviceIoControl(device, 0x220803, record, sizeof record, record, sizeof record, &returned)) {
            state.SkipWithError("control call failed");
            break;
        }
        benchmark::DoNotOptimize(record);
    }
    host::CloseHandle(device);
}

}  // namespace

BENCHMARK(BM_DeviceRoundTrip)->UseRealTime();
