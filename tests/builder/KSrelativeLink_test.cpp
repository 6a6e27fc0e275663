#include "builder/KSrelativeLink.h"

#include "builder/KShtmlPieces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace ks {
namespace {

TEST(RelativeLink, GoesUpToTheCommonFolderAndDownToTheTarget) {
    EXPECT_EQ("../tree1/p3.htm#i12", RelativeLink("/t/out/index1.htm", "/t/tree1/p3.htm#i12"));
    EXPECT_EQ("p.htm", RelativeLink("/t/out/index.htm", "/t/out/p.htm"));
    EXPECT_EQ("sub/deep/p.htm", RelativeLink("/t/out/index.htm", "/t/out/sub/deep/p.htm"));
    EXPECT_EQ("../../../p.htm#x", RelativeLink("/t/a/b/c/index.htm", "/t/p.htm#x"));
    EXPECT_EQ("../../b/c/p.htm", RelativeLink("/a/x/index.htm", "/b/c/p.htm"));
}

TEST(RelativeLink, ResolvesDotsAndBackslashesByNameAndKeepsTheFragment) {
    EXPECT_EQ("../shared/p.htm", RelativeLink("/t/out/./i.htm", "/t/tree1/../shared/p.htm"));
    EXPECT_EQ("../tree1/sub/p.htm#x", RelativeLink("/t/out/i.htm", "/t/tree1/sub\\p.htm#x"));
    EXPECT_EQ("p.htm#a/../b\\c", RelativeLink("/t/i.htm", "/t/p.htm#a/../b\\c"));
    // ".." never climbs above the root.
    EXPECT_EQ("../p.htm", RelativeLink("/t/i.htm", "/../../p.htm"));
}

TEST(RelativeLink, AFileNamedLikeAFolderOfTheOutputIsNotACommonFolder) {
    EXPECT_EQ("../x", RelativeLink("/t/x/i.htm", "/t/x"));
    EXPECT_EQ("./", RelativeLink("/t/x/i.htm", "/t/x/"));
    EXPECT_EQ("../#top", RelativeLink("/t/x/i.htm", "/t/#top"));
}

TEST(RelativeLink, RelativePathsStartFromTheCurrentFolder) {
    const std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ("../tree/p.htm", RelativeLink("out/i.htm", "tree/p.htm"));
    EXPECT_EQ("../tree/p.htm", RelativeLink(cwd + "/out/i.htm", "tree/p.htm"));
}

TEST(RelativeLink, DocumentLinksStartFromTheDocumentsFolder) {
    EXPECT_EQ("../tree2/p7.htm#i9",
              DocumentLink("/t/out/index1.htm", "/t/tree2/b.htx", "p7.htm#i9"));
    EXPECT_EQ("../../up.htm", DocumentLink("/t/out/index1.htm", "/t/tree2/b.htx", "../../up.htm"));
    EXPECT_EQ("../tree2/sub/p.htm",
              DocumentLink("/t/out/index1.htm", "/t/tree2/b.htx", "sub\\p.htm"));
}

TEST(IsSafeLink, OnlyRelativePathsAndHttpAddressesAreLinks) {
    // Kept: relative paths, http and https, in any case.
    for (const std::string link :
         {"p3.htm#i12", "../tree1/p3.htm#i12", "./javascript:alert(1)" /* a folder */,
          "sub/javascript:x", "#javascript:x", "/abs/p.htm", "p.htm?a=javascript:x",
          "http://example.org/p.htm", "HTTPS://example.org/", "  http://example.org/",
          "1abc:x" /* no scheme starts with a digit */, "a b:x" /* nor holds a blank */,
          "j\xE4vascript:x" /* nor a byte above 127 */,
          "\xA0javascript:x" /* a non-breaking space is not passed over */, ""})
        EXPECT_TRUE(IsSafeLink(link)) << "\"" << link << "\"";
    // Refused: every other scheme, hidden or not, a control byte anywhere, and
    // another host without a scheme.
    for (const std::string link : {"javascript:alert(1)",     "JavaScript:alert(1)",
                                   "JAVASCRIPT:alert(1)",     "   javascript:alert(1)",
                                   "\x01javascript:alert(1)", "java\tscript:alert(1)",
                                   "java\nscript:alert(1)",   "javascript\r:alert(1)",
                                   "\x7Fjavascript:x",        "p.htm\x1B",
                                   "data:text/html,x",        "vbscript:msgbox(1)",
                                   "file:///etc/passwd",      "mailto:a@b",
                                   "c:/tree/p.htm",           "x-y.z+w:p",
                                   "httpx://example.org/",    "http+x:",
                                   "//evil.example/p.htm",    "\\\\evil.example\\p.htm",
                                   "/\\evil.example/",        "  //evil.example/"})
        EXPECT_FALSE(IsSafeLink(link)) << "\"" << link << "\"";
    EXPECT_FALSE(IsSafeLink(std::string("\0javascript:x", 13)));
}

// The link is judged as it stands in the page: a tree in a folder of the
// output folder whose link climbs back out gives a scheme, and is refused.
TEST(IsSafeLink, JudgesTheLinkAsItStandsInThePage) {
    struct Case {
        std::string page, document, link, written;
        bool safe;
    };
    const std::vector<Case> cases = {
        {"/t/out/i.htm", "/t/out/sub/a.htx", "../javascript:alert(1)", "javascript:alert(1)",
         false},
        {"/t/out/i.htm", "/t/tree/a.htx", "javascript:alert(1)", "../tree/javascript:alert(1)",
         true},
        {"/t/out/i.htm", "/t/out/a.htx", "//evil/p.htm", "evil/p.htm", true},
        {"/t/out/i.htm", "/t/out/a.htx", "http://example.org/p", "http://example.org/p", true},
        {"/t/out/i.htm", "/t/out/a.htx", "http:/example.org/p", "http:/example.org/p", true},
        {"/t/out/sub/i.htm", "/t/out/sub/a.htx", "../sub/p.htm", "p.htm", true},
    };
    for (const Case& c : cases) {
        const std::string written = DocumentLink(c.page, c.document, c.link);
        EXPECT_EQ(written, c.written);
        EXPECT_EQ(IsSafeLink(written), c.safe) << written;
    }
}

TEST(DocumentLinker, GivesWhatDocumentLinkGivesForEveryShapeOfLink) {
    const std::vector<std::string> pages = {"/t/out/index1.htm", "/t/index1.htm", "/index1.htm",
                                            "out/index1.htm", "/t/a#b/index1.htm"};
    const std::vector<std::string> documents = {
        "/t/tree2/b.htx", "/t/out/b.htx", "/t/out/sub/b.htx", "/b.htx",         "b.htx",
        "tree/b.htx",     "/t/x#y/b.htx", "/t/../u/./b.htx",  "/t/tr ee/b.htx", "C:\\t\\b.htx"};
    std::vector<std::string> links = {""};
    for (const char c : std::string("p7.htm#i9|sub/p.htm#a/b|../../up.htm|./p.htm|sub/../p|"
                                    "/abs/p.htm|a//b.htm|sub\\p.htm|sub/|#only||p.htm#x#y|.|"
                                    "dir/..|p.htm#../q|javascript:x|//host/p|a b/c&d.htm#\"q\"|"
                                    "http://h.org/p#a|HTTPS://H/"))
        c == '|' ? links.push_back("") : links.back().push_back(c);
    for (const std::string& page : pages)
        for (const std::string& document : documents)
            for (const std::string address : {"", "https://ex.org/pub", "http://ex.org/"}) {
                const TKSdocumentLinker linker(page, document, address);
                for (const std::string& link : links) {
                    std::string appended = "<";
                    linker.AppendLink(appended, link);
                    const std::string expected = DocumentLink(page, document, link, address);
                    EXPECT_EQ(linker.Link(link), expected)
                        << page << " " << document << " " << link;
                    EXPECT_EQ(appended, "<" + expected);
                }
            }
}

TEST(WebAddress, LinksOfAPublishedTreeAreItsAddressJoinedWithTheLink) {
    struct Case {
        std::string address, link, written;
    };
    const std::vector<Case> cases = {
        {"https://ex.org/tree", "p7.htm#i9", "https://ex.org/tree/p7.htm#i9"},
        {"https://ex.org/tree/", "#top", "https://ex.org/tree/#top"},
        {"https://ex.org/tree/", "", "https://ex.org/tree/"},
        {"https://ex.org/a/b/", "../up.htm", "https://ex.org/a/up.htm"},
        {"https://ex.org/a/", "../../../up.htm#x/../y", "https://ex.org/up.htm#x/../y"},
        {"http://ex.org", "sub\\./p.php?id=a/../b#c", "http://ex.org/sub/p.php?id=a/../b#c"},
        {"https://u@ex.org:8080/t/", "sub/..", "https://u@ex.org:8080/t/"},
        {"https://ex.org/t/", "//evil.org/p", "https://ex.org/t/evil.org/p"},
        {"https://ex.org/t/", "/abs/p.htm", "https://ex.org/t/abs/p.htm"},
        {"https://ex.org/t/", "Http://other.org/p?q#f", "Http://other.org/p?q#f"},
        {"", "https://other.org/a/../p", "https://other.org/a/../p"},
        {"", "p.htm", "../tree/p.htm"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.written, DocumentLink("/t/out/i.htm", "/t/tree/a.htx", c.link, c.address))
            << c.address << " " << c.link;
    // Written into a page as any link is: escaped.
    EXPECT_EQ(" href=\"https://ex.org/a&amp;b/c&amp;d.htm\"",
              HrefAttribute(DocumentLink("/t/i.htm", "/t/a.htx", "c&d.htm", "https://ex.org/a&b")));
}

TEST(WebAddress, OnlyAnHttpAddressOfAFolderThatAPageHoldsAsItStandsIsOne) {
    for (const char* good :
         {"http://ex.org", "HTTPS://ex.org/a/b/", "https://u:p@ex.org:8080/t", "https://[::1]:80/",
          "https://ex.org/a%20b/~c/(d)&e=f", "https://[::1]:8080/", "http://[2001:db8::7]/",
          "http://10.0.0.255:1/", "http://localhost:65535", "https://xn--bcher-kva.example./t",
          "https://my_tree.example.org/"})
        EXPECT_TRUE(IsGoodWebAddress(good)) << good;
    for (const char* bad : {"",
                            "ex.org/tree",
                            "ftp://ex.org/",
                            "javascript://ex.org/%0aalert(1)",
                            "https://",
                            "https:///tree",
                            "https://:80/",
                            "https://ex.org:8o/",
                            "https://[::1/",
                            "http:ex.org",
                            "https://ex.org/a b/",
                            "https://ex.org/\"x",
                            "https://ex.org/'x",
                            "https://ex.org/<b>",
                            "https://ex.org\\t",
                            "https://ex.org/t?x=1",
                            "https://ex.org/t#x",
                            "https://ex.org/\t",
                            "https://ex.org/\x7F",
                            "https://ex.org/caf\xE9/",
                            " https://ex.org/",
                            "https://e.example:99999/",
                            "https://e.example:0/",
                            "https://[zz]/",
                            "https://[::1]x/",
                            "https://ex..org/",
                            "https://-ex.org/",
                            "https://256.1.1.1/",
                            "https://1.2.3/"})
        EXPECT_FALSE(IsGoodWebAddress(bad)) << bad;
}

// Whether a browser reading href (leading and trailing C0 controls and blanks
// stripped, tabs and line breaks removed) sees a scheme other than http(s)
// or "//host" (backslashes count as slashes).
bool BrowserLeavesThePage(std::string text) {
    auto c0 = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (!text.empty() && c0(text.front()))
        text.erase(text.begin());
    while (!text.empty() && c0(text.back()))
        text.pop_back();
    std::erase_if(text, [](char c) { return c == '\t' || c == '\n' || c == '\r'; });
    auto slash = [](char c) { return c == '/' || c == '\\'; };
    if (text.size() >= 2 && slash(text[0]) && slash(text[1])) return true;
    auto alpha = [](char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; };
    if (text.empty() || !alpha(text[0])) return false;
    std::string scheme;
    for (char c : text) {
        if (c == ':') return scheme != "http" && scheme != "https";
        if (!alpha(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return false;
        scheme += static_cast<char>(alpha(c) ? c | 0x20 : c);
    }
    return false;
}

TEST(IsSafeLink, NeverAcceptsWhatABrowserReadsAsAnotherSchemeOverRandomLinks) {
    std::mt19937 random(17);
    // Pieces that make schemes likely, and any byte now and then.
    std::vector<std::string> pieces = {
        "javascript", "JaVaScRiPt", "data", "vbscript", "file", "http", "HTTPS", "https",
        ":",          ":",          "/",    "\\",       " ",    "\t",   "\n",    "\r",
        "\x01",       "\x1F",       "\x7F", "\xA0",     "\xE9", ".",    "+",     "-",
        "#",          "../",        "a",    "1",        "?",    "&",    "x:"};
    pieces.push_back(std::string(1, '\0'));
    int accepted = 0;
    int refused = 0;
    for (int round = 0; round < 5000; ++round) {
        std::string link;
        const int parts = static_cast<int>(random() % 8);
        for (int p = 0; p < parts; ++p)
            link += random() % 4 == 0 ? std::string(1, static_cast<char>(random()))
                                      : pieces[random() % pieces.size()];
        if (!IsSafeLink(link) && ++refused) continue;
        ++accepted;
        ASSERT_FALSE(BrowserLeavesThePage(link)) << "accepted \"" << link << "\"";
    }
    // Both answers came up often: the pieces did their work.
    EXPECT_GT(accepted, 1000);
    EXPECT_GT(refused, 1000);
}

} // namespace
} // namespace ks
