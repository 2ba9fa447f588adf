// Pages of random bytes, for checking that two ways of converting a page agree.
#pragma once

#include <array>
#include <cstddef>
#include <random>
#include <string>
#include <string_view>

namespace quillomatic::testing {

// A page of `length` bytes in which every escape rule meets every other: runs
// of any byte value, the single characters the formats escape or end lines at,
// and whole patterns in either case, some of them cut short.
inline std::string RandomPage(std::mt19937& random, std::size_t length) {
    static constexpr std::string_view kSingles = "\r\n\"\\$@<>/%'\t xS";
    static constexpr std::array<std::string_view, 12> kTokens = {
        "</script", "</SCRIPT>", "</sCrIpT", "</scrip", "<</script", "%>",
        "%%>>",     "\r\n",      "\r\r\n",   "\\\"",    "\n\r",      "\xE9\x80\x81"};
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<std::size_t> single(0, kSingles.size() - 1);
    std::uniform_int_distribution<std::size_t> token(0, kTokens.size() - 1);
    std::string page;
    while (page.size() < length) {
        const int draw = kind(random);
        if (draw < 4) {
            page.push_back(static_cast<char>(anyByte(random)));
        } else if (draw < 8) {
            page.push_back(kSingles[single(random)]);
        } else {
            page += kTokens[token(random)];
        }
    }
    page.resize(length);
    return page;
}

} // namespace quillomatic::testing
