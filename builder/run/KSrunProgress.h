// What a generation run shows while it works: one row per step (merging,
// duplicates, then one per layout entry) with a caption and a progress bar,
// a missing or failed step in its row, step durations in developer mode and
// the result. The wizard shows it with widgets, the command-line tool on the
// terminal, tests record it.
#pragma once

#include "common/KSprogress.h"

#include <string>

namespace ks {

class TKSrunProgress : public TKSbreather {
public:
    // Step -1 merges, step 0 folds duplicates, step n expands or copies
    // layout entry n. The bar stays valid until the run ends.
    virtual TKSprogressBar& AddRow(int step, const std::string& caption) = 0;
    // The source of an entry does not exist: the row shows text ("bestand
    // niet gevonden", translated) with the missing path.
    virtual void MissingFile(int step, const std::string& text, const std::string& path) = 0;
    // The step ended in an error; the run stops after it.
    virtual void StepFailed(int step, const std::string& message) = 0;
    // Developer mode: how long the step took ("hh:nn:ss.zzz").
    virtual void StepDuration(int step, const std::string& elapsed) = 0;
    // The run's result: the first output file; mayOpen when nothing failed.
    virtual void Result(const std::string& path, bool mayOpen) = 0;
};

// A progress display that shows nothing.
class TKSquietRunProgress : public TKSrunProgress {
public:
    TKSprogressBar& AddRow(int, const std::string&) override { return bar_; }
    void MissingFile(int, const std::string&, const std::string&) override {}
    void StepFailed(int, const std::string&) override {}
    void StepDuration(int, const std::string&) override {}
    void Result(const std::string&, bool) override {}
    void Breathe() override {}

private:
    TKSprogressBar bar_;
};

} // namespace ks
