// What a writer of the run is handed: the run's inputs, read only, what the
// run has learnt so far, and the user interface's chance to breathe. The
// writers never see the builder, so they sit below it.
#pragma once

#include <cstdint>

namespace ks {

// What the user asked while the run was busy: cancel the wizard, go back a
// page, or finish.
enum class TKSstopRequest : int32_t { None = 0, Cancel = 1, Back = 2, Finish = 4 };

class TKSbreather;
struct TKSrunSettings;
struct TKSrunState;

struct TKSrunView {
    const TKSrunSettings& Settings;
    TKSrunState& State;
    TKSbreather& Breather;
    const TKSstopRequest& Stop; // a long writer stops when it is set

    bool StopRequested() const { return Stop != TKSstopRequest::None; }
};

} // namespace ks
