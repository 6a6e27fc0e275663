#include "common/KSwebLink.h"

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <string>
#include <vector>

namespace ks {

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

bool EndsWithNoCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() &&
           StartsWithNoCase(text.substr(text.size() - end.size()), end);
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

std::size_t WebSchemeLength(std::string_view text) {
    if (StartsWithNoCase(text, "http://")) return 7;
    if (StartsWithNoCase(text, "https://")) return 8;
    return 0;
}

bool IsWebLink(std::string_view link) {
    return WebSchemeLength(link) > 0;
}

bool NamesScheme(std::string_view link) {
    const std::size_t colon = link.find(':');
    return colon != std::string_view::npos && colon < link.find_first_of("/?#");
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

bool IsExampleHost(std::string_view host) {
    if (host.ends_with('.')) host.remove_suffix(1);
    // The second-level names count with the names below them; the top-level
    // domains only with a name in them.
    for (const std::string_view domain : {"example.org", "example.com", "example.net"})
        if (EndsWithNoCase(host, domain) &&
            (host.size() == domain.size() || host[host.size() - domain.size() - 1] == '.'))
            return true;
    for (const std::string_view top : {".test", ".invalid", ".example"})
        if (host.size() > top.size() && EndsWithNoCase(host, top)) return true;
    return false;
}

std::string_view WebHost(std::string_view text) {
    const std::size_t scheme = WebSchemeLength(text);
    if (scheme == 0) return {};
    std::string_view host = text.substr(scheme);
    host = host.substr(0, host.find_first_of("/?#\\"));
    if (const std::size_t at = host.rfind('@'); at != std::string_view::npos)
        host.remove_prefix(at + 1);
    if (host.starts_with('[')) return host.substr(0, host.find(']') + 1);
    return host.substr(0, host.find(':'));
}

bool IsExampleAddress(std::string_view text) {
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return false;
    return IsExampleHost(WebHost(text.substr(start)));
}

} // namespace ks
