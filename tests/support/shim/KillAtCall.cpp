// Loaded into a run of the tool with LD_PRELOAD: kills it (SIGKILL) just
// before the Nth call of rename(2) or write(2) that concerns a path holding
// a given text, so that a test stops a run at the very moment it names.
//   KS_KILL_CALL=rename|write  KS_KILL_PATH=text  KS_KILL_AT=N
// The path of a rename is its target, of a write the file written to.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

namespace {

std::atomic<int> matched{0};

bool Watched(const char* call) {
    const char* watched = std::getenv("KS_KILL_CALL");
    return watched != nullptr && std::strcmp(watched, call) == 0;
}

void KillAtTheNth(const char* path) {
    const char* text = std::getenv("KS_KILL_PATH");
    const char* at = std::getenv("KS_KILL_AT");
    if (text == nullptr || at == nullptr || path == nullptr || std::strstr(path, text) == nullptr)
        return;
    if (++matched == std::atoi(at)) ::kill(::getpid(), SIGKILL);
}

template <typename Function> Function Next(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int rename(const char* from, const char* to) noexcept {
    static const auto next = Next<int (*)(const char*, const char*)>("rename");
    if (Watched("rename")) KillAtTheNth(to);
    return next(from, to);
}

extern "C" ssize_t write(int fd, const void* bytes, size_t count) {
    static const auto next = Next<ssize_t (*)(int, const void*, size_t)>("write");
    if (Watched("write")) {
        char link[32];
        char path[4096];
        std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
        const ssize_t length = ::readlink(link, path, sizeof path - 1);
        if (length > 0) {
            path[length] = '\0';
            KillAtTheNth(path);
        }
    }
    return next(fd, bytes, count);
}
