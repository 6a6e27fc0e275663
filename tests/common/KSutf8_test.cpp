#include "common/KScodepage.h"
#include "common/KSutf8.h"

#include <gtest/gtest.h>

#include <string>

namespace ks {
namespace {

// Every form a sequence can take, with the code point worked out by hand.
TEST(Utf8, DecodesOnlyTheShortestFormOfACodePoint) {
    const struct {
        std::string Bytes;
        Utf8Status Status;
        std::size_t Length;
        char32_t CodePoint;
    } cases[] = {
        {"a", Utf8Status::Valid, 1, 0x61},
        {"\xC3\xBC", Utf8Status::Valid, 2, 0xFC},
        {"\xE2\x82\xAC", Utf8Status::Valid, 3, 0x20AC},
        {"\xF0\x9F\x8C\xB3", Utf8Status::Valid, 4, 0x1F333},
        {"\xF4\x8F\xBF\xBF", Utf8Status::Valid, 4, 0x10FFFF},
        {"\xE0\x80\xAF", Utf8Status::Refused, 3, 0},     // overlong
        {"\xF0\x80\x80\x80", Utf8Status::Refused, 4, 0}, // overlong
        {"\xED\xA0\x80", Utf8Status::Refused, 3, 0},     // surrogate
        {"\xF4\x90\x80\x80", Utf8Status::Refused, 4, 0}, // above U+10FFFF
        {"\xC0\x80", Utf8Status::Invalid, 1, 0},         // overlong lead
        {"\xF5\x80\x80\x80", Utf8Status::Invalid, 1, 0},
        {"\x80", Utf8Status::Invalid, 1, 0},
        {"\xC3(", Utf8Status::Invalid, 1, 0},
        {"\xE2\x82", Utf8Status::Cut, 2, 0},
    };
    for (const auto& c : cases) {
        const Utf8Char decoded = DecodeUtf8(c.Bytes, 0);
        EXPECT_EQ(c.Status, decoded.Status) << c.Bytes;
        EXPECT_EQ(c.Length, decoded.Length) << c.Bytes;
        if (c.Status == Utf8Status::Valid) {
            EXPECT_EQ(c.CodePoint, decoded.CodePoint) << c.Bytes;
            std::string encoded;
            AppendUtf8(encoded, c.CodePoint);
            EXPECT_EQ(c.Bytes, encoded);
        }
    }
}

// A strict scan refuses what a scan by shape lets pass; either gives the
// same verdict however the text is cut into pieces.
TEST(Utf8, ScansTextCutAnywhere) {
    const struct {
        std::string Text;
        bool Strict, Shape;
    } cases[] = {
        {"M\xC3\xBCller \xE2\x82\xAC", true, true},
        {"a \xED\xA0\x80\xED\xB0\x80 \xC3\xA9", false, true},
        {"\xE0\x80\xAF", false, true},
        {"\xC3\xA9 \xE9", false, false},
        {"\xC0\x80", false, false},
        {"\xE2\x82", false, false},
    };
    for (const auto& c : cases) {
        for (const auto check : {TKSutf8Scanner::Check::Strict, TKSutf8Scanner::Check::Shape}) {
            const bool expected = check == TKSutf8Scanner::Check::Strict ? c.Strict : c.Shape;
            TKSutf8Scanner whole(check);
            whole.Feed(c.Text);
            EXPECT_EQ(expected, whole.LooksLikeUtf8()) << c.Text;
            TKSutf8Scanner bytes(check);
            for (const char byte : c.Text)
                bytes.Feed(std::string(1, byte));
            EXPECT_EQ(expected, bytes.LooksLikeUtf8()) << c.Text << " byte by byte";
        }
    }
}

// A letter Windows-1252 holds counts one, any other its UTF-8 length (the
// letter keys of the divisions prove the cuts and padding).
TEST(Utf8, EstimatedLengthCountsLetters) {
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(1u, EstimatedLength(Windows1252ToUtf8(std::string(1, static_cast<char>(b)))))
            << b;
    const std::pair<const char*, std::size_t> rows[] = {
        {"Wa\xC5\x82\xC4\x99sa", 8},
        {"\xE5\xBC\xA0", 3},
        {"\xF0\x9F\x98\x80x", 5},
        {"\xE9t\xE9", 3}, // no UTF-8: one per byte
    };
    for (const auto& [text, estimated] : rows)
        EXPECT_EQ(estimated, EstimatedLength(text)) << text;
}

} // namespace
} // namespace ks
