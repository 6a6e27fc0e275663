// What a run tells about itself when it ends: the figures it gathered on the
// way (lines read, entries after folding, pages per output, the largest page,
// the time taken) and the lines both front ends show for them, or for a run
// that failed or was stopped.
#pragma once

#include "builder/entries/KSrunWarning.h"
#include "common/KSproblem.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ks {

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

// What a run returns.
struct TKSrunResult {
    bool Failed = false;                   // a step raised an error; Error holds it
    std::string Error;                     // one line, naming the file concerned
    TKSproblem Problem;                    // Error apart: its file ("" when not given) and reason
    std::vector<std::string> MissingFiles; // layout sources that do not exist
    std::vector<std::string> FilesWritten; // output files put in place, in the order written
    // Files of the user that clearing the output folder moved to the trash,
    // by the paths they had there.
    std::vector<std::string> Trashed;
    std::string ResultPath; // the first entry's output ("" without entry 1)
    bool MayOpen = false;   // the result exists and nothing was missing or failed
    bool Stopped = false;   // a stop request ended the run early
    // Failed or stopped before any old result was moved: the output folder
    // is as it was before the run (new pages were only ever written into
    // the run's private folder, which is gone).
    bool OutputUnchanged = false;
    // Documents that look like UTF-8, what the run changed in the documents'
    // lines, the layout's missing source files, and (after a complete run)
    // pages over 2 MB with the division that would keep them under it; in
    // that order.
    std::vector<TKSrunWarning> Warnings;
    TKSrunSummary Summary; // the figures of the run, gathered as it went
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
