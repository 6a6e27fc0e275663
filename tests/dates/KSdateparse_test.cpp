#include "dates/KSdateparse.h"

#include "dates/KScalendars.h"
#include "dates/KSdagnummer.h"
#include "dates/KSdatenames.h"
#include "dates/KSdatesettings.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace ks {
namespace {

TKSdagnummer Parse(const std::string& text) {
    TKSdagnummer date;
    date.SetValue(0x12345678u); // ParseDate replaces whatever was there
    date.ParseDate(text);
    return date;
}

// Day number, calendar and the three flags (day, month, year unknown).
void ExpectDate(const std::string& text, int32_t dayNumber, int calendar, bool dayUnknown,
                bool monthUnknown, bool yearUnknown) {
    const TKSdagnummer date = Parse(text);
    EXPECT_EQ(dayNumber, date.DayNumber()) << text;
    EXPECT_EQ(calendar, date.Calendar()) << text;
    EXPECT_EQ(dayUnknown, date.DayUnknown()) << text;
    EXPECT_EQ(monthUnknown, date.MonthUnknown()) << text;
    EXPECT_EQ(yearUnknown, date.YearUnknown()) << text;
}

void ExpectNoDate(const std::string& text) {
    EXPECT_EQ(0u, Parse(text).Value()) << "[" << text << "]";
}

// Gregorian day numbers counted from 1 January 2000 (2451545).
constexpr int32_t k12March1850 = 2451545 - 54716;  // 2396829
constexpr int32_t k1January1850 = 2451545 - 54786; // 2396759

class HostSettingsGuard {
public:
    HostSettingsGuard() : saved_(HostDateSettings()) {}
    ~HostSettingsGuard() { HostDateSettings() = saved_; }

private:
    THostDateSettings saved_;
};

TEST(KSdateparse, DefaultsOfTheHost) {
    const THostDateSettings defaults;
    EXPECT_EQ("##-##-####", defaults.InputMask);
    EXPECT_EQ(1, defaults.DayPosition);
    EXPECT_EQ(4, defaults.MonthPosition);
    EXPECT_EQ(7, defaults.YearPosition);
    EXPECT_EQ("", defaults.OutputFormat);
}

TEST(KSdateparse, MaskAndDigits) {
    ExpectDate("12-03-1850", k12March1850, kGregorian, false, false, false);
    ExpectDate("  12-03-1850 ", k12March1850, kGregorian, false, false, false);
    ExpectDate("12031850", k12March1850, kGregorian, false, false, false);
    // Padded to 00001850 and read as 00-00-1850.
    ExpectDate("1850", k1January1850, kGregorian, true, true, false);
    ExpectDate("031850", k1January1850 + 59, kGregorian, true, false, false);
    // Longer runs are cut to their first eight digits.
    ExpectDate("1203185099", k12March1850, kGregorian, false, false, false);
    // No year at all: year 1 with the year unknown.
    ExpectDate("0", DateToDayNumber(kJulian, 1, 1, 1), kJulian, true, true, true);
}

TEST(KSdateparse, PartByPart) {
    ExpectDate("12 3 1850", k12March1850, kGregorian, false, false, false);
    ExpectDate("12.3.1850", k12March1850, kGregorian, false, false, false);
    ExpectDate("12/03/1850", k12March1850, kGregorian, false, false, false);
    ExpectDate("12 - 3 - 1850", k12March1850, kGregorian, false, false, false);
    ExpectDate("3 1850", k1January1850 + 59, kGregorian, true, false, false);
    ExpectDate("MDCCCL", k1January1850, kGregorian, true, true, false);
    ExpectDate("12 3 MDCCCL", k12March1850, kGregorian, false, false, false);
}

TEST(KSdateparse, YearFirstHost) {
    HostSettingsGuard guard;
    HostDateSettings().InputMask = "####-##-##";
    HostDateSettings().YearPosition = 1;
    HostDateSettings().MonthPosition = 6;
    HostDateSettings().DayPosition = 9;
    ExpectDate("1850 3 12", k12March1850, kGregorian, false, false, false);
    ExpectDate("1850-03-12", k12March1850, kGregorian, false, false, false);
    // Digits are padded on the right: 1850 becomes 18500000.
    ExpectDate("1850", k1January1850, kGregorian, true, true, false);
}

TEST(KSdateparse, CalendarFromTheDateOrTheEraWord) {
    ExpectDate("15-10-1582", 2299161, kGregorian, false, false, false);
    ExpectDate("14-10-1582", 2299170, kJulian, false, false, false);
    ExpectDate("04-10-1582", 2299160, kJulian, false, false, false);
    ExpectDate("1582", DateToDayNumber(kJulian, 1582, 1, 1), kJulian, true, true, false);
    // "AD" is the Julian era word, so it chooses the Julian calendar.
    ExpectDate("12-03-1850 AD", k12March1850 + 12, kJulian, false, false, false);
    ExpectDate("5 BC", DateToDayNumber(kJulian, -4, 1, 1), kJulian, true, true, false);
    ExpectDate("1 1 4713 BC", 0, kJulian, false, false, false);
    ExpectDate("01-01-0001 AH", 1948439, kIslamic, false, false, false);
    ExpectDate("01-01-5760 AM", 2451433, kHebrew, false, false, false);
    ExpectDate("30-02-1712 SE", 2346425, kSwedish, false, false, false);
    ExpectDate("22-09-1792 FR", DateToDayNumber(kFrenchRepublican, 1792, 9, 22), kFrenchRepublican,
               false, false, false);
    // Era words are case-sensitive and must be the last word.
    ExpectNoDate("5 bc");
    ExpectNoDate("BC 5");
}

TEST(KSdateparse, DaysTheCalendarDoesNotHave) {
    ExpectNoDate("31-02-1850");
    ExpectNoDate("29-02-1900");
    ExpectNoDate("00-13-1850");
    ExpectNoDate("32 1 1850");
    ExpectNoDate("29-02-1700 SE"); // Sweden left out this leap day
    ExpectNoDate("30-02-1713 SE");
    ExpectNoDate("30-13-1850 AM"); // month 13 in a common Hebrew year
    ExpectDate("29-02-1900 AD", DateToDayNumber(kJulian, 1900, 2, 29), kJulian, false, false,
               false);
    ExpectDate("29-02-2000", 2451545 + 59, kGregorian, false, false, false);
}

TEST(KSdateparse, FaultyText) {
    ExpectNoDate("");
    ExpectNoDate("abc");
    ExpectNoDate("3 18500");          // five digits in a part
    ExpectNoDate("12 maart 1850");    // no month names are known
    ExpectNoDate("1 2 3 4");          // more numbers than a date has
    ExpectNoDate("1 2 3 4 5");        // more than four parts
    ExpectNoDate("MDCCCL 12 MDCCCL"); // a second year
    ExpectNoDate("\x01\x02\x03");
    ExpectNoDate(std::string(100000, '7') + " x");
    ExpectNoDate("   ");
    ExpectNoDate("AD"); // nothing but an era word
    // A year above 6000 has no day number, but the calendar and flags stay.
    ExpectDate("18500", 0, kGregorian, true, false, false);
    ExpectDate("99999999999999999999", 0, kGregorian, false, false, false);
    ExpectDate(std::string(100000, '9'), 0, kGregorian, false, false, false);
    ExpectDate("12-03-6001", 0, kGregorian, false, false, false);
    ExpectDate(std::string(100000, 'M'), 0, kGregorian, true, true, false);
}

TEST(KSdateparse, AnyTextGivesAValidPackedValue) {
    const std::string alphabet = "0123456789 -./MDCLXVIabBCADHSEFRAM\x01\x7f\xe9#";
    std::mt19937 random(12345);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 24);
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        for (int n = length(random); n > 0; --n)
            text += alphabet[pick(random)];
        const TKSdagnummer date = Parse(text);
        ASSERT_LE(date.Value(), 0x7FFFFFFFu) << text;
        if (date.DayNumber() != 0) {
            ASSERT_TRUE(HasCalendar(date.Calendar())) << text;
        }
    }
}

TEST(KSdateparse, MonthNamesWhenAHostProvidesThem) {
    TMonthNames& set = MonthNameTable()[3];
    const TMonthNames saved = set;
    set.Calendar = kGregorian;
    set.Count = 12;
    set.Names[3] = "maart";
    set.Names[10] = "oktober";
    ExpectDate("12 maart 1850", k12March1850, kGregorian, false, false, false);
    ExpectDate("MAART 1850", k1January1850 + 59, kGregorian, true, false, false);
    ExpectNoDate("12 maart oktober 1850");
    ExpectNoDate("12 maart 1850 AD"); // the names belong to another calendar
    set = saved;
    ExpectNoDate("12 maart 1850");
}

} // namespace
} // namespace ks
