// Changing the title of an index document in place.
#include "index/KSretitle.h"

#include "index/KShtxData.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace ks {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

const std::string kHead = "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n";
const std::string kLines = "[indexdata]\r\nB\tBos\tEva\t\t\t\t1\tp.htm#1\r\n";

TEST(Retitle, TheTitleLineIsReplacedAndTheRestKept) {
    test::TempDir dir;
    const std::string path = dir.file("t.htx");
    const struct {
        std::string before;
        std::string answer;
        std::string title;   // as read back
        std::string written; // in the file, when not the title
    } cases[] = {
        {kHead + "[metadata]\r\ntitle=Old\r\ncreated=1-1-2000\r\n" + kLines, "New tree", "New tree",
         ""},
        {kHead + "[metadata]\r\ntitle=Old\r\n" + kLines, "  \"Quoted\"  ", "Quoted",
         "  \"Quoted\"  "},
        {kHead + kLines, "No metadata before", "No metadata before", ""},
        // Typed as UTF-8: kept in a UTF-8 document, the nearest letters in
        // a Windows-1252 one.
        {kHead + "charset=utf-8\r\n" + kLines, "Wa\u0142\u0119sa", "Wa\u0142\u0119sa",
         "Wa\xC5\x82\xC4\x99sa"},
        {kHead + kLines, "Wa\u0142\u0119sa \u00E9", "Walesa \u00E9", "Walesa \xE9"},
    };
    for (const auto& c : cases) {
        WriteFileBytes(path, c.before);
        const RetitleResult result = RetitleDocument(path, c.answer);
        ASSERT_TRUE(result.Changed) << c.answer << ": " << result.Reason;
        EXPECT_EQ(c.title, result.Title);
        EXPECT_EQ(c.title, TKShtxData(path).Title);
        const std::string written = c.written.empty() ? c.title : c.written;
        EXPECT_NE(std::string::npos, ReadFileBytes(path).find("title=" + written + "\r\n"));
        // The index lines stay where they were, untouched.
        const std::string after = ReadFileBytes(path);
        EXPECT_EQ(kLines, after.substr(after.find("[indexdata]")));
    }
}

TEST(Retitle, WhatCannotBeChangedIsLeftAloneWithAReason) {
    test::TempDir dir;
    const std::string path = dir.file("t.htx");
    const std::string before = kHead + "[metadata]\r\ntitle=Old\r\n" + kLines;
    WriteFileBytes(path, before);
    RetitleResult result = RetitleDocument(path, "two\r\nlines");
    EXPECT_FALSE(result.Changed);
    EXPECT_EQ("a title is one line", result.Reason);

    ASSERT_EQ(0, ::chmod(path.c_str(), 0444));
    result = RetitleDocument(path, "New");
    EXPECT_FALSE(result.Changed);
    EXPECT_EQ("the file is read-only", result.Reason);
    EXPECT_EQ(before, ReadFileBytes(path));

    result = RetitleDocument(dir.file("gone.htx"), "New");
    EXPECT_FALSE(result.Changed);
    EXPECT_EQ("the file no longer exists", result.Reason);
}

} // namespace
} // namespace ks
