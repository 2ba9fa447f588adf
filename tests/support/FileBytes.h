// Reading and writing whole files as raw bytes, and checking engine errors.
#pragma once

#include <gtest/gtest.h>
#include <string>

namespace quillomatic::testing {

[[nodiscard]] std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

} // namespace quillomatic::testing

// Expects `statement` to raise a ComponentError with this number, source and description.
#define EXPECT_COMPONENT_ERROR(statement, number, source, description)                             \
    do {                                                                                           \
        try {                                                                                      \
            statement;                                                                             \
            ADD_FAILURE() << "no error raised by " #statement;                                     \
        } catch (const ::quillomatic::ComponentError& error_) {                                    \
            EXPECT_EQ(error_.Number(), number);                                                    \
            EXPECT_EQ(error_.Source(), source);                                                    \
            EXPECT_EQ(error_.Description(), description);                                          \
        }                                                                                          \
    } while (false)
