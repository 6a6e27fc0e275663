#include "index/KSdocumentCharset.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace ks {
namespace {

using test::TempDir;
using test::WriteFileBytes;

TEST(Utf8Look, ValidSequencesWithoutStrayBytesLookLikeUtf8) {
    EXPECT_TRUE(LooksLikeUtf8("M\xC3\xBCller"));                      // ü
    EXPECT_TRUE(LooksLikeUtf8("\xE2\x82\xAC 5, \xC5\x93uvre"));       // euro sign, oe
    EXPECT_TRUE(LooksLikeUtf8("tree \xF0\x9F\x8C\xB3"));              // four bytes
    EXPECT_TRUE(LooksLikeUtf8("\xEF\xBB\xBF[KESTRIN]\r\nA\xC3\xA5")); // byte order mark
}

TEST(Utf8Look, AsciiAndWindows1252AreNotUtf8) {
    EXPECT_FALSE(LooksLikeUtf8(""));
    EXPECT_FALSE(LooksLikeUtf8("Jansen\tJan\t1850\r\n"));
    EXPECT_FALSE(LooksLikeUtf8("M\xFCller"));
    EXPECT_FALSE(LooksLikeUtf8("\xC5str\xF6m"));
    // One valid-looking sequence beside a byte that is none: Windows-1252.
    EXPECT_FALSE(LooksLikeUtf8("M\xC3\xBCller, Fran\xE7ois"));
}

TEST(Utf8Look, MalformedSequencesAreNotUtf8) {
    EXPECT_FALSE(LooksLikeUtf8("\xC3"));             // cut off at the end
    EXPECT_FALSE(LooksLikeUtf8("\xC3(a"));           // no continuation byte
    EXPECT_FALSE(LooksLikeUtf8("\xC0\x80"));         // overlong
    EXPECT_FALSE(LooksLikeUtf8("\xE0\x80\xAF"));     // overlong
    EXPECT_FALSE(LooksLikeUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(LooksLikeUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
    EXPECT_FALSE(LooksLikeUtf8("\xF5\x80\x80\x80"));
    EXPECT_FALSE(LooksLikeUtf8("a\x80")); // a lone continuation byte
}

TEST(Utf8Look, ASequenceMayBeCutBetweenPieces) {
    TKSutf8Scanner scanner;
    scanner.Feed("Str\xC3");
    EXPECT_FALSE(scanner.LooksLikeUtf8()); // not yet complete
    scanner.Feed("\xB6m \xE2\x82");
    scanner.Feed("\xAC");
    EXPECT_TRUE(scanner.LooksLikeUtf8());
    scanner.Feed("\xFC");
    EXPECT_TRUE(scanner.Invalid());
    EXPECT_FALSE(scanner.LooksLikeUtf8());
}

TEST(Utf8Look, DocumentsAreReadWhole) {
    TempDir dir;
    const std::string header = "[KESTRIN]\r\ntype=htx\r\nformat=1\r\n[indexdata]\r\n";
    // The only sequence lies far beyond the start, cut between two pieces
    // of 64 KiB.
    std::string lines;
    while (lines.size() < 65535)
        lines += "J\tJansen\tJan\t\t\t\t1\tp.htm#1\r\n";
    lines.resize(65535 - header.size());
    WriteFileBytes(dir.file("utf8.htx"), header + lines + "\xC3\xA9" + "\r\n");
    EXPECT_TRUE(DocumentLooksLikeUtf8(dir.file("utf8.htx")));

    WriteFileBytes(dir.file("ansi.htx"), header + "A\t\xC5str\xF6m\tBj\xF6rn\r\n");
    EXPECT_FALSE(DocumentLooksLikeUtf8(dir.file("ansi.htx")));
    WriteFileBytes(dir.file("ascii.htx"), header + lines);
    EXPECT_FALSE(DocumentLooksLikeUtf8(dir.file("ascii.htx")));
    EXPECT_FALSE(DocumentLooksLikeUtf8(dir.file("missing.htx")));
    EXPECT_FALSE(DocumentLooksLikeUtf8(dir.path().string()));
}

} // namespace
} // namespace ks
