// Windows-1252: every byte has a character, and encoding never fails.
#include "CodePage1252.h"

#include "TextEncoding.h"

#include <gtest/gtest.h>
#include <random>

namespace quillomatic {
namespace {

std::string Decoded(std::string_view bytes) {
    std::string text;
    CodePage1252::AppendDecoded(bytes, text);
    return text;
}

std::string Encoded(std::string_view text) {
    std::string bytes;
    CodePage1252::AppendEncoded(text, bytes);
    return bytes;
}

// Past the 64 and the 8 bytes that are looked at at once, and short of them.
TEST(TextEncoding, AnAsciiRunEndsAtTheFirstByteOf0x80OrAbove) {
    std::string text(130, '\x7F');
    EXPECT_EQ(AsciiRunLength(text), text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        EXPECT_EQ(AsciiRunLength(std::string_view(text).substr(0, at)), at);
        text[at] = '\x80';
        EXPECT_EQ(AsciiRunLength(text), at);
        text[at] = '\x7F';
    }
}

TEST(CodePage1252, BytesDecodeToTheirCharacters) {
    EXPECT_EQ(Decoded("plain <ascii>"), "plain <ascii>");
    EXPECT_EQ(Decoded("\x80"), "\xE2\x82\xAC"); // euro sign
    EXPECT_EQ(Decoded("\x99"), "\xE2\x84\xA2"); // trade mark
    EXPECT_EQ(Decoded("\x9F"), "\xC5\xB8");     // Y with diaeresis
    EXPECT_EQ(Decoded("\xE9"), "\xC3\xA9");     // e acute, as in Latin-1
    EXPECT_EQ(Decoded("\xA0"), "\xC2\xA0");     // no-break space
    EXPECT_EQ(Decoded(std::string(1, '\0')), std::string(1, '\0'));
}

TEST(CodePage1252, TheFiveUnassignedBytesBecomeTheControlCharactersOfTheirNumber) {
    EXPECT_EQ(Decoded("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
}

TEST(CodePage1252, AllByteValuesSurviveDecodingAndEncoding) {
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        bytes.push_back(static_cast<char>(value));
    }
    const std::string text = Decoded(bytes);
    EXPECT_EQ(Encoded(text), bytes);
}

TEST(CodePage1252, CharactersTheCodePageLacksBecomeOneQuestionMarkEach) {
    EXPECT_EQ(Encoded("\xE2\x86\x92"), "?");         // arrow, three bytes of UTF-8
    EXPECT_EQ(Encoded("a\xF0\x9F\x98\x80z"), "a?z"); // emoji, four bytes
    EXPECT_EQ(Encoded("\xC2\x80"), "?");             // U+0080 is not the euro sign's byte
    EXPECT_EQ(Encoded("\xC4\x80"), "?");             // A with macron
}

TEST(CodePage1252, InvalidUtf8BecomesOneQuestionMarkPerBadByte) {
    EXPECT_EQ(Encoded("\xC3"), "?");      // cut off after the first byte
    EXPECT_EQ(Encoded("\xE2\x82"), "??"); // euro sign without its last byte
    EXPECT_EQ(Encoded("\xE2\x82x"), "??x");
    EXPECT_EQ(Encoded("\x80\xBF"), "??");           // stray continuation bytes
    EXPECT_EQ(Encoded("\xC0\xAF"), "??");           // overlong slash
    EXPECT_EQ(Encoded("\xED\xA0\x80"), "???");      // surrogate
    EXPECT_EQ(Encoded("\xF4\x90\x80\x80"), "????"); // beyond U+10FFFF
    EXPECT_EQ(Encoded("\xFF\xFE"), "??");
    EXPECT_EQ(Encoded("\xC3\xA9\xC3"), "\xE9?");
}

TEST(CodePage1252, EncodingInPiecesCutSafelyEqualsEncodingInOneGo) {
    std::mt19937 random(12345);
    const std::string pieces[] = {
        "a",        "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\x80",
        "\xE2\x82", "\xC3",     "\xF0\x9F",     "\xBF\xBF\xBF\xBF"};
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int i = 0; i < 40; ++i) {
            text += pieces[random() % std::size(pieces)];
        }
        const std::string whole = Encoded(text);
        // A character is at most four bytes, so slices of four or more always advance.
        for (std::size_t slice = 4; slice < 12; ++slice) {
            std::string inPieces;
            for (std::size_t position = 0; position < text.size();) {
                const std::size_t cut = CodePage1252::SafeCut(text, position + slice);
                ASSERT_GT(cut, position) << "no progress";
                CodePage1252::AppendEncoded(std::string_view(text).substr(position, cut - position),
                                            inPieces);
                position = cut;
            }
            ASSERT_EQ(inPieces, whole) << "slice " << slice;
        }
    }
}

} // namespace
} // namespace quillomatic
