#include "index/KSdocumentCharset.h"

#include "common/KSfileio.h"

namespace ks {

namespace {
constexpr std::size_t kChunk = std::size_t{1} << 16;
}

void TKSutf8Scanner::Feed(std::string_view piece) {
    for (const char c : piece) {
        if (invalid_) return;
        const auto byte = static_cast<unsigned char>(c);
        if (expected_ == 0) {
            if (byte >= 0x80) StartSequence(byte);
            continue;
        }
        if (byte < low_ || byte > high_) {
            invalid_ = true;
            return;
        }
        low_ = 0x80;
        high_ = 0xBF;
        if (--expected_ == 0) ++sequences_;
    }
}

// The ranges keep out overlong forms, surrogates and code points above
// U+10FFFF, as a strict UTF-8 decoder does.
void TKSutf8Scanner::StartSequence(unsigned char lead) {
    low_ = 0x80;
    high_ = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        expected_ = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        expected_ = 2;
        if (lead == 0xE0) low_ = 0xA0;
        if (lead == 0xED) high_ = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        expected_ = 3;
        if (lead == 0xF0) low_ = 0x90;
        if (lead == 0xF4) high_ = 0x8F;
    } else {
        invalid_ = true;
    }
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
