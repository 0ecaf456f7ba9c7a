// The string table: every user-visible text, format and table row of the
// control center, keyed by its number.
#pragma once

#include <string>

namespace res {

// The text of entry id, or nullptr when the table has no such entry.
const char* FindString(unsigned id);

// Sets text to entry id and returns true; leaves text alone and returns false
// when there is no such entry.
bool LoadText(unsigned id, std::string& text);

}  // namespace res
