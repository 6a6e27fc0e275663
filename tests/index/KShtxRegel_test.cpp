#include "common/KScodepage.h"
#include "common/KSutf8.h"
#include "index/KShtxRegel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace ks {
namespace {

TKShtxRegel Parsed(const std::string& line) {
    TKShtxRegel regel;
    regel.ParseIndexLine(line);
    return regel;
}

std::string KeyOf(const std::string& line) {
    return Parsed(line).SortKey();
}

// Sorts lines by their keys and gives back their Extra fields (which play no
// part in the key) as labels, in that order.
std::vector<std::string> SortedLabels(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
        return CompareSortKeys(KeyOf(a), KeyOf(b)) < 0;
    });
    std::vector<std::string> labels;
    for (const auto& line : lines)
        labels.push_back(Parsed(line).Extra);
    return labels;
}

// "_" alone between blanks or control bytes: "_" is its only byte above 32.
bool IsUnknownMark(const std::string& field) {
    std::string visible;
    for (char c : field) {
        if (static_cast<unsigned char>(c) > ' ') visible.push_back(c);
    }
    return visible == "_";
}

// The field without the bytes that never belong in a name: 0 to 31, 127 and
// the five that Windows-1252 leaves undefined.
// The UTF-8 of a Windows-1252 field without the control bytes and the five
// bytes that code page leaves undefined (U+0081 and the like in UTF-8).
std::string WithoutControlBytes(const std::string& utf8) {
    const std::string undefined[] = {"\x7F", "\u0081", "\u008D", "\u008F", "\u0090", "\u009D"};
    std::string kept;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (static_cast<unsigned char>(utf8[i]) < 32) continue;
        bool drop = false;
        for (const std::string& u : undefined)
            if (utf8.compare(i, u.size(), u) == 0) {
                i += u.size() - 1;
                drop = true;
                break;
            }
        if (!drop) kept.push_back(utf8[i]);
    }
    return kept;
}

// Splits on every tab, independently of the parser.
std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == '\t') {
            fields.emplace_back();
        } else {
            fields.back().push_back(c);
        }
    }
    return fields;
}

TEST(KShtxRegel, ParseIndexLineFillsTheFieldsInOrder) {
    TKShtxRegel regel;
    regel.Count = 7;
    regel.PageNr = 8;
    regel.RecordNr = 9;
    regel.ParseIndexLine(
        "B\tBerg, van den\tAnna Maria\tx1\t1850\t1901\t345\tpersons12.htm#p345\t3");
    EXPECT_EQ(regel.Letter, "B");
    EXPECT_EQ(regel.Surname, "Berg, van den");
    EXPECT_EQ(regel.GivenNames, "Anna Maria");
    EXPECT_EQ(regel.Extra, "x1");
    EXPECT_EQ(regel.Year1, "1850");
    EXPECT_EQ(regel.Year2, "1901");
    EXPECT_EQ(regel.Number, 345);
    EXPECT_EQ(regel.Link, "persons12.htm#p345");
    EXPECT_EQ(regel.DocIndex, 3);
    EXPECT_EQ(regel.Count, 7);
    EXPECT_EQ(regel.PageNr, 8);
    EXPECT_EQ(regel.RecordNr, 9);

    // Fields beyond the end are empty, also when the object held a longer line.
    regel.ParseIndexLine("J\tJansen\tJan");
    EXPECT_EQ(regel.Letter, "J");
    EXPECT_EQ(regel.Surname, "Jansen");
    EXPECT_EQ(regel.GivenNames, "Jan");
    EXPECT_EQ(regel.Extra, "");
    EXPECT_EQ(regel.Year1, "");
    EXPECT_EQ(regel.Year2, "");
    EXPECT_EQ(regel.Number, 0);
    EXPECT_EQ(regel.Link, "");
    EXPECT_EQ(regel.DocIndex, 0);

    // Empty fields in between stay empty; a tenth field is ignored.
    regel.ParseIndexLine("A\t\t\t\t\t\t\t\t12\tmore\tfields");
    EXPECT_EQ(regel.Surname, "");
    EXPECT_EQ(regel.Link, "");
    EXPECT_EQ(regel.DocIndex, 12);

    regel.ParseIndexLine("");
    EXPECT_EQ(regel.Letter, "");
    EXPECT_EQ(regel.Number, 0);
}

TEST(KShtxRegel, UnderscoreMarksAnUnknownName) {
    const TKShtxRegel regel = Parsed("_\t _ \t_\t_\t_\t\t1\t_");
    EXPECT_EQ(regel.Letter, "?");
    EXPECT_EQ(regel.Surname, "?");
    EXPECT_EQ(regel.GivenNames, "?");
    EXPECT_EQ(regel.Extra, "_"); // the rule holds for the first three fields only
    EXPECT_EQ(regel.Year1, "_");
    EXPECT_EQ(regel.Link, "_");
    EXPECT_EQ(regel.SortKey().substr(0, 5), "_\t \t_");
    EXPECT_EQ(regel.SortKey(), "_\t \t_\t \t_\t_\t\t_\t_\t1");

    EXPECT_EQ(Parsed("__\t_x\tx_").Letter, "__");
    EXPECT_EQ(Parsed("__\t_x\tx_").Surname, "_x");
    EXPECT_EQ(Parsed("__\t_x\tx_").GivenNames, "x_");
    EXPECT_EQ(Parsed("A\t?\t?").SortKey(), "A\t \t_\t \t_\t\t\t_\t_\t0");
}

TEST(KShtxRegel, NumbersThatAreNoWholeNumberCountZero) {
    struct Case {
        const char* field;
        int32_t expected;
    };
    const Case cases[] = {{"", 0},
                          {"0", 0},
                          {"0012", 12},
                          {"abc", 0},
                          {"12a", 0},
                          {"1.5", 0},
                          {"-5", -5},
                          {"+5", 5},
                          {"2147483647", 2147483647},
                          {"99999999999", 0},
                          {"123456789", 123456789}};
    for (const auto& c : cases) {
        const TKShtxRegel regel =
            Parsed(std::string("A\tB\tC\t\t\t\t") + c.field + "\tl\t" + c.field);
        EXPECT_EQ(regel.Number, c.expected) << c.field;
        EXPECT_EQ(regel.DocIndex, c.expected) << c.field;
    }
}

TEST(KShtxRegel, ParseMergedLineReadsTheTenFields) {
    TKShtxRegel regel;
    regel.Number = 44;
    regel.DocIndex = 5;
    regel.ParseMergedLine("B\tBerg, van\t_\tx\t1850\t\t2\t15\t3\t0,a.htm#1|1,b.htm#2");
    EXPECT_EQ(regel.Letter, "B");
    EXPECT_EQ(regel.Surname, "Berg, van");
    EXPECT_EQ(regel.GivenNames, "_"); // no unknown-name rule here
    EXPECT_EQ(regel.Extra, "x");
    EXPECT_EQ(regel.Year1, "1850");
    EXPECT_EQ(regel.Year2, "");
    EXPECT_EQ(regel.PageNr, 2);
    EXPECT_EQ(regel.RecordNr, 15);
    EXPECT_EQ(regel.Count, 3);
    EXPECT_EQ(regel.Link, "0,a.htm#1|1,b.htm#2");
    EXPECT_EQ(regel.Number, 44);
    EXPECT_EQ(regel.DocIndex, 5);

    regel.ParseMergedLine("A\tB\tC\t\t\t\tx\t\t7");
    EXPECT_EQ(regel.PageNr, 0);
    EXPECT_EQ(regel.RecordNr, 0);
    EXPECT_EQ(regel.Count, 7);
    EXPECT_EQ(regel.Link, "");

    regel.ParseMergedLine("");
    for (const std::string* text : {&regel.Letter, &regel.Surname, &regel.GivenNames, &regel.Extra,
                                    &regel.Year1, &regel.Year2, &regel.Link}) {
        EXPECT_EQ(*text, "");
    }
    for (int32_t number :
         {regel.Number, regel.DocIndex, regel.Count, regel.PageNr, regel.RecordNr}) {
        EXPECT_EQ(number, 0);
    }
}

TEST(KShtxRegel, SortKeyHasItsTenPartsByteExact) {
    // u-umlaut 252, e-acute 233; folded they are U and E, upper-cased 220 and 201.
    const TKShtxRegel regel = Parsed("M\tM\xFCller, van\tJos\xE9-Maria\tx\t1850\t\t12\ta.htm#1\t4");
    EXPECT_EQ(regel.SortKey(), "M\tMULLER  VAN\tM\xDCLLER, VAN\tJOSE-MARIA\tJOS\xC9-MARIA\t1850\t\t"
                               "M\xFCller, van\tJos\xE9-Maria\t12");
    // Extra, Link and DocIndex play no part.
    EXPECT_EQ(KeyOf("A\tB\tC\tx\t1\t2\t3\tl1\t1"), KeyOf("A\tB\tC\ty\t1\t2\t3\tl2\t2"));
    EXPECT_EQ(KeyOf("A\tB\tC\t\t\t\t-7"), "A\tB\tB\tC\tC\t\t\tB\tC\t-7");
    EXPECT_EQ(KeyOf("\xE6\t\xF8\t\xDF"), "\xE6\t0\t\xD8\t \t\xDF\t\t\t\xF8\t\xDF\t0");
}

TEST(KShtxRegel, SortOrderFollowsTheKeys) {
    using Labels = std::vector<std::string>;
    // Years compare as text: 999 after 1850.
    EXPECT_EQ(SortedLabels({"J\tJansen\tX\tb\t999", "J\tJansen\tX\ta\t1850"}), (Labels{"a", "b"}));
    EXPECT_EQ(SortedLabels({"J\tJansen\tX\tb\t1850\t999", "J\tJansen\tX\ta\t1850\t1850"}),
              (Labels{"a", "b"}));
    // Accents fold to the base letter first; the upper-case form then puts the
    // plain spelling (E 69) before the accented one (201), and the exact
    // spelling puts E (69) before e (101).
    EXPECT_EQ(SortedLabels({"E\tEmma\tX\td", "E\t\xC9lie\tX\tc", "E\telie\tX\ta", "E\tElie\tX\tb"}),
              (Labels{"b", "a", "c", "d"}));
    // Surname before given names: Aa Zoe before Ab Anna.
    EXPECT_EQ(SortedLabels({"A\tAb\tAnna\t2", "A\tAa\tZoe\t1"}), (Labels{"1", "2"}));
    // Punctuation and "_" fold to a blank, which sorts before letters; the
    // upper-case form then orders ' (39) before _ (95).
    EXPECT_EQ(SortedLabels({"O\tOBrien\tX\t3", "O\tO_Brien\tX\t2", "O\tO'Brien\tX\t1"}),
              (Labels{"1", "2", "3"}));
    // An unknown surname sorts before every real one of its letter.
    EXPECT_EQ(SortedLabels({"A\tAa\tX\t2", "A\t_\tX\t1"}), (Labels{"1", "2"}));
    // Number is the last tie-break, as text: 10 before 9.
    EXPECT_LT(CompareSortKeys(KeyOf("J\tJansen\tX\t\t\t\t10"), KeyOf("J\tJansen\tX\t\t\t\t9")), 0);
    // Bytes compare unsigned; a prefix is smaller.
    EXPECT_GT(CompareSortKeys("\xC9", "Z"), 0);
    EXPECT_LT(CompareSortKeys("Jan", "Jans"), 0);
    EXPECT_EQ(CompareSortKeys("Jan", "Jan"), 0);
    // The index letter comes first of all.
    EXPECT_LT(CompareSortKeys(KeyOf("A\tZwart\tA"), KeyOf("B\tAa\tA")), 0);
}

TEST(KShtxRegel, SurnameParts) {
    TKShtxRegel regel;
    regel.Surname = "Berg, van den";
    EXPECT_TRUE(regel.HasPrefix());
    EXPECT_EQ(regel.SurnameMain(), "Berg");
    EXPECT_EQ(regel.SurnamePrefix(), "van den");
    regel.Surname = "Berg,van";
    EXPECT_FALSE(regel.HasPrefix());
    EXPECT_EQ(regel.SurnameMain(), "Berg,van");
    EXPECT_EQ(regel.SurnamePrefix(), "");
    regel.Surname = "Berg, ";
    EXPECT_TRUE(regel.HasPrefix());
    EXPECT_EQ(regel.SurnameMain(), "Berg");
    EXPECT_EQ(regel.SurnamePrefix(), "");
    regel.Surname = "Gent, van, de";
    EXPECT_EQ(regel.SurnameMain(), "Gent");
    EXPECT_EQ(regel.SurnamePrefix(), "van, de");
    regel.Surname = "";
    EXPECT_FALSE(regel.HasPrefix());
    EXPECT_EQ(regel.SurnameMain(), "");
}

TEST(KShtxRegel, SameSurnameFoldsOnlyAsciiLetters) {
    TKShtxRegel regel;
    regel.Surname = "jansen";
    EXPECT_TRUE(regel.SameSurname("JANSEN"));
    EXPECT_TRUE(regel.SameSurname("JaNsEn"));
    EXPECT_FALSE(regel.SameSurname("JANSE"));
    EXPECT_FALSE(regel.SameSurname("JANSENS"));
    regel.Surname = "\xE9lie";
    EXPECT_FALSE(regel.SameSurname("\xC9LIE"));
    EXPECT_TRUE(regel.SameSurname("\xE9LIE"));
    regel.Surname = "Berg, van";
    EXPECT_TRUE(regel.SameSurname("BERG, VAN"));
    EXPECT_FALSE(regel.SameSurname("Berg,  van"));
    regel.Surname = "[";
    EXPECT_FALSE(regel.SameSurname("{")); // only letters fold, not the bytes 32 apart
}

TEST(KShtxRegel, AssignCopiesEveryField) {
    TKShtxRegel source;
    source.ParseIndexLine("L\tS\tG\tE\t1\t2\t3\tlink\t4");
    source.Count = 5;
    source.PageNr = 6;
    source.RecordNr = 7;
    TKShtxRegel target;
    target.ParseIndexLine("x\tx\tx\tx\tx\tx\t99\tx\t99");
    target.Assign(source);
    EXPECT_EQ(target.Letter, "L");
    EXPECT_EQ(target.Surname, "S");
    EXPECT_EQ(target.GivenNames, "G");
    EXPECT_EQ(target.Extra, "E");
    EXPECT_EQ(target.Year1, "1");
    EXPECT_EQ(target.Year2, "2");
    EXPECT_EQ(target.Number, 3);
    EXPECT_EQ(target.Link, "link");
    EXPECT_EQ(target.DocIndex, 4);
    EXPECT_EQ(target.Count, 5);
    EXPECT_EQ(target.PageNr, 6);
    EXPECT_EQ(target.RecordNr, 7);
}

// The key's parts are separated by exactly nine tabs (fields hold none) and
// its length follows from the parsed fields.
void ExpectSaneKey(const TKShtxRegel& regel, const std::string& context) {
    const std::string key = regel.SortKey();
    EXPECT_EQ(std::count(key.begin(), key.end(), '\t'), 9) << context;
    // One byte for each letter Windows-1252 holds.
    auto keyLength = [](const std::string& v) {
        return v == "?" ? std::size_t{1} : EstimatedLength(v);
    };
    const std::size_t expected = keyLength(regel.Letter) + 3 * keyLength(regel.Surname) +
                                 3 * keyLength(regel.GivenNames) + EstimatedLength(regel.Year1) +
                                 EstimatedLength(regel.Year2) +
                                 std::to_string(regel.Number).size() + 9;
    EXPECT_EQ(key.size(), expected) << context;
    EXPECT_TRUE(key.ends_with("\t" + std::to_string(regel.Number))) << context;
}

TEST(KShtxRegel, GarbageNeverBreaksParsingOrKeys) {
    std::mt19937 random(20190228);
    const std::string alphabet = std::string("\t\t\t_ -,0123456789aZ\xE9\xFF\r\n") + '\0';
    TKShtxRegel regel;
    for (int round = 0; round < 20000; ++round) {
        std::string line(random() % 120, '\0');
        for (char& c : line) {
            c = random() % 2 ? alphabet[random() % alphabet.size()] : static_cast<char>(random());
        }
        // As the run reads a Windows-1252 document.
        regel.ParseIndexLine(Windows1252ToUtf8(line));
        const auto fields = SplitTabs(line);
        auto field = [&](std::size_t i) {
            return Windows1252ToUtf8(i < fields.size() ? fields[i] : std::string());
        };
        EXPECT_EQ(regel.Extra, field(3));
        EXPECT_EQ(regel.Year1, WithoutControlBytes(field(4)));
        EXPECT_EQ(regel.Year2, WithoutControlBytes(field(5)));
        EXPECT_EQ(regel.Link, field(7));
        for (auto [value, i] :
             {std::pair{&regel.Letter, 0}, {&regel.Surname, 1}, {&regel.GivenNames, 2}}) {
            const std::string raw = field(static_cast<std::size_t>(i));
            EXPECT_EQ(*value, IsUnknownMark(raw) ? "?" : WithoutControlBytes(raw))
                << "round " << round;
        }
        ExpectSaneKey(regel, "round " + std::to_string(round));
        regel.ParseMergedLine(Windows1252ToUtf8(line));
        EXPECT_EQ(regel.Link, field(9));
        if (HasFailure()) break;
    }
}

TEST(KShtxRegel, ControlBytesNeverReachANameOrAYear) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Jan\x1B[31msen\x07\x7F", "Jan[31msen"},   // escape, bell, DEL
        {std::string("A\0\x01\x1F.\x0B", 6), "A."}, // NUL, the other C0 bytes
        {"x\x81\x8D\x8F\x90\x9Dy", "xy"},           // undefined in Windows-1252
        {"\x80\x8A\x8E\x9C\x9F\xA0\xE9", "\x80\x8A\x8E\x9C\x9F\xA0\xE9"}, // defined: kept
        {"\x01_\x02", "?"},                                               // still the unknown mark
    };
    for (const auto& [windows1252, keptWindows1252] : cases) {
        // As the run reads a Windows-1252 document.
        const std::string raw = Windows1252ToUtf8(windows1252);
        const std::string kept = Windows1252ToUtf8(keptWindows1252);
        TKShtxRegel regel;
        EXPECT_FALSE(regel.ParseIndexLine(raw + "\t" + raw + "\t" + raw + "\t" + raw + "\t" + raw +
                                          "\t" + raw + "\t7\t" + raw));
        for (const std::string* name : {&regel.Letter, &regel.Surname, &regel.GivenNames})
            EXPECT_EQ(*name, kept);
        for (const std::string* year : {&regel.Year1, &regel.Year2})
            EXPECT_EQ(*year, kept == "?" ? "_" : kept);
        // Extra only decides duplicates; the link is judged where it is written.
        EXPECT_EQ(regel.Extra, raw);
        EXPECT_EQ(regel.Link, raw);
    }
}

TEST(KShtxRegel, NamesLongerThan255BytesAreCut) {
    const std::string link = "p.htm#" + std::string(300, '1');
    for (const auto& [letter, surname, given, cut] :
         std::vector<std::tuple<std::size_t, std::size_t, std::size_t, bool>>{
             {1, 255, 255, false}, {1, 256, 10, true}, {1, 10, 1000, true}, {300, 10, 10, true}}) {
        TKShtxRegel regel;
        EXPECT_EQ(regel.ParseIndexLine(std::string(letter, 'L') + "\t" + std::string(surname, 'S') +
                                       "\t" + std::string(given, 'G') + "\t\t1850\t\t1\t" + link),
                  cut)
            << letter << " " << surname << " " << given;
        EXPECT_EQ(regel.Letter, std::string(std::min<std::size_t>(letter, 255), 'L'));
        EXPECT_EQ(regel.Surname, std::string(std::min<std::size_t>(surname, 255), 'S'));
        EXPECT_EQ(regel.GivenNames, std::string(std::min<std::size_t>(given, 255), 'G'));
        EXPECT_EQ(regel.Link, link);
    }
    // Control bytes go first: 255 letters with a NUL among them are not cut.
    TKShtxRegel regel;
    EXPECT_FALSE(regel.ParseIndexLine("J\t" + std::string(200, 'a') + std::string(1, '\0') +
                                      std::string(55, 'b') + "\tJan"));
    EXPECT_EQ(regel.Surname.size(), 255u);
}

TEST(KShtxRegel, NulBytesAndHugeLines) {
    const TKShtxRegel withNul = Parsed(std::string("A\0B\tJan\0sen\tX\0", 14));
    EXPECT_EQ(withNul.Letter, "AB");
    EXPECT_EQ(withNul.Surname, "Jansen");
    EXPECT_EQ(withNul.GivenNames, "X");
    ExpectSaneKey(withNul, "NUL bytes");

    const std::string big(10 * 1024 * 1024, '\xE9');
    TKShtxRegel regel;
    EXPECT_TRUE(regel.ParseIndexLine("B\t" + big + "\t_\t\t\t\t" + big));
    EXPECT_EQ(regel.Surname, std::string(255, '\xE9'));
    EXPECT_EQ(regel.GivenNames, "?");
    EXPECT_EQ(regel.Number, 0);
    ExpectSaneKey(regel, "10 MB surname");

    EXPECT_FALSE(regel.ParseIndexLine(std::string(10 * 1024 * 1024, '\t')));
    EXPECT_EQ(regel.Letter, "");
    EXPECT_EQ(regel.Link, "");
    ExpectSaneKey(regel, "10 MB of tabs");
}

// Control characters go and names are cut at whole letters.
TEST(HtxRegel, Utf8NamesDropAndCutWholeLetters) {
    std::string zhang; // kMaxNameBytes times 张
    for (std::size_t i = 0; i < kMaxNameBytes; ++i)
        zhang += "\xE5\xBC\xA0";
    const struct {
        std::string Text, Kept;
        bool Cut;
    } rows[] = {
        {"a\xC2\x85_\x7F\xC2\x9F_", "a__", false},                   // NEL, DEL and APC go
        {"a\xC2\xA0\xE2\x80\x8B_", "a\xC2\xA0\xE2\x80\x8B_", false}, // spaces stay
        {"a\x81_", "a\x81_", false}, // a byte that is no UTF-8 stays
        {std::string(254, 'a') + "\xC5\x81\xC5\x81", std::string(254, 'a') + "\xC5\x81", true},
        {zhang + zhang.substr(0, 45 * 3), zhang, true}, // 300 letters of three bytes
    };
    for (const auto& row : rows) {
        std::string text = row.Text;
        DropControlCharactersUtf8(text);
        EXPECT_EQ(row.Cut, CutNameUtf8(text)) << row.Text;
        EXPECT_EQ(row.Kept, text);
    }
}

} // namespace
} // namespace ks
