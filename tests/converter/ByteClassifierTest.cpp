// ByteClassifier: which bytes of a chunk are events, on this processor and on any.
#include "ByteClassifier.h"

#include "RandomPage.h"
#include "TargetFormat.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace quillomatic {
namespace {

constexpr std::size_t kChunk = ByteClassifier::kChunk;

ByteClassifier ClassifierFor(const TargetFormat& format) {
    return ByteClassifier(format.Prefixes(), format.Patterns());
}

// The masks of one chunk written at the start of 64 bytes plus the look-ahead.
ChunkMasks MasksOf(const ByteClassifier& classifier, std::string chunk) {
    chunk.resize(kChunk + ByteClassifier::kLookAhead, 'x');
    ChunkMasks masks;
    classifier.Classify(chunk.data(), 1, &masks);
    return masks;
}

std::uint64_t Bits(std::initializer_list<int> positions) {
    std::uint64_t bits = 0;
    for (const int position : positions) {
        bits |= std::uint64_t(1) << position;
    }
    return bits;
}

TEST(ByteClassifier, LineEndsAndPrefixedBytesAreEvents) {
    const ByteClassifier php = ClassifierFor(TargetFormat::PHP);
    std::string chunk(kChunk, 'x');
    chunk[3] = '"';
    chunk[10] = '\r';
    chunk[11] = '\n';
    chunk[20] = '\r';
    chunk[30] = '\n';
    chunk[40] = '\\';
    chunk[50] = '@'; // Perl's, not PHP's
    chunk[63] = '$';
    const ChunkMasks masks = MasksOf(php, chunk);
    EXPECT_EQ(masks.Events, Bits({3, 10, 11, 20, 30, 40, 63}));
    EXPECT_EQ(masks.CrBeforeLf, Bits({10}));
}

TEST(ByteClassifier, BytesPastTheChunkDecideACrLfAndAPatternAtItsEnd) {
    const ByteClassifier jsp = ClassifierFor(TargetFormat::JSP);
    std::string chunk(kChunk, 'x');
    chunk[63] = '\r';
    EXPECT_EQ(MasksOf(jsp, chunk + "\n").CrBeforeLf, Bits({63}));
    EXPECT_EQ(MasksOf(jsp, chunk + "x").CrBeforeLf, 0u);
    chunk[63] = '%';
    EXPECT_EQ(MasksOf(jsp, chunk + ">").Events, Bits({63}));
    EXPECT_EQ(MasksOf(jsp, chunk + "x").Events, 0u);
}

TEST(ByteClassifier, PatternStartsAreFoundInEitherCaseWhereTheRuleIgnoresIt) {
    const ByteClassifier javaScript = ClassifierFor(TargetFormat::JavaScript);
    EXPECT_EQ(MasksOf(javaScript, "a</script</SCRIPT</sc</p<s/").Events, Bits({1, 9, 17}));
    // JSP looks for "%>" only; JavaScript leaves it alone.
    EXPECT_EQ(MasksOf(javaScript, "%>").Events, 0u);
    EXPECT_EQ(MasksOf(ClassifierFor(TargetFormat::JSP), "</script%>").Events, Bits({8}));
}

TEST(ByteClassifier, ThisProcessorsClassificationMatchesThePortableOne) {
    std::mt19937 random(3);
    for (const TargetFormat& format : kTargetFormats) {
        const ByteClassifier classifier = ClassifierFor(format);
        const std::size_t chunks = 500;
        const std::string bytes =
            testing::RandomPage(random, chunks * kChunk + ByteClassifier::kLookAhead);
        std::vector<ChunkMasks> fast(chunks);
        std::vector<ChunkMasks> portable(chunks);
        classifier.Classify(bytes.data(), chunks, fast.data());
        classifier.ClassifyPortably(bytes.data(), chunks, portable.data());
        for (std::size_t chunk = 0; chunk < chunks; ++chunk) {
            EXPECT_EQ(fast[chunk].Events, portable[chunk].Events) << format.Name << chunk;
            EXPECT_EQ(fast[chunk].CrBeforeLf, portable[chunk].CrBeforeLf) << format.Name << chunk;
        }
    }
}

} // namespace
} // namespace quillomatic
