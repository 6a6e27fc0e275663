#include "builder/combine/KSduplicates.h"
#include "builder/combine/KSmerge.h"
#include "builder/combine/KSsortOld.h"
#include "builder/run/KSbuilder.h"
#include "common/KSerrors.h"
#include "common/KSpaths.h"
#include "common/KSprogress.h"
#include "index/KShtxData.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace ks {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

std::string Document(const std::string& version, const std::string& title,
                     const std::vector<std::string>& lines) {
    std::string text = "[KESTRIN]\r\nversion=" + version +
                       "\r\ntype=htx\r\nformat=1\r\n[metadata]\r\ntitle=" + title +
                       "\r\n[indexdata]\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// A run over documents written into a temporary folder.
class MergeRun {
public:
    void Add(const std::string& name, const std::string& content, bool selected = true) {
        const std::string path = dir_.file(name);
        WriteFileBytes(path, content);
        documents_.push_back(std::make_unique<TKShtxData>(path));
        selected_.push_back(selected);
    }

    TKSbuilder& Run(int indexType = 1, bool ignoreYears = false, bool withYears = false) {
        TKSrunSettings settings;
        for (std::size_t i = 0; i < documents_.size(); ++i)
            settings.Documents.push_back({documents_[i].get(), selected_[i]});
        settings.IndexType = IndexTypeFromNumber(indexType);
        settings.DuplicatesIgnoreYears = ignoreYears;
        settings.IndexWithYears = withYears;
        settings.TempFolder = temp_.path().string() + "/";
        settings.TempSwitchFolder = TempSwitchFolder;
        settings.DeveloperMode = true; // keep the record files for the checks
        builder_ = std::make_unique<TKSbuilder>(settings);
        TKSnullProgressBar bar;
        TKSnullBreather breather;
        builder_->MergeStep(bar, breather);
        builder_->DuplicatesStep(bar, breather);
        return *builder_;
    }

    std::string Merged() const { return ReadFileBytes(builder_->State().MergedPath); }
    std::string Sizes() const { return ReadFileBytes(builder_->State().SizesPath); }
    std::string Entries() const { return ReadFileBytes(builder_->State().EntriesPath); }
    // What the run learnt about document i.
    const TKSdocumentRun& Doc(std::size_t i) const { return builder_->DocumentRun(i); }
    TempDir& Dir() { return dir_; }
    // The folder of the record files (the run's own folder unless TempSwitchFolder).
    std::string RunFolder() const { return FolderOf(builder_->State().MergedPath); }

    std::string TempSwitchFolder; // the TEMP switch, when set

private:
    TempDir dir_;  // the documents
    TempDir temp_; // the temporary folder
    std::vector<std::unique_ptr<TKShtxData>> documents_;
    std::vector<bool> selected_;
    std::unique_ptr<TKSbuilder> builder_;
};

TEST(MergeIndexes, MergesInKeyOrderWithTiesToTheEarliestDocumentAndSkipsUnselected) {
    MergeRun run;
    run.Add("a.htx", Document("3.22", "A",
                              {"J\tJansen\tPiet\t\t1850\t\t2\ta.htm#2",
                               "V\tVries, de\tJan\t\t\t\t1\ta.htm#1"}));
    run.Add("skip.htx", Document("3.22", "S", {"A\tAa\tAnna\t\t\t\t1\ts.htm#1"}), false);
    run.Add("b.htx", Document("3.22", "B",
                              {"J\tJansen\tJan\t\t\t\t7\tb.htm#7",
                               "J\tJansen\tPiet\t\t1850\t\t2\tb.htm#9"}));
    run.Run();
    EXPECT_EQ("J\tJansen\tJan\t\t\t\t7\tb.htm#7\t2\r\n"
              "J\tJansen\tPiet\t\t1850\t\t2\ta.htm#2\t0\r\n"
              "J\tJansen\tPiet\t\t1850\t\t2\tb.htm#9\t2\r\n"
              "V\tVries, de\tJan\t\t\t\t1\ta.htm#1\t0\r\n"
              "#\r\n",
              run.Merged());
    EXPECT_EQ(1, run.Doc(0).SeqNr);
    EXPECT_EQ(2, run.Doc(2).SeqNr);
    EXPECT_EQ(2, run.Doc(0).EntryCount);
    EXPECT_EQ(0, run.Doc(1).EntryCount);
    EXPECT_EQ(1850, run.Doc(0).MinYear);
    EXPECT_EQ(1850, run.Doc(0).MaxYear);
    EXPECT_EQ("a.htm", run.Doc(0).FirstPage);
}

TEST(MergeIndexes, DocumentsWithoutIndexLinesContributeNothingAndAnEmptyLineEndsADocument) {
    MergeRun run;
    run.Add("none.htx", "[KESTRIN]\r\nversion=3.22\r\n[metadata]\r\ntitle=x\r\n");
    run.Add("empty.htx", Document("3.22", "E", {}));
    run.Add("gap.htx",
            Document("3.22", "G",
                     {"B\tBos\tEva\t\t\t\t1\tg.htm#1", "", "C\tCats\tIda\t\t\t\t2\tg.htm#2"}));
    run.Run();
    EXPECT_EQ("B\tBos\tEva\t\t\t\t1\tg.htm#1\t2\r\n#\r\n", run.Merged());
    EXPECT_EQ(0, run.Doc(0).EntryCount);
    EXPECT_EQ(32000, run.Doc(1).MinYear);
}

TEST(MergeIndexes, AMergeWithoutLinesWritesOneEmptySurnameAndNoEntries) {
    MergeRun run;
    run.Add("empty.htx", Document("3.22", "E", {}));
    TKSbuilder& builder = run.Run();
    EXPECT_EQ("#\r\n", run.Merged());
    EXPECT_EQ("\t0\r\n#\r\n", run.Sizes());
    EXPECT_EQ("#\r\n", run.Entries());
    EXPECT_EQ(0, builder.State().PageCount);
    EXPECT_EQ(0, builder.State().EntryTotalCount);
}

TEST(MergeIndexes, EstimatesTheSizeOfEverySurnameByHand) {
    // Berg, van den: 13 + 38 + 28 + 35 = 114 for the surname. Jan adds only
    // its line: 40 + 8 (link) + 4 (title) = 52. Piet: 4 + 95, years "1851"
    // 4 + 1, line 52. Jansen: 6 + 38 + 35 = 79, line 40 + 8 + 4 = 52.
    for (bool withYears : {false, true}) {
        MergeRun run;
        run.Add("a.htx", Document("3.22", "Tree",
                                  {"B\tBerg, van den\tJan\t\t1850\t1900\t1\tp1.htm#a",
                                   "B\tBerg, van den\tPiet\t\t1851\t\t2\tp1.htm#b",
                                   "J\tJansen\tKees\t\t\t\t3\tp2.htm#c"}));
        TKSbuilder& builder = run.Run(1, false, withYears);
        const int berg = 114 + 52 + 99 + 5 + (withYears ? 5 : 0) + 52;
        EXPECT_EQ("Berg, van den\t" + std::to_string(berg) + "\r\nJansen\t131\r\n#\r\n",
                  run.Sizes());
        EXPECT_EQ(berg + 131, builder.State().EstimatedSize);
    }
}

TEST(FindDuplicates, FoldsTheSamePersonAcrossDocumentsWithReferencesInListOrder) {
    MergeRun run;
    // Keys differ by Number only, so the lines arrive as doc 2, doc 0, doc 1;
    // the references still come out in list order.
    run.Add("a.htx", Document("3.22", "A", {"J\tJansen\tJan\t\t1850\t1900\t3\ta.htm#3"}));
    run.Add("b.htx", Document("3.22", "B", {"J\tjansen\tJAN\t\t1850\t1900\t5\tb.htm#5"}));
    run.Add("c.htx", Document("3.22", "C",
                              {"J\tJansen\tJan\t\t1850\t1900\t1\tc.htm#1",
                               "K\tKok\tIda\t\t\t\t9\tc.htm#9"}));
    TKSbuilder& builder = run.Run();
    EXPECT_EQ("J\tJansen\tJan\t\t1850\t1900\t1\t1\t3\t0,a.htm#3|1,b.htm#5|2,c.htm#1\r\n"
              "K\tKok\tIda\t\t\t\t2\t2\t1\t2,c.htm#9\r\n"
              "#\r\n",
              run.Entries());
    EXPECT_EQ(2, builder.State().EntryTotalCount);
    EXPECT_EQ(2, builder.State().PageCount);
}

TEST(FindDuplicates, ComparesExtraOnlyWhenBothHaveOneAndYearsUnlessIgnored) {
    // Each line is compared with the first line of the pending entry.
    const std::vector<std::string> lines = {
        "J\tJansen\tJan\tx\t1850\t\t1\ta.htm#1", "J\tJansen\tJan\t\t1850\t\t2\ta.htm#2",
        "J\tJansen\tJan\ty\t1850\t\t3\ta.htm#3", "J\tJansen\tJan\t\t1851\t\t4\ta.htm#4"};
    {
        MergeRun run;
        run.Add("a.htx", Document("3.22", "A", lines));
        run.Run(1, false);
        EXPECT_EQ("J\tJansen\tJan\tx\t1850\t\t1\t1\t2\t0,a.htm#1|0,a.htm#2\r\n"
                  "J\tJansen\tJan\ty\t1850\t\t1\t2\t1\t0,a.htm#3\r\n"
                  "J\tJansen\tJan\t\t1851\t\t1\t3\t1\t0,a.htm#4\r\n#\r\n",
                  run.Entries());
    }
    {
        MergeRun run;
        run.Add("a.htx", Document("3.22", "A", lines));
        run.Run(1, true);
        EXPECT_EQ("J\tJansen\tJan\tx\t1850\t\t1\t1\t2\t0,a.htm#1|0,a.htm#2\r\n"
                  "J\tJansen\tJan\ty\t1850\t\t1\t2\t2\t0,a.htm#3|0,a.htm#4\r\n#\r\n",
                  run.Entries());
    }
}

TEST(FindDuplicates, CutsPagesByLetterAndByTwoLetters) {
    const std::vector<std::string> lines = {
        "B\tBakker\tAnna\t\t\t\t1\ta.htm#1", "B\tBos\tEva\t\t\t\t2\ta.htm#2",
        "B\tbos\tIda\t\t\t\t3\ta.htm#3", "C\tCats\tJan\t\t\t\t4\ta.htm#4",
        "_\t_\t_\t\t\t\t5\ta.htm#5"};
    {
        MergeRun run;
        run.Add("a.htx", Document("3.22", "A", lines));
        TKSbuilder& builder = run.Run(1);
        ASSERT_EQ(3, builder.State().PageCount);
        EXPECT_EQ("B", builder.State().Pages.PageData(1).GroupLetter);
        EXPECT_EQ("Bakker", builder.State().Pages.PageData(1).FirstSurname);
        EXPECT_EQ("bos", builder.State().Pages.PageData(1).LastSurname);
        EXPECT_EQ(3, builder.State().Pages.PageData(1).EntryTotal);
        EXPECT_EQ("Cats", builder.State().Pages.PageData(2).FirstSurname);
        EXPECT_EQ(1, builder.State().Pages.PageData(2).EntryTotal);
        EXPECT_EQ("?", builder.State().Pages.PageData(3).GroupLetter);
        EXPECT_EQ("?", builder.State().Pages.PageData(3).FirstSurname);
    }
    {
        MergeRun run;
        run.Add("a.htx", Document("3.22", "A", lines));
        TKSbuilder& builder = run.Run(2);
        ASSERT_EQ(4, builder.State().PageCount); // BA | BO bo | CA | ?
        EXPECT_EQ(1, builder.State().Pages.PageData(1).EntryTotal);
        EXPECT_EQ(2, builder.State().Pages.PageData(2).EntryTotal);
        EXPECT_EQ("Bos", builder.State().Pages.PageData(2).FirstSurname);
        EXPECT_EQ("bos", builder.State().Pages.PageData(2).LastSurname);
        EXPECT_NE(std::string::npos, run.Entries().find("B\tbos\tIda\t\t\t\t2\t3\t1\t0,a.htm#3"));
    }
}

// Persons without a surname get pages of their own in every division, cut
// at a given name once a page holds kNoSurnamePageEntries of them; a given
// name is never cut for it.
TEST(FindDuplicates, PersonsWithoutASurnameHavePagesOfTheirOwnCutByGivenName) {
    struct Page {
        std::string first, last; // surnames, or given names in the section
        int32_t entries;
        bool noSurname, wholeSection;
    };
    struct Case {
        // Given names and how many persons (of different years) bear each.
        std::vector<std::pair<std::string, int>> section;
        std::vector<Page> pages;
    };
    const std::vector<Case> cases = {
        {{{"Albert", 60}, {"Bert", 50}, {"Carl", 3}},
         {{"Abel", "Abel", 1, false, true},
          {"Albert", "Bert", 110, true, false},
          {"Carl", "Carl", 3, true, false},
          {"'Olde", "'Olde", 1, false, true}}},
        // One given name larger than a page stays whole.
        {{{"Mary", 130}, {"Anna", 2}},
         {{"Abel", "Abel", 1, false, true},
          {"Anna", "Mary", 132, true, true},
          {"'Olde", "'Olde", 1, false, true}}},
        {{{"\xC9milie", 1}, {"Ren\xE9", 1}},
         {{"Abel", "Abel", 1, false, true},
          // The run holds names as UTF-8.
          {"\xC3\x89milie", "Ren\xC3\xA9", 2, true, true},
          {"'Olde", "'Olde", 1, false, true}}},
    };
    for (const Case& c : cases)
        for (int type : {1, 2, 3, 6}) {
            std::vector<std::string> lines = {"A\tAbel\tJan\t\t\t\t1\ta.htm#1",
                                              "_\t'Olde\tPiet\t\t\t\t2\ta.htm#2"};
            int number = 2;
            for (const auto& [given, count] : c.section)
                for (int i = 0; i < count; ++i, ++number)
                    lines.push_back("_\t_\t" + given + "\t\t" + std::to_string(1600 + number) +
                                    "\t\t" + std::to_string(number) + "\ta.htm#" +
                                    std::to_string(number));
            MergeRun run;
            run.Add("a.htx", Document("3.0", "A", lines)); // sorted first
            TKSbuilder& builder = run.Run(type);
            const std::string name = c.section.front().first + " type " + std::to_string(type);
            ASSERT_EQ(static_cast<int32_t>(c.pages.size()), builder.State().PageCount) << name;
            for (std::size_t i = 0; i < c.pages.size(); ++i) {
                const Page& want = c.pages[i];
                const TKSindexData page = PageAt(builder.State().Pages, int32_t(i + 1));
                EXPECT_EQ(want.noSurname, page.NoSurname) << name << " page " << i + 1;
                EXPECT_EQ(want.first, want.noSurname ? page.FirstGiven : page.FirstSurname)
                    << name << " page " << i + 1;
                EXPECT_EQ(want.last, want.noSurname ? page.LastGiven : page.LastSurname)
                    << name << " page " << i + 1;
                EXPECT_EQ(want.entries, page.EntryTotal) << name << " page " << i + 1;
                EXPECT_EQ(want.wholeSection, page.WholeSection) << name << " page " << i + 1;
                ASSERT_EQ(1u, page.Letters.size()) << name << " page " << i + 1;
                EXPECT_EQ(want.noSurname, page.Letters[0].NoSurname);
                EXPECT_EQ(want.first, page.Letters[0].Surname);
            }
        }
}

TEST(FindDuplicates, SizedDivisionsJoinSurnamesWhileThePageGetsNearerTheTarget) {
    // Sizes by hand (title "T", links of 7 bytes): a surname of two letters
    // with one line is 2 + 38 + 35 for the surname and 40 + 7 + 1 for the
    // line: 123.
    std::vector<std::string> lines;
    const char* names[] = {"Aa", "Ab", "Ac", "Ad", "Ae", "Af", "Ag", "Ah"};
    for (int i = 0; i < 8; ++i)
        lines.push_back(std::string("A\t") + names[i] + "\tJan\t\t\t\t" + std::to_string(i) +
                        "\ta.htm#" + std::to_string(i));
    {
        // Estimated size 8 * 123 = 984: every surname is larger than the
        // target (19) and starts a page of its own.
        MergeRun run;
        run.Add("a.htx", Document("3.22", "T", lines));
        TKSbuilder& builder = run.Run(3);
        EXPECT_EQ(984, builder.State().EstimatedSize);
        EXPECT_EQ(8, builder.State().PageCount);
    }
    {
        // Targets 984 / 100, 984 / 250 and 984 / 500: still each on its own page.
        for (int indexType : {4, 5, 6}) {
            MergeRun run;
            run.Add("a.htx", Document("3.22", "T", lines));
            EXPECT_EQ(8, run.Run(indexType).State().PageCount) << indexType;
        }
    }
}

TEST(FindDuplicates, SizedDivisionByHandWithALargeTarget) {
    // 200 surnames of 123 bytes each: 24600 in all; about 50 parts gives a
    // target of 492, so four surnames (492) fill a page exactly: 50 pages.
    std::vector<std::string> lines;
    for (int i = 0; i < 200; ++i) {
        char name[3] = {static_cast<char>('A' + i / 26), static_cast<char>('a' + i % 26), 0};
        lines.push_back(std::string("A\t") + name + "\tJan\t\t\t\t1\ta.htm#1");
    }
    MergeRun run;
    run.Add("a.htx", Document("3.22", "T", lines));
    TKSbuilder& builder = run.Run(3);
    EXPECT_EQ(24600, builder.State().EstimatedSize);
    EXPECT_EQ(50, builder.State().PageCount);
    EXPECT_EQ(4, builder.State().Pages.PageData(50).EntryTotal);
}

TEST(MergeIndexes, SortsOldDocumentsIntoACopyThatIsReusedWhileTheDocumentIsUnchanged) {
    MergeRun run;
    const std::string old = Document(
        "3.2", "Old", {"V\tVries\tJan\t\t\t\t1\tv.htm#1", "A\tAa\tPiet\t\t\t\t2\tv.htm#2"});
    run.Add("old.htx", old);
    run.Add(
        "new.htx",
        Document("3.3", "New", {"Z\tZee\tEva\t\t\t\t1\tn.htm#1", "B\tBos\tIda\t\t\t\t2\tn.htm#2"}));
    run.Run();
    // The old document is sorted; the new one (3.3) is merged as it stands.
    EXPECT_EQ("A\tAa\tPiet\t\t\t\t2\tv.htm#2\t0\r\n"
              "V\tVries\tJan\t\t\t\t1\tv.htm#1\t0\r\n"
              "Z\tZee\tEva\t\t\t\t1\tn.htm#1\t1\r\n"
              "B\tBos\tIda\t\t\t\t2\tn.htm#2\t1\r\n#\r\n",
              run.Merged());
    const std::string copy = run.Dir().file("old.new-htx");
    EXPECT_EQ(copy, run.Doc(0).DataFileName);
    EXPECT_EQ(run.Dir().file("new.htx"), run.Doc(1).DataFileName);
    EXPECT_EQ(old.substr(0, old.find("V\t")) + "A\tAa\tPiet\t\t\t\t2\tv.htm#2\r\n"
                                               "V\tVries\tJan\t\t\t\t1\tv.htm#1\r\n",
              ReadFileBytes(copy));
    EXPECT_EQ(ReadFileBytes(run.Dir().file("old.htx")), old); // the document itself is untouched

    // Unchanged document: the copy is taken as it is (a marker shows it).
    const auto stamp = std::filesystem::last_write_time(copy);
    WriteFileBytes(copy, ReadFileBytes(copy) + "M\tMarker\tX\t\t\t\t9\tm.htm#9\r\n");
    std::filesystem::last_write_time(copy, stamp);
    run.Run();
    EXPECT_NE(std::string::npos, run.Merged().find("Marker"));

    // A changed document gets a new copy.
    std::filesystem::last_write_time(run.Dir().file("old.htx"), stamp + std::chrono::seconds(5));
    run.Run();
    EXPECT_EQ(std::string::npos, run.Merged().find("Marker"));
}

} // namespace
} // namespace ks

namespace ks {
namespace {

TEST(MergeIndexes, ASortedCopyThatCannotBeWrittenBesideTheDocumentGoesToTheTemporaryFolder) {
    MergeRun run;
    run.Add("old.htx",
            Document("3.1", "Old",
                     {"V\tVries\tJan\t\t\t\t1\tv.htm#1", "A\tAa\tPiet\t\t\t\t2\tv.htm#2"}));
    // A folder in the copy's place cannot be replaced.
    std::filesystem::create_directories(run.Dir().file("old.new-htx/x"));
    run.Run();
    EXPECT_NE(run.Dir().file("old.new-htx"), run.Doc(0).DataFileName);
    EXPECT_NE(std::string::npos, run.Doc(0).DataFileName.find("old-"));
    EXPECT_EQ("A\tAa\tPiet\t\t\t\t2\tv.htm#2\t0\r\nV\tVries\tJan\t\t\t\t1\tv.htm#1\t0\r\n#\r\n",
              run.Merged());
    EXPECT_TRUE(std::filesystem::is_directory(run.Dir().file("old.new-htx/x")));
}

TEST(MergeIndexes, AVanishedDocumentOrAnUnwritableFolderIsAnErrorNamingThePath) {
    {
        MergeRun run;
        run.Add("gone.htx", Document("3.22", "G", {"B\tBos\tEva\t\t\t\t1\tg.htm#1"}));
        std::filesystem::remove(run.Dir().file("gone.htx"));
        try {
            run.Run();
            FAIL() << "no error";
        } catch (const EInOutError& e) {
            EXPECT_NE(std::string::npos, std::string(e.what()).find("gone.htx")) << e.what();
        }
    }
    {
        TempDir dir;
        TKSrunSettings settings;
        settings.TempSwitchFolder = dir.file("missing/folder");
        TKSbuilder builder(settings);
        TKSnullProgressBar bar;
        TKSnullBreather breather;
        try {
            builder.MergeStep(bar, breather);
            FAIL() << "no error";
        } catch (const EKSError& e) {
            EXPECT_NE(std::string::npos, std::string(e.what()).find("missing/folder")) << e.what();
        }
    }
}

// ---- sorted copies: where they and their sort's files go ------------------

namespace fs = std::filesystem;

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Old documents in reverse order, so that sorting them is visible.
const std::string kTree1 = Document(
    "3.1", "Tree 1", {"V\tVries\tJan\t\t\t\t1\tt1.htm#1", "A\tAa\tPiet\t\t\t\t2\tt1.htm#2"});
const std::string kTree2 =
    Document("3.1", "Tree 2", {"Z\tZee\tEva\t\t\t\t1\tt2.htm#1", "B\tBos\tIda\t\t\t\t2\tt2.htm#2"});

class SortedCopies : public ::testing::Test {
protected:
    void TearDown() override { SetSortBufferLimitForTests(0); }
};

TEST_F(SortedCopies, TwoDocumentsOfOneNameInOneFolderEachKeepTheirOwnLines) {
    MergeRun run;
    run.Add("tree.htx", kTree1);
    run.Add("tree.txt", kTree2);
    for (int pass = 0; pass < 2; ++pass) { // built, then reused
        run.Run();
        EXPECT_EQ("A\tAa\tPiet\t\t\t\t2\tt1.htm#2\t0\r\n"
                  "B\tBos\tIda\t\t\t\t2\tt2.htm#2\t1\r\n"
                  "V\tVries\tJan\t\t\t\t1\tt1.htm#1\t0\r\n"
                  "Z\tZee\tEva\t\t\t\t1\tt2.htm#1\t1\r\n#\r\n",
                  run.Merged())
            << "pass " << pass;
        // The first keeps the copy beside it; the later one is sorted in the
        // run's own folder.
        EXPECT_EQ(run.Dir().file("tree.new-htx"), run.Doc(0).DataFileName);
        EXPECT_EQ(run.RunFolder(), FolderOf(run.Doc(1).DataFileName));
        EXPECT_EQ((std::vector<std::string>{"tree.htx", "tree.new-htx", "tree.txt"}),
                  Names(run.Dir().path().string()));
    }
}

TEST_F(SortedCopies, ADocumentThatBearsTheCopysNameIsNeverReplaced) {
    MergeRun run;
    run.Add("self.new-htx", kTree1);
    run.Run();
    EXPECT_EQ("A\tAa\tPiet\t\t\t\t2\tt1.htm#2\t0\r\nV\tVries\tJan\t\t\t\t1\tt1.htm#1\t0\r\n#\r\n",
              run.Merged());
    EXPECT_EQ(kTree1, ReadFileBytes(run.Dir().file("self.new-htx")));
    EXPECT_EQ(run.RunFolder(), FolderOf(run.Doc(0).DataFileName));
}

TEST_F(SortedCopies, TheSortsRunFilesStayInTheRunsOwnFolder) {
    SetSortBufferLimitForTests(20); // a run file per line or two
    MergeRun run;
    run.Add("old.htx", kTree1);
    run.Run(); // developer mode: the run files are kept
    EXPECT_EQ((std::vector<std::string>{"old.htx", "old.new-htx"}),
              Names(run.Dir().path().string()));
    int runFiles = 0;
    for (const std::string& name : Names(run.RunFolder()))
        runFiles += name.find("old.new-htx") != std::string::npos && name.ends_with(".tmp");
    EXPECT_LT(0, runFiles);
    EXPECT_EQ("A\tAa\tPiet\t\t\t\t2\tt1.htm#2\r\nV\tVries\tJan\t\t\t\t1\tt1.htm#1\r\n",
              ReadFileBytes(run.Dir().file("old.new-htx")).substr(kTree1.find("V\t")));
}

TEST_F(SortedCopies, AnEmptyCopyWithTheDocumentsDateIsRebuilt) {
    MergeRun run;
    run.Add("old.htx", kTree1);
    const std::string copy = run.Dir().file("old.new-htx");
    WriteFileBytes(copy, "");
    fs::last_write_time(copy, fs::last_write_time(run.Dir().file("old.htx")));
    run.Run();
    EXPECT_EQ("A\tAa\tPiet\t\t\t\t2\tt1.htm#2\t0\r\nV\tVries\tJan\t\t\t\t1\tt1.htm#1\t0\r\n#\r\n",
              run.Merged());
    EXPECT_EQ(fs::last_write_time(run.Dir().file("old.htx")), fs::last_write_time(copy));
}

// A copy that fails beside its document leaves nothing there (no file made
// to be locked, no half-written copy) and is sorted in the run's own folder.
TEST_F(SortedCopies, ACopyThatFailsBesideTheDocumentLeavesNothingThere) {
    SetSortBufferLimitForTests(20);
    TempDir dir;
    TempDir temp;
    WriteFileBytes(dir.file("old.htx"), kTree1);
    TKShtxData document(dir.file("old.htx"));
    TKSrunSettings settings;
    settings.Documents.push_back({&document, true});
    settings.TempFolder = temp.path().string() + "/";
    TKSbuilder builder(settings);
    builder.OpenRunFolder();
    // Something in the way of the first run file of the copy beside it.
    fs::create_directory(FolderOf(builder.State().MergedPath) + "1-old.new-htx-1.tmp");
    TKSnullProgressBar bar;
    TKSnullBreather breather;
    builder.MergeStep(bar, breather);
    EXPECT_EQ((std::vector<std::string>{"old.htx"}), Names(dir.path().string()));
    EXPECT_EQ(FolderOf(builder.State().MergedPath), FolderOf(builder.DocumentRun(0).DataFileName));
    EXPECT_EQ("A\tAa\tPiet\t\t\t\t2\tt1.htm#2\t0\r\nV\tVries\tJan\t\t\t\t1\tt1.htm#1\t0\r\n#\r\n",
              ReadFileBytes(builder.State().MergedPath));
}

// The TEMP switch puts the record files straight into a folder that others
// may write to: links planted there (or where the sort's run files once went)
// are never followed, and the run still succeeds.
TEST_F(SortedCopies, LinksPlantedInTheTempSwitchFolderAreNeverFollowed) {
    SetSortBufferLimitForTests(20);
    TempDir shared;
    TempDir victims;
    MergeRun run;
    run.Add("old.htx", kTree1);
    run.TempSwitchFolder = shared.path().string() + "/";
    std::vector<std::string> links = {shared.file("HTMLindex1.tmp"), shared.file("HTMLindexAN.tmp"),
                                      shared.file("HTMLindex2.tmp"),
                                      run.Dir().file("old.new-htx-1.tmp")};
    for (std::size_t i = 0; i < links.size(); ++i) {
        const std::string victim = victims.file("v" + std::to_string(i));
        WriteFileBytes(victim, "keep");
        fs::create_symlink(victim, links[i]);
    }
    run.Run();
    for (std::size_t i = 0; i < links.size(); ++i)
        EXPECT_EQ("keep", ReadFileBytes(victims.file("v" + std::to_string(i)))) << links[i];
    EXPECT_EQ(shared.path().string() + "/", run.RunFolder());
    EXPECT_EQ("A\tAa\tPiet\t\t\t\t2\tt1.htm#2\t0\r\nV\tVries\tJan\t\t\t\t1\tt1.htm#1\t0\r\n#\r\n",
              run.Merged());
    // Only the record files are written straight into the folder; the
    // sort's run files are in a folder of the run's own inside it.
    for (const std::string& name : Names(shared.path().string())) {
        if (name.starts_with("HTMLindex")) {
            EXPECT_FALSE(IsLink(shared.file(name))) << name;
            continue;
        }
        EXPECT_TRUE(fs::is_directory(shared.file(name))) << name;
        EXPECT_EQ(fs::perms::owner_all, fs::status(shared.file(name)).permissions()) << name;
    }
}

} // namespace
} // namespace ks
