// Turning the V7 Station on and off, as the window and v7ctl both do it.
// Turn On asks the driver first and records the new state only on success;
// Turn Off records the station as off first and puts the old state back if the
// driver refuses. Both reload the configuration before deciding anything.
#pragma once

#include <functional>

#include "station/StationConfiguration.h"

namespace station {

enum class PowerResult {
    Done,        // the driver did it and the registry says so
    NoChange,    // the station already was in that state: nothing was done
    Declined,    // the person answered No to the confirmation
    Refused,     // the driver refused; the registry holds the state from before
};

// Called each time the saved on/off state changes, so a window can follow it.
using StateSaved = std::function<void()>;

PowerResult TurnOn(StationConfiguration& config, const StateSaved& saved = {});

// `confirm` is asked only when the station is on; turning it off logs the
// station's user off.
PowerResult TurnOff(StationConfiguration& config, const std::function<bool()>& confirm,
                    const StateSaved& saved = {});

}  // namespace station
