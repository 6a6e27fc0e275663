#include "dates/KSdatum.h"

#include "common/KSlocal.h"
#include "dates/KScalendars.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace ks {
namespace {

constexpr const char* kFormat = "#D2#-#M2#-#Y4#";

// Opens a language file for the test and closes it afterwards.
class LanguageFile {
public:
    explicit LanguageFile(const std::string& path) { OpenLanguageFiles("", path); }
    ~LanguageFile() { CloseLanguageFiles(); }
};

// A small grammar of our own, so that the mechanism is tested apart from the
// shipped vocabularies.
const char* const kTestLanguage = "[Datetype]\r\n"
                                  "0=#date1#\r\n"
                                  "1=before #date1#\r\n"
                                  "3=about #date1#\r\n"
                                  "4=#date1# until #date2#\r\n"
                                  "8=#date1#\r\n"
                                  "12=#date1# or #date1#\r\n"
                                  "[Datemodi]\r\n"
                                  "bef*=1\r\n"
                                  "abt*=3\r\n"
                                  "*q=3\r\n"
                                  "btw*=4\r\n"
                                  "twice*=12\r\n"
                                  "bogus*=x\r\n"
                                  "huge*=300\r\n"
                                  "keep*=33\r\n"
                                  "raw*=255\r\n"
                                  "txt*=8\r\n"
                                  "en1=and\r\n"
                                  "en2=to\r\n";

class KSdatumTest : public ::testing::Test {
protected:
    KSdatumTest() : language_(WriteLanguage()) {}

    std::string WriteLanguage() {
        const std::string path = dir_.file("KS-XX.LNG");
        test::WriteFileBytes(path, kTestLanguage);
        return path;
    }

    static std::string Written(const std::string& text) {
        TKSdatum date;
        date.SetDateText(text);
        return date.GetDateText(kFormat, 0);
    }

    static int TypeOf(const std::string& text) {
        TKSdatum date;
        date.SetDateText(text);
        return date.DateType();
    }

    test::TempDir dir_;
    LanguageFile language_;
};

TEST(KSdatum, NewDate) {
    TKSdatum date;
    EXPECT_EQ(std::string(10, '\0'), date.DateData());
    EXPECT_EQ(0, date.DateType());
    EXPECT_EQ("", date.DateText());
    EXPECT_EQ(0u, date.FirstDate().Value());
    EXPECT_EQ(0u, date.SecondDate().Value());
}

TEST_F(KSdatumTest, StoredFormIsLittleEndian) {
    TKSdatum date;
    date.SetDateText("12-03-1850");
    // 12 March 1850 is day 2396829 = 0x24929D, Gregorian (calendar 2).
    const std::string expected("\x00\x9D\x92\x24\x02\x00\x00\x00\x00\x00", 10);
    EXPECT_EQ(expected, date.DateData());
    EXPECT_EQ(2396829, date.FirstDate().DayNumber());

    TKSdatum range;
    range.SetDateText("1850-1860");
    const std::string& data = range.DateData();
    ASSERT_EQ(10u, data.size());
    EXPECT_EQ(4, data[0]);
    EXPECT_EQ(0x32, static_cast<unsigned char>(data[8])); // Gregorian, day and month unknown
    EXPECT_EQ(0, data[9]);
}

TEST_F(KSdatumTest, StoredFormIsTakenBack) {
    TKSdatum original;
    original.SetDateText("btw 12-03-1850 and 1855");
    TKSdatum copy;
    copy.SetDateText(original.DateData());
    EXPECT_EQ(original.DateData(), copy.DateData());
    EXPECT_EQ("12-03-1850 until 1855", copy.GetDateText(kFormat, 0));

    // Control bytes of another length are no stored form and change nothing.
    copy.SetDateText(std::string("\x04\x01\x02", 3));
    copy.SetDateText("");
    EXPECT_EQ(original.DateData(), copy.DateData());
}

TEST_F(KSdatumTest, TypeWords) {
    EXPECT_EQ("12-03-1850", Written("12-03-1850"));
    EXPECT_EQ("before 1850", Written("bef 1850"));
    EXPECT_EQ("before 1850", Written("  BEF   1850 "));
    EXPECT_EQ("about 03-1850", Written("abt 3 1850"));
    EXPECT_EQ("about 1850", Written("1850 q")); // a word after the date
    EXPECT_EQ(kPlainDate, TypeOf("q 1850"));    // "q" before the date is no type word
    EXPECT_EQ(1, TypeOf("bef abt 1850"));       // only the first type word counts
    EXPECT_EQ("", Written("bef abt 1850"));     // ... the second stays in the date
    EXPECT_EQ("1850 or 1850", Written("twice 1850"));
}

TEST_F(KSdatumTest, FaultyTypeCodesAreNoTypeWords) {
    EXPECT_EQ(0, TypeOf("bogus 1850"));
    EXPECT_EQ(0, TypeOf("huge 1850"));
    EXPECT_EQ("", Written("bogus 1850"));
}

TEST_F(KSdatumTest, Ranges) {
    EXPECT_EQ("1850 until 1860", Written("1850-1860"));
    EXPECT_EQ("0850 until 1860", Written("850-1860"));
    EXPECT_EQ("0850 until 0860", Written("850-860"));
    EXPECT_EQ("12-03-1850 until 1855", Written("btw 12-03-1850 and 1855"));
    EXPECT_EQ("1850 until 1855", Written("BTW 1850 AnD 1855"));
    EXPECT_EQ("1850 until 1855", Written("btw 1850 to 1855"));
    EXPECT_EQ(kPlainDate, TypeOf("12-03-1850"));
    EXPECT_EQ(kPlainDate, TypeOf("18500-1860"));
    // A range whose second end is no date writes as nothing.
    EXPECT_EQ("", Written("btw 1850 and later"));
}

TEST_F(KSdatumTest, RangeWithoutJoiningWordBecomesText) {
    TKSdatum date;
    date.SetDateText("  btw 1850 or 1855 ");
    EXPECT_EQ(kTextDate, date.DateType());
    EXPECT_EQ("btw 1850 or 1855", date.DateText());
    EXPECT_EQ(0u, date.FirstDate().Value());
    EXPECT_EQ(0u, date.SecondDate().Value());
    EXPECT_EQ("btw 1850 or 1855", date.GetDateText(kFormat, 0));
}

TEST_F(KSdatumTest, TextDateHoldingPlaceholders) {
    TKSdatum date;
    date.SetDateText("txt see #date1# and #date2#");
    EXPECT_EQ(kTextDate, date.DateType());
    EXPECT_EQ("txt see #date1# and #date2#", date.GetDateText(kFormat, 0));
}

TEST_F(KSdatumTest, EmptyPartsEmptyTheWholeText) {
    EXPECT_EQ("", Written("bef 31-02-1850"));
    EXPECT_EQ("", Written("abt nothing"));
    TKSdatum date;
    date.SetDateText("bef 1850");
    EXPECT_EQ("", date.GetDateText("", 0));                // no format
    EXPECT_EQ("", date.GetDateText(kFormat, kHebrew + 1)); // calendar without parameters
    EXPECT_EQ("before 1850", date.GetDateText("#Y1#", 0));
}

TEST_F(KSdatumTest, SpecialTypes) {
    TKSdatum date;
    date.SetDateText("12-03-1850");
    const uint32_t first = date.FirstDate().Value();
    date.SetDateText("keep 1900");
    EXPECT_EQ(kKeepDatesType, date.DateType());
    EXPECT_EQ(first, date.FirstDate().Value());

    date.SetDateText(" raw abc ");
    EXPECT_EQ("raw abc", date.DateData());
    EXPECT_EQ('r', date.DateType());
    date.FirstDate();                            // reads what is there, never past the end
    EXPECT_EQ("", date.GetDateText(kFormat, 0)); // no template for that type

    TKSdatum shortData;
    shortData.SetDateText("raw");
    EXPECT_EQ(0u, shortData.SecondDate().Value());
    shortData.StoreSecondDate(date.FirstDate());
    EXPECT_EQ(10u, shortData.DateData().size());
}

TEST_F(KSdatumTest, AnyTextIsSafe) {
    const std::string texts[] = {
        " ",
        "\t\t",
        std::string("\x1f", 1),
        std::string(10, '\x01'),
        "btw and",
        "btw  and 1850",
        "bef",
        "1850 -",
        "-1850",
        "31-02-1850",
        "99999-99999",
        "1850-1860 q",
        std::string(20000, 'x'),
        std::string(5000, ' ') + "bef" + std::string(5000, ' ') + "1850",
        [] {
            std::string words;
            for (int i = 0; i < 3000; ++i)
                words += "btw 1850 and ";
            return words;
        }(),
    };
    for (const std::string& text : texts) {
        TKSdatum date;
        date.SetDateText(text);
        EXPECT_LE(date.FirstDate().Value(), 0x7FFFFFFFu);
        EXPECT_LE(date.FirstDate().DayNumber(), 16777215);
        date.GetDateText(kFormat, 0);
    }
    EXPECT_EQ("1850", Written(std::string(5000, ' ') + "1850" + std::string(5000, ' ')));
    EXPECT_EQ("before 1850", Written(std::string(5000, ' ') + "bef   \t 1850"));
}

// The shipped vocabularies.
std::string Shipped(const char* language, const std::string& text) {
    LanguageFile file(std::string(KS_TEST_DIST_DIR) + "KS-" + language + ".LNG");
    TKSdatum date;
    date.SetDateText(text);
    return date.GetDateText(kFormat, 0);
}

TEST(KSdatumShipped, Dutch) {
    EXPECT_EQ("12-03-1850", Shipped("NL", "12-03-1850"));
    EXPECT_EQ("ca. 1850", Shipped("NL", "ca. 1850"));
    EXPECT_EQ("ca. 1850", Shipped("NL", "ca 1850"));
    EXPECT_EQ("ca. 1850", Shipped("NL", "omstreeks 1850"));
    EXPECT_EQ("ca. 03-1850", Shipped("NL", "\xB1 3 1850"));
    EXPECT_EQ("voor 12-03-1901", Shipped("NL", "voor 12-03-1901"));
    EXPECT_EQ("voor 1901", Shipped("NL", "v\xF3\xF3r 1901"));
    EXPECT_EQ("na 1850", Shipped("NL", "na 1850"));
    EXPECT_EQ("1850 - 1855", Shipped("NL", "tussen 1850 en 1855"));
    EXPECT_EQ("1850 - 1855", Shipped("NL", "van 1850 tot 1855"));
    EXPECT_EQ("1850 - 1860", Shipped("NL", "1850-1860"));
    EXPECT_EQ("geschat 1850", Shipped("NL", "geschat 1850"));
    EXPECT_EQ("geschat 1850", Shipped("NL", "1850 ?"));
    EXPECT_EQ("berekend 1850", Shipped("NL", "berekend 1850"));
    EXPECT_EQ("tussen 1850 of 1855", Shipped("NL", "tussen 1850 of 1855"));
}

TEST(KSdatumShipped, English) {
    EXPECT_EQ("12-03-1850", Shipped("GB", "12-03-1850"));
    EXPECT_EQ("about 1850", Shipped("GB", "abt 1850"));
    EXPECT_EQ("about 1850", Shipped("GB", "Abt. 1850"));
    EXPECT_EQ("about 1850", Shipped("GB", "circa 1850"));
    EXPECT_EQ("before 12-03-1901", Shipped("GB", "bef. 12-03-1901"));
    EXPECT_EQ("after 1850", Shipped("GB", "after 1850"));
    EXPECT_EQ("1850 - 1855", Shipped("GB", "between 1850 and 1855"));
    EXPECT_EQ("1850 - 1855", Shipped("GB", "from 1850 to 1855"));
    EXPECT_EQ("1850 - 1855", Shipped("GB", "BET 1850 AND 1855"));
    EXPECT_EQ("est. 1850", Shipped("GB", "est. 1850"));
    EXPECT_EQ("calc. 1850", Shipped("GB", "calculated 1850"));
}

} // namespace
} // namespace ks
