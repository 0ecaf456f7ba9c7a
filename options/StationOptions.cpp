#include "options/StationOptions.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <initializer_list>

#include "host/registry_scope.h"
#include "resources/StringTable.h"

namespace options {
namespace {

constexpr unsigned IDS_FIRST_RESOLUTION = 2120;  // "640 x 480", then 800 x 600, 1024 x 768
constexpr unsigned IDS_16_COLORS = 2130, IDS_256_COLORS = 2131, IDS_HIGH_COLOR = 2132, IDS_TRUE_COLOR = 2133;
constexpr unsigned IDS_44_HZ = 2140, IDS_56_HZ = 2141, IDS_60_HZ = 2142, IDS_72_HZ = 2143, IDS_76_HZ = 2144;

// What each resolution offers, in the lists' sorted order.
struct Offer {
    std::initializer_list<unsigned> Colors;
    std::initializer_list<unsigned> Rates;
};
const std::array<Offer, kPositionCount> kOffers = {{
    {{IDS_16_COLORS, IDS_256_COLORS, IDS_HIGH_COLOR, IDS_TRUE_COLOR}, {IDS_60_HZ}},
    {{IDS_256_COLORS, IDS_HIGH_COLOR}, {IDS_56_HZ, IDS_60_HZ}},
    {{IDS_256_COLORS}, {IDS_44_HZ, IDS_60_HZ, IDS_72_HZ, IDS_76_HZ}},
}};

std::string Text(unsigned id) {
    std::string text;
    res::LoadText(id, text);
    return text;
}

std::vector<std::string> Texts(std::initializer_list<unsigned> ids) {
    std::vector<std::string> texts;
    for (unsigned id : ids) texts.push_back(Text(id));
    return texts;
}

bool ValidPosition(int position) { return position >= 0 && position < kPositionCount; }

char Fold(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) { return Fold(a) == Fold(b); });
}

bool EqualsNoCase(const std::string& a, const std::string& b) { return a.size() == b.size() && StartsWithNoCase(a, b); }

std::string Join(const std::vector<std::string>& items, const char* separator) {
    std::string joined;
    for (const std::string& item : items) joined += (joined.empty() ? "" : separator) + item;
    return joined;
}

}  // namespace

StationOptions LoadStationOptions(StationConfiguration& config) {
    config.LoadConfiguration();
    StationOptions options;
    options.AutoLaunch = config.AutoLaunch != 0;
    options.AllowShutdown = config.ShutdownDefault != 0;
    options.DefaultUser = config.DefaultUser;
    options.ModeName = config.StationMode;
    options.DisplayMode = static_cast<int>(config.StationDisplay);
    options.RefreshRate = config.RefreshRate;
    return options;
}

void SaveStationOptions(StationConfiguration& config, const StationOptions& options, const StationOptions& opened) {
    host::RegistryTransaction transaction;
    config.LoadConfiguration();
    const bool allow = options.AllowShutdown != opened.AllowShutdown ? options.AllowShutdown : config.ShutdownDefault != 0;
    config.ShutdownDefault = config.ShutdownEnabled = allow ? 1 : 0;
    if (options.AutoLaunch != opened.AutoLaunch) config.AutoLaunch = options.AutoLaunch ? 1 : 0;
    if (options.DefaultUser != opened.DefaultUser) config.DefaultUser = options.DefaultUser;
    if (options.DisplayMode != opened.DisplayMode || options.ModeName != opened.ModeName ||
        options.RefreshRate != opened.RefreshRate) {
        config.StationMode = options.ModeName;
        config.StationDisplay = static_cast<unsigned>(options.DisplayMode);
        config.RefreshRate = options.RefreshRate;
    }
    config.SaveConfiguration();
    transaction.Commit();
}

std::string ResolutionName(int position) {
    return ValidPosition(position) ? Text(IDS_FIRST_RESOLUTION + static_cast<unsigned>(position)) : std::string();
}

std::vector<std::string> ColorsAt(int position) {
    return ValidPosition(position) ? Texts(kOffers[static_cast<std::size_t>(position)].Colors)
                                   : std::vector<std::string>();
}

std::vector<std::string> RefreshRatesAt(int position) {
    return ValidPosition(position) ? Texts(kOffers[static_cast<std::size_t>(position)].Rates)
                                   : std::vector<std::string>();
}

int PositionForMode(int displayMode) {
    if (displayMode >= 3 && displayMode <= 5) return 1;
    if (displayMode >= 6 && displayMode <= 8) return 2;
    return 0;
}

std::string ColorForMode(int displayMode) {
    if (displayMode < 0 || displayMode > 9) return {};
    if (displayMode == 9) return Text(IDS_TRUE_COLOR);
    return Text(IDS_16_COLORS + static_cast<unsigned>(displayMode % 3));
}

std::string RefreshRateText(const std::string& stored) {
    switch (std::atoi(stored.c_str())) {
    case 44: return Text(IDS_44_HZ);
    case 56: return Text(IDS_56_HZ);
    case 72: return Text(IDS_72_HZ);
    case 76: return Text(IDS_76_HZ);
    default: return Text(IDS_60_HZ);
    }
}

int SelectionFor(const std::vector<std::string>& entries, const std::string& text) {
    if (!text.empty())
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (StartsWithNoCase(entries[i], text)) return static_cast<int>(i);
    return static_cast<int>(entries.size()) - 1;
}

std::optional<DisplayMode> ModeFor(int position, const std::string& colors) {
    const std::string name = ResolutionName(position) + ", " + colors;
    const std::optional<int> number = DisplayModeTable::FindNumberByName(name);
    if (!number) return std::nullopt;
    DisplayMode mode = DisplayModeTable::FindByNumber(*number);
    mode.Name = name;
    return mode;
}

std::string StoredRefreshRate(const std::string& shown) { return shown.substr(0, 2); }

DisplayChoice OpeningChoice(const StationOptions& options) {
    DisplayChoice choice;
    choice.Position = PositionForMode(options.DisplayMode);
    const std::vector<std::string> colors = ColorsAt(choice.Position);
    const int color = SelectionFor(colors, ColorForMode(options.DisplayMode));
    if (color >= 0) choice.Colors = colors[static_cast<std::size_t>(color)];
    const std::vector<std::string> rates = RefreshRatesAt(choice.Position);
    const int rate = SelectionFor(rates, RefreshRateText(options.RefreshRate));
    if (rate >= 0) choice.RefreshRate = rates[static_cast<std::size_t>(rate)];
    return choice;
}

std::string LoginNameError(const std::string& name) {
    // An empty name is a name too: the station then logs in with none.
    if (name.size() > kMaxLoginName)
        return "The login name takes at most " + std::to_string(kMaxLoginName) + " bytes (" +
               std::to_string(name.size()) + " given; a letter with an accent takes two).";
    return {};
}

bool ChooseDisplay(StationOptions& options, const std::string& modeName, const std::string& refreshRate,
                   std::string& error) {
    std::vector<std::string> offered;
    for (int position = 0; position < kPositionCount; ++position) {
        for (const std::string& colors : ColorsAt(position)) {
            offered.push_back(ResolutionName(position) + ", " + colors);
            if (!EqualsNoCase(offered.back(), modeName)) continue;
            const std::optional<DisplayMode> mode = ModeFor(position, colors);
            if (!mode) break;  // the lists offer only the table's modes
            const std::vector<std::string> rates = RefreshRatesAt(position);
            std::string rate;
            if (refreshRate.empty()) {
                rate = rates[static_cast<std::size_t>(SelectionFor(rates, RefreshRateText(options.RefreshRate)))];
            } else {
                for (const std::string& candidate : rates)
                    if (EqualsNoCase(candidate, refreshRate) || StoredRefreshRate(candidate) == refreshRate)
                        rate = candidate;
                if (rate.empty()) {
                    error = "\"" + refreshRate + "\" is not a refresh rate offered at " + ResolutionName(position) +
                            "; choose one of: " + Join(rates, ", ");
                    return false;
                }
            }
            options.DisplayMode = mode->Number;
            options.ModeName = mode->Name;
            options.RefreshRate = StoredRefreshRate(rate);
            return true;
        }
    }
    error = "\"" + modeName + "\" is not a display mode the station offers; choose one of: " + Join(offered, "; ");
    return false;
}

}  // namespace options
