#include "builder/KSrunFolder.h"

#include "common/KSerrors.h"
#include "common/KSfiles.h"
#include "common/KSlocal.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdlib.h>
#include <system_error>
#include <unistd.h>

namespace ks {

namespace fs = std::filesystem;

namespace {

// A new folder of mode 0700 inside parent.
std::string MakePrivateFolder(const std::string& parent) {
    std::string pattern = WithSlash(parent) + "run-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        throw EInOutError(WithSlash(parent),
                          LocalReason("#1560.6=er kan geen tijdelijke map gemaakt worden", errno));
    return WithSlash(pattern);
}

} // namespace

TKSrunFolder::TKSrunFolder(const std::string& tempFolder, const std::string& switchFolder) {
    if (!switchFolder.empty()) {
        path_ = WithSlash(switchFolder);
        return;
    }
    path_ = MakePrivateFolder(tempFolder.empty() ? fs::temp_directory_path().string() : tempFolder);
    privatePath_ = path_;
}

TKSrunFolder::~TKSrunFolder() {
    if (keep_ || privatePath_.empty()) return;
    std::error_code ec;
    fs::remove_all(privatePath_, ec);
}

const std::string& TKSrunFolder::PrivatePath() {
    if (privatePath_.empty()) privatePath_ = MakePrivateFolder(path_);
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

} // namespace ks
