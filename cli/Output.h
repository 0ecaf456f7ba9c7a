// What v7ctl writes. In text mode each verb prints its lines as it goes; with
// --json nothing but one object reaches standard output, written at the end.
// Errors go to standard error either way, and with --json into the object too.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace cli {

// Exit codes shared by every verb.
enum ExitCode : int {
    kOk = 0,
    kFailed = 1,       // the job ran and failed (or, for test, found a problem)
    kUsage = 2,        // the command line was wrong, or a required --yes was missing
    kDriversDown = 3,  // the station drivers are not running
    kNotFound = 4,     // no such user or profile
    kRefused = 5,      // the station drivers said no
    kTimedOut = 6,     // the station drivers gave no answer within the timeout
};

void SetJsonOutput(bool on);
bool JsonOutput();

// The string-table text, in the command line's own wording where the window's
// would send its reader to the window; "Fail to load resource N !" as the
// window shows a missing one.
std::string Text(unsigned stringId);

// One line on stdout in text mode (nothing with --json); control characters
// but tabs and line breaks escaped.
void Print(const std::string& line);
void PrintText(unsigned stringId);
// One line on stderr, "v7ctl: " before it, escaped as Print does; kept for
// the JSON error. Returns `code` (kFailed unless given).
int Fail(const std::string& line, int code = kFailed);
int FailText(unsigned stringId, int code = kFailed);

// The verb's object for --json.
nlohmann::json& Result();

// Ends the run: with --json writes the object ("error" added when the exit
// code is not 0 and something failed) and flushes standard output. Output that
// could not be written (a full disk) is an error: exit code 1, said on stderr.
int Finish(int exitCode);

}  // namespace cli
