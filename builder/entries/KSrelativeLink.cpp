#include "builder/entries/KSrelativeLink.h"

#include "common/KSpaths.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace ks {

namespace {

using Folders = std::vector<std::string>;

std::string Absolute(const std::string& path) {
    if (!path.empty() && path.front() == '/') return path;
    std::error_code ec;
    const std::string current = std::filesystem::current_path(ec).string();
    return (ec ? std::string("/") : current + "/") + path;
}

// The names of an absolute path from the root, with "." dropped and ".."
// taking away the name before it (never beyond the root).
Folders Names(const std::string& path) {
    Folders names;
    const std::string absolute = Absolute(path);
    std::size_t from = 0;
    while (from <= absolute.size()) {
        std::size_t slash = absolute.find('/', from);
        if (slash == std::string::npos) slash = absolute.size();
        const std::string name = absolute.substr(from, slash - from);
        if (name == "..") {
            if (!names.empty()) names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        from = slash + 1;
    }
    return names;
}

// Whether a link's path (before any "#") is names joined by single "/"s,
// none of them "." or "..": joined to a folder it adds just those names.
bool PlainNames(std::string_view link) {
    const std::string_view path = link.substr(0, link.find('#'));
    if (path.empty() || path.find('\\') != std::string_view::npos) return false;
    std::size_t from = 0;
    for (;;) {
        const std::size_t slash = path.find('/', from);
        const std::string_view name = path.substr(from, slash - from);
        if (name.empty() || name == "." || name == "..") return false;
        if (slash == std::string_view::npos) return true;
        from = slash + 1;
    }
}

} // namespace

std::string RelativeLink(const std::string& fromFile, const std::string& target) {
    const std::size_t hash = target.find('#');
    std::string path = target.substr(0, hash);
    const std::string fragment = hash == std::string::npos ? std::string() : target.substr(hash);
    std::replace(path.begin(), path.end(), '\\', '/');

    const Folders base = Names(FolderOf(Absolute(fromFile)));
    const Folders names = Names(path);
    const bool isFolder = path.empty() || path.back() == '/' || path.ends_with("/.") ||
                          path.ends_with("/..") || names.empty();
    // A file's own name is never a common folder, even when it equals one.
    const std::size_t shared = isFolder ? names.size() : names.size() - 1;
    std::size_t common = 0;
    while (common < base.size() && common < shared && base[common] == names[common])
        ++common;

    std::string link;
    for (std::size_t up = common; up < base.size(); ++up)
        link += "../";
    for (std::size_t down = common; down < names.size(); ++down) {
        link += names[down];
        if (down + 1 < names.size() || isFolder) link += '/';
    }
    if (link.empty()) link = "./";
    return link + fragment;
}

std::string DocumentLink(const std::string& fromFile, const std::string& documentFile,
                         const std::string& link, const std::string& webAddress) {
    if (IsWebLink(link)) return link;
    if (!webAddress.empty()) return JoinWebAddress(WebFolder(webAddress), link);
    return RelativeLink(fromFile, FolderOf(documentFile) + link);
}

std::string WebFolder(std::string_view address) {
    std::string folder(address);
    if (!folder.ends_with('/')) folder += '/';
    return folder;
}

std::string JoinWebAddress(std::string_view folder, std::string_view link) {
    const std::size_t scheme = WebSchemeLength(folder);
    const std::size_t pathStart = std::min(folder.find('/', scheme), folder.size());
    const std::size_t suffixStart = std::min(link.find_first_of("?#"), link.size());
    std::string path(link.substr(0, suffixStart));
    std::replace(path.begin(), path.end(), '\\', '/');
    const bool isFolder = path.empty() || path.back() == '/' || path == "." || path == ".." ||
                          path.ends_with("/.") || path.ends_with("/..");
    // Names resolves "." and ".." in an absolute path by name, never above its root.
    const Folders names = Names(std::string(folder.substr(pathStart)) + "/" + path);
    std::string joined(folder.substr(0, pathStart));
    for (const std::string& name : names)
        joined.append("/").append(name);
    if (isFolder || names.empty()) joined += '/';
    return joined.append(link.substr(suffixStart));
}

TKSdocumentLinker::TKSdocumentLinker(const std::string& fromFile, const std::string& documentFile,
                                     const std::string& webAddress)
    : fromFile_(fromFile), documentFile_(documentFile), webAddress_(webAddress) {
    if (!webAddress_.empty()) {
        // A good address holds no "#": its folder joins plain links as it is.
        folderPlain_ = true;
        folderLink_ = WebFolder(webAddress_);
        return;
    }
    const std::string folder = FolderOf(documentFile);
    folderPlain_ = folder.find('#') == std::string::npos;
    if (!folderPlain_) return;
    folderLink_ = RelativeLink(fromFile, folder);
    if (folderLink_ == "./") folderLink_.clear();
}

std::string TKSdocumentLinker::Link(std::string_view link) const {
    std::string out;
    AppendLink(out, link);
    return out;
}

void TKSdocumentLinker::AppendLink(std::string& out, std::string_view link) const {
    if (folderPlain_ && PlainNames(link)) {
        out.append(folderLink_).append(link);
    } else {
        out += DocumentLink(fromFile_, documentFile_, std::string(link), webAddress_);
    }
}

} // namespace ks
