// Where two long byte strings first differ, for a failure message one can read.
#pragma once

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace quillomatic::testing {

// Their sizes, the offset of the first byte that differs, and the bytes
// around it in each; `actualIs` names the second ("written", "served").
inline std::string FirstDifference(const std::string& expected, const std::string& actual,
                                   std::string_view actualIs) {
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) {
        ++at;
    }
    const auto around = [at](const std::string& text) {
        const std::size_t from = at < 40 ? 0 : at - 40;
        return ::testing::PrintToString(text.substr(from, 80));
    };
    std::string label(actualIs);
    label += ':';
    label.resize(std::max<std::size_t>(label.size(), 9), ' ');
    return "sizes " + std::to_string(expected.size()) + " and " + std::to_string(actual.size()) +
           ", first difference at byte " + std::to_string(at) +
           "\n  expected: " + around(expected) + "\n  " + label + " " + around(actual);
}

} // namespace quillomatic::testing
