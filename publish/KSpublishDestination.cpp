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

TKSpublishDestination Folder(const std::string& given, const std::string& folder) {
    TKSpublishDestination destination;
    destination.Given = given;
    destination.Folder = folder;
    return destination;
}

// scheme://[user@]host[:port]/path. A password is refused: the address is
// kept as given (the manifest's name, the wizard's settings), and a password
// must never be stored in plain text.
TKSpublishDestination HostAddress(const std::string& given, TKSdestinationKind kind) {
    TKSpublishDestination destination;
    destination.Given = given;
    destination.Kind = kind;
    const std::size_t start = given.find("://") + 3;
    const std::size_t slash = given.find('/', start);
    std::string authority = given.substr(start, slash - start);
    destination.Path = slash == std::string::npos ? "/" : given.substr(slash);
    while (destination.Path.size() > 1 && destination.Path.back() == '/')
        destination.Path.pop_back();
    const auto bad = [&given](const std::string& reason) {
        return EKSError(given, LocalText(reason));
    };
    if (destination.Path.find_first_of("?#") != std::string::npos ||
        !PercentDecoded(destination.Path))
        throw bad("#1611.40=het pad van het adres is ongeldig");
    if (const std::size_t at = authority.rfind('@'); at != std::string::npos) {
        destination.User = authority.substr(0, at);
        authority.erase(0, at + 1);
        if (destination.User.find(':') != std::string::npos)
            throw bad("#1611.41=een wachtwoord hoort niet in het adres: het zou onversleuteld "
                      "bewaard worden; gebruik een SSH-sleutel of ~/.netrc");
        if (destination.User.empty() || !PercentDecoded(destination.User))
            throw bad("#1611.42=de gebruikersnaam in het adres is ongeldig");
    }
    std::string port;
    if (authority.starts_with('[')) {
        const std::size_t close = authority.find(']');
        if (close == std::string::npos) throw bad("#1611.43=geen geldige host in het adres");
        destination.Host = authority.substr(0, close + 1);
        if (close + 1 < authority.size()) {
            if (authority[close + 1] != ':') throw bad("#1611.43=geen geldige host in het adres");
            port = authority.substr(close + 2);
        }
    } else {
        const std::size_t colon = authority.find(':');
        destination.Host = authority.substr(0, colon);
        if (colon != std::string::npos) port = authority.substr(colon + 1);
    }
    if (destination.Host.empty() ||
        destination.Host.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                           "0123456789.-_[]:") != std::string::npos)
        throw bad("#1611.43=geen geldige host in het adres");
    if (!port.empty()) {
        if (port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos ||
            std::stoi(port) < 1 || std::stoi(port) > 65535)
            throw bad("#1611.44=geen geldig poortnummer in het adres");
        destination.Port = std::stoi(port);
    }
    return destination;
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
        return Folder(given, given);
    if (scheme == "file") return Folder(given, FileUrlFolder(given));
    if (scheme == "sftp") return HostAddress(given, TKSdestinationKind::Sftp);
    if (scheme == "ftps") return HostAddress(given, TKSdestinationKind::Ftps);
    if (scheme == "ftp") return HostAddress(given, TKSdestinationKind::Ftp);
    throw EKSError(given, LocalText("#1611.2=geen map of adres om naar te publiceren"));
}

} // namespace ks
