#include "import/KSimportFolder.h"

#include "common/KSfiles.h"
#include "common/KSlockedFolder.h"

#include <filesystem>
#include <system_error>

namespace ks {

namespace {

const char* const kImportPrefix = "import-";

} // namespace

std::string ImportTempFolder(const std::string& tempFolder) {
    if (!tempFolder.empty()) return tempFolder;
    const std::string folder = PrivateTempFolder(GetTempPath());
    return folder.empty() ? GetTempPath() : folder;
}

TKSimportFolder::TKSimportFolder(std::string tempFolder) : parent_(std::move(tempFolder)) {}

TKSimportFolder::~TKSimportFolder() {
    if (path_.empty()) return;
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

const std::string& TKSimportFolder::Path() {
    if (path_.empty()) path_ = MakeLockedFolder(ImportTempFolder(parent_), kImportPrefix, lock_);
    return path_;
}

void RemoveAbandonedImportFolders(const std::string& tempFolder) {
    const std::string folder = ImportTempFolder(tempFolder);
    // A folder others may write to could hold anything under such a name.
    if (IsPrivateFolder(folder)) RemoveAbandonedFolders(folder, kImportPrefix);
}

} // namespace ks
