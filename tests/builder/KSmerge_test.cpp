#include "builder/KSbuilder.h"
#include "builder/KSduplicates.h"
#include "builder/KSmerge.h"
#include "common/KSerrors.h"
#include "common/KSprogress.h"
#include "index/KShtxData.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

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
        settings.IndexType = indexType;
        settings.DuplicatesIgnoreYears = ignoreYears;
        settings.IndexWithYears = withYears;
        settings.TempFolder = dir_.path().string() + "/";
        settings.DeveloperMode = true; // keep the record files for the checks
        builder_ = std::make_unique<TKSbuilder>(settings);
        TKSnullProgressBar bar;
        TKSnullBreather breather;
        builder_->MergeStep(bar, breather);
        builder_->DuplicatesStep(bar, breather);
        return *builder_;
    }

    std::string Merged() const { return ReadFileBytes(builder_->MergedPath()); }
    std::string Sizes() const { return ReadFileBytes(builder_->SizesPath()); }
    std::string Entries() const { return ReadFileBytes(builder_->EntriesPath()); }
    TKShtxData& Doc(std::size_t i) { return *documents_[i]; }
    TempDir& Dir() { return dir_; }

private:
    TempDir dir_;
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
    EXPECT_EQ(0, builder.PageCount);
    EXPECT_EQ(0, builder.EntryTotalCount);
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
        EXPECT_EQ(berg + 131, builder.EstimatedSize);
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
    EXPECT_EQ(2, builder.EntryTotalCount);
    EXPECT_EQ(2, builder.PageCount);
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
        ASSERT_EQ(3, builder.PageCount);
        EXPECT_EQ("B", builder.Pages.PageData(1).GroupLetter);
        EXPECT_EQ("Bakker", builder.Pages.PageData(1).FirstSurname);
        EXPECT_EQ("bos", builder.Pages.PageData(1).LastSurname);
        EXPECT_EQ(3, builder.Pages.PageData(1).EntryTotal);
        EXPECT_EQ("Cats", builder.Pages.PageData(2).FirstSurname);
        EXPECT_EQ(1, builder.Pages.PageData(2).EntryTotal);
        EXPECT_EQ("?", builder.Pages.PageData(3).GroupLetter);
        EXPECT_EQ("?", builder.Pages.PageData(3).FirstSurname);
    }
    {
        MergeRun run;
        run.Add("a.htx", Document("3.22", "A", lines));
        TKSbuilder& builder = run.Run(2);
        ASSERT_EQ(4, builder.PageCount); // BA | BO bo | CA | ?
        EXPECT_EQ(1, builder.Pages.PageData(1).EntryTotal);
        EXPECT_EQ(2, builder.Pages.PageData(2).EntryTotal);
        EXPECT_EQ("Bos", builder.Pages.PageData(2).FirstSurname);
        EXPECT_EQ("bos", builder.Pages.PageData(2).LastSurname);
        EXPECT_NE(std::string::npos, run.Entries().find("B\tbos\tIda\t\t\t\t2\t3\t1\t0,a.htm#3"));
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
        EXPECT_EQ(984, builder.EstimatedSize);
        EXPECT_EQ(8, builder.PageCount);
    }
    {
        // Targets 984 / 100, 984 / 250 and 984 / 500: still each on its own page.
        for (int indexType : {4, 5, 6}) {
            MergeRun run;
            run.Add("a.htx", Document("3.22", "T", lines));
            EXPECT_EQ(8, run.Run(indexType).PageCount) << indexType;
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
    EXPECT_EQ(24600, builder.EstimatedSize);
    EXPECT_EQ(50, builder.PageCount);
    EXPECT_EQ(4, builder.Pages.PageData(50).EntryTotal);
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
    EXPECT_EQ(run.Doc(1).FileName, run.Doc(1).DataFileName);
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

} // namespace
} // namespace ks
