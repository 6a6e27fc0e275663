// What a run tells about itself when it ends: the figures it gathered on the
// way (lines read, entries after folding, pages per output, the largest page,
// the time taken) and the lines both front ends show for them, or for a run
// that failed or was stopped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ks {

struct TKSrunResult;

// The pages one template entry of the layout wrote.
struct TKSoutputPages {
    std::string Caption; // the entry's caption in the layout
    int32_t Pages = 0;
};

struct TKSrunSummary {
    int64_t LinesRead = 0;               // index lines read from the selected documents
    int32_t Entries = 0;                 // entries after folding duplicates
    std::vector<TKSoutputPages> Outputs; // per template entry, in layout order
    int32_t FilesCopied = 0;             // plain files of the layout copied
    std::string LargestPage;             // the largest page written ("" when none)
    int64_t LargestPageSize = 0;         // its bytes
    int64_t ElapsedMs = 0;               // the whole run, checks to clean-up
};

// One line of the summary: Where (a path, or "") then Separator then Text,
// as a warning is shown. Where is a path as given; Text is in the run's
// language (Windows-1252).
struct TKSsummaryLine {
    std::string Where;
    std::string Separator;
    std::string Text;
};

// The summary of a run in the run's language. A complete run gives its
// figures; a failed run says so with its error, a stopped run that it was
// stopped, and both that nothing was half-written when the output folder
// is as it was.
std::vector<TKSsummaryLine> SummaryLines(const TKSrunResult& result);

// "Nothing was half-written: ..." in the run's language, for a run that
// failed or was stopped and left the output folder as it was.
std::string UnchangedOutputText();

// "1,4 s" below a minute, "2 min 5 s" from a minute on.
std::string DurationText(int64_t ms);

} // namespace ks
