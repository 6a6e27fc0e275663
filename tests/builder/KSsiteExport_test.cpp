#include "builder/writers/KSsiteExport.h"

#include "builder/entries/KSrunSettings.h"
#include "builder/run/KSbuilder.h"
#include "index/KShtxData.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace ks {
namespace {

TEST(SiteExport, TreeLinksBecomeAddressesWhereTheSiteReachesThem) {
    const TKShtxData data("/srv/site/trees/smit/smit.htx");
    const TKSrunDocument document{&data, true};
    TKSrunSettings settings;
    settings.OutputFolder = "/srv/site/index/";
    struct Case {
        const char* site;
        const char* link;
        const char* expected;
    };
    for (const Case& c : std::vector<Case>{
             {"https://example.org/gen/index/", "p1.htm#i3",
              "https://example.org/gen/trees/smit/p1.htm#i3"},
             {"https://example.org/gen/index/", "sub\\p.htm",
              "https://example.org/gen/trees/smit/sub/p.htm"},
             {"https://example.org/gen/index/", "../p.htm?x=1",
              "https://example.org/gen/trees/p.htm?x=1"},
             // The trees lie above the site's host: no address can be made.
             {"https://example.org/", "p1.htm", ""},
             {"", "p1.htm", ""},
             // An address in the document stands as it is, with or without a site.
             {"", " HTTPS://other.net/t/p.htm", "HTTPS://other.net/t/p.htm"},
             {"http://example.org/", "http://other.net/p.htm#1", "http://other.net/p.htm#1"}}) {
        settings.SiteAddress = c.site;
        EXPECT_EQ(c.expected, AbsoluteTreeLink(settings, document, c.link)) << c.site << c.link;
    }
}

TEST(SiteExport, SiteAddressesAreCheckedAndEndInASlash) {
    for (const char* good : {"https://example.org", "http://a.b:8080/x/y", "https://[::1]:443/",
                             "HTTPS://example.org/stamboom/"})
        EXPECT_EQ("", CheckSiteAddress(good)) << good;
    for (const char* bad :
         {"", "ftp://example.org/", "example.org", "https://", "https:///x", "https://a b/",
          "https://a.org/\"x", "https://a.org/'x", "https://a.org/<x>", "https://user@a.org/",
          "https://a.org:/", "https://a.org:8x/", "https://a.org/?q", "https://a.org/#f",
          "https://\xE9.org/", "javascript:alert(1)", "https://a.org:99999/", "https://[zz]/"})
        EXPECT_NE("", CheckSiteAddress(bad)) << bad;
    EXPECT_EQ("https://example.org/", SiteAddressBase("https://example.org"));
    EXPECT_EQ("https://example.org/a/", SiteAddressBase("https://example.org/a"));
    EXPECT_EQ("https://example.org/a/", SiteAddressBase("https://example.org/a/"));
}

// A page's address asks for the bytes of its name on disk, whatever the
// base name holds ("%" and "#" as themselves, UTF-8 as it was typed).
TEST(SiteExport, SitemapAddressesReachPagesOfAnyName) {
    test::TempDir dir;
    TKSrunSettings settings;
    settings.OutputFolder = dir.file("");
    settings.SiteAddress = "https://example.org/t/";
    std::vector<std::string> files;
    for (const char* name :
         {"a#b_1.htm", "x%41.htm", "\xC3\xA9\xC3\xA9n.htm", "q\"&'.htm", "sub/a b.htm"})
        files.push_back(settings.OutputFolder + name);
    TKSbuilder builder(settings);
    WriteExports(builder.View(), settings.OutputFolder, files, "2026-01-02");
    const std::string sitemap = test::ReadFileBytes(dir.file("sitemap.xml"));
    for (const char* address :
         {"https://example.org/t/a%23b_1.htm", "https://example.org/t/x%2541.htm",
          "https://example.org/t/%C3%A9%C3%A9n.htm", "https://example.org/t/q%22&amp;%27.htm",
          "https://example.org/t/sub/a%20b.htm"})
        EXPECT_NE(std::string::npos, sitemap.find(std::string("<loc>") + address + "</loc>"))
            << address << "\n"
            << sitemap;
}

// One file up to 50,000 addresses or 50 MiB, then an index of numbered files.
TEST(SiteExport, ALargeSiteGetsASitemapIndex) {
    TKSrunSettings settings;
    settings.OutputFolder = "/srv/out/";
    settings.SiteAddress = "https://example.org/";
    struct Case {
        std::size_t pages;
        std::size_t nameLength;
        std::vector<std::string> expected;
    };
    for (const Case& c :
         std::vector<Case>{{0, 8, {"sitemap.xml"}},
                           {50000, 8, {"sitemap.xml"}},
                           {50001, 8, {"sitemap.xml", "sitemap-1.xml", "sitemap-2.xml"}},
                           // About 2,600 bytes an address: 24,000 of them pass 50 MiB.
                           {24000, 2500, {"sitemap.xml", "sitemap-1.xml", "sitemap-2.xml"}}}) {
        std::vector<std::string> files = {"/srv/out/style.css", "/elsewhere/p.htm"};
        for (std::size_t i = 0; i < c.pages; ++i)
            files.push_back("/srv/out/" + std::string(c.nameLength, 'p') + std::to_string(i) +
                            (i % 2 ? ".htm" : ".HTML"));
        EXPECT_EQ(c.expected, ExportNames(settings, files)) << c.pages;
    }
    // Written: the index names each file, each file its share of the pages.
    test::TempDir dir;
    settings.OutputFolder = dir.file("");
    std::vector<std::string> files;
    for (std::size_t i = 0; i <= kSitemapMaxUrls; ++i)
        files.push_back(settings.OutputFolder + "p" + std::to_string(i) + ".htm");
    TKSbuilder builder(settings);
    EXPECT_EQ(ExportNames(settings, files),
              WriteExports(builder.View(), settings.OutputFolder, files, "2026-01-02"));
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<sitemapindex "
              "xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n"
              "<sitemap><loc>https://example.org/sitemap-1.xml</loc><lastmod>2026-01-02</lastmod>"
              "</sitemap>\n<sitemap><loc>https://example.org/sitemap-2.xml</loc><lastmod>2026-01-"
              "02</lastmod></sitemap>\n</sitemapindex>\n",
              test::ReadFileBytes(dir.file("sitemap.xml")));
    for (const auto& [name, count] :
         {std::pair<std::string, long>{"sitemap-1.xml", 50000}, {"sitemap-2.xml", 1}}) {
        const std::string text = test::ReadFileBytes(dir.file(name));
        EXPECT_EQ(count, std::count(text.begin(), text.end(), '\n') - 3) << name;
    }
    EXPECT_NE(std::string::npos, test::ReadFileBytes(dir.file("sitemap-2.xml"))
                                     .find("<url><loc>https://example.org/p50000.htm</loc>"));

    settings.WriteGendex = true;
    settings.SiteAddress.clear();
    EXPECT_EQ(std::vector<std::string>{"gendex.txt"}, ExportNames(settings, {"/srv/out/a.htm"}));
    for (const char* name : {"gendex.txt", "sitemap.xml", "sitemap-12.xml"})
        EXPECT_TRUE(IsExportName(name)) << name;
    for (const char* name : {"sitemap-.xml", "sitemap-x.xml", "sub/gendex.txt", "Gendex.txt"})
        EXPECT_FALSE(IsExportName(name)) << name;
}

} // namespace
} // namespace ks
