// Cutting and method splitting under bounds so small that short pages meet every boundary.
#include "LiteralCutter.h"

#include "FirstDifference.h"
#include "RandomPage.h"
#include "ReferenceScript.h"
#include "ScriptText.h"
#include "StatementTranslator.h"

#include <array>
#include <gtest/gtest.h>
#include <random>

namespace quillomatic {
namespace {

TEST(LiteralCutter, StatementsUnderAnyBoundsAreWhatTheReferenceWorksOut) {
    // Limits of 9 bytes (a few units a piece) and 40 (room for the look back
    // from a cut); so few calls per method that method and group boundaries
    // fall between lines and between the pieces of one.
    using Bounds = std::array<std::size_t, 4>;
    std::mt19937 random(28);
    std::uniform_int_distribution<std::size_t> length(0, 6000);
    for (const auto& [literal, inlined, perMethod, perGroup] :
         {Bounds{9, 5, 3, 2}, Bounds{40, 1, 4, 3}, Bounds{40, 30, 7, 1}}) {
        TargetFormat format = TargetFormat::JSP;
        format.Header = format.Footer = format.Utf8Label = format.SingleByteLabel = {};
        format.LiteralLimit = literal;
        format.CallsInline = inlined;
        format.CallsPerMethod = perMethod;
        format.MethodsPerGroup = perGroup;
        for (int page = 0; page < 100; ++page) {
            std::string bytes = testing::RandomPage(random, length(random));
            if (page % 2 == 0) { // one long line
                std::erase_if(bytes, [](char c) { return c == '\r' || c == '\n'; });
            }
            StatementTranslator translator(format);
            ScriptText script;
            LiteralCutter cutter(format, LineEnds::CRLF, script);
            translator.Translate(bytes.data(), bytes.data() + bytes.size(), true, cutter);
            cutter.Finish();
            const std::string expected = testing::ReferenceScript(format, bytes);
            const std::string made = script.Take();
            EXPECT_TRUE(made == expected) << "limit " << literal << ", page " << page << ": "
                                          << testing::FirstDifference(expected, made, "made");
        }
    }
}

} // namespace
} // namespace quillomatic
