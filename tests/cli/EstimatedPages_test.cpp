// The largest page the settings page foresees before a run, against the
// largest index page a build with each shipped layout writes.
#include "builder/run/KSpageEstimate.h"
#include "cli/RunInProcess.h"
#include "index/KSksl.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <sys/wait.h>

namespace ks {
namespace {

// Sets of trees made by gen-htx: realistic surnames over five trees, and
// three trees of one family, where a single surname holds over 40% of the
// persons; each with the layouts built from it, so that every shipped
// layout meets every division. The small set fits the compact layout's one
// page; the large family makes the automatic division cut it into parts;
// the samples (330 lines) give pages that are mostly template.
struct TreeSet {
    const char* name;
    std::vector<std::string> options;
    std::vector<const char*> layouts;
};

std::vector<std::string> MakeTrees(const fs::path& folder, const TreeSet& set) {
    std::vector<std::string> documents;
    if (set.options.empty()) { // the sample trees that come with the program
        for (const char* tree : {"deboer/deboer.htx", "jansen/jansen.htx", "smit/smit.htx"}) {
            fs::create_directories(folder);
            fs::copy_file(fs::path(KS_TEST_SOURCE_DIR) / "samples" / tree,
                          folder / fs::path(tree).filename());
        }
    } else {
        std::string command = std::string(KS_GEN_HTX_PATH) + " --seed 3";
        for (const std::string& option : set.options)
            command += " " + option;
        command += " '" + folder.string() + "' >/dev/null";
        EXPECT_EQ(0, std::system(command.c_str())) << command;
    }
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".htx") documents.push_back(entry.path().string());
    std::sort(documents.begin(), documents.end());
    return documents;
}

// The largest of the index pages the build wrote: the pages of the layout's
// entry split over pages, or written in parts.
int64_t LargestIndexPage(const fs::path& output, bool inParts) {
    const std::regex page(inParts ? "KESTRIN-Index(_[0-9]+)?\\.htm" : "KESTRIN-Index_[0-9]*\\.htm");
    int64_t largest = 0;
    for (const auto& entry : fs::directory_iterator(output))
        if (std::regex_match(entry.path().filename().string(), page))
            largest = std::max(largest, static_cast<int64_t>(entry.file_size()));
    return largest;
}

TEST(EstimatedPages, LargestPageWithinAQuarterOfWhatEveryLayoutWrites) {
    using T = TKSindexType;
    const fs::path dist = fs::path(KS_CLI_PATH).parent_path().parent_path() / "dist";
    const TreeSet sets[] = {
        {"realistic",
         {"--lines 12000", "--docs 5", "--variety 0"},
         {"NL/layout/classic.ksl", "NL/layout/compact.ksl", "NL/layout/modern.ksl"}},
        {"family",
         {"--lines 12000", "--docs 3", "--surnames 5"},
         {"GB/layout/classic.ksl", "GB/layout/modern.ksl"}},
        {"small",
         {"--lines 3000", "--docs 2", "--variety 0"},
         {"GB/layout/compact.ksl", "NL/layout/modern.ksl"}},
        {"large", {"--lines 30000", "--docs 3", "--surnames 5"}, {"GB/layout/compact.ksl"}},
        {"samples",
         {},
         {"NL/layout/classic.ksl", "NL/layout/compact.ksl", "NL/layout/modern.ksl"}}};
    const T divisions[] = {T::FirstLetter, T::TwoLetters, T::Parts50, T::Parts100,
                           T::Parts250,    T::Parts500,   T::Auto};
    test::TempDir dir;
    for (const TreeSet& set : sets) {
        const std::vector<std::string> documents = MakeTrees(dir.file(set.name), set);
        TKSindexProfile profile;
        for (const std::string& document : documents)
            profile.Add(ReadIndexProfile(document));
        for (const char* layoutName : set.layouts) {
            TKSkslData layout;
            ASSERT_TRUE(layout.Load((dist / layoutName).string(), ""));
            const bool asked = layout.AsksFor("INDEXTYPE");
            // The division as the settings page passes it: none but the
            // first without the choice; and once the index as one page.
            std::vector<std::pair<T, bool>> rows;
            for (T type : divisions)
                if (asked || type == T::FirstLetter) rows.emplace_back(type, true);
            if (asked) rows.emplace_back(T::FirstLetter, false);
            for (const auto& [type, split] : rows) {
                for (int n = 1; n <= layout.ItemCount(); ++n)
                    layout.Item(n)->SetSplit(split);
                const fs::path output = dir.file("out");
                fs::remove_all(output);
                std::vector<std::string> args = {
                    "build", "-q", "-l", (dist / layoutName).string(), "-o", output.string()};
                if (asked && type != T::Auto)
                    args.insert(args.end(), {"-i", std::to_string(IndexTypeNumber(type))});
                if (!split) args.insert(args.end(), {"--no-split", "index"});
                args.insert(args.end(), documents.begin(), documents.end());
                const Outcome run = RunInProcess(args, dir.path().string());
                ASSERT_EQ(0, run.exitCode) << run.err;
                const TKSpageFigures figures = PageFigures(&layout);
                const int64_t measured = LargestIndexPage(output, figures.WholeWhenLight);
                const int64_t estimate = EstimateLargestPage(profile, type, figures, split);
                const double error =
                    100.0 * (static_cast<double>(estimate) / static_cast<double>(measured) - 1.0);
                std::printf("%-9s %-22s %3d %-5s measured %8lld estimate %8lld %+6.1f%%\n",
                            set.name, layoutName, IndexTypeNumber(type), split ? "" : "whole",
                            static_cast<long long>(measured), static_cast<long long>(estimate),
                            error);
                EXPECT_LT(std::abs(error), 25.0)
                    << set.name << " " << layoutName << " " << IndexTypeNumber(type);
            }
        }
    }
}

} // namespace
} // namespace ks
