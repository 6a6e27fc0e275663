#include "common/KSwebLink.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace ks {
namespace {

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

TEST(IsExampleAddress, OnlyAddressesOnTheNamesSetAsideForExamplesArePlaceholders) {
    struct Case {
        const char* text;
        bool example;
    };
    for (const Case c :
         std::vector<Case>{{"https://example.org/tree/individual.php?pid={id}", true},
                           {"http://EXAMPLE.COM", true},
                           {"https://example.net./p.htm", true},
                           {"https://www.example.org/stamboom/", true},
                           {"https://{surname}.example.com/{id}.htm", true},
                           {"https://user:pw@example.org:8080/p", true},
                           {"  https://tree.test/p.htm", true},
                           {"http://a.b.invalid/", true},
                           {"HTTPS://Tree.TEST#top", true},
                           // Other hosts, a name only like one, and no address at all.
                           {"https://example.nl/", false},
                           {"https://myexample.org/", false},
                           {"https://ex.org/example.org/", false},
                           {"https://ex.org/?u=https://example.org/", false},
                           {"https://example.org@ex.org/", false},
                           {"https://test/", false},
                           {"https://invalid/", false},
                           {"example.org/p.htm", false},
                           {"ftp://example.org/", false},
                           {"", false}})
        EXPECT_EQ(c.example, IsExampleAddress(c.text)) << c.text;
    EXPECT_EQ("ex.org", WebHost("https://u@ex.org:80/a"));
    EXPECT_EQ("[::1]", WebHost("http://[::1]:8080/"));
    EXPECT_EQ("", WebHost("p.htm"));
}

} // namespace
} // namespace ks
