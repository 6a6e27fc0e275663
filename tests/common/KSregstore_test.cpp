#include "common/KSregstore.h"

#include "common/KSini.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <linux/capability.h>
#include <optional>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ks {
namespace {

namespace fs = std::filesystem;

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
    // The process's store read again from this folder's file.
    RegistryStore& Reread() {
        Use(dir_.path().string());
        return RegistryStore::Instance();
    }
    // The store file with the given contents, read by the process's store.
    void Write(const std::string& contents) {
        fs::create_directories(dir_.path() / "kestrin");
        test::WriteFileBytes(StoreFile(), contents);
        Use(dir_.path().string());
    }

private:
    test::TempDir dir_;
    std::optional<std::string> oldConfig_;
};

const std::string kHeader = "; KESTRIN per-user settings\n";

std::string Value(RegistryStore& store, const std::string& key, const std::string& name) {
    const std::string* value = store.FindValue(store.OpenKey(key), name);
    return value != nullptr ? *value : "<missing>";
}

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
        ASSERT_FALSE(reg.Save());
    }
    RegistryStore& reg = store.Reread(); // read back from the file
    RegistryKeyHandle key = reg.CreateKey("\\BYTES\\" + all.substr(1, 91) + all.substr(93));
    ASSERT_NE(nullptr, reg.FindValue(key, all));
    EXPECT_EQ(all, *reg.FindValue(key, all));
}

// A store with damaged lines is used for the rest; each damaged line is told
// once, with the file, its number and why, and stays in the file at its place.
TEST(KSregstore, ADamagedStoreIsUsedAndKeptNotSetAside) {
    PrivateStore store;
    const std::string damaged = "x=before any key\n[\\k]\nbad%zz=1\nno equals sign\nv=1\n"
                                "; a comment of the user\n[not absolute]\nv=2\n[\\k\\lost\n"
                                "Directory=/lost/\n[\\m]\nw=3\n";
    store.Write(kHeader + damaged);
    RegistryStore& reg = RegistryStore::Instance();
    const std::vector<StoreProblem> warnings = reg.TakeLoadWarnings();
    const std::string noKey = "it names no key; the lines below it up to the next key are "
                              "skipped too";
    const std::vector<std::pair<int, std::string>> expected = {
        {2, "a value before the first key"},
        {4, "a \"%\" without two hexadecimal digits after it"},
        {5, "it holds no \"=\""},
        {8, noKey},
        {10, noKey}};
    ASSERT_EQ(expected.size(), warnings.size());
    for (std::size_t n = 0; n < expected.size(); ++n) {
        EXPECT_EQ(StoreProblem::Kind::SkippedLine, warnings[n].kind);
        EXPECT_EQ(store.StoreFile(), warnings[n].Path);
        EXPECT_EQ(expected[n], std::make_pair(warnings[n].line, warnings[n].Reason));
    }
    EXPECT_EQ(store.StoreFile() + ":2: line skipped: a value before the first key",
              warnings[0].Message());
    EXPECT_TRUE(reg.TakeLoadWarnings().empty()); // told once
    // The readable values are used; none below a damaged key leaks into another.
    EXPECT_EQ("1", Value(reg, "\\k", "v"));
    EXPECT_EQ("3", Value(reg, "\\m", "w"));
    EXPECT_EQ("<missing>", Value(reg, "\\k", "Directory"));
    EXPECT_EQ("<missing>", Value(reg, "\\", "x"));
    EXPECT_FALSE(reg.HasChanges());

    ASSERT_TRUE(reg.WriteValue(reg.OpenKey("\\k"), "w", "2"));
    ASSERT_FALSE(reg.Save());
    EXPECT_FALSE(fs::exists(store.StoreFile() + ".bad"));
    EXPECT_EQ(kHeader + "x=before any key\n\n[\\]\n\n[\\k]\nbad%zz=1\nno equals sign\nv=1\n"
                        "; a comment of the user\nw=2\n\n[not absolute]\nv=2\n\n[\\k\\lost\n"
                        "Directory=/lost/\n\n[\\m]\nw=3\n",
              test::ReadFileBytes(store.StoreFile()));
}

TEST(KSregstore, UnreadableStoreIsToldAndLeftAlone) {
    PrivateStore store;
    // A folder where the file should be: it cannot be read, so it is never replaced.
    fs::create_directories(store.StoreFile());
    RegistryStore& reg = store.Reread();
    const std::vector<StoreProblem> warnings = reg.TakeLoadWarnings();
    ASSERT_EQ(1u, warnings.size());
    EXPECT_EQ(store.StoreFile() + ": the settings cannot be read and are not saved: no regular "
                                  "file",
              warnings[0].Message());
    RegistryKeyHandle key = reg.CreateKey("\\k");
    EXPECT_TRUE(reg.WriteValue(key, "v", "memory only"));
    const std::optional<StoreProblem> problem = reg.Save();
    ASSERT_TRUE(problem);
    EXPECT_EQ(StoreProblem::Kind::NotSaved, problem->kind);
    EXPECT_EQ(store.StoreFile() + ": the settings could not be saved: no regular file",
              problem->Message());
    EXPECT_EQ("memory only", *reg.FindValue(key, "v"));
    EXPECT_TRUE(fs::is_directory(store.StoreFile()));
}

// Changes stay in memory until Save; a save that fails says why and keeps
// them for the next one.
TEST(KSregstore, ChangesThatCannotBeSavedAreToldAndSavedLater) {
    PrivateStore store;
    RegistryStore& reg = RegistryStore::Instance();
    const RegistryKeyHandle key = reg.CreateKey("\\k");
    ASSERT_TRUE(reg.WriteValue(key, "v", "1"));
    ASSERT_FALSE(reg.Save());
    // The store's folder becomes a file: nothing can be saved, even by root.
    fs::remove_all(store.dir().path() / "kestrin");
    test::WriteFileBytes(store.dir().file("kestrin"), "");
    EXPECT_TRUE(reg.WriteValue(key, "v", "2"));
    EXPECT_TRUE(reg.DeleteValue(key, "v"));
    EXPECT_NE(0u, reg.CreateKey("\\k\\sub").id);
    EXPECT_TRUE(reg.DeleteKey("\\k\\sub"));
    {
        TKSreg open("\\k");
        EXPECT_TRUE(open.WriteString("w", "x"));
        EXPECT_TRUE(open.CreateKey("other"));
        EXPECT_TRUE(open.DeleteKey("other"));
    }
    std::optional<StoreProblem> problem = reg.Save();
    ASSERT_TRUE(problem);
    EXPECT_EQ(store.StoreFile() + ": the settings could not be saved: Not a directory",
              problem->Message());
    EXPECT_TRUE(reg.HasChanges());
    EXPECT_EQ("x", Value(reg, "\\k", "w")); // this process goes on with it

    // Once the folder can be made again, the next save writes everything.
    fs::remove(store.dir().file("kestrin"));
    EXPECT_TRUE(reg.WriteValue(key, "v", "3"));
    ASSERT_FALSE(reg.Save());
    EXPECT_FALSE(reg.HasChanges());
    RegistryStore& again = store.Reread();
    EXPECT_EQ("x", Value(again, "\\k", "w"));
    EXPECT_EQ("3", Value(again, "\\k", "v"));
    EXPECT_EQ(std::string::npos, again.Serialize().find("[\\k\\other]"));
    EXPECT_EQ(std::string::npos, again.Serialize().find("[\\k\\sub]"));
}

ino_t Inode(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// Writes go to the file in one replacement, at Save, and only when there is
// something to save; opening keys to read them changes nothing. A save that
// fails half-way (here: the file-size limit, as on a full disk) leaves the old
// file whole, no temporary file behind, and the changes for the next save.
TEST(KSregstore, TheFileIsReplacedOnceWhenSavedAndKeptWholeWhenNot) {
    PrivateStore store;
    const std::string before = kHeader + "\n[\\]\n\n[\\k]\nold=1\n";
    store.Write(before);
    const std::string path = store.StoreFile();
    const ino_t first = Inode(path);
    const auto filesInFolder = [&store] {
        return std::distance(fs::directory_iterator(store.dir().path() / "kestrin"),
                             fs::directory_iterator());
    };
    RegistryStore& reg = RegistryStore::Instance();
    TKSreg reader("\\Software\\HTMLwiz");
    EXPECT_EQ("", reader.ReadString("Directory"));
    EXPECT_FALSE(reg.HasChanges());
    EXPECT_FALSE(reg.Save()); // nothing to save: the file is not touched

    EXPECT_TRUE(reg.WriteValue(reg.OpenKey("\\k"), "old", "2"));
    TKSreg list("\\k\\list");
    for (int n = 0; n < 2000; ++n)
        list.WriteString(std::to_string(n), "1,/data/" + std::to_string(n) + ".htx");
    EXPECT_EQ(first, Inode(path));
    EXPECT_EQ(before, test::ReadFileBytes(path));

    rlimit old{};
    ASSERT_EQ(0, ::getrlimit(RLIMIT_FSIZE, &old));
    rlimit limit = old;
    limit.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(0, ::setrlimit(RLIMIT_FSIZE, &limit));
    const std::optional<StoreProblem> problem = reg.Save();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_TRUE(problem);
    EXPECT_EQ(path, problem->Path);
    EXPECT_EQ("File too large", problem->Reason);
    EXPECT_EQ(first, Inode(path));
    EXPECT_EQ(before, test::ReadFileBytes(path));
    EXPECT_EQ(1, filesInFolder());

    ASSERT_FALSE(reg.Save());
    EXPECT_NE(first, Inode(path)); // replaced, not written in place
    EXPECT_EQ("1,/data/1999.htx", Value(store.Reread(), "\\k\\list", "1999"));
    EXPECT_EQ(1, filesInFolder());
}

// Saves a change to the store at path in a child process that has given up
// the superuser's right to write any file, so that file modes count. Gives
// back what the save told, or nothing when the right cannot be given up.
std::optional<std::string> SaveWithoutFileOverride(const std::string& path) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        const unsigned mask = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
        if (::syscall(SYS_capget, &header, data) != 0) ::_exit(2);
        data[0].effective &= ~mask;
        data[0].permitted &= ~mask;
        if (::syscall(SYS_capset, &header, data) != 0) ::_exit(2);
        RegistryStore reg(path);
        reg.WriteValue(reg.OpenKey("\\k"), "found", "1,/data/a.htx");
        const std::optional<StoreProblem> problem = reg.Save();
        const std::string told = problem ? problem->Message() : "saved";
        ::_exit(::write(pipeEnds[1], told.data(), told.size()) == ssize_t(told.size()) ? 0 : 3);
    }
    ::close(pipeEnds[1]);
    std::string told(4096, '\0');
    const ssize_t n = ::read(pipeEnds[0], told.data(), told.size());
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (n < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return told.substr(0, static_cast<std::size_t>(n));
}

TEST(KSregstore, AReadOnlyStoreIsToldWithItsPathAndReason) {
    PrivateStore store;
    store.Write(kHeader + "\n[\\]\n\n[\\k]\nold=1\n");
    ASSERT_EQ(0, ::chmod(store.StoreFile().c_str(), 0444));
    const std::optional<std::string> told = SaveWithoutFileOverride(store.StoreFile());
    if (!told) GTEST_SKIP() << "the file override cannot be given up here";
    EXPECT_EQ(store.StoreFile() + ": the settings could not be saved: Permission denied", *told);
    EXPECT_EQ(kHeader + "\n[\\]\n\n[\\k]\nold=1\n", test::ReadFileBytes(store.StoreFile()));
}

// Two programs on one store (two windows with their own CONF key): each save
// keeps what the other saved.
TEST(KSregstore, TwoProgramsKeepEachOthersSettings) {
    PrivateStore store;
    store.Write(kHeader + "\n[\\k]\nLanguage=NL\n");
    RegistryStore first(store.StoreFile());
    RegistryStore second(store.StoreFile());
    // Each program replaces its own document list and writes its own values;
    // writing back the language as it was read changes nothing.
    const auto session = [](RegistryStore& program, const std::string& key,
                            const std::string& folder) {
        program.WriteValue(program.OpenKey(key), "Directory", folder);
        program.DeleteKey(key + "\\items");
        RegistryKeyHandle list = program.CreateKey(key + "\\items");
        for (int n = 0; n < 3; ++n)
            program.WriteValue(list, std::to_string(n), "1," + folder + std::to_string(n));
        program.WriteValue(program.OpenKey("\\k"), "Language", "NL");
    };
    session(first, "\\k\\w", "/eerste/");
    session(second, "\\k\\w\\tweede", "/tweede/");
    ASSERT_FALSE(first.Save());
    RegistryStore third(store.StoreFile()); // changes the language meanwhile
    third.WriteValue(third.OpenKey("\\k"), "Language", "GB");
    ASSERT_FALSE(third.Save());
    ASSERT_FALSE(second.Save());
    EXPECT_EQ("/eerste/", Value(second, "\\k\\w", "Directory")); // merged in memory too
    RegistryStore reread(store.StoreFile());
    EXPECT_EQ("/eerste/", Value(reread, "\\k\\w", "Directory"));
    EXPECT_EQ("1,/eerste/2", Value(reread, "\\k\\w\\items", "2"));
    EXPECT_EQ("/tweede/", Value(reread, "\\k\\w\\tweede", "Directory"));
    EXPECT_EQ("1,/tweede/2", Value(reread, "\\k\\w\\tweede\\items", "2"));
    EXPECT_EQ("GB", Value(reread, "\\k", "Language"));
}

// Two processes saving at the same time, over and over: none loses a value.
TEST(KSregstore, ProcessesSavingAtOnceLoseNothing) {
    PrivateStore store;
    store.Write(kHeader);
    const std::string path = store.StoreFile();
    constexpr int kRounds = 25;
    std::vector<pid_t> children;
    for (const char* name : {"eerste", "tweede"}) {
        const pid_t child = ::fork();
        if (child == 0) {
            RegistryStore program(path);
            for (int round = 0; round < kRounds; ++round) {
                program.WriteValue(program.OpenKey(std::string("\\w\\") + name),
                                   "v" + std::to_string(round), std::to_string(round));
                if (program.Save()) ::_exit(1);
            }
            ::_exit(0);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(child, ::waitpid(child, &status, 0));
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    RegistryStore reread(path);
    for (const char* name : {"eerste", "tweede"})
        for (int round = 0; round < kRounds; ++round)
            EXPECT_EQ(std::to_string(round),
                      Value(reread, std::string("\\w\\") + name, "v" + std::to_string(round)))
                << name << " " << round;
}

// The standard engine gives the same numbers everywhere.
using Random = std::mt19937;
std::size_t Below(Random& random, std::size_t n) {
    return random() % n;
}

// Thousands of store texts damaged at random: reading never fails, writing
// what was read and reading it again gives the same text and tells the same
// lines, and another program's save over it keeps its own values.
TEST(KSregstore, RandomStoreTextsAreReadAndKeptWhole) {
    Random random(20190228);
    RegistryStore reader("");
    RegistryStore again("");
    static const std::string seeds[] = {
        "x=1\n[\\A\\b]\r\nn=1\nN=2\n=leeg\nsp ace= v \np%25=%0A\na=b=c\nk=\n%5Bx=1\n",
        "[\\x%3By]\n;# comment\nk%zz=1\ncut=%4\n[\\%zz]\nv=1\n[\\]\nx=%G0\n%=1\n",
        "[rel]\nv=2\n[\\a\\\\b\\]\nno equals\n[]\n[\\%00]\n[\\c d]\nw=3\r\n"};
    static const char interesting[] = {'\n', '\r', '[', ']', '=', '%', '\\', ';', '\0', 'A', '0'};
    for (int round = 0; round < 4000; ++round) {
        std::string text = seeds[Below(random, std::size(seeds))];
        for (std::size_t edits = 1 + Below(random, 8); edits > 0; --edits) {
            const std::size_t at = Below(random, text.size());
            const char c = Below(random, 2) ? interesting[Below(random, sizeof interesting)]
                                            : static_cast<char>(Below(random, 256));
            switch (Below(random, 4)) {
            case 0:
                text[at] = c;
                break;
            case 1:
                text.insert(at, 1, c);
                break;
            case 2:
                text.erase(at, 1 + Below(random, 5));
                break;
            default:
                text.insert(at, text.substr(at, Below(random, 40)));
                break;
            }
            if (text.empty()) text = "x";
        }
        SCOPED_TRACE("round " + std::to_string(round) + ":\n" + text);
        const std::size_t told = reader.Parse(text).size();
        const std::string written = reader.Serialize();
        EXPECT_EQ(told, again.Parse(written).size());
        EXPECT_EQ(written, again.Serialize());
        RegistryStore other("");
        other.WriteValue(other.CreateKey("\\fuzz\\own"), "gone", "1");
        other.DeleteKey("\\fuzz\\own");
        other.WriteValue(other.CreateKey("\\fuzz\\own"), "v", std::to_string(round));
        const std::string merged = other.MergeInto(text);
        EXPECT_EQ(told, again.Parse(merged).size());
        EXPECT_EQ(merged, again.Serialize());
        EXPECT_EQ(std::to_string(round), Value(again, "\\fuzz\\own", "v"));
        EXPECT_EQ("<missing>", Value(again, "\\fuzz\\own", "gone"));
        if (HasFailure()) return;
    }
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
    EXPECT_FALSE(RegistryStore::Instance().Save());
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
