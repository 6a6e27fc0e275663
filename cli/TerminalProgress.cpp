#include "cli/TerminalProgress.h"

#include "builder/run/KSbuilder.h"
#include "cli/Messages.h"
#include "cli/StopSignals.h"
#include "common/KScodepage.h"
#include "common/KSlocal.h"

#include <ostream>

namespace ks::cli {

namespace {

constexpr int kBarWidth = 30;

} // namespace

// One step's line: a bar drawn with "#" and the caption.
class TerminalProgress::Row : public TKSprogressBar {
public:
    Row(TerminalProgress& owner, std::string caption)
        : owner_(owner), caption_(std::move(caption)) {}

    void Draw(bool force) {
        // Asked for every line a run writes: a quiet run does not even read the clock.
        if (!owner_.show_) return;
        const auto now = std::chrono::steady_clock::now();
        if (!force && now - owner_.lastDraw_ < std::chrono::milliseconds(100)) return;
        owner_.lastDraw_ = now;
        const int64_t span = Maximum() - Minimum();
        const int64_t done = span > 0 ? (Position() - Minimum()) * kBarWidth / span : kBarWidth;
        const int filled = static_cast<int>(done < 0 ? 0 : done > kBarWidth ? kBarWidth : done);
        owner_.err_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
                    << std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') << "] "
                    << TerminalText(Windows1252ToUtf8(caption_)) << std::flush;
    }

protected:
    void Changed() override { Draw(false); }

private:
    TerminalProgress& owner_;
    std::string caption_;
};

TerminalProgress::TerminalProgress(std::ostream& err, bool show, TKSbuilder& builder)
    : err_(err), show_(show), builder_(builder) {}

TerminalProgress::~TerminalProgress() {
    EndRow();
}

void TerminalProgress::EndRow() {
    if (show_ && !rows_.empty()) {
        rows_.back()->Draw(true);
        err_ << '\n';
    }
}

TKSprogressBar& TerminalProgress::AddRow(int, const std::string& caption) {
    EndRow();
    rows_.push_back(std::make_unique<Row>(*this, caption));
    rows_.back()->Draw(true);
    return *rows_.back();
}

void TerminalProgress::MissingFile(int, const std::string& text, const std::string& path) {
    missing_.push_back({path, Windows1252ToUtf8(text)});
    if (show_) err_ << "  " << TerminalText(missing_.back().Reason + ": " + path);
}

// The error itself is reported once the run is over.
void TerminalProgress::StepFailed(int, const std::string&) {
    if (show_) err_ << "  " << MessageToUtf8(LocalText("#1566.18=mislukt"));
}

void TerminalProgress::StepDuration(int, const std::string& elapsed) {
    if (show_) err_ << "  (" << elapsed << ")";
}

void TerminalProgress::Result(const std::string&, bool) {}

void TerminalProgress::Breathe() {
    if (StopSignals::Received() != 0) builder_.RequestStop(TKSstopRequest::Cancel);
}

} // namespace ks::cli
