// What a command handler needs from the main window, without knowing the
// window: the parent for its dialogs and messages, the configuration it
// reloads and saves, and the panel's On/Off pair to keep in step.
#pragma once

#include "station/StationConfiguration.h"

class wxWindow;

class CommandHost {
public:
    virtual wxWindow* Window() = 0;
    virtual StationConfiguration& Configuration() = 0;
    // Hands StationLaunched to the panel's On/Off pair.
    virtual void UpdateOnOffButtons() = 0;

protected:
    ~CommandHost() = default;
};
