// Sort-key forms of UTF-8 text. A letter Windows-1252 holds gives the byte
// the code page's tables give it (KSconvert), so a name that code page can
// hold has the same key in either form. Any other letter is a unit of four
// bytes: 0x7F, which no table gives, then its code point in three bytes of
// seven bits each, the high bit set. A key therefore splits into letters the
// same way wherever it is read, units compare in code point order, and the
// tab between the fields of a key stays its smallest byte.
#pragma once

#include <string>
#include <string_view>

namespace ks {

// The folded form: a letter as the capital of the letter it is built on
// (ő as O, Ł as L, ά as the unit of Α), digits, tab and hyphen as they are,
// a combining mark as nothing, anything else as a blank.
void AppendKeyFold(std::string& out, std::string_view utf8);
// Every letter in capitals.
void AppendKeyUpperCase(std::string& out, std::string_view utf8);
// Every letter as written.
void AppendKeyText(std::string& out, std::string_view utf8);

// A field of a key written by AppendKeyText, back as UTF-8.
std::string KeyTextToUtf8(std::string_view field);

} // namespace ks
