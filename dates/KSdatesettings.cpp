#include "dates/KSdatesettings.h"

namespace ks {

THostDateSettings& HostDateSettings() {
    static THostDateSettings settings;
    return settings;
}

} // namespace ks
