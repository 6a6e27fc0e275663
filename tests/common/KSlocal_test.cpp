#include "common/KSlocal.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace ks {
namespace {
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

// Closes the process-wide language files whatever a test leaves open.
class LocalTextTest : public ::testing::Test {
protected:
    ~LocalTextTest() override { CloseLanguageFiles(); }
    TempDir dir_;
};

TEST_F(LocalTextTest, DefaultsWithoutAFile) {
    CloseLanguageFiles();
    EXPECT_EQ("bestand niet gevonden", LookupText("#1547.1=bestand niet gevonden", "Text"));
    EXPECT_EQ("", LookupText("#1539.hint", "Text"));
    EXPECT_EQ("a=b", LookupText("#9.1=a=b", "Text"));
    EXPECT_EQ("", LookupText("", "Text"));
    EXPECT_EQ("", LookupText("Uitleg", "Text"));
    EXPECT_EQ("", LookupNumbered(1, "Datetype"));

    OpenLanguageFiles(dir_.file("KS-XX.UI"), dir_.file("KS-XX.LNG")); // neither exists
    EXPECT_EQ("bestand niet gevonden", LookupText("#1547.1=bestand niet gevonden", "Text"));
    EXPECT_EQ("", LookupKey("1", "Datetype"));
}

TEST_F(LocalTextTest, FileValuesWinOverDefaultsEvenWhenEmpty) {
    WriteFileBytes(dir_.file("KS-GB.UI"), "[Text]\r\n"
                                          "1547.1=\r\n"
                                          "1539.hint=Split this output\r\n"
                                          "HTML.P1=Introduction\r\n"
                                          "plain=a plain key\r\n"
                                          "[Other]\r\n"
                                          "1548.text=elsewhere\r\n");
    OpenUiTextFile(dir_.file("KS-GB.UI"));
    EXPECT_EQ("", LookupText("#1547.1=bestand niet gevonden", "Text"));
    EXPECT_EQ("Split this output", LookupText("#1539.hint", "Text"));
    // Keys and sections match without regard to case.
    EXPECT_EQ("Introduction", LookupText("#html.p1=Uitleg", "text"));
    EXPECT_EQ("a plain key", LookupText("PLAIN", "Text"));
    EXPECT_EQ("", LookupText("Uitleg", "Text"));
    // Only the section asked for counts.
    EXPECT_EQ("resultaat automatisch openen",
              LookupText("#1548.text=resultaat automatisch openen", "Text"));
    EXPECT_EQ("elsewhere", LookupText("#1548.text=x", "Other"));
}

TEST_F(LocalTextTest, LanguageFileLookups) {
    WriteFileBytes(dir_.file("KS-NL.LNG"), "[Datetype]\r\n"
                                           "0=#date1#\r\n"
                                           "1=omstreeks #date1#\r\n"
                                           "[Datemodi]\r\n"
                                           "Abt=ca.\r\n");
    OpenLanguageFile(dir_.file("KS-NL.LNG"));
    EXPECT_EQ("#date1#", LookupNumbered(0, "Datetype"));
    EXPECT_EQ("omstreeks #date1#", LookupNumbered(1, "DATETYPE"));
    EXPECT_EQ("", LookupNumbered(2, "Datetype"));
    EXPECT_EQ("ca.", LookupKey("abt", "Datemodi"));
    EXPECT_EQ("", LookupKey("Abt", "Datetype"));
    // The user-interface texts are a different file.
    EXPECT_EQ("", LookupText("0", "Datetype"));

    // Opening the other file leaves this one open.
    WriteFileBytes(dir_.file("KS-NL.UI"), "[Text]\r\n1001=Annuleren\r\n");
    OpenUiTextFile(dir_.file("KS-NL.UI"));
    EXPECT_EQ("ca.", LookupKey("Abt", "Datemodi"));
    EXPECT_EQ("Annuleren", LookupText("#1001=x", "Text"));
    CloseLanguageFiles();
    EXPECT_EQ("", LookupKey("Abt", "Datemodi"));
}

// Every key the program uses, with its Dutch default.
const std::map<std::string, std::string>& ProgramKeys() {
    static const std::map<std::string, std::string> keys = {
        {"1001", "&Annuleren"},
        {"1002", ""},
        {"1003", "V&orige"},
        {"1004", ""},
        {"1005", "&Volgende"},
        {"1006", ""},
        {"1007", "&Gereed"},
        {"1008", ""},
        {"1501.text", "&deze uitleg vanaf nu overslaan"},
        {"1501.hint", ""},
        {"1510.1", "aantal"},
        {"1510.2", "geselecteerd"},
        {"1511.1", "kies een map"},
        {"1511.text", "&Map doorzoeken"},
        {"1511.hint", ""},
        {"1512.1", "KESTRIN HTML-uitvoer"},
        {"1512.2", "&Titel van deze uitvoer"},
        {"1512.3", "Dit bestand kan niet aangepast worden"},
        {"1512.text", "&Titel wijzigen"},
        {"1512.hint", ""},
        {"1513.hint", ""},
        {"1514.hint", ""},
        {"1515.hint", ""},
        {"1516.hint", ""},
        {"1518.1", "KESTRIN document"},
        {"1518.2", "Aangemaakt d.d."},
        {"1518.3", "Vanuit bestand"},
        {"1518.4", "KESTRIN versie"},
        {"1518.5", "KESTRIN gebruiker"},
        {"1518.6", "omschrijving"},
        {"1530.text", "Index-gegevens"},
        {"1531.1", "kies een map"},
        {"1531.text", "Op&slagmap:"},
        {"1531.hint", ""},
        {"1532.text", "&Bestandsnaam:"},
        {"1533.1", "per eerste letter van de achternaam"},
        {"1533.2", "per twee letters van de achternaam"},
        {"1533.3", "in circa 50 delen"},
        {"1533.4", "in circa 100 delen"},
        {"1533.5", "in circa 250 delen"},
        {"1533.6", "in circa 500 delen"},
        {"1533.text", "&Index indeling:"},
        {"1534.text", "&Jaartallen bij namen in de index vermelden?"},
        {"1535.text", "Jaartallen &negeren bij bepaling dubbelen?"},
        {"1536.text", "&Titel:"},
        {"1537.text", "&Homepage:"},
        {"1538.text", "&Email:"},
        {"1539.1", "Scherm \""},
        {"1539.2", "\" splitsen"},
        {"1539.hint", ""},
        {"1541.text", "samenvoegen indexen:"},
        {"1542.text", "dubbelen zoeken:"},
        {"1547.1", "bestand niet gevonden"},
        {"1548.text", "&resultaat automatisch openen"},
        {"1548.hint", ""},
        {"1549.text", "O&penen"},
        {"html.form", "HTML verzamelindex"},
        {"html.p1", "Uitleg"},
        {"html.p2", "Documenten kiezen"},
        {"html.p3", "Stijl kiezen"},
        {"html.p4", "Instellingen"},
        {"html.p5", "Voortgang"},
    };
    return keys;
}

TEST_F(LocalTextTest, ShippedTextFilesHoldEveryKey) {
    const std::string dist = KS_TEST_DIST_DIR;
    for (const char* language : {"NL", "GB"}) {
        const std::string bytes = ReadFileBytes(dist + "KS-" + language + ".UI");
        ASSERT_FALSE(bytes.empty()) << language;
        // Lines end in CR LF only.
        for (std::size_t at = bytes.find('\n'); at != std::string::npos;
             at = bytes.find('\n', at + 1))
            ASSERT_TRUE(at > 0 && bytes[at - 1] == '\r') << language << " at byte " << at;
    }

    OpenUiTextFile(dist + "KS-NL.UI");
    for (const auto& [key, dutch] : ProgramKeys()) {
        // A missing key would fall back to this marker.
        const std::string value = LookupText("#" + key + "=<missing>", "Text");
        if (dutch.empty())
            EXPECT_NE("<missing>", value) << key; // hints: any Dutch text
        else
            EXPECT_EQ(dutch, value) << key;
    }

    OpenUiTextFile(dist + "KS-GB.UI");
    int sameAsDutch = 0;
    for (const auto& [key, dutch] : ProgramKeys()) {
        const std::string value = LookupText("#" + key + "=<missing>", "Text");
        EXPECT_NE("<missing>", value) << key;
        EXPECT_FALSE(value.empty()) << key;
        if (value == dutch) ++sameAsDutch;
    }
    // Only "KESTRIN document" reads the same in both languages.
    EXPECT_EQ(1, sameAsDutch);
    EXPECT_EQ("file not found", LookupText("#1547.1=bestand niet gevonden", "Text"));
    EXPECT_EQ("&Cancel", LookupText("#1001=&Annuleren", "Text"));
    // The split caption keeps its quotes around the entry caption.
    EXPECT_EQ("Split \"", LookupText("#1539.1", "Text"));
    EXPECT_EQ("\" into pages", LookupText("#1539.2", "Text"));
}

// One localised literal of the program's sources.
struct SourceLiteral {
    std::string where; // file:line
    std::string key;
    bool hasDefault = false;
    std::string dutch; // the default after "="
};

// Every string literal of a source file outside comments (adjacent ones
// joined), with its line. Only the escapes the sources use.
std::vector<std::pair<int, std::string>> StringLiterals(const std::string& text) {
    std::vector<std::pair<int, std::string>> literals;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text.compare(at, 2, "//") == 0) {
            at = text.find('\n', at);
        } else if (text.compare(at, 2, "/*") == 0) {
            at = std::min(text.find("*/", at), text.size() - 2) + 2;
        } else if (text[at] == '\'' && at > 0 &&
                   std::isalnum(static_cast<unsigned char>(text[at - 1]))) {
            ++at; // a digit separator, as in 20'000
        } else if (text[at] == '\'') {
            at =
                std::min(text.find('\'', at + (text[at + 1] == '\\' ? 3 : 2)), text.size() - 1) + 1;
        } else if (text.compare(at, 3, "R\"(") == 0) {
            at = std::min(text.find(")\"", at), text.size() - 2) + 2; // raw texts hold no messages
        } else if (text[at] != '"') {
            ++at;
        } else {
            const int line =
                1 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'));
            std::string value;
            while (at < text.size() && text[at] == '"') {
                for (++at; at < text.size() && text[at] != '"'; ++at) {
                    char c = text[at];
                    if (c == '\\' && text[++at] == 'x') {
                        std::size_t used = 0;
                        c = static_cast<char>(std::stoi(text.substr(at + 1, 2), &used, 16));
                        at += used;
                    } else if (c == '\\') {
                        const std::size_t named = std::string("nrt").find(text[at]);
                        c = named != std::string::npos ? "\n\r\t"[named] : text[at];
                    }
                    value += c;
                }
                at = std::min(text.find_first_not_of(" \n", at + 1), text.size());
            }
            literals.emplace_back(line, value);
        }
    }
    return literals;
}

std::vector<SourceLiteral> LocalisedLiterals() {
    namespace fs = std::filesystem;
    const fs::path root = KS_TEST_SOURCE_DIR;
    const std::regex literal(R"(#([0-9]+(\.[0-9A-Za-z]+)?|[a-z]+\.[0-9A-Za-z]+)(=[\s\S]*)?)");
    std::vector<SourceLiteral> found;
    for (const char* folder : {"LINE_INPUT", "common", "net", "index", "template", "dates",
                               "builder", "import", "publish", "fetch", "cli", "app"}) {
        if (!fs::exists(root / folder)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".cpp" && ext != ".h") continue;
            for (const auto& [line, value] : StringLiterals(ReadFileBytes(entry.path().string()))) {
                std::smatch match;
                if (!std::regex_match(value, match, literal)) continue;
                found.push_back({entry.path().filename().string() + ":" + std::to_string(line),
                                 match[1], match[3].matched,
                                 match[3].matched ? match[3].str().substr(1) : ""});
            }
        }
    }
    return found;
}

// The "%1".."%9" a text holds.
std::multiset<std::string> Placeholders(const std::string& text) {
    std::multiset<std::string> found;
    for (std::size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 1))
        if (at + 1 < text.size() && text[at + 1] >= '1' && text[at + 1] <= '9')
            found.insert(text.substr(at, 2));
    return found;
}

// The keys of section "Text" of a shipped text file.
std::set<std::string> TextKeys(const std::string& path) {
    std::set<std::string> keys;
    std::istringstream lines(ReadFileBytes(path));
    bool inText = false;
    for (std::string line; std::getline(lines, line, '\n');) {
        if (!line.empty() && line[0] == '[')
            inText = line == "[Text]\r";
        else if (inText && line.find('=') != std::string::npos)
            keys.insert(line.substr(0, line.find('=')));
    }
    return keys;
}

// A literal whose key is missing from a text file shows Dutch in every
// language; a Dutch file that differs from the source's default, or an
// English text without the default's placeholders, shows wrong texts.
TEST_F(LocalTextTest, EveryLiteralOfTheSourcesIsInBothTextFiles) {
    const std::string dist = KS_TEST_DIST_DIR;
    const std::vector<SourceLiteral> literals = LocalisedLiterals();
    // The scan finds the literals of the run (builder), the tool and the wizard.
    std::set<std::string> keys;
    for (const SourceLiteral& l : literals)
        keys.insert(l.key);
    for (const char* known : {"1547.1", "1560.3", "1563.2", "1566.16", "1001", "html.p5"})
        EXPECT_EQ(1u, keys.count(known)) << known;

    for (const char* language : {"NL", "GB"}) {
        OpenUiTextFile(dist + "KS-" + language + ".UI");
        for (const SourceLiteral& l : literals) {
            const std::string value = LookupText("#" + l.key + "=<missing>", "Text");
            EXPECT_NE("<missing>", value) << language << " " << l.where << ": " << l.key;
            EXPECT_FALSE(value.empty()) << language << " " << l.where << ": " << l.key;
            if (!l.hasDefault) continue;
            // One Dutch text per key, wherever it is written, the same as the file's.
            if (std::string(language) == "NL") {
                EXPECT_EQ(l.dutch, value) << l.where << ": " << l.key;
            }
            EXPECT_EQ(Placeholders(l.dutch), Placeholders(value))
                << language << " " << l.where << ": " << l.key;
        }
    }
    // Both files hold the same keys.
    EXPECT_EQ(TextKeys(dist + "KS-NL.UI"), TextKeys(dist + "KS-GB.UI"));
}
TEST_F(LocalTextTest, TextsWithValuesKeepTheTranslationsOrder) {
    WriteFileBytes(dir_.file("KS-GB.UI"), "[Text]\r\n"
                                          "9.1=%2 before %1, 100% and %3\r\n"
                                          "9.2=no values\r\n");
    OpenUiTextFile(dir_.file("KS-GB.UI"));
    // A value is put in as it is: a "%1" inside it stays.
    EXPECT_EQ("b before a%1, 100% and %3", LocalText("#9.1=%1 voor %2", {"a%1", "b"}));
    EXPECT_EQ("no values", LocalText("#9.2=geen %1", {"x"}));
    CloseLanguageFiles();
    EXPECT_EQ("x na y%", LocalText("#9.1=%1 na %2%", {"x", "y"}));
    // A count chooses its word: the first form for 1, else the second; a
    // brace without both forms is text.
    for (const auto& [count, text] :
         std::vector<std::pair<std::string, std::string>>{{"1", "1 regel, 1 {x} {a|b"},
                                                          {"0", "0 regels, 0 {x} {a|b"},
                                                          {"11", "11 regels, 11 {x} {a|b"}})
        EXPECT_EQ(text, LocalText("#9.4=%1{ regel| regels}, %1 {x} {a|b", {count}));
    EXPECT_EQ("kan niet: " + std::string(std::strerror(ENOENT)),
              LocalReason("#9.3=kan niet", ENOENT));
}

} // namespace
} // namespace ks
