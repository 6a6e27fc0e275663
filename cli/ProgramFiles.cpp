#include "cli/ProgramFiles.h"

#include "common/KSlocal.h"

#include <filesystem>
#include <system_error>

namespace ks::cli {
namespace {

namespace fs = std::filesystem;

bool HoldsProgramFiles(const fs::path& folder) {
    std::error_code ec;
    for (const char* language : {"NL", "GB", "D", "F"})
        if (fs::is_directory(folder / language, ec)) return true;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() > 6 && name.compare(0, 3, "KS-") == 0 &&
            name.compare(name.size() - 3, 3, ".UI") == 0)
            return true;
    }
    return false;
}

} // namespace

std::string ProgramFolder() {
    std::error_code ec;
    const fs::path current = fs::current_path(ec);
    if (!ec && HoldsProgramFiles(current)) return current.string() + "/";
    if (fs::is_directory(KS_SOURCE_DIST_DIR, ec)) return KS_SOURCE_DIST_DIR;
    return KS_INSTALL_DATA_DIR;
}

void OpenProgramLanguageFiles(const std::string& language) {
    const std::string folder = ProgramFolder();
    OpenLanguageFiles(folder + "KS-" + language + ".UI", folder + "KS-" + language + ".LNG");
}

} // namespace ks::cli
