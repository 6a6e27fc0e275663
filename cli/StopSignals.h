// Ctrl-C (SIGINT), SIGTERM and SIGHUP during a build: while a StopSignals
// exists they do not end the process at once but are recorded, so the run
// can stop after the step under way and remove its temporary files. The
// exit status then tells which signal stopped it (128 + its number). A
// signal that was ignored when the tool started (nohup) stays ignored.
#pragma once

namespace ks::cli {

class StopSignals {
public:
    StopSignals();
    ~StopSignals(); // the signals act as before again
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The first stop signal received since construction, or 0.
    static int Received();
    // 128 + the signal received (130 Ctrl-C, 143 SIGTERM, 129 SIGHUP).
    static int ExitStatus();
};

// An oversized write (file-size limit) fails with an error instead of
// killing the process, so it is reported with the file's name.
void IgnoreFileSizeSignal();

} // namespace ks::cli
