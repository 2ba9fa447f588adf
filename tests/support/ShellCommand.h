// Runs a shell command and collects what it printed.
#pragma once

#include <string>

namespace quillomatic::testing {

struct ShellResult {
    int exitCode = -1;
    std::string output; // standard output; redirect standard error in the command to see it
};

[[nodiscard]] ShellResult RunShell(const std::string& command);
// The text with every single quote escaped, inside single quotes, for a shell command.
[[nodiscard]] std::string ShellQuoted(const std::string& text);

} // namespace quillomatic::testing
