#include "index/KSdocumentSearch.h"

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

} // namespace
} // namespace ks
