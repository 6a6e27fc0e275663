#include "builder/entries/KSurlPath.h"

#include <cstring>

namespace ks {

namespace {

bool Plain(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    return c != '\0' && std::strchr("/-._~!$&()*+,;=@", c) != nullptr;
}

} // namespace

std::string UrlPath(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    AppendUrlPath(out, path);
    return out;
}

void AppendUrlPath(std::string& out, std::string_view path) {
    static const char kHex[] = "0123456789ABCDEF";
    for (const char c : path) {
        if (Plain(c)) {
            out += c;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        out += '%';
        out += kHex[byte >> 4];
        out += kHex[byte & 15];
    }
}

} // namespace ks
