// How a run shows its progress. The wizard implements these with widgets,
// the command-line tool with a terminal line, tests with a recorder.
#pragma once

#include <cstdint>

namespace ks {

// One progress bar: a range and a position within it.
class TKSprogressBar {
public:
    virtual ~TKSprogressBar() = default;
    virtual void SetRange(int64_t minimum, int64_t maximum) = 0;
    virtual void SetPosition(int64_t position) = 0;
};

// A bar that shows nothing, for callers without a display.
class TKSnullProgressBar : public TKSprogressBar {
public:
    void SetRange(int64_t, int64_t) override {}
    void SetPosition(int64_t) override {}
};

// Lets the user interface process pending events during long work, so that
// its buttons still react. Called once per line merged or written.
class TKSbreather {
public:
    virtual ~TKSbreather() = default;
    virtual void Breathe() = 0;
};

class TKSnullBreather : public TKSbreather {
public:
    void Breathe() override {}
};

} // namespace ks
