// The About box's first view: the product with its version, and how long the
// system has been running.
#pragma once

#include <cstdint>
#include <string>

namespace options {

// "Orvane V7 Version 1.20K", a blank line, the copyright line, a blank line and
// "Running for 2 days 05  hours 09 minutes." for the given milliseconds since
// the system started (seconds dropped). Lines end with "\r\n".
std::string AboutText(std::uint64_t millisecondsSinceStart);
// The same, with the system's running time now.
std::string AboutText();

}  // namespace options
