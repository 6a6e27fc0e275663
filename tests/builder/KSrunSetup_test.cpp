#include "builder/run/KSrunSetup.h"

#include "common/KScommon.h"
#include "index/KShtxData.h"
#include "index/KSksl.h"

#include "support/ShippedTexts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <tuple>

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteFileBytes;

const char* const kTree = "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n[metadata]\r\n"
                          "title=T\r\n[indexdata]\r\nB\tBos\tEva\t\t\t\t1\tp.htm#1\r\n";

class RunSetupTest : public ::testing::Test {
protected:
    RunSetupTest() {
        for (const char* name : {"a.htx", "b.htx", "c.htx"})
            WriteFileBytes(dir.file(name), kTree);
        WriteFileBytes(dir.file("l.ksl"), "[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[General]\r\n"
                                          "Title=L\r\n[Templates]\r\n"
                                          "1=index, i.tpl, #PREFIX!#NR!.htm, Index\r\n"
                                          "2=names, n.tpl, #PREFIX!_n#NR!.htm, Names\r\n"
                                          "3=start, s.tpl, #PREFIX!.htm, Start\r\n");
    }

    std::unique_ptr<TKSkslData> LoadLayout() {
        auto layout = std::make_unique<TKSkslData>();
        EXPECT_TRUE(layout->Load(dir.file("l.ksl"), ""));
        return layout;
    }

    TempDir dir;
    TKSrunSetup setup;
};

TEST_F(RunSetupTest, TheDocumentListKeepsOrderTicksAndOneEntryPerFile) {
    TKSdocumentList& list = setup.Documents;
    list.Add(dir.file("a.htx"), true);
    list.Add(dir.file("b.htx"), false);
    list.Add(dir.file("c.htx"), true);
    list.Move(2, 0); // c, a, b
    EXPECT_EQ(dir.file("c.htx"), list.Document(0).FileName);
    EXPECT_EQ(dir.file("b.htx"), list.Document(2).FileName);
    EXPECT_FALSE(list.Selected(2));
    EXPECT_EQ(1, list.Find(dir.file("./a.htx")));
    EXPECT_EQ(-1, list.Find(dir.file("missing.htx")));
    list.Remove(1);
    ASSERT_EQ(2u, list.Count());

    // The run sees the list in its order, with its ticks.
    TKScommon environment({}, dir.path().string(), {});
    const TKSrunSettings settings = setup.Settings(environment);
    ASSERT_EQ(2u, settings.Documents.size());
    EXPECT_EQ(dir.file("b.htx"), settings.Documents[1].Data->FileName);
    EXPECT_FALSE(settings.Documents[1].Selected);
}

// Years shown in the index and duplicates folded without comparing years
// exclude each other; a run given both shows the years.
TEST_F(RunSetupTest, IgnoringYearsNeedsAnIndexWithoutYears) {
    TKScommon environment({}, dir.path().string(), {});
    for (const bool years : {false, true}) {
        setup.IndexWithYears = years;
        setup.DuplicatesIgnoreYears = true;
        const TKSrunSettings settings = setup.Settings(environment);
        EXPECT_EQ(years, settings.IndexWithYears);
        EXPECT_EQ(!years, settings.DuplicatesIgnoreYears);
        EXPECT_EQ(!years, MayIgnoreYears(years));
    }
}

TEST_F(RunSetupTest, SplitChoicesAndTheIndexDivisionAreCheckedAgainstTheLayout) {
    const test::ShippedTexts english("GB"); // the messages are read in English
    setup.SetLayout(LoadLayout());
    EXPECT_TRUE(setup.Layout()->Item(1)->Split); // numbered entries split by default
    EXPECT_FALSE(setup.Layout()->Item(3)->Split);
    const std::vector<TKSproblem> unknown = setup.ChooseSplits({"INDEX", "start"}, {"nope"});
    ASSERT_EQ(2u, unknown.size());
    EXPECT_EQ("no output named start that can be split over pages", unknown[0].Reason);
    EXPECT_TRUE(setup.Layout()->Item(1)->Split);
    EXPECT_FALSE(setup.Layout()->Item(2)->Split);

    // The layout does not ask for a division: only the first one is allowed.
    setup.IndexType = TKSindexType::Parts50;
    std::vector<TKSproblem> problems = setup.CheckLayout();
    ASSERT_EQ(1u, problems.size());
    EXPECT_EQ("the layout does not ask for an index division", problems[0].Reason);
    setup.IndexType = TKSindexType::NotChosen;
    EXPECT_TRUE(setup.CheckLayout().empty());
    EXPECT_EQ(TKSindexType::FirstLetter, setup.EffectiveIndexType());
}

// An index written in parts only when it grows too large asks for no
// division and gets the automatic one; it accepts no other but per letter.
TEST_F(RunSetupTest, ALayoutWrittenInPartsTakesOnlyTheAutomaticDivision) {
    const test::ShippedTexts english("GB");
    WriteFileBytes(dir.file("l.ksl"), "[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[Templates]\r\n"
                                      "1=index, i.tpl, #PREFIX!#PART!.htm, Index\r\n");
    setup.SetLayout(LoadLayout());
    using T = TKSindexType;
    for (const auto& [type, effective, problems] :
         {std::tuple{T::NotChosen, T::Auto, 0u}, std::tuple{T::Auto, T::Auto, 0u},
          std::tuple{T::FirstLetter, T::FirstLetter, 0u},
          std::tuple{T::Parts100, T::Parts100, 1u}}) {
        setup.IndexType = type;
        EXPECT_EQ(effective, setup.EffectiveIndexType()) << IndexTypeNumber(type);
        EXPECT_EQ(problems, setup.CheckLayout().size()) << IndexTypeNumber(type);
    }
}

TEST_F(RunSetupTest, ProblemsNameTheDocumentAsGivenAndTheOutputFolder) {
    const test::ShippedTexts english("GB"); // the messages are read in English
    WriteFileBytes(dir.file("notes.htx"), "just text\n");
    setup.Documents.Add(dir.file("a.htx"), true);
    setup.Documents.Add(dir.file("notes.htx"), true);
    setup.Documents.Add("missing-here.htx", true);
    const std::vector<TKSproblem> documents = setup.CheckDocuments();
    ASSERT_EQ(2u, documents.size());
    EXPECT_EQ(dir.file("notes.htx"), documents[0].Path);
    EXPECT_EQ("not an index document (type htx, format 1)", documents[0].Reason);
    EXPECT_EQ("missing-here.htx", documents[1].Path);

    setup.OutputFolder = dir.file("a.htx");
    ASSERT_EQ(1u, setup.CheckOutputFolder().size());
    EXPECT_EQ(dir.file("a.htx"), setup.CheckOutputFolder()[0].Path);
    EXPECT_EQ("not a folder, so the output folder cannot be made in it",
              setup.CheckOutputFolder()[0].Reason);
    setup.OutputFolder = dir.file("new/deeper");
    EXPECT_TRUE(setup.CheckOutputFolder().empty());
    EXPECT_FALSE(fs::exists(dir.file("new")));
    EXPECT_TRUE(setup.MakeOutputFolder().empty());
    EXPECT_TRUE(fs::is_directory(dir.file("new/deeper")));
}

} // namespace
} // namespace ks

namespace ks {
namespace {

// Whatever the run would refuse at its start, Check lists before it, for
// both front ends; an address typed with blanks or a letter outside ASCII
// keeps the same bytes whichever front end took it.
TEST_F(RunSetupTest, CheckListsWhatTheRunWouldRefuseAtItsStart) {
    const test::ShippedTexts english("GB");
    fs::create_directories(dir.file("sub"));
    WriteFileBytes(dir.file("sub/l.ksl"), "[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[Templates]\r\n"
                                          "1=start, ../s.tpl, #PREFIX!.htm, Start\r\n");
    struct Case {
        const char* what;
        std::function<void(TKSrunSetup&)> spoil;
        std::string reason; // of the one problem Check lists
    };
    const Case cases[] = {
        {"a document listed twice by another spelling",
         [&](TKSrunSetup& s) { s.Documents.Add(dir.file("sub/../a.htx"), true); },
         "is in the list already (as " + dir.file("a.htx") + ")"},
        {"a base name with a slash", [](TKSrunSetup& s) { s.BaseName = "a/b"; },
         "the base name a/b may not contain \"/\""},
        {"a site address with a port out of range",
         [](TKSrunSetup& s) { s.SiteAddress = "https://ex.org:99999/"; }, ""},
        {"a source outside the layout's folder",
         [&](TKSrunSetup& s) {
             auto layout = std::make_unique<TKSkslData>();
             ASSERT_TRUE(layout->Load(dir.file("sub/l.ksl"), ""));
             s.SetLayout(std::move(layout));
         },
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TKSrunSetup s;
        s.Documents.Add(dir.file("a.htx"), true);
        s.SetLayout(LoadLayout());
        s.OutputFolder = dir.file("out");
        ASSERT_TRUE(s.Check().empty());
        c.spoil(s);
        const std::vector<TKSproblem> problems = s.Check();
        ASSERT_EQ(1u, problems.size());
        if (!c.reason.empty()) {
            EXPECT_EQ(c.reason, problems[0].Reason);
        }
    }
    setup.Documents.Add(dir.file("a.htx"), true);
    setup.Documents.SetTypedWebAddress(0, "  https://ex.org/caf\xC3\xA9/ ");
    EXPECT_EQ("https://ex.org/caf\xE9/", setup.Documents.WebAddress(0));
    ASSERT_EQ(1u, setup.CheckDocuments().size());
}

} // namespace
} // namespace ks
