#include "cli/TerminalProgress.h"

#include "builder/KSbuilder.h"
#include "common/KScodepage.h"

#include <csignal>
#include <ostream>

namespace ks::cli {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void OnInterrupt(int) {
    gInterrupted = 1;
}

constexpr int kBarWidth = 30;

} // namespace

// One step's line: a bar drawn with "#" and the caption.
class TerminalProgress::Row : public TKSprogressBar {
public:
    Row(TerminalProgress& owner, std::string caption)
        : owner_(owner), caption_(std::move(caption)) {}

    void Draw(bool force) {
        const auto now = std::chrono::steady_clock::now();
        if (!owner_.show_ || (!force && now - owner_.lastDraw_ < std::chrono::milliseconds(100)))
            return;
        owner_.lastDraw_ = now;
        const int64_t span = Maximum() - Minimum();
        const int64_t done = span > 0 ? (Position() - Minimum()) * kBarWidth / span : kBarWidth;
        const int filled = static_cast<int>(done < 0 ? 0 : done > kBarWidth ? kBarWidth : done);
        owner_.err_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
                    << std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') << "] "
                    << Windows1252ToUtf8(caption_) << std::flush;
    }

protected:
    void Changed() override { Draw(false); }

private:
    TerminalProgress& owner_;
    std::string caption_;
};

TerminalProgress::TerminalProgress(std::ostream& err, bool show, TKSbuilder& builder)
    : err_(err), show_(show), builder_(builder) {
    gInterrupted = 0;
    std::signal(SIGINT, OnInterrupt);
}

TerminalProgress::~TerminalProgress() {
    EndRow();
    std::signal(SIGINT, SIG_DFL);
}

bool TerminalProgress::Interrupted() {
    return gInterrupted != 0;
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
    if (show_) err_ << "  " << Windows1252ToUtf8(text) << ": " << path;
}

void TerminalProgress::StepFailed(int, const std::string& message) {
    if (show_) err_ << "  failed: " << Windows1252ToUtf8(message);
}

void TerminalProgress::StepDuration(int, const std::string& elapsed) {
    if (show_) err_ << "  (" << elapsed << ")";
}

void TerminalProgress::Result(const std::string&, bool) {}

void TerminalProgress::Breathe() {
    if (gInterrupted && builder_.StopRequest == 0) builder_.StopRequest = 1;
}

} // namespace ks::cli
