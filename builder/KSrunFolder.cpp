#include "builder/KSrunFolder.h"

#include "common/KSerrors.h"
#include "common/KSfiles.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdlib.h>
#include <system_error>

namespace ks {

namespace fs = std::filesystem;

TKSrunFolder::TKSrunFolder(const std::string& tempFolder, const std::string& switchFolder) {
    if (!switchFolder.empty()) {
        path_ = WithSlash(switchFolder);
        return;
    }
    std::string pattern =
        WithSlash(tempFolder.empty() ? fs::temp_directory_path().string() : tempFolder) +
        "run-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        throw EInOutError("Cannot create a temporary folder in " + WithSlash(tempFolder) + ": " +
                          std::strerror(errno));
    path_ = WithSlash(pattern);
    isPrivate_ = true;
}

TKSrunFolder::~TKSrunFolder() {
    if (keep_ || !isPrivate_) return;
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void TKSrunFolder::RemoveFiles(const std::string* names, int count) const {
    std::error_code ec;
    for (int i = 0; i < count; ++i)
        fs::remove(path_ + names[i], ec);
}

} // namespace ks
