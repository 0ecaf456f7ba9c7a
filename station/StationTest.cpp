#include "station/StationTest.h"

#include <cstdint>

#include "resources/StringTable.h"
#include "station/DriverChannel.h"

namespace station {
namespace {

constexpr unsigned IDS_NO_PROBLEMS = 3007;
constexpr unsigned IDS_BASE_INIT = 3004;
constexpr unsigned IDS_KEYBOARD_INIT = 3005;
constexpr unsigned IDS_MOUSE_INIT = 3006;
constexpr unsigned IDS_NOT_TURNED_ON = 3008;
constexpr unsigned IDS_CAPTION_OK = 3011;
constexpr unsigned IDS_CAPTION_PROBLEM = 3012;

// The drivers in the order their paragraphs appear. Vflatd is a display
// driver of the system, not Orvane's: without it the station still runs
// (in 16 colours), so it leaves the software indicator alone.
struct DriverCheck {
    std::uint16_t Device;
    unsigned Paragraph;
    bool Orvane;
};
constexpr DriverCheck kDriverChecks[] = {
    {kBrakorDevice, 3000, true},
    {kQuorelDevice, 3001, true},
    {kTilvexDevice, 3002, true},
    {kDunvekDevice, 3003, true},
    {kVflatdDevice, 3009, false},
};

// A problem counts even if its paragraph were missing from the table.
void Append(TestResult& result, unsigned paragraph) {
    std::string entry;
    if (res::LoadText(paragraph, entry)) result.Text += entry;
    result.Paragraphs.push_back(paragraph);
    result.ProblemFound = true;
}

std::string Load(unsigned id) {
    std::string text;
    res::LoadText(id, text);
    return text;
}

}  // namespace

TestResult RunTestPass(StationConfiguration& config) {
    config.LoadConfiguration();
    // Only the current user can change here. A station the driver does not
    // list (or a driver that does not answer) is not on, whatever the
    // registry still says.
    const bool listed = config.RefreshFromDriver() != 0;

    TestResult result;
    result.SoftwareRunning = true;
    for (const DriverCheck& check : kDriverChecks) {
        if (IsDriverLoaded(check.Device)) continue;
        Append(result, check.Paragraph);
        if (check.Orvane) result.SoftwareRunning = false;
    }

    // Any nonzero value counts as initialised, as the paragraphs are chosen.
    result.ConnectorBox = config.BaseInit != 0;
    if (!result.ConnectorBox) Append(result, IDS_BASE_INIT);
    result.Keyboard = config.KeyboardInit != 0;
    if (!result.Keyboard) Append(result, IDS_KEYBOARD_INIT);
    result.Mouse = config.MouseInit != 0;
    if (!result.Mouse) Append(result, IDS_MOUSE_INIT);
    result.StationOn = listed && config.StationLaunched != 0;
    if (!result.StationOn) Append(result, IDS_NOT_TURNED_ON);

    if (result.ProblemFound) {
        result.Caption = Load(IDS_CAPTION_PROBLEM);
    } else {
        result.Text = Load(IDS_NO_PROBLEMS);
        result.Paragraphs = {IDS_NO_PROBLEMS};
        result.Caption = Load(IDS_CAPTION_OK);
    }
    return result;
}

}  // namespace station
