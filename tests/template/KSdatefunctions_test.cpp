#include "template/KSdatefunctions.h"

#include "common/KSlocal.h"
#include "dates/KSdatenames.h"
#include "support/TempDir.h"
#include "template/KScompiler.h"

#include <gtest/gtest.h>

#include <ctime>

namespace ks {
namespace {

const char* const kLanguage = "[Datetype]\r\n"
                              "0=#date1#\r\n"
                              "1=before #date1#\r\n"
                              "3=about #date1#\r\n"
                              "4=#date1# - #date2#\r\n"
                              "8=#date1#\r\n"
                              "[Datemodi]\r\n"
                              "bef*=1\r\n"
                              "abt*=3\r\n"
                              "bet*=4\r\n"
                              "en1=and\r\n";

// Date words of a small language of our own, and weekday names, for each test.
class DateFunctions : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteFileBytes(dir_.file("T.LNG"), kLanguage);
        OpenLanguageFiles("", dir_.file("T.LNG"));
        saved_ = DayNameTable();
        const char* longNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                   "Thursday", "Friday", "Saturday"};
        for (int d = 1; d <= 7; ++d) {
            DayNameTable()[0].Names[static_cast<std::size_t>(d)] = longNames[d - 1];
            DayNameTable()[1].Names[static_cast<std::size_t>(d)] =
                std::string(longNames[d - 1]).substr(0, 3);
        }
    }
    void TearDown() override {
        DayNameTable() = saved_;
        CloseLanguageFiles();
    }

    static std::string Eval(const std::string& expression) {
        return EvaluateExpression(expression, 0);
    }

private:
    test::TempDir dir_;
    TDayNameTable saved_;
};

TEST_F(DateFunctions, AgeInWholeYearsOrDays) {
    EXPECT_EQ("49", Eval("AGE(\"10-05-1900\",\"09-05-1950\")"));
    EXPECT_EQ("50", Eval("AGE(\"10-05-1900\",\"10-05-1950\")"));
    EXPECT_EQ("49", Eval("AGE(\"10-05-1900\",\"10-04-1950\")"));
    EXPECT_EQ("", Eval("AGE(\"10-05-1950\",\"10-05-1900\")"));
    EXPECT_EQ("", Eval("AGE(\"10-05-1900\",\"10-05-1900\")"));
    EXPECT_EQ("", Eval("AGE(\"no date\",\"10-05-1900\")"));
    // 50 years of 365 days and the 12 leap days from 1904 to 1948.
    EXPECT_EQ("18262", Eval("AGE(\"10-05-1900\",\"10-05-1950\",4)"));
    // Bit 0: only plain dates with day, month and year count.
    EXPECT_EQ("49", Eval("AGE(\"abt 10-05-1900\",\"09-05-1950\")"));
    EXPECT_EQ("", Eval("AGE(\"abt 10-05-1900\",\"09-05-1950\",1)"));
    EXPECT_EQ("50", Eval("AGE(\"1900\",\"09-05-1950\")"));
    EXPECT_EQ("", Eval("AGE(\"1900\",\"09-05-1950\",1)"));
    // The second date defaults to today, written as DATE writes it.
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    EXPECT_EQ(std::to_string(parts.tm_year + 1900 - 1900), Eval("AGE(\"01-01-1900\")"));
}

TEST_F(DateFunctions, DateWithFormatAndCalendar) {
    EXPECT_EQ("1900", Eval("DATE(\"10-05-1900\",\"#Y4#\")"));
    EXPECT_EQ("10-5-1900", Eval("DATE(\"10-05-1900\",\"#D1#-#M1#-#Y1#\")"));
    // Gregorian 10 May 1900 is Julian 27 April 1900.
    EXPECT_EQ("27-04-1900", Eval("DATE(\"10-05-1900\",\"#D2#-#M2#-#Y4#\",1)"));
    EXPECT_EQ("10-05-1900", Eval("DATE(\"10-05-1900\",\"#D2#-#M2#-#Y4#\",0)"));
    EXPECT_EQ("10-05-1900", Eval("DATE(\"10-05-1900\",\"#D2#-#M2#-#Y4#\",0-1)")); // below 0: own
    EXPECT_EQ("before 1900", Eval("DATE(\"bef 10-05-1900\",\"#Y4#\")"));
    EXPECT_EQ(Eval("DATE(DATE,\"#D2#-#M2#-#Y4#\")"), Eval("DATE"));
}

TEST_F(DateFunctions, YearAsTextAndNumber) {
    EXPECT_EQ("1900", Eval("YEAR$(\"10-05-1900\")"));
    EXPECT_EQ("<1900", Eval("YEAR$(\"bef 10-05-1900\",1)"));
    EXPECT_EQ("\xB1"
              "1850",
              Eval("YEAR$(\"abt 1850\",1)"));
    EXPECT_EQ("1860", Eval("YEAR$(\"bet 1850 and 1860\")")); // a range gives its end
    EXPECT_EQ("-1860", Eval("YEAR$(\"1850-1860\",1)"));
    EXPECT_EQ("", Eval("YEAR$(\"no date\")"));
    EXPECT_EQ("1900", Eval("YEAR(\"10-05-1900\")"));
    EXPECT_EQ("0", Eval("YEAR(\"no date\")"));
    EXPECT_EQ("1901", Eval("YEAR(\"10-05-1900\")+1"));
}

TEST_F(DateFunctions, DayNamesAndNumbers) {
    // 1 January 1900 was a Monday, so 10 May 1900 (129 days later) a Thursday.
    EXPECT_EQ("Thursday", Eval("DAY(\"10-05-1900\")"));
    EXPECT_EQ("Thu", Eval("DAY(\"10-05-1900\",1)"));
    EXPECT_EQ("10", Eval("DAY(\"10-05-1900\",2)"));
    EXPECT_EQ("", Eval("DAY(\"10-05-1900\",3)"));
    EXPECT_EQ("", Eval("DAY(\"1900\")")); // no weekday without a day
}

} // namespace
} // namespace ks
