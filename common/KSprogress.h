// How a run shows its progress. The wizard shows these with widgets, the
// command-line tool with a terminal line, tests with a recorder.
#pragma once

#include <cstdint>

namespace ks {

// One progress bar: a range and a position within it. Displays derive from
// it and redraw in Changed().
class TKSprogressBar {
public:
    virtual ~TKSprogressBar() = default;
    void SetRange(int64_t minimum, int64_t maximum) {
        minimum_ = minimum;
        maximum_ = maximum;
        Changed();
    }
    void SetPosition(int64_t position) {
        position_ = position;
        Changed();
    }
    int64_t Minimum() const { return minimum_; }
    int64_t Maximum() const { return maximum_; }
    int64_t Position() const { return position_; }

protected:
    virtual void Changed() {}

private:
    int64_t minimum_ = 0;
    int64_t maximum_ = 100;
    int64_t position_ = 0;
};

// A bar that shows nothing, for callers without a display.
class TKSnullProgressBar : public TKSprogressBar {};

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
