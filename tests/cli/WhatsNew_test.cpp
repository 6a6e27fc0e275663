#include "cli/RunInProcess.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace ks {
namespace {

// The trees of the page: title, the number it gives, the links it lists.
struct NewTree {
    std::string Count;
    std::set<std::string> Links;
};

std::map<std::string, NewTree> NewTrees(const std::string& page) {
    std::map<std::string, NewTree> trees;
    const std::regex section("<h2 class=\"KSVInewTitle\">([^<]*) <span class=\"KSVInewCount\">"
                             "\\((\\d+)\\)</span></h2>\\s*<ul class=\"KSVInewList\">([^]*?)</ul>");
    const std::regex href("href=\"([^\"]+)\"");
    for (std::sregex_iterator it(page.begin(), page.end(), section), end; it != end; ++it) {
        NewTree& tree = trees[(*it)[1]];
        tree.Count = (*it)[2];
        const std::string list = (*it)[3];
        for (std::sregex_iterator link(list.begin(), list.end(), href); link != end; ++link)
            tree.Links.insert((*link)[1]);
    }
    return trees;
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

std::string Tree(const std::string& title, const std::string& lines) {
    return "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n[metadata]\r\ntitle=" + title +
           "\r\n[indexdata]\r\n" + lines;
}

std::string Person(const std::string& surname, int number) {
    return "B\t" + surname + "\tEva\t\t1901\t\t" + std::to_string(number) + "\tp.htm#" +
           std::to_string(number) + "\r\n";
}

class WhatsNew : public ::testing::Test {
protected:
    Outcome Build(const std::vector<std::string>& layout, const std::vector<std::string>& trees) {
        std::vector<std::string> args = {"build", "--language=GB", "-q", "-o", "site/index", "-b",
                                         "idx"};
        args.insert(args.end(), layout.begin(), layout.end());
        args.insert(args.end(), trees.begin(), trees.end());
        return RunInProcess(args, dir.path().string());
    }
    std::string Out(const std::string& name) {
        return ReadFileBytes(dir.file("site/index/" + name));
    }

    test::TempDir dir;
};

// Each shipped layout: the first run has nothing to compare with, the second
// lists exactly the persons one tree gained (a person whose years changed
// is no new person), the third nothing; the start page links the page and
// the feed.
TEST_F(WhatsNew, EveryShippedLayoutListsThePersonsAddedByTree) {
    const std::vector<std::string> trees = {
        "site/trees/jansen/jansen.htx", "site/trees/deboer/deboer.htx", "site/trees/smit/smit.htx"};
    for (const std::string layout : {"Modern", "Two panes (classic)", "Single file (compact)"}) {
        SCOPED_TRACE(layout);
        fs::remove_all(dir.file("site"));
        fs::create_directories(dir.file("site/trees"));
        for (const std::string tree : {"jansen", "deboer", "smit"})
            fs::copy(std::string(KS_TEST_SOURCE_DIR) + "samples/" + tree,
                     dir.file("site/trees/" + tree));
        Outcome r = Build({"-l", layout}, trees);
        ASSERT_EQ(0, r.exitCode) << r.err;
        EXPECT_NE(std::string::npos, Out("idx_new.htm").find("nothing to compare with yet"));
        EXPECT_TRUE(NewTrees(Out("idx_new.htm")).empty());
        const std::string start = Out("idx.htm");
        EXPECT_NE(std::string::npos, start.find("href=\"idx_new.htm\""));
        EXPECT_NE(std::string::npos, start.find("href=\"feed.xml\" type=\"application/atom+xml\""));
        EXPECT_NE(std::string::npos,
                  start.find("<link rel=\"alternate\" type=\"application/atom+xml\""));

        const std::string smit = dir.file("site/trees/smit/smit.htx");
        WriteFileBytes(smit, ReadFileBytes(smit) +
                                 "Z\tZwart\tPiet\t\t1990\t\t901\tpersons3.htm#p901\r\n"
                                 "A\tAalbers\tKees\t\t\t\t902\tpersons1.htm#p902\r\n"
                                 "B\tBakker\tRen\xE9\t\t1977\t\t903\tpersons2.htm#p903\r\n");
        const std::string jansen = dir.file("site/trees/jansen/jansen.htx");
        std::string text = ReadFileBytes(jansen);
        // A year of death for a person already there.
        const std::size_t years = text.find("\t1619\t\t83\t");
        ASSERT_NE(std::string::npos, years);
        text.insert(years + 6, "1650");
        WriteFileBytes(jansen, text);
        r = Build({"-l", layout}, trees);
        ASSERT_EQ(0, r.exitCode) << r.err;
        const std::map<std::string, NewTree> added = NewTrees(Out("idx_new.htm"));
        ASSERT_EQ(1u, added.size()) << Out("idx_new.htm");
        ASSERT_EQ("Kwartierstaat Smit", added.begin()->first);
        EXPECT_EQ("3", added.begin()->second.Count);
        EXPECT_EQ((std::set<std::string>{"../trees/smit/persons1.htm#p902",
                                         "../trees/smit/persons2.htm#p903",
                                         "../trees/smit/persons3.htm#p901"}),
                  added.begin()->second.Links);

        r = Build({"-l", layout}, trees);
        ASSERT_EQ(0, r.exitCode) << r.err;
        EXPECT_NE(std::string::npos, Out("idx_new.htm").find("No persons were added since"));
        EXPECT_TRUE(NewTrees(Out("idx_new.htm")).empty());
        // The feed keeps the run that added persons.
        EXPECT_EQ(1u, Occurrences(Out("feed.xml"), "<entry>"));
    }
}

// A layout of its own: the list capped at two per tree; a digest that is
// damaged counts as none and is written anew; a run that fails keeps the
// digest of the last complete one; the feed keeps the latest runs only.
TEST_F(WhatsNew, TheListIsCappedAndOnlyASoundDigestOfACompleteRunCounts) {
    fs::create_directories(dir.file("layout"));
    const auto layout = [&](const std::string& more) {
        WriteFileBytes(dir.file("layout/l.ksl"),
                       "[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[General]\r\nTitle=L\r\n"
                       "[Templates]\r\n1=new, new.tpl, #PREFIX!_new.htm, New\r\n" +
                           more +
                           "[Texts]\r\nnewfirst=FIRST %1\r\nnewnone=NONE\r\n"
                           "newsince=SINCE\r\nnewmore=MORE %1 OF %2\r\n");
    };
    layout("");
    WriteFileBytes(dir.file("layout/new.tpl"), "#NEWLIST(2)!\r\n");
    const std::string a = dir.file("a.htx");
    WriteFileBytes(a, Tree("Tree A", Person("Bos", 1)));
    const auto build = [&] { return Build({"-l", "layout/l.ksl"}, {"a.htx"}); };
    ASSERT_EQ(0, build().exitCode);
    EXPECT_NE(std::string::npos, Out("idx_new.htm").find("FIRST "));

    WriteFileBytes(a, Tree("Tree A", Person("Ahn", 2) + Person("Bos", 1) + Person("Cox", 3) +
                                         Person("Dam", 4) + Person("Eck", 5) + Person("Fey", 6)));
    ASSERT_EQ(0, build().exitCode);
    const std::string page = Out("idx_new.htm");
    const std::map<std::string, NewTree> added = NewTrees(page);
    ASSERT_EQ(1u, added.size()) << page;
    EXPECT_EQ("5", added.at("Tree A").Count);
    // The first two in the order of the index.
    EXPECT_EQ((std::set<std::string>{"../../p.htm#2", "../../p.htm#3"}), added.at("Tree A").Links);
    EXPECT_NE(std::string::npos, page.find("MORE 3 OF 2"));
    ASSERT_EQ(0, build().exitCode);
    EXPECT_NE(std::string::npos, Out("idx_new.htm").find("NONE"));

    const std::string digest = Out(".kestrin-digest");
    const std::size_t body = digest.find('\n') + 1;
    ASSERT_EQ(body + 6 * 8, digest.size());
    std::string swapped = digest;
    std::swap_ranges(swapped.begin() + static_cast<long>(body),
                     swapped.begin() + static_cast<long>(body + 8),
                     swapped.begin() + static_cast<long>(body + 8));
    for (const std::string& damaged : {digest.substr(0, digest.size() - 1), digest + "x",
                                       "kestrin-digest 2" + digest.substr(16), swapped}) {
        WriteFileBytes(dir.file("site/index/.kestrin-digest"), damaged);
        ASSERT_EQ(0, build().exitCode);
        EXPECT_NE(std::string::npos, Out("idx_new.htm").find("FIRST ")) << damaged;
        EXPECT_EQ(digest.substr(body), Out(".kestrin-digest").substr(body));
    }

    // A layout's own feed.xml stops the run before anything is replaced.
    layout("2=feed, new.tpl, feed.xml, Feed\r\n");
    WriteFileBytes(a, Tree("Tree A", Person("Bos", 1) + Person("Gil", 7)));
    EXPECT_NE(0, build().exitCode);
    EXPECT_EQ(digest.substr(body), Out(".kestrin-digest").substr(body));
    layout("");

    // Twenty runs kept: the oldest goes when another adds persons.
    std::string history = ReadFileBytes(dir.file("site/index/.kestrin-feed"));
    history = history.substr(0, history.find("\nrun\t") + 1);
    for (int run = 1; run <= 20; ++run)
        history += "run\t" + std::to_string(run) + "\t1\tRun " + std::to_string(run) + "\tS\n";
    WriteFileBytes(dir.file("site/index/.kestrin-feed"), history);
    ASSERT_EQ(0, build().exitCode);
    const std::string feed = Out("feed.xml");
    EXPECT_EQ(20u, Occurrences(feed, "<entry>"));
    EXPECT_EQ(std::string::npos, feed.find("<title>Run 1</title>"));
    EXPECT_NE(std::string::npos, feed.find("<title>Run 2</title>"));
    EXPECT_LT(feed.find("<title>1 person added on "), feed.find("<title>Run 20</title>"));
}

} // namespace
} // namespace ks
