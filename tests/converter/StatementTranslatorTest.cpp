// StatementTranslator takes a page in pieces of any size: the statements must
// not depend on where the pieces are cut.
#include "StatementTranslator.h"

#include "RandomPage.h"
#include "ScriptText.h"
#include "TargetFormat.h"

#include <gtest/gtest.h>
#include <memory>
#include <random>

namespace quillomatic {
namespace {

std::string WholePage(const TargetFormat& format, const std::string& page) {
    StatementTranslator translator(format);
    ScriptText script;
    const char* rest = translator.Translate(page.data(), page.data() + page.size(), true, script);
    EXPECT_EQ(rest, page.data() + page.size());
    return script.Take();
}

// Hands the page over as a reader does: each piece is what the last call left
// plus `nextSize()` new bytes (at least one: a reader gets none only at the end
// of the file), in a buffer of exactly that size, so a read past the piece
// would show under a memory checker.
template <typename NextSize>
std::string InPieces(const TargetFormat& format, const std::string& page, NextSize nextSize) {
    StatementTranslator translator(format);
    ScriptText script;
    std::string left;
    std::size_t taken = 0;
    for (;;) {
        const std::size_t count =
            std::min(std::max<std::size_t>(nextSize(), 1), page.size() - taken);
        const bool last = count == 0;
        const std::string piece = left + page.substr(taken, count);
        taken += count;
        const auto buffer = std::make_unique<char[]>(piece.size());
        std::copy(piece.begin(), piece.end(), buffer.get());
        const char* const end = buffer.get() + piece.size();
        const char* const rest = translator.Translate(buffer.get(), end, last, script);
        if (last) {
            EXPECT_EQ(rest, end);
            break;
        }
        EXPECT_LE(static_cast<std::size_t>(end - rest), translator.HoldBack())
            << "a translator may only leave a few bytes behind";
        left.assign(rest, end);
    }
    return script.Take();
}

TEST(StatementTranslator, OneByteAtATimeGivesWhatTheWholePageGives) {
    std::mt19937 random(7);
    for (const TargetFormat& format : kTargetFormats) {
        for (int page = 0; page < 20; ++page) {
            const std::string bytes = testing::RandomPage(random, 400);
            EXPECT_EQ(InPieces(format, bytes, [] { return std::size_t(1); }),
                      WholePage(format, bytes))
                << format.Name << " page " << page;
        }
    }
}

TEST(StatementTranslator, PiecesOfRandomSizesGiveWhatTheWholePageGives) {
    std::mt19937 random(11);
    std::uniform_int_distribution<std::size_t> small(0, 300);
    std::uniform_int_distribution<std::size_t> large(0, 20'000);
    std::uniform_int_distribution<int> coin(0, 3);
    for (const TargetFormat& format : kTargetFormats) {
        for (int page = 0; page < 40; ++page) {
            const std::string bytes = testing::RandomPage(random, 30'000);
            const auto nextSize = [&] { return coin(random) == 0 ? large(random) : small(random); };
            EXPECT_EQ(InPieces(format, bytes, nextSize), WholePage(format, bytes))
                << format.Name << " page " << page;
        }
    }
}

TEST(StatementTranslator, StatementsAreFramedLikeTheTextConversion) {
    const TargetFormat& php = TargetFormat::PHP;
    EXPECT_EQ(WholePage(php, ""), "");
    EXPECT_EQ(WholePage(php, "\r\n"), "echo \"\\n\";\r\n");
    EXPECT_EQ(WholePage(php, "a \"$b\"\r\nc\\"),
              "echo \"a \\\"\\$b\\\"\\n\";\r\necho \"c\\\\\\n\";\r\n");
    EXPECT_EQ(WholePage(TargetFormat::JavaScript, "</SCRIPT>\r"),
              "document.writeln(\"<\\/SCRIPT>\");\r\n");
    EXPECT_EQ(WholePage(TargetFormat::JSP, "%%>>\n\n"),
              "out.println(\"%%\\>>\");\r\nout.println(\"\");\r\n");
}

} // namespace
} // namespace quillomatic
