// Generates realistic index documents for tests, samples and benchmarks:
// Dutch and other European surnames (with prefixes such as "Berg, van den"
// and accented letters in Windows-1252), unknown fields ("_"), years, links
// into a small HTML output, the same persons in several trees, and old
// unsorted documents. The output depends only on the options and the seed.
//
//   gen-htx [--docs N] [--lines N] [--overlap PERCENT] [--old N] [--seed N]
//           [--pages] OUTPUT_FOLDER
//
// --lines is the number of index lines over all documents; --old makes the
// last N documents old (version 3.1, lines in file order, not sorted);
// --pages also writes the HTML pages the links point to.
#include "index/KShtxRegel.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

struct Options {
    int docs = 3;
    long lines = 300;
    int overlap = 20; // percent of a tree's persons that also occur in another tree
    int old = 0;
    unsigned seed = 1;
    bool pages = false;
    std::string folder;
};

// Windows-1252 bytes for the accented letters.
const char* const kSurnames[] = {"Jansen",
                                 "Vries",
                                 "Bakker",
                                 "Visser",
                                 "Smit",
                                 "Meijer",
                                 "Mulder",
                                 "Bos",
                                 "Vos",
                                 "Peters",
                                 "Hendriks",
                                 "Dekker",
                                 "Brouwer",
                                 "Dijk",
                                 "Berg",
                                 "Wit",
                                 "Graaf",
                                 "Leeuwen",
                                 "Vliet",
                                 "Heuvel",
                                 "Linden",
                                 "Broek",
                                 "Kok",
                                 "Jacobs",
                                 "M\xFCller",
                                 "Schr\xF6"
                                 "der",
                                 "Fran\xE7ois",
                                 "L\xE9vesque",
                                 "\xC5str\xF6m",
                                 "Nu\xF1"
                                 "ez",
                                 "\xD8stergaard",
                                 "Kr\xE4mer",
                                 "H\xE9" "bert",
                                 "S\xF8rensen",
                                 "Gonz\xE1lez",
                                 "O'Brien",
                                 "Smith-Jones",
                                 "\xC6"
                                 "belholt",
                                 "\xDE"
                                 "orsson",
                                 "Wei\xDF"};
const char* const kPrefixes[] = {"van", "de", "van den", "van der", "ter", "'t", "du", "von"};
const char* const kGiven[] = {"Jan",       "Pieter",       "Cornelis",  "Hendrik", "Johannes",
                              "Willem",    "Maria",        "Anna",      "Johanna", "Cornelia",
                              "Elisabeth", "Geertruida",   "Adriana",   "Jacob",   "Ren\xE9",
                              "Ir\xE8ne",  "Andr\xE9",     "Zo\xEB",    "J\xF6rg", "Bj\xF6rn",
                              "\xC9milie", "Fran\xE7oise", "Dani\xEBl", "No\xEBl"};

struct Person {
    std::string letter, surname, given, extra, year1, year2;
};

class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    Person NewPerson() {
        Person p;
        const int pick = Uniform(1000);
        if (pick < 5) {
            p.letter = "_";
            p.surname = "_";
        } else {
            std::string main = kSurnames[Uniform(std::size(kSurnames))];
            if (Uniform(100) < 15) main += std::to_string(Uniform(50)); // more variety
            p.surname = main;
            if (Uniform(100) < 30)
                p.surname += std::string(", ") + kPrefixes[Uniform(std::size(kPrefixes))];
            p.letter = std::string(1, static_cast<char>(Letter(main)));
        }
        p.given = Uniform(1000) < 10 ? "_" : Given();
        p.extra = Uniform(100) < 10 ? std::to_string(Uniform(5)) : "";
        if (Uniform(100) < 85) {
            const int born = 1600 + Uniform(380);
            p.year1 = std::to_string(born);
            if (Uniform(100) < 70) p.year2 = std::to_string(born + 20 + Uniform(70));
        }
        return p;
    }

    int Uniform(std::size_t n) { return static_cast<int>(random_() % n); }

private:
    static unsigned char Letter(const std::string& surname) {
        const unsigned char c = static_cast<unsigned char>(surname[0]);
        static const std::string folded = "AAAAAAACEEEEIIIIDNOOOOOXOUUUUYTS"; // 192..223
        if (c >= 192 && c <= 223) return static_cast<unsigned char>(folded[c - 192]);
        return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
    }

    std::string Given() {
        std::string g = kGiven[Uniform(std::size(kGiven))];
        if (Uniform(100) < 40) g += std::string(" ") + kGiven[Uniform(std::size(kGiven))];
        return g;
    }

    std::mt19937 random_;
};

std::string IndexLine(const Person& p, long number, const std::string& link) {
    return p.letter + "\t" + p.surname + "\t" + p.given + "\t" + p.extra + "\t" + p.year1 + "\t" +
           p.year2 + "\t" + std::to_string(number) + "\t" + link;
}

struct Line {
    std::string key, text, page, anchor, display;
};

void WritePages(const std::string& folder, const std::vector<Line>& lines,
                const std::string& title) {
    std::map<std::string, std::vector<const Line*>> pages;
    for (const Line& l : lines)
        pages[l.page].push_back(&l);
    for (const auto& [page, items] : pages) {
        std::ofstream out(folder + "/" + page, std::ios::binary);
        out << "<!DOCTYPE html>\r\n<html><head><meta charset=\"windows-1252\"><title>" << title
            << "</title></head><body>\r\n<h1>" << title << "</h1>\r\n";
        for (const Line* l : items)
            out << "<p id=\"" << l->anchor << "\"><a name=\"" << l->anchor << "\"></a>"
                << l->display << "</p>\r\n";
        out << "<p><a href=\"index.htm\">Start</a></p>\r\n</body></html>\r\n";
    }
    std::ofstream index(folder + "/index.htm", std::ios::binary);
    index << "<!DOCTYPE html>\r\n<html><head><meta charset=\"windows-1252\"><title>" << title
          << "</title></head><body>\r\n<h1>" << title << "</h1>\r\n<ul>\r\n";
    for (const auto& entry : pages)
        index << "<li><a href=\"" << entry.first << "\">" << entry.first << "</a></li>\r\n";
    index << "</ul>\r\n</body></html>\r\n";
}

void WriteDocument(const Options& o, int d, std::vector<Line>& lines) {
    const bool old = d >= o.docs - o.old;
    if (!old)
        std::sort(lines.begin(), lines.end(),
                  [](const Line& a, const Line& b) { return a.key < b.key; });
    const std::string name = "tree" + std::to_string(d + 1);
    const std::string folder = o.pages ? o.folder + "/" + name : o.folder;
    std::filesystem::create_directories(folder);
    const std::string title = "Genealogie " + name;
    std::ofstream out(folder + "/" + name + ".htx", std::ios::binary);
    out << "[KESTRIN]\r\nversion=" << (old ? "3.1" : "3.22") << "\r\ntype=htx\r\nformat=1\r\n"
        << "[userdata]\r\nusernr=" << 100 + d << "\r\nusername=Onderzoeker " << d + 1
        << "\r\nemail=tree" << d + 1 << "@example.org\r\nhomepage=https://example.org/" << name
        << "/\r\n[metadata]\r\ndatafile=" << name << ".ksd\r\ntitle=" << title << "\r\ncreated=0"
        << 1 + d % 9 << "-03-2019\r\nhtmfile=index.htm\r\ndateformat=dd-mm-jjjj\r\n"
        << "description1=Gegenereerde stamboom " << d + 1 << "\r\n"
        << "description2=Voor tests en voorbeelden\r\n[indexdata]\r\n";
    for (const Line& l : lines)
        out << l.text << "\r\n";
    if (o.pages) WritePages(folder, lines, title);
}

Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> long {
            if (i + 1 >= argc) throw std::runtime_error("missing value after " + a);
            return std::strtol(argv[++i], nullptr, 10);
        };
        if (a == "--docs")
            o.docs = static_cast<int>(value());
        else if (a == "--lines")
            o.lines = value();
        else if (a == "--overlap")
            o.overlap = static_cast<int>(value());
        else if (a == "--old")
            o.old = static_cast<int>(value());
        else if (a == "--seed")
            o.seed = static_cast<unsigned>(value());
        else if (a == "--pages")
            o.pages = true;
        else if (!a.empty() && a[0] == '-')
            throw std::runtime_error("unknown option " + a);
        else
            o.folder = a;
    }
    if (o.folder.empty() || o.docs < 1 || o.lines < 0)
        throw std::runtime_error("usage: gen-htx [--docs N] [--lines N] [--overlap PERCENT] [--old "
                                 "N] [--seed N] [--pages] FOLDER");
    return o;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const Options o = Parse(argc, argv);
        Generator gen(o.seed);
        std::vector<Person> shared; // persons that several trees hold
        const long perDoc = o.lines / o.docs;
        for (int d = 0; d < o.docs; ++d) {
            const long count = perDoc + (d < o.lines % o.docs ? 1 : 0);
            std::vector<Line> lines;
            lines.reserve(static_cast<std::size_t>(count));
            for (long n = 0; n < count; ++n) {
                Person p;
                if (!shared.empty() && gen.Uniform(100) < o.overlap)
                    p = shared[static_cast<std::size_t>(gen.Uniform(shared.size()))];
                else {
                    p = gen.NewPerson();
                    if (shared.size() < 100000 && gen.Uniform(100) < o.overlap) shared.push_back(p);
                }
                const std::string page = "persons" + std::to_string(n / 50 + 1) + ".htm";
                const std::string anchor = "p" + std::to_string(n + 1);
                Line line;
                line.text = IndexLine(p, n + 1, page + "#" + anchor);
                ks::TKShtxRegel regel;
                regel.ParseIndexLine(line.text);
                line.key = regel.SortKey();
                line.page = page;
                line.anchor = anchor;
                line.display =
                    p.given + " " + p.surname + (p.year1.empty() ? "" : " (" + p.year1 + ")");
                lines.push_back(std::move(line));
            }
            WriteDocument(o, d, lines);
        }
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "gen-htx: " << e.what() << "\n";
        return 1;
    }
}
