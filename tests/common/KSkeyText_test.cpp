#include "common/KSkeyText.h"

#include "common/KScodepage.h"
#include "common/KSconvert.h"

#include <gtest/gtest.h>

#include <functional>

namespace ks {
namespace {

std::string Key(void (*append)(std::string&, std::string_view), std::string_view utf8) {
    std::string key;
    append(key, utf8);
    return key;
}

// Every byte of Windows-1252, read as UTF-8 text, gets the key byte the code
// page's tables give it: a name that code page holds keeps its key.
TEST(KeyText, TextWindows1252HoldsKeepsItsKey) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = Windows1252ToUtf8(byte);
        SCOPED_TRACE(b);
        EXPECT_EQ(FoldTable(byte), Key(AppendKeyFold, utf8));
        EXPECT_EQ(UpperCaseTable(byte), Key(AppendKeyUpperCase, utf8));
        EXPECT_EQ(byte, Key(AppendKeyText, utf8));
        EXPECT_EQ(utf8, KeyTextToUtf8(byte));
    }
}

// Letters the code page lacks: with the letter they are built on when it is
// a Latin one, else as units after every Latin letter, in code point order;
// a name spelled without its marks sorts just before the one with them.
TEST(KeyText, OtherLettersSortWithTheirBaseOrAfterLatin) {
    const struct {
        const char* Utf8;
        const char* Fold;
    } folds[] = {
        {"Wa\xC5\x82\xC4\x99sa", "WALESA"},         // Wałęsa
        {"Sz\xC5\x91ke", "SZOKE"},                  // Szőke
        {"\xC8\x98tef\xC4\x83nescu", "STEFANESCU"}, // Ștefănescu
        {"Y\xC4\xB1lmaz", "YILMAZ"},                // Yılmaz
        {"\xC4\x90uri\xC4\x87", "DURIC"},           // Đurić
        {"e\xCC\x81", "E"},                         // e and a combining acute
        {"\xCE\xAC", "\x7F\x80\x87\x91"},           // ά as the unit of Α (U+0391)
        {"a\xE2\x80\x82"
         "b",
         "A B"}, // a space the code page lacks
    };
    for (const auto& f : folds)
        EXPECT_EQ(f.Fold, Key(AppendKeyFold, f.Utf8)) << f.Utf8;
    const char* ordered[] = {"Zwart", "\xCE\xA0\xCE\xB1", "\xD0\x98\xD0\xB2", "\xD7\x9B"};
    for (std::size_t i = 1; i < std::size(ordered); ++i)
        EXPECT_LT(Key(AppendKeyFold, ordered[i - 1]), Key(AppendKeyFold, ordered[i]));
    EXPECT_LT(Key(AppendKeyUpperCase, "Walesa"), Key(AppendKeyUpperCase, "Wa\xC5\x82\xC4\x99sa"));
    EXPECT_EQ("WA\x7F\x80\x82\xC1\xCASA", Key(AppendKeyUpperCase, "wa\xC5\x82\xC3\xAAsa"));
    for (const std::string text :
         {"Wa\xC5\x82\xC4\x99sa", "\xCE\xA0\xCE\xB1 \xC3\xA9", "\xE5\xBC\xA0"})
        EXPECT_EQ(text, KeyTextToUtf8(Key(AppendKeyText, text)));
}

} // namespace
} // namespace ks
