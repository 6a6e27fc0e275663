#include "net/KScurl.h"

#include "common/KSerrors.h"

namespace ks {

TKScurl::TKScurl() {
    handle_ = CurlLibrary().EasyInit();
    if (!handle_) throw EKSError("libcurl cannot start a transfer");
    CurlEasySetopt(handle_, CURLOPT_ERRORBUFFER, error_);
    CurlEasySetopt(handle_, CURLOPT_NOSIGNAL, 1L);
}

TKScurl::~TKScurl() {
    CurlLibrary().EasyCleanup(handle_);
}

CURLcode TKScurl::Perform() {
    error_[0] = '\0';
    return CurlEasyPerform(handle_);
}

std::string TKScurl::Reason(CURLcode code) const {
    if (error_[0] != '\0') return error_;
    return CurlLibrary().EasyStrerror(code);
}

} // namespace ks
