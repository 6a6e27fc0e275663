// Reads the merged entries of the combined index ("HTMLindex2.tmp") for the
// writers, one entry per call. Every entry read advances the progress by
// one and lets the user interface breathe.
#pragma once

#include "LINE_INPUT/KSFileStream.h"

#include <string>

namespace ks {

class TKSbreather;
struct TKSrunView;
class TKShtxRegel;
class TKStemplateOutput;

class TKSentryReader {
public:
    TKSentryReader(const TKSrunView& run, TKStemplateOutput& out);
    // Without progress: for reading the entries ahead of writing them.
    explicit TKSentryReader(const TKSrunView& run);

    // Fills entry with the next entry; false at the closing "#" line or at
    // the end of the file. Empty lines are passed over.
    bool Next(TKShtxRegel& entry);

private:
    TKSFileStream file_;
    TKSbreather& breather_;
    TKStemplateOutput* out_;
    std::string line_;
    bool done_ = false;
};

} // namespace ks
