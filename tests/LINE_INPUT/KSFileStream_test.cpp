#include "LINE_INPUT/KSFileStream.h"

#include "common/KSerrors.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace ks {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

constexpr auto kRead = File::OpenMode::Read;
constexpr auto kCreate = File::OpenMode::Create;
constexpr auto kAppend = File::OpenMode::Append;

std::vector<std::string> ReadAll(const std::string& path) {
    TKSFileStream in(path, kRead);
    std::vector<std::string> lines;
    while (!in.Eof())
        lines.push_back(in.ReadLine());
    return lines;
}

using Lines = std::vector<std::string>;

TEST(KSFileStream, ModeIReadsLinesByTheTextRules) {
    TempDir dir;
    const std::string path = dir.file("mixed.txt");

    WriteFileBytes(path, "first\r\nsecond\nthird");
    EXPECT_EQ((Lines{"first", "second", "third"}), ReadAll(path));

    WriteFileBytes(path, "x\ry\n");
    EXPECT_EQ((Lines{"xy"}), ReadAll(path));

    // Empty lines, a CR right before the end, CR CR LF.
    WriteFileBytes(path, "\n\r\na\r\r\nb\r");
    EXPECT_EQ((Lines{"", "", "a", "b"}), ReadAll(path));

    // Byte 26 and NUL are ordinary bytes, also at the very end.
    WriteFileBytes(path, std::string("a\x1A"
                                     "b\0c\n\x1A",
                                     7));
    EXPECT_EQ((Lines{std::string("a\x1A"
                                 "b\0c",
                                 5),
                     "\x1A"}),
              ReadAll(path));
}

TEST(KSFileStream, EmptyAndMissingFilesAreAtTheirEndAtOnce) {
    TempDir dir;
    const std::string empty = dir.file("empty.txt");
    WriteFileBytes(empty, "");
    TKSFileStream in(empty, kRead);
    EXPECT_TRUE(in.Opened());
    EXPECT_TRUE(in.Eof());

    TKSFileStream missing(dir.file("missing.txt"), kRead);
    EXPECT_FALSE(missing.Opened());
    EXPECT_TRUE(missing.Eof());
    EXPECT_EQ("", missing.ReadLine());
    EXPECT_TRUE(missing.Eof());
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing.txt")));

    // A folder holds no text.
    TKSFileStream folder(dir.path().string(), kRead);
    EXPECT_FALSE(folder.Opened());
    EXPECT_TRUE(folder.Eof());
}

TEST(KSFileStream, LinesLongerThanTheBuffer) {
    TempDir dir;
    const std::string path = dir.file("long.txt");
    constexpr std::size_t block = TStreamText::kBufferSize;
    const std::string l1(block - 1, 'a'), l2(block, 'b'), l3(block + 1, 'c'), l4(2 * block, 'd'),
        l5(5000, 'f');
    WriteFileBytes(path, l1 + "\n" + l2 + "\r\n" + l3 + "\n" + l4 + "\r\n" + l5);
    EXPECT_EQ((Lines{l1, l2, l3, l4, l5}), ReadAll(path));
}

TEST(KSFileStream, CarriageReturnAndLineFeedSplitByARefill) {
    TempDir dir;
    const std::string path = dir.file("boundary.txt");
    const std::string head(TStreamText::kBufferSize - 1, 'a');
    // CR is the last byte of the first block, its LF the first of the second.
    WriteFileBytes(path, head + "\r\n" + "next\n");
    EXPECT_EQ((Lines{head, "next"}), ReadAll(path));
    // A lone CR at the boundary followed by more text.
    WriteFileBytes(path, head + "\r" + "bc\n");
    EXPECT_EQ((Lines{head + "bc"}), ReadAll(path));
    // LF as the last byte of the block: the next line starts exactly with the second.
    WriteFileBytes(path, head + "\n" + "z");
    EXPECT_EQ((Lines{head, "z"}), ReadAll(path));
}

TEST(KSFileStream, PositionIsWhereTheNextLineBegins) {
    TempDir dir;
    const std::string path = dir.file("refill.txt");
    const std::string rest(TStreamText::kBufferSize, 'x');
    WriteFileBytes(path, "short\r\n" + rest + "\n" + "end");
    TKSFileStream in(path, kRead);
    EXPECT_EQ(0, in.Position());
    EXPECT_EQ("short", in.ReadLine());
    EXPECT_EQ(7, in.Position());
    const auto total = static_cast<std::int64_t>(TStreamText::kBufferSize) + 11;
    EXPECT_EQ(rest, in.ReadLine());
    EXPECT_EQ(total - 3, in.Position());
    EXPECT_EQ("end", in.ReadLine());
    EXPECT_EQ(total, in.Position());
    EXPECT_EQ(total, in.Size());
    EXPECT_TRUE(in.Eof());
}

TEST(KSFileStream, LineCounterCountsReadAndWrittenLines) {
    TempDir dir;
    const std::string path = dir.file("count.txt");
    {
        TKSFileStream out(path, kCreate);
        EXPECT_EQ(0, out.LineCount());
        out.WriteLine("a");
        out.WriteText("b");
        out.WriteText("c");
        out.WriteLine("");
        EXPECT_EQ(2, out.LineCount());
    }
    TKSFileStream in(path, kRead);
    EXPECT_EQ(0, in.LineCount());
    EXPECT_EQ("a", in.ReadLine());
    EXPECT_EQ("bc", in.ReadLine());
    EXPECT_EQ(2, in.LineCount());
    EXPECT_TRUE(in.Eof());
}

TEST(KSFileStream, ModeOCreatesOrEmptiesTheFile) {
    TempDir dir;
    const std::string path = dir.file("out.txt");
    WriteFileBytes(path, "old content that is longer\r\n");
    {
        TKSFileStream out(path, kCreate);
        EXPECT_TRUE(out.Opened());
        EXPECT_EQ("", ReadFileBytes(path));
        out.WriteLine("");
    }
    EXPECT_EQ("\r\n", ReadFileBytes(path));

    const std::string fresh = dir.file("fresh.txt");
    {
        TKSFileStream out(fresh, kCreate);
        out.WriteLine("new");
    }
    EXPECT_EQ("new\r\n", ReadFileBytes(fresh));
}

// Parts of a line marked as written already pass the stream's conversion by.
TEST(KSFileStream, MarkedPartsOfALinePassTheConversionBy) {
    TempDir dir;
    const std::string path = dir.file("parts.txt");
    const struct {
        std::vector<TKSbyteRange> AsIs;
        const char* Written;
    } cases[] = {
        {{}, "ABCDEF"},
        {{{1, 3}}, "AbcDEF"},
        {{{0, 1}, {4, 6}}, "aBCDef"},
        // Overlapping the part before, past the end, out of order: cut to fit.
        {{{2, 4}, {3, 10}}, "ABcdef"},
        {{{4, 5}, {1, 2}}, "ABCDeF"},
        {{{7, 9}}, "ABCDEF"},
    };
    TKSFileStream out(path, kCreate);
    out.SetConversion([](std::string_view text, std::string& upper) {
        upper.assign(text);
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    });
    std::string expected;
    for (const auto& c : cases) {
        out.WriteLine("abcdef", c.AsIs);
        expected += std::string(c.Written) + "\r\n";
    }
    // Without a conversion the line is written as given.
    out.SetConversion(nullptr);
    out.WriteLine("abc", cases[1].AsIs);
    out.Close();
    EXPECT_EQ(expected + "abc\r\n", ReadFileBytes(path));
    EXPECT_EQ(7, out.LineCount());
}

TEST(KSFileStream, ModeAAppendsWithoutAddingABreak) {
    TempDir dir;
    const std::string path = dir.file("log.txt");
    {
        TKSFileStream out(path, kAppend);
        EXPECT_TRUE(out.Opened());
        out.WriteLine("one");
    }
    EXPECT_EQ("one\r\n", ReadFileBytes(path));

    WriteFileBytes(path, "no break");
    {
        TKSFileStream out(path, kAppend);
        out.WriteLine("two");
        out.WriteText("three");
    }
    EXPECT_EQ("no breaktwo\r\nthree", ReadFileBytes(path));
}

TEST(KSFileStream, WritesReachTheFileWhenFlushedClosedOrABlockIsFull) {
    TempDir dir;
    const std::string path = dir.file("buffered.txt");
    TKSFileStream out(path, kCreate);
    out.WriteLine("first");
    out.WriteText("par");
    EXPECT_EQ("", ReadFileBytes(path));
    EXPECT_EQ(10, out.Position());
    out.Flush();
    EXPECT_EQ("first\r\npar", ReadFileBytes(path));
    out.WriteText("t");
    out.WriteLine("");
    // More than a block goes out without a flush.
    const std::string longLine(TStreamText::kBufferSize + 10, 'L');
    out.WriteLine(longLine);
    const std::string written = "first\r\npart\r\n" + longLine + "\r\n";
    EXPECT_EQ(written.substr(0, ReadFileBytes(path).size()), ReadFileBytes(path));
    EXPECT_LE(longLine.size(), ReadFileBytes(path).size());

    // A reader at the end sees lines flushed after it got there.
    out.Flush();
    TKSFileStream in(path, kRead);
    EXPECT_EQ((Lines{"first", "part", longLine}),
              (Lines{in.ReadLine(), in.ReadLine(), in.ReadLine()}));
    EXPECT_TRUE(in.Eof());
    out.WriteLine("later");
    EXPECT_TRUE(in.Eof());
    out.Close();
    EXPECT_FALSE(in.Eof());
    EXPECT_EQ("later", in.ReadLine());
    EXPECT_TRUE(in.Eof());
    EXPECT_EQ(written + "later\r\n", ReadFileBytes(path));
    EXPECT_THROW(out.WriteLine("closed"), EInOutError);
}

TEST(KSFileStream, ReadersKeepTheirOwnPositions) {
    TempDir dir;
    const std::string a = dir.file("a.txt"), b = dir.file("b.txt");
    std::string textA, textB;
    for (int i = 0; i < 100; ++i) {
        textA += "a" + std::to_string(i) + std::string(static_cast<std::size_t>(i % 7), '.') + "\n";
        textB += "b" + std::to_string(i) + "\r\n";
    }
    WriteFileBytes(a, textA);
    WriteFileBytes(b, textB);
    TKSFileStream inA(a, kRead), inB(b, kRead), inA2(a, kRead);
    for (int i = 0; i < 100; ++i) {
        ASSERT_FALSE(inA.Eof());
        EXPECT_EQ("a" + std::to_string(i) + std::string(static_cast<std::size_t>(i % 7), '.'),
                  inA.ReadLine());
        ASSERT_FALSE(inB.Eof());
        EXPECT_EQ("b" + std::to_string(i), inB.ReadLine());
        if (i % 2 == 0) {
            EXPECT_EQ("a" + std::to_string(i / 2) +
                          std::string(static_cast<std::size_t>((i / 2) % 7), '.'),
                      inA2.ReadLine());
        }
    }
    EXPECT_TRUE(inA.Eof());
    EXPECT_TRUE(inB.Eof());
    EXPECT_FALSE(inA2.Eof());
}

TEST(KSFileStream, StreamsCanBeMovedWhileReading) {
    TempDir dir;
    const std::string path = dir.file("move.txt");
    WriteFileBytes(path, "one\ntwo\nthree\n");
    std::vector<TKSFileStream> readers;
    readers.emplace_back(path, kRead);
    EXPECT_EQ("one", readers[0].ReadLine());
    readers.emplace_back(path, kRead); // may move the first reader
    EXPECT_EQ("two", readers[0].ReadLine());
    EXPECT_EQ("one", readers[1].ReadLine());
    TKSFileStream moved = std::move(readers[0]);
    EXPECT_EQ("three", moved.ReadLine());
    EXPECT_EQ(3, moved.LineCount());
    EXPECT_TRUE(moved.Eof());
}

TEST(KSFileStream, WritingAStreamThatNeverOpenedFails) {
    TempDir dir;
    const std::string path = dir.file("no-such-folder/out.txt");
    {
        TKSFileStream out(path, kCreate);
        EXPECT_FALSE(out.Opened());
        EXPECT_THROW(out.WriteLine("x"), EWriteError);
    }
    {
        TKSFileStream out(path, kAppend);
        EXPECT_FALSE(out.Opened());
        EXPECT_THROW(out.WriteText(""), EWriteError);
        EXPECT_EQ(0, out.LineCount());
    }
}

TEST(KSFileStream, AFullDiskIsAWriteErrorNamingTheFile) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    {
        TKSFileStream out("/dev/full", kCreate);
        ASSERT_TRUE(out.Opened());
        out.WriteLine("lost");
        try {
            out.Close();
            ADD_FAILURE() << "closing wrote to a full disk";
        } catch (const EWriteError& e) {
            EXPECT_EQ("/dev/full", e.Path());
            EXPECT_NE(std::string::npos, e.Reason().find(std::strerror(ENOSPC))) << e.Reason();
        }
    }
    {
        TKSFileStream out("/dev/full", kCreate);
        out.WriteText("lost");
        EXPECT_THROW(out.Flush(), EWriteError);
        // A block that fills up fails where it is written.
        EXPECT_THROW(out.WriteText(std::string(TStreamText::kBufferSize + 1, 'x')), EWriteError);
        out.WriteLine("also lost");
        // Destruction after a failed write neither throws nor retries.
    }
}

TEST(KSFileStream, WrongDirection) {
    TempDir dir;
    const std::string path = dir.file("dir.txt");
    WriteFileBytes(path, "keep\n");
    {
        TKSFileStream in(path, kRead);
        EXPECT_THROW(in.WriteLine("x"), EInOutError);
        EXPECT_THROW(in.WriteText("x"), EInOutError);
        EXPECT_EQ("keep", in.ReadLine());
    }
    EXPECT_EQ("keep\n", ReadFileBytes(path));
    {
        TKSFileStream out(dir.file("other.txt"), kCreate);
        EXPECT_THROW(out.ReadLine(), EInOutError);
        EXPECT_THROW(out.Eof(), EInOutError);
    }
}

// The lines a reader must return for the given bytes, worked out byte by byte:
// CR is dropped everywhere, LF ends a line, and any byte after the last LF
// (even a lone CR) makes one more line.
Lines ExpectedLines(const std::string& bytes) {
    Lines lines;
    std::string current;
    bool pending = false;
    for (const char c : bytes) {
        pending = true;
        if (c == '\n') {
            lines.push_back(current);
            current.clear();
            pending = false;
        } else if (c != '\r') {
            current += c;
        }
    }
    if (pending) lines.push_back(current);
    return lines;
}

TEST(KSFileStream, RandomBytesReadBackByTheLineRules) {
    TempDir dir;
    const std::string path = dir.file("fuzz.bin");
    std::mt19937 random(20190228);
    std::uniform_int_distribution<int> kind(0, 9), byte(0, 255), length(0, 700);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (int round = 0; round < 250 && std::chrono::steady_clock::now() < deadline; ++round) {
        std::string bytes;
        const int size = round % 10 == 0 ? length(random) * 8 : length(random);
        for (int i = 0; i < size; ++i) {
            const int k = kind(random);
            bytes += k == 0   ? '\r'
                     : k == 1 ? '\n'
                     : k == 2 ? '\x1A'
                              : static_cast<char>(byte(random));
        }
        WriteFileBytes(path, bytes);
        const Lines read = ReadAll(path);
        ASSERT_EQ(ExpectedLines(bytes), read) << "round " << round;

        // What is written line by line reads back the same.
        {
            TKSFileStream out(path, kCreate);
            for (const std::string& line : read)
                out.WriteLine(line);
        }
        ASSERT_EQ(read, ReadAll(path)) << "round " << round;
    }
}

TEST(KSFileStream, AVeryLongLineIsReadWhole) {
    TempDir dir;
    const std::string path = dir.file("huge.txt");
    std::string line(3'000'000, 'n');
    for (std::size_t i = 0; i < line.size(); i += 997)
        line[i] = static_cast<char>('a' + i % 26);
    WriteFileBytes(path, line + "\r\nend");
    TKSFileStream in(path, kRead);
    EXPECT_EQ(line, in.ReadLine());
    EXPECT_EQ("end", in.ReadLine());
    EXPECT_TRUE(in.Eof());
}

} // namespace
} // namespace ks
