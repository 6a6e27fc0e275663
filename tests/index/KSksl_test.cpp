#include "index/KSksl.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace ks {
namespace {
namespace fs = std::filesystem;
using test::TempDir;
using test::WriteFileBytes;

const char* const kHeader = "[KESTRIN]\r\nversion=4.0\r\ntype=KSL\r\nformat=1\r\n";

class LayoutTest : public ::testing::Test {
protected:
    // Writes layout name into the temporary folder and loads it.
    bool LoadLayout(const std::string& body, const std::string& name = "classic.ksl") {
        path_ = dir_.file(name);
        WriteFileBytes(path_, body);
        return layout_.Load(path_, resources_);
    }

    TempDir dir_;
    std::string resources_ = dir_.file("Resource") + "/";
    std::string path_;
    TKSkslData layout_;
};

TEST_F(LayoutTest, LoadsGeneralDataAndEntries) {
    ASSERT_TRUE(LoadLayout(std::string(kHeader) +
                           "[General]\r\n"
                           "Title=Klassiek\r\n"
                           "comment1=Eerste regel\r\n"
                           "Comment2=Tweede regel\r\n"
                           "comment4=never read\r\n"
                           "askuser=indextype, title\r\n"
                           "[Templates]\r\n"
                           "1=index, index.tpl, #PREFIX!#NR!.htm, Index pages\r\n"
                           "2=list, list.tpl, #PREFIX!-list.htm, \"Names, places\"\r\n"
                           "4=never, read.tpl, x.htm, Never\r\n"
                           "[Files]\r\n"
                           "1=style, style.css, style.css, Style sheet\r\n"
                           "2=\r\n"
                           "3=logo, logo.gif, logo.gif, Logo\r\n"
                           "[Texts]\r\n"
                           "Footer=Made with care\r\n"));
    EXPECT_EQ(fs::path(path_).lexically_normal().string(), layout_.LayoutFile);
    EXPECT_EQ("Klassiek", layout_.Title);
    EXPECT_EQ("Eerste regel\r\nTweede regel\r\n", layout_.Comment);
    EXPECT_EQ("indextype, title", layout_.AskUser);
    EXPECT_TRUE(layout_.AsksFor("INDEXTYPE"));
    EXPECT_TRUE(layout_.AsksFor("TITLE"));
    EXPECT_FALSE(layout_.AsksFor("EMAIL"));
    EXPECT_FALSE(layout_.AsksFor("HOMEPAGE"));

    EXPECT_EQ(2, layout_.TemplateCount);
    EXPECT_EQ(1, layout_.FileCount);
    ASSERT_EQ(3, layout_.ItemCount());
    EXPECT_EQ(nullptr, layout_.Item(0));
    EXPECT_EQ(nullptr, layout_.Item(4));
    EXPECT_EQ(nullptr, layout_.Item(-1));

    const TKSkslFile* index = layout_.Item(1);
    ASSERT_NE(nullptr, index);
    EXPECT_EQ(TKSkslFile::kTemplate, index->Kind);
    EXPECT_EQ("index", index->Name);
    EXPECT_EQ("index.tpl", index->Source);
    EXPECT_EQ("#PREFIX!#NR!.htm", index->Output);
    EXPECT_EQ("Index pages", index->Caption);
    EXPECT_TRUE(index->Numbered);
    EXPECT_FALSE(index->Split);
    EXPECT_EQ(&layout_, &index->Owner());

    const TKSkslFile* list = layout_.Item(2);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ("\"Names, places\"", list->Caption);
    EXPECT_FALSE(list->Numbered);

    const TKSkslFile* style = layout_.Item(3);
    ASSERT_NE(nullptr, style);
    EXPECT_EQ(TKSkslFile::kPlainFile, style->Kind);
    EXPECT_EQ("style.css", style->Output);

    EXPECT_EQ(index, layout_.FindItem("INDEX"));
    EXPECT_EQ(style, layout_.FindItem("Style"));
    EXPECT_EQ(nullptr, layout_.FindItem("logo"));

    EXPECT_EQ("Made with care", layout_.LayoutText("FOOTER"));
    EXPECT_EQ("", layout_.LayoutText("Header"));
}

TEST_F(LayoutTest, HeaderDecidesWhetherAFileIsALayout) {
    EXPECT_TRUE(LoadLayout("[kestrin]\r\ntype=ksl\r\nformat=1\r\n"));
    EXPECT_EQ(0, layout_.ItemCount());
    EXPECT_EQ("", layout_.Title);
    EXPECT_FALSE(LoadLayout("[KESTRIN]\r\ntype=KSL\r\nformat=2\r\n"));
    EXPECT_FALSE(LoadLayout("[KESTRIN]\r\ntype=KSL\r\n"));
    EXPECT_FALSE(LoadLayout("[KESTRIN]\r\ntype=KSL\r\nformat=one\r\n"));
    EXPECT_FALSE(LoadLayout("[KESTRIN]\r\ntype=htx\r\nformat=1\r\n"));
    EXPECT_FALSE(LoadLayout("[General]\r\ntitle=x\r\n"));
    EXPECT_FALSE(layout_.Load(dir_.file("missing.ksl"), ""));
    // A failed load leaves nothing of an earlier one.
    EXPECT_TRUE(LoadLayout(std::string(kHeader) + "[Templates]\r\n1=a, a.tpl, a.htm, A\r\n"));
    EXPECT_FALSE(LoadLayout("[KESTRIN]\r\ntype=KSL\r\nformat=x\r\n"));
    EXPECT_EQ(0, layout_.ItemCount());
    EXPECT_EQ("", layout_.LayoutText("anything"));
}

TEST_F(LayoutTest, CharsetUtf8MakesUtf8PagesAnythingElseKeepsWindows1252) {
    for (const char* value : {"utf-8", "UTF-8", " Utf8 "}) {
        ASSERT_TRUE(LoadLayout(std::string(kHeader) + "[General]\r\ncharset=" + value + "\r\n"));
        EXPECT_TRUE(layout_.Utf8Pages()) << value;
    }
    for (const char* value : {"", "windows-1252", "utf-16", "utf"}) {
        ASSERT_TRUE(LoadLayout(std::string(kHeader) + "[General]\r\ncharset=" + value + "\r\n"));
        EXPECT_FALSE(layout_.Utf8Pages()) << value;
    }
    // The setting belongs to [General] only; a new load forgets the old one.
    ASSERT_TRUE(LoadLayout(std::string(kHeader) + "[General]\r\ncharset=utf-8\r\n"));
    ASSERT_TRUE(LoadLayout(std::string(kHeader) + "[Texts]\r\ncharset=utf-8\r\n"));
    EXPECT_FALSE(layout_.Utf8Pages());
    EXPECT_EQ("", layout_.Charset);
}

TEST(KSksl, EntryLinesSplitAtCommasOutsideQuotes) {
    using Fields = std::vector<std::string>;
    EXPECT_EQ((Fields{"index", "index.tpl", "#PREFIX!#NR!.htm", "Index pages"}),
              SplitEntryLine("  index ,index.tpl,  #PREFIX!#NR!.htm ,Index pages  "));
    EXPECT_EQ((Fields{"a", "b", "c", "\"x, y\""}), SplitEntryLine("a,b,c,\"x, y\""));
    EXPECT_EQ((Fields{"\"a,b\"", "c", "", ""}), SplitEntryLine("\"a,b\",c"));
    EXPECT_EQ((Fields{"a", "b", "c", "d"}), SplitEntryLine("a,b,c,d,e,f"));
    EXPECT_EQ((Fields{"", "", "", ""}), SplitEntryLine(""));
    EXPECT_EQ((Fields{"a", "", "c", ""}), SplitEntryLine("a,,c"));
    // An unclosed quote holds the rest of the line.
    EXPECT_EQ((Fields{"a", "\"b,c,d", "", ""}), SplitEntryLine("a,\"b,c,d"));
}

TEST_F(LayoutTest, OutputNamesWithPrefixAndPageNumbers) {
    ASSERT_TRUE(LoadLayout(std::string(kHeader) +
                           "[Templates]\r\n"
                           "1=index, index.tpl, #PREFIX!#NR!.htm, Index pages\r\n"
                           "2=lower, lower.tpl, p#nr!-#prefix!.htm, Lower\r\n"
                           "3=single, single.tpl, #Prefix!.htm , Single\r\n"
                           "4=parts, parts.tpl, #PREFIX!#part!.htm, Parts\r\n"));
    TKSkslFile& index = *layout_.Item(1);
    TKSkslFile& lower = *layout_.Item(2);
    TKSkslFile& single = *layout_.Item(3);
    EXPECT_TRUE(lower.Numbered);
    EXPECT_FALSE(single.Numbered);
    const auto name = [](const TKSkslFile& entry, int page, int32_t pageCount = 12) {
        return entry.OutputName("names", page, pageCount);
    };

    // Not split: the page marker disappears, the mask still has "*".
    EXPECT_EQ("names.htm", name(index, 1));
    EXPECT_EQ("names*.htm", name(index, TKSkslFile::kDeletionMask));

    index.SetSplit(true);
    EXPECT_TRUE(index.Split);
    EXPECT_EQ("names03.htm", name(index, 3));
    EXPECT_EQ("names12.htm", name(index, 12));
    EXPECT_EQ("names*.htm", name(index, TKSkslFile::kDeletionMask));
    EXPECT_EQ("names.htm", name(index, 0));

    EXPECT_EQ("names3.htm", name(index, 3, 9));
    EXPECT_EQ("names03.htm", name(index, 3, 10));
    EXPECT_EQ("names003.htm", name(index, 3, 999));
    EXPECT_EQ("names0003.htm", name(index, 3, 1000));
    EXPECT_EQ("names3.htm", name(index, 3, 0)); // no pages counted yet: one digit

    lower.SetSplit(true);
    EXPECT_EQ("p07-names.htm", name(lower, 7));
    EXPECT_EQ("p*-names.htm", name(lower, TKSkslFile::kDeletionMask));

    // Only a numbered entry can be split.
    single.SetSplit(true);
    EXPECT_FALSE(single.Split);
    EXPECT_EQ("names.htm", name(single, 2));
    EXPECT_EQ("names.htm", name(single, TKSkslFile::kDeletionMask));

    index.SetSplit(false);
    EXPECT_FALSE(index.Split);
    EXPECT_EQ("names.htm", name(index, 4));

    // Parsing again resets the split choice.
    lower.ParseLine("lower, lower.tpl, p#NR!.htm, Lower");
    EXPECT_FALSE(lower.Split);

    // In parts: the first part keeps the single name, so links to it hold.
    const TKSkslFile& parts = *layout_.Item(4);
    EXPECT_TRUE(parts.InParts && !parts.Numbered);
    EXPECT_EQ("names.htm", parts.OutputName("names", 1, 12, true));
    EXPECT_EQ("names_02.htm", parts.OutputName("names", 2, 12, true));
    EXPECT_EQ("names.htm", parts.OutputName("names", 2, 12, false));
    EXPECT_EQ("names*.htm", name(parts, TKSkslFile::kDeletionMask));
}

TEST_F(LayoutTest, SourcePathLiesBesideTheLayout) {
    ASSERT_TRUE(LoadLayout(std::string(kHeader) +
                           "[Templates]\r\n1=index, #prefix!-index.tpl, x.htm, Index\r\n"
                           "[Files]\r\n1=css, css/style.css, style.css, Style\r\n"));
    const std::string folder = fs::path(path_).lexically_normal().parent_path().string() + "/";
    EXPECT_EQ(folder + "names-index.tpl", layout_.Item(1)->SourcePath("names"));
    EXPECT_EQ(folder + "css/style.css", layout_.Item(2)->SourcePath("names"));
}

TEST_F(LayoutTest, PreviewPictureBesideTheLayoutOrInTheResources) {
    fs::create_directories(resources_);
    const std::string folder = fs::path(dir_.file("x")).lexically_normal().parent_path().string();
    WriteFileBytes(dir_.file("here.jpg"), "jpg");
    WriteFileBytes(resources_ + "shared.jpg", "jpg");
    WriteFileBytes(resources_ + "here.jpg", "other");

    ASSERT_TRUE(LoadLayout(std::string(kHeader) + "[General]\r\nimage=here.jpg\r\n"));
    EXPECT_EQ(folder + "/here.jpg", layout_.Image);
    ASSERT_TRUE(LoadLayout(std::string(kHeader) + "[General]\r\nimage=shared.jpg\r\n"));
    EXPECT_EQ(resources_ + "shared.jpg", layout_.Image);
    ASSERT_TRUE(LoadLayout(std::string(kHeader) + "[General]\r\nimage=none.jpg\r\n"));
    EXPECT_EQ("", layout_.Image);

    // Without an image key: the layout's own name with .jpg, else .bmp.
    ASSERT_TRUE(LoadLayout(kHeader, "plain.ksl"));
    EXPECT_EQ("", layout_.Image);
    WriteFileBytes(dir_.file("plain.bmp"), "bmp");
    ASSERT_TRUE(LoadLayout(kHeader, "plain.ksl"));
    EXPECT_EQ(folder + "/plain.bmp", layout_.Image);
    WriteFileBytes(dir_.file("plain.jpg"), "jpg");
    ASSERT_TRUE(LoadLayout(kHeader, "plain.ksl"));
    EXPECT_EQ(folder + "/plain.jpg", layout_.Image);
}

} // namespace
} // namespace ks
