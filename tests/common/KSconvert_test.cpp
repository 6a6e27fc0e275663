#include "common/KSconvert.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace ks {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string text;
    for (int v : values)
        text.push_back(static_cast<char>(v));
    return text;
}

std::string Byte(int c) {
    return std::string(1, static_cast<char>(c));
}

// --- HTML entity table -----------------------------------------------------

// HTML 4 entity names of ISO 8859-1, codes 160 to 255 in order.
const char* const kLatin1Names =
    "nbsp iexcl cent pound curren yen brvbar sect uml copy ordf laquo not shy reg macr "
    "deg plusmn sup2 sup3 acute micro para middot cedil sup1 ordm raquo frac14 frac12 frac34 "
    "iquest Agrave Aacute Acirc Atilde Auml Aring AElig Ccedil Egrave Eacute Ecirc Euml "
    "Igrave Iacute Icirc Iuml ETH Ntilde Ograve Oacute Ocirc Otilde Ouml times Oslash "
    "Ugrave Uacute Ucirc Uuml Yacute THORN szlig agrave aacute acirc atilde auml aring aelig "
    "ccedil egrave eacute ecirc euml igrave iacute icirc iuml eth ntilde ograve oacute ocirc "
    "otilde ouml divide oslash ugrave uacute ucirc uuml yacute thorn yuml";

const std::map<int, std::string> kWindowsEntities = {
    {128, "&euro;"},   {130, "&sbquo;"},  {131, "&fnof;"},   {132, "&bdquo;"},  {133, "&hellip;"},
    {134, "&dagger;"}, {135, "&Dagger;"}, {136, "&circ;"},   {137, "&permil;"}, {138, "&Scaron;"},
    {139, "&lsaquo;"}, {140, "&OElig;"},  {145, "&lsquo;"},  {146, "&rsquo;"},  {147, "&ldquo;"},
    {148, "&rdquo;"},  {149, "&bull;"},   {150, "&ndash;"},  {151, "&mdash;"},  {152, "&tilde;"},
    {153, "&trade;"},  {154, "&scaron;"}, {155, "&rsaquo;"}, {156, "&oelig;"},  {159, "&Yuml;"}};

std::vector<std::string> ExpectedEntities() {
    std::vector<std::string> expected(256);
    for (int c = 0; c < 128; ++c)
        expected[c] = Byte(c);
    expected[34] = "&quot;";
    expected[38] = "&amp;";
    expected[60] = "&lt;";
    expected[62] = "&gt;";
    for (int c : {129, 141, 142, 143, 144, 157, 158})
        expected[c] = Byte(c);
    for (const auto& [code, text] : kWindowsEntities)
        expected[code] = text;
    std::istringstream names(kLatin1Names);
    std::string name;
    int code = 160;
    while (names >> name)
        expected[code++] = "&" + name + ";";
    EXPECT_EQ(code, 256) << "the list must name all 96 codes";
    return expected;
}

TEST(KSconvert, EntityTableHasAllEntriesAsListed) {
    const auto expected = ExpectedEntities();
    std::string all;
    std::string allExpected;
    for (int c = 0; c < 256; ++c) {
        const auto byte = static_cast<unsigned char>(c);
        EXPECT_EQ(HtmlEncode(Byte(c)), expected[c]) << "code " << c;
        if (c != 0) {
            EXPECT_STREQ(HtmlEntity(byte), expected[c].c_str()) << "code " << c;
        }
        all += Byte(c);
        allExpected += expected[c];
    }
    EXPECT_STREQ(HtmlEntity(0), "");
    EXPECT_EQ(HtmlEncode(all), allExpected);
}

TEST(KSconvert, HtmlEncodeKeepsOrderAndEveryByte) {
    EXPECT_EQ(HtmlEncode("\xC4 & B"), "&Auml; &amp; B");
    EXPECT_EQ(HtmlEncode("\""), "&quot;");
    EXPECT_EQ(HtmlEncode(Bytes({129, 142})), Bytes({129, 142}));
    EXPECT_EQ(HtmlEncode("\x9A"), "&scaron;");
    EXPECT_EQ(HtmlEncode("\x9C"), "&oelig;");
    EXPECT_EQ(HtmlEncode(""), "");
    EXPECT_EQ(HtmlEncode(std::string("a\0<b", 4)), std::string("a\0&lt;b", 7));
    EXPECT_EQ(HtmlEncode("Jans\xE9n <i>"), "Jans&eacute;n &lt;i&gt;");
}

// --- upper-case table ------------------------------------------------------

int ExpectedUpper(int c) {
    if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
    if (c == 154) return 138;
    if (c == 156) return 140;
    if (c == 158) return 142;
    if (c == 255) return 159;
    if (c >= 224 && c <= 254 && c != 247) return c - 224 + 192;
    return c;
}

TEST(KSconvert, UpperCaseTableHasAllEntriesAsListed) {
    std::string all;
    std::string allExpected;
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(UpperCaseByte(static_cast<unsigned char>(c)), ExpectedUpper(c)) << "code " << c;
        all += Byte(c);
        allExpected += Byte(ExpectedUpper(c));
    }
    EXPECT_EQ(UpperCaseTable(all), allExpected);
}

TEST(KSconvert, UpperCaseTableExamples) {
    EXPECT_EQ(UpperCaseTable("\xFF"), "\x9F");
    EXPECT_EQ(UpperCaseTable("\xDF\xB5\xF7"), "\xDF\xB5\xF7"); // sharp s, micro, division
    EXPECT_EQ(UpperCaseTable("\x9A\x9C\x9E"), "\x8A\x8C\x8E");
    EXPECT_EQ(UpperCaseTable("m\xFCller-Z"), "M\xDCLLER-Z");
    EXPECT_EQ(UpperCaseTable(std::string("a\0b", 3)), std::string("A\0B", 3));
    EXPECT_EQ(UpperCaseTable(""), "");
}

// --- folding table ---------------------------------------------------------

int ExpectedFold(int c) {
    if (c == 9 || c == '-' || (c >= '0' && c <= '9')) return c;
    if (c >= 'A' && c <= 'Z') return c;
    if (c >= 'a' && c <= 'z') return c - 32;
    const std::map<int, char> singles = {{161, 'I'}, {162, 'C'}, {181, 'U'}, {215, 'X'},
                                         {199, 'C'}, {231, 'C'}, {209, 'N'}, {241, 'N'},
                                         {221, 'Y'}, {253, 'Y'}, {248, '0'}, {255, '\xFF'}};
    if (auto it = singles.find(c); it != singles.end())
        return static_cast<unsigned char>(it->second);
    struct Range {
        int from, to;
        char letter;
    };
    const Range ranges[] = {{192, 197, 'A'}, {224, 229, 'A'}, {200, 203, 'E'}, {232, 235, 'E'},
                            {204, 207, 'I'}, {236, 239, 'I'}, {210, 214, 'O'}, {242, 246, 'O'},
                            {217, 220, 'U'}, {249, 252, 'U'}};
    for (const auto& r : ranges) {
        if (c >= r.from && c <= r.to) return r.letter;
    }
    return ' ';
}

TEST(KSconvert, FoldingTableHasAllEntriesAsListed) {
    std::string all;
    std::string allExpected;
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(FoldByte(static_cast<unsigned char>(c)), ExpectedFold(c)) << "code " << c;
        all += Byte(c);
        allExpected += Byte(ExpectedFold(c));
    }
    EXPECT_EQ(FoldTable(all), allExpected);
    // The bytes named as folding to a blank.
    for (int c :
         {198, 208, 216, 222, 223, 230, 240, 247, 254, int{'_'}, int{'.'}, int{','}, 0, 10, 13}) {
        EXPECT_EQ(FoldByte(static_cast<unsigned char>(c)), ' ') << "code " << c;
    }
    for (int c = 128; c <= 160; ++c) {
        EXPECT_EQ(FoldByte(static_cast<unsigned char>(c)), ' ') << "code " << c;
    }
}

TEST(KSconvert, FoldingTableExamples) {
    EXPECT_EQ(FoldTable("\xC6r\xF8"), " R0");
    EXPECT_EQ(FoldTable("M\xFCller-L\xFC"
                        "denscheid"),
              "MULLER-LUDENSCHEID");
    EXPECT_EQ(FoldTable("\xE9lie_d'Orl\xE9"
                        "ans"),
              "ELIE D ORLEANS");
    EXPECT_EQ(FoldTable("1850\t999"), "1850\t999");
    EXPECT_EQ(FoldTable(""), "");
}

TEST(KSconvert, AppendingFormsKeepWhatIsThere) {
    std::string out = "x\t";
    AppendFoldTable(out, "\xE9lie_1");
    AppendUpperCaseTable(out, "\xE9lie_1");
    AppendFoldTable(out, "");
    EXPECT_EQ(out, "x\tELIE 1\xC9LIE_1");
}

// --- code page 850 to Windows-1252 -----------------------------------------

// Code page 850, bytes 128 to 255, as the characters they show.
const char16_t kOem850Chart[] =
    u"ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜø£Ø×ƒáíóúñÑªº¿®¬½¼¡«»░▒▓│┤ÁÂÀ©╣║╗╝¢¥┐"
    u"└┴┬├─┼ãÃ╚╔╩╦╠═╬¤ðÐÊËÈıÍÎÏ┘┌█▄¦Ì▀ÓßÔÒõÕµþÞÚÛÙýÝ¯´\u00AD±‗¾¶§÷¸°¨·¹³²■\u00A0";

int ExpectedAnsi(char16_t ch) {
    if (ch < 256) return ch; // Latin-1 characters keep their code in Windows-1252
    if (ch == u'ƒ') return 131;
    const std::u16string hash = u"░▒▓█▄▀■";
    const std::u16string bar = u"│║";
    if (hash.find(ch) != std::u16string::npos) return '#';
    if (bar.find(ch) != std::u16string::npos) return '|';
    if (ch == u'─') return '-';
    if (ch == u'═') return '=';
    if (ch == u'ı') return 'i';
    if (ch == u'‗') return '_';
    if (ch >= 0x2500 && ch <= 0x257F) return '+'; // corners and junctions
    return -1;
}

TEST(KSconvert, OemToAnsiMapsCodePage850) {
    ASSERT_EQ(std::char_traits<char16_t>::length(kOem850Chart), 128u);
    for (int c = 0; c < 128; ++c) {
        EXPECT_EQ(OemToAnsi(Byte(c)), Byte(c)) << "code " << c;
    }
    for (int c = 128; c < 256; ++c) {
        const int expected = ExpectedAnsi(kOem850Chart[c - 128]);
        ASSERT_NE(expected, -1) << "code " << c;
        EXPECT_EQ(OemToAnsi(Byte(c)), Byte(expected)) << "code " << c;
    }
    EXPECT_EQ(OemToAnsi(""), "");
    EXPECT_EQ(OemToAnsi("M\x81ller \x9B"), "M\xFCller \xF8");
    EXPECT_EQ(OemToAnsi("\xC9\xCD\xBB"), "+=+");
    EXPECT_EQ(OemToAnsi(std::string("\0\x8E", 2)), std::string("\0\xC4", 2));
}

// --- packing and reading -----------------------------------------------------

TEST(KSconvert, PackingWritesTheStatedByteOrder) {
    EXPECT_EQ(PackWord(300), Bytes({44, 1}));
    EXPECT_EQ(PackWordReversed(300), Bytes({1, 44}));
    EXPECT_EQ(PackWord(-1), Bytes({255, 255}));
    EXPECT_EQ(PackWord(INT16_MIN), Bytes({0, 128}));
    EXPECT_EQ(PackLong(1), Bytes({1, 0, 0, 0}));
    EXPECT_EQ(PackLong(-2), Bytes({254, 255, 255, 255}));
    EXPECT_EQ(PackLong(0x01020304), Bytes({4, 3, 2, 1}));
    EXPECT_EQ(PackLongReversed(0x01020304), Bytes({1, 2, 3, 4}));
    EXPECT_EQ(PackInt64(0x04030201u, 0x08070605u), Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(PackInt64Reversed(0x04030201u, 0x08070605u), Bytes({8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(PackInt64(int64_t{0x0807060504030201}), Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(PackInt64(int64_t{-1}), std::string(8, '\xFF'));
    EXPECT_EQ(PackInt64(int64_t{10000}), Bytes({0x10, 0x27, 0, 0, 0, 0, 0, 0}));
}

TEST(KSconvert, ReadingGivesTheStatedValues) {
    EXPECT_EQ(ReadWord(""), 0);
    EXPECT_EQ(ReadWord("\x07"), 7);
    EXPECT_EQ(ReadWord("\xC8"), 200);
    EXPECT_EQ(ReadWord(Bytes({44, 1, 99})), 300);
    EXPECT_EQ(ReadWord(PackWord(-300)), 65236); // unsigned; callers take it as signed
    EXPECT_EQ(ReadLong(""), 0);
    EXPECT_EQ(ReadLong("\x01\x02"), 0x0201);
    EXPECT_EQ(ReadLong(Bytes({1, 2, 3})), 0x030201);
    EXPECT_EQ(ReadLong(Bytes({255, 255, 255, 255, 7})), -1);
    EXPECT_EQ(ReadLong(PackLong(INT32_MIN)), INT32_MIN);
    EXPECT_EQ(ReadLong(PackLong(2451545)), 2451545);
    EXPECT_EQ(ReadInt64(""), 0);
    EXPECT_EQ(ReadInt64(Bytes({1, 2, 3, 4, 5, 6, 7})), 0);
    EXPECT_EQ(ReadInt64(Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9})), 0x0807060504030201);
    EXPECT_EQ(ReadInt64(PackInt64(INT64_MIN)), INT64_MIN);
    EXPECT_EQ(ReadInt64(PackInt64(int64_t{-123456789012345})), -123456789012345);
    EXPECT_EQ(ReadSingle(""), 0.0f);
    EXPECT_EQ(ReadSingle(Bytes({0, 0, 0xC0})), 0.0f);
    EXPECT_EQ(ReadSingle(Bytes({0, 0, 0xC0, 0x3F})), 1.5f);      // 0x3FC00000
    EXPECT_EQ(ReadSingle(Bytes({0, 0, 0x20, 0xC1, 1})), -10.0f); // 0xC1200000
}

TEST(KSconvert, ReadersNeverLookPastTheEnd) {
    // Every prefix of the same bytes: the missing bytes must count as 0.
    const std::string full = Bytes({0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88});
    for (std::size_t n = 0; n <= full.size(); ++n) {
        const std::string text = full.substr(0, n);
        uint32_t expectedLong = 0;
        for (std::size_t i = 0; i < n && i < 4; ++i) {
            expectedLong |= static_cast<uint32_t>(static_cast<unsigned char>(full[i])) << (8 * i);
        }
        EXPECT_EQ(static_cast<uint32_t>(ReadLong(text)), expectedLong) << n;
        EXPECT_EQ(ReadWord(text), static_cast<uint16_t>(expectedLong & 0xFFFF)) << n;
        if (n < 8) {
            EXPECT_EQ(ReadInt64(text), 0) << n;
        }
        if (n < 4) {
            EXPECT_EQ(ReadSingle(text), 0.0f) << n;
        }
    }
}

} // namespace
} // namespace ks
