// libcurl, loaded the first time a transfer needs it rather than when the
// program starts: a run that neither fetches nor publishes never maps it nor
// the thirty-odd libraries it brings with it (about 8 MB of memory, and their
// start-up). Its functions are called through these, which load it first.
// A library that cannot be loaded raises EKSError naming it, with the
// loader's reason; nothing of it is called then.
#pragma once

#include <curl/curl.h>

#include <type_traits>

namespace ks {

// The functions of the loaded library.
struct TKScurlLibrary {
    decltype(&::curl_global_init) GlobalInit;
    decltype(&::curl_easy_init) EasyInit;
    decltype(&::curl_easy_cleanup) EasyCleanup;
    decltype(&::curl_easy_setopt) EasySetopt;
    decltype(&::curl_easy_perform) EasyPerform;
    decltype(&::curl_easy_getinfo) EasyGetinfo;
    decltype(&::curl_easy_strerror) EasyStrerror;
    decltype(&::curl_easy_unescape) EasyUnescape;
    decltype(&::curl_free) Free;
    decltype(&::curl_slist_append) SlistAppend;
    decltype(&::curl_slist_free_all) SlistFreeAll;
};

// Loads the library once per process, and sets it up (curl_global_init).
const TKScurlLibrary& CurlLibrary();

// An option's value goes through "...": a number must be a long (or a
// curl_off_t), never an int, and a callback a plain function, never an
// object such as a lambda.
template <class T> CURLcode CurlEasySetopt(CURL* handle, CURLoption option, T value) {
    static_assert(!std::is_integral_v<T> || sizeof(T) == sizeof(long),
                  "a number given to an option must be a long");
    static_assert(!std::is_class_v<T>, "an option takes a number, a pointer or a function");
    return CurlLibrary().EasySetopt(handle, option, value);
}
template <class T> CURLcode CurlEasyGetinfo(CURL* handle, CURLINFO info, T* value) {
    return CurlLibrary().EasyGetinfo(handle, info, value);
}
inline CURLcode CurlEasyPerform(CURL* handle) {
    return CurlLibrary().EasyPerform(handle);
}
inline curl_slist* CurlSlistAppend(curl_slist* list, const char* text) {
    return CurlLibrary().SlistAppend(list, text);
}
inline void CurlSlistFreeAll(curl_slist* list) {
    CurlLibrary().SlistFreeAll(list);
}
inline char* CurlEasyUnescape(CURL* handle, const char* text, int length, int* outLength) {
    return CurlLibrary().EasyUnescape(handle, text, length, outLength);
}
inline void CurlFree(void* bytes) {
    CurlLibrary().Free(bytes);
}

} // namespace ks
