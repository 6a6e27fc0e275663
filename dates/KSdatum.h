// TKSdatum: a genealogical date as entered: a plain date, a date with a word
// (about, before, after, ...), a range of two dates, or free text. Its stored
// form is ten bytes: the type code, then the packed first and second dates
// (four bytes each, least significant first), then one unused byte. The
// words, the range joiners and the text template of every type come from the
// language file's sections "Datemodi" and "Datetype".
#pragma once

#include "dates/KSdagnummer.h"

#include <string>

namespace ks {

constexpr int kPlainDate = 0;
constexpr int kRangeDate = 4;
constexpr int kTextDate = 8;
constexpr int kKeepDatesType = 33; // sets only the type; the dates stay
constexpr int kRawTextType = 255;  // the text itself becomes the stored form

class TKSdatum {
public:
    TKSdatum();

    int DateType() const;
    // The first and second dates, loaded from the stored form.
    TKSdagnummer& FirstDate();
    TKSdagnummer& SecondDate();
    void StoreFirstDate(const TKSdagnummer& date);
    void StoreSecondDate(const TKSdagnummer& date);

    // Reads date text in the language file's grammar, or a stored form
    // (ten bytes beginning with a control byte). Empty text changes nothing.
    void SetDateText(const std::string& text);
    // The date through its type's template, with the dates written in format
    // and calendar; empty when the template needs a date that writes as empty.
    std::string GetDateText(const std::string& format, int calendar);

    const std::string& DateData() const { return dateData_; }
    const std::string& DateText() const { return dateText_; }

private:
    uint32_t PackedAt(std::size_t offset) const;
    void StoreAt(std::size_t offset, const TKSdagnummer& date);
    void SetType(int type);
    void StoreParsed(const std::string& first, const std::string& second);
    std::string DateForTemplate(bool first, const std::string& format, int calendar);

    std::string dateData_;
    std::string dateText_;
    TKSdagnummer first_;
    TKSdagnummer second_;
};

} // namespace ks
