// The string table's entries in number order, for code that walks the whole table.
#pragma once

#include <span>

namespace res {

struct StringEntry {
    unsigned Id;
    const char* Text;
};

// Every entry, sorted by number, each number once.
std::span<const StringEntry> AllStrings();

}  // namespace res
