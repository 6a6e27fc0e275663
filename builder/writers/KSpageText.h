// Texts that name a page of the combined index: its anchor, its key label in
// the choice of pages, its title and the file (and place) it is written to.
#pragma once

#include "builder/entries/KSindexData.h"
#include "builder/entries/KSindexType.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ks {

struct TKSrunView;
class TKSkslFile;

// The name of the section of persons without a surname ("Zonder
// achternaam"), in the language of the run, as UTF-8 like the tree texts
// it stands among.
std::string NoSurnameText();
// "index" and the page number ("index7").
std::string AnchorName(const TKSindexData& page);
// The label of a page in the choice of pages. Per letter: the group letter;
// per two letters: the surname's first two characters ("Ja"); for the other
// divisions, with withRange the first surname and " - " the last one (when
// they differ), else the first two characters. Names are shown as written
// ("Burke_Roche"); "?" is the unknown name only. A page of the section
// without a surname reads "Zonder achternaam", followed, when the section
// has more pages, by its first given names (with range: "Zonder
// achternaam: Albert - Edward").
std::string KeyLabel(const TKSindexData& page, TKSindexType indexType, bool withRange);
// KeyLabel, except that a link to a part of the index (withRange not set)
// shows the whole first surname rather than its first two characters, which
// several parts share.
std::string FullKeyLabel(const TKSindexData& page, TKSindexType indexType, bool withRange);
// The surname's first two letters (code points), padded with blanks, the
// first in capitals and the second in small letters (A to Z only): "Ja" for
// JANSEN.
std::string TwoLetters(std::string_view surname);
// The name of a page for its title and heading, HTML: per letter the
// group letter, per two letters the first two characters, for the other
// divisions the first surname and "&ndash;" the last one (when they
// differ).
std::string PageName(const TKSindexData& page, TKSindexType indexType);
// "Jansen - Klaassen (412)": first surname (when it differs from the last),
// last surname and the number of entries; of the section without a
// surname its name and range as KeyLabel gives them. Plain text, not yet
// HTML.
std::string PageTitle(const TKSindexData& page);
// The output file of the entry that holds page number page, as the
// run names it, escaped for a link (UrlPath).
std::string PageFile(const TKSrunView& run, const TKSkslFile& entry, int32_t page);
// Where page number page starts: its file when the entry is split, else the
// single file (of a surname list in parts: the part that holds the page)
// followed by "#" and the page's anchor.
std::string PageTarget(const TKSrunView& run, const TKSkslFile& entry, int32_t page);
// The title as TITLE$(before,after,otherwise) writes it: with a title,
// before, the title and after; without one, otherwise (the rest of the
// arguments, commas included). Without arguments, the title as it is.
// titleAt, when given, receives where the title begins in the result.
std::string TitleText(const std::string& title, const std::string& arguments,
                      std::size_t* titleAt = nullptr);

} // namespace ks
