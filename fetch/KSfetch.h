// Files fetched by their https: address into a per-user cache: one folder per
// address holding the copy under the address's own file name, with the
// host's ETag and Last-Modified kept beside it, so that the next fetch asks
// the host only whether the file changed. A copy is replaced only by a whole
// download; when the host cannot give the file, the copy stays and says when
// the host last confirmed it.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace ks {

// The bounds of one fetch. Redirects are followed only to https: addresses.
struct TKSfetchLimits {
    int64_t MaxBytes = int64_t{512} << 20;
    long ConnectSeconds = 30;
    long TotalSeconds = 600;   // per request
    long LowSpeedBytes = 1024; // a transfer slower than this per second
    long LowSpeedSeconds = 60; // for so long is given up
    int MaxRedirects = 5;
};

// The variable that names a file of certificate authorities to trust instead
// of the system's (a private authority, a test's own certificate).
constexpr const char* kCaBundleVariable = "KESTRIN_CA_BUNDLE";

// Whether text is an address the program fetches: "https://" (in any letter
// case) and a host.
bool IsFetchAddress(std::string_view text);

// "" when address can be fetched: "https://", a host, and no blank, quote,
// "<", ">", backslash, control byte or byte outside ASCII (%XX holds those).
// Else why not, naming it, in the language of the run.
std::string AddressProblem(std::string_view address);

// The folder of an address: up to and with its last "/" before any "?" or
// "#" ("https://host/a/tree.htx" gives "https://host/a/").
std::string AddressFolder(std::string_view address);

// The last part of the address's path ("tree.htx"); "index.htx" when the
// path ends in "/" or is missing, and any letter that is no plain file name
// letter as "_".
std::string AddressFileName(std::string_view address);

// $XDG_CACHE_HOME/kestrin-index/ or ~/.cache/kestrin-index/ ("" when neither
// names a folder).
std::string FetchCacheFolder();

// The cached copy of address: a folder named by the first 16 hex digits of
// the SHA-256 of the address, holding AddressFileName(address).
std::string CachedCopyPath(std::string_view address);

struct TKSfetchResult {
    std::string Path;         // the copy in the cache; "" when there is none
    bool Confirmed = false;   // the host gave the file or said the copy is current
    bool Changed = false;     // a new copy was written
    std::string Reason;       // why the host did not give it (language of the run)
    std::time_t CopyTime = 0; // when the host last confirmed the copy
};

// Fetches address into the cache (CachedCopyPath), asking conditionally when
// a copy is there. Never throws for what the host or the network does: the
// result then holds the reason and the old copy, if any.
TKSfetchResult FetchToCache(const std::string& address, const TKSfetchLimits& limits = {});

} // namespace ks
