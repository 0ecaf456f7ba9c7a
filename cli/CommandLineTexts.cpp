#include "cli/CommandLineTexts.h"

#include <algorithm>
#include <iterator>

#ifndef _WIN32
#include "host/emulated/root.h"
#endif

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
     "\"systemctl --user start v7-stationd\"."},
    {3000,
     "[ Brakor.vxd is not loaded ]\r\n"
     "    The station drivers are not running, or Brakor.vxd,\r\n"
     "    the main one, is not among them. Start them with\r\n"
     "    \"systemctl --user start v7-stationd\" and run\r\n"
     "    \"v7ctl test\" again.\r\n"
     "\r\n"},
#endif
    {3008,
     "[ V7 Station is not turned on ]\r\n"
     "    The V7 Station is not working because it has not been\r\n"
     "    turned on.  Turn it on with \"v7ctl on\".\r\n"
     "\r\n"},
};

#ifndef _WIN32
// The system-wide root's drivers run as the system unit.
constexpr OwnText kSystemRootTexts[] = {
    {2011,
     "The station drivers are not running: the device \\\\.\\Brakor cannot be opened.  Start them with "
     "\"systemctl start v7-stationd\" as root."},
    {3000,
     "[ Brakor.vxd is not loaded ]\r\n"
     "    The station drivers are not running, or Brakor.vxd,\r\n"
     "    the main one, is not among them. Start them with\r\n"
     "    \"systemctl start v7-stationd\" as root and run\r\n"
     "    \"v7ctl test\" again.\r\n"
     "\r\n"},
};
#endif

template <std::size_t N>
const char* Find(const OwnText (&texts)[N], unsigned stringId) {
    const auto found = std::find_if(std::begin(texts), std::end(texts),
                                    [stringId](const OwnText& own) { return own.Id == stringId; });
    return found == std::end(texts) ? nullptr : found->Text;
}

}  // namespace

const char* CommandLineText(unsigned stringId) {
#ifndef _WIN32
    if (stringId == 2011 || stringId == 3000) {
        if (host::emulated::UsesSystemHostRoot()) return Find(kSystemRootTexts, stringId);
    }
#endif
    return Find(kTexts, stringId);
}

}  // namespace cli
