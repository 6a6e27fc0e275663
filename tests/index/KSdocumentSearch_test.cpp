#include "index/KSdocumentSearch.h"

#include "builder/run/KSdocumentStore.h"
#include "builder/run/KSrunSetup.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace ks {
namespace {

using test::TempDir;
using test::WriteFileBytes;

std::string Header(const std::string& type, const std::string& format) {
    return "[KESTRIN]\r\nversion=3.22\r\ntype=" + type + "\r\nformat=" + format +
           "\r\n[metadata]\r\ntitle=T\r\n[indexdata]\r\nA\tAbel\tJan\t\t\t\t1\tp.htm#1\r\n";
}

// A tree with documents at three depths, names that sort differently by
// byte and by letter, hidden files and folders, a link back up, a folder
// named like a document, and files that are no index documents of format 1.
class KSdocumentSearch : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"b.htx", "a.htx", "B.htx", "sub/c.HTX", "sub/deeper/d.htx",
                                 "sub2/e.htx", ".hidden/h.htx", "sub/.x.htx", "dir.htx/f.htx"})
            Write(name, Header("htx", "1"));
        Write("sub/kind.htx", Header("ksl", "1"));
        Write("sub/format2.htx", Header("HTX", "2"));
        Write("sub/formatx.htx", Header("htx", "x"));
        Write("sub/notes.txt", Header("htx", "1"));
        Write("sub/empty.htx", "");
        // Name lists of other programs, and files only named like them.
        Write("sub/Gendex.TXT", "p.htm|BERG|Jan /Berg/|1800||1870||\n");
        Write("sub/deeper/tree.GED", "\xEF\xBB\xBF"
                                     "0 HEAD\r\n1 CHAR UTF-8\r\n0 TRLR\r\n");
        Write("sub/deeper/notes.ged", "some notes\n");
        Write("sub/deeper/gendex.txt.bak", "p.htm|BERG|Jan /Berg/|||||\n");
        Write(".hidden/gendex.txt", "p.htm|BERG|Jan /Berg/|||||\n");
        std::filesystem::create_directory_symlink(dir_.path(), dir_.path() / "sub" / "loop");
    }
    void Write(const std::string& name, const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(dir_.file(name)).parent_path());
        WriteFileBytes(dir_.file(name), text);
    }
    std::string Root() const { return dir_.path().string(); }

    TempDir dir_;
};

const std::vector<std::string> kAllInOrder = {
    "B.htx", "a.htx", "b.htx", "dir.htx/f.htx", "sub/c.HTX", "sub/deeper/d.htx", "sub2/e.htx"};

TEST_F(KSdocumentSearch, FindsTheDocumentsInOrderAndStopsWhenAsked) {
    // stopAt: the document after which the listener asks to stop (0: never).
    for (const std::size_t stopAt :
         {std::size_t(0), std::size_t(1), std::size_t(4), kAllInOrder.size()}) {
        SCOPED_TRACE("stop at " + std::to_string(stopAt));
        std::vector<std::string> found;
        const TKSdocumentSearchResult result =
            SearchIndexDocuments(Root(), [&](const std::string& path) {
                found.push_back(path);
                return found.size() != stopAt;
            });
        const std::size_t expected = stopAt == 0 ? kAllInOrder.size() : stopAt;
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < expected; ++i)
            paths.push_back(Root() + "/" + kAllInOrder[i]);
        EXPECT_EQ(found, paths);
        EXPECT_EQ(result.Found, expected);
        EXPECT_EQ(result.Stopped, stopAt != 0);
    }
}

// A listener that stops between files and folders, where no document is reported.
class StoppingListener : public TKSdocumentSearchListener {
public:
    explicit StoppingListener(int asks) : asks_(asks) {}
    bool DocumentFound(const std::string&) override {
        ++found;
        return true;
    }
    bool KeepSearching() override { return --asks_ > 0; }
    std::size_t found = 0;

private:
    int asks_;
};

TEST_F(KSdocumentSearch, StopsBetweenFilesAndFindsNothingInAMissingFolder) {
    // The root is listed (1st ask), then B.htx (2nd), a.htx (3rd) is tested.
    for (const auto& [asks, expected] : {std::pair{1, 0}, {2, 0}, {3, 1}, {4, 2}}) {
        SCOPED_TRACE(asks);
        StoppingListener listener(asks);
        const TKSdocumentSearchResult result = SearchIndexDocuments(Root(), listener);
        EXPECT_EQ(result.Found, std::size_t(expected));
        EXPECT_EQ(listener.found, std::size_t(expected));
        EXPECT_TRUE(result.Stopped);
    }
    const TKSdocumentSearchResult missing =
        SearchIndexDocuments(Root() + "/nowhere", [](const std::string&) { return true; });
    EXPECT_EQ(missing.Found, std::size_t(0));
    EXPECT_FALSE(missing.Stopped);
}

// Notes documents and name lists in one sequence, to show their order.
class RecordingListener : public TKSdocumentSearchListener {
public:
    explicit RecordingListener(std::size_t stopAt) : stopAt_(stopAt) {}
    bool DocumentFound(const std::string& path) override { return Note("htx " + path); }
    bool NameListFound(const std::string& path) override { return Note("list " + path); }
    std::vector<std::string> seen;

private:
    bool Note(const std::string& what) {
        seen.push_back(what);
        return seen.size() != stopAt_;
    }
    std::size_t stopAt_;
};

TEST_F(KSdocumentSearch, ReportsNameListsAfterTheDocumentsOfTheirFolder) {
    const std::vector<std::string> all = {"htx B.htx",
                                          "htx a.htx",
                                          "htx b.htx",
                                          "htx dir.htx/f.htx",
                                          "htx sub/c.HTX",
                                          "list sub/Gendex.TXT",
                                          "htx sub/deeper/d.htx",
                                          "list sub/deeper/notes.ged",
                                          "list sub/deeper/tree.GED",
                                          "htx sub2/e.htx"};
    // stopAt: the report after which the listener stops (0: never); a name
    // list can stop the search as a document can.
    for (const std::size_t stopAt : {std::size_t(0), std::size_t(6)}) {
        SCOPED_TRACE(stopAt);
        RecordingListener listener(stopAt);
        const TKSdocumentSearchResult result = SearchIndexDocuments(Root(), listener);
        std::vector<std::string> expected;
        for (std::size_t i = 0; i < (stopAt == 0 ? all.size() : stopAt); ++i) {
            const std::size_t blank = all[i].find(' ');
            expected.push_back(all[i].substr(0, blank + 1) + Root() + "/" +
                               all[i].substr(blank + 1));
        }
        EXPECT_EQ(listener.seen, expected);
        EXPECT_EQ(result.Found, stopAt == 0 ? kAllInOrder.size() : std::size_t(5));
        EXPECT_EQ(result.Stopped, stopAt != 0);
    }

    // Adding a folder to the document list: the documents are listed, the
    // name lists that are GEDCOM files or gendex.txt reported apart; one
    // imported since it last changed is not offered again.
    const std::vector<std::string> offered = {Root() + "/sub/Gendex.TXT",
                                              Root() + "/sub/deeper/tree.GED"};
    for (const bool imported : {false, true}) {
        SCOPED_TRACE(imported);
        if (imported) Write("sub/deeper/tree.htx", Header("htx", "1"));
        TKSdocumentList documents;
        RecordingListener listener(0);
        const TKSfolderDocuments added = AddFolderDocuments(Root(), documents, listener);
        EXPECT_EQ(documents.Count(), kAllInOrder.size() + (imported ? 1 : 0));
        EXPECT_EQ(added.NameLists, imported ? std::vector<std::string>{offered[0]} : offered);
    }
}

} // namespace
} // namespace ks
