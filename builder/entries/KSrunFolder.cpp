#include "builder/entries/KSrunFolder.h"

#include "common/KSfiles.h"
#include "common/KSlockedFolder.h"

#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace ks {

namespace fs = std::filesystem;

namespace {

const char* const kRunPrefix = "run-";
const char* const kKeptPrefix = "kept-";

} // namespace

TKSrunFolder::TKSrunFolder(const std::string& tempFolder, const std::string& switchFolder,
                           bool keep)
    : keep_(keep) {
    if (!switchFolder.empty()) {
        path_ = WithSlash(switchFolder);
        return;
    }
    path_ = MakeFolder(tempFolder.empty() ? fs::temp_directory_path().string() : tempFolder);
    privatePath_ = path_;
}

std::string TKSrunFolder::MakeFolder(const std::string& parent) {
    return MakeLockedFolder(parent, keep_ ? kKeptPrefix : kRunPrefix, lock_);
}

TKSrunFolder::~TKSrunFolder() {
    if (keep_ || privatePath_.empty()) return;
    std::error_code ec;
    fs::remove_all(privatePath_, ec);
}

const std::string& TKSrunFolder::PrivatePath() {
    if (privatePath_.empty()) privatePath_ = MakeFolder(path_);
    return privatePath_;
}

void TKSrunFolder::RemoveLinks(const std::string* names, int count) const {
    for (int i = 0; i < count; ++i)
        if (IsLink(path_ + names[i])) ::unlink((path_ + names[i]).c_str());
}

void TKSrunFolder::RemoveFiles(const std::string* names, int count) const {
    std::error_code ec;
    for (int i = 0; i < count; ++i)
        fs::remove(path_ + names[i], ec);
}

void RemoveAbandonedRunFolders(const std::string& tempFolder) {
    // A folder others may write to could hold anything under such a name.
    if (tempFolder.empty() || !IsPrivateFolder(tempFolder)) return;
    RemoveAbandonedFolders(tempFolder, kRunPrefix);
}

} // namespace ks
