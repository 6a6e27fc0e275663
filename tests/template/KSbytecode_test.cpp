#include "template/KSbytecode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ks::code {
namespace {

std::string Bytes(std::vector<int> values) {
    std::string out;
    for (const int v : values)
        out += static_cast<char>(v);
    return out;
}

// Each reader on whole, short and missing operands: what it reads and where
// it leaves the position.
TEST(KSbytecode, OperandReadersStopAtTheEnd) {
    struct Case {
        std::string code;
        std::size_t end;
        int word;
        std::size_t afterWord;
        std::size_t pieceEnd;
    };
    for (const Case& c : std::vector<Case>{
             {Bytes({44, 1}), 2, 300, 2, 2}, // 300 announces more than there is
             {Bytes({3, 0, 'a', 'b', 'c', 'd'}), 6, 3, 2, 5},
             {Bytes({0xFF, 0xFF, 'a'}), 3, -1, 2, 2}, // a negative length holds nothing
             {Bytes({0x00, 0x80}), 2, -32768, 2, 2},
             {Bytes({200, 1}), 1, 200, 1, 1}, // a lone last byte reads as itself
             {Bytes({7}), 0, 0, 0, 0},
         }) {
        std::size_t pos = 0;
        EXPECT_EQ(c.word, WordAt(c.code, pos, c.end)) << c.code.size();
        EXPECT_EQ(c.afterWord, pos);
        pos = 0;
        int written = 99;
        EXPECT_EQ(c.pieceEnd, PieceAt(c.code, pos, c.end, &written));
        EXPECT_EQ(c.word, written);
        EXPECT_EQ(c.afterWord, pos);
    }
    const std::string number = Bytes({0x98, 0x3A, 0, 0, 0, 0, 0, 0, 9}); // 15000
    std::size_t pos = 0;
    EXPECT_EQ(15000, Int64At(number, pos, number.size()));
    EXPECT_EQ(8u, pos);
    pos = 2;
    EXPECT_EQ(0, Int64At(number, pos, number.size())); // 7 bytes left
    EXPECT_EQ(number.size(), pos);
    pos = 0;
    EXPECT_EQ(-1, Int64At(std::string(8, '\xFF'), pos, 8));
}

} // namespace
} // namespace ks::code
