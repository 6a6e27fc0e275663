// The layouts of a folder by title, and a layout named by its title.
#include "index/KSlayoutList.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

TEST(LayoutList, ALayoutIsFoundByItsTitleInAnyLetterCaseOfAToZ) {
    test::TempDir dir;
    const struct {
        const char* file;
        const char* title;
    } layouts[] = {{"b.ksl", "Modern"}, {"a.ksl", "Klassiek \xE9\xE9n"}, {"c.ksl", "modern"}};
    for (const auto& l : layouts)
        test::WriteFileBytes(
            dir.file(l.file),
            std::string("[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[General]\r\nTitle=") + l.title +
                "\r\n[Templates]\r\n1=s, s.tpl, #PREFIX!.htm, S\r\n");
    const auto list = LoadLayouts(dir.path().string() + "/");
    ASSERT_EQ(3u, list.size()); // Klassiek, Modern (b), modern (c)
    const struct {
        const char* title;
        int found;
    } cases[] = {{"MODERN", 1},
                 {"klassiek \xE9\xE9n", 0},
                 {"Klassiek \xC9\xC9N", -1},
                 {"", -1},
                 {"Modern ", -1}};
    for (const auto& c : cases)
        EXPECT_EQ(c.found, FindLayoutByTitle(list, c.title)) << c.title;
    EXPECT_EQ(dir.file("b.ksl"), list[1]->LayoutFile);
}

} // namespace
} // namespace ks
