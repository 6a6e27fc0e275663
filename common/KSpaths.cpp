#include "common/KSpaths.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>

namespace ks {

namespace fs = std::filesystem;

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

bool IsFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

bool IsOtherThanFile(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

bool IsLink(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool SameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    std::size_t skip = 0;
    while (skip < name.size() && name[skip] == '/')
        ++skip;
    return WithSlash(folder) + name.substr(skip);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty()) return path;
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

std::string AbsoluteFolder(const std::string& path) {
    return WithSlash(AbsolutePath(path));
}

std::string ResolvedPath(const std::string& path) {
    std::error_code ec;
    const fs::path resolved = fs::weakly_canonical(fs::absolute(path, ec), ec);
    return ec ? AbsolutePath(path) : resolved.string();
}

bool IsInsideFolder(const std::string& path, const std::string& folder) {
    if (path.empty() || folder.empty()) return false;
    const std::string inner = ResolvedPath(path);
    const std::string outer = WithSlash(ResolvedPath(folder));
    return inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0;
}

bool IsPlainRelativePath(const std::string& name) {
    if (name.empty() || name[0] == '/') return false;
    std::size_t from = 0;
    while (from <= name.size()) {
        std::size_t slash = name.find('/', from);
        if (slash == std::string::npos) slash = name.size();
        const std::string part = name.substr(from, slash - from);
        if (part.empty() || part == "." || part == "..") return false;
        from = slash + 1;
    }
    return true;
}

std::string UserBaseFolder(const char* variable, const char* homeFolder) {
    // A trailing "/" of the variable is not doubled in the paths made from it.
    const auto trimmed = [](std::string folder) {
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return folder;
    };
    const char* base = std::getenv(variable);
    if (base != nullptr && base[0] == '/') return trimmed(base);
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return trimmed(home) + "/" + homeFolder;
    return "";
}

} // namespace ks
