#include "common/KScommon.h"

#include "common/KSerrors.h"
#include "common/KSini.h"
#include "common/KSlocal.h"
#include "common/KSregstore.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace ks {
namespace {
namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::ScopedEnv;
using test::TempDir;
using test::WriteFileBytes;

// A program folder, a private store and a private temporary base per test.
// Each test uses its own product name, so store values never leak between
// tests even when the store outlives one test.
class EnvironmentTest : public ::testing::Test {
protected:
    EnvironmentTest()
        : config_("XDG_CONFIG_HOME", dir_.file("config")), tmp_("TMPDIR", dir_.file("tmp")) {
        RegistryStore::Instance().Reload(); // the store of this test's config folder
        fs::create_directories(dir_.file("tmp"));
        fs::create_directories(program_);
        WriteFileBytes(program_ + "KS-NL.UI", "[Text]\r\n1547.1=bestand niet gevonden\r\n");
        static std::atomic<int> counter{0};
        product_ = "KSTEST" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
    }

    std::unique_ptr<TKScommon> Start(std::vector<std::string> switches,
                                     bool rememberLanguage = true) {
        auto environment = std::make_unique<TKScommon>(std::move(switches), program_,
                                                       ProgramFolderSearch{{program_}, {}});
        environment->SetProduct(product_, "4.0", "a", "28-02-2019");
        environment->SetRememberLanguage(rememberLanguage);
        environment->InitEnvironment();
        return environment;
    }

    std::string Switch(std::vector<std::string> switches, const std::string& name) {
        TKScommon environment(std::move(switches), program_, {});
        return environment.CommandLineSwitch(name);
    }

    TempDir dir_;
    ScopedEnv config_;
    ScopedEnv tmp_;
    std::string program_ = dir_.file("prog") + "/";
    std::string product_;
};

TEST(TKSbitmap, BitsAreTakenModulo32) {
    const TKSbitmap five(5);
    EXPECT_TRUE(five.IsSet(0));
    EXPECT_FALSE(five.IsSet(1));
    EXPECT_TRUE(five.IsSet(2));
    EXPECT_TRUE(five.IsSet(32));
    EXPECT_TRUE(five.IsSet(34));
    EXPECT_TRUE(five.IsNonZero());
    EXPECT_FALSE(five.IsZero());
    EXPECT_TRUE(TKSbitmap(-1).IsSet(31));
    EXPECT_TRUE(TKSbitmap(0).IsZero());
    EXPECT_FALSE(TKSbitmap(0).IsSet(0));
}

TEST_F(EnvironmentTest, SwitchValuesFollowTheArgumentRules) {
    EXPECT_EQ(" ", Switch({"/DEBUG"}, "DEBUG"));
    EXPECT_EQ("3", Switch({"-debug=3"}, "DEBUG"));
    EXPECT_EQ("", Switch({"/DEVELOPER"}, "DEBUG"));
    EXPECT_EQ("", Switch({}, "DEBUG"));
    // Merely beginning with the name is enough.
    EXPECT_EQ(" ", Switch({"DEBUGGING"}, "debug"));
    // The text after the first "=" or ":", whichever comes first.
    EXPECT_EQ("C:/x", Switch({"/TEMP=C:/x"}, "TEMP"));
    EXPECT_EQ("NL=x", Switch({"/LANGUAGE:NL=x"}, "LANGUAGE"));
    // Only one leading "/" or "-" is removed.
    EXPECT_EQ("", Switch({"--DEBUG"}, "DEBUG"));
    // A later match overrides an earlier one, also with no value.
    EXPECT_EQ("D", Switch({"/LANGUAGE=GB", "other", "-LANGUAGE=D"}, "LANGUAGE"));
    EXPECT_EQ(" ", Switch({"/LANGUAGE=GB", "/LANGUAGE"}, "LANGUAGE"));
    EXPECT_EQ("", Switch({"/DEBUG="}, "DEBUG"));

    TKScommon environment({"/DEBUG", "-TEMP="}, program_, {});
    EXPECT_TRUE(environment.HasSwitch("DEBUG"));
    EXPECT_FALSE(environment.HasSwitch("TEMP"));
    EXPECT_FALSE(environment.HasSwitch("LANGUAGE"));
}

TEST_F(EnvironmentTest, DebugAndDeveloperBits) {
    {
        auto environment = Start({"-DEBUG"});
        EXPECT_EQ(-1, environment->DebugSwitches.Value());
        EXPECT_TRUE(environment->DeveloperSwitches.IsZero());
    }
    {
        auto environment = Start({"DEBUG=5", "/DEVELOPER= 12 "});
        EXPECT_TRUE(environment->DebugSwitches.IsSet(0));
        EXPECT_FALSE(environment->DebugSwitches.IsSet(1));
        EXPECT_TRUE(environment->DebugSwitches.IsSet(2));
        EXPECT_EQ(12, environment->DeveloperSwitches.Value());
    }
    {
        // A value that is not a whole number switches nothing on.
        auto environment = Start({"DEBUG=yes", "DEVELOPER=1.5"});
        EXPECT_TRUE(environment->DebugSwitches.IsZero());
        EXPECT_TRUE(environment->DeveloperSwitches.IsZero());
    }
}

TEST_F(EnvironmentTest, LanguageComesFromTheFoldersWhenNothingElseSaysSo) {
    // Every start stores its choice, so each one here uses a fresh product key.
    EXPECT_EQ("NL", Start({})->UiLanguage);

    fs::create_directories(program_ + "GB");
    product_ += "-gb";
    EXPECT_EQ("GB", Start({})->UiLanguage);

    fs::create_directories(program_ + "F");
    product_ += "-f";
    EXPECT_EQ("F", Start({})->UiLanguage);

    fs::create_directories(program_ + "D");
    product_ += "-d";
    EXPECT_EQ("D", Start({})->UiLanguage);

    fs::create_directories(program_ + "NL");
    product_ += "-nl";
    EXPECT_EQ("NL", Start({})->UiLanguage);
}

TEST_F(EnvironmentTest, LanguageSwitchIsStoredForTheNextStart) {
    fs::create_directories(program_ + "NL");
    {
        auto environment = Start({"/LANGUAGE=D"});
        EXPECT_EQ("D", environment->UiLanguage);
        EXPECT_EQ("D", environment->TextLanguage);
        TKSreg store("\\Software\\" + product_ + "\\4.0\\");
        EXPECT_EQ("D", store.ReadString("Language"));
        store.Close();
    }
    // Saved as the program does at its end, and read back from the store
    // file, as at the next start of the program.
    ASSERT_FALSE(RegistryStore::Instance().Save());
    RegistryStore::Instance().Reload();
    // The stored value wins over the folders.
    EXPECT_EQ("D", Start({})->UiLanguage);
    // The switch wins over the stored value; codes are upper case.
    EXPECT_EQ("GB", Start({"-language=gb"})->UiLanguage);
    // A code that cannot name a file is no choice.
    EXPECT_EQ("GB", Start({"/LANGUAGE=../x"})->UiLanguage);
}

TEST_F(EnvironmentTest, ALanguageForOneRunIsNotStored) {
    fs::create_directories(program_ + "NL");
    EXPECT_EQ("D", Start({"/LANGUAGE=D"}, false)->UiLanguage);
    EXPECT_EQ("NL", Start({}, false)->UiLanguage);
    TKSreg store("\\Software\\" + product_ + "\\4.0\\");
    EXPECT_FALSE(store.ValueExists("Language"));
    // A stored choice is still read.
    ASSERT_TRUE(store.WriteString("Language", "GB"));
    EXPECT_EQ("GB", Start({}, false)->UiLanguage);
    store.Close();
}

TEST_F(EnvironmentTest, FoldersAndKeysFollowTheLanguage) {
    WriteFileBytes(program_ + "KS-GB.UI", "[Text]\r\n1547.1=file not found\r\n");
    WriteFileBytes(program_ + "KS-GB.LNG", "[Datetype]\r\n1=about #date1#\r\n");
    auto environment = Start({"/LANGUAGE=GB"});
    EXPECT_EQ(program_, environment->ProgramFolder);
    EXPECT_EQ(program_ + "GB/", environment->LanguageFolder);
    EXPECT_EQ(program_ + "Resource/", environment->ResourceFolder);
    EXPECT_EQ("\\Software\\" + product_ + "\\4.0\\", environment->RegistryBase);
    EXPECT_EQ("\\Software\\" + product_ + "\\4.0\\GB\\", environment->RegistryLanguageKey);
    EXPECT_EQ("file not found", LookupText("#1547.1=bestand niet gevonden", "Text"));
    EXPECT_EQ("about #date1#", LookupNumbered(1, "Datetype"));

    environment->SetUiLanguage("NL");
    EXPECT_EQ("NL", environment->UiLanguage);
    EXPECT_EQ("bestand niet gevonden", LookupText("#1547.1=x", "Text"));
    // The language file stays that of the text language.
    EXPECT_EQ("about #date1#", LookupNumbered(1, "Datetype"));
}

// A folder that looks like a program folder: a text file and a layout.
void MakeProgramFolder(const std::string& folder) {
    fs::create_directories(folder + "/NL/layout");
    WriteFileBytes(folder + "/KS-NL.UI", "[Text]\r\n1547.1=bestand niet gevonden\r\n");
    WriteFileBytes(folder + "/NL/layout/x.ksl", "[KESTRIN]\r\ntype=ksl\r\n");
}

TEST_F(EnvironmentTest, ProgramFolderIsFoundOnlyWhereTheProgramWasBuiltOrInstalled) {
    const std::string root = dir_.file("t");
    MakeProgramFolder(root + "/src/dist");
    MakeProgramFolder(root + "/usr/share/kestrin");
    MakeProgramFolder(root + "/work"); // where the user runs the program
    fs::create_directories(root + "/build/cli");
    fs::create_directories(root + "/copy/bin");
    fs::create_directories(root + "/empty/share/kestrin");
    WriteFileBytes(root + "/build/cli/kestrin-index.program-folder", root + "/src/dist/\n");
    WriteFileBytes(root + "/build/cli/rel.program-folder", "../../src/dist\r\n");
    WriteFileBytes(root + "/build/cli/gone.program-folder", root + "/src/gone/\n");
    WriteFileBytes(root + "/build/cli/blank.program-folder", "");

    struct Case {
        std::string program;       // the program's path below root
        std::string programFolder; // below root; "" when none is found
    };
    const std::vector<Case> cases = {
        {"/usr/bin/kestrin-index", "/usr/share/kestrin/"}, // installed
        {"/build/cli/kestrin-index", "/src/dist/"},        // build tree
        {"/build/cli/rel", "/src/dist/"},                  // named relative to it
        {"/build/cli/gone", ""},                           // names a missing folder
        {"/build/cli/blank", ""},                          // names nothing
        {"/copy/bin/kestrin-index", ""},                   // copied out of its tree
        {"/empty/bin/kestrin-index", ""},                  // an empty share/kestrin
        {"/work/kestrin-index", ""},                       // beside the user's files
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        const ProgramFolderSearch search = TKScommon::ProgramFolderSearchFor(root + c.program);
        // The current folder holds program files; it never counts.
        TKScommon environment({}, root + "/work", search);
        if (c.programFolder.empty()) {
            try {
                environment.InitEnvironment();
                ADD_FAILURE() << "found " << environment.ProgramFolder;
            } catch (const EInOutError& e) {
                // Every place looked at is named: the record and share/kestrin.
                EXPECT_NE(std::string::npos, e.Path().find(root + c.program + ".program-folder"))
                    << e.what();
                const std::string installed =
                    fs::path(root + c.program).parent_path().parent_path().string() +
                    "/share/kestrin/";
                EXPECT_NE(std::string::npos, e.Path().find(installed)) << e.what();
                EXPECT_NE(std::string::npos, e.Reason().find("no program folder")) << e.what();
            }
        } else {
            environment.InitEnvironment();
            EXPECT_EQ(root + c.programFolder, environment.ProgramFolder);
            EXPECT_EQ(root + c.programFolder + "NL/", environment.LanguageFolder);
        }
    }
    // The record comes first; share/kestrin beside bin/ is the fallback.
    MakeProgramFolder(root + "/build/share/kestrin");
    const ProgramFolderSearch both =
        TKScommon::ProgramFolderSearchFor(root + "/build/cli/kestrin-index");
    EXPECT_EQ((std::vector<std::string>{root + "/src/dist/", root + "/build/share/kestrin/"}),
              both.Folders);
    TKScommon environment({}, root + "/work",
                          TKScommon::ProgramFolderSearchFor(root + "/build/cli/gone"));
    environment.InitEnvironment();
    EXPECT_EQ(root + "/build/share/kestrin/", environment.ProgramFolder);
}

TEST_F(EnvironmentTest, TemporaryFolderIsPrivateToTheUser) {
    const std::string expected = dir_.file("tmp") + "/KESTRIN-" + std::to_string(::geteuid()) + "/";
    auto environment = Start({});
    EXPECT_EQ(expected, environment->TempFolder);
    EXPECT_EQ(expected, environment->LogFolder);
    struct stat st {};
    ASSERT_EQ(0, ::stat(expected.c_str(), &st));
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(0700U, st.st_mode & 0777U);
}

TEST_F(EnvironmentTest, TemporaryFolderBehindALinkIsNotUsed) {
    const std::string usual = dir_.file("tmp") + "/KESTRIN-" + std::to_string(::geteuid());
    fs::create_directories(dir_.file("elsewhere"));
    fs::create_directory_symlink(dir_.file("elsewhere"), usual);
    auto environment = Start({});
    EXPECT_NE(usual + "/", environment->TempFolder);
    EXPECT_FALSE(environment->TempFolder.empty());
    EXPECT_EQ(std::string::npos, environment->TempFolder.find("elsewhere"));
    EXPECT_TRUE(fs::is_directory(environment->TempFolder));
    EXPECT_FALSE(fs::is_symlink(fs::path(environment->TempFolder).parent_path()));
}

TEST_F(EnvironmentTest, TemporaryFolderOfAnotherUserIsNotUsed) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a folder away";
    const std::string usual = dir_.file("tmp") + "/KESTRIN-0";
    fs::create_directories(usual);
    ASSERT_EQ(0, ::chown(usual.c_str(), 4242, 4242));
    auto environment = Start({});
    EXPECT_NE(usual + "/", environment->TempFolder);
    struct stat st {};
    ASSERT_EQ(0, ::stat(environment->TempFolder.c_str(), &st));
    EXPECT_EQ(0U, st.st_uid);
    EXPECT_EQ(0700U, st.st_mode & 0777U);
}

TEST_F(EnvironmentTest, TempSwitchNamesAnExistingFolder) {
    fs::create_directories(program_ + "work");
    EXPECT_EQ(program_ + "work/", Start({"/TEMP=work"})->TempFolder);
    EXPECT_EQ(dir_.file("tmp") + "/", Start({"-TEMP=" + dir_.file("tmp") + "/"})->TempFolder);
    const std::string usual = dir_.file("tmp") + "/KESTRIN-" + std::to_string(::geteuid()) + "/";
    EXPECT_EQ(usual, Start({"/TEMP=" + dir_.file("nowhere")})->TempFolder);
}

TEST_F(EnvironmentTest, LogLinesGoToOneFilePerDay) {
    auto environment = Start({});
    std::tm evening{};
    evening.tm_year = 2019 - 1900;
    evening.tm_mon = 1;
    evening.tm_mday = 28;
    evening.tm_hour = 23;
    evening.tm_min = 59;
    evening.tm_sec = 58;
    evening.tm_isdst = -1;
    const std::time_t late = std::mktime(&evening);
    environment->WriteLogAt("Pad = x", late);
    environment->WriteLogAt("File = a.ksl", late + 1);
    environment->WriteLogAt("next day", late + 3);
    EXPECT_EQ("23:59:58 : Pad = x\r\n23:59:59 : File = a.ksl\r\n",
              ReadFileBytes(environment->LogFolder + "2019-02-28-LOG.TXT"));
    EXPECT_EQ("00:00:01 : next day\r\n",
              ReadFileBytes(environment->LogFolder + "2019-03-01-LOG.TXT"));

    // A log folder that cannot be written to is silently skipped.
    environment->LogFolder = dir_.file("missing") + "/";
    environment->WriteLog("lost");
    EXPECT_FALSE(fs::exists(dir_.file("missing")));
}

TEST_F(EnvironmentTest, OneEnvironmentAtATime) {
    EXPECT_EQ(nullptr, CurrentEnvironment());
    EXPECT_THROW(Environment(), EAssertionFailed);
    {
        auto environment = Start({});
        EXPECT_EQ(environment.get(), &Environment());
        EXPECT_THROW(TKScommon({}, program_, {}), EAssertionFailed);
        EXPECT_THROW(environment->InitEnvironment(), EAssertionFailed);
    }
    EXPECT_EQ(nullptr, CurrentEnvironment());
    // Its language files closed with it.
    EXPECT_EQ("x", LookupText("#1547.1=x", "Text"));
}

} // namespace
} // namespace ks
