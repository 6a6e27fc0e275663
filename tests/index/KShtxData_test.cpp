#include "index/KShtxData.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace ks {
namespace {

using test::TempDir;
using test::WriteFileBytes;

const char* const kDocument = "[KESTRIN]\r\n"
                              "version=3.22\r\n"
                              "type=htx\r\n"
                              "format=1\r\n"
                              "[UserData]\r\n"
                              "usernr=1234\r\n"
                              "username=P. de Vries\r\n"
                              "Email=pdv@example.org\r\n"
                              "homepage=http://example.org/\r\n"
                              "[metadata]\r\n"
                              "title=Parenteel Van Vliet\r\n"
                              "datafile=vliet.ksd\r\n"
                              "created=28-02-2019\r\n"
                              "htmfile=index.htm\r\n"
                              "dateformat=dd-mm-jjjj\r\n"
                              "description1=Eerste regel\r\n"
                              "description2=Tweede regel\r\n"
                              "description4=Vierde regel\r\n"
                              "[indexdata]\r\n"
                              "V\tVliet, van\tJan\t\t1850\t1901\t1\tp1.htm#1\r\n";

TEST(KShtxData, LoadsTheHeaderOfADocument) {
    TempDir dir;
    const std::string path = dir.file("vliet.htx");
    WriteFileBytes(path, kDocument);
    const TKShtxData doc(path);
    EXPECT_EQ(doc.FileName, path);
    EXPECT_EQ(doc.Version, "3.22");
    EXPECT_EQ(doc.UserNr, 1234);
    EXPECT_EQ(doc.UserName, "P. de Vries");
    EXPECT_EQ(doc.Email, "pdv@example.org");
    EXPECT_EQ(doc.Homepage, "http://example.org/");
    EXPECT_EQ(doc.DataFile, "vliet.ksd");
    EXPECT_EQ(doc.Title, "Parenteel Van Vliet");
    EXPECT_EQ(doc.Created, "28-02-2019");
    EXPECT_EQ(doc.HtmFile, "index.htm");
    EXPECT_EQ(doc.DateFormat, "dd-mm-jjjj");
    // The missing third key ends the list: two lines, no CR LF after the last.
    EXPECT_EQ(doc.Description, "Eerste regel\r\nTweede regel");
    EXPECT_EQ(doc.FileSize, static_cast<int64_t>(std::string(kDocument).size()));
    EXPECT_FALSE(doc.NeedsSorting());
}

TEST(KShtxData, ControlBytesAreDroppedFromEveryHeaderText) {
    TempDir dir;
    const std::string path = dir.file("hostile.htx");
    WriteFileBytes(path,
                   std::string("[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n"
                               "[userdata]\r\nusername=P.\x1B]0;pwned\x07 de Vries\r\n"
                               "email=a\x01@b\r\nhomepage=http://\x7Fx/\r\n"
                               "[metadata]\r\ntitle=\x1B[2JStamboom\x81\x8D\x8F\x90\x9D Jansen\r\n"
                               "datafile=d\x0B.ksd\r\ncreated=\x0C"
                               "28-02-2019\r\n"
                               "htmfile=java\x09script:x\r\ndateformat=dd\x1F-mm\r\n"
                               "description1=Eerste\x08\x08 regel\r\ndescription2=\x9B"
                               "2J\xE9\r\n"
                               "[indexdata]\r\n"));
    const TKShtxData doc(path);
    EXPECT_EQ(doc.UserName, "P.]0;pwned de Vries");
    EXPECT_EQ(doc.Email, "a@b");
    EXPECT_EQ(doc.Homepage, "http://x/");
    EXPECT_EQ(doc.Title, "[2JStamboom Jansen");
    EXPECT_EQ(doc.DataFile, "d.ksd");
    EXPECT_EQ(doc.Created, "28-02-2019");
    EXPECT_EQ(doc.HtmFile, "javascript:x"); // links are judged where they are written
    EXPECT_EQ(doc.DateFormat, "dd-mm");
    // 0x9B is a letter-like sign in Windows-1252 (a single right angle
    // quote); every text is held as UTF-8.
    EXPECT_EQ(doc.Description, "Eerste regel\r\n\u203A2J\u00E9");
}

// The charset key says how the texts are read; the run holds them as UTF-8.
TEST(KShtxData, TextsAreReadInTheDocumentsCharset) {
    TempDir dir;
    const struct {
        const char* Key;
        TKSdocumentCharset Charset;
        const char* Title; // as written in the file
        const char* Held;
    } rows[] = {
        {"", TKSdocumentCharset::Windows1252, "M\xFCller", "M\u00FCller"},
        {"charset=Windows-1252\r\n", TKSdocumentCharset::Windows1252, "\xC5\x81", "\u00C5"},
        {"charset= UTF-8 \r\n", TKSdocumentCharset::Utf8, "Wa\xC5\x82\xC4\x99sa",
         "Wa\u0142\u0119sa"},
        // Composed, and a byte that is no UTF-8 read as Windows-1252.
        {"charset=utf8\r\n", TKSdocumentCharset::Utf8, "Rene\xCC\x81 \xE9", "Ren\u00E9 \u00E9"},
        {"charset=latin-2\r\n", TKSdocumentCharset::Unknown, "x", "x"},
    };
    for (const auto& row : rows) {
        const std::string path = dir.file("doc.htx");
        WriteFileBytes(path, std::string("[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n") +
                                 row.Key + "[metadata]\r\ntitle=" + row.Title +
                                 "\r\n[indexdata]\r\n");
        const TKShtxData doc(path);
        EXPECT_EQ(row.Charset, doc.Charset) << row.Key;
        EXPECT_EQ(row.Held, doc.Title) << row.Key;
    }
}

TEST(KShtxData, MissingDocumentGivesEmptyValues) {
    TempDir dir;
    for (const std::string& path : {dir.file("missing.htx"), dir.path().string(), std::string()}) {
        const TKShtxData doc(path);
        EXPECT_EQ(doc.FileName, path);
        EXPECT_EQ(doc.Version, "");
        EXPECT_EQ(doc.UserNr, 0);
        EXPECT_EQ(doc.Title, "");
        EXPECT_EQ(doc.Description, "");
        EXPECT_EQ(doc.FileSize, 0);
        EXPECT_TRUE(doc.NeedsSorting());
    }
}

TEST(KShtxData, UserNumberThatIsNoWholeNumberLoadsAsZero) {
    TempDir dir;
    const std::string path = dir.file("a.htx");
    for (const char* value : {"12a", "1.5", "abc", "99999999999", ""}) {
        WriteFileBytes(path, std::string("[userdata]\nusernr=") + value + "\nusername=Piet\n");
        const TKShtxData doc(path);
        EXPECT_EQ(doc.UserNr, 0) << value;
        EXPECT_EQ(doc.UserName, "Piet") << value;
    }
    WriteFileBytes(path, "[userdata]\nusernr=-17\n");
    EXPECT_EQ(TKShtxData(path).UserNr, -17);
}

TEST(KShtxData, VersionNumberIsReadExactlyAndLocaleFree) {
    struct Case {
        const char* version;
        double number;
        bool needsSorting;
    };
    const Case cases[] = {
        {"3.22", 3.22, false},   {"3.220", 3.22, false}, {"3.3", 3.3, false},
        {"3.21", 3.21, true},    {"3.2", 3.2, true},     {"3.2199999", 3.2199999, true},
        {"", 0, true},           {"abc", 0, true},       {"3.22x", 0, true},
        {" 3.22 ", 3.22, false}, {"4", 4, false},        {"10.1", 10.1, false},
        {"03.22", 3.22, false},  {"-3.22", -3.22, true}, {"+3.5", 3.5, false},
        {"3,22", 0, true},       {"3.", 0, true},        {".5", 0, true},
        {"1e3", 0, true},        {"3.2.2", 0, true},     {"- 3", 0, true},
        {"0x10", 0, true},       {"inf", 0, true},       {"nan", 0, true}};
    for (const auto& c : cases) {
        TKShtxData doc("");
        doc.Version = c.version;
        EXPECT_DOUBLE_EQ(doc.VersionNumber(), c.number) << '"' << c.version << '"';
        EXPECT_EQ(doc.NeedsSorting(), c.needsSorting) << '"' << c.version << '"';
    }
    TKShtxData doc("");
    doc.Version = "3." + std::string(100000, '2');
    EXPECT_FALSE(doc.NeedsSorting()); // 3.2222... lies above 3.22
    // Just below 3.22, though a double would round it to 3.22.
    doc.Version = "3.2199999999999999999";
    EXPECT_DOUBLE_EQ(doc.VersionNumber(), 3.22);
    EXPECT_TRUE(doc.NeedsSorting());
}

TEST(KShtxData, VersionsCompareAsDecimalNumbers) {
    EXPECT_EQ(CompareVersions("3.22", "3.220"), 0);
    EXPECT_EQ(CompareVersions("003.2200", "3.22"), 0);
    EXPECT_GT(CompareVersions("3.3", "3.22"), 0);
    EXPECT_LT(CompareVersions("3.219", "3.22"), 0);
    EXPECT_GT(CompareVersions("10.1", "9.99"), 0);
    EXPECT_LT(CompareVersions("-1", "0"), 0);
    EXPECT_LT(CompareVersions("-3.3", "-3.22"), 0);
    EXPECT_EQ(CompareVersions("-0", "0"), 0);
    EXPECT_EQ(CompareVersions("-0.0", "0"), 0);
    EXPECT_EQ(CompareVersions("abc", "0"), 0);
    EXPECT_EQ(CompareVersions("", "0.000"), 0);
    EXPECT_GT(CompareVersions("0.01", "abc"), 0);
}

TEST(KShtxData, IndexDataLine) {
    EXPECT_TRUE(TKShtxData::IsIndexDataLine("[indexdata]"));
    EXPECT_TRUE(TKShtxData::IsIndexDataLine("  [IndexData]\t"));
    EXPECT_FALSE(TKShtxData::IsIndexDataLine("[index data]"));
    EXPECT_FALSE(TKShtxData::IsIndexDataLine("[indexdata] x"));
    EXPECT_FALSE(TKShtxData::IsIndexDataLine(""));
    EXPECT_STREQ(TKShtxData::kIndexDataSection, "[indexdata]");
}

TEST(KShtxData, GarbageFilesLoadWithoutHarm) {
    TempDir dir;
    const std::string path = dir.file("garbage.htx");
    std::mt19937 random(1850);
    std::string bytes(200000, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    WriteFileBytes(path, bytes);
    EXPECT_EQ(TKShtxData(path).FileSize, 200000);

    // NUL bytes inside the header and a 10 MB line.
    const std::string huge(10 * 1024 * 1024, 'x');
    const std::string document =
        std::string("[KESTRIN]\nversion=3.3\n[metadata]\ntitle=A\0B\n", 43) +
        "description1=" + huge + "\n[indexdata]\n" + huge + "\n";
    WriteFileBytes(path, document);
    const TKShtxData doc(path);
    EXPECT_EQ(doc.FileSize, static_cast<int64_t>(document.size()));
    EXPECT_EQ(doc.Version, "3.3");
    EXPECT_FALSE(doc.NeedsSorting());
}

} // namespace
} // namespace ks
