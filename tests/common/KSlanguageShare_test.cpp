#include "common/KSlanguageShare.h"

#include "common/KSregstore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ks {
namespace {

const LanguageSettingsPlace kPlace{"\\Software\\K\\4.0\\", "HTMLwiz\\", {"List_items"}};
const std::vector<std::string> kLanguages = {"GB", "F", "D", "NL"};

// Every value at or below key, as "subpath|name=text" lines.
std::string Dump(const RegistryStore& store, const std::string& key) {
    std::vector<std::string> paths = {key};
    for (const std::string& below : store.KeysBelow(key))
        paths.push_back(below);
    std::string text;
    for (const std::string& path : paths)
        for (const auto& [name, value] : store.Values(path))
            text += path.substr(key.size()) + "|" + name + "=" + value + "\n";
    return text;
}

struct ShareCase {
    const char* what;
    const char* storeText;
    const char* language;
    const char* copiedFrom;
    const char* settingsAfter; // Dump of the language's settings key afterwards
};

class LanguageShare : public testing::TestWithParam<ShareCase> {};

TEST_P(LanguageShare, CopiesOnlyIntoAnEmptyLanguage) {
    const ShareCase& c = GetParam();
    SCOPED_TRACE(c.what);
    RegistryStore store("");
    ASSERT_TRUE(store.Parse(c.storeText).empty());
    const std::string before = Dump(store, "\\Software\\K\\4.0\\NL");
    EXPECT_EQ(c.copiedFrom, ShareLanguageSettings(store, kPlace, c.language, kLanguages));
    EXPECT_EQ(c.settingsAfter,
              Dump(store, std::string("\\Software\\K\\4.0\\") + c.language + "\\HTMLwiz"));
    // The language copied from keeps what it had.
    if (std::string(c.language) != "NL") {
        EXPECT_EQ(before, Dump(store, "\\Software\\K\\4.0\\NL"));
    }
}

// NL holds settings with a document list and a settings set of its own.
constexpr const char* kDutch = "[\\Software\\K\\4.0\\NL\\HTMLwiz]\n"
                               "Directory=/home/u/site\n"
                               "txtBasisnaam=familie\n"
                               "[\\Software\\K\\4.0\\NL\\HTMLwiz\\List_items]\n"
                               "0=1,/home/u/a.htx\n"
                               "1=0,/home/u/b.htx\n"
                               "current=1\n"
                               "[\\Software\\K\\4.0\\NL\\HTMLwiz\\vereniging]\n"
                               "txtBasisnaam=vereniging\n";
constexpr const char* kCopied = "|Directory=/home/u/site\n"
                                "|txtBasisnaam=familie\n"
                                "\\List_items|0=1,/home/u/a.htx\n"
                                "\\List_items|1=0,/home/u/b.htx\n"
                                "\\List_items|current=1\n";

INSTANTIATE_TEST_SUITE_P(
    KSlanguageShare, LanguageShare,
    testing::Values(ShareCase{"missing key", kDutch, "GB", "NL", kCopied},
                    ShareCase{"key opened but empty",
                              "[\\Software\\K\\4.0\\GB\\HTMLwiz\\List_items]\n"
                              "[\\software\\k\\4.0\\nl\\htmlwiz]\nDirectory=/x\n",
                              "GB", "NL", "|Directory=/x\n"},
                    ShareCase{"own value kept",
                              "[\\Software\\K\\4.0\\GB\\HTMLwiz]\nDirectory=/gb\n", "GB", "",
                              "|Directory=/gb\n"},
                    ShareCase{"own list kept",
                              "[\\Software\\K\\4.0\\GB\\HTMLwiz\\List_items]\n0=1,/gb.htx\n"
                              "[\\Software\\K\\4.0\\NL\\HTMLwiz]\nDirectory=/x\n",
                              "GB", "", "\\List_items|0=1,/gb.htx\n"},
                    ShareCase{"first used language in order",
                              "[\\Software\\K\\4.0\\F\\HTMLwiz\\List_items]\n0=1,/f.htx\n"
                              "[\\Software\\K\\4.0\\D\\HTMLwiz]\nDirectory=/d\n"
                              "[\\Software\\K\\4.0\\NL\\HTMLwiz]\nDirectory=/nl\n",
                              "GB", "D", "|Directory=/d\n"},
                    ShareCase{"nothing to copy",
                              "[\\Software\\K\\4.0\\NL\\HTMLwiz\\vereniging]\nx=1\n", "GB", "",
                              ""}));

// The copy is saved; a second start finds GB's own settings and copies nothing.
TEST(KSlanguageShare, CopiesAreSavedAndMadeOnce) {
    RegistryStore store("");
    ASSERT_TRUE(store.Parse(kDutch).empty());
    ASSERT_EQ("NL", ShareLanguageSettings(store, kPlace, "GB", kLanguages));
    EXPECT_TRUE(store.HasChanges());
    EXPECT_EQ("", ShareLanguageSettings(store, kPlace, "GB", kLanguages));
}

} // namespace
} // namespace ks
