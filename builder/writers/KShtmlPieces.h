// Small pieces of HTML shared by the writers of the combined index.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

class TKShtxRegel;

// A link (UTF-8) made fit for an href or value attribute: only the double
// quote, ampersand and angle brackets become entities, a letter
// Windows-1252 lacks is percent-encoded, every other letter stays.
std::string HrefText(std::string_view link);
// HrefText(link) appended to out.
void AppendHrefText(std::string& out, std::string_view link);
// ' href="link"' (HrefText, a blank in front) for a link that may be one
// (IsSafeLink), else nothing: the element stays, as plain text.
std::string HrefAttribute(const std::string& link);
// The blanks in front of every line a writer writes: as many as there are
// characters in front of the placeholder.
std::string Indent(int32_t column);
// The surname of an entry as HTML: "Berg, <span class="prefixClass">van den</span>"
// for a surname with a prefix, else the surname; names as tree texts
// (TreeText), one written from right to left isolated.
std::string SurnameHtml(const TKShtxRegel& entry, const std::string& prefixClass);
// The pattern with "%1" replaced by values[0], "%2" by values[1] and so on,
// in one pass (a value that holds "%2" stays as it is). A "%" followed by a
// digit with no value, or by anything else, is kept.
std::string FillPattern(const std::string& pattern, const std::vector<std::string>& values);

} // namespace ks
