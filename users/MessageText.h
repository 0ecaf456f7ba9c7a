// String-table texts with their "%s" fields filled in.
#pragma once

#include <string>
#include <vector>

namespace users {

// A message for the person: its string-table number and its finished text.
struct Message {
    unsigned Id;
    std::string Text;
};

// Entry id with each "%s" replaced by the next argument, as given (a '%' in an
// argument stays as it is). An id missing from the table gives
// "Fail to load resource N !".
Message FormatText(unsigned id, const std::vector<std::string>& args = {});

}  // namespace users
