#include "index/KSdocumentCharset.h"

#include "common/KSfileio.h"

namespace ks {

namespace {
constexpr std::size_t kChunk = std::size_t{1} << 16;
}

bool LooksLikeUtf8(std::string_view text) {
    TKSutf8Scanner scanner;
    scanner.Feed(text);
    return scanner.LooksLikeUtf8();
}

bool DocumentLooksLikeUtf8(const std::string& path) {
    FileReader reader(path);
    if (reader.Outcome() != ReadOutcome::Read) return false;
    TKSutf8Scanner scanner;
    std::string chunk;
    while (!scanner.Invalid()) {
        chunk.clear();
        if (!reader.ReadChunk(chunk, kChunk)) break;
        scanner.Feed(chunk);
    }
    return !reader.Failed() && scanner.LooksLikeUtf8();
}

} // namespace ks
