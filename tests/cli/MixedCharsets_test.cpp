// A Windows-1252 tree and a UTF-8 tree with names of many languages and
// scripts, combined into one index: order, letters, pages in both kinds of
// layout and gendex.txt, through the command line.
#include "cli/RunInProcess.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace ks {
namespace {

std::string Tree(const std::string& charsetLine, const std::string& lines) {
    // An old version: the program sorts the lines itself.
    return "[KESTRIN]\r\nversion=3.1\r\ntype=htx\r\nformat=1\r\n" + charsetLine +
           "[metadata]\r\ntitle=T\r\n[indexdata]\r\n" + lines;
}

class MixedCharsets : public ::testing::Test {
protected:
    MixedCharsets() {
        fs::create_directories(dir.file("layout"));
        WriteFileBytes(dir.file("ansi.htx"), Tree("", "W\tWalesa\tLech\t\t\t\t1\ta.htm#1\r\n"
                                                      "M\tM\xFCller\tHans\t\t\t\t2\ta.htm#2\r\n"
                                                      "O\t\xD8rsted\tHans\t\t\t\t3\ta.htm#3\r\n"
                                                      "J\tJansen\tRen\xE9\t\t1850\t\t4\ta.htm#4\r\n"
                                                      "J\tJansen\tJan\t\t\t\t5\ta.htm#5\r\n"
                                                      "?\t_\tNobody\t\t\t\t6\ta.htm#6\r\n"));
        WriteFileBytes(
            dir.file("utf8.htx"),
            Tree("charset=utf-8\r\n",
                 "\u05DB\t\u05DB\u05D4\u05DF\t\u05DE\u05E9\u05D4\t\t\t\t1\tb.htm#1\r\n"
                 "\u041A\t\u041A\u043E\u044D\u043D\t\u041B\u0435\u0432\t\t\t\t2\tb.htm#2\r\n"
                 "W\tWa\u0142\u0119sa\tLech\t\t\t\t3\tb.htm#3\r\n"
                 "D\tDvo\u0159\u00E1k\tAnton\u00EDn\t\t\t\t4\tb.htm#4\r\n"
                 "S\tSz\u0151ke\tAnna\t\t\t\t5\tb.htm#5\r\n"
                 "S\t\u0218tef\u0103nescu\tIon\t\t\t\t6\tb.htm#6\r\n"
                 "Y\tY\u0131lmaz\tAy\u015Fe\t\t\t\t7\tb.htm#7\r\n"
                 "C\t\u00C7a\u011Flar\tMehmet\t\t\t\t8\tb.htm#8\r\n"
                 "G\tGu\u00F0mundsd\u00F3ttir\tSigr\u00ED\u00F0ur\t\t\t\t9\tb.htm#9\r\n"
                 "\u03A0\t\u03A0\u03B1\u03C0\u03B1\u03B4\u03CC\u03C0\u03BF\u03C5\u03BB"
                 "\u03BF\u03C2\t\u0393\u03B9\u03CE\u03C1\u03B3\u03BF\u03C2\t\t\t\t10\tb.htm#10\r\n"
                 "\u0418\t\u0418\u0432\u0430\u043D\u043E\u0432\t\u0418\u0432\u0430\u043D\t\t\t\t11"
                 "\tb.htm#11\r\n"
                 // The same person as in the other tree, the accent written apart.
                 "J\tJansen\tRene\u0301\t\t1850\t\t12\tb.htm#12\r\n"));
        WriteFileBytes(dir.file("layout/start.tpl"), "#NAMELIST(index)!\r\n");
        WriteFileBytes(dir.file("layout/index.tpl"), "#INDEXDATA!\r\n");
    }

    Outcome Build(const std::string& charset, std::vector<std::string> documents) {
        WriteFileBytes(dir.file("layout/l.ksl"),
                       "[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[General]\r\n" + charset +
                           "[Templates]\r\n1=start, start.tpl, #PREFIX!.htm, Start\r\n"
                           "2=index, index.tpl, #PREFIX!_i.htm, Index\r\n");
        std::vector<std::string> args = {
            "build", "--language=GB", "-l", "layout/l.ksl", "-o", "out", "-b", "idx", "--gendex"};
        args.insert(args.end(), documents.begin(), documents.end());
        return RunInProcess(args, dir.path().string());
    }

    // What a pattern's first group matches, in the order of the text.
    static std::vector<std::string> All(const std::string& text, const std::string& pattern) {
        std::vector<std::string> found;
        const std::regex re(pattern);
        for (auto it = std::sregex_iterator(text.begin(), text.end(), re);
             it != std::sregex_iterator(); ++it)
            found.push_back((*it)[1]);
        return found;
    }

    test::TempDir dir;
};

TEST_F(MixedCharsets, EveryNameAsWrittenInOrderUnderItsLetter) {
    const std::vector<std::string> letters = {"C",      "D",      "G",      "J",     "M",
                                              "O",      "S",      "W",      "Y",     "No surname",
                                              "\u03A0", "\u0418", "\u041A", "\u05DB"};
    const struct {
        const char* Charset;
        std::vector<std::string> Surnames; // the headings of the index, in order
    } layouts[] = {
        // The letters Windows-1252 holds as entities, as ever; the others as
        // written.
        {"charset=utf-8\r\n",
         {"&Ccedil;a\u011Flar", "Dvo\u0159&aacute;k", "Gu&eth;mundsd&oacute;ttir", "Jansen",
          "M&uuml;ller", "&Oslash;rsted", "\u0218tef\u0103nescu", "Sz\u0151ke", "Walesa",
          "Wa\u0142\u0119sa", "Y\u0131lmaz", "No surname",
          "\u03A0\u03B1\u03C0\u03B1\u03B4\u03CC\u03C0\u03BF\u03C5\u03BB\u03BF\u03C2",
          "\u0418\u0432\u0430\u043D\u043E\u0432", "\u041A\u043E\u044D\u043D",
          "<bdi>\u05DB\u05D4\u05DF</bdi>"}},
        // Nothing lost: a letter the code page lacks as a reference.
        {"",
         {"&Ccedil;a&#287;lar", "Dvo&#345;&aacute;k", "Gu&eth;mundsd&oacute;ttir", "Jansen",
          "M&uuml;ller", "&Oslash;rsted", "&#536;tef&#259;nescu", "Sz&#337;ke", "Walesa",
          "Wa&#322;&#281;sa", "Y&#305;lmaz", "No surname",
          "&#928;&#945;&#960;&#945;&#948;&#972;&#960;&#959;&#965;&#955;&#959;&#962;",
          "&#1048;&#1074;&#1072;&#1085;&#1086;&#1074;", "&#1050;&#1086;&#1101;&#1085;",
          "<bdi>&#1499;&#1492;&#1503;</bdi>"}},
    };
    for (const auto& layout : layouts) {
        const Outcome r = Build(layout.Charset, {"ansi.htx", "utf8.htx"});
        ASSERT_EQ(0, r.exitCode) << r.err;
        const std::string index = ReadFileBytes(dir.file("out/idx_i.htm"));
        EXPECT_EQ(layout.Surnames, All(index, "<span class=\"Idx1[^\"]*\">(.*?)</span><br />"))
            << layout.Charset;
        const std::string start = ReadFileBytes(dir.file("out/idx.htm"));
        if (layout.Charset[0] != '\0') {
            EXPECT_EQ(letters, All(start, "<span class=\"Letter\">(.*?)</span>"));
        }
        // René of both trees is one person with a link to each.
        EXPECT_EQ(1u, All(index, "(Ren(?:&eacute;|\u00E9))").size()) << layout.Charset;
        EXPECT_NE(std::string::npos, index.find("a.htm#4")) << layout.Charset;
        EXPECT_NE(std::string::npos, index.find("b.htm#12")) << layout.Charset;
    }
    // gendex.txt: names as written, surnames in capitals.
    const std::string gendex = ReadFileBytes(dir.file("out/gendex.txt"));
    for (const char* line : {"|WA\u0141\u0118SA|Lech /WA\u0141\u0118SA/|",
                             "|DVO\u0158\u00C1K|Anton\u00EDn /DVO\u0158\u00C1K/|",
                             "|WALESA|Lech /WALESA/|", "|\u05DB\u05D4\u05DF|"})
        EXPECT_NE(std::string::npos, gendex.find(line)) << line;
}

// A character set the program cannot read stops the run before anything is
// written, naming the document.
TEST_F(MixedCharsets, AnUnknownCharacterSetIsRefused) {
    WriteFileBytes(dir.file("latin2.htx"),
                   Tree("charset=iso-8859-2\r\n", "A\tA\tB\t\t\t\t1\tx.htm\r\n"));
    const Outcome r = Build("", {"ansi.htx", "latin2.htx"});
    EXPECT_NE(0, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("latin2.htx: unknown character set \"iso-8859-2\""))
        << r.err;
    EXPECT_FALSE(fs::exists(dir.file("out/idx_i.htm")));
}

} // namespace
} // namespace ks
