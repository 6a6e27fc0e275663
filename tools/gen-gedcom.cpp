// Generates a GEDCOM file of N persons for benchmarks and tests: names with
// particles and marked letters (some that Windows-1252 lacks), births,
// christenings, deaths and burials with dates in several forms and
// calendars, name pieces, notes continued over CONC/CONT lines, and a family
// record for every few persons. The output depends only on the options and
// the seed.
//
//   gen-gedcom [--persons N] [--seed N] [--encoding utf-8|utf-16le|utf-16be|ansel|ansi]
//              [--version 5.5.1|5.5.5|7.0] OUTPUT_FILE
//
// Version 7.0 files are UTF-8 only; UTF-16 files begin with a byte-order mark.
#include "common/KScodepage.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <string_view>

namespace {

struct Options {
    long persons = 1000;
    unsigned seed = 1;
    std::string encoding = "utf-8";
    std::string version = "5.5.1";
    std::string file;
};

const char* const kGiven[] = {
    "Jan",         "Pieter",     "Anna",        "Maria",      "Jos\u00E9",
    "Zo\u00EB",    "S\u00F8ren", "\u0141ukasz", "Ren\u00E9e", "H\u00E9l\u00E8ne",
    "J\u00FCrgen", "Hendrik",    "Grietje",     "Klaas",      "Antje",
    "Dirk"};
const char* const kPrefixes[] = {"", "", "", "van", "de", "van den", "van der", "ter", "de la"};
const char* const kSurnames[] = {
    "Jansen",      "Vries",      "Berg", "M\u00FCller", "Dvo\u0159\u00E1k", "Horst",
    "\u00D8rsted", "\u00C7elik", "Smit", "Meer",        "Bakker",           "Visser",
    "Fontaine",    "Ha\u00EBck", "Bos",  "Kowalski"};
const char* const kPlaces[] = {"Leeuwarden", "Groningen", "Utrecht", "Gen\u00E8ve", "Krak\u00F3w"};
const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                               "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// ANSEL for the marked letters above: the mark first, then the letter.
struct AnselLetter {
    const char* Utf8;
    const char* Ansel;
};
const AnselLetter kAnsel[] = {
    {"\u00E9", "\xE2"
               "e"},
    {"\u00EB", "\xE8"
               "e"},
    {"\u00E8", "\xE1"
               "e"},
    {"\u00FC", "\xE8"
               "u"},
    {"\u00F6", "\xE8"
               "o"},
    {"\u00E1", "\xE2"
               "a"},
    {"\u00F3", "\xE2"
               "o"},
    {"\u0159", "\xE9"
               "r"},
    {"\u00C7", "\xF0"
               "C"},
    {"\u00F8", "\xB2"},
    {"\u00D8", "\xA2"},
    {"\u0141", "\xA1"},
};

std::string ToAnsel(std::string_view utf8) {
    std::string out;
    for (std::size_t pos = 0; pos < utf8.size();) {
        bool found = false;
        for (const auto& letter : kAnsel) {
            const std::size_t length = std::strlen(letter.Utf8);
            if (utf8.substr(pos, length) == letter.Utf8) {
                out += letter.Ansel, pos += length, found = true;
                break;
            }
        }
        if (!found) out += utf8[pos++];
    }
    return out;
}

std::string ToUtf16(std::string_view utf8, bool bigEndian) {
    std::string out;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[pos]);
        unsigned cp = lead;
        int more = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : 2; // the generator's texts are in the BMP
        if (more > 0) cp = lead & (more == 1 ? 0x1F : 0x0F);
        for (++pos; more > 0; --more, ++pos)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[pos]) & 0x3F);
        const char hi = static_cast<char>(cp >> 8), lo = static_cast<char>(cp & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

class Generator {
public:
    explicit Generator(const Options& options) : options_(options), random_(options.seed) {}

    void Run(std::ostream& out) {
        out_ = &out;
        if (options_.encoding == "utf-16le") out.write("\xFF\xFE", 2);
        if (options_.encoding == "utf-16be") out.write("\xFE\xFF", 2);
        Line("0 HEAD");
        Line("1 SOUR GEN-GEDCOM");
        Line("1 GEDC");
        Line("2 VERS " + options_.version);
        if (!Seven()) Line("2 FORM LINEAGE-LINKED");
        if (!Seven()) Line("1 CHAR " + CharName());
        for (long n = 1; n <= options_.persons; ++n) {
            Person(n);
            if (n % 3 == 0) Family(n);
        }
        Line("0 TRLR");
        Flush();
    }

private:
    bool Seven() const { return options_.version.substr(0, 1) == "7"; }
    std::string CharName() const {
        if (options_.encoding == "ansel") return "ANSEL";
        if (options_.encoding == "ansi") return "ANSI";
        if (options_.encoding.substr(0, 6) == "utf-16") return "UNICODE";
        return "UTF-8";
    }
    unsigned Pick(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(random_); }
    template <std::size_t N> const char* Pick(const char* const (&list)[N]) {
        return list[Pick(static_cast<unsigned>(N))];
    }

    std::string Date(int year) {
        const std::string day = std::to_string(1 + Pick(28)) + " " + kMonths[Pick(12)] + " ";
        switch (Pick(8)) {
        case 0:
            return "ABT " + std::to_string(year);
        case 1:
            return "BET " + std::to_string(year) + " AND " + std::to_string(year + 5);
        case 2:
            return (Seven() ? "JULIAN " : "@#DJULIAN@ ") + day + std::to_string(year);
        case 3:
            return day + std::to_string(year) + "/" + std::to_string((year + 1) % 100 / 10) +
                   std::to_string((year + 1) % 10);
        case 4:
            return "INT " + std::to_string(year) + " (about then)";
        default:
            return day + std::to_string(year);
        }
    }

    void Event(const char* tag, int year) {
        Line(std::string("1 ") + tag);
        Line("2 DATE " + Date(year));
        if (Pick(2) == 0) Line(std::string("2 PLAC ") + Pick(kPlaces));
    }

    void Person(long n) {
        const std::string given =
            std::string(Pick(kGiven)) + (Pick(3) == 0 ? " " + std::string(Pick(kGiven)) : "");
        const std::string prefix = Pick(kPrefixes);
        const std::string surname = Pick(kSurnames);
        const std::string full = prefix.empty() ? surname : prefix + " " + surname;
        Line("0 @I" + std::to_string(n) + "@ INDI");
        Line("1 NAME " + given + " /" + full + "/");
        if (!prefix.empty() && Pick(2) == 0) {
            Line("2 GIVN " + given);
            Line("2 SPFX " + prefix);
            Line("2 SURN " + surname);
        }
        Line(Pick(2) == 0 ? "1 SEX M" : "1 SEX F");
        const int born = 1600 + static_cast<int>(Pick(420));
        Event(Pick(4) == 0 ? "CHR" : "BIRT", born);
        if (born < 1930 || Pick(3) == 0)
            Event(Pick(5) == 0 ? "BURI" : "DEAT", born + 20 + static_cast<int>(Pick(70)));
        if (Pick(10) == 0) {
            Line("1 NOTE Lived in " + std::string(Pick(kPlaces)) + " and later moved to a farm ");
            Line(Seven() ? "2 CONT near the river." : "2 CONC near the river.");
        }
    }

    void Family(long n) {
        Line("0 @F" + std::to_string(n / 3) + "@ FAM");
        Line("1 HUSB @I" + std::to_string(n - 2) + "@");
        Line("1 WIFE @I" + std::to_string(n - 1) + "@");
        Line("1 CHIL @I" + std::to_string(n) + "@");
    }

    void Line(const std::string& utf8) {
        const std::string text = utf8 + "\r\n";
        if (options_.encoding == "ansel")
            buffer_ += ToAnsel(text);
        else if (options_.encoding == "ansi")
            buffer_ += ks::Utf8ToWindows1252(text);
        else if (options_.encoding.substr(0, 6) == "utf-16")
            buffer_ += ToUtf16(text, options_.encoding == "utf-16be");
        else
            buffer_ += text;
        if (buffer_.size() > (1 << 20)) Flush();
    }
    void Flush() {
        out_->write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
    }

    const Options& options_;
    std::mt19937 random_;
    std::ostream* out_ = nullptr;
    std::string buffer_;
};

[[noreturn]] void Usage() {
    std::cerr
        << "usage: gen-gedcom [--persons N] [--seed N] "
           "[--encoding utf-8|utf-16le|utf-16be|ansel|ansi] [--version 5.5.1|5.5.5|7.0] FILE\n";
    std::exit(2);
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        const bool hasValue = k + 1 < argc;
        if (arg == "--persons" && hasValue)
            options.persons = std::atol(argv[++k]);
        else if (arg == "--seed" && hasValue)
            options.seed = static_cast<unsigned>(std::atol(argv[++k]));
        else if (arg == "--encoding" && hasValue)
            options.encoding = argv[++k];
        else if (arg == "--version" && hasValue)
            options.version = argv[++k];
        else if (!arg.empty() && arg[0] != '-' && options.file.empty())
            options.file = arg;
        else
            Usage();
    }
    const std::string encodings = " utf-8 utf-16le utf-16be ansel ansi ";
    if (options.file.empty() || options.persons < 0 ||
        encodings.find(" " + options.encoding + " ") == std::string::npos)
        Usage();
    if (options.version.substr(0, 1) == "7" && options.encoding != "utf-8") {
        std::cerr << "gen-gedcom: version 7.0 files are UTF-8 only\n";
        return 2;
    }
    std::ofstream out(options.file, std::ios::binary);
    Generator(options).Run(out);
    out.close();
    if (!out) {
        std::cerr << "gen-gedcom: " << options.file << " could not be written\n";
        return 1;
    }
    return 0;
}
