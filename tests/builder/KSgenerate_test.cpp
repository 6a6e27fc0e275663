#include "builder/run/KSgenerate.h"

#include "builder/run/KSbuilder.h"
#include "builder/run/KSrunProgress.h"
#include "builder/run/KSwrittenRecord.h"
#include "common/KScodepage.h"
#include "common/KSfileio.h"
#include "index/KShtxData.h"
#include "index/KSksl.h"
#include "template/KStemplateParser.h"

#include "support/ScopedEnv.h"
#include "support/ShippedTexts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

// Records what a run shows.
class Recorder : public TKSrunProgress {
public:
    TKSprogressBar& AddRow(int step, const std::string& caption) override {
        rows.push_back(std::to_string(step) + " " + caption);
        bars.push_back(std::make_unique<TKSprogressBar>());
        return *bars.back();
    }
    void MissingFile(int step, const std::string& text, const std::string& path) override {
        missing.push_back(std::to_string(step) + " " + text + " " + path);
    }
    void StepFailed(int step, const std::string& message) override {
        failed.push_back(std::to_string(step) + " " + message);
    }
    void StepDuration(int step, const std::string&) override { durations.push_back(step); }
    void Result(const std::string& path, bool mayOpen) override {
        result = path;
        offered = mayOpen;
        ++results;
    }
    void Breathe() override {
        if (stopAtRow >= 0 && static_cast<int>(rows.size()) > stopAtRow && builder)
            builder->RequestStop(TKSstopRequest::Cancel);
        if (onBreathe) onBreathe();
    }

    std::vector<std::string> rows, missing, failed;
    std::vector<std::unique_ptr<TKSprogressBar>> bars;
    std::vector<int> durations;
    std::string result;
    bool offered = false;
    int results = 0;
    int stopAtRow = -1;
    TKSbuilder* builder = nullptr;
    std::function<void()> onBreathe; // looks at the folders while the run goes on
};

const char* const kIndexTemplate = "<html><head><title>#TITLE$!</title></head><body>\r\n"
                                   "#LINKPREV(index)!#LINKNEXT(index)!\r\n"
                                   "  #INDEXDATA!\r\n"
                                   "</body></html>\r\n";
const char* const kStartTemplate = "<p>#TEMPLATE$! #FILE(index)! #KSLTEXT(Footer)! "
                                   "#UCASE$(\"abc\")! #HOMEPAGE$! #EMAIL$! #title$!</p>\r\n";

std::string Layout(const std::string& templates, const std::string& files) {
    return "[KESTRIN]\r\nversion=4.0\r\ntype=KSL\r\nformat=1\r\n"
           "[General]\r\nTitle=Test layout\r\naskuser=indextype,title\r\n"
           "[Templates]\r\n" +
           templates + "[Files]\r\n" + files + "[Texts]\r\nFooter=Made with care\r\n";
}

const char* const kEntries = "1=index, index.tpl, #PREFIX!#NR!.htm, Index pages\r\n"
                             "2=start, start.tpl, #PREFIX!.htm, Start page\r\n";
const char* const kFiles = "1=style, style.css, #PREFIX!.css, Style sheet\r\n";

std::string Tree(const std::string& title, const std::vector<std::string>& lines) {
    std::string text = "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n"
                       "[metadata]\r\ntitle=" +
                       title + "\r\nhtmfile=index.htm\r\n[indexdata]\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// Two trees side by side with the output folder; a layout with an index
// split over pages, a start page and a style sheet.
class GenerateTest : public ::testing::Test {
protected:
    GenerateTest() {
        fs::create_directories(dir.file("trees/tree1"));
        fs::create_directories(dir.file("trees/tree2"));
        fs::create_directories(dir.file("layout"));
        fs::create_directories(dir.file("out"));
        fs::create_directories(dir.file("tmp"));
        WriteFileBytes(dir.file("trees/tree1/tree1.htx"),
                       Tree("Tree one", {"B\tBerg, van den\tJan\t\t1850\t1910\t1\tp1.htm#i1",
                                         "J\tJansen\tPiet\t\t\t\t2\tp1.htm#i2"}));
        WriteFileBytes(dir.file("trees/tree2/tree2.htx"),
                       Tree("Tree two", {"B\tBerg, van den\tJan\t\t1850\t1910\t7\tpersons.htm#p7",
                                         "B\tBos\tEva\t\t1901\t\t3\tpersons.htm#p3"}));
        WriteFileBytes(dir.file("layout/index.tpl"), kIndexTemplate);
        WriteFileBytes(dir.file("layout/start.tpl"), kStartTemplate);
        WriteFileBytes(dir.file("layout/style.css"), "body { margin: 0 }\n");
        WriteLayout(kEntries, kFiles);
    }

    void WriteLayout(const std::string& templates, const std::string& files) {
        WriteFileBytes(dir.file("layout/test.ksl"), Layout(templates, files));
    }

    TKSrunResult Run() { return RunInto(dir.file("out"), baseName); }

    TKSrunResult RunInto(const std::string& outputFolder, const std::string& base) {
        builder = std::make_unique<TKSbuilder>(Settings(outputFolder, base));
        recorder.builder = builder.get();
        return TKSgenerator(*builder, recorder).GenerateIndex();
    }

    // Freshly loaded documents and layout, each entry split.
    TKSrunSettings Settings(const std::string& outputFolder, const std::string& base) {
        layout = std::make_unique<TKSkslData>();
        EXPECT_TRUE(layout->Load(dir.file("layout/test.ksl"), dir.file("res/")));
        for (int n = 1; n <= layout->ItemCount(); ++n)
            layout->Item(n)->SetSplit(true);
        documents.clear();
        documents.push_back(std::make_unique<TKShtxData>(dir.file("trees/tree1/tree1.htx")));
        documents.push_back(std::make_unique<TKShtxData>(fs::exists(dir.file("out/tree.htm"))
                                                             ? dir.file("out/tree.htm")
                                                             : dir.file("trees/tree2/tree2.htx")));
        TKSrunSettings settings;
        for (auto& d : documents)
            settings.Documents.push_back({d.get(), true});
        settings.Layout = layout.get();
        settings.OutputFolder = outputFolder;
        settings.BaseName = base;
        settings.Title = title;
        settings.Homepage = "example.org";
        settings.Email = "a@b.nl";
        settings.TempFolder = dir.file("tmp") + "/";
        return settings;
    }

    std::string Out(const std::string& name) { return ReadFileBytes(dir.file("out/" + name)); }

    TempDir dir;
    std::string baseName = "idx";
    std::string title = "My title";
    std::unique_ptr<TKSkslData> layout;
    std::vector<std::unique_ptr<TKShtxData>> documents;
    std::unique_ptr<TKSbuilder> builder;
    Recorder recorder;
};

// Worked out by hand from the rules of the index pages: two pages (B, J),
// the head and tail of the template on both, the reference links relative
// to the output folder.
const char* const kPage1 =
    "<html><head><title>My title</title></head><body>\r\n"
    "<span class=\"KSVIindexNoPrev\">&nbsp;</span><span class=\"KSVIindexNext\"><a "
    "href=\"idx2.htm\" target=\"VIindex\"> &gt; </a></span>\r\n"
    "  <a name=\"index1\" id=\"index1\"></a>\r\n"
    "  <a name=\"bm1\" id=\"bm1\"></a>\r\n"
    "  <span class=\"Idx1\">Berg, <span class=\"Idx1vv\">van den</span></span><br />\r\n"
    "  <span class=\"Idx2\"><span class=\"VN\" title=\"1850-1910\">Jan</span> <a class=\"IdxR\" "
    "href=\"../trees/tree1/p1.htm#i1\" title=\"Tree one\">1</a> <a class=\"IdxR\" "
    "href=\"../trees/tree2/persons.htm#p7\" title=\"Tree two\">2</a></span><br />\r\n"
    "  <a name=\"bm2\" id=\"bm2\"></a>\r\n"
    "  <span class=\"Idx1\">Bos</span><br />\r\n"
    "  <span class=\"Idx2\"><span class=\"VN\" title=\"1901-\">Eva</span> <a class=\"IdxR\" "
    "href=\"../trees/tree2/persons.htm#p3\" title=\"Tree two\">2</a></span><br />\r\n"
    "</body></html>\r\n";
const char* const kPage2 =
    "<html><head><title>My title</title></head><body>\r\n"
    "<span class=\"KSVIindexPrev\"><a href=\"idx1.htm\" target=\"VIindex\"> &lt; "
    "</a></span><span class=\"KSVIindexNoNext\">&nbsp;</span>\r\n"
    "  <a name=\"index2\" id=\"index2\"></a>\r\n"
    "  <a name=\"bm3\" id=\"bm3\"></a>\r\n"
    "  <span class=\"Idx1\">Jansen</span><br />\r\n"
    "  <span class=\"Idx2\"><span class=\"VN\">Piet</span> <a class=\"IdxR\" "
    "href=\"../trees/tree1/p1.htm#i2\" title=\"Tree one\">1</a></span><br />\r\n"
    "  \r\n"
    "</body></html>\r\n";

TEST_F(GenerateTest, WritesEveryEntryOfTheLayoutAndCleansUp) {
    const TKSrunResult result = Run();
    ASSERT_FALSE(result.Failed) << result.Error;
    EXPECT_EQ(kPage1, Out("idx1.htm"));
    EXPECT_EQ(kPage2, Out("idx2.htm"));
    EXPECT_EQ("<p>start.tpl idx1.htm Made with care ABC http://example.org a@b.nl My title</p>\r\n",
              Out("idx.htm"));
    EXPECT_EQ("body { margin: 0 }\n", Out("idx.css"));
    // The result is entry 1 at the last page written, and may be opened.
    EXPECT_EQ(dir.file("out") + "/idx2.htm", result.ResultPath);
    EXPECT_TRUE(result.MayOpen);
    EXPECT_EQ(1, recorder.results);
    EXPECT_EQ((std::vector<std::string>{"-1 samenvoegen indexen:", "0 dubbelen zoeken:",
                                        "1 Index pages", "2 Start page", "3 Style sheet"}),
              recorder.rows);
    // 4 template lines on each of 2 pages, plus one step per merged entry.
    EXPECT_EQ(4 * 2 + 3, recorder.bars[2]->Maximum());
    EXPECT_EQ(4, result.FilesWritten.size());
    EXPECT_TRUE(fs::is_empty(dir.file("tmp"))); // the record files are gone
}

// The same run without and with charset=utf-8: every page comes out as the
// UTF-8 form of its Windows-1252 self (template text, layout texts,
// expressions, names, titles and links of the trees alike); plain files are
// copied as they are.
TEST_F(GenerateTest, AUtf8LayoutWritesTheSamePagesInUtf8) {
    WriteFileBytes(
        dir.file("trees/tree1/tree1.htx"),
        Tree("Stamboom \xC9\xE9n", {"B\tBerg, van den\tJ\xF6rg\t\t1850\t1910\t1\tp\xE9.htm#i1",
                                    "J\tJansen\tPiet\t\t\t\t2\tp1.htm#i2"}));
    WriteFileBytes(dir.file("layout/start.tpl"),
                   "<p>\x93#KSLTEXT(Footer)!\x94 #CHR$(128)! \xAB</p>\r\n");
    WriteFileBytes(dir.file("layout/style.css"), "p::before { content: \"\xBB\" }\n");
    std::string layoutFile = Layout(kEntries, kFiles);
    layoutFile.replace(layoutFile.find("Made with care"), 14, "Caf\xE9");
    WriteFileBytes(dir.file("layout/test.ksl"), layoutFile);
    ASSERT_FALSE(Run().Failed);
    const std::vector<std::string> pages = {Out("idx1.htm"), Out("idx2.htm"), Out("idx.htm")};

    layoutFile.replace(layoutFile.find("askuser="), 0, "charset=UTF-8\r\n");
    WriteFileBytes(dir.file("layout/test.ksl"), layoutFile);
    const TKSrunResult result = Run();
    ASSERT_FALSE(result.Failed) << result.Error;
    EXPECT_EQ(Windows1252ToUtf8(pages[0]), Out("idx1.htm"));
    EXPECT_EQ(Windows1252ToUtf8(pages[1]), Out("idx2.htm"));
    EXPECT_EQ("<p>\xE2\x80\x9C"
              "Caf\xC3\xA9\xE2\x80\x9D \xE2\x82\xAC \xC2\xAB</p>\r\n",
              Out("idx.htm"));
    const std::string page = Out("idx1.htm");
    EXPECT_NE(pages[0], page);
    // Names and titles of the trees stay entities; a link is converted.
    EXPECT_NE(std::string::npos,
              page.find("<span class=\"VN\" title=\"1850-1910\">J&ouml;rg</span>"));
    EXPECT_NE(
        std::string::npos,
        page.find("href=\"../trees/tree1/p\xC3\xA9.htm#i1\" title=\"Stamboom &Eacute;&eacute;n\""));
    EXPECT_EQ("p::before { content: \"\xBB\" }\n", Out("idx.css"));
}

TEST_F(GenerateTest, ClearsOldResultsOfTheBaseNameAndOfEveryOutputPattern) {
    WriteFileBytes(dir.file("out/idx-old.txt"), "old");
    WriteFileBytes(dir.file("out/idx7.htm"), "old page");
    WriteFileBytes(dir.file("out/mine.htm"), "keep");
    WriteLayout("1=index, index.tpl, page#NR!.htm, Index pages\r\n", "");
    WriteFileBytes(dir.file("out/page9.htm"), "old page");
    Run();
    EXPECT_FALSE(fs::exists(dir.file("out/idx-old.txt")));
    EXPECT_FALSE(fs::exists(dir.file("out/idx7.htm")));
    EXPECT_FALSE(fs::exists(dir.file("out/page9.htm")));
    EXPECT_TRUE(fs::exists(dir.file("out/page2.htm")));
    EXPECT_EQ("keep", Out("mine.htm"));
}

TEST_F(GenerateTest, AMissingSourceIsReportedAndTheRestIsStillWritten) {
    fs::remove(dir.file("layout/start.tpl"));
    const TKSrunResult result = Run();
    EXPECT_FALSE(result.Failed);
    ASSERT_EQ(1u, result.MissingFiles.size());
    EXPECT_EQ(dir.file("layout/start.tpl"), result.MissingFiles[0]);
    ASSERT_EQ(1u, recorder.missing.size());
    EXPECT_EQ("2 bestand niet gevonden " + dir.file("layout/start.tpl"), recorder.missing[0]);
    EXPECT_TRUE(fs::exists(dir.file("out/idx.css")));
    EXPECT_FALSE(result.MayOpen);
}

TEST_F(GenerateTest, AStopRequestEndsTheRunBeforeTheNextStep) {
    recorder.stopAtRow = 0; // asked while merging
    const TKSrunResult result = Run();
    EXPECT_TRUE(result.Stopped);
    EXPECT_EQ(1u, recorder.rows.size());
    EXPECT_EQ(0, recorder.results); // no new result offered
    EXPECT_FALSE(fs::exists(dir.file("out/idx1.htm")));
    EXPECT_TRUE(fs::is_empty(dir.file("tmp")));
}

TEST_F(GenerateTest, AStopDuringTheLastStepOffersNoResult) {
    recorder.stopAtRow = 4; // asked once the fifth row (the style sheet, the last entry) is up
    const TKSrunResult result = Run();
    EXPECT_TRUE(result.Stopped);
    EXPECT_EQ(5u, recorder.rows.size());
    EXPECT_EQ(0, recorder.results);
    EXPECT_FALSE(result.MayOpen);
}

// Clearing deletes what an earlier run recorded and moves the user's own
// files to the trash, byte for byte, with a record of where each was.
TEST_F(GenerateTest, ClearingTrashesTheUsersFilesAndDeletesRecordedResults) {
    const test::ScopedEnv data("XDG_DATA_HOME", dir.file("data"));
    ASSERT_FALSE(Run().Failed);
    EXPECT_EQ((std::vector<std::string>{"idx.css", "idx.htm", "idx1.htm", "idx2.htm"}),
              ReadWrittenRecord(dir.file("out")));
    const std::string mine("my notes\r\n\0\xFF", 12);
    WriteFileBytes(dir.file("out/idx notes.txt"), mine);
    WriteFileBytes(dir.file("out/idx-old.htm"), "an old page");
    std::vector<TKSwrittenFile> recorded = TKSwrittenRecord::Read(dir.file("out")).Files();
    recorded.push_back(*DescribeWrittenFile(dir.file("out/idx-old.htm"), "idx-old.htm"));
    ASSERT_TRUE(WriteWrittenRecord(dir.file("out"), recorded));
    const TKSrunResult result = Run();
    ASSERT_FALSE(result.Failed) << result.Error;
    EXPECT_EQ(std::vector<std::string>{dir.file("out/idx notes.txt")}, result.Trashed);
    EXPECT_FALSE(fs::exists(dir.file("out/idx-old.htm")));
    const std::string trash = dir.file("data/Trash/");
    EXPECT_EQ(1, std::distance(fs::directory_iterator(trash + "files"), {}));
    EXPECT_EQ(mine, ReadFileBytes(trash + "files/idx notes.txt"));
    const std::string info = ReadFileBytes(trash + "info/idx notes.txt.trashinfo");
    const std::string head =
        "[Trash Info]\nPath=" + dir.file("out") + "/idx%20notes.txt\nDeletionDate=";
    ASSERT_EQ(0u, info.find(head)) << info;
    EXPECT_TRUE(std::regex_match(info.substr(head.size()),
                                 std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\n)")))
        << info;
    // The record is never cleared, even when the base name takes it.
    baseName = ".kestrin";
    ASSERT_FALSE(Run().Failed);
    EXPECT_TRUE(Run().Trashed.empty());
    EXPECT_EQ(4u, ReadWrittenRecord(dir.file("out")).size());
}

TEST_F(GenerateTest, ClearingOldResultsNeverDeletesTheRunsOwnInputs) {
    fs::rename(dir.file("trees/tree2/tree2.htx"), dir.file("out/idx-tree2.htx"));
    WriteFileBytes(dir.file("out/idx-old.htm"), "old");
    TKSrunResult result;
    {
        layout = std::make_unique<TKSkslData>();
        ASSERT_TRUE(layout->Load(dir.file("layout/test.ksl"), dir.file("res/")));
        layout->Item(1)->SetSplit(true);
        documents.clear();
        documents.push_back(std::make_unique<TKShtxData>(dir.file("out/idx-tree2.htx")));
        TKSrunSettings settings;
        settings.Documents.push_back({documents[0].get(), true});
        settings.Layout = layout.get();
        settings.OutputFolder = dir.file("out");
        settings.BaseName = "idx";
        settings.TempFolder = dir.file("tmp") + "/";
        builder = std::make_unique<TKSbuilder>(settings);
        TKSgenerator generator(*builder, recorder);
        result = generator.GenerateIndex();
    }
    EXPECT_FALSE(result.Failed) << result.Error;
    EXPECT_TRUE(fs::exists(dir.file("out/idx-tree2.htx")));
    EXPECT_FALSE(fs::exists(dir.file("out/idx-old.htm")));
    EXPECT_NE(std::string::npos, Out("idx1.htm").find("Bos"));
}

TEST_F(GenerateTest, AnOutputIsNeverWrittenThroughALinkAtItsName) {
    // Without a base name nothing is cleared, so the links are still there
    // when the run writes its files (".css" and the index's second page).
    baseName = "";
    WriteFileBytes(dir.file("elsewhere.css"), "precious");
    fs::create_symlink(dir.file("elsewhere.css"), dir.file("out/.css"));
    WriteFileBytes(dir.file("elsewhere.htm"), "precious");
    fs::create_symlink(dir.file("elsewhere.htm"), dir.file("out/2.htm"));
    const TKSrunResult result = Run();
    EXPECT_FALSE(result.Failed) << result.Error;
    EXPECT_EQ("precious", ReadFileBytes(dir.file("elsewhere.css")));
    EXPECT_EQ("precious", ReadFileBytes(dir.file("elsewhere.htm")));
    EXPECT_FALSE(fs::is_symlink(dir.file("out/.css")));
    EXPECT_FALSE(fs::is_symlink(dir.file("out/2.htm")));
    EXPECT_NE(std::string::npos, Out("2.htm").find("Jansen"));
}

TEST_F(GenerateTest, ATemplateErrorNamesTheTemplateAndLineAndLeavesNothingBehind) {
    WriteFileBytes(dir.file("layout/start.tpl"), "line one\r\n<p>#1/0!</p>\r\n");
    const TKSrunResult result = Run();
    ASSERT_TRUE(result.Failed);
    EXPECT_EQ(dir.file("layout/start.tpl") + ":2: x/0 is not allowed", result.Error);
    ASSERT_EQ(1u, recorder.failed.size());
    EXPECT_EQ("2 " + result.Error, recorder.failed[0]);
    EXPECT_EQ(0, recorder.results);
    EXPECT_FALSE(fs::exists(dir.file("out/idx.css"))); // later steps are not run
    EXPECT_TRUE(fs::is_empty(dir.file("tmp")));
}

TEST_F(GenerateTest, OutputNamesThatLeaveTheOutputFolderAreRefusedBeforeAnythingIsDeleted) {
    const test::ShippedTexts english("GB"); // the messages are read in English
    WriteFileBytes(dir.file("out/idx-old.txt"), "old");
    for (const char* output : {"../escape#NR!.htm", "/tmp/abs.htm", "sub/../../x.htm"}) {
        WriteLayout(std::string("1=index, index.tpl, ") + output + ", Index pages\r\n", "");
        const TKSrunResult result = Run();
        EXPECT_TRUE(result.Failed) << output;
        EXPECT_NE(std::string::npos, result.Error.find("entry index")) << result.Error;
        EXPECT_EQ("old", Out("idx-old.txt"));
    }
    EXPECT_FALSE(fs::exists(dir.file("escape1.htm")));
}

TEST_F(GenerateTest, WithoutAnOutputFolderNothingIsWrittenAndNothingOffered) {
    fs::remove_all(dir.file("out"));
    const TKSrunResult result = Run();
    EXPECT_FALSE(result.Failed);
    EXPECT_FALSE(result.MayOpen);
    EXPECT_FALSE(fs::exists(dir.file("out")));
}

// Every layout here would lose or leak a file; each is refused before the
// output folder is touched.
TEST_F(GenerateTest, UnsafeLayoutsAreRefusedBeforeAnythingIsDeleted) {
    const test::ShippedTexts english("GB"); // the messages are read in English
    WriteFileBytes(dir.file("out/idx-old.txt"), "old");
    WriteFileBytes(dir.file("out/index.htm"), "mine");
    WriteFileBytes(dir.file("private.txt"), "secret");
    fs::create_symlink(dir.file("private.txt"), dir.file("layout/linked.txt"));
    const struct {
        const char* templates;
        const char* files;
        const char* reason;
    } cases[] = {
        {"", "", "the layout has no entries"},
        {"1=index, index.tpl, *, Index\r\n", "", "holds a wildcard"},
        {"1=index, index.tpl, ?????.htm, Index\r\n", "", "holds a wildcard"},
        {"1=index, index.tpl, [a-z]*.htm, Index\r\n", "", "holds a wildcard"},
        {"1=index\r\n", "", "entry index is incomplete"},
        {"1=index, index.tpl, , Index\r\n", "", "entry index is incomplete"},
        {"1=index, index.tpl, p#NR!/x.htm, Index\r\n", "", "only stand in the file name"},
        {kEntries, "1=pw, ../../../../../../etc/passwd, pw.txt, X\r\n", "outside the layout's"},
        {kEntries, "1=pw, linked.txt, pw.txt, X\r\n", "outside the layout's folder"},
    };
    for (const auto& c : cases) {
        WriteLayout(c.templates, c.files);
        const TKSrunResult result = Run();
        EXPECT_TRUE(result.Failed) << c.templates << c.files;
        EXPECT_NE(std::string::npos, result.Error.find(c.reason)) << result.Error;
        EXPECT_EQ(0u, result.Error.find(dir.file("layout/test.ksl"))) << result.Error;
        EXPECT_EQ("old", Out("idx-old.txt"));
        EXPECT_EQ("mine", Out("index.htm"));
        EXPECT_FALSE(fs::exists(dir.file("out/pw.txt")));
    }
}

TEST_F(GenerateTest, NoOutputMayOverwriteAnInputOfTheRun) {
    const test::ShippedTexts english("GB"); // the messages are read in English
    // A selected document in the output folder under the name of an output,
    // and a hard link to a template at the name of another.
    fs::rename(dir.file("trees/tree2/tree2.htx"), dir.file("out/tree.htm"));
    WriteLayout("1=index, index.tpl, tree.htm, Index pages\r\n", "");
    documents.clear();
    TKSrunResult result = Run();
    EXPECT_TRUE(result.Failed);
    EXPECT_NE(std::string::npos, result.Error.find("would overwrite")) << result.Error;
    fs::rename(dir.file("out/tree.htm"), dir.file("trees/tree2/tree2.htx"));

    fs::create_hard_link(dir.file("layout/start.tpl"), dir.file("out/idx.htm"));
    WriteLayout(kEntries, kFiles);
    result = Run();
    EXPECT_TRUE(result.Failed);
    EXPECT_EQ(0u, result.Error.find(dir.file("layout/start.tpl") + ": entry ")) << result.Error;
    EXPECT_NE(std::string::npos, result.Error.find("would overwrite")) << result.Error;
    EXPECT_EQ(kStartTemplate, ReadFileBytes(dir.file("layout/start.tpl")));
}

TEST_F(GenerateTest, OutputsInTheLayoutsOwnFolderNeverReplaceItsFiles) {
    const test::ShippedTexts english("GB"); // the messages are read in English
    for (const char* output : {"test.ksl", "index.tpl", "#PREFIX!.css"}) {
        WriteLayout(std::string("1=index, index.tpl, ") + output + ", Index pages\r\n",
                    "1=style, style.css, #PREFIX!.css, Style sheet\r\n");
        const std::string before = ReadFileBytes(dir.file("layout/test.ksl"));
        const TKSrunResult result = RunInto(dir.file("layout"), "style");
        EXPECT_TRUE(result.Failed) << output;
        EXPECT_NE(std::string::npos, result.Error.find("would overwrite")) << result.Error;
        EXPECT_EQ(before, ReadFileBytes(dir.file("layout/test.ksl")));
        EXPECT_EQ(kIndexTemplate, ReadFileBytes(dir.file("layout/index.tpl")));
    }
}

TEST_F(GenerateTest, AFolderPartOfAnOutputNameLiesInsideTheOutputFolder) {
    const test::ShippedTexts english("GB"); // the messages are read in English
    WriteLayout("1=index, index.tpl, pages/#PREFIX!#NR!.htm, Index pages\r\n", "");
    const TKSrunResult result = Run();
    ASSERT_FALSE(result.Failed) << result.Error;
    EXPECT_NE(std::string::npos, Out("pages/idx1.htm").find("Bos"));
    EXPECT_NE(std::string::npos, Out("pages/idx2.htm").find("Jansen"));
    // Links to the trees are relative to the page's own folder.
    EXPECT_NE(std::string::npos, Out("pages/idx2.htm").find("../../trees/tree1/p1.htm#i2"));
    EXPECT_EQ(dir.file("out") + "/pages/idx2.htm", result.ResultPath);

    // A link at the subfolder is neither cleared through nor written through.
    fs::remove_all(dir.file("out/pages"));
    fs::create_directories(dir.file("elsewhere"));
    WriteFileBytes(dir.file("elsewhere/idx9.htm"), "precious");
    fs::create_directory_symlink(dir.file("elsewhere"), dir.file("out/pages"));
    const TKSrunResult linked = Run();
    EXPECT_TRUE(linked.Failed);
    EXPECT_NE(std::string::npos, linked.Error.find("symbolic link")) << linked.Error;
    EXPECT_EQ("precious", ReadFileBytes(dir.file("elsewhere/idx9.htm")));
    EXPECT_FALSE(fs::exists(dir.file("elsewhere/idx1.htm")));
}

TEST_F(GenerateTest, ASecondRunIntoALockedOutputFolderIsRefused) {
    const test::ShippedTexts english("GB"); // the messages are read in English
    WriteFileBytes(dir.file("out/idx-old.txt"), "old");
    const int held = ::open(dir.file("out").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(0, ::flock(held, LOCK_EX));
    const TKSrunResult result = Run();
    EXPECT_TRUE(result.Failed);
    EXPECT_EQ("another run is writing into " + dir.file("out") + "/", result.Error);
    EXPECT_EQ("old", Out("idx-old.txt"));
    ::close(held);
    EXPECT_FALSE(Run().Failed); // the lock goes with its holder
    EXPECT_FALSE(fs::exists(dir.file("out/idx-old.txt")));
}

TEST_F(GenerateTest, APlainFileThatCannotBeCopiedIsReportedLikeAMissingOne) {
    const test::ShippedTexts english("GB"); // the messages are read in English
    fs::create_directories(dir.file("out/idx.css/in-the-way"));
    const TKSrunResult result = Run();
    EXPECT_FALSE(result.Failed);
    ASSERT_EQ(1u, recorder.missing.size());
    EXPECT_EQ(0u, recorder.missing[0].find("3 Cannot copy to " + dir.file("out") + "/idx.css"))
        << recorder.missing[0];
    EXPECT_FALSE(result.MayOpen);
    EXPECT_TRUE(fs::exists(dir.file("out/idx2.htm")));
}

// Everything a run could change in what it is given, as one text (the output
// folder apart, which each run of the test has its own of).
std::string Observed(const TKSrunSettings& settings) {
    std::string text =
        std::to_string(static_cast<int>(settings.IndexType)) + "|" + settings.BaseName + "\n";
    for (const TKSrunDocument& d : settings.Documents)
        text += d.Data->FileName + "|" + d.Data->Title + "|" + d.Data->HtmFile + "|" +
                d.Data->Description + "|" + std::to_string(d.Data->FileSize) + "|" +
                (d.Selected ? "1" : "0") + "\n";
    const TKSkslData& layout = *settings.Layout;
    text += layout.LayoutFile + "|" + layout.Title + "|" + layout.AskUser + "\n";
    for (int n = 1; n <= layout.ItemCount(); ++n) {
        const TKSkslFile& entry = *layout.Item(n);
        text += entry.Name + "|" + entry.Source + "|" + entry.Output + "|" + entry.Caption + "|" +
                (entry.Split ? "split" : "single") + "\n";
    }
    return text;
}

// Everything in a folder and below it, hidden names included: name -> bytes
// (a folder as "<folder>").
std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().string().substr(folder.size());
        files[name] = entry.is_directory() ? "<folder>" : ReadFileBytes(entry.path().string());
        // The digest of the persons names the time of its run: its hashes count.
        if (name == "/.kestrin-digest") files[name].erase(0, files[name].find('\n'));
    }
    return files;
}

// One set of documents and one layout, run twice in a row (also on the same
// builder) and once more from freshly loaded ones: the inputs are the same
// after every run, and so is every file written. The automatic division and
// an old document that is sorted into a copy are what a run learns most from.
TEST_F(GenerateTest, RunsInARowLeaveTheirInputsAsGivenAndWriteTheSameFiles) {
    WriteFileBytes(dir.file("trees/tree2/tree2.htx"),
                   "[KESTRIN]\r\nversion=3.1\r\ntype=htx\r\nformat=1\r\n[metadata]\r\n"
                   "title=Tree two\r\n[indexdata]\r\n"
                   "B\tBos\tEva\t\t1901\t\t3\tpersons.htm#p3\r\n"
                   "B\tBerg, van den\tJan\t\t1850\t1910\t7\tpersons.htm#p7\r\n");
    EXPECT_FALSE(Run().Failed); // the fixture's run, with objects of its own
    const std::map<std::string, std::string> fresh = Snapshot(dir.file("out"));

    builder.reset(); // the documents and layout are loaded anew
    TKSrunSettings settings = Settings("", baseName);
    settings.IndexType = TKSindexType::Auto;
    const std::string before = Observed(settings);

    std::vector<std::map<std::string, std::string>> outputs;
    TKSbuilder own(settings), reused(settings);
    for (const char* folder : {"run1", "run2", "run3"}) {
        settings.OutputFolder = dir.file(folder);
        fs::create_directories(settings.OutputFolder);
        // The second and third runs go on one builder.
        TKSbuilder& builder = std::string(folder) == "run1" ? own : reused;
        TKSrunSettings next = builder.Settings();
        next.OutputFolder = settings.OutputFolder;
        builder.SetSettings(next);
        Recorder quiet;
        const TKSrunResult result = TKSgenerator(builder, quiet).GenerateIndex();
        ASSERT_FALSE(result.Failed) << result.Error;
        EXPECT_EQ(TKSindexType::Auto, builder.State().RequestedIndexType);
        EXPECT_EQ(TKSindexType::FirstLetter, builder.State().IndexType);
        EXPECT_EQ(2, builder.DocumentRun(0).EntryCount);
        EXPECT_EQ(1850, builder.DocumentRun(1).MinYear);
        EXPECT_EQ(dir.file("trees/tree2/tree2.new-htx"), builder.DocumentRun(1).DataFileName);
        EXPECT_EQ(before, Observed(settings)) << folder;
        EXPECT_EQ(before, Observed(builder.Settings())) << folder;
        outputs.push_back(Snapshot(dir.file(folder)));
    }
    // Four pages, the record of them and the digest of the persons.
    ASSERT_EQ(6u, fresh.size());
    for (const auto& files : outputs)
        EXPECT_EQ(fresh, files);
}

// When the division is chosen by size and the surname list would pass its
// budget, the list goes into parts: per letter and by ranges inside a
// letter, every part within the budget and titled by its letter or range,
// each surname once, the first part under the list's own name, and every
// link of the key row reaching its part and anchor. A division chosen by
// the user, or a list within budget, gives the one page as before.
TEST_F(GenerateTest, TheSurnameListGoesIntoPartsUnderTheAutomaticDivision) {
    std::vector<std::string> lines;
    int number = 0;
    for (const char letter : std::string("AC"))
        for (int s = 0; s < 40; ++s)
            for (int person = 0; person <= s % 3; ++person, ++number)
                lines.push_back(std::string(1, letter) + "\t" + letter + "name" +
                                std::to_string(100 + s) + "\tJan\t\t\t\t" + std::to_string(number) +
                                "\tp.htm#i" + std::to_string(number));
    WriteFileBytes(dir.file("trees/tree1/tree1.htx"), Tree("Tree one", lines));
    WriteLayout("1=index, index.tpl, #PREFIX!#NR!.htm, Index pages\r\n"
                "2=names, names.tpl, #PREFIX!_names.htm, Names\r\n",
                "");
    WriteFileBytes(dir.file("layout/names.tpl"), "<h1>Names#PAGE$( )!</h1>\r\n"
                                                 "#INDEXKEYS(names,,0)!\r\n"
                                                 "#NAMELIST(index)!\r\n");
    const struct {
        TKSindexType indexType;
        int64_t budget;
        int parts; // at least; 1: exactly one
    } cases[] = {{TKSindexType::Auto, 5000, 5},
                 {TKSindexType::FirstLetter, 5000, 1},
                 {TKSindexType::Auto, kNamePartBudget, 1}};
    const std::regex naam("class=\"Naam\">([^<]+)");
    const std::regex link("href=\"([^\"#]+)#([^\"]+)\"");
    for (const auto& c : cases) {
        const std::string out = dir.file("out" + std::to_string(c.budget) +
                                         std::to_string(static_cast<int>(c.indexType)));
        fs::create_directories(out);
        TKSrunSettings settings = Settings(out, "idx");
        settings.IndexType = c.indexType;
        layout->FindItem("names")->SetSplit(false);
        settings.NamePartBudget = c.budget;
        TKSbuilder run(settings);
        Recorder quiet;
        const std::vector<std::string> planned = TKSgenerator(run, quiet).PlanRun().Outputs;
        const TKSrunResult result = TKSgenerator(run, quiet).GenerateIndex();
        ASSERT_FALSE(result.Failed) << result.Error;
        EXPECT_EQ(planned, result.FilesWritten);
        std::vector<std::string> parts = {"idx_names.htm"};
        while (fs::exists(out + "/idx_names" + std::to_string(parts.size() + 1) + ".htm"))
            parts.push_back("idx_names" + std::to_string(parts.size() + 1) + ".htm");
        if (c.parts == 1)
            EXPECT_EQ(1u, parts.size());
        else
            EXPECT_LE(static_cast<std::size_t>(c.parts), parts.size());
        std::map<std::string, int> surnames;
        std::set<std::string> titles;
        for (const std::string& part : parts) {
            const std::string text = ReadFileBytes(out + "/" + part);
            if (c.parts > 1) {
                EXPECT_LE(static_cast<int64_t>(text.size()), c.budget) << part;
            }
            titles.insert(text.substr(0, text.find("</h1>")));
            for (std::sregex_iterator it(text.begin(), text.end(), naam), end; it != end; ++it)
                ++surnames[(*it)[1].str()];
            for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it) {
                const std::string target = (*it)[1].str(), anchor = (*it)[2].str();
                EXPECT_NE(std::string::npos,
                          ReadFileBytes(out + "/" + target).find("id=\"" + anchor + "\""))
                    << part << " -> " << target << "#" << anchor;
            }
        }
        EXPECT_EQ(parts.size(), titles.size()) << "every part has a title of its own";
        if (c.parts > 1) {
            EXPECT_TRUE(titles.count("<h1>Names B")) << "a letter in one part";
            const std::regex range("<h1>Names Aname1\\d\\d &ndash; Aname1\\d\\d");
            EXPECT_EQ(1, std::count_if(titles.begin(), titles.end(),
                                       [&](const std::string& t) {
                                           return std::regex_match(t, range) &&
                                                  t.find("Aname100 ") != std::string::npos;
                                       }))
                << "the first range of a letter cut into parts";
        }
        EXPECT_EQ(82u, surnames.size()); // and the two of the second tree
        for (const auto& [surname, count] : surnames)
            EXPECT_EQ(1, count) << surname;
    }
}

TEST_F(GenerateTest, ResolvesTheSimpleVariables) {
    Run();
    TKSgenerator generator(*builder, recorder);
    TKSrunSettings settings = builder->Settings();
    settings.Homepage = "https://example.org";
    settings.Email = "no address";
    builder->SetSettings(settings);
    TKStemplateParser parser;
    EXPECT_EQ("https://example.org", generator.ResolveVariable("HOMEPAGE$", parser));
    EXPECT_EQ("", generator.ResolveVariable("EMAIL$", parser));
    settings.Homepage = "./home.htm";
    builder->SetSettings(settings);
    EXPECT_EQ("./home.htm", generator.ResolveVariable("homepage$", parser));
    EXPECT_EQ("idx.htm", generator.ResolveVariable("FILE(start)", parser));
    EXPECT_EQ("", generator.ResolveVariable("FILE(nothing)", parser));
    EXPECT_EQ("Made with care", generator.ResolveVariable("KSLTEXT(Footer,ignored)", parser));
    EXPECT_EQ("", generator.ResolveVariable("LINKNEXT(nothing)", parser));
}

// The texts around the title and the tree label are opt-in: the template of
// the first test, which uses neither, gives the same pages as before.
TEST_F(GenerateTest, TitleTextsAndTreeLabelsAreWrittenWhereTheTemplateAsksForThem) {
    WriteFileBytes(dir.file("layout/index.tpl"),
                   "<title>Index#TITLE$( &ndash; )!</title><h1>#TITLE$(,,Index, all)!</h1>\r\n"
                   "  #INDEXDATA(%1, tree %2)!\r\n");
    ASSERT_FALSE(Run().Failed);
    std::string page = Out("idx1.htm");
    EXPECT_EQ(0u, page.find("<title>Index &ndash; My title</title><h1>My title</h1>\r\n"));
    EXPECT_NE(std::string::npos,
              page.find(" <a class=\"IdxR\" href=\"../trees/tree2/persons.htm#p7\" "
                        "title=\"Tree two\" aria-label=\"Tree two, tree 2\">2</a>"));

    title.clear();
    ASSERT_FALSE(Run().Failed);
    page = Out("idx2.htm");
    EXPECT_EQ(0u, page.find("<title>Index</title><h1>Index, all</h1>\r\n"));
    EXPECT_NE(std::string::npos,
              page.find("title=\"Tree one\" aria-label=\"Tree one, tree 1\">1</a>"));
    // A start page written with #title$! alone stays empty where the title was.
    EXPECT_EQ("<p>start.tpl idx1.htm Made with care ABC http://example.org a@b.nl </p>\r\n",
              Out("idx.htm"));
}

// Each page of a split index names its letter in its title and heading;
// a file that is no page of the index gets the words for no page.
TEST_F(GenerateTest, EveryIndexPageNamesItsLetterInItsTitleAndHeading) {
    WriteFileBytes(
        dir.file("layout/index.tpl"),
        "<title>Index#PAGE$( )!#TITLE$( &ndash; )!</title><h1>#PAGE$(Page ,.,All)!</h1>\r\n"
        "  #INDEXDATA!\r\n");
    WriteFileBytes(dir.file("layout/start.tpl"), "<h1>#PAGE$(Page ,.,All)!</h1>\r\n");
    ASSERT_FALSE(Run().Failed);
    EXPECT_EQ(0u, Out("idx1.htm").find("<title>Index B &ndash; My title</title><h1>Page B.</h1>"));
    EXPECT_EQ(0u, Out("idx2.htm").find("<title>Index J &ndash; My title</title><h1>Page J.</h1>"));

    // The start page is split too, yet has no page of the index.
    EXPECT_EQ("<h1>All</h1>\r\n", Out("idx.htm"));
}

// A run that fails or is stopped part of the way leaves the previous result
// as it was, byte for byte, and nothing of its own.
TEST_F(GenerateTest, ARunThatDoesNotCompleteLeavesThePreviousResultAsItWas) {
    const test::ShippedTexts english("GB"); // the messages are read in English
    const std::string out = dir.file("out");
    const struct {
        const char* what;
        std::function<void()> arrange;
        bool failed;
        std::string error; // "" when not checked
    } cases[] = {
        {"a template error in the second entry",
         [&] { WriteFileBytes(dir.file("layout/start.tpl"), "<p>#1/0!</p>\r\n"); }, true, ""},
        {"a stop after the first entry", [&] { recorder.stopAtRow = 2; }, false, ""},
        {"a missing source, then a page that cannot be put in place",
         [&] {
             fs::remove(dir.file("layout/start.tpl"));
             fs::remove(dir.file("out/idx2.htm"));
             fs::create_directories(dir.file("out/idx2.htm/in-the-way"));
         },
         true, out + "/idx2.htm: cannot be put in place: Is a directory"},
    };
    for (const auto& c : cases) {
        fs::remove_all(out);
        fs::create_directories(out);
        WriteFileBytes(dir.file("layout/start.tpl"), kStartTemplate);
        recorder.stopAtRow = -1;
        title = "Old title";
        ASSERT_FALSE(Run().Failed) << c.what;
        title = "New title";
        c.arrange();
        const auto before = Snapshot(out);
        recorder.results = 0;
        const TKSrunResult result = Run();
        EXPECT_EQ(c.failed, result.Failed) << c.what;
        EXPECT_EQ(!c.failed, result.Stopped) << c.what;
        if (!c.error.empty()) {
            EXPECT_EQ(c.error, result.Error) << c.what;
        }
        EXPECT_EQ(before, Snapshot(out)) << c.what;
        EXPECT_TRUE(result.FilesWritten.empty()) << c.what;
        EXPECT_EQ(0, recorder.results) << c.what;
        EXPECT_TRUE(fs::is_empty(dir.file("tmp"))) << c.what;
    }
}

// The new pages, and the search data in a subfolder, replace the old ones
// only once every entry is written; the pages are the same as ever.
TEST_F(GenerateTest, TheNewResultReplacesTheOldOneOnlyWhenComplete) {
    WriteFileBytes(dir.file("layout/search.tpl"), "#SEARCHDATA!\r\n");
    WriteLayout(std::string(kEntries) + "3=search, search.tpl, js/#PREFIX!_search.js, Search\r\n",
                kFiles);
    title = "Old title";
    ASSERT_FALSE(Run().Failed);
    WriteFileBytes(dir.file("out/js/idx_search-zz.js"), "an old shard");
    int breaths = 0;
    std::vector<std::string> early; // rows during which the old result was not whole
    recorder.onBreathe = [&] {
        ++breaths;
        if (Out("idx1.htm").find("Old title") == std::string::npos ||
            !fs::exists(dir.file("out/js/idx_search-zz.js")) ||
            !fs::exists(dir.file("out/idx.css")))
            early.push_back(recorder.rows.back());
    };
    title = "My title";
    const TKSrunResult result = Run();
    ASSERT_FALSE(result.Failed) << result.Error;
    EXPECT_LT(5, breaths);
    EXPECT_EQ(std::vector<std::string>{}, early);
    EXPECT_EQ(kPage1, Out("idx1.htm"));
    EXPECT_EQ(kPage2, Out("idx2.htm"));
    EXPECT_FALSE(fs::exists(dir.file("out/js/idx_search-zz.js")));
    EXPECT_TRUE(fs::exists(dir.file("out/js/idx_search-b.js")));
    // The catalogue's links start from its place in the output folder.
    EXPECT_NE(std::string::npos, Out("js/idx_search.js").find("\"folder\":\"../../trees/tree1/\""));
    // Every file reported is at its final place, and nothing else is left.
    EXPECT_EQ(5u, result.FilesWritten.size());
    for (const std::string& path : result.FilesWritten) {
        EXPECT_EQ(0u, path.find(dir.file("out") + "/")) << path;
        EXPECT_TRUE(fs::is_regular_file(path)) << path;
    }
    // Nothing hidden but the record of what the run wrote and the digest of its persons.
    for (const auto& [name, bytes] : Snapshot(dir.file("out")))
        EXPECT_TRUE(name.find("/.") == std::string::npos || name == "/.kestrin-written" ||
                    name == "/.kestrin-digest")
            << name;
}

// What killed runs leave behind goes with the next run: their private
// folders and half-written sorted copies. What a live run holds, what
// developer mode keeps and whatever merely looks alike stays.
TEST_F(GenerateTest, TheNextRunRemovesWhatKilledRunsLeftBehind) {
    std::string old = Tree("Tree one", {"J\tJansen\tPiet\t\t\t\t2\tp1.htm#i2",
                                        "B\tBerg, van den\tJan\t\t1850\t1910\t1\tp1.htm#i1"});
    old.replace(old.find("3.22"), 4, "3.1"); // sorted into a copy beside it
    WriteFileBytes(dir.file("trees/tree1/tree1.htx"), old);
    fs::permissions(dir.file("tmp"), fs::perms::owner_all, fs::perm_options::replace);
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ASSERT_EQ(child, ::waitpid(child, nullptr, 0));
    const std::string dead = std::to_string(child);
    const std::string copies = dir.file("trees/tree1/.tree1.new-htx.");
    const struct {
        std::string path;
        bool folder;
        bool held; // locked by a live run (this test)
        bool stays;
    } leftovers[] = {
        {dir.file("tmp/run-dead01"), true, false, false},
        {dir.file("tmp/run-live01"), true, true, true},
        {dir.file("tmp/kept-dead01"), true, false, true},
        {dir.file("tmp/run-dead"), true, false, true},
        {dir.file("out/.kestrin-new-dead01"), true, false, false},
        {dir.file("out/.kestrin-old-dead01"), true, false, false},
        {dir.file("out/.kestrin-new-live01"), true, true, true},
        {dir.file("out/kestrin-new-dead01"), true, false, true},
        {copies + dead + "-1.tmp", false, false, false},
        {copies + std::to_string(::getpid()) + "-7.tmp", false, true, true},
        {copies + "1-1.tmp", false, false, true}, // process 1 lives
        {copies + dead + "-1.tmp.bak", false, false, true},
        {copies + dead + ".tmp", false, false, true},
        {dir.file("trees/tree1/.other.new-htx." + dead + "-1.tmp"), false, false, true},
        {dir.file("trees/tree2/.tree2.new-htx." + dead + "-1.tmp"), false, false, true},
    };
    std::vector<File> locks;
    for (const auto& l : leftovers) {
        if (l.folder) {
            fs::create_directories(l.path);
            WriteFileBytes(l.path + "/HTMLindex1.tmp", "left behind");
        } else {
            WriteFileBytes(l.path, "half a copy");
        }
        if (!l.held) continue;
        locks.push_back(File::OpenWith(l.path, O_RDONLY));
        ASSERT_EQ(0, ::flock(locks.back().Descriptor(), LOCK_EX)) << l.path;
    }
    const TKSrunResult result = Run();
    ASSERT_FALSE(result.Failed) << result.Error;
    for (const auto& l : leftovers)
        EXPECT_EQ(l.stays, fs::exists(l.path)) << l.path;
    EXPECT_NE(std::string::npos, Out("idx1.htm").find("Berg"));
    EXPECT_TRUE(fs::is_regular_file(dir.file("trees/tree1/tree1.new-htx")));
}

} // namespace
} // namespace ks
