// The product's name and version, which program start-up hands to the
// application environment (TKScommon::SetProduct).
#pragma once

namespace ks {

constexpr const char* kProductName = "KESTRIN";
constexpr const char* kProductVersion = "4.0";
constexpr const char* kProductRelease = "a";
constexpr const char* kProductReleaseDate = "28-02-2019";

} // namespace ks
