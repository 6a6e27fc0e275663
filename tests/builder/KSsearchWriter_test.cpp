#include "builder/writers/KSsearchWriter.h"

#include "builder/run/KSbuilder.h"
#include "builder/run/KSgenerate.h"
#include "builder/run/KSrunProgress.h"
#include "common/KSerrors.h"
#include "index/KShtxData.h"
#include "index/KSksl.h"

#include "support/ShippedTexts.h"
#include "support/TempDir.h"
#include "support/WriterTestKit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::FakeTemplateOutput;
using test::ReadFileBytes;
using test::WriteFileBytes;
using test::WriterWorld;

// The files of a folder (names and contents), without subfolders and
// without the record of what the run wrote.
std::map<std::string, std::string> Files(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& item : fs::directory_iterator(folder))
        // The records a complete run keeps beside its pages are no pages.
        if (item.is_regular_file() && item.path().filename() != ".kestrin-written" &&
            item.path().filename() != ".kestrin-digest")
            files[item.path().filename().string()] = ReadFileBytes(item.path().string());
    return files;
}

std::size_t Count(const std::string& text, const std::string& piece) {
    std::size_t n = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++n;
    return n;
}

// Two trees beside the output folder; the search data goes to idx_search.js.
class SearchDataTest : public ::testing::Test {
protected:
    SearchDataTest() {
        world.AddDocument("tree1/a.htx", "Tree one", 1);
        world.AddDocument("tree2/b.htx", "Tree \"two\"", 2);
        search = &world.AddEntry("search, search.tpl, idx_search.js, Search data", false);
        world.State().StartEntry(search, 1);
    }

    std::map<std::string, std::string> Write(const std::string& arguments = "",
                                             const std::string& folder = "out/",
                                             std::size_t sortBytes = kSearchSortBytes) {
        FakeTemplateOutput out(world.Root() + folder, {"idx_search.js"}, 2);
        WriteSearchData(world.Run(), out, arguments, sortBytes);
        return Files(world.Root() + folder);
    }

    WriterWorld world;
    TKSkslFile* search = nullptr;
};

TEST_F(SearchDataTest, WritesTheCatalogueAndAShardPerLetter) {
    world.WriteEntries({
        "B\tBerg, van den\tJan Pieter\t\t1850\t1910\t1\t1\t2\t0,p3.htm#i12|1,p7.htm#i9",
        "B\tBerg, van den\tAnna\t\t\t\t1\t2\t1\t1,sub\\p1.htm#i1",
        // A reference to no document of the list, and one without a link.
        "M\tM\xFCller\t\t\t1900\t\t1\t3\t1\t0,p.htm#m|5,x.htm|1,",
        // A person without a surname is found by the given names alone.
        "?\t?\tNiemand\t\t\t\t1\t4\t1\t0,p.htm#n",
        "?\t?\tAnna\t\t\t\t1\t6\t1\t0,p.htm#a",
        "V\tvan den Berg\tKees\t\t\t\t2\t5\t1\t0,../elders/p.htm#k",
    });
    const auto files = Write();
    // Two shards of surnames, two of sounds, five of given names, the
    // catalogue.
    ASSERT_EQ(10u, files.size()) << ::testing::PrintToString(files);
    // Both spellings of the prefix give the key berg; given names in order.
    EXPECT_EQ("KSsearch.shard(\"idx_search-b.js\",'[\\\n"
              "[\"berg\",\"Berg\",\"van den\",["
              "[\"Anna\",\"\",[1,\"sub/p1.htm#i1\"]],"
              "[\"Jan Pieter\",\"1850-1910\",[0,\"p3.htm#i12\",1,\"p7.htm#i9\"]]]],\\\n"
              "[\"berg\",\"van den Berg\",\"\",[[\"Kees\",\"\",[0,\"../elders/p.htm#k\"]]]]\\\n"
              "]');\n",
              files.at("idx_search-b.js"));
    // JSON in a single-quoted string: the backslashes of its escapes doubled.
    EXPECT_EQ("KSsearch.shard(\"idx_search-m.js\",'[\\\n"
              "[\"muller\",\"M\\\\u00fcller\",\"\",[[\"?\",\"1900-\",[0,\"p.htm#m\"]]]]\\\n"
              "]');\n",
              files.at("idx_search-m.js"));
    // Each person under each of its given names, the surname as written or
    // empty; the person as in the shards of surnames.
    EXPECT_EQ("KSsearch.shard(\"idx_search-given-n.js\",'[\\\n"
              "[\"niemand\",\"\",\"\",[[\"Niemand\",\"\",[0,\"p.htm#n\"]]]]\\\n"
              "]');\n",
              files.at("idx_search-given-n.js"));
    // Under a given name by surname key, those without a surname last.
    EXPECT_EQ("KSsearch.shard(\"idx_search-given-a.js\",'[\\\n"
              "[\"anna\",\"Berg\",\"van den\",[[\"Anna\",\"\",[1,\"sub/p1.htm#i1\"]]]],\\\n"
              "[\"anna\",\"\",\"\",[[\"Anna\",\"\",[0,\"p.htm#a\"]]]]\\\n"
              "]');\n",
              files.at("idx_search-given-a.js"));
    EXPECT_EQ("KSsearch.shard(\"idx_search-given-p.js\",'[\\\n"
              "[\"pieter\",\"Berg\",\"van den\",["
              "[\"Jan Pieter\",\"1850-1910\",[0,\"p3.htm#i12\",1,\"p7.htm#i9\"]]]]\\\n"
              "]');\n",
              files.at("idx_search-given-p.js"));
    // Each surname key under its sound keys, in shards by their first digit.
    EXPECT_EQ("KSsearch.shard(\"idx_search-sound-7.js\",'[\\\n"
              "[\"795000\",\"795000\",\"\",[[\"berg\"]]]\\\n"
              "]');\n",
              files.at("idx_search-sound-7.js"));
    EXPECT_NE(std::string::npos,
              files.at("idx_search.js")
                  .find("],\r\n"
                        "  \"sounds\":[\r\n"
                        "  [\"689000\",\"689000\",\"idx_search-sound-6.js\"],\r\n"
                        "  [\"795000\",\"795000\",\"idx_search-sound-7.js\"]\r\n"
                        "  ],\r\n"
                        "  \"given\":[\r\n"
                        "  [\"anna\",\"anna\",\"idx_search-given-a.js\"],\r\n"
                        "  [\"jan\",\"jan\",\"idx_search-given-j.js\"],\r\n"
                        "  [\"kees\",\"kees\",\"idx_search-given-k.js\"],\r\n"
                        "  [\"niemand\",\"niemand\",\"idx_search-given-n.js\"],\r\n"
                        "  [\"pieter\",\"pieter\",\"idx_search-given-p.js\"]\r\n"
                        "  ],\r\n"
                        "  \"shards\":[\r\n"))
        << files.at("idx_search.js");
    // The trees' folders are relative to the catalogue, in the output folder.
    const std::string catalogue = files.at("idx_search.js");
    EXPECT_EQ(0u,
              catalogue.find("  KSsearch.catalogue({\"format\":1,\r\n"
                             "  \"trees\":[\r\n"
                             "  {\"number\":1,\"title\":\"Tree one\",\"folder\":\"../tree1/\"},\r\n"
                             "  {\"number\":2,\"title\":\"Tree \\\"two\\\"\","
                             "\"folder\":\"../tree2/\"}\r\n"
                             "  ],\r\n"
                             "  \"prefixes\":[\"van\",\"de\",\"den\","))
        << catalogue;
    EXPECT_NE(std::string::npos, catalogue.find("],\r\n"
                                                "  \"shards\":[\r\n"
                                                "  [\"berg\",\"berg\",\"idx_search-b.js\"],\r\n"
                                                "  [\"muller\",\"muller\",\"idx_search-m.js\"]\r\n"
                                                "  ]});\r\n"))
        << catalogue;
}

TEST_F(SearchDataTest, LinksAreRelativeToTheOutputFolderWhereverTheTreesAre) {
    world.AddDocument("deep/er/tree3/c.htx", "Tree three", 3);
    world.AddDocument("out/tree4/d.htx", "Tree four", 4, false); // not part of the index
    world.WriteEntries({"B\tBos\tEva\t\t\t\t1\t1\t1\t0,p.htm#1|2,..\\x\\p.htm#2|3,q.htm#3"});
    const auto files = Write("", "out/sub/");
    const std::string catalogue = files.at("idx_search.js");
    EXPECT_NE(std::string::npos, catalogue.find("\"folder\":\"../../tree1/\"}")) << catalogue;
    EXPECT_NE(std::string::npos, catalogue.find("\"folder\":\"../../deep/er/tree3/\"}"));
    EXPECT_NE(std::string::npos, catalogue.find("\r\n  null\r\n  ],")) << catalogue;
    // A link that leaves its tree's folder is resolved like in the index.
    EXPECT_NE(std::string::npos,
              files.at("idx_search-b.js").find("[0,\"p.htm#1\",2,\"../x/p.htm#2\"]"));
}

// A link is judged as the tree gives it, before the script joins the tree's
// folder to it: one that is no path and no web address is null in any folder.
TEST_F(SearchDataTest, ALinkThatIsAScriptAsTheScriptJoinsItIsNull) {
    world.AddDocument("out/own.htx", "Own", 3);
    world.AddDocument("out/sub/deep.htx", "Deep", 4);
    world.WriteEntries({"B\tBos\tEva\t\t\t\t1\t1\t1\t"
                        "0,javascript:alert(1)|2,javascript:alert(2)|2,JAVASCRIPT:x|"
                        "2,\x01javascript:x|2,  data:text/html,x|3,../javascript:alert(3)|"
                        "3,../p.htm#3|2,p.htm#2|2,http://example.org/"});
    const auto files = Write();
    EXPECT_NE(std::string::npos,
              files.at("idx_search.js").find("\"title\":\"Own\",\"folder\":\"\"}"));
    const std::string shard = files.at("idx_search-b.js");
    EXPECT_NE(std::string::npos,
              shard.find("[0,null,2,null,2,null,2,null,2,null,3,null,"
                         "3,\"../p.htm#3\",2,\"p.htm#2\",2,\"http://example.org/\"]"))
        << shard;
}

TEST_F(SearchDataTest, ShardsSplitIntoTwoLettersAndPartsBelowTheLimit) {
    std::vector<std::string> entries;
    int record = 0;
    auto add = [&](const std::string& surname, int persons) {
        for (int i = 0; i < persons; ++i) {
            ++record;
            entries.push_back(surname.substr(0, 1) + "\t" + surname + "\tP" +
                              std::to_string(record) + "\t\t\t\t1\t" + std::to_string(record) +
                              "\t1\t0,p.htm#" + std::to_string(record));
        }
    };
    add("Bakker", 70);
    add("Berg", 5);
    add("Bos", 3);
    add("Jansen", 4);
    add("Bakker, de", 2);
    world.WriteEntries(entries);
    const auto files = Write("1");

    // B does not fit 1000 bytes: shards of two letters, Bakker in parts.
    std::vector<std::string> names;
    std::string given; // the shards of given names
    for (const auto& [name, text] : files) {
        if (name.starts_with("idx_search-given-")) {
            given += text;
            EXPECT_LE(text.size(), 1000u) << name;
            continue;
        }
        names.push_back(name);
    }
    EXPECT_EQ(
        (std::vector<std::string>{"idx_search-ba.js", "idx_search-ba_2.js", "idx_search-ba_3.js",
                                  "idx_search-be.js", "idx_search-bo.js", "idx_search-j.js",
                                  "idx_search-sound-1.js", "idx_search-sound-4.js",
                                  "idx_search-sound-7.js", "idx_search.js"}),
        names);
    std::string all;
    for (const auto& [name, text] : files) {
        if (name == "idx_search.js" || name.starts_with("idx_search-given-")) continue;
        EXPECT_LE(text.size(), 1000u) << name;
        EXPECT_EQ(0u, text.find("KSsearch.shard(\"" + name + "\",'[\\\n")) << name;
        all += text;
    }
    // Every person exactly once; a surname cut between parts starts again
    // in the next part.
    for (int i = 1; i <= record; ++i) {
        EXPECT_EQ(1u, Count(all, "[\"P" + std::to_string(i) + "\",")) << i;
        EXPECT_EQ(1u, Count(given, "[\"P" + std::to_string(i) + "\",")) << i;
    }
    EXPECT_EQ(1u, Count(files.at("idx_search-ba_2.js"), "[\"bakker\",\"Bakker\",\"\",["));
    EXPECT_EQ(1u, Count(files.at("idx_search-ba_3.js"), "[\"bakker\",\"Bakker\",\"de\",["));
    // The catalogue gives the keys of every shard, in order.
    const std::string catalogue = files.at("idx_search.js");
    EXPECT_NE(std::string::npos,
              catalogue.find("  [\"bakker\",\"bakker\",\"idx_search-ba.js\"],\r\n"
                             "  [\"bakker\",\"bakker\",\"idx_search-ba_2.js\"],\r\n"
                             "  [\"bakker\",\"bakker\",\"idx_search-ba_3.js\"],\r\n"
                             "  [\"berg\",\"berg\",\"idx_search-be.js\"],\r\n"
                             "  [\"bos\",\"bos\",\"idx_search-bo.js\"],\r\n"
                             "  [\"jansen\",\"jansen\",\"idx_search-j.js\"]\r\n"))
        << catalogue;
}

TEST_F(SearchDataTest, EveryFileIsAsciiAndTheSortBudgetChangesNothing) {
    std::vector<std::string> entries;
    for (int c = 0xA0; c <= 0xFF; ++c) {
        const std::string name(1, static_cast<char>(c));
        entries.push_back("X\tX" + name + "\tGiven " + name + "\t\t\t\t1\t" + std::to_string(c) +
                          "\t1\t0,p" + name + ".htm");
    }
    world.WriteEntries(entries);
    const auto files = Write("");
    const auto sortedOnDisk = Write("", "again/", 64);
    EXPECT_EQ(files.size(), sortedOnDisk.size());
    for (const auto& [name, text] : files) {
        for (char c : text)
            ASSERT_TRUE(static_cast<unsigned char>(c) < 0x80) << name;
        EXPECT_EQ(text, sortedOnDisk.at(name)) << name;
    }
}

TEST_F(SearchDataTest, OldShardsGoOtherFilesStay) {
    fs::create_directories(world.Root() + "out");
    WriteFileBytes(world.Root() + "out/idx_search-zz.js", "old");
    WriteFileBytes(world.Root() + "out/idx_search-b_9.js", "old");
    WriteFileBytes(world.Root() + "out/idx_searching.js", "mine");
    WriteFileBytes(world.Root() + "out/notes.txt", "mine");
    world.WriteEntries({"B\tBos\tEva\t\t\t\t1\t1\t1\t0,p.htm#1"});
    const auto files = Write();
    EXPECT_EQ(0u, files.count("idx_search-zz.js"));
    EXPECT_EQ(0u, files.count("idx_search-b_9.js"));
    EXPECT_EQ("mine", files.at("idx_searching.js"));
    EXPECT_EQ("mine", files.at("notes.txt"));
    EXPECT_EQ(1u, files.count("idx_search-b.js"));
}

TEST_F(SearchDataTest, ShardsNeverTakeTheNameOfAnotherOutput) {
    const test::ShippedTexts english("GB"); // the messages are read in English
    world.AddEntry("pages, p.tpl, idx_search-#NR!.js, Pages", true);
    world.WriteEntries({"B\tBos\tEva\t\t\t\t1\t1\t1\t0,p.htm#1"});
    world.Layout().LayoutFile = "/layouts/l.ksl";
    try {
        Write();
        FAIL() << "no error";
    } catch (const EKSError& e) {
        EXPECT_EQ("/layouts/l.ksl", e.Path());
        EXPECT_EQ("the search data of entry \"search\" would overwrite the output of entry "
                  "\"pages\" (idx_search-*.js)",
                  e.Reason());
    }
}

TEST_F(SearchDataTest, YearsAreLeftOutWhenDuplicatesIgnoreThem) {
    world.Settings().DuplicatesIgnoreYears = true;
    world.WriteEntries({"B\tBos\tEva\t\t1901\t1950\t1\t1\t1\t0,p.htm#1"});
    EXPECT_NE(std::string::npos, Write().at("idx_search-b.js").find("[\"Eva\",\"\",[0,"));
}

// A whole run: a layout with the search entry writes the same pages as the
// layout without it, and only the search data besides.
class SearchRunTest : public ::testing::Test {
protected:
    SearchRunTest() {
        fs::create_directories(dir.file("trees/tree1"));
        fs::create_directories(dir.file("layout"));
        fs::create_directories(dir.file("tmp"));
        WriteFileBytes(dir.file("trees/tree1/tree1.htx"),
                       "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n[metadata]\r\n"
                       "title=Tree one\r\n[indexdata]\r\n"
                       "B\tBerg, van den\tJan\t\t1850\t1910\t1\tp1.htm#i1\r\n"
                       "B\tBos\tEva\t\t1901\t\t3\tp1.htm#i3\r\n"
                       "J\tJansen\tPiet\t\t\t\t2\tp1.htm#i2\r\n");
        WriteFileBytes(dir.file("layout/index.tpl"),
                       "<p>#LINKPREV(index,_self)!#LINKNEXT(index,_self)!</p>\r\n"
                       "  #INDEXKEYS(index)!\r\n  #INDEXDATA!\r\n");
        WriteFileBytes(dir.file("layout/start.tpl"),
                       "<p>#TITLE$!</p>\r\n  #REPORTLIST(id,title,count)!\r\n"
                       "  #NAMELIST(index)!\r\n");
        WriteFileBytes(dir.file("layout/search.tpl"), "// data\r\n#SEARCHDATA!\r\n");
    }

    std::map<std::string, std::string> Build(const std::string& out, bool withSearch) {
        WriteFileBytes(
            dir.file("layout/l.ksl"),
            std::string("[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[General]\r\ntitle=L\r\n"
                        "[Templates]\r\n1=start, start.tpl, #PREFIX!.htm, Start\r\n"
                        "2=index, index.tpl, #PREFIX!#NR!.htm, Index\r\n") +
                (withSearch ? "3=search, search.tpl, #PREFIX!_search.js, Search\r\n" : ""));
        TKSkslData layout;
        EXPECT_TRUE(layout.Load(dir.file("layout/l.ksl"), dir.file("res/")));
        layout.FindItem("index")->SetSplit(true);
        TKShtxData tree(dir.file("trees/tree1/tree1.htx"));
        TKSrunSettings settings;
        settings.Documents.push_back({&tree, true});
        settings.Layout = &layout;
        settings.OutputFolder = dir.file(out);
        settings.BaseName = "idx";
        settings.Title = "Title";
        settings.TempFolder = dir.file("tmp") + "/";
        fs::create_directories(dir.file(out));
        TKSbuilder builder(settings);
        TKSquietRunProgress progress;
        const TKSrunResult result = TKSgenerator(builder, progress).GenerateIndex();
        EXPECT_FALSE(result.Failed) << result.Error;
        return Files(dir.file(out));
    }

    test::TempDir dir;
};

TEST_F(SearchRunTest, ALayoutWithoutTheSearchWritesTheSamePages) {
    const auto without = Build("without", false);
    const auto with = Build("with", true);
    ASSERT_EQ(3u, without.size()); // idx.htm, idx1.htm, idx2.htm
    for (const auto& [name, text] : without)
        EXPECT_EQ(text, with.count(name) ? with.at(name) : "(missing)") << name;
    std::vector<std::string> extra;
    for (const auto& [name, text] : with)
        if (!without.count(name)) extra.push_back(name);
    EXPECT_EQ((std::vector<std::string>{
                  "idx_search-b.js", "idx_search-given-e.js", "idx_search-given-j.js",
                  "idx_search-given-p.js", "idx_search-j.js", "idx_search-sound-1.js",
                  "idx_search-sound-4.js", "idx_search-sound-7.js", "idx_search.js"}),
              extra);
    EXPECT_EQ(0u, with.at("idx_search.js").find("// data\r\nKSsearch.catalogue({"));
    EXPECT_NE(std::string::npos, with.at("idx_search.js").find("\"folder\":\"../trees/tree1/\""));
    // The temporary folder keeps nothing of the search.
    EXPECT_TRUE(fs::is_empty(dir.file("tmp")));
}

} // namespace
} // namespace ks
