#include "resources/StringTable.h"

#include <algorithm>
#include <iterator>

#include "resources/StringEntries.h"

namespace res {
namespace {

// Kept sorted by number: FindString searches it by halves.
constexpr StringEntry kStrings[] = {
    {128,
     "V7\n"
     "V7\n"
     "V7\n"
     "\n"
     "V7.Document\n"
     "V7 Document"},
    {1000, "Orvane V7 Control Center"},
    {1302, "Copyright"},
    {1303, "Versions"},
    {1304, "1.20"},
    {1305, "K"},
    {1306, "Copyright \u00A9 Halvorn. All rights reserved."},
    {1309, "\tnot loaded"},
    {1310, "\t%d.%02d is loaded"},
    {1311, "\t%X.%02X is loaded"},
    {1312, "\t%s in file."},
    {1313, "."},
    {1314, "Running for %D days %H  hours %M minutes"},
    {1400,
     "Halvorn Technical Support\r\n"
     "\r\n"
     "Answers to common questions,\r\n"
     "driver updates and news about\r\n"
     "Orvane V7 are on our web site:\r\n"
     "https://www.halvorn.example/\r\n"
     "\r\n"
     "Or write to us at\r\n"
     "support@halvorn.example\r\n"
     "\r\n"
     "Please tell us the versions\r\n"
     "the About box shows (Help\r\n"
     "menu, About, Versions)."},
    {1401, "https://www.halvorn.example/"},
    {1402, "mailto:support@halvorn.example"},
    {1403,
     "Error executing %s. Try accessing this site manually in your favorite Web "
     "browser."},
    {1500, " "},
    {1501, "Could not broadcast this message."},
    {1502, "Unknown"},
    {1503,
     "From:  %s\n"
     "\n"
     "%s"},
    {1504,
     "The V7 Station is not on.  There is no one to send a message to.  Use the ON "
     "button in the main Control Center window to turn on the V7 Station."},
    {1510, "Windows did not shut down or restart the computer."},
    {2006,
     "Could not remove disk directory:\n"
     "\n"
     "[ %s ]."},
    {2007,
     "Could not remove disk file:\n"
     "\n"
     "[ %s ]."},
    {2009, "Did not turn on the V7 station successfully."},
    {2010, "Could not remove [Password List] entry in %s file for user %s."},
    {2011,
     "The Orvane Brakor.vxd virtual device driver is not loaded.  Orvane cannot "
     "function properly. Please make sure the line:\n"
     "\n"
     "    device=brakor.vxd\n"
     "\n"
     "is in the [386Enh] section of the Windows System.ini file.\n"
     "\n"
     "[The \"CreateFile\" call to establish contact with Brakor.vxd failed]."},
    {2012,
     "Are you sure you want to turn off the V7 Station?\r\n"
     "\r\n"
     "Please close all files and exit all programs on the V7 Station before turning it "
     "off."},
    {2013, "Did not turn off the V7 station successfully."},
    {2014,
     "Could not remove registry key:\n"
     "\n"
     "[ %s ]."},
    {2018, "\\\\.\\Brakor"},
    {2024, "Board not found."},
    {2025, "[ None ]"},
    {2026, "User1"},
    {2027, "Station1"},
    {2100, "0|640 x 480, 16 colors|4,640,480"},
    {2101, "1|640 x 480, 256 colors|8,640,480"},
    {2102, "2|640 x 480, High color (16-bit)|16,640,480"},
    {2103, "9|640 x 480, True color (24-bit)|24,640,480"},
    {2104, "4|800 x 600, 256 colors|8,800,600"},
    {2105, "5|800 x 600, High color (16-bit)|16,800,600"},
    {2106, "7|1024 x 768, 256 colors|8,1024,768"},
    {2120, "640 x 480"},
    {2121, "800 x 600"},
    {2122, "1024 x 768"},
    {2130, "16 colors"},
    {2131, "256 colors"},
    {2132, "High color (16-bit)"},
    {2133, "True color (24-bit)"},
    {2140, "44 Hz (interlaced)"},
    {2141, "56 Hz"},
    {2142, "60 Hz"},
    {2143, "72 Hz"},
    {2144, "76 Hz"},
    {2160, "%s\\Display\\DEFAULT"},
    {2161, "%s\\Display\\MODES\\%s"},
    {2200,
     "No User Names were found.  This can happen if User Profiles are not enabled.  "
     "User Profiles can be enabled using the Passwords applet in the Control Panel."},
    {2202,
     "Please confirm you wish to remove %s's user profile.\n"
     "\n"
     "This user's profile information will be removed from the Registry and from the "
     "hard disk. "},
    {2203,
     "User \"%s\" is the currently logged in user\n"
     "\n"
     "You cannot remove your own user profile while you are logged in. Log in as "
     "someone else or log in as the default user to remove your own user profile."},
    {2204,
     "User \"%s\" is currently logged on to the V7 station.\n"
     "\n"
     "It is not recommended to remove a user's profile while they are logged on. You "
     "should have the user select \"Close all programs and login as a different user\" "
     "from the Start->Shut Down menu, and remove the user only after they have logged "
     "out.\n"
     "\n"
     "Please confirm you really wish to remove %s's user profile right now."},
    {3000,
     "[ Brakor.vxd is not loaded ]\r\n"
     "    Brakor.vxd is an Orvane virtual device driver which\r\n"
     "    is loaded in System.ini.  The Orvane install program\r\n"
     "    should have copied the Brakor.vxd file to your Windows\r\n"
     "    System directory and edited the System.ini file to load\r\n"
     "    Brakor.\r\n"
     "    \r\n"
     "    Please make sure the 'device=brakor.vxd' line is in\r\n"
     "    the [386Enh] section of the System.ini file and the\r\n"
     "    Brakor.vxd file is in the Windows \\System directory.\r\n"
     "    You should be able to recover from these errors by\r\n"
     "    uninstalling and reinstalling Orvane.\r\n"
     "    \r\n"
     "    In some cases, Brakor may discover a problem during\r\n"
     "    system boot and unload itself. Brakor will display\r\n"
     "    a message during boot asking you to contact Technical\r\n"
     "    Support.\r\n"
     "\r\n"},
    {3001,
     "[ Quorel.vxd is not loaded ]\r\n"
     "    Quorel.vxd is an Orvane virtual device driver which\r\n"
     "    is loaded by the Orvane Brakor.vxd.\r\n"
     "    \r\n"
     "    Please make sure the Quorel.vxd file is in the\r\n"
     "    Windows \\System directory and the Brakor.vxd\r\n"
     "    is loaded properly.\r\n"
     "\r\n"},
    {3002,
     "[ Tilvex.vxd is not loaded ]\r\n"
     "    Tilvex.vxd is an Orvane virtual device driver which\r\n"
     "    manages the Orvane station hardware. Tilvex.vxd loads\r\n"
     "    during system boot via an entry in the System Registry\r\n"
     "    which was created when you installed Orvane, or when\r\n"
     "    you installed the Orvane V7 hardware drivers. Either\r\n"
     "    Orvane is not installed properly or Tilvex did not\r\n"
     "    detect any station hardware during boot.\r\n"
     "\r\n"},
    {3003,
     "[ Dunvek.vxd is not loaded ]\r\n"
     "     Dunvek.vxd is an Orvane virtual device driver which\r\n"
     "    manages the Orvane station keyboards. Please make sure\r\n"
     "    the line 'keyboard=dunvek.vxd' is in the [386Enh] section\r\n"
     "     of System.ini.\r\n"
     "\r\n"},
    {3004,
     "[ V7 Connector box did not initialize properly ]\r\n"
     "    Please make sure the V7 Connector box is properly\r\n"
     "    connected to the computer. When the system is\r\n"
     "    first powered on, the Connector box LED should\r\n"
     "    blink rapidly.  When it is initialized, the Connector\r\n"
     "    box should buzz once and the LED should blink once\r\n"
     "    per second.\r\n"
     "    \r\n"
     "    To reset the V7 Connector box disconnect the Ethernet\r\n"
     "    cable from the Connector box, wait a few seconds, and\r\n"
     "    reconnect the Ethernet cable to the Connector box.\r\n"
     "    The Connector box should buzz once and the LED should\r\n"
     "    blink once per second.\r\n"
     "\r\n"},
    {3005,
     "[ V7 Station keyboard did not initialize properly ]\r\n"
     "    Please make sure the keyboard is properly connected\r\n"
     "    to the V7 Connector box.  When first powered on, the\r\n"
     "    LEDs on the keyboard should flash once if the\r\n"
     "    Connector box and the keyboard are receiving power.\r\n"
     "    \r\n"
     "    Once the keyboard is attached properly, reset the V7\r\n"
     "    Connector box by disconnecting and reconnecting the\r\n"
     "    Ethernet cable from the Connector box. The Connector\r\n"
     "    box should buzz once, the LED should blink once per\r\n"
     "    and the keyboard should be reinitialized.\r\n"
     "\r\n"},
    {3006,
     "[ V7 Station mouse did not initialize properly ]\r\n"
     "    Please make sure the mouse is properly connected\r\n"
     "    to the V7 Connector box.\r\n"
     "    \r\n"
     "    Once the mouse is attached properly, reset the V7\r\n"
     "    Connector box by disconnecting and reconnecting the\r\n"
     "    Ethernet cable from the Connector box. The Connector\r\n"
     "    box should buzz once, the LED should blink once per\r\n"
     "    and the mouse should be reinitialized.\r\n"
     "    \r\n"
     "    If the mouse still doesn't work, try using a different\r\n"
     "    mouse.  Microsoft PS/2 Compatible and Microsoft\r\n"
     "    IntelliMouse are known to work reliably with Orvane V7.\r\n"
     "\r\n"},
    {3007,
     "[ No problems found ]\r\n"
     "\r\n"},
    {3008,
     "[ V7 Station is not turned on ]\r\n"
     "    The V7 Station is not working because it has not been\r\n"
     "    turned on in the V7 Control Center.  Return to the main\r\n"
     "    window in the Control Center and press the ON button.\r\n"
     "\r\n"},
    {3009,
     "[ Note: Vflatd.vxd is not loaded ]\r\n"
     "    Vflatd.vxd is a Windows 95 driver which supports 256+ colors\r\n"
     "    on the V7 Station.  If you are only seeing 16 colors on the\r\n"
     "    V7 station, check the \"display=\" line in the [386Enh] section\r\n"
     "    of the System.ini file.  It should be \"display=*vdd,*vflatd\".\r\n"
     "    If not, edit the line so it includes \",*vflatd\" and reboot.\r\n"
     "\r\n"},
    {3011, "Test V7 Station: OK"},
    {3012, "Test V7 Station: Problem?"},
    {32773,
     "Remove a User Name\n"
     "Remove a User Name"},
    {32774,
     "Show All User Names\n"
     "Show All User Names"},
    {57344, "V7"},
};

}  // namespace

std::span<const StringEntry> AllStrings() { return kStrings; }

const char* FindString(unsigned id) {
    auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                               [](const StringEntry& e, unsigned key) { return e.Id < key; });
    return it != std::end(kStrings) && it->Id == id ? it->Text : nullptr;
}

bool LoadText(unsigned id, std::string& text) {
    const char* found = FindString(id);
    if (!found) return false;
    text = found;
    return true;
}

}  // namespace res
