// The help book, packed at build time: the bytes of one zip archive holding
// the project file, the contents, the index and every topic page.
#pragma once

#include <span>

namespace res {

// Name under which the archive is offered to the help viewer.
inline constexpr const char* kHelpBookName = "orvane-v7.htb";

std::span<const unsigned char> HelpBookArchive();

}  // namespace res
