// Where a text of the string table tells its reader what to do in the window
// (press the ON button) or on the old platform (a line in System.ini), the
// command line says what its user does instead. The window keeps its texts.
#pragma once

namespace cli {

// The command line's wording of string-table entry id, or nullptr when it
// uses the table's.
const char* CommandLineText(unsigned stringId);

}  // namespace cli
