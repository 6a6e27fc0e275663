#include "common/KSini.h"

#include "common/KSerrors.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

int EntriesIn(const fs::path& folder) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++count;
    return count;
}

std::string ReadAt(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& def = "<default>") {
    TKSini ini;
    ini.Open(path);
    ini.SetSection(section);
    std::string value = ini.ReadString(key, def);
    ini.Close();
    return value;
}

const char kDocument[] = "[KESTRIN]\r\n"
                         "version=3.22\r\n"
                         "type=htx\r\n"
                         "format=1\r\n"
                         "\r\n"
                         "[userdata]\r\n"
                         "usernr=  42 \r\n"
                         "username=\"Jan de Vries\"\r\n"
                         "empty=\r\n"
                         "[metadata]\r\n"
                         "title=Oude titel\r\n"
                         "[indexdata]\r\n";

TEST(TKSini, ReadsHeaderAndKeysOfADocument) {
    TempDir dir;
    WriteFileBytes(dir.file("doc.htx"), kDocument);
    TKSini ini;
    ini.Open(dir.file("doc.htx"));
    ini.SetSection("USERDATA");
    EXPECT_EQ("3.22", ini.ReadVersion());
    EXPECT_EQ("htx", ini.ReadType());
    EXPECT_EQ("1", ini.ReadFormat());
    EXPECT_EQ("USERDATA", ini.Section()); // the header readers leave the section alone
    EXPECT_EQ("Jan de Vries", ini.ReadString("UserName", "x"));
    EXPECT_EQ(42, ini.ReadInteger("usernr", 7));
    EXPECT_EQ(7, ini.ReadInteger("missing", 7));
    // Present but empty: the empty text, not the default.
    EXPECT_TRUE(ini.ValueExists("empty"));
    EXPECT_EQ("", ini.ReadString("empty", "x"));
    EXPECT_FALSE(ini.ValueExists("title"));
    ini.SetSection("?");
    EXPECT_EQ("USERDATA", ini.Section());
    ini.Close();
}

TEST(TKSini, MissingOrUnreadableFilesReadAsEmpty) {
    TempDir dir;
    for (const std::string& name : {dir.file("missing.ini"), dir.path().string(),
                                    dir.file("no/such/folder.ini"), std::string("/dev/zero")}) {
        TKSini ini;
        ini.Open(name);
        ini.SetSection("KESTRIN");
        EXPECT_EQ(name, ini.FileName());
        EXPECT_EQ("", ini.ReadType());
        EXPECT_EQ("def", ini.ReadString("type", "def"));
        EXPECT_FALSE(ini.ValueExists("type"));
        EXPECT_EQ(5, ini.ReadInteger("format", 5));
        ini.Close();
    }
    // Writing to a folder's name changes nothing.
    TKSini folder;
    folder.Open(dir.path().string());
    folder.SetSection("s");
    folder.WriteString("k", "v");
    EXPECT_TRUE(fs::is_directory(dir.path()));
    EXPECT_EQ(0, EntriesIn(dir.path()));
}

TEST(TKSini, OpenNamesTheFile) {
    TempDir dir;
    TKSini ini;
    ini.Open("");
    fs::path exe = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ((exe.parent_path() / "kscore_tests.INI").string(), ini.FileName());

    WriteFileBytes(dir.file("a.ini"), "[s]\nk=1\n");
    ini.Open(dir.file("a.ini"));
    ini.SetSection("s");
    EXPECT_EQ("1", ini.ReadString("k", ""));
    // "?" keeps the name and reads the file again.
    WriteFileBytes(dir.file("a.ini"), "[s]\nk=2\n");
    EXPECT_EQ("1", ini.ReadString("k", "")); // read once per Open
    ini.Open("?");
    EXPECT_EQ(dir.file("a.ini"), ini.FileName());
    EXPECT_EQ("2", ini.ReadString("k", ""));
    ini.Close();
}

TEST(TKSini, ReadIntegerRaisesOnAnythingButAWholeNumber) {
    TempDir dir;
    WriteFileBytes(dir.file("n.ini"), "[n]\nplus=+5\nminus=-7\nbig=2147483647\n"
                                      "abc=abc\nempty=\ntail=12x\nhuge=2147483648\n"
                                      "hex=$1F\nfraction=1.5\nsigns=+-1\n");
    TKSini ini;
    ini.Open(dir.file("n.ini"));
    ini.SetSection("n");
    EXPECT_EQ(5, ini.ReadInteger("plus", 0));
    EXPECT_EQ(-7, ini.ReadInteger("minus", 0));
    EXPECT_EQ(2147483647, ini.ReadInteger("big", 0));
    EXPECT_EQ(-3, ini.ReadInteger("absent", -3));
    try {
        ini.ReadInteger("abc", 0);
        ADD_FAILURE() << "no error for abc";
    } catch (const EConvertError& e) {
        EXPECT_STREQ("'abc' is not a valid integer value", e.what());
    }
    for (const char* key : {"empty", "tail", "huge", "hex", "fraction", "signs"})
        EXPECT_THROW(ini.ReadInteger(key, 0), EConvertError) << key;
    ini.Close();
}

TEST(TKSini, WriteCreatesAFileWithCrLf) {
    TempDir dir;
    TKSini ini;
    ini.Open(dir.file("new.ini"));
    ini.SetSection("metadata");
    ini.WriteString("title", "Nieuw");
    ini.WriteString("created", "28-02-2019");
    ini.SetSection("KESTRIN");
    ini.WriteString("type", "htx");
    EXPECT_EQ("htx", ini.ReadType()); // its own writes are read at once
    ini.Close();
    EXPECT_EQ("[metadata]\r\ntitle=Nieuw\r\ncreated=28-02-2019\r\n\r\n[KESTRIN]\r\ntype=htx\r\n",
              ReadFileBytes(dir.file("new.ini")));
    EXPECT_EQ(1, EntriesIn(dir.path())); // no temporary file left
}

TEST(TKSini, RetitlingALargeDocumentChangesOneLineOnly) {
    TempDir dir;
    std::string before = kDocument;
    // About 5 MB of index lines, some with LF endings, "=" and "[" inside.
    std::string line = "Vries\tJan de\t[1850]\tA=B\t";
    for (int i = 0; before.size() < 5 * 1024 * 1024; ++i)
        before += line + std::to_string(i) + (i % 7 == 0 ? "\n" : "\r\n");
    before += "Zwart\tlast line without break";
    const std::string path = dir.file("big.htx");
    WriteFileBytes(path, before);
    ASSERT_EQ(0, ::chmod(path.c_str(), 0640));

    TKSini ini;
    ini.Open(path);
    ini.SetSection("metadata");
    ini.WriteString("title", "Nieuwe titel");
    EXPECT_EQ("Nieuwe titel", ini.ReadString("title", ""));
    ini.Close();

    const std::string after = ReadFileBytes(path);
    const std::string oldLine = "title=Oude titel\r\n";
    const std::string newLine = "title=Nieuwe titel\r\n";
    std::size_t at = before.find(oldLine);
    ASSERT_NE(std::string::npos, at);
    ASSERT_EQ(before.size() - oldLine.size() + newLine.size(), after.size());
    EXPECT_TRUE(after.compare(0, at, before, 0, at) == 0);
    EXPECT_EQ(newLine, after.substr(at, newLine.size()));
    EXPECT_TRUE(
        after.compare(at + newLine.size(), std::string::npos, before, at + oldLine.size()) == 0);
    EXPECT_EQ(fs::perms(0640), fs::status(path).permissions() & fs::perms::mask);
    EXPECT_EQ(1, EntriesIn(dir.path()));
}

TEST(TKSini, NewSectionOfADocumentGoesBeforeItsIndexLines) {
    TempDir dir;
    WriteFileBytes(dir.file("d.htx"), "[KESTRIN]\ntype=htx\n[indexdata]\nA\tB=C\n");
    TKSini ini;
    ini.Open(dir.file("d.htx"));
    ini.SetSection("metadata");
    ini.WriteString("title", "T");
    ini.Close();
    EXPECT_EQ("[KESTRIN]\ntype=htx\n\n[metadata]\ntitle=T\n\n[indexdata]\nA\tB=C\n",
              ReadFileBytes(dir.file("d.htx")));
}

TEST(TKSini, ChangesMadeByOthersAfterOpenAreKept) {
    TempDir dir;
    const std::string path = dir.file("shared.ini");
    WriteFileBytes(path, "[s]\r\na=1\r\n");
    TKSini ini;
    ini.Open(path);
    ini.SetSection("s");
    WriteFileBytes(path, "[s]\r\na=1\r\nb=someone else\r\n");
    ini.WriteString("c", "3");
    ini.Close();
    EXPECT_EQ("[s]\r\na=1\r\nb=someone else\r\nc=3\r\n", ReadFileBytes(path));
}

TEST(TKSini, WritingThroughALinkChangesItsTarget) {
    TempDir dir;
    WriteFileBytes(dir.file("target.ini"), "[s]\nk=1\n");
    fs::create_symlink("target.ini", dir.path() / "link.ini");
    TKSini ini;
    ini.Open(dir.file("link.ini"));
    ini.SetSection("s");
    ini.WriteString("k", "2");
    ini.Close();
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.ini"));
    EXPECT_EQ("[s]\nk=2\n", ReadFileBytes(dir.file("target.ini")));
}

// Lowers the largest file size this process may write, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int);
};

TEST(TKSini, AFailedWriteLeavesTheFileUntouched) {
    TempDir dir;
    const std::string path = dir.file("doc.htx");
    std::string original = std::string(kDocument) + std::string(100000, 'x') + "\r\n";
    WriteFileBytes(path, original);
    TKSini ini;
    ini.Open(path);
    ini.SetSection("metadata");
    {
        FileSizeLimit limit(50000);
        ini.WriteString("title", "Nieuwe titel");
    }
    // Read back, as callers do to learn whether the write succeeded.
    EXPECT_EQ("Oude titel", ini.ReadString("title", ""));
    ini.Close();
    EXPECT_EQ(original, ReadFileBytes(path));
    EXPECT_EQ(1, EntriesIn(dir.path()));
}

TEST(TKSini, ReadOnlyFilesAreNotRewritten) {
    if (::geteuid() == 0) GTEST_SKIP() << "the superuser may write any file";
    TempDir dir;
    const std::string path = dir.file("ro.ini");
    WriteFileBytes(path, "[s]\nk=1\n");
    ASSERT_EQ(0, ::chmod(path.c_str(), 0444));
    TKSini ini;
    ini.Open(path);
    ini.SetSection("s");
    ini.WriteString("k", "2");
    EXPECT_EQ("1", ini.ReadString("k", ""));
    ini.Close();
    EXPECT_EQ("[s]\nk=1\n", ReadFileBytes(path));
}

TEST(TKSini, BadInputIsReadByTheSameRules) {
    TempDir dir;
    std::string garbage;
    for (int i = 0; i < 100000; ++i)
        garbage += static_cast<char>((i * 7919) % 251);
    WriteFileBytes(dir.file("g.ini"), garbage + "\n[s]\nk=\xE9\xFF\x80 ok\n");
    EXPECT_EQ("\xE9\xFF\x80 ok", ReadAt(dir.file("g.ini"), "s", "k"));

    WriteFileBytes(dir.file("nosections.ini"), "k=1\nj=2\n");
    EXPECT_EQ("<default>", ReadAt(dir.file("nosections.ini"), "", "k"));
}

// The per-user store in a private folder for the length of one test.
class TKSregTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) oldConfig_ = old;
        setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1);
        RegistryStore::Instance().Reload();
    }
    void TearDown() override {
        if (oldConfig_) {
            setenv("XDG_CONFIG_HOME", oldConfig_->c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
        RegistryStore::Instance().Reload();
    }
    static void ReadAgainFromFile() { RegistryStore::Instance().Reload(); }

    TempDir dir_;
    std::optional<std::string> oldConfig_;
};

const char kWizardKey[] = "\\Software\\KESTRIN\\4.0\\NL\\HTMLwiz\\";

TEST_F(TKSregTest, OpenKeysSeeEachOthersWrites) {
    TKSreg wizard(kWizardKey);
    TKSreg same("\\software\\kestrin\\4.0\\nl\\htmlwiz");
    TKSreg parent("\\Software\\KESTRIN\\4.0\\");
    wizard.WriteString("Directory", "/home/jan/index/");
    EXPECT_EQ("/home/jan/index/", same.ReadString("DIRECTORY"));
    EXPECT_TRUE(same.ValueExists("directory"));
    parent.WriteString("Language", "NL");
    EXPECT_FALSE(wizard.ValueExists("Language"));
    EXPECT_EQ("", wizard.ReadString("Language")); // missing: empty, no error
    same.WriteString("Directory", "/tmp/");
    EXPECT_EQ("/tmp/", wizard.ReadString("Directory"));
    wizard.Close();
    same.Close();
    parent.Close();

    ASSERT_FALSE(RegistryStore::Instance().Save()); // all at once
    ReadAgainFromFile();
    TKSreg again(kWizardKey);
    EXPECT_EQ("/tmp/", again.ReadString("Directory"));
    again.Close();
    TKSreg language("\\Software\\KESTRIN\\4.0");
    EXPECT_EQ("NL", language.ReadString("Language"));
}

TEST_F(TKSregTest, DeleteKeyThenCreateKeyLeavesAnEmptySubkey) {
    TKSreg wizard(kWizardKey);
    {
        TKSreg list(std::string(kWizardKey) + "SelectedHTXfile_items");
        list.WriteString("current", "0");
        list.WriteString("0", "1,/data/a.htx");
        TKSreg nested(std::string(kWizardKey) + "SelectedHTXfile_items\\deeper");
        nested.WriteString("x", "y");
    }
    EXPECT_TRUE(wizard.DeleteKey("SelectedHTXfile_items"));
    EXPECT_FALSE(wizard.DeleteKey("SelectedHTXfile_items")); // gone already
    EXPECT_TRUE(wizard.CreateKey("SelectedHTXfile_items"));
    TKSreg list(std::string(kWizardKey) + "SelectedHTXfile_items");
    EXPECT_FALSE(list.ValueExists("current"));
    EXPECT_EQ("", list.ReadString("0"));
    TKSreg nested(std::string(kWizardKey) + "SelectedHTXfile_items\\deeper");
    EXPECT_FALSE(nested.ValueExists("x"));
}

TEST_F(TKSregTest, AbsoluteKeyNamesAndTheOpenKeyItself) {
    TKSreg wizard(kWizardKey);
    EXPECT_TRUE(wizard.CreateKey(std::string(kWizardKey) + "Sub"));
    {
        TKSreg sub(std::string(kWizardKey) + "sub");
        sub.WriteString("v", "1");
    }
    EXPECT_TRUE(wizard.DeleteKey(std::string(kWizardKey) + "SUB\\"));
    EXPECT_FALSE(wizard.DeleteKey(""));
    EXPECT_FALSE(wizard.DeleteKey("\\"));
    EXPECT_TRUE(wizard.CreateKey(""));
    wizard.WriteString("still", "there");
    EXPECT_EQ("there", wizard.ReadString("still"));
}

TEST_F(TKSregTest, DeleteValueTellsWhetherThereWasOne) {
    TKSreg key(kWizardKey);
    key.WriteString("Searchdir", "/home");
    EXPECT_TRUE(key.DeleteValue("searchdir"));
    EXPECT_FALSE(key.DeleteValue("searchdir"));
    EXPECT_FALSE(key.ValueExists("Searchdir"));
}

TEST_F(TKSregTest, AKeyThatCannotBeOpenedIsHarmless) {
    TKSreg bad("\\Software\\" + std::string(300, 'x'));
    bad.WriteString("v", "1");
    EXPECT_EQ("", bad.ReadString("v"));
    EXPECT_FALSE(bad.ValueExists("v"));
    EXPECT_FALSE(bad.CreateKey("sub"));
    EXPECT_FALSE(bad.DeleteKey("sub"));
    EXPECT_FALSE(bad.DeleteValue("v"));
    bad.Close();

    // A key deleted under an open TKSreg behaves the same; creating it again
    // does not bring the old one back.
    TKSreg wizard(kWizardKey);
    TKSreg sub(std::string(kWizardKey) + "sub");
    sub.WriteString("v", "1");
    ASSERT_TRUE(wizard.DeleteKey("sub"));
    ASSERT_TRUE(wizard.CreateKey("sub"));
    sub.WriteString("w", "2");
    EXPECT_EQ("", sub.ReadString("v"));
    EXPECT_FALSE(sub.ValueExists("w"));
    EXPECT_FALSE(sub.CreateKey("deeper"));
    TKSreg fresh(std::string(kWizardKey) + "sub");
    EXPECT_FALSE(fresh.ValueExists("w"));

    // After Close nothing is read or written.
    wizard.Close();
    wizard.WriteString("after", "close");
    EXPECT_EQ("", wizard.ReadString("after"));
    TKSreg check(kWizardKey);
    EXPECT_FALSE(check.ValueExists("after"));
}

} // namespace
} // namespace ks
