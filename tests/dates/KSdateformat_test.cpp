#include "dates/KSdateformat.h"

#include "dates/KScalendars.h"
#include "dates/KSdagnummer.h"
#include "dates/KSdatenames.h"

#include <gtest/gtest.h>

#include <string>

namespace ks {
namespace {

std::string Format(const std::string& text, const std::string& format, int calendar = 0) {
    TKSdagnummer date;
    date.ParseDate(text);
    return date.FormatDate(format, calendar);
}

TEST(KSdateformat, Tokens) {
    EXPECT_EQ("12-03-1850", Format("12-03-1850", "#D2#-#M2#-#Y4#"));
    EXPECT_EQ("2.3.1850", Format("02-03-1850", "#D1#.#M1#.#Y1#"));
    EXPECT_EQ("02/03/1850", Format("02-03-1850", "#d2#/#m2#/#y4#"));
    EXPECT_EQ("MDCCCL", Format("1850", "#YR#"));
    EXPECT_EQ("0123", Format("123", "#Y4#"));
    EXPECT_EQ("2345", Format("01-01-2345", "#Y4#"));
    TKSdagnummer last; // the last day number: Julian year 41221, four digits shown
    last.SetCalendar(kJulian);
    last.SetDayNumber(16777215);
    EXPECT_EQ("1221", last.FormatDate("#Y4#", 0));
    EXPECT_EQ("1850", Format("12-03-1850", "#XX##Y1#")); // unknown tokens give nothing
}

TEST(KSdateformat, LiteralsOnlySeparateProducedParts) {
    EXPECT_EQ("1850", Format("1850", "#D1#-#M2#-#Y4#"));
    EXPECT_EQ("03-1850", Format("3 1850", "#D1#-#M2#-#Y4#"));
    EXPECT_EQ("12-03-1850", Format("12-03-1850", "on #D2#-#M2#-#Y4#"));
    EXPECT_EQ("12", Format("12-03-1850", "#D1# after"));
    EXPECT_EQ("1850", Format("12-03-1850", "#Y1")); // an unclosed token still counts
    EXPECT_EQ("", Format("12-03-1850", "no tokens"));
}

TEST(KSdateformat, Eras) {
    EXPECT_EQ("5 BC", Format("5 BC", "#Y1# #CC#"));
    EXPECT_EQ("0005 BC", Format("5 BC", "#Y4# #CC#"));
    EXPECT_EQ("V BC", Format("5 BC", "#YR# #CC#"));
    EXPECT_EQ("1850 AD", Format("1850 AD", "#Y1# #CC#"));
    EXPECT_EQ("1850", Format("1850", "#Y1# #CC#")); // the Gregorian calendar has no era text
    EXPECT_EQ("1 1 1420 AH", Format("01-01-1420 AH", "#D1# #M1# #Y1# #CC#"));
}

TEST(KSdateformat, NameTokensReadTheEmptyTables) {
    // 12 March 1850 was a Tuesday; the names are empty but still separate.
    EXPECT_EQ("12  1850", Format("12-03-1850", "#D1# #M4# #Y1#"));
    EXPECT_EQ("12  1850", Format("12-03-1850", "#D1# #M3# #Y1#"));
    EXPECT_EQ("03//1850", Format("12-03-1850", "#M2#/#W1#/#Y1#"));
    EXPECT_EQ("03//1850", Format("12-03-1850", "#M2#/#W2#/#Y1#"));
    EXPECT_EQ("03/1850", Format("3 1850", "#M2#/#W1#/#Y1#")); // no weekday without a day

    TDayNames& names = DayNameTable()[1];
    const TDayNames saved = names;
    names.Names[3] = "dinsdag";
    EXPECT_EQ("dinsdag 12", Format("12-03-1850", "#W1# #D1#"));
    EXPECT_EQ("12", Format("12-03-1850", "#W2# #D1#"));
    names = saved;
}

TEST(KSdateformat, OtherCalendars) {
    // 1 January 2000: 19 December 1999 Julian, 23 Tevet 5760, and 25 Ramadan
    // 1420 in the tabular Islamic calendar counted from Thursday 15 July 622
    // (24 Ramadan from the Friday epoch that is often quoted).
    EXPECT_EQ("19-12-1999", Format("01-01-2000", "#D2#-#M2#-#Y1#", kJulian));
    EXPECT_EQ("23-4-5760 AM", Format("01-01-2000", "#D1#-#M1#-#Y1# #CC#", kHebrew));
    EXPECT_EQ("25-9-1420 AH", Format("01-01-2000", "#D1#-#M1#-#Y1# #CC#", kIslamic));
    // 9 November 1799 was 18 Brumaire VIII.
    EXPECT_EQ("18-2-8 FR", Format("09-11-1799", "#D1#-#M1#-#Y1# #CC#", kFrenchRepublican));
    EXPECT_EQ("30-2-1712 SE", Format("29-02-1712 AD", "#D1#-#M1#-#Y1# #CC#", kSwedish));
    // Calendar 0 and numbers above 15 mean the date's own calendar.
    EXPECT_EQ("12-03-1850", Format("12-03-1850", "#D2#-#M2#-#Y4#", 16));
}

TEST(KSdateformat, NothingOutsideACalendarsPeriod) {
    EXPECT_EQ("", Format("01-01-1500", "#Y1#", kGregorian));
    EXPECT_EQ("", Format("04-10-1582", "#Y1#", kGregorian)); // the day before the first
    EXPECT_EQ("1582", Format("15-10-1582", "#Y1#", kGregorian));
    EXPECT_EQ("14", Format("01-01-1806", "#Y1#", kFrenchRepublican));
    EXPECT_EQ("", Format("02-01-1806", "#Y1#", kFrenchRepublican));
    EXPECT_EQ("14", Format("31-12-1805", "#Y1#", kFrenchRepublican));
    EXPECT_EQ("", Format("01-01-622 AD", "#Y1#", kIslamic));
    EXPECT_EQ("", Format("01-03-1712 AD", "#Y1#", kSwedish));
}

TEST(KSdateformat, NothingToWrite) {
    EXPECT_EQ("", Format("", "#Y1#"));
    EXPECT_EQ("", Format("31-02-1850", "#Y1#"));
    EXPECT_EQ("", Format("12-03-1850", ""));        // no default output format here
    EXPECT_EQ("", Format("0", "#Y1#"));             // the year is unknown
    EXPECT_EQ("", Format("12-03-1850", "#Y1#", 7)); // a calendar without parameters
    EXPECT_EQ("", Format("12-03-1850", "#Y1#", -1));
    TKSdagnummer noCalendar;
    noCalendar.SetDayNumber(2451545);
    EXPECT_EQ("", noCalendar.FormatDate("#Y1#", 0));
    EXPECT_EQ("2000", noCalendar.FormatDate("#Y1#", kGregorian));
}

} // namespace
} // namespace ks
