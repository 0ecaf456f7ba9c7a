// What the station options dialog shows and stores, as plain functions that the
// dialog and v7ctl share: the lists each resolution offers, where the dialog
// opens for the stored values, what OK stores, and the checks on a login name
// and a display choice.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "options/DisplayModeTable.h"
#include "station/StationConfiguration.h"

namespace options {

// The slider's positions: 640 x 480, 800 x 600, 1024 x 768.
inline constexpr int kPositionCount = 3;
// The login name's limit, in bytes as stored (UTF-8), wherever a name is entered.
inline constexpr std::size_t kMaxLoginName = 20;

// The values the dialog edits, taken from the configuration and given back on OK.
struct StationOptions {
    bool AutoLaunch = false;
    bool AllowShutdown = false;  // the standing choice, "Shutdown Default"
    std::string DefaultUser;
    int DisplayMode = 0;
    std::string ModeName;
    std::string RefreshRate;  // as stored: "60"
};

// Reloads the configuration and takes the dialog's values from it.
StationOptions LoadStationOptions(StationConfiguration& config);
// OK: in one registry transaction, the configuration is reloaded, each value
// the person changed from what the dialog opened with (the display as one
// choice) goes in, both shut-down flags take the one choice, and the
// configuration is saved, display-mode mirror included. A setting another
// program changed while the dialog was open keeps that program's value.
void SaveStationOptions(StationConfiguration& config, const StationOptions& options, const StationOptions& opened);

// What a slider position offers, in list order; empty outside 0..2.
std::string ResolutionName(int position);
std::vector<std::string> ColorsAt(int position);
std::vector<std::string> RefreshRatesAt(int position);

// Where the dialog opens for a stored mode number (0 for any unknown number),
// the colour the number names ("" outside 0..9), and a stored rate as the list
// spells it ("72" -> "72 Hz"; anything not listed -> "60 Hz").
int PositionForMode(int displayMode);
std::string ColorForMode(int displayMode);
std::string RefreshRateText(const std::string& stored);

// The entry a list selects for text: the first that begins with it (case
// ignored), else the last; -1 for an empty list.
int SelectionFor(const std::vector<std::string>& entries, const std::string& text);

// The table's mode for a position and a colour, when the table has one.
std::optional<DisplayMode> ModeFor(int position, const std::string& colors);
// The stored form of a rate: its first two characters ("44 Hz (interlaced)" -> "44").
std::string StoredRefreshRate(const std::string& shown);

// The resolution, colour and rate the dialog shows for the options.
struct DisplayChoice {
    int Position = 0;
    std::string Colors;
    std::string RefreshRate;  // as the list spells it
};
DisplayChoice OpeningChoice(const StationOptions& options);

// Why a login name cannot be stored (longer than kMaxLoginName bytes), or ""
// when it can; an empty name can.
std::string LoginNameError(const std::string& name);

// Sets the display to a mode the dialog offers ("800 x 600, 256 colors", case
// ignored) and a rate of that resolution ("56" or "56 Hz"); without a rate,
// the stored one stays when the resolution offers it, else the list's last.
// False, with the valid choices in error, for anything else.
bool ChooseDisplay(StationOptions& options, const std::string& modeName, const std::string& refreshRate,
                   std::string& error);

}  // namespace options
