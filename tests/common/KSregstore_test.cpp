#include "common/KSregstore.h"

#include "common/KSini.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace ks {
namespace {

// Points the process store at a private folder for one test and back afterwards.
class PrivateStore {
public:
    PrivateStore() {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) oldConfig_ = old;
        Use(dir_.path().string());
    }
    ~PrivateStore() {
        if (oldConfig_) {
            setenv("XDG_CONFIG_HOME", oldConfig_->c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
        RegistryStore::Instance().Reload();
    }
    void Use(const std::string& configHome) {
        setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
        RegistryStore::Instance().Reload();
    }
    std::string StoreFile() const { return dir_.file("kestrin/registry.ini"); }
    const test::TempDir& dir() const { return dir_; }

private:
    test::TempDir dir_;
    std::optional<std::string> oldConfig_;
};

TEST(KSregstore, KeyPathsAreNormalised) {
    EXPECT_EQ("\\Software\\KESTRIN\\4.0",
              RegistryStore::NormalizePath("\\Software\\KESTRIN\\4.0\\").value_or("?"));
    EXPECT_EQ("\\a\\b", RegistryStore::NormalizePath("a\\\\b\\\\").value_or("?"));
    EXPECT_EQ("", RegistryStore::NormalizePath("\\").value_or("?"));
    EXPECT_FALSE(RegistryStore::NormalizePath("\\" + std::string(256, 'x')));
    EXPECT_TRUE(RegistryStore::NormalizePath("\\" + std::string(255, 'x')));
    EXPECT_FALSE(RegistryStore::NormalizePath(std::string("\\a\0b", 4)));
    EXPECT_EQ("\\k\\sub", RegistryStore::ChildPath("\\k", "sub\\").value_or("?"));
    EXPECT_EQ("\\other", RegistryStore::ChildPath("\\k", "\\other").value_or("?"));
}

TEST(KSregstore, FileFormatEscapesWhatWouldBreakALine) {
    PrivateStore store;
    RegistryStore& reg = RegistryStore::Instance();
    RegistryKeyHandle key = reg.CreateKey("\\Software\\K[1];x");
    reg.WriteValue(key, "a=b", "line1\nline2\r=%[x]");
    reg.WriteValue(key, ";[n", "");
    reg.WriteValue(key, "", "default");
    EXPECT_EQ("; KESTRIN per-user settings\n"
              "\n[\\]\n"
              "\n[\\Software]\n"
              "\n[\\Software\\K%5B1%5D%3Bx]\n"
              "=default\n"
              "%3B%5Bn=\n"
              "a%3Db=line1%0Aline2%0D=%25[x]\n",
              reg.Serialize());
}

TEST(KSregstore, ParseReadsTheFormatAndRejectsDamage) {
    PrivateStore store;
    RegistryStore& reg = RegistryStore::Instance();
    ASSERT_TRUE(reg.Parse("; comment\r\n[\\A\\B]\r\nx=1%0a2\r\n\r\nY = spaced \n[\\a\\c]\n"));
    RegistryKeyHandle b = reg.CreateKey("\\a\\b");
    ASSERT_NE(nullptr, reg.FindValue(b, "X"));
    EXPECT_EQ("1\n2", *reg.FindValue(b, "X"));
    EXPECT_EQ(nullptr, reg.FindValue(b, "Y"));
    ASSERT_NE(nullptr, reg.FindValue(b, "Y "));
    EXPECT_EQ(" spaced ", *reg.FindValue(b, "Y "));
    EXPECT_TRUE(reg.KeyExists("\\A")); // parents exist
    EXPECT_TRUE(reg.KeyExists("\\A\\C"));

    EXPECT_FALSE(reg.Parse("x=value before any key\n"));
    EXPECT_FALSE(reg.Parse("[\\a]\nbad%zz=1\n"));
    EXPECT_FALSE(reg.Parse("[\\a]\ncut=%4\n"));
    EXPECT_FALSE(reg.Parse("[\\a\n"));
    EXPECT_FALSE(reg.Parse("[not absolute]\n"));
    EXPECT_FALSE(reg.Parse("[\\a]\nno equals sign\n"));
    EXPECT_FALSE(reg.Parse("[\\" + std::string(300, 'x') + "]\n"));
    // A failed parse leaves an empty store.
    EXPECT_FALSE(reg.KeyExists("\\a"));
}

TEST(KSregstore, EveryByteSurvivesTheFile) {
    PrivateStore store;
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    {
        RegistryStore& reg = RegistryStore::Instance();
        RegistryKeyHandle key = reg.CreateKey("\\Bytes\\" + all.substr(1, 91) + all.substr(93));
        ASSERT_NE(0u, key.id);
        EXPECT_TRUE(reg.WriteValue(key, all, all));
    }
    store.Use(store.dir().path().string()); // read back from the file
    RegistryStore& reg = RegistryStore::Instance();
    RegistryKeyHandle key = reg.CreateKey("\\BYTES\\" + all.substr(1, 91) + all.substr(93));
    ASSERT_NE(nullptr, reg.FindValue(key, all));
    EXPECT_EQ(all, *reg.FindValue(key, all));
}

TEST(KSregstore, DamagedFileIsKeptAsideNotOverwritten) {
    PrivateStore store;
    std::filesystem::create_directories(store.dir().path() / "kestrin");
    const std::string damaged = "[\\ok]\nname=1\ngarbage line\n";
    test::WriteFileBytes(store.StoreFile(), damaged);
    store.Use(store.dir().path().string());
    RegistryStore& reg = RegistryStore::Instance();
    EXPECT_FALSE(reg.KeyExists("\\ok"));
    EXPECT_EQ(damaged, test::ReadFileBytes(store.StoreFile() + ".bad"));
    EXPECT_FALSE(std::filesystem::exists(store.StoreFile()));

    reg.WriteValue(reg.CreateKey("\\new"), "v", "1");
    store.Use(store.dir().path().string());
    EXPECT_NE(nullptr, RegistryStore::Instance().FindValue(
                           RegistryStore::Instance().CreateKey("\\new"), "v"));
    EXPECT_EQ(damaged, test::ReadFileBytes(store.StoreFile() + ".bad"));
}

TEST(KSregstore, UnreadableStoreIsLeftAlone) {
    PrivateStore store;
    // A folder where the file should be: it cannot be read, so it is never replaced.
    std::filesystem::create_directories(store.StoreFile());
    store.Use(store.dir().path().string());
    RegistryStore& reg = RegistryStore::Instance();
    RegistryKeyHandle key = reg.CreateKey("\\k");
    EXPECT_FALSE(reg.WriteValue(key, "v", "memory only")); // kept, but not saved
    EXPECT_EQ("memory only", *reg.FindValue(key, "v"));
    EXPECT_TRUE(std::filesystem::is_directory(store.StoreFile()));
}

TEST(KSregstore, ChangesThatCannotBeSavedSaySoAndAreSavedLater) {
    namespace fs = std::filesystem;
    PrivateStore store;
    RegistryStore& reg = RegistryStore::Instance();
    const RegistryKeyHandle key = reg.CreateKey("\\k");
    ASSERT_TRUE(reg.WriteValue(key, "v", "1"));
    // The store's folder becomes a file: nothing can be saved, even by root.
    fs::remove_all(store.dir().path() / "kestrin");
    test::WriteFileBytes(store.dir().file("kestrin"), "");
    EXPECT_FALSE(reg.WriteValue(key, "v", "2"));
    EXPECT_FALSE(reg.WriteValue(key, "v", "2")); // unchanged in memory, still not saved
    EXPECT_FALSE(reg.DeleteValue(key, "v"));
    bool saved = true;
    EXPECT_NE(0u, reg.CreateKey("\\k\\sub", &saved).id);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(reg.DeleteKey("\\k\\sub"));
    {
        TKSreg open("\\k");
        EXPECT_FALSE(open.WriteString("w", "x"));
        EXPECT_EQ("x", open.ReadString("w")); // this process goes on with it
        EXPECT_FALSE(open.CreateKey("other"));
        EXPECT_FALSE(open.DeleteKey("other"));
    }
    // Once the folder can be made again, the next change saves everything.
    fs::remove(store.dir().file("kestrin"));
    EXPECT_TRUE(reg.WriteValue(key, "v", "3"));
    store.Use(store.dir().path().string());
    RegistryStore& again = RegistryStore::Instance();
    const RegistryKeyHandle reread = again.CreateKey("\\k");
    ASSERT_NE(nullptr, again.FindValue(reread, "w"));
    EXPECT_EQ("x", *again.FindValue(reread, "w"));
    EXPECT_EQ("3", *again.FindValue(reread, "v"));
    EXPECT_FALSE(again.KeyExists("\\k\\other"));
}

TEST(KSregstore, LocationFollowsTheEnvironment) {
    PrivateStore store;
    EXPECT_EQ(store.StoreFile(), RegistryStore::Instance().FilePath());

    std::optional<std::string> oldHome;
    if (const char* home = std::getenv("HOME")) oldHome = home;
    setenv("HOME", store.dir().path().c_str(), 1);
    store.Use("relative/config"); // not absolute: ignored
    EXPECT_EQ(store.dir().file(".config/kestrin/registry.ini"),
              RegistryStore::Instance().FilePath());
    RegistryStore::Instance().WriteValue(RegistryStore::Instance().CreateKey("\\k"), "v", "1");
    EXPECT_TRUE(std::filesystem::exists(store.dir().file(".config/kestrin/registry.ini")));
    auto perms =
        std::filesystem::status(store.dir().file(".config/kestrin/registry.ini")).permissions();
    EXPECT_EQ(std::filesystem::perms::none,
              perms & (std::filesystem::perms::group_all | std::filesystem::perms::others_all));
    if (oldHome) {
        setenv("HOME", oldHome->c_str(), 1);
    } else {
        unsetenv("HOME");
    }
}

} // namespace
} // namespace ks
