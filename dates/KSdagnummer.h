// TKSdagnummer: one genealogical date as a packed 32-bit value. Bits 0-23 hold
// the day number (0 = no date), bits 24-27 the calendar it was written in,
// bits 28, 29 and 30 say that the day, the month or the year was not given;
// bit 31 is always 0. The same value is what a stored date keeps.
#pragma once

#include <cstdint>
#include <string>

namespace ks {

constexpr int32_t kMaxDayNumber = 16777215; // the largest day number in 24 bits

class TKSdagnummer {
public:
    TKSdagnummer() = default;

    void Clear() { value_ = 0; }
    uint32_t Value() const { return value_; }
    void SetValue(uint32_t value) { value_ = value & 0x7FFFFFFFu; }

    int32_t DayNumber() const { return static_cast<int32_t>(value_ & kDayBits); }
    // A day number that does not fit in 24 bits is stored as 0 (no date).
    void SetDayNumber(int64_t dayNumber);
    int Calendar() const { return static_cast<int>((value_ >> 24) & 0x0Fu); }
    // A calendar number outside 0 to 15 is stored as 0.
    void SetCalendar(int calendar);

    bool DayUnknown() const { return Flag(kDayUnknown); }
    bool MonthUnknown() const { return Flag(kMonthUnknown); }
    bool YearUnknown() const { return Flag(kYearUnknown); }
    void SetDayUnknown(bool on) { SetFlag(kDayUnknown, on); }
    void SetMonthUnknown(bool on) { SetFlag(kMonthUnknown, on); }
    void SetYearUnknown(bool on) { SetFlag(kYearUnknown, on); }

    // A day number is set and day, month and year are all known.
    bool WeekdayKnown() const;

    // Day, month and year in a calendar (0 or above 15: the value's own);
    // returns year * 10000 + month * 100 + day without the unknown parts, and
    // 0 (all parts 0) for no date, an unknown year or a calendar without rows.
    int32_t ToParts(int calendar, int32_t& day, int32_t& month, int32_t& year) const;

    // The date written with format tokens (#D1#, #M2#, #Y4#, ...) in a
    // calendar (0 or above 15: the value's own); empty when the date lies
    // outside the calendar's period or has no parts to show.
    std::string FormatDate(const std::string& format, int calendar) const;

    // Replaces the value with the reading of one date text; 0 when the text
    // is no date.
    void ParseDate(const std::string& text);

private:
    static constexpr uint32_t kDayBits = 0x00FFFFFFu;
    static constexpr uint32_t kDayUnknown = 1u << 28;
    static constexpr uint32_t kMonthUnknown = 1u << 29;
    static constexpr uint32_t kYearUnknown = 1u << 30;

    bool Flag(uint32_t bit) const { return (value_ & bit) != 0; }
    void SetFlag(uint32_t bit, bool on) { value_ = on ? (value_ | bit) : (value_ & ~bit); }

    uint32_t value_ = 0;
};

} // namespace ks
