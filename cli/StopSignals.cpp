#include "cli/StopSignals.h"

#include <csignal>
#include <iterator>

namespace ks::cli {

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t gReceived = 0;
struct sigaction gPrevious[std::size(kStopSignals)];

extern "C" void OnStopSignal(int signal) {
    if (gReceived == 0) gReceived = signal;
}

} // namespace

StopSignals::StopSignals() {
    gReceived = 0;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    action.sa_flags = SA_RESTART; // reads and writes go on; the run polls
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
        sigaction(kStopSignals[i], &action, &gPrevious[i]);
        // A signal ignored by whoever started the tool (nohup, a background
        // job) stays ignored.
        if (gPrevious[i].sa_handler == SIG_IGN) sigaction(kStopSignals[i], &gPrevious[i], nullptr);
    }
}

StopSignals::~StopSignals() {
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
        sigaction(kStopSignals[i], &gPrevious[i], nullptr);
}

int StopSignals::Received() {
    return gReceived;
}

int StopSignals::ExitStatus() {
    return 128 + gReceived;
}

void IgnoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace ks::cli
