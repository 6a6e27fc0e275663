#include "common/KScodepage.h"
#include "import/KSimport.h"
#include "import/KSindexLetter.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

namespace ks {
namespace {

// Each surname of an index document with its letter; the surname without
// its particle ("Berg" of "Berg, van den").
std::map<std::string, std::string> Letters(const std::string& text) {
    std::map<std::string, std::string> letters;
    for (std::size_t at = text.find("[indexdata]\r\n") + 13; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        const std::string line = text.substr(at, end - at);
        const std::size_t tab = line.find('\t');
        const std::string surname = line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1);
        letters[surname.substr(0, surname.find(", "))] = line.substr(0, tab);
        at = end + 2;
    }
    return letters;
}

// Imports one person a surname from a Windows-1252 GEDCOM file; the letters
// of the Windows-1252 document written.
std::map<std::string, std::string>
ImportedLetters(const std::map<std::string, std::string>& names) {
    std::string gedcom = "0 HEAD\n1 CHAR ANSI\n";
    for (const auto& [surname, letter] : names)
        gedcom += "0 @I@ INDI\n1 NAME X /" + surname + "/\n1 DEAT\n";
    test::TempDir dir;
    TKSimportRequest request;
    request.Source = dir.file("a.ged");
    request.LinkPattern = "{id}.htm";
    request.Charset =
        TKSimportCharset::Windows1252; // the letters as the code page's documents hold them
    test::WriteFileBytes(request.Source, gedcom + "0 TRLR\n");
    return Letters(test::ReadFileBytes(ImportNameList(request).Document));
}

// Every letter of Windows-1252 a surname can start with is filed under its
// letter without marks, as the genealogy program's own documents file it.
TEST(IndexLetter, EveryLetterOfTheCodePageUnderItsBaseLetter) {
    const struct {
        unsigned char First, Last; // Windows-1252
        const char* Letters;       // one a byte; "_" none
    } table[] = {
        {0xC0, 0xDF, "AAAAAAACEEEEIIIIDNOOOOO_OUUUUYTS"}, // À..ß, × no letter
        {0xE0, 0xFF, "AAAAAAACEEEEIIIIDNOOOOO_OUUUUYTY"}, // à..ÿ, ÷ no letter
        {0x8A, 0x8C, "S_O"},                              // Š ‹ Œ
        {0x8E, 0x8E, "Z"},                                // Ž
        {0x9A, 0x9C, "S_O"},                              // š › œ
        {0x9E, 0x9F, "ZY"},                               // ž Ÿ
        {0x83, 0x83, "F"},                                // ƒ
        {0xAA, 0xAA, "A"},                                // ª
        {0xB5, 0xB5, "M"},                                // µ
        {0xBA, 0xBA, "O"},                                // º
        {'a', 'z', "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        {'0', '9', "0123456789"},
        {'\'', '(', "__"}, // the document writes the unknown letter as "_"
    };
    std::map<std::string, std::string> expected;
    for (const auto& row : table) {
        ASSERT_EQ(std::string(row.Letters).size(), std::size_t(row.Last - row.First + 1));
        for (int c = row.First; c <= row.Last; ++c)
            expected[std::string(1, static_cast<char>(c)) + "ber"] =
                std::string(1, row.Letters[c - row.First]);
    }
    EXPECT_EQ(expected, ImportedLetters(expected));
}

// The same surnames from an imported file and from the program's own
// documents are filed under the same letter (Å, Ø, Þ among them).
TEST(IndexLetter, AgreesWithTheProgramsDocuments) {
    std::map<std::string, std::string> documents;
    for (const char* sample : {"deboer/deboer.htx", "jansen/jansen.htx", "smit/smit.htx"})
        for (const auto& [surname, letter] :
             Letters(test::ReadFileBytes(std::string(KS_TEST_SOURCE_DIR) + "samples/" + sample)))
            if (surname != "_" && surname != "?") documents[surname] = letter;
    ASSERT_GT(documents.size(), 20u);
    std::size_t marked = 0;
    for (const auto& [surname, letter] : documents)
        marked += static_cast<unsigned char>(surname[0]) >= 0x80;
    EXPECT_GT(marked, 2u);
    EXPECT_EQ(documents, ImportedLetters(documents));
}

// A letter the code page lacks goes under its Latin base letter or, in
// another script, its capital without marks.
TEST(IndexLetter, EveryScript) {
    const struct {
        const char* Utf8;
        const char* Letter;
    } rows[] = {
        {"?", "?"},
        {"", "?"},
        {"\xC5\x81ukasz", "L"},                   // Łukasz
        {"\xC8\x98tef\xC4\x83n", "S"},            // Ștefăn
        {"\xC7\xBE", "O"},                        // Ǿ, built on Ø
        {"\xE1\xBA\x9E", "S"},                    // ẞ
        {"\xCE\xAC\xCE\xBB", "\xCE\x91"},         // ά under Α
        {"\xD0\xB6\xD0\xBA", "\xD0\x96"},         // ж under Ж
        {"\xD7\x9B\xD7\x94\xD7\x9F", "\xD7\x9B"}, // כהן
        {"\xEA\xB9\x80", "\xE1\x84\x80"},         // 김 under its first jamo
        {"\xE2\x80\x82x", "?"},                   // a space the code page lacks
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.Letter, IndexLetter(row.Utf8)) << row.Utf8;
}

} // namespace
} // namespace ks
