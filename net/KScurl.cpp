#include "net/KScurl.h"

#include "common/KSerrors.h"

#include <mutex>

namespace ks {

namespace {

void SetUpOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

TKScurl::TKScurl() {
    SetUpOnce();
    handle_ = curl_easy_init();
    if (!handle_) throw EKSError("libcurl cannot start a transfer");
    curl_easy_setopt(handle_, CURLOPT_ERRORBUFFER, error_);
    curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
}

TKScurl::~TKScurl() {
    curl_easy_cleanup(handle_);
}

CURLcode TKScurl::Perform() {
    error_[0] = '\0';
    return curl_easy_perform(handle_);
}

std::string TKScurl::Reason(CURLcode code) const {
    if (error_[0] != '\0') return error_;
    return curl_easy_strerror(code);
}

} // namespace ks
