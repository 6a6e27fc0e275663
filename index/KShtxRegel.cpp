#include "index/KShtxRegel.h"

#include "common/KSconvert.h"
#include "common/KSkeyText.h"
#include "common/KStextutil.h"
#include "common/KSutf8.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace ks {

namespace {

constexpr char kTab = '\t';
constexpr std::string_view kPrefixSeparator = ", ";

// Hands out the tab-separated fields of a line one by one; once the line is
// used up every further field is empty.
class FieldReader {
public:
    explicit FieldReader(std::string_view line) : rest_(line) {}

    std::string_view Next() {
        const std::size_t tab = rest_.find(kTab);
        if (tab == std::string_view::npos) {
            const std::string_view field = rest_;
            rest_ = {};
            return field;
        }
        const std::string_view field = rest_.substr(0, tab);
        rest_.remove_prefix(tab + 1);
        return field;
    }

private:
    std::string_view rest_;
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A whole number in a field, 0 when it is none. Plain digit runs (nearly
// every field) are converted here; anything else goes the general way.
int32_t WholeNumber(std::string_view field) {
    if (field.empty()) return 0;
    if (field.size() <= 9) {
        int32_t value = 0;
        bool digits = true;
        for (char c : field) {
            if (!IsDigit(c)) {
                digits = false;
                break;
            }
            value = value * 10 + (c - '0');
        }
        if (digits) return value;
    }
    return StrToIntDef(std::string(field), 0);
}

struct ControlByteTable {
    bool drop[256] = {};
    constexpr ControlByteTable() {
        for (int b = 0; b < 32; ++b)
            drop[b] = true;
        for (int b : {127, 0x81, 0x8D, 0x8F, 0x90, 0x9D})
            drop[b] = true;
    }
};
constexpr ControlByteTable kControlBytes;

bool IsControlByte(char c) {
    return kControlBytes.drop[static_cast<unsigned char>(c)];
}

// "_" with blanks (and control bytes) around it stands for an unknown value.
bool IsUnknownMark(std::string_view field) {
    std::size_t first = 0;
    std::size_t last = field.size();
    while (first < last && static_cast<unsigned char>(field[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(field[last - 1]) <= ' ')
        --last;
    return last - first == 1 && field[first] == '_';
}

// True when the name was cut.
bool AssignNameField(std::string& target, std::string_view field) {
    if (IsUnknownMark(field)) {
        target = "?";
        return false;
    }
    target.assign(field);
    DropControlCharactersUtf8(target);
    return CutNameUtf8(target);
}

// In a sort key an unknown value "?" is written as "_".
std::string_view KeyForm(const std::string& value) {
    return value == "?" ? std::string_view("_") : std::string_view(value);
}

} // namespace

void DropControlBytes(std::string& text) {
    // Nearly every text holds none: only then is it rewritten.
    const auto isControl = [](char c) { return IsControlByte(c); };
    auto first = std::find_if(text.begin(), text.end(), isControl);
    if (first != text.end()) text.erase(std::remove_if(first, text.end(), isControl), text.end());
}

void DropControlCharactersUtf8(std::string& utf8) {
    // The control characters are the bytes 0-31 and 127, and C2 80 to C2 9F.
    // Nearly every text holds none: only then is it rewritten.
    static constexpr struct MayBeControl {
        bool at[256] = {};
        constexpr MayBeControl() {
            for (int b = 0; b < 0x20; ++b)
                at[b] = true;
            at[0x7F] = at[0xC2] = true;
        }
    } kMayBe;
    if (std::none_of(utf8.begin(), utf8.end(),
                     [](char c) { return kMayBe.at[static_cast<unsigned char>(c)]; }))
        return;
    const auto control = [&utf8](std::size_t pos) {
        const auto b = static_cast<unsigned char>(utf8[pos]);
        if (b < 0x20 || b == 0x7F) return std::size_t{1};
        const bool c1 = b == 0xC2 && pos + 1 < utf8.size() &&
                        static_cast<unsigned char>(utf8[pos + 1]) >= 0x80 &&
                        static_cast<unsigned char>(utf8[pos + 1]) <= 0x9F;
        return c1 ? std::size_t{2} : std::size_t{0};
    };
    std::size_t write = 0;
    for (std::size_t read = 0; read < utf8.size();) {
        const std::size_t drop = control(read);
        if (drop > 0) {
            read += drop;
        } else {
            utf8[write++] = utf8[read++];
        }
    }
    utf8.resize(write);
}

bool CutNameUtf8(std::string& utf8) {
    if (utf8.size() <= kMaxNameBytes) return false;
    const std::size_t keep = Utf8PrefixLength(utf8, kMaxNameBytes);
    if (keep == utf8.size()) return false;
    utf8.resize(keep);
    return true;
}

bool TKShtxRegel::ParseIndexLine(std::string_view line) {
    FieldReader fields(line);
    bool cut = AssignNameField(Letter, fields.Next());
    cut = AssignNameField(Surname, fields.Next()) || cut;
    cut = AssignNameField(GivenNames, fields.Next()) || cut;
    Extra.assign(fields.Next());
    Year1.assign(fields.Next());
    DropControlCharactersUtf8(Year1);
    Year2.assign(fields.Next());
    DropControlCharactersUtf8(Year2);
    Number = WholeNumber(fields.Next());
    Link.assign(fields.Next());
    DocIndex = WholeNumber(fields.Next());
    return cut;
}

void TKShtxRegel::ParseMergedLine(const std::string& line) {
    if (line.empty()) {
        Assign(TKShtxRegel{});
        return;
    }
    FieldReader fields(line);
    Letter.assign(fields.Next());
    Surname.assign(fields.Next());
    GivenNames.assign(fields.Next());
    Extra.assign(fields.Next());
    Year1.assign(fields.Next());
    Year2.assign(fields.Next());
    PageNr = WholeNumber(fields.Next());
    RecordNr = WholeNumber(fields.Next());
    Count = WholeNumber(fields.Next());
    Link.assign(fields.Next());
}

std::string TKShtxRegel::SortKey() const {
    std::string key;
    SortKeyInto(key);
    return key;
}

void TKShtxRegel::SortKeyInto(std::string& key) const {
    const std::string_view letter = KeyForm(Letter);
    const std::string_view surname = KeyForm(Surname);
    const std::string_view given = KeyForm(GivenNames);
    char number[16];
    const auto [numberEnd, ec] = std::to_chars(number, number + sizeof number, Number);
    const std::string_view numberText(number, ec == std::errc{} ? numberEnd - number : 0);

    key.clear();
    key.reserve(letter.size() + 3 * (surname.size() + given.size()) + Year1.size() + Year2.size() +
                numberText.size() + 9);
    AppendKeyText(key, letter);
    key.push_back(kTab);
    AppendKeyFold(key, surname);
    key.push_back(kTab);
    AppendKeyUpperCase(key, surname);
    key.push_back(kTab);
    AppendKeyFold(key, given);
    key.push_back(kTab);
    AppendKeyUpperCase(key, given);
    key.push_back(kTab);
    AppendKeyText(key, Year1);
    key.push_back(kTab);
    AppendKeyText(key, Year2);
    key.push_back(kTab);
    AppendKeyText(key, surname);
    key.push_back(kTab);
    AppendKeyText(key, given);
    key.push_back(kTab);
    key.append(numberText);
}

bool TKShtxRegel::SameSurname(const std::string& surname) const {
    if (surname.size() != Surname.size()) return false;
    for (std::size_t i = 0; i < surname.size(); ++i) {
        char a = Surname[i];
        char b = surname[i];
        if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 32);
        if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 32);
        if (a != b) return false;
    }
    return true;
}

bool TKShtxRegel::HasPrefix() const {
    return Surname.find(kPrefixSeparator) != std::string::npos;
}

std::string TKShtxRegel::SurnameMain() const {
    return Surname.substr(0, Surname.find(kPrefixSeparator));
}

std::string TKShtxRegel::SurnamePrefix() const {
    const std::size_t separator = Surname.find(kPrefixSeparator);
    if (separator == std::string::npos) return {};
    return Surname.substr(separator + kPrefixSeparator.size());
}

void TKShtxRegel::Assign(const TKShtxRegel& other) {
    *this = other;
}

int CompareSortKeys(const std::string& a, const std::string& b) {
    // std::string compares through char_traits<char>, which orders as
    // unsigned char, so bytes above 127 sort after ASCII.
    return a.compare(b);
}

} // namespace ks
