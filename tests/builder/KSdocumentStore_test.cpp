// The document list kept between runs in the per-user store.
#include "builder/run/KSdocumentStore.h"

#include "builder/run/KSrunSetup.h"
#include "common/KSini.h"
#include "common/KSregstore.h"
#include "index/KShtxData.h"

#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::WriteFileBytes;

const char* const kTree = "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n[metadata]\r\n"
                          "title=T\r\n[indexdata]\r\n";
const std::string kWizardKey = "\\Software\\KESTRIN\\4.0\\NL\\HTMLwiz\\";
const std::string kListKey = kWizardKey + "SelectedHTXfile_items";

class DocumentStoreTest : public ::testing::Test {
protected:
    DocumentStoreTest() : config_("XDG_CONFIG_HOME", dir.file("config")) {
        RegistryStore::Instance().Reload();
        for (const char* name : {"a.htx", "b.htx", "c.htx", "tree/e.htx"}) {
            fs::create_directories(fs::path(dir.file(name)).parent_path());
            WriteFileBytes(dir.file(name), kTree);
        }
        WriteFileBytes(dir.file("tree/notes.htx"), "no index document\r\n");
    }
    ~DocumentStoreTest() override { RegistryStore::Instance().Reload(); }

    std::vector<std::string> Paths(const TKSdocumentList& list) {
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < list.Count(); ++i)
            paths.push_back(list.Document(i).FileName + (list.Selected(i) ? "+" : "-") +
                            list.WebAddress(i));
        return paths;
    }

    test::TempDir dir;

private:
    test::ScopedEnv config_;
};

TEST_F(DocumentStoreTest, TheStoredFormIsReadBackWithTicksOrderAndTheSelectedLine) {
    TKSdocumentList list;
    list.Add(dir.file("c.htx"), true);
    list.Add(dir.file("a.htx"), false);
    list.Add(dir.file("b.htx"), true);
    list.SetWebAddress(1, "https://example.org/a");
    StoreDocuments(list, 1, kWizardKey, "SelectedHTXfile_items");
    {
        // A web address beside the line, which keeps the form it always had.
        TKSreg stored(kListKey);
        EXPECT_EQ("1," + dir.file("c.htx"), stored.ReadString("0"));
        EXPECT_EQ("0," + dir.file("a.htx"), stored.ReadString("1"));
        EXPECT_EQ("https://example.org/a", stored.ReadString("url1"));
        EXPECT_EQ("", stored.ReadString("url0"));
        EXPECT_EQ("1", stored.ReadString("current"));
        EXPECT_EQ("", stored.ReadString("3"));
    }
    TKSdocumentList restored;
    EXPECT_EQ(1, RestoreDocuments(kListKey, restored));
    EXPECT_EQ(Paths(list), Paths(restored));

    // Storing again replaces the list: no line or address of the longer one is left.
    list.Remove(0);
    list.SetWebAddress(0, "");
    StoreDocuments(list, -1, kWizardKey, "SelectedHTXfile_items");
    TKSdocumentList shorter;
    EXPECT_EQ(-1, RestoreDocuments(kListKey, shorter));
    EXPECT_EQ(Paths(list), Paths(shorter));
}

// A list stored before addresses existed reads as documents without one.
TEST_F(DocumentStoreTest, RestoringPassesOverWhatIsGoneListedOrNoDocument) {
    {
        TKSreg stored(kListKey);
        stored.WriteString("0", "1," + dir.file("gone.htx"));
        stored.WriteString("1", "0," + dir.file("tree/notes.htx"));
        stored.WriteString("2", "1," + dir.file("a.htx"));
        stored.WriteString("3", "0," + dir.file("./b.htx"));
        stored.WriteString("4", "1," + dir.file("c.htx"));
        stored.WriteString("url4", "https://example.org/c");    // c is listed: kept as it is
        stored.WriteString("6", "1," + dir.file("tree/e.htx")); // after a gap: not read
        stored.WriteString("current", "3");
    }
    TKSdocumentList list;
    list.Add(dir.file("c.htx"), false);
    EXPECT_EQ(2, RestoreDocuments(kListKey, list)); // the stored line 3, b
    EXPECT_EQ((std::vector<std::string>{dir.file("c.htx") + "-", dir.file("a.htx") + "+",
                                        dir.file("b.htx") + "-"}),
              Paths(list));
}

TEST_F(DocumentStoreTest, AddingOneDocumentGivesItsPlaceNewOrOld) {
    TKSdocumentList list;
    EXPECT_EQ(0, AddIndexDocument(list, dir.file("a.htx")));
    EXPECT_EQ(1, AddIndexDocument(list, dir.file("b.htx")));
    EXPECT_EQ(0, AddIndexDocument(list, dir.file("tree/../a.htx")));
    EXPECT_EQ(-1, AddIndexDocument(list, dir.file("tree/notes.htx")));
    EXPECT_EQ(-1, AddIndexDocument(list, dir.file("gone.htx")));
    EXPECT_EQ(2u, list.Count());
}

} // namespace
} // namespace ks

namespace ks {
namespace {

// A tree given by its address is listed, stored and read back as the
// address; one that cannot be fetched is listed with the reason, and text
// that is no address to fetch is refused.
TEST_F(DocumentStoreTest, AddressesAreListedStoredAndReadBackAsAddresses) {
    const test::ScopedEnv cache("XDG_CACHE_HOME", dir.file("cache"));
    const std::string address = "https://127.0.0.1:1/trees/t.htx"; // nothing listens there
    TKSdocumentList list;
    AddIndexDocument(list, dir.file("a.htx"));
    EXPECT_EQ(1, AddAddressDocument(list, "  " + address + " ", dir.file("tmp")));
    EXPECT_EQ(1, AddAddressDocument(list, address, dir.file("tmp")));
    EXPECT_TRUE(list.IsAddress(1));
    EXPECT_NE(std::string::npos, list.FetchProblem(1).find("127.0.0.1")) << list.FetchProblem(1);
    for (const char* text : {"http://127.0.0.1:1/t.htx", "https://127.0.0.1:1/a b.htx", "t.htx"}) {
        std::string problem;
        EXPECT_EQ(-1, AddAddressDocument(list, text, dir.file("tmp"), &problem)) << text;
        EXPECT_NE(std::string::npos, problem.find(text)) << problem;
    }
    list.SetSelected(1, false);
    StoreDocuments(list, 1, kWizardKey, "SelectedHTXfile_items");
    TKSdocumentList restored;
    EXPECT_EQ(1, RestoreDocuments(kListKey, restored));
    ASSERT_EQ(2u, restored.Count());
    EXPECT_TRUE(restored.IsAddress(1));
    EXPECT_EQ(address, restored.GivenPath(1));
    EXPECT_FALSE(restored.Selected(1));
    EXPECT_FALSE(restored.IsAddress(0));
}

} // namespace
} // namespace ks
