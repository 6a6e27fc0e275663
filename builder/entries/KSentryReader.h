// Reads the merged entries of the combined index ("HTMLindex2.tmp") for the
// writers, one entry per call. Every entry read advances the progress by
// one and lets the user interface breathe.
//
// The text is parsed once a run: the first reader leaves a compact copy of
// the entries beside it ("HTMLindex2.bin": per entry its three numbers and
// the lengths of its seven texts, then the texts' bytes), and once that copy
// is whole every later reader takes the entries from it, a block at a time,
// without cutting lines into fields again. A reader that stops early, or a
// copy that cannot be written, leaves no copy: the text is then read again.
#pragma once

#include "LINE_INPUT/KSFileStream.h"
#include "common/KSfileio.h"

#include <cstddef>
#include <memory>
#include <string>

namespace ks {

class TKSbreather;
class TKShtxRegel;
class TKStemplateOutput;
struct TKSrunState;
struct TKSrunView;

class TKSentryReader {
public:
    TKSentryReader(const TKSrunView& run, TKStemplateOutput& out);
    // Without progress: for reading the entries ahead of writing them.
    explicit TKSentryReader(const TKSrunView& run);
    ~TKSentryReader();
    TKSentryReader(const TKSentryReader&) = delete;
    TKSentryReader& operator=(const TKSentryReader&) = delete;

    // Fills entry with the next entry; false at the closing "#" line or at
    // the end of the file. Empty lines are passed over.
    bool Next(TKShtxRegel& entry);

private:
    bool NextText(TKShtxRegel& entry);
    bool NextFromCopy(TKShtxRegel& entry);
    bool Have(std::size_t bytes);
    void Keep(const TKShtxRegel& entry);
    void FinishCopy();
    void DropCopy() noexcept;
    void Step();

    TKSrunState& state_;
    TKSbreather& breather_;
    TKStemplateOutput* out_;
    std::unique_ptr<TKSFileStream> text_;     // null when reading the copy
    File copyIn_;                             // the whole copy, when read
    std::unique_ptr<BufferedWriter> copyOut_; // the copy being written
    std::string block_;                       // of the copy read
    std::size_t at_ = 0;
    std::string line_;
    std::string record_;
    bool done_ = false;
};

} // namespace ks
