// The arguments of quillomatic-convert.
#pragma once

#include "TargetFormat.h"

#include <span>
#include <stdexcept>
#include <string>

namespace quillomatic {

// quillomatic-convert --to FORMAT [--output FILE] [INPUT]
class CommandLine {
public:
    // Wrong arguments; what() says what is wrong.
    class UsageError : public std::invalid_argument {
        using std::invalid_argument::invalid_argument;
    };

    // Reads the arguments after the program name.
    [[nodiscard]] static CommandLine Parse(std::span<const char* const> arguments);
    [[nodiscard]] static std::string Usage();

    [[nodiscard]] bool WantsHelp() const noexcept { return m_WantsHelp; }
    [[nodiscard]] bool WantsVersion() const noexcept { return m_WantsVersion; }
    [[nodiscard]] const TargetFormat* Format() const noexcept { return m_Format; }
    // Empty for standard input.
    [[nodiscard]] const std::string& InputPath() const noexcept { return m_InputPath; }
    // Empty for standard output.
    [[nodiscard]] const std::string& OutputPath() const noexcept { return m_OutputPath; }

private:
    bool m_WantsHelp = false;
    bool m_WantsVersion = false;
    const TargetFormat* m_Format = nullptr;
    std::string m_InputPath;
    std::string m_OutputPath;
};

} // namespace quillomatic
