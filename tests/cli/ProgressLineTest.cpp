// The progress line of a batch: its words and how it is redrawn in place.
#include "ProgressLine.h"

#include <gtest/gtest.h>
#include <sstream>

namespace quillomatic {
namespace {

TEST(ProgressLine, CountsWithThousandsSeparatorsRedrawnInPlaceAndClearedAtTheEnd) {
    std::ostringstream terminal;
    ProgressLine line(terminal);
    line.Show(999, 5000);
    line.Show(1234, 5000);
    line.Show(1234567, 1234567);
    // A shorter line covers the rest of the longer one with spaces.
    line.Show(7, 8);
    line.Clear();
    const std::string longest = "converted 1,234,567 of 1,234,567 pages";
    const std::string shorter = "converted 7 of 8 pages";
    EXPECT_EQ(terminal.str(), "\rconverted 999 of 5,000 pages"
                              "\rconverted 1,234 of 5,000 pages"
                              "\r" +
                                  longest + "\r" + shorter +
                                  std::string(longest.size() - shorter.size(), ' ') + "\r" +
                                  std::string(longest.size(), ' ') + "\r");
}

} // namespace
} // namespace quillomatic
