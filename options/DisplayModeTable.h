// The station's display modes: seven rows of the string table (2100 to 2106),
// each "number|name|bits,width,height".
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace host { struct HKEY__; using HKEY = HKEY__*; }

struct DisplayMode {
    int Number;          // the row's leading number
    std::string Name;    // "640 x 480, 256 colors"
    std::string Triple;  // "8,640,480"
    std::string Row;     // the whole row text
};

class DisplayModeTable {
public:
    static constexpr unsigned kFirstRow = 2100;
    static constexpr unsigned kRowCount = 7;
    static constexpr unsigned kFallbackRow = 2101;

    // The rows in table order, read from the string table each time.
    static std::vector<DisplayMode> Rows();

    // The number of the first row whose text contains name (case-sensitive).
    static std::optional<int> FindNumberByName(const std::string& name);
    // The first row with this number; row 2101 when none has it.
    static DisplayMode FindByNumber(int number);

    // Publishes the table and the chosen mode under the station key:
    // Display\MODES\<bits>\<width>,<height> for every row and
    // Display\DEFAULT "Mode" = the chosen row's triple; then flushes.
    static void WriteRegistryMirror(const std::string& stationKeyPath, int stationDisplay);
};
