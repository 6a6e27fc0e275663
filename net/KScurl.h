// One transfer handle of libcurl, owned: the library is loaded and set up once per
// process before the first handle, each handle is cleaned up with its owner,
// and a failed transfer's reason is read back as one line of text.
#pragma once

#include "net/KScurlLibrary.h"

#include <string>

namespace ks {

class TKScurl {
public:
    TKScurl(); // raises EKSError when libcurl cannot make a handle
    ~TKScurl();
    TKScurl(const TKScurl&) = delete;
    TKScurl& operator=(const TKScurl&) = delete;

    CURL* Handle() const { return handle_; }
    // One transfer with the options set now; the connection is kept for the
    // next one on this handle.
    CURLcode Perform();
    // The reason of a failed transfer: libcurl's own detail when it gave one,
    // else the text of the code.
    std::string Reason(CURLcode code) const;

private:
    CURL* handle_ = nullptr;
    char error_[CURL_ERROR_SIZE] = {};
};

} // namespace ks
