// The one error type of the conversion engine and its file services.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace quillomatic {

// A failure as callers of the engine see it: a number, the name of the part that
// raised it and a description meant for the user. what() gives the description.
class ComponentError : public std::runtime_error {
public:
    ComponentError(std::int32_t number, std::string source, std::string description);

    [[nodiscard]] std::int32_t Number() const noexcept { return m_Number; }
    [[nodiscard]] const std::string& Source() const noexcept { return m_Source; }
    [[nodiscard]] const std::string& Description() const noexcept { return m_Description; }

private:
    std::int32_t m_Number;
    std::string m_Source;
    std::string m_Description;
};

} // namespace quillomatic
