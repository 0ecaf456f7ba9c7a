// The host tool's commands. Each works on the process's host root, writes its
// result on stdout and throws ToolError for a failure.
#pragma once

#include <iosfwd>
#include <string>

namespace hosttool {

void ExportRegistry(const std::string& keyName, std::ostream& out);
// fileName "-" reads stdin.
void ImportRegistry(const std::string& fileName);
void ListDrivers(std::ostream& out);
void ListStations(std::ostream& out);
void PrintConfiguration(std::ostream& out);
// Each received message: "--- <time>", then its text as received, control
// characters (but tabs and line breaks) escaped.
void PrintMessages(std::ostream& out);
// Undoes the station log's escapes (\t, \n, \r, \\, \xHH).
std::string UnescapeLogText(const std::string& text);

// Fails unless the host root has been set up (it holds registry.db).
void RequireSetUpRoot();
// Fails when the registry reported a problem with its database.
void CheckRegistryProblem();

}  // namespace hosttool
