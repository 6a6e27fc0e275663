#include "builder/KSrelativeLink.h"

#include "common/KSpaths.h"

#include <algorithm>
#include <arpa/inet.h>
#include <filesystem>
#include <netinet/in.h>
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

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view start) {
    if (text.size() < start.size()) return false;
    for (std::size_t i = 0; i < start.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != start[i]) return false;
    }
    return true;
}

// The length of "http://" or "https://" at the start of text, else 0.
std::size_t WebSchemeLength(std::string_view text) {
    if (StartsWithNoCase(text, "http://")) return 7;
    if (StartsWithNoCase(text, "https://")) return 8;
    return 0;
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A port: a number from 1 to 65535.
bool IsPort(std::string_view port) {
    if (port.empty() || port.size() > 5 || !AllDigits(port)) return false;
    const int number = std::stoi(std::string(port));
    return number >= 1 && number <= 65535;
}

// A number of 0 to 255 without leading zeros (which some read as octal).
bool IsByteNumber(std::string_view text) {
    return !text.empty() && text.size() <= 3 && AllDigits(text) &&
           (text.size() == 1 || text.front() != '0') && std::stoi(std::string(text)) <= 255;
}

// A label of a DNS name: 1 to 63 letters, digits, "-" and "_" (browsers
// reach hosts named with it), no "-" at an end.
bool IsLabel(std::string_view label) {
    if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-')
        return false;
    return std::all_of(label.begin(), label.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '_';
    });
}

// A host as a browser can reach it: an IPv6 address in brackets, an IPv4
// address, or a DNS name (with an optional "." at its end). A name whose
// last label is a number is read as an IPv4 address, so it must be one.
bool IsHost(std::string_view host) {
    if (host.starts_with('[')) {
        const std::string inside(host.substr(1, host.size() - 2));
        in6_addr ipv6{};
        return host.ends_with(']') && ::inet_pton(AF_INET6, inside.c_str(), &ipv6) == 1;
    }
    if (host.ends_with('.')) host.remove_suffix(1);
    if (host.empty() || host.size() > 253) return false;
    std::vector<std::string_view> labels;
    for (std::size_t from = 0;;) {
        const std::size_t dot = host.find('.', from);
        labels.push_back(host.substr(from, dot - from));
        if (dot == std::string_view::npos) break;
        from = dot + 1;
    }
    if (AllDigits(labels.back()))
        return labels.size() == 4 && std::all_of(labels.begin(), labels.end(), IsByteNumber);
    return std::all_of(labels.begin(), labels.end(), IsLabel);
}

} // namespace

bool IsWebLink(std::string_view link) {
    return WebSchemeLength(link) > 0;
}

bool IsGoodWebAddress(std::string_view address) {
    const std::size_t scheme = WebSchemeLength(address);
    if (scheme == 0) return false;
    for (const char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F) return false;
        if (std::string_view("\"'<>\\?#").find(c) != std::string_view::npos) return false;
    }
    const std::string_view rest = address.substr(scheme);
    std::string_view host = rest.substr(0, rest.find('/'));
    if (const std::size_t at = host.rfind('@'); at != std::string_view::npos)
        host.remove_prefix(at + 1);
    std::string_view port;
    if (host.starts_with('[')) {
        const std::size_t close = host.find(']');
        if (close == std::string_view::npos) return false;
        port = host.substr(close + 1);
        if (!port.empty() && port.front() != ':') return false;
        host = host.substr(0, close + 1);
    } else if (const std::size_t colon = host.find(':'); colon != std::string_view::npos) {
        port = host.substr(colon);
        host = host.substr(0, colon);
    }
    if (!port.empty() && !IsPort(port.substr(1))) return false;
    return IsHost(host);
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

bool IsSafeLink(std::string_view link) {
    for (const char c : link) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return false;
    }
    const std::size_t start = link.find_first_not_of(' ');
    if (start == std::string_view::npos) return true;
    link.remove_prefix(start);
    const auto isSlash = [](char c) { return c == '/' || c == '\\'; };
    if (link.size() >= 2 && isSlash(link[0]) && isSlash(link[1])) return false;
    // A scheme: a letter, then letters, digits, "+", "-" or ".", then ":".
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (!isLetter(link[0])) return true;
    std::size_t end = 1;
    while (end < link.size() && (isLetter(link[end]) || (link[end] >= '0' && link[end] <= '9') ||
                                 link[end] == '+' || link[end] == '-' || link[end] == '.'))
        ++end;
    if (end == link.size() || link[end] != ':') return true; // a path
    std::string scheme(link.substr(0, end));
    for (char& c : scheme)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return scheme == "http" || scheme == "https";
}

} // namespace ks
