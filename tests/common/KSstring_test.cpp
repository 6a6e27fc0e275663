#include "common/KSstring.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

const std::string E(1, kEscape);
const std::string BoldOn = E + "@";
const std::string BoldOff = E + "`";
const std::string ItalicOn = E + "B";
const std::string ItalicOff = E + "b";
const std::string LineBreak = E + "\r";

// A raw block: escape, code 128, total length, visible width, data.
std::string Block(const std::string& data, int width) {
    const int total = static_cast<int>(data.size()) + 6;
    std::string out = E + "\x80";
    out += static_cast<char>(total & 0xFF);
    out += static_cast<char>(total >> 8);
    out += static_cast<char>(width & 0xFF);
    out += static_cast<char>(width >> 8);
    return out + data;
}

TEST(TKSstring, MeasureCountsVisibleCharactersLinesAndCodes) {
    TKSstring plain("abc");
    EXPECT_EQ(3, plain.VisibleLength());
    EXPECT_EQ(1, plain.LineCount());
    EXPECT_FALSE(plain.HasCodes());
    EXPECT_EQ(0, TKSstring("").LineCount());

    TKSstring bold(BoldOn + "abcd" + BoldOff);
    EXPECT_EQ(4, bold.VisibleLength());
    EXPECT_TRUE(bold.HasCodes());

    TKSstring escape("a" + E + E + "b");
    EXPECT_EQ(3, escape.VisibleLength());
    EXPECT_EQ("a" + E + "b", escape.PlainText());

    TKSstring lines("ab" + LineBreak + "cd" + LineBreak);
    EXPECT_EQ(3, lines.LineCount());
    EXPECT_EQ(4, lines.VisibleLength());
    EXPECT_EQ("ab\r\ncd\r\n", lines.PlainText());

    TKSstring ended("ab" + E + "\x1A" + "gone");
    EXPECT_EQ("ab" + E + "\x1A", ended.Data());
    EXPECT_EQ(2, ended.VisibleLength());

    TKSstring blocks(Block("raw", 0) + "ab" + Block("xy", 3));
    EXPECT_EQ(5, blocks.VisibleLength());
    EXPECT_EQ("ab", blocks.PlainText());

    TKSstring tab("a" + E + std::string(1, '\0') + "b"); // the tab mark is invisible
    EXPECT_EQ(2, tab.VisibleLength());
    EXPECT_EQ("ab", tab.PlainText());
}

TEST(TKSstring, MalformedCodesNeverReadPastTheText) {
    EXPECT_EQ(2, TKSstring("ab" + E).VisibleLength());
    EXPECT_EQ("ab", TKSstring("ab" + E).PlainText());
    TKSstring truncated(E + "\x90\xFF");
    EXPECT_EQ(0, truncated.VisibleLength());
    EXPECT_EQ("", truncated.Mid(1, 5));
    // A block claiming less than its header still occupies the header.
    TKSstring shortBlock(E + std::string("\x80\x01\x00\x02\x00", 5) + "ab");
    EXPECT_EQ(4, shortBlock.VisibleLength());
    std::vector<std::string> lines;
    int64_t count = 0;
    TKSstring(E + std::string("\x80\xFF\xFF\x05\x00", 5)).Wrap(2, lines, count);
    EXPECT_EQ(1, count);
}

TEST(TKSstring, LeftRightMidKeepStylesBalanced) {
    TKSstring bold(BoldOn + "abcd" + BoldOff);
    EXPECT_EQ(BoldOn + "bc" + BoldOff, bold.Mid(2, 2));
    EXPECT_EQ(BoldOn + "ab" + BoldOff, bold.Left(2));
    EXPECT_EQ(BoldOn + "cd" + BoldOff, bold.Right(2));
    EXPECT_EQ(BoldOn + "abcd" + BoldOff, bold.Mid(1, 10));
    EXPECT_EQ("", bold.Mid(5, 1));
    EXPECT_EQ("", bold.Left(0));

    // A style switched on inside the part is switched off at its end; one
    // switched off inside it was switched on in front of it.
    TKSstring mixed("a" + BoldOn + "bc" + BoldOff + "d");
    EXPECT_EQ("a" + BoldOn + "b" + BoldOff, mixed.Left(2));
    EXPECT_EQ(BoldOn + "c" + BoldOff + "d", mixed.Right(2));
    TKSstring nested(BoldOn + "a" + ItalicOn + "b" + BoldOff + "c" + ItalicOff);
    EXPECT_EQ(BoldOn + ItalicOn + "b" + BoldOff + "c" + ItalicOff, nested.Mid(2, 2));
    // An escape pair is one character.
    EXPECT_EQ(E + E, TKSstring("a" + E + E + "b" + BoldOn).Mid(2, 1));

    TKSstring plain("abcdef");
    EXPECT_EQ("bcd", plain.Mid(2, 3));
    EXPECT_EQ("ab", plain.Mid(0, 2));
    EXPECT_EQ("ef", plain.Right(2));
    EXPECT_EQ("abcdef", plain.Right(9));
    EXPECT_EQ("", plain.Mid(7, 1));
}

TEST(TKSstring, FixedPointVariantsRoundTiesToEven) {
    TKSstring plain("abcdef");
    EXPECT_EQ("ab", plain.LeftFixed(25000));   // 2.5 -> 2
    EXPECT_EQ("abcd", plain.LeftFixed(35000)); // 3.5 -> 4
    EXPECT_EQ("abc", plain.LeftFixed(25001));
    EXPECT_EQ("def", plain.RightFixed(29999));
}

TEST(TKSstring, PutWritesOverAndPads) {
    TKSstring s("abcde");
    s.Put(10, 2, "XY");
    EXPECT_EQ("abcde    XY", s.Data());
    s.SetText("abcde");
    s.Put(2, 2, "XYZ");
    EXPECT_EQ("aXYde", s.Data());
    s.SetText("abcde");
    s.Put(4, 4, "X");
    EXPECT_EQ("abcX   ", s.Data());
    s.SetText("abc");
    s.Put(2, 0, "X");
    EXPECT_EQ("abc", s.Data());

    // The codes that close the text stay when the stretch runs past its end.
    s.SetText(BoldOn + "ab" + BoldOff);
    s.Put(2, 2, "XY");
    EXPECT_EQ(BoldOn + "aXY" + BoldOff, s.Data());
    EXPECT_EQ(3, s.VisibleLength());
    s.SetText(BoldOn + "abcd" + BoldOff);
    s.Put(2, 2, BoldOn + "XYZ" + BoldOff);
    EXPECT_EQ(BoldOn + "a" + BoldOn + "XY" + BoldOff + "d" + BoldOff, s.Data());
}

std::vector<std::string> Wrapped(const std::string& text, int64_t width) {
    std::vector<std::string> lines;
    int64_t count = -1;
    TKSstring(text).Wrap(width, lines, count);
    EXPECT_EQ(static_cast<int64_t>(lines.size()), count);
    EXPECT_EQ(count, TKSstring(text).WrapCount(width));
    return lines;
}

using Lines = std::vector<std::string>;

TEST(TKSstring, WrapBreaksAtBlanksLineBreaksAndWidth) {
    EXPECT_EQ(Lines({"the quick", "brown fox"}), Wrapped("the quick brown fox", 10));
    EXPECT_EQ(Lines({"abc", "def"}), Wrapped("abc def", 3)); // the blank at the limit goes
    EXPECT_EQ(Lines({"abc", "def", "gh"}), Wrapped("abcdefgh", 3));
    EXPECT_EQ(Lines({"a", "bcd"}), Wrapped("a bcd", 3));
    EXPECT_EQ(Lines({"ab", "cd"}), Wrapped("ab" + LineBreak + "cd", 10));
    EXPECT_EQ(Lines({"ab", ""}), Wrapped("ab" + LineBreak, 10));
    EXPECT_EQ(Lines({}), Wrapped("", 10));
    EXPECT_EQ(Lines({"abc"}), Wrapped("abc", 16000));
    EXPECT_EQ(Lines({BoldOn + "aaa" + BoldOff, BoldOn + "bbb" + BoldOff}),
              Wrapped(BoldOn + "aaa bbb" + BoldOff, 4));
    EXPECT_EQ(Lines({"a" + BoldOn + "b" + BoldOff, BoldOn + "c" + BoldOff + "d"}),
              Wrapped("a" + BoldOn + "bc" + BoldOff + "d", 2));
    EXPECT_EQ("brown fox", TKSstring("the quick brown fox").WrapLine(10, 2));
    EXPECT_EQ("", TKSstring("the quick brown fox").WrapLine(10, 3));
}

} // namespace
} // namespace ks
