// What the program needs to know of letters that Windows-1252 lacks: the
// letter each is built on, its other case, its kind and its writing
// direction. The Unicode data comes from utf8proc; only the few letters that
// Unicode does not build on another (Ł, Đ, ı, ...) are named here, as a
// genealogist files them.
#pragma once

#include <string>
#include <string_view>

namespace ks {

// The letter c is built on, in the same case: the first letter of its
// decomposition without marks (ő gives o, Ș gives S, Ǿ gives Ø, ﬁ gives f),
// or for a letter without one the letter it is filed with (Ł gives L, đ
// gives d, ı gives i); c itself when it is built on none.
char32_t BaseLetter(char32_t c);
// Every letter of c's decomposition without marks, each filed as BaseLetter
// files it (ﬁ gives f and i, a Hangul syllable its consonants and vowel);
// c itself when it is built on none.
std::u32string BaseLetters(char32_t c);

// c in capitals or in small letters; c itself when it has no other case.
char32_t UpperCaseLetter(char32_t c);
char32_t LowerCaseLetter(char32_t c);

// A letter or a digit of any script: what a name is made of.
bool IsLetterOrDigit(char32_t c);
// A mark that combines with the letter before it (an accent written apart).
bool IsCombiningMark(char32_t c);
// A letter written from right to left (Hebrew, Arabic, ...).
bool IsRightToLeft(char32_t c);

// text (valid UTF-8) with every letter and its combining marks composed into
// one letter where Unicode has one, so that "e" with a combining acute and
// "é" are one spelling. A text without combining marks comes back as it is.
std::string ComposedText(std::string_view text);

} // namespace ks
