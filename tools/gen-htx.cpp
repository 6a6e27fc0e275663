// Generates realistic index documents for tests, samples and benchmarks:
// Dutch and other European surnames (with prefixes such as "Berg, van den"
// and accented letters in Windows-1252), unknown fields ("_"), years, links
// into a small HTML output, the same persons in several trees, and old
// unsorted documents. The output depends only on the options and the seed.
//
//   gen-htx [--docs N] [--lines N] [--overlap PERCENT] [--old N] [--seed N]
//           [--pages] [--per-page N] [--variety PERCENT]
//           [--surnames N] [--titles "A;B"] [--folders "a;b"] [--users "X;Y"]
//           [--charset windows-1252|utf-8] [--foreign PERCENT] OUTPUT_FOLDER
//
// --lines is the number of index lines over all documents; --old makes the
// last N documents old (version 3.1, lines in file order, not sorted);
// --pages also writes the HTML pages the links point to (one folder per
// tree: person pages of --per-page persons and the tree's own name index);
// --variety is the share of surnames with a number appended (more distinct
// names for benchmarks; 0 for samples that people look at); --surnames draws
// from N distinct made-up European surnames instead, skewed as in real trees
// (a few very frequent names, a long tail of rare ones; every name occurs
// once the trees hold about 2.5 N new persons); --titles,
// --folders and --users name the trees, their folders and their makers.
// --charset utf-8 writes UTF-8 documents (marked "charset=utf-8") and pages;
// --foreign then gives PERCENT of the new persons a surname and given name
// of a language Windows-1252 cannot write (Polish, Czech, Hungarian,
// Romanian, Turkish, Greek, Russian, Hebrew), drawn apart from everything
// else, so the same seed gives the same trees in either character set.
#include "common/KScodepage.h"
#include "import/KSindexLetter.h"
#include "index/KShtxRegel.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <numeric>
#include <random>
#include <set>
#include <stdexcept>
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
    int perPage = 50;
    int variety = 15;  // percent of surnames with a number appended
    long surnames = 0; // distinct surnames to draw from; 0: the short list below
    std::vector<std::string> titles, folders, users;
    std::string folder;
    bool utf8 = false;
    int foreign = 0; // percent of new persons with a name outside Windows-1252
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
                                 "H\xE9"
                                 "bert",
                                 "S\xF8rensen",
                                 "Gonz\xE1lez",
                                 "O'Brien",
                                 "Smith-Jones",
                                 "\xC6"
                                 "belholt",
                                 "\xDE"
                                 "orsson",
                                 "Wei\xDF"};
// Stems and endings of European surnames for --surnames, per language, so
// that a made-up name reads like one: a stem with an ending ("Hoekstra",
// "Bergmann"), and for the long tail two stems joined ("Hoogeveen") or, in
// French, a double name ("Girard-Moreau").
struct NameGroup {
    int weight; // percent of the names
    std::vector<std::string> stems, endings;
    bool hyphen; // double names are "A-B" rather than "Ab"
};
const NameGroup kNameGroups[] = {
    {60,
     {"Jans",    "Vries", "Bakk",  "Viss",   "Smit",  "Meij", "Muld",   "Bos",    "Vos",   "Peter",
      "Hendrik", "Dekk",  "Brouw", "Dijk",   "Berg",  "Wit",  "Graaf",  "Leeuw",  "Vliet", "Heuvel",
      "Lind",    "Broek", "Kok",   "Jacob",  "Hoog",  "Veld", "Brink",  "Dam",    "Hoek",  "Horst",
      "Kamp",    "Meer",  "Molen", "Wouden", "Bosch", "Haan", "Groot",  "Klein",  "Zand",  "Steen",
      "Beek",    "Donk",  "Gool",  "Haar",   "Hout",  "Kerk", "Laar",   "Loon",   "Maas",  "Nieuw",
      "Oost",    "West",  "Noord", "Zuid",   "Pol",   "Raad", "Rijn",   "Schot",  "Sloot", "Stap",
      "Valk",    "Wal",   "Weg",   "Zwart",  "Boer",  "Deur", "Eik",    "Gerrit", "Harm",  "IJssel",
      "Kuip",    "Lamb",  "Mart",  "Nijs",   "Otten", "Post", "Roos",   "Tromp",  "Vink",  "Zee",
      "Albers",  "Brand", "Cors",  "Driel",  "Fokk",  "Gijs", "Hof",    "Kal",    "Lub",   "Mol",
      "Nolt",    "Olde",  "Prins", "Reit",   "Sikk",  "Tjal", "Wiersm", "Ypk",    "Dui",   "Ebb"},
     {"",     "s",    "sen",  "se",   "en",  "er",  "ers",  "el",   "ink",
      "ing",  "man",  "mans", "stra", "sma", "ema", "inga", "huis", "kamp",
      "veld", "berg", "hof",  "hout", "ijn", "ens", "ert",  "rink", "ga"},
     false},
    {15,
     {"M\xFCll",
      "Schr\xF6"
      "d",
      "Kr\xE4m",
      "Wei\xDF",
      "Fisch",
      "Kaufm",
      "Roth",
      "Sch\xE4"
      "f",
      "Schmid",
      "Feld",
      "Wolf",
      "Stein",
      "Bauer",
      "Beck",
      "Hoff",
      "Koch",
      "Richt",
      "Wagn",
      "Zimmer",
      "Hartm",
      "Lehm",
      "Kraus",
      "Braun",
      "Frank",
      "Hahn",
      "Vogel",
      "Eng",
      "Sommer",
      "Winter",
      "Kell",
      "Hub",
      "Gr\xFCn",
      "Lang",
      "Scholz",
      "Hein"},
     {"", "er", "mann", "dorf", "feld", "baum", "haus", "stein", "berg", "hof", "el", "ke", "ler"},
     false},
    {8,
     {"\xC5str\xF6m", "\xD8ster", "S\xF8r", "Bj\xF6rk", "Lund",   "Dahl",  "Holm", "Str\xF6m",
      "Lar",          "Nils",     "Karl",   "Sven",     "Gustaf", "Ander", "Eng",  "Sj\xF6",
      "Fors",         "Ny",       "Berg",   "Hed",      "Hall",   "Ek",    "Sand", "Lindqv"},
     {"", "sen", "son", "sson", "gaard", "qvist", "berg", "strand", "by", "lund", "holm", "dahl"},
     false},
    {9,
     {"H\xE9"
      "b",
      "Dupon",
      "Lef\xE8vr",
      "Mor",
      "Girard",
      "Fontain",
      "Rousseau",
      "Chevali",
      "Beaumont",
      "\xC9tienn",
      "Andr\xE9",
      "Bern",
      "Lemoin",
      "Duval",
      "Rich",
      "Blanch",
      "Fran\xE7",
      "Gu\xE9rin",
      "Mercier",
      "Fauc",
      "Perr",
      "Roch"},
     {"", "e", "ier", "eau", "et", "in", "on", "ard", "and", "ot", "elle"},
     true},
    {8,
     {"Rosen",   "Gold",  "Silber", "Lev",    "Cohen",  "Katz",  "Blum",
      "Hirsch",  "Wein",  "Stern",  "Mandel", "Lieber", "Apfel", "Eisen",
      "Gr\xFCn", "Rubin", "Fried",  "Lilien", "Morgen", "Kirsch"},
     {"", "berg", "stein", "thal", "feld", "baum", "man", "blatt", "ski", "witz", "son", "ick"},
     false},
};
const char* const kPrefixes[] = {"van", "de", "van den", "van der", "ter", "'t", "du", "von"};
const char* const kGiven[] = {"Jan",       "Pieter",       "Cornelis",  "Hendrik", "Johannes",
                              "Willem",    "Maria",        "Anna",      "Johanna", "Cornelia",
                              "Elisabeth", "Geertruida",   "Adriana",   "Jacob",   "Ren\xE9",
                              "Ir\xE8ne",  "Andr\xE9",     "Zo\xEB",    "J\xF6rg", "Bj\xF6rn",
                              "\xC9milie", "Fran\xE7oise", "Dani\xEBl", "No\xEBl"};

// Names Windows-1252 cannot write, UTF-8; a person takes both names from one
// language.
struct ForeignNames {
    std::vector<std::string> surnames, given;
};
const ForeignNames kForeign[] = {
    {{"Wałęsa", "Łukasiewicz", "Żółkiewski", "Kościuszko", "Wąsowicz", "Ślęzak"},
     {"Łukasz", "Wojciech", "Małgorzata", "Bożena"}},
    {{"Dvořák", "Čapek", "Šťastný", "Růžička", "Kořínek"}, {"Jiří", "Bořivoj", "Věra"}},
    {{"Szőke", "Győri", "Erdős", "Kővári", "Szűcs"}, {"Gergő", "Ödön", "Erzsébet"}},
    {{"Ștefănescu", "Țurcanu", "Bălănescu", "Mureșan"}, {"Ștefan", "Mădălina", "Ionuț"}},
    {{"Yılmaz", "Çağlar", "Doğan", "Kılıç", "Şahin"}, {"Ayşe", "Gülşen", "İsmail"}},
    {{"Παπαδόπουλος", "Γεωργίου", "Οικονόμου", "Νικολάου"}, {"Γιώργος", "Ελένη", "Δημήτριος"}},
    {{"Иванов", "Смирнова", "Кузнецов", "Попов", "Соколова"}, {"Иван", "Ольга", "Сергей"}},
    {{"כהן", "לוי", "מזרחי", "פרץ"}, {"דוד", "שרה", "משה"}},
};

constexpr long kMostSurnames = 300000; // well inside what the stems and endings can make

std::string Lower(std::string s) {
    for (char& c : s) {
        const unsigned char u = static_cast<unsigned char>(c);
        if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
            c = static_cast<char>(u + 32);
    }
    return s;
}

// N distinct surnames, the most frequent first: the short list above leads,
// then a stem with an ending; compounds and double names make up the long
// tail. About a quarter carry a prefix ("Berg, van den"), always the same one
// for the same name.
std::vector<std::string> MakeSurnames(long count, unsigned seed) {
    std::mt19937 random(seed ^ 0x5eed5u);
    auto pick = [&](const auto& list) -> std::string { return list[random() % std::size(list)]; };
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (const char* name : kSurnames)
        if (static_cast<long>(names.size()) < count && seen.insert(name).second)
            names.push_back(name);
    for (long refused = 0; static_cast<long>(names.size()) < count;) {
        if (refused > 100000) throw std::runtime_error("too many distinct surnames asked for");
        int share = static_cast<int>(random() % 100);
        const NameGroup* group = std::begin(kNameGroups);
        while (share >= group->weight && group + 1 != std::end(kNameGroups))
            share -= group++->weight;
        const std::size_t made = names.size();
        std::string name = pick(group->stems) + pick(group->endings);
        if (made >= 3000 && group->hyphen) {
            name += "-" + pick(group->stems) + pick(group->endings);
        } else if (made >= 3000) {
            const std::string first = pick(group->stems), second = pick(group->stems);
            if (first == second) continue; // "Leeuwleeuw" reads as a slip
            name = first + Lower(second);
            if (made >= 15000 || random() % 2 == 0) name += pick(group->endings);
        }
        // No triple letter where a stem meets an ending ("Wiersm" + "ma").
        bool triple = false;
        for (std::size_t i = 2; i < name.size(); ++i)
            triple = triple || (name[i] == name[i - 1] && name[i] == name[i - 2]);
        if (triple || !seen.insert(name).second) {
            ++refused;
            continue;
        }
        refused = 0;
        if (random() % 100 < 25) name += std::string(", ") + pick(kPrefixes);
        names.push_back(std::move(name));
    }
    return names;
}

struct Person {
    std::string letter, surname, given, extra, year1, year2;
};

class Generator {
public:
    Generator(unsigned seed, int variety, long surnames)
        : random_(seed), variety_(variety), surnames_(MakeSurnames(surnames, seed)) {
        // The long tail visits every name in a scattered order: a step that
        // shares no factor with the number of names.
        const long n = static_cast<long>(surnames_.size());
        while (n > 1 && std::gcd(tailStep_, n) != 1)
            ++tailStep_;
    }

    Person NewPerson() {
        Person p;
        const int pick = Uniform(1000);
        if (pick < 5) {
            p.letter = "_";
            p.surname = "_";
        } else if (!surnames_.empty()) {
            p.surname = Surname();
            p.letter = std::string(1, static_cast<char>(Letter(p.surname)));
        } else {
            std::string main = kSurnames[Uniform(std::size(kSurnames))];
            if (Uniform(100) < variety_) main += std::to_string(Uniform(50));
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
            const int died = born + 20 + Uniform(70);
            if (Uniform(100) < 70 && died <= kThisYear) p.year2 = std::to_string(died);
        }
        return p;
    }

    int Uniform(std::size_t n) { return static_cast<int>(random_() % n); }

private:
    static constexpr int kThisYear = 2019; // nobody in a tree dies in the future

    static unsigned char Letter(const std::string& surname) {
        const unsigned char c = static_cast<unsigned char>(surname[0]);
        static const std::string folded = "AAAAAAACEEEEIIIIDNOOOOOXOUUUUYTS"; // 192..223
        if (c >= 192 && c <= 223) return static_cast<unsigned char>(folded[c - 192]);
        return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
    }

    // Six in ten persons draw a skewed rank (the first name about 2% of them,
    // half of them among the first 1/8 of the names); the others take the
    // next name of the tail, so that rare names occur too.
    std::string Surname() {
        const long n = static_cast<long>(surnames_.size());
        if (Uniform(100) < 60) {
            const double u = std::uniform_real_distribution<double>(0.0, 1.0)(random_);
            return surnames_[static_cast<std::size_t>(std::min<double>(n - 1, n * u * u * u))];
        }
        return surnames_[static_cast<std::size_t>((tailNext_++ * tailStep_) % n)];
    }

    std::string Given() {
        std::string g = kGiven[Uniform(std::size(kGiven))];
        if (Uniform(100) < 40) g += std::string(" ") + kGiven[Uniform(std::size(kGiven))];
        return g;
    }

    std::mt19937 random_;
    int variety_;
    std::vector<std::string> surnames_; // most frequent first; empty: kSurnames
    long tailStep_ = 7919;
    long tailNext_ = 0;
};

// A new person of a UTF-8 document: the names in UTF-8, or with the given
// chance names of another language. random is the generator's own stream
// for this, so the other draws stay as they are.
void ToUtf8(Person& p, int foreign, std::mt19937& random) {
    for (std::string* text : {&p.letter, &p.surname, &p.given})
        *text = ks::Windows1252ToUtf8(*text);
    if (foreign <= 0 || static_cast<int>(random() % 100) >= foreign) return;
    const ForeignNames& names = kForeign[random() % std::size(kForeign)];
    if (p.surname != "_") {
        p.surname = names.surnames[random() % names.surnames.size()];
        p.letter = ks::IndexLetter(p.surname);
    }
    if (p.given != "_") p.given = names.given[random() % names.given.size()];
}

// The sort key of an index line. A UTF-8 line's names are taken as they
// are (they hold no control character and are short), so the key does not
// depend on how a reader of lines treats their bytes.
std::string SortKey(const Person& p, const std::string& text, bool utf8) {
    ks::TKShtxRegel regel;
    regel.ParseIndexLine(text);
    if (utf8) {
        const auto field = [](const std::string& value) { return value == "_" ? "?" : value; };
        regel.Letter = field(p.letter);
        regel.Surname = field(p.surname);
        regel.GivenNames = field(p.given);
    }
    return regel.SortKey();
}

std::string IndexLine(const Person& p, long number, const std::string& link) {
    return p.letter + "\t" + p.surname + "\t" + p.given + "\t" + p.extra + "\t" + p.year1 + "\t" +
           p.year2 + "\t" + std::to_string(number) + "\t" + link;
}

struct Line {
    Person person;
    long number = 0;
    int page = 0;
    std::string key, text, anchor;
};

struct Tree {
    std::string folder, title, user;
    bool utf8 = false;
};

std::string Html(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

std::string PageName(int page) {
    return "persons" + std::to_string(page) + ".htm";
}

bool Unknown(const std::string& field) {
    return field == "_";
}

// "Jan Pieter van den Berg": the prefix goes in front of the main surname.
std::string FullName(const Person& p) {
    const std::string given = Unknown(p.given) ? "N.N." : Html(p.given);
    if (Unknown(p.surname)) return given + " N.N.";
    const std::size_t comma = p.surname.find(", ");
    if (comma == std::string::npos) return given + " " + Html(p.surname);
    return given + " <span class=\"prefix\">" + Html(p.surname.substr(comma + 2)) + "</span> " +
           Html(p.surname.substr(0, comma));
}

// "Berg, van den, Jan Pieter" as the tree's own name index lists it.
std::string IndexName(const Person& p) {
    const std::string surname = Unknown(p.surname) ? "N.N." : Html(p.surname);
    return surname + ", " + (Unknown(p.given) ? "N.N." : Html(p.given));
}

std::string LifeText(const Person& p) {
    std::string life;
    if (!p.year1.empty()) life = "&#8727;&nbsp;" + p.year1;
    if (!p.year2.empty())
        life += (life.empty() ? "" : " &ndash; ") + std::string("&#8224;&nbsp;") + p.year2;
    return life;
}

const char* const kStyle =
    "<style>\r\n"
    "body{font-family:Georgia,'DejaVu Serif',serif;line-height:1.5;color:#2b2620;"
    "background:#f7f3ea;margin:0}\r\n"
    "header,main,footer,nav{max-width:44em;margin:0 auto;padding:0 1em}\r\n"
    "header{border-bottom:3px double #8c6d46;padding-top:1em}\r\n"
    ".tree{margin:0;font-variant:small-caps;letter-spacing:.05em}\r\n"
    "h1{margin:.2em 0 .5em;font-weight:normal}\r\n"
    "a{color:#7a3e12}\r\n"
    "nav{padding-top:.6em;padding-bottom:.6em}\r\n"
    ".person{background:#fff;border:1px solid #e2d8c6;border-radius:4px;margin:.8em 0;"
    "padding:.4em 1em}\r\n"
    ".person h2{margin:.2em 0;font-size:1.2em}\r\n"
    ".prefix{font-weight:normal}\r\n"
    ".life,.meta{margin:.2em 0}\r\n"
    ".meta{font-size:.85em;color:#6b5f50}\r\n"
    ".person:target,li:target{background:#fff1b8;outline:2px solid #d9a400}\r\n"
    "ol{padding-left:1.5em}\r\n"
    "footer{border-top:1px solid #8c6d46;margin-top:2em;padding-bottom:2em;font-size:.9em}\r\n"
    "</style>\r\n";

std::string PageHead(const std::string& title, bool utf8) {
    return "<!DOCTYPE html>\r\n<html lang=\"nl\">\r\n<head>\r\n<meta charset=\"" +
           std::string(utf8 ? "utf-8" : "windows-1252") +
           "\">\r\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\r\n<title>" +
           title + "</title>\r\n" + kStyle + "</head>\r\n<body>\r\n";
}

void WritePersonPage(const std::string& folder, const Tree& tree, int page, int pageCount,
                     const std::vector<const Line*>& items) {
    std::ofstream out(folder + "/" + PageName(page), std::ios::binary);
    const std::string range =
        std::to_string(items.front()->number) + "&ndash;" + std::to_string(items.back()->number);
    out << PageHead(Html(tree.title) + ": personen " + range, tree.utf8)
        << "<header>\r\n<p class=\"tree\">"
        << "<a href=\"index.htm\">" << Html(tree.title) << "</a></p>\r\n<h1>Personen " << range
        << "</h1>\r\n</header>\r\n<nav>";
    if (page > 1) out << "<a href=\"" << PageName(page - 1) << "\">&larr; vorige</a> &middot; ";
    out << "<a href=\"index.htm\">naamindex</a>";
    if (page < pageCount)
        out << " &middot; <a href=\"" << PageName(page + 1) << "\">volgende &rarr;</a>";
    out << "</nav>\r\n<main>\r\n";
    for (const Line* l : items) {
        out << "<article class=\"person\" id=\"" << l->anchor << "\">\r\n<h2>"
            << FullName(l->person) << "</h2>\r\n";
        if (const std::string life = LifeText(l->person); !life.empty())
            out << "<p class=\"life\">" << life << "</p>\r\n";
        out << "<p class=\"meta\">Persoon " << l->number << " &middot; <a href=\"index.htm#n-"
            << l->anchor << "\">in de naamindex</a></p>\r\n</article>\r\n";
    }
    out << "</main>\r\n<footer><p><a href=\"index.htm\">Terug naar de naamindex van "
        << Html(tree.title) << "</a></p></footer>\r\n</body>\r\n</html>\r\n";
}

// The tree's own start page: its description and its name index in order.
void WriteTreeIndex(const std::string& folder, const Tree& tree, std::vector<const Line*> items) {
    std::sort(items.begin(), items.end(),
              [](const Line* a, const Line* b) { return a->key < b->key; });
    std::ofstream out(folder + "/index.htm", std::ios::binary);
    out << PageHead(Html(tree.title), tree.utf8)
        << "<header>\r\n<p class=\"tree\">Stamboom</p>\r\n<h1>" << Html(tree.title)
        << "</h1>\r\n<p>Samengesteld door " << Html(tree.user) << ". " << items.size()
        << " personen.</p>\r\n</header>\r\n<main>\r\n<h2>Naamindex</h2>\r\n<ol>\r\n";
    for (const Line* l : items) {
        out << "<li id=\"n-" << l->anchor << "\"><a href=\"" << PageName(l->page) << "#"
            << l->anchor << "\">" << IndexName(l->person) << "</a>";
        if (const std::string life = LifeText(l->person); !life.empty()) out << " (" << life << ")";
        out << "</li>\r\n";
    }
    out << "</ol>\r\n</main>\r\n<footer><p>Gemaakt met gen-htx, een generator van "
        << "voorbeeldstambomen.</p></footer>\r\n</body>\r\n</html>\r\n";
}

void WritePages(const std::string& folder, const Tree& tree, const std::vector<Line>& lines) {
    std::map<int, std::vector<const Line*>> pages;
    std::vector<const Line*> all;
    for (const Line& l : lines) {
        pages[l.page].push_back(&l);
        all.push_back(&l);
    }
    for (auto& [page, items] : pages) {
        std::sort(items.begin(), items.end(),
                  [](const Line* a, const Line* b) { return a->number < b->number; });
        WritePersonPage(folder, tree, page, static_cast<int>(pages.size()), items);
    }
    WriteTreeIndex(folder, tree, all);
}

std::string Pick(const std::vector<std::string>& names, int d, const std::string& otherwise) {
    return static_cast<std::size_t>(d) < names.size() && !names[static_cast<std::size_t>(d)].empty()
               ? names[static_cast<std::size_t>(d)]
               : otherwise;
}

void WriteDocument(const Options& o, int d, std::vector<Line>& lines) {
    const bool old = d >= o.docs - o.old;
    if (!old)
        std::sort(lines.begin(), lines.end(),
                  [](const Line& a, const Line& b) { return a.key < b.key; });
    Tree tree;
    tree.folder = Pick(o.folders, d, "tree" + std::to_string(d + 1));
    tree.title = Pick(o.titles, d, "Genealogie " + tree.folder);
    tree.user = Pick(o.users, d, "Onderzoeker " + std::to_string(d + 1));
    tree.utf8 = o.utf8;
    const std::string folder = o.pages ? o.folder + "/" + tree.folder : o.folder;
    std::filesystem::create_directories(folder);
    std::ofstream out(folder + "/" + tree.folder + ".htx", std::ios::binary);
    out << "[KESTRIN]\r\nversion=" << (old ? "3.1" : "3.22") << "\r\ntype=htx\r\nformat=1\r\n"
        << (o.utf8 ? "charset=utf-8\r\n" : "") << "[userdata]\r\nusernr=" << 100 + d
        << "\r\nusername=" << tree.user << "\r\nemail=tree" << d + 1
        << "@example.org\r\nhomepage=https://example.org/" << tree.folder
        << "/\r\n[metadata]\r\ndatafile=" << tree.folder << ".ksd\r\ntitle=" << tree.title
        << "\r\ncreated=0" << 1 + d % 9 << "-03-2019\r\nhtmfile=index.htm\r\n"
        << "dateformat=dd-mm-jjjj\r\n"
        << "description1=" << tree.title << ": " << lines.size() << " personen\r\n"
        << "description2=Gegenereerd voor tests en voorbeelden\r\n[indexdata]\r\n";
    for (const Line& l : lines)
        out << l.text << "\r\n";
    if (o.pages) WritePages(folder, tree, lines);
}

std::vector<std::string> SplitList(const std::string& list) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(';', start), list.size());
        items.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

bool Utf8Charset(const std::string& name) {
    if (name == "utf-8") return true;
    if (name == "windows-1252") return false;
    throw std::runtime_error("--charset is utf-8 or windows-1252, not " + name);
}

Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto text = [&]() -> std::string {
            if (i + 1 >= argc) throw std::runtime_error("missing value after " + a);
            return argv[++i];
        };
        auto value = [&]() -> long { return std::strtol(text().c_str(), nullptr, 10); };
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
        else if (a == "--per-page")
            o.perPage = static_cast<int>(value());
        else if (a == "--variety")
            o.variety = static_cast<int>(value());
        else if (a == "--surnames")
            o.surnames = value();
        else if (a == "--titles")
            o.titles = SplitList(text());
        else if (a == "--folders")
            o.folders = SplitList(text());
        else if (a == "--users")
            o.users = SplitList(text());
        else if (a == "--charset")
            o.utf8 = Utf8Charset(text());
        else if (a == "--foreign")
            o.foreign = static_cast<int>(value());
        else if (!a.empty() && a[0] == '-')
            throw std::runtime_error("unknown option " + a);
        else
            o.folder = a;
    }
    if (o.folder.empty() || o.docs < 1 || o.lines < 0 || o.perPage < 1 || o.surnames < 0 ||
        o.surnames > kMostSurnames || o.foreign < 0 || o.foreign > 100 ||
        (o.foreign > 0 && !o.utf8))
        throw std::runtime_error("usage: gen-htx [--docs N] [--lines N] [--overlap PERCENT] [--old "
                                 "N] [--seed N] [--pages] [--per-page N] [--variety PERCENT] "
                                 "[--surnames N (at most 300000)] [--titles \"A;B\"] [--folders "
                                 "\"a;b\"] [--users \"X;Y\"] [--charset windows-1252|utf-8] "
                                 "[--foreign PERCENT (with utf-8)] FOLDER");
    for (const std::string& name : o.folders)
        if (name.find('/') != std::string::npos || name == ".." || name == ".")
            throw std::runtime_error("a tree folder is a plain name: " + name);
    return o;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const Options o = Parse(argc, argv);
        Generator gen(o.seed, o.variety, o.surnames);
        std::mt19937 foreignRandom(o.seed ^ 0xf0e1u);
        std::vector<Person> shared; // persons that later trees may hold too
        const long perDoc = o.lines / o.docs;
        for (int d = 0; d < o.docs; ++d) {
            const long count = perDoc + (d < o.lines % o.docs ? 1 : 0);
            std::vector<Line> lines;
            lines.reserve(static_cast<std::size_t>(count));
            // A tree takes over persons of the trees before it, each at most once.
            const std::size_t earlier = shared.size();
            std::set<std::size_t> taken;
            for (long n = 0; n < count; ++n) {
                Person p;
                std::size_t pick = 0;
                if (earlier > 0 && gen.Uniform(100) < o.overlap &&
                    taken.insert(pick = static_cast<std::size_t>(gen.Uniform(earlier))).second)
                    p = shared[pick];
                else {
                    p = gen.NewPerson();
                    if (o.utf8) ToUtf8(p, o.foreign, foreignRandom);
                    if (shared.size() < 100000 && gen.Uniform(100) < o.overlap) shared.push_back(p);
                }
                Line line;
                line.person = p;
                line.number = n + 1;
                line.page = static_cast<int>(n / o.perPage) + 1;
                line.anchor = "p" + std::to_string(n + 1);
                line.text = IndexLine(p, n + 1, PageName(line.page) + "#" + line.anchor);
                line.key = SortKey(p, line.text, o.utf8);
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
