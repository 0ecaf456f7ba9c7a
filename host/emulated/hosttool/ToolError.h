// A failure of one host-tool command: its one-line message for stderr and the
// exit code. Commands throw it; main prints "v7-host: <message>" and exits.
#pragma once

#include <stdexcept>
#include <string>

namespace hosttool {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

class ToolError : public std::runtime_error {
public:
    explicit ToolError(const std::string& message, int exitCode = kExitFailure)
        : std::runtime_error(message), m_exitCode(exitCode) {}
    int ExitCode() const { return m_exitCode; }

private:
    int m_exitCode;
};

}  // namespace hosttool
