// What a run tells about itself: its figures, the layout's missing files
// among its warnings, and its summary lines in either language.
#include "builder/run/KSrunSummary.h"

#include "builder/run/KSbuilder.h"
#include "builder/run/KSgenerate.h"
#include "builder/run/KSrunProgress.h"
#include "builder/run/KSrunSetup.h"
#include "builder/run/KSrunWarnings.h"
#include "common/KScommon.h"
#include "index/KSksl.h"

#include "support/ShippedTexts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace ks {
namespace {

using test::WriteFileBytes;

// Asks the run to stop at its first breath when given a builder.
struct StopAtOnce : TKSquietRunProgress {
    TKSbuilder* builder = nullptr;
    void Breathe() override {
        if (builder != nullptr) builder->RequestStop(TKSstopRequest::Cancel);
    }
};

// Eva Bos is in both documents: three lines, two entries, letters B and V.
// The start page is the largest; "gone" has no source.
TKSrunResult RunLayout(const test::TempDir& dir, bool stop = false) {
    const std::string head = "[KESTRIN]\r\ntype=htx\r\nformat=1\r\n[indexdata]\r\n";
    WriteFileBytes(dir.file("a.htx"), head + "B\tBos\tEva\t\t\t\t1\tp.htm#1\r\n"
                                             "V\tVisser\tJan\t\t\t\t2\tp.htm#2\r\n");
    WriteFileBytes(dir.file("b.htx"), head + "B\tBos\tEva\t\t\t\t1\tq.htm#1\r\n");
    WriteFileBytes(dir.file("l.ksl"), "[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[Templates]\r\n"
                                      "1=start, start.tpl, #PREFIX!.htm, Start\r\n"
                                      "2=index, index.tpl, #PREFIX!#NR!.htm, Index\r\n"
                                      "3=gone, gone.tpl, gone.htm, Gone\r\n"
                                      "[Files]\r\n1=css, style.css, style.css, Style\r\n");
    WriteFileBytes(dir.file("start.tpl"), std::string(5000, 's'));
    WriteFileBytes(dir.file("style.css"), "p {}\r\n");
    TKSrunSetup setup;
    setup.Documents.Add(dir.file("a.htx"), true);
    setup.Documents.Add(dir.file("b.htx"), true);
    auto layout = std::make_unique<TKSkslData>();
    EXPECT_TRUE(layout->Load(dir.file("l.ksl"), ""));
    layout->Item(2)->SetSplit(true);
    setup.SetLayout(std::move(layout));
    setup.OutputFolder = dir.file("out");
    setup.BaseName = "idx";
    const TKScommon environment({}, dir.path().string(), {});
    TKSbuilder builder(setup.Settings(environment));
    StopAtOnce progress;
    if (stop) progress.builder = &builder;
    return TKSgenerator(builder, progress).GenerateIndex();
}

TEST(RunSummary, ACompleteRunCountsWhatItReadAndWrote) {
    const test::TempDir dir;
    WriteFileBytes(dir.file("index.tpl"), "#INDEXDATA!\r\n");
    std::filesystem::create_directories(dir.file("out"));
    const TKSrunResult result = RunLayout(dir);
    ASSERT_FALSE(result.Failed) << result.Error;
    const TKSrunSummary& s = result.Summary;
    EXPECT_EQ("3 2 Start 1 Index 2 copied 1",
              std::to_string(s.LinesRead) + " " + std::to_string(s.Entries) + " " +
                  s.Outputs.at(0).Caption + " " + std::to_string(s.Outputs.at(0).Pages) + " " +
                  s.Outputs.at(1).Caption + " " + std::to_string(s.Outputs.at(1).Pages) +
                  " copied " + std::to_string(s.FilesCopied)); // "gone" wrote nothing
    EXPECT_EQ(dir.file("out/idx.htm") + " 5002",
              s.LargestPage + " " + std::to_string(s.LargestPageSize));
    EXPECT_FALSE(result.OutputUnchanged);
    ASSERT_EQ(1u, result.Warnings.size());
    EXPECT_EQ(TKSrunWarningKind::MissingLayoutFile, result.Warnings[0].Kind);
    EXPECT_EQ(dir.file("gone.tpl"), result.Warnings[0].Where);
}

// A failed or a stopped run leaves the old result in place and says so.
TEST(RunSummary, AFailedOrStoppedRunLeavesTheOutputFolderAsItWas) {
    const test::TempDir dir;
    std::filesystem::create_directories(dir.file("out"));
    WriteFileBytes(dir.file("out/idx.htm"), "old");
    WriteFileBytes(dir.file("index.tpl"), "#1/0!\r\n");
    for (const bool stop : {false, true}) {
        const TKSrunResult result = RunLayout(dir, stop);
        EXPECT_TRUE(stop ? result.Stopped : result.Failed) << stop;
        EXPECT_TRUE(result.OutputUnchanged) << stop;
        EXPECT_EQ("old", test::ReadFileBytes(dir.file("out/idx.htm"))) << stop;
        const test::ShippedTexts english("GB");
        const std::vector<TKSsummaryLine> lines = SummaryLines(result);
        ASSERT_EQ(stop ? 3u : 4u, lines.size()) << stop;
        EXPECT_EQ(stop ? "The run was stopped before it was done." : "The index was not made.",
                  lines[0].Text);
        EXPECT_EQ(stop ? UnchangedOutputText() : result.Problem.Reason, lines[1].Text);
        EXPECT_EQ(UnchangedOutputText(), lines[lines.size() - 2].Text);
    }
}

TEST(RunSummary, TheFiguresReadInTheRunsLanguage) {
    TKSrunResult result;
    result.Summary = {1000000, 812345, {{"Index", 26}, {"Start", 1}}, 3, "/o/i.htm",
                      1499999, 125400};
    const std::pair<const char*, std::string> cases[] = {
        {"NL", "Indexregels gelezen: 1.000.000|Namen na het samenvoegen van dubbelen: 812.345|"
               "Pagina's: Index 26, Start 1|Andere bestanden gekopieerd: 3|/o/i.htm is de "
               "grootste pagina (1,4 MB)|Tijd: 2 min 5 s|850 kB 0,8 s"},
        {"GB", "Index lines read: 1,000,000|Entries after folding duplicates: 812,345|Pages: "
               "Index 26, Start 1|Other files copied: 3|/o/i.htm is the largest page (1.4 "
               "MB)|Time taken: 2 min 5 s|850 kB 0.8 s"},
    };
    for (const auto& [language, expected] : cases) {
        const test::ShippedTexts texts(language);
        std::string shown;
        for (const TKSsummaryLine& line : SummaryLines(result))
            shown += line.Where + line.Separator + line.Text + "|";
        EXPECT_EQ(expected, shown + SizeText(850999) + " " + DurationText(899)) << language;
    }
}

} // namespace
} // namespace ks
