// The progress of a build on the terminal: one line per step with a bar and
// the step's caption, redrawn in place while a terminal is attached, quiet
// otherwise. A stop signal (StopSignals.h) becomes a stop request. The
// layout files that were missing or not copied are kept for the report at
// the end.
#pragma once

#include "builder/run/KSrunProgress.h"
#include "cli/Messages.h"

#include <chrono>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace ks {
class TKSbuilder;
}

namespace ks::cli {

class TerminalProgress : public TKSrunProgress {
public:
    TerminalProgress(std::ostream& err, bool show, TKSbuilder& builder);
    ~TerminalProgress() override;

    TKSprogressBar& AddRow(int step, const std::string& caption) override;
    void MissingFile(int step, const std::string& text, const std::string& path) override;
    void StepFailed(int step, const std::string& message) override;
    void StepDuration(int step, const std::string& elapsed) override;
    void Result(const std::string& path, bool mayOpen) override;
    void Breathe() override;

    // Each missing or uncopied layout file with what the run said about it.
    const std::vector<TKSproblem>& MissingFiles() const { return missing_; }

private:
    class Row;
    void EndRow();

    std::ostream& err_;
    bool show_;
    TKSbuilder& builder_;
    std::vector<std::unique_ptr<Row>> rows_;
    std::chrono::steady_clock::time_point lastDraw_;
    std::vector<TKSproblem> missing_;
};

} // namespace ks::cli
