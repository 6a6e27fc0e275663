// SHA-256 of a stream of bytes (FIPS 180-4), for the content hashes of a
// publish: fed in pieces of any size, finished once.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ks {

class Sha256 {
public:
    Sha256();
    void Update(std::string_view bytes);
    // The digest as 64 lowercase hex digits; the object is spent afterwards.
    std::string HexDigest();

private:
    void Block(const unsigned char* block);

    std::array<std::uint32_t, 8> state_;
    std::array<unsigned char, 64> pending_{};
    std::size_t pendingSize_ = 0;
    std::uint64_t length_ = 0; // bytes fed so far
};

// The hex digest of bytes.
std::string Sha256Hex(std::string_view bytes);

} // namespace ks
