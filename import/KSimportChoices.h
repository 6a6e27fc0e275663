// What the user chose for an import, kept in the index document it writes
// (a section "[import]" that readers of index documents pass over), so that
// the next import of the same name list, from either front end, does again
// what the user asked for last time.
#pragma once

#include "import/KSimportPerson.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ks {

// Texts as typed (UTF-8). Unset where nothing was chosen; a text chosen
// empty asks for the default (an empty link pattern is none chosen).
struct TKSimportChoices {
    std::optional<std::string> Title;
    std::optional<std::string> Description;
    std::optional<std::string> UserName;
    std::optional<std::string> Email;
    std::optional<std::string> Homepage;
    std::string LinkPattern;
    std::optional<std::string> StartPage;
    std::optional<bool> IncludeLiving;
    std::optional<int> LivingAge;
    // The character set of the document; unset: UTF-8.
    std::optional<TKSimportCharset> Charset;
};

// The character set choices asks for: UTF-8 unless Windows-1252 is chosen.
TKSimportCharset ChosenCharset(const TKSimportChoices& choices);

// The choices the index document at path keeps: its title (as retitled
// since), e-mail address and home page whoever wrote it, when not empty; the
// description, user name, link pattern, start page, living options and
// character set an import chose. Nothing when it is no index document.
TKSimportChoices KeptImportChoices(const std::string& path);

// Fills what given leaves unset (or the link pattern empty) from kept. Returns the names of the
// choices taken from kept, in the order above ("title", "description",
// "user", "email", "homepage", "link", "start-page", "living", "living-age",
// "charset").
std::vector<std::string> TakeKeptChoices(TKSimportChoices& given, const TKSimportChoices& kept);

// The keys and values of the section "[import]" that keep choices for the
// next import, in the character set the choices ask for, as the document
// holds its texts (a letter Windows-1252 lacks as its nearest). Title, e-mail
// address and home page are kept in the document's header already.
std::vector<std::pair<std::string, std::string>> ImportChoiceLines(const TKSimportChoices& choices);

} // namespace ks
