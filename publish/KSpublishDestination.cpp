#include "publish/KSpublishDestination.h"

#include "common/KSerrors.h"
#include "common/KSlocal.h"

#include <cctype>
#include <optional>

namespace ks {

namespace {

std::optional<int> HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return std::nullopt;
}

// "%2F" and the like as their bytes; nullopt on a broken escape or a NUL.
std::optional<std::string> PercentDecoded(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            bytes += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const auto high = HexValue(text[i + 1]);
        const auto low = HexValue(text[i + 2]);
        if (!high || !low || (*high == 0 && *low == 0)) return std::nullopt;
        bytes += static_cast<char>(*high * 16 + *low);
        i += 2;
    }
    return bytes;
}

std::string FileUrlFolder(const std::string& given) {
    const std::string rest = given.substr(7);
    const std::size_t slash = rest.find('/');
    const std::string host = rest.substr(0, slash);
    const auto path =
        slash == std::string::npos ? std::nullopt : PercentDecoded(rest.substr(slash));
    if ((!host.empty() && host != "localhost") || !path)
        throw EKSError(given, LocalText("#1611.3=een file://-adres moet een map op deze computer "
                                        "noemen (file:///pad/naar/map)"));
    return *path;
}

} // namespace

TKSpublishDestination ParseDestination(const std::string& given) {
    if (given.empty() || given.find_first_of("\r\n") != std::string::npos)
        throw EKSError(given, LocalText("#1611.2=geen map of adres om naar te publiceren"));
    const std::size_t colon = given.find("://");
    const std::string scheme = given.substr(0, colon);
    // "./a://b" is a path: a scheme is letters first.
    if (colon == std::string::npos || colon == 0 ||
        !std::isalpha(static_cast<unsigned char>(given[0])) ||
        scheme.find_first_not_of(
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+.-") !=
            std::string::npos)
        return {given, given};
    if (scheme == "file") return {given, FileUrlFolder(given)};
    if (scheme == "sftp" || scheme == "ftps" || scheme == "ftp")
        throw EKSError(
            given, LocalText("#1611.1=publiceren via %1:// wordt nog niet ondersteund", {scheme}));
    throw EKSError(given, LocalText("#1611.2=geen map of adres om naar te publiceren"));
}

} // namespace ks
