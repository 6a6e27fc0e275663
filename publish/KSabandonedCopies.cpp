#include "publish/KSabandonedCopies.h"

#include "common/KSreplacingFile.h"

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace ks {

namespace {

// The name a copy stands for (".NAME.PID-N.tmp" gives NAME), or "".
std::string CopyTarget(const std::string& name) {
    if (name.size() < 2 || name[0] != '.' || !name.ends_with(".tmp")) return {};
    const std::size_t dot = name.rfind('.', name.size() - 5);
    if (dot == std::string::npos || dot < 2) return {};
    const std::string target = name.substr(1, dot - 1);
    return PendingReplacementWriter(name, target) != 0 ? target : std::string();
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

} // namespace

void RemoveAbandonedCopies(const std::string& folder,
                           const std::function<bool(const std::string& name)>& ours) {
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) return;
    std::vector<std::string> abandoned;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        const std::string target = CopyTarget(name);
        if (target.empty() || !ours(target)) continue;
        const pid_t writer = PendingReplacementWriter(name, target);
        if (::kill(writer, 0) != 0 && errno == ESRCH) abandoned.push_back(name);
    }
    // What cannot be removed now is tried again by the next publish.
    for (const std::string& name : abandoned)
        ::unlinkat(::dirfd(dir.get()), name.c_str(), 0);
}

} // namespace ks
