#include "index/KShtxData.h"

#include "common/KSini.h"
#include "common/KStextutil.h"
#include "index/KShtxRegel.h"

#include <charconv>
#include <filesystem>
#include <limits>
#include <string_view>
#include <system_error>

namespace ks {

namespace {

// From this version on the producing program writes its index lines sorted.
constexpr const char* kSortedVersion = "3.22";

// A decimal number split into its parts, leading zeros of the whole part and
// trailing zeros of the fraction removed, so that equal values look equal.
struct Decimal {
    bool negative = false;
    std::string_view whole;
    std::string_view fraction;
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t CountDigits(std::string_view text, std::size_t from) {
    std::size_t end = from;
    while (end < text.size() && IsDigit(text[end]))
        ++end;
    return end - from;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return text;
}

// Accepts [sign] digits [ "." digits ] with blanks around; anything else
// (an exponent, a comma, a bare point, trailing text) is no number.
bool ParseDecimal(std::string_view text, Decimal& result) {
    text = TrimBlanks(text);
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t wholeDigits = CountDigits(text, pos);
    if (wholeDigits == 0) return false;
    std::string_view whole = text.substr(pos, wholeDigits);
    pos += wholeDigits;
    std::string_view fraction;
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t fractionDigits = CountDigits(text, pos + 1);
        if (fractionDigits == 0) return false;
        fraction = text.substr(pos + 1, fractionDigits);
        pos += 1 + fractionDigits;
    }
    if (pos != text.size()) return false;
    while (!whole.empty() && whole.front() == '0')
        whole.remove_prefix(1);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.remove_suffix(1);
    result.negative = negative && !(whole.empty() && fraction.empty());
    result.whole = whole;
    result.fraction = fraction;
    return true;
}

Decimal DecimalOrZero(std::string_view text) {
    Decimal value;
    if (!ParseDecimal(text, value)) value = Decimal{};
    return value;
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

int CompareMagnitude(const Decimal& a, const Decimal& b) {
    if (a.whole.size() != b.whole.size()) return a.whole.size() < b.whole.size() ? -1 : 1;
    if (const int whole = a.whole.compare(b.whole); whole != 0) return Sign(whole);
    // Without trailing zeros, digit strings of fractions order like their values.
    return Sign(a.fraction.compare(b.fraction));
}

} // namespace

int CompareVersions(const std::string& a, const std::string& b) {
    const Decimal left = DecimalOrZero(a);
    const Decimal right = DecimalOrZero(b);
    if (left.negative != right.negative) return left.negative ? -1 : 1;
    const int magnitude = CompareMagnitude(left, right);
    return left.negative ? -magnitude : magnitude;
}

TKShtxData::TKShtxData(const std::string& path) : FileName(path) {
    Load();
}

double TKShtxData::VersionNumber() const {
    std::string_view text = TrimBlanks(Version);
    Decimal parts;
    if (!ParseDecimal(text, parts)) return 0.0;
    if (text.front() == '+') text.remove_prefix(1); // from_chars takes no plus sign
    double value = 0.0;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (ec == std::errc::result_out_of_range) {
        // Far too many digits: huge when there is a whole part, else tiny.
        if (parts.whole.empty()) return 0.0;
        const double huge = std::numeric_limits<double>::infinity();
        return parts.negative ? -huge : huge;
    }
    return ec == std::errc{} ? value : 0.0;
}

bool TKShtxData::NeedsSorting() const {
    return CompareVersions(Version, kSortedVersion) < 0;
}

bool TKShtxData::IsIndexDataLine(const std::string& line) {
    return AsciiLower(Trim(line)) == kIndexDataSection;
}

void TKShtxData::Load() {
    std::error_code error;
    const std::filesystem::path file(FileName);
    if (std::filesystem::is_regular_file(file, error)) {
        const auto size = std::filesystem::file_size(file, error);
        FileSize = error ? 0 : static_cast<int64_t>(size);
    }
    // The reader takes "" and "?" as its own names (the program's settings
    // file, the name set before); a document never means either.
    if (FileName.empty()) return;
    TKSini ini;
    ini.Open(FileName == "?" ? "./?" : FileName);
    Version = ini.ReadVersion();
    CharsetName = ini.ReadCharset();
    Charset = DocumentCharsetNamed(CharsetName);

    ini.SetSection("userdata");
    UserNr = StrToIntDef(ini.ReadString("usernr", ""), 0);
    UserName = ini.ReadString("username", "");
    Email = ini.ReadString("email", "");
    Homepage = ini.ReadString("homepage", "");

    ini.SetSection("metadata");
    DataFile = ini.ReadString("datafile", "");
    Title = ini.ReadString("title", "");
    Created = ini.ReadString("created", "");
    HtmFile = ini.ReadString("htmfile", "");
    DateFormat = ini.ReadString("dateformat", "");
    for (int n = 1;; ++n) {
        const std::string key = "description" + std::to_string(n);
        if (!ini.ValueExists(key)) break;
        std::string line = AsTreeText(ini.ReadString(key, ""));
        if (n > 1) Description += "\r\n";
        Description += line;
    }
    ini.Close();
    // What a document says of itself reaches pages as text. (Version decides
    // the sorting and is kept as it stands.)
    for (std::string* text :
         {&UserName, &Email, &Homepage, &DataFile, &Title, &Created, &HtmFile, &DateFormat})
        *text = AsTreeText(*text);
}

std::string TKShtxData::AsTreeText(std::string_view text) const {
    std::string utf8;
    DocumentTextToUtf8(text, Charset, utf8);
    DropControlCharactersUtf8(utf8);
    return utf8;
}

} // namespace ks
