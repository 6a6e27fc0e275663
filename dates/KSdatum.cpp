#include "dates/KSdatum.h"

#include "common/KSconvert.h"
#include "common/KSlocal.h"
#include "common/KStextutil.h"

#include <algorithm>

namespace ks {
namespace {

constexpr std::size_t kStoredSize = 10;
constexpr std::size_t kFirstOffset = 1;
constexpr std::size_t kSecondOffset = 5;
constexpr const char* kTypeSection = "Datetype";
constexpr const char* kWordSection = "Datemodi";
constexpr const char* kDate1 = "#date1#";
constexpr const char* kDate2 = "#date2#";
constexpr std::size_t kPlaceholderSize = 7;

// A type code from the language file: a whole number 0 to 255, else none.
bool TypeCode(const std::string& value, int& type) {
    if (value.empty()) return false;
    const int code = StrToIntDef(Trim(value), -1);
    if (code < 0 || code > 255) return false;
    type = code;
    return true;
}

struct TypedText {
    int type = kPlainDate;
    std::string datePart;
};

// Words that name a date type are looked up as "word*" before the date and
// as "*word" after it; the first one found gives the type and is dropped.
TypedText ReadTypeWords(const std::string& text) {
    TypedText result;
    std::string kept;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t blank = text.find(' ', pos);
        const std::size_t end = blank == std::string::npos ? text.size() : blank;
        const std::string word = text.substr(pos, end - pos);
        pos = end;
        while (pos < text.size() && static_cast<unsigned char>(text[pos]) <= ' ')
            ++pos;
        const bool leading = kept.empty() && result.type == kPlainDate;
        int type = kPlainDate;
        if (result.type == kPlainDate &&
            TypeCode(LookupKey(leading ? word + "*" : "*" + word, kWordSection), type)) {
            result.type = type;
            continue;
        }
        if (!kept.empty()) kept += ' ';
        kept += word;
    }
    result.datePart = Trim(kept);
    return result;
}

// "1850-1860", "850-1860" and "850-860" are ranges without words.
bool SplitBareRange(const std::string& part, std::string& first, std::string& second) {
    if (MatchMask(part, "####-####")) {
        first = part.substr(0, 4);
        second = part.substr(5, 4);
    } else if (MatchMask(part, "###-####")) {
        first = part.substr(0, 3);
        second = part.substr(4, 4);
    } else if (MatchMask(part, "###-###")) {
        first = part.substr(0, 3);
        second = part.substr(4, 3);
    } else {
        return false;
    }
    return true;
}

// Splits at the first joining word ("en1", "en2", ... in the language file)
// that occurs between blanks, whatever its case.
bool SplitAtJoiner(const std::string& part, std::string& first, std::string& second) {
    const std::string upper = AsciiUpper(part);
    for (int k = 1;; ++k) {
        const std::string joiner = LookupKey("en" + std::to_string(k), kWordSection);
        if (joiner.empty()) return false;
        const std::string needle = " " + AsciiUpper(joiner) + " ";
        const std::size_t at = upper.find(needle);
        if (at == std::string::npos) continue;
        first = part.substr(0, at);
        second = part.substr(at + needle.size());
        return true;
    }
}

} // namespace

TKSdatum::TKSdatum() : dateData_(kStoredSize, '\0') {}

int TKSdatum::DateType() const {
    return dateData_.empty() ? 0 : static_cast<unsigned char>(dateData_[0]);
}

uint32_t TKSdatum::PackedAt(std::size_t offset) const {
    std::string bytes = offset < dateData_.size() ? dateData_.substr(offset, 4) : std::string();
    bytes.resize(4, '\0'); // missing bytes read as 0
    return static_cast<uint32_t>(ReadLong(bytes));
}

void TKSdatum::StoreAt(std::size_t offset, const TKSdagnummer& date) {
    if (dateData_.size() < kStoredSize) dateData_.resize(kStoredSize, '\0');
    dateData_.replace(offset, 4, PackLong(static_cast<int32_t>(date.Value())));
}

TKSdagnummer& TKSdatum::FirstDate() {
    first_.SetValue(PackedAt(kFirstOffset));
    return first_;
}

TKSdagnummer& TKSdatum::SecondDate() {
    second_.SetValue(PackedAt(kSecondOffset));
    return second_;
}

void TKSdatum::StoreFirstDate(const TKSdagnummer& date) {
    StoreAt(kFirstOffset, date);
}

void TKSdatum::StoreSecondDate(const TKSdagnummer& date) {
    StoreAt(kSecondOffset, date);
}

void TKSdatum::SetType(int type) {
    if (dateData_.size() < kStoredSize) dateData_.resize(kStoredSize, '\0');
    dateData_[0] = static_cast<char>(static_cast<unsigned char>(type));
}

void TKSdatum::StoreParsed(const std::string& first, const std::string& second) {
    first_.ParseDate(first);
    StoreFirstDate(first_);
    second_.ParseDate(second);
    StoreSecondDate(second_);
}

void TKSdatum::SetDateText(const std::string& text) {
    if (text.empty()) return;
    if (static_cast<unsigned char>(text[0]) < 32) { // a stored form
        if (text.size() != kStoredSize) return;
        dateData_ = text;
        FirstDate();
        SecondDate();
        return;
    }
    const std::string trimmed = Trim(text);
    const TypedText typed = ReadTypeWords(trimmed);
    int type = typed.type;
    std::string first = typed.datePart;
    std::string second;
    if (type == kPlainDate && SplitBareRange(typed.datePart, first, second))
        type = kRangeDate;
    else if (type == kRangeDate && !SplitAtJoiner(typed.datePart, first, second))
        type = kTextDate;
    SetType(type);
    switch (type) {
    case kRangeDate:
        StoreParsed(first, second);
        break;
    case kTextDate:
        dateText_ = trimmed;
        StoreParsed("", "");
        break;
    case kKeepDatesType:
        break;
    case kRawTextType:
        dateData_ = trimmed;
        break;
    default:
        StoreParsed(first, "");
        break;
    }
}

std::string TKSdatum::DateForTemplate(bool first, const std::string& format, int calendar) {
    if (first && DateType() == kTextDate) return dateText_;
    return (first ? FirstDate() : SecondDate()).FormatDate(format, calendar);
}

std::string TKSdatum::GetDateText(const std::string& format, int calendar) {
    const std::string pattern = LookupNumbered(DateType(), kTypeSection);
    // One scan over the template: text put in is never searched again, so a
    // text date that holds "#date1#" itself comes out as it is.
    std::string result;
    std::string firstText, secondText;
    bool firstDone = false, secondDone = false;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t at1 = pattern.find(kDate1, pos);
        const std::size_t at2 = pattern.find(kDate2, pos);
        const std::size_t at = std::min(at1, at2);
        if (at == std::string::npos) break;
        const bool isFirst = at == at1;
        std::string& text = isFirst ? firstText : secondText;
        bool& done = isFirst ? firstDone : secondDone;
        if (!done) {
            text = DateForTemplate(isFirst, format, calendar);
            done = true;
        }
        if (text.empty()) return "";
        result.append(pattern, pos, at - pos);
        result += text;
        pos = at + kPlaceholderSize;
    }
    result.append(pattern, pos, std::string::npos);
    return result;
}

} // namespace ks
