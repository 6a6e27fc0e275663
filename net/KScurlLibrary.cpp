#include "net/KScurlLibrary.h"

#include "common/KSerrors.h"

#include <dlfcn.h>
#include <mutex>
#include <string>

namespace ks {

namespace {

constexpr const char* kLibraryName = "libcurl.so.4";

// Every function, or the reason the library cannot serve.
struct TKSloaded {
    TKScurlLibrary Functions{};
    std::string Problem;
};

template <class F> void Find(void* library, const char* name, F& function, std::string& problem) {
    function = reinterpret_cast<F>(::dlsym(library, name));
    if (function == nullptr && problem.empty()) problem = std::string(name) + " is missing";
}

TKSloaded Load() {
    TKSloaded loaded;
    // Never unloaded: its functions serve until the process ends.
    void* library = ::dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* why = ::dlerror();
        loaded.Problem = why != nullptr ? why : "not found";
        return loaded;
    }
    TKScurlLibrary& f = loaded.Functions;
    std::string& problem = loaded.Problem;
    Find(library, "curl_global_init", f.GlobalInit, problem);
    Find(library, "curl_easy_init", f.EasyInit, problem);
    Find(library, "curl_easy_cleanup", f.EasyCleanup, problem);
    Find(library, "curl_easy_setopt", f.EasySetopt, problem);
    Find(library, "curl_easy_perform", f.EasyPerform, problem);
    Find(library, "curl_easy_getinfo", f.EasyGetinfo, problem);
    Find(library, "curl_easy_strerror", f.EasyStrerror, problem);
    Find(library, "curl_easy_unescape", f.EasyUnescape, problem);
    Find(library, "curl_free", f.Free, problem);
    Find(library, "curl_slist_append", f.SlistAppend, problem);
    Find(library, "curl_slist_free_all", f.SlistFreeAll, problem);
    if (problem.empty() && f.GlobalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK)
        problem = "it cannot be set up";
    return loaded;
}

} // namespace

const TKScurlLibrary& CurlLibrary() {
    static std::once_flag once;
    static TKSloaded loaded;
    std::call_once(once, [] { loaded = Load(); });
    if (!loaded.Problem.empty())
        throw EKSError(std::string("libcurl (") + kLibraryName +
                       ") cannot be loaded: " + loaded.Problem);
    return loaded.Functions;
}

} // namespace ks
