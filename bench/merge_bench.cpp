// Times the first two steps of a run (merging, then duplicates and pages)
// over the index documents given, and prints the time and the peak memory.
//
//   merge_bench [--index-type N] DOCUMENT.htx...
#include "builder/run/KSbuilder.h"
#include "common/KSprogress.h"
#include "index/KShtxData.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    int indexType = 1;
    std::vector<std::unique_ptr<ks::TKShtxData>> documents;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--index-type" && i + 1 < argc)
            indexType = std::atoi(argv[++i]);
        else
            documents.push_back(std::make_unique<ks::TKShtxData>(arg));
    }
    ks::TKSrunSettings settings;
    for (auto& document : documents)
        settings.Documents.push_back({document.get(), true});
    settings.IndexType = ks::IndexTypeFromNumber(indexType);
    settings.TempFolder = std::filesystem::temp_directory_path().string() + "/";

    ks::TKSbuilder builder(settings);
    ks::TKSnullProgressBar bar;
    ks::TKSnullBreather breather;
    const auto start = std::chrono::steady_clock::now();
    builder.MergeStep(bar, breather);
    const auto merged = std::chrono::steady_clock::now();
    builder.DuplicatesStep(bar, breather);
    const auto done = std::chrono::steady_clock::now();
    builder.CloseRunFolder();

    auto seconds = [](auto from, auto to) {
        return std::chrono::duration<double>(to - from).count();
    };
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("merge        %.2f s\n", seconds(start, merged));
    std::printf("duplicates   %.2f s\n", seconds(merged, done));
    std::printf("both         %.2f s\n", seconds(start, done));
    std::printf("peak memory  %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    std::printf("entries      %d on %d pages\n", builder.State().EntryTotalCount,
                builder.State().PageCount);
    return 0;
}
