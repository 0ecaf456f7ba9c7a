// What several verbs report alike, under the names --json gives them: test's
// checks and version's drivers (metrics writes both again as samples).
#pragma once

#include <nlohmann/json.hpp>

#include "station/StationTest.h"

namespace cli {

// The five checks, true when passed: {"software-running": true, ...}.
nlohmann::json TestChecks(const station::TestResult& result);
// Each reported driver: {"file", "loaded" (null when not), "file-version" (null when unread)}.
nlohmann::json DriverVersions();

}  // namespace cli
