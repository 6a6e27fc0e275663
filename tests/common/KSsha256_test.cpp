#include "common/KSsha256.h"

#include <gtest/gtest.h>

#include <string>

namespace ks {
namespace {

// The test vectors of FIPS 180-2 and its examples, fed whole and in uneven
// pieces that cross the 64-byte blocks.
TEST(Sha256, StandardVectors) {
    struct Case {
        std::string message;
        const char* digest;
    };
    const Case cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.digest, Sha256Hex(c.message)) << c.message.size();
        Sha256 pieces;
        for (std::size_t at = 0, step = 1; at < c.message.size(); at += step, step = step * 3 % 97)
            pieces.Update(std::string_view(c.message).substr(at, step));
        EXPECT_EQ(c.digest, pieces.HexDigest()) << c.message.size();
    }
}

} // namespace
} // namespace ks
