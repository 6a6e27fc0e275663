#include "builder/writers/KSpageText.h"
#include "common/KScodepage.h"

#include "support/WriterTestKit.h"

#include <gtest/gtest.h>

#include <tuple>

namespace ks {
namespace {

TKSindexData Page(int32_t number, const std::string& letter, const std::string& first,
                  const std::string& last, int32_t total) {
    TKSindexData page;
    page.PageNumber = number;
    page.GroupLetter = letter;
    page.FirstSurname = first;
    page.LastSurname = last;
    page.EntryTotal = total;
    return page;
}

TEST(PageText, AnchorNameIsIndexAndThePageNumber) {
    EXPECT_EQ("index7", AnchorName(Page(7, "", "", "", 0)));
    EXPECT_EQ("index12", AnchorName(Page(12, "", "", "", 0)));
}

TEST(PageText, KeyLabelFollowsTheIndexDivision) {
    const TKSindexData page = Page(3, "J", "jANSEN", "Klaassen", 412);
    // Per letter: the group letter, with or without the range flag.
    EXPECT_EQ("J", KeyLabel(page, TKSindexType::FirstLetter, false));
    EXPECT_EQ("J", KeyLabel(page, TKSindexType::FirstLetter, true));
    // Per two letters: first upper, second lower, with or without the flag.
    EXPECT_EQ("Ja", KeyLabel(page, TKSindexType::TwoLetters, false));
    EXPECT_EQ("Ja", KeyLabel(page, TKSindexType::TwoLetters, true));
    // Parts of about equal size: the range with the flag, two letters without.
    EXPECT_EQ("jANSEN - Klaassen", KeyLabel(page, TKSindexType::Parts50, true));
    EXPECT_EQ("Ja", KeyLabel(page, TKSindexType::Parts500, false));
}

TEST(PageText, KeyLabelPadsShortSurnamesComparesAsciiCaseOnlyAndShowsUnderscoresAsWritten) {
    EXPECT_EQ("A ", KeyLabel(Page(1, "A", "a", "a", 1), TKSindexType::TwoLetters, false));
    EXPECT_EQ("  ", KeyLabel(Page(1, "", "", "", 1), TKSindexType::TwoLetters, false));
    // Equal but for ASCII letter case: one name only.
    EXPECT_EQ("Jansen",
              KeyLabel(Page(1, "J", "Jansen", "JANSEN", 2), TKSindexType::Parts100, true));
    // Accented letters are not folded: \xE9lie and \xC9LIE differ.
    EXPECT_EQ("\xE9lie - \xC9LIE",
              KeyLabel(Page(1, "E", "\xE9lie", "\xC9LIE", 2), TKSindexType::Parts250, true));
    // "?" is the unknown letter; an underscore is a letter of the name.
    EXPECT_EQ("?", KeyLabel(Page(1, "?", "x", "x", 1), TKSindexType::FirstLetter, false));
    EXPECT_EQ("_", KeyLabel(Page(1, "_", "x", "x", 1), TKSindexType::FirstLetter, false));
    EXPECT_EQ("Burke_Roche - la_Fontaine",
              KeyLabel(Page(1, "B", "Burke_Roche", "la_Fontaine", 2), TKSindexType::Parts50, true));
    EXPECT_EQ("__", KeyLabel(Page(1, "A", "__", "C", 2), TKSindexType::Parts50, false));
}

TEST(PageText, FullKeyLabelShowsTheWholeFirstSurnameOfAPartInARowOfLinks) {
    const TKSindexData page = Page(3, "J", "Jansen, de", "Klaassen", 412);
    EXPECT_EQ("Jansen, de", FullKeyLabel(page, TKSindexType::Parts50, false));
    EXPECT_EQ("Jansen, de", FullKeyLabel(page, TKSindexType::Parts500, false));
    // Menus, letters and two letters keep their labels.
    EXPECT_EQ("Jansen, de - Klaassen", FullKeyLabel(page, TKSindexType::Parts100, true));
    EXPECT_EQ("J", FullKeyLabel(page, TKSindexType::FirstLetter, false));
    EXPECT_EQ("Ja", FullKeyLabel(page, TKSindexType::TwoLetters, false));
    EXPECT_EQ("A_b", FullKeyLabel(Page(1, "A", "A_b", "C", 2), TKSindexType::Parts250, false));
}

TEST(PageText, PageNameGivesTheLetterOrTheRangeOfThePageAsHtml) {
    const std::tuple<TKSindexData, TKSindexType, const char*> cases[] = {
        {Page(3, "J", "Jansen", "Klaassen", 9), TKSindexType::FirstLetter, "J"},
        {Page(3, "?", "\"x", "y", 9), TKSindexType::FirstLetter, "?"},
        {Page(3, "_", "\"x", "y", 9), TKSindexType::FirstLetter, "_"},
        {Page(3, "J", "jansen", "Jonker", 9), TKSindexType::TwoLetters, "Ja"},
        {Page(3, "B", "Bakker", "Berg", 9), TKSindexType::Parts50, "Bakker &ndash; Berg"},
        {Page(3, "B", "Bakker", "BAKKER", 9), TKSindexType::Parts500, "Bakker"},
        // The trees' surnames are text, never markup.
        {Page(3, "S", "Smit & Zn", "S<b>", 9), TKSindexType::Parts100,
         "Smit &amp; Zn &ndash; S&lt;b&gt;"},
        {Page(3, "B", "Burke_Roche", "la_Fontaine", 9), TKSindexType::Parts250,
         "Burke_Roche &ndash; la_Fontaine"},
    };
    for (const auto& [page, type, name] : cases)
        EXPECT_EQ(name, PageName(page, type)) << page.FirstSurname;
}

TEST(PageText, TitleTextPutsItsTextsAroundATitleOrTakesTheOtherwise) {
    EXPECT_EQ("Smit", TitleText("Smit", ""));
    EXPECT_EQ("", TitleText("", ""));
    EXPECT_EQ(" &ndash; Smit", TitleText("Smit", " &ndash; "));
    EXPECT_EQ("", TitleText("", " &ndash; "));
    EXPECT_EQ("(Smit)", TitleText("Smit", "(,),none"));
    // Without a title: everything after the second comma, commas included.
    EXPECT_EQ("Name index, all trees", TitleText("", ",,Name index, all trees"));
    EXPECT_EQ("Smit", TitleText("Smit", ",,Name index"));
}

TEST(PageText, PageTitleNamesTheRangeOnlyWhenTheSurnamesDiffer) {
    EXPECT_EQ("Jansen - Klaassen (412)", PageTitle(Page(3, "J", "Jansen", "Klaassen", 412)));
    EXPECT_EQ("JANSEN (3)", PageTitle(Page(3, "J", "jansen", "JANSEN", 3)));
    // Plain text: the writers encode it where it lands.
    EXPECT_EQ("Aa & Bb - Cc (2)", PageTitle(Page(1, "A", "Aa & Bb", "Cc", 2)));
}

TEST(PageText, PageTargetIsThePageFileOrTheAnchorInTheSingleFile) {
    test::WriterWorld world;
    TKSkslFile& split = world.AddEntry("index, index.tpl, index#NR!.htm, Index", true);
    TKSkslFile& single = world.AddEntry("all, all.tpl, all#NR!.htm, All", false);
    world.SetPageCount(12);
    const TKSrunView run = world.Run();
    EXPECT_EQ("index03.htm", PageFile(run, split, 3));
    EXPECT_EQ("index03.htm", PageTarget(run, split, 3));
    EXPECT_EQ("all.htm", PageFile(run, single, 3));
    EXPECT_EQ("all.htm#index3", PageTarget(run, single, 3));
}

TEST(PageText, PageAtNeverGrowsThePageList) {
    TKSpageList pages;
    pages.PageData(2).FirstSurname = "Bos";
    EXPECT_EQ("Bos", PageAt(pages, 2).FirstSurname);
    const TKSindexData beyond = PageAt(pages, 5);
    EXPECT_EQ(5, beyond.PageNumber);
    EXPECT_EQ("", beyond.FirstSurname);
    EXPECT_EQ(0, PageAt(pages, -1).EntryTotal);
    EXPECT_EQ(2, pages.PageCount());
}

// A page of the section without a surname is named in words, and by its
// given names when the section has more pages; names stay text.
TEST(PageText, PagesWithoutASurnameAreNamedInWordsAndByGivenName) {
    struct Case {
        bool whole;
        std::string first, last;
        TKSindexType type;
        std::string key, range, name, title;
    };
    const std::vector<Case> cases = {
        {true, "Albert", "Victoria", TKSindexType::FirstLetter, "Zonder achternaam",
         "Zonder achternaam", "Zonder achternaam", "Zonder achternaam (9)"},
        {false, "Albert", "Bert", TKSindexType::FirstLetter, "Zonder achternaam Albert",
         "Zonder achternaam: Albert - Bert", "Zonder achternaam: Albert &ndash; Bert",
         "Zonder achternaam: Albert - Bert (9)"},
        {false, "Mary", "MARY", TKSindexType::Parts50, "Zonder achternaam Mary",
         "Zonder achternaam: Mary", "Zonder achternaam: Mary", "Zonder achternaam: Mary (9)"},
        {false, "Anna & Co", "<b>", TKSindexType::TwoLetters, "Zonder achternaam Anna & Co",
         "Zonder achternaam: Anna & Co - <b>", "Zonder achternaam: Anna &amp; Co &ndash; &lt;b&gt;",
         "Zonder achternaam: Anna & Co - <b> (9)"},
    };
    for (const Case& c : cases) {
        TKSindexData page = Page(4, "?", "?", "?", 9);
        page.NoSurname = true;
        page.WholeSection = c.whole;
        page.FirstGiven = c.first;
        page.LastGiven = c.last;
        EXPECT_EQ(c.key, KeyLabel(page, c.type, false)) << c.first;
        EXPECT_EQ(c.key, FullKeyLabel(page, c.type, false)) << c.first;
        EXPECT_EQ(c.range, KeyLabel(page, c.type, true)) << c.first;
        EXPECT_EQ(c.name, PageName(page, c.type)) << c.first;
        EXPECT_EQ(c.title, PageTitle(page)) << c.first;
    }
}

// The two letters of a page are letters (code points), not bytes.
TEST(PageText, TwoLettersTakesTwoLetters) {
    EXPECT_EQ("Ja", TwoLetters("JANSEN"));
    EXPECT_EQ("O ", TwoLetters("o"));
    EXPECT_EQ("\xC3\x89m", TwoLetters("\xC3\x89M\xC3\xA9"));               // Ém
    EXPECT_EQ("\xC5\x81u", TwoLetters("\xC5\x81UKASZ"));                   // Łu
    EXPECT_EQ("A\xC5\x81", TwoLetters("a\xC5\x81"));                       // Ł stays as it is
    EXPECT_EQ("\xCE\xA0\xCE\x91", TwoLetters("\xCE\xA0\xCE\x91\xCE\xA0")); // ΠΑ
    EXPECT_EQ("\xE5\xBC\xA0 ", TwoLetters("\xE5\xBC\xA0"));
}

} // namespace
} // namespace ks
