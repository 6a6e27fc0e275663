// How many index lines a document holds, as info shows it.
#include "index/KSdocumentText.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

TEST(DocumentText, IndexLinesAreCountedFromTheSectionToTheFirstEmptyLine) {
    test::TempDir dir;
    const std::string head = "[KESTRIN]\r\ntype=htx\r\nformat=1\r\n";
    const struct {
        std::string text;
        int64_t lines;
    } cases[] = {
        {head + "[indexdata]\r\na\r\nb\r\nc\r\n", 3},
        {head + "[indexdata]\r\na\r\nb", 2},               // no line end at the end
        {head + "  [IndexData]  \r\na\r\n\r\nb\r\n", 1},   // the first empty line ends it
        {head + "[metadata]\r\ntitle=[indexdata]\r\n", 0}, // no section
        {head + "[indexdata]\r\n", 0},
    };
    for (const auto& c : cases) {
        test::WriteFileBytes(dir.file("t.htx"), c.text);
        EXPECT_EQ(c.lines, CountIndexLines(dir.file("t.htx"))) << c.text;
    }
    EXPECT_EQ(0, CountIndexLines(dir.file("missing.htx")));
}

} // namespace
} // namespace ks
