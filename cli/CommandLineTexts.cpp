#include "cli/CommandLineTexts.h"

#include <algorithm>
#include <iterator>

namespace cli {
namespace {

struct OwnText {
    unsigned Id;
    const char* Text;
};

constexpr OwnText kTexts[] = {
    {1504, "The V7 Station is not on.  There is no one to send a message to.  Turn it on with \"v7ctl on\"."},
#ifdef _WIN32
    // On Windows the station drivers run as the kernel driver service Brakor.
    {2011,
     "The station drivers are not running: the device \\\\.\\Brakor cannot be opened.  Start them with "
     "\"sc start Brakor\" as an administrator."},
    {3000,
     "[ Brakor.vxd is not loaded ]\r\n"
     "    The station drivers are not running, or Brakor.vxd,\r\n"
     "    the main one, is not among them. Start them with\r\n"
     "    \"sc start Brakor\" as an administrator and\r\n"
     "    run \"v7ctl test\" again.\r\n"
     "\r\n"},
#else
    {2011,
     "The station drivers are not running: the device \\\\.\\Brakor cannot be opened.  Start them with "
     "\"systemctl --user start v7-stationd\" (a system-wide host: \"systemctl start v7-stationd\" as root)."},
    {3000,
     "[ Brakor.vxd is not loaded ]\r\n"
     "    The station drivers are not running, or Brakor.vxd,\r\n"
     "    the main one, is not among them. Start them with\r\n"
     "    \"systemctl --user start v7-stationd\" (a system-wide\r\n"
     "    host: \"systemctl start v7-stationd\" as root) and\r\n"
     "    run \"v7ctl test\" again.\r\n"
     "\r\n"},
#endif
    {3008,
     "[ V7 Station is not turned on ]\r\n"
     "    The V7 Station is not working because it has not been\r\n"
     "    turned on.  Turn it on with \"v7ctl on\".\r\n"
     "\r\n"},
};

}  // namespace

const char* CommandLineText(unsigned stringId) {
    const auto found = std::find_if(std::begin(kTexts), std::end(kTexts),
                                    [stringId](const OwnText& own) { return own.Id == stringId; });
    return found == std::end(kTexts) ? nullptr : found->Text;
}

}  // namespace cli
