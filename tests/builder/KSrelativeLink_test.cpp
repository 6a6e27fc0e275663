#include "builder/entries/KSrelativeLink.h"

#include "builder/writers/KShtmlPieces.h"

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

} // namespace
} // namespace ks
