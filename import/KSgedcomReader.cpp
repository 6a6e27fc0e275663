#include "import/KSgedcomReader.h"

#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSlocal.h"
#include "common/KSunicode.h"
#include "common/KSutf8.h"
#include "import/KSgedcomDate.h"
#include "import/KSgedcomText.h"
#include "import/KSpersonLink.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstring>
#include <optional>
#include <string_view>

namespace ks {
namespace {

constexpr std::size_t kBlockSize = 64 * 1024;
// No line of a sound file comes near these; they keep a damaged file (one
// without line ends, or a chain of continuation lines that never ends) from
// taking all memory.
constexpr std::size_t kMaxLineBytes = 1024 * 1024;
constexpr std::size_t kMaxValueBytes = 1024 * 1024;
constexpr long kMaxContinuations = 100000;
// A header text kept for the index document: one line of its header.
constexpr std::size_t kMaxHeaderBytes = 250;
// The numbers of skipped lines are kept for the report; a file of nothing
// else would fill memory with them.
constexpr std::size_t kMaxSkippedLines = 100000;

// What is wrong, in the language of the run, after the line it is wrong in.
std::string LineReason(long line, const std::string& what) {
    return LocalText("#1583.13=regel %1: %2", {std::to_string(line), what});
}

// The lines of a file, split at CR, LF or CR LF, as UTF-8 when the file is
// UTF-16 and as the file's bytes otherwise. A line is valid until the next
// call of Next.
class TGedcomLines {
public:
    explicit TGedcomLines(const std::string& path)
        : file_(File::Open(path, File::OpenMode::Read)), path_(path), block_(kBlockSize, '\0') {
        if (!file_.Valid())
            throw EInOutError(path,
                              LocalReason("#1583.1=kan niet gelezen worden", file_.OpenErrno()));
        const std::size_t got = file_.Read(block_.data(), block_.size());
        std::size_t bomLength = 0;
        bomEncoding_ = GedcomEncodingFromBytes(std::string_view(block_.data(), got), bomLength);
        if (bomEncoding_ == EGedcomEncoding::Utf16LE || bomEncoding_ == EGedcomEncoding::Utf16BE)
            utf16_.emplace(bomEncoding_ == EGedcomEncoding::Utf16BE);
        Take(std::string_view(block_.data(), got).substr(bomLength));
        if (got == 0) Finish();
    }

    // The character set that the first bytes show, if any.
    std::optional<EGedcomEncoding> BomEncoding() const { return bomEncoding_; }
    long Number() const { return number_; }
    // The last line had no line end.
    bool Unterminated() const { return unterminated_; }

    bool Next(std::string_view& line) {
        for (;;) {
            std::size_t end = scan_;
            while (end < buffer_.size() && buffer_[end] != '\n' && buffer_[end] != '\r')
                ++end;
            if (end - pos_ > kMaxLineBytes) TooLong();
            if (end < buffer_.size() &&
                (buffer_[end] == '\n' || end + 1 < buffer_.size() || ended_)) {
                line = std::string_view(buffer_).substr(pos_, end - pos_);
                std::size_t next = end + 1;
                if (buffer_[end] == '\r' && next < buffer_.size() && buffer_[next] == '\n') ++next;
                pos_ = scan_ = next;
                ++number_;
                return true;
            }
            if (ended_) {
                if (pos_ == buffer_.size()) return false;
                line = std::string_view(buffer_).substr(pos_);
                pos_ = scan_ = buffer_.size();
                ++number_;
                unterminated_ = true;
                return true;
            }
            // A CR at the end of the buffer may be followed by its LF.
            scan_ = end;
            buffer_.erase(0, pos_);
            scan_ -= pos_;
            pos_ = 0;
            const std::size_t got = file_.Read(block_.data(), block_.size());
            if (got == 0)
                Finish();
            else
                Take(std::string_view(block_.data(), got));
        }
    }

private:
    void Take(std::string_view bytes) {
        if (utf16_)
            utf16_->Append(bytes, buffer_);
        else
            buffer_.append(bytes);
    }
    void Finish() {
        if (utf16_) utf16_->Finish(buffer_);
        ended_ = true;
    }
    [[noreturn]] void TooLong() const {
        throw EInOutError(path_, LineReason(number_ + 1, LocalText("#1583.14=de regel is langer "
                                                                   "dan 1 MiB")));
    }

    File file_;
    std::string path_;
    std::string block_;
    std::string buffer_;
    std::size_t pos_ = 0;  // start of the next line
    std::size_t scan_ = 0; // bytes before it hold no line end
    bool ended_ = false;
    bool unterminated_ = false;
    long number_ = 0;
    std::optional<EGedcomEncoding> bomEncoding_;
    std::optional<TUtf16Decoder> utf16_;
};

struct TGedcomLine {
    int Level = 0;
    std::string_view Xref; // "@I1@", or empty
    std::string_view Tag;
    std::string_view Value;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// "LEVEL [@XREF@] TAG [VALUE]"; false for a line of another form.
bool ParseLine(std::string_view text, TGedcomLine& line) {
    std::size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    const std::size_t digits = pos;
    int level = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - digits < 3)
        level = level * 10 + (text[pos++] - '0');
    if (pos == digits || pos == text.size() || !IsBlank(text[pos])) return false;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    line.Level = level;
    line.Xref = {};
    if (pos < text.size() && text[pos] == '@') {
        const std::size_t close = text.find('@', pos + 1);
        if (close == std::string_view::npos) return false;
        line.Xref = text.substr(pos, close + 1 - pos);
        pos = close + 1;
        if (pos == text.size() || !IsBlank(text[pos])) return false;
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
    }
    const std::size_t tag = pos;
    while (pos < text.size() && !IsBlank(text[pos]))
        ++pos;
    if (pos == tag) return false;
    line.Tag = text.substr(tag, pos - tag);
    // One blank separates the tag from its value; further blanks belong to it.
    line.Value = pos < text.size() ? text.substr(pos + 1) : std::string_view();
    return true;
}

// The text with every run of blanks and control characters as one blank
// (they have no place in a name or an index line), and commas too unless
// keepCommas.
std::string Collapsed(std::string_view text, bool keepCommas = false) {
    std::string out;
    for (const char c : text) {
        const bool blank =
            static_cast<unsigned char>(c) <= 0x20 || c == 0x7F || (c == ',' && !keepCommas);
        if (blank) {
            if (!out.empty() && out.back() != ' ') out += ' ';
        } else {
            out += c;
        }
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string FillLinkPattern(const std::string& pattern, const std::string& id,
                            const std::string& surname, const std::string& given) {
    std::string out;
    for (std::size_t pos = 0; pos < pattern.size();) {
        if (pattern.compare(pos, 4, "{id}") == 0) {
            out += PercentEncode(id), pos += 4;
        } else if (pattern.compare(pos, 9, "{surname}") == 0) {
            out += PercentEncode(surname), pos += 9;
        } else if (pattern.compare(pos, 7, "{given}") == 0) {
            out += PercentEncode(given), pos += 7;
        } else {
            out += pattern[pos++];
        }
    }
    return out;
}

enum EEvent {
    kBirth = 0,
    kChristening,
    kBaptism,
    kDeath,
    kBurial,
    kCremation,
    kEvents,
    kNoEvent = -1
};

// What an INDI record holds for the index, its texts as in the file.
struct TIndividual {
    long Line = 0;
    std::string Id;
    bool HasName = false;
    std::string Name, Given, Surname, Prefix;
    bool HasGiven = false, HasSurname = false, HasPrefix = false;
    std::string Years[kEvents];
    bool Dated[kEvents] = {};
    bool Happened[kEvents] = {};
    bool Private = false;
    int BornBy = 0; // by the dates of its other events and facts
};

EEvent EventOf(std::string_view tag) {
    if (tag == "BIRT") return kBirth;
    if (tag == "CHR") return kChristening;
    if (tag == "BAPM") return kBaptism;
    if (tag == "DEAT") return kDeath;
    if (tag == "BURI") return kBurial;
    if (tag == "CREM") return kCremation;
    return kNoEvent;
}

// Whether the date under a record's line of this tag is one of the life of
// its person or family: not the date the record was made or changed, nor
// one of an event that did not happen (7.0 NO).
bool DatesALife(std::string_view tag) {
    return tag != "CHAN" && tag != "CREA" && tag != "NO" && tag != "NAME";
}

// RESN privacy (5.5.1) or RESN PRIVACY, CONFIDENTIAL (7.0, a list), any case.
bool KeepsPrivate(std::string_view value) {
    std::size_t pos = 0;
    while (pos < value.size()) {
        const std::size_t end = std::min(value.find_first_of(", \t", pos), value.size());
        std::string word(value.substr(pos, end - pos));
        for (char& c : word)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (word == "PRIVACY" || word == "CONFIDENTIAL") return true;
        pos = end + 1;
    }
    return false;
}

// The lesser of two latest years, 0 and kYearWithoutEnd naming none.
int EarlierYear(int a, int b) {
    if (b <= 0 || b == kYearWithoutEnd) return a;
    return a <= 0 ? b : std::min(a, b);
}

// The blanks GEDCOM files write as "_" between the words of a name.
std::string UnderscoresAsBlanks(std::string text) {
    std::replace(text.begin(), text.end(), '_', ' ');
    return Collapsed(text);
}

class TGedcomReader {
public:
    TGedcomReader(const std::string& path, const TKSgedcomOptions& options,
                  const std::function<void(TKSimportPerson&)>& take,
                  const std::function<void(const TKSimportFamily&)>& takeFamily,
                  TKSimportReport& report)
        : path_(path), options_(options), take_(take), takeFamily_(takeFamily), report_(report),
          lines_(path) {
        if (lines_.BomEncoding()) encoding_ = *lines_.BomEncoding();
        if (encoding_ == EGedcomEncoding::Utf16LE || encoding_ == EGedcomEncoding::Utf16BE)
            encoding_ = EGedcomEncoding::Utf8; // its lines arrive as UTF-8
    }

    void Read() {
        std::string_view text;
        bool first = true;
        bool trailer = false;
        while (!trailer && lines_.Next(text)) {
            if (text.find_first_not_of(" \t") == std::string_view::npos) continue;
            TGedcomLine line;
            const bool parsed = ParseLine(text, line);
            if (first) {
                if (!parsed || line.Level != 0 || line.Tag != "HEAD")
                    throw EInOutError(path_, LineReason(lines_.Number(),
                                                        LocalText("#1583.15=geen GEDCOM-bestand: "
                                                                  "het begint niet met 0 HEAD")));
                first = false;
            }
            if (!parsed || line.Level > level_ + 1) {
                if (report_.SkippedLines.size() >= kMaxSkippedLines)
                    throw EInOutError(
                        path_, LineReason(lines_.Number(),
                                          LocalText("#1583.17=meer dan %1 regels kunnen niet "
                                                    "gelezen worden: het bestand is beschadigd",
                                                    {std::to_string(kMaxSkippedLines)})));
                report_.SkippedLines.push_back(lines_.Number());
                continue;
            }
            level_ = line.Level;
            if (line.Tag == "CONC" || line.Tag == "CONT") {
                Continue(line);
                continue;
            }
            valueLevel_ = line.Level;
            continuations_ = 0;
            target_ = nullptr;
            if (line.Level == 0) {
                EndRecord();
                trailer = line.Tag == "TRLR";
                StartRecord(line);
            } else if (record_ == kHead) {
                HeadLine(line);
            } else if (record_ == kIndividual) {
                IndividualLine(line);
            } else if (record_ == kFamily) {
                FamilyLine(line);
            } else if (record_ == kSubmitter && line.Level == 1 && line.Tag == "NAME" &&
                       report_.SourceUser.empty()) {
                report_.SourceUser = HeaderText(Text(line.Value), kMaxHeaderBytes);
            }
        }
        if (first) throw EInOutError(path_, LocalText("#1583.16=geen GEDCOM-bestand: het is leeg"));
        if (!trailer) {
            if (lines_.Unterminated())
                throw EInOutError(
                    path_,
                    LineReason(lines_.Number(), LocalText("#1583.18=het bestand eindigt midden in "
                                                          "een regel: het is afgebroken")));
            EndRecord();
            report_.MissingTrailer = true;
        }
    }

private:
    enum ERecord { kOther, kHead, kIndividual, kFamily, kSubmitter };

    void Continue(const TGedcomLine& line) {
        if (line.Level != valueLevel_ + 1) return; // not of the value before it
        if (++continuations_ > kMaxContinuations)
            throw EInOutError(
                path_,
                LineReason(lines_.Number(), LocalText("#1583.19=meer dan %1 CONC/CONT-regels voor "
                                                      "\xE9\xE9n waarde",
                                                      {std::to_string(kMaxContinuations)})));
        if (target_ == nullptr) return;
        if (line.Tag == "CONT") *target_ += ' '; // a new line in a name or a date reads as a space
        *target_ += line.Value;
        if (target_->size() > kMaxValueBytes)
            throw EInOutError(path_, LineReason(lines_.Number(),
                                                LocalText("#1583.20=een waarde langer dan 1 MiB")));
    }

    void Keep(std::string& target, std::string_view value) {
        target.assign(value);
        target_ = &target;
    }

    void StartRecord(const TGedcomLine& line) {
        record_ = kOther;
        if (line.Tag == "HEAD") {
            record_ = kHead;
        } else if (line.Tag == "INDI") {
            record_ = kIndividual;
            person_ = TIndividual();
            person_.Line = lines_.Number();
            std::string_view id = line.Xref;
            if (id.size() >= 2) id = id.substr(1, id.size() - 2);
            person_.Id.assign(id);
        } else if (line.Tag == "FAM") {
            record_ = takeFamily_ ? kFamily : kOther;
            family_.EventYear = 0;
            family_.Spouses.clear();
            family_.Children.clear();
        } else if (line.Tag == "SUBM" && (submitter_.empty() || line.Xref == submitter_)) {
            record_ = kSubmitter;
        }
    }

    void HeadLine(const TGedcomLine& line) {
        if (line.Level == 1) {
            headContext_ = line.Tag;
            if (line.Tag == "CHAR") {
                charValue_.assign(line.Value);
                charLine_ = lines_.Number();
            }
            if (line.Tag == "SUBM") submitter_.assign(line.Value);
            if (line.Tag == "NOTE" && headNote_.empty()) Keep(headNote_, line.Value);
        } else if (line.Level == 2 && headContext_ == "GEDC" && line.Tag == "VERS") {
            version_.assign(line.Value);
        }
    }

    // The header's character set holds from here on; a byte-order mark
    // wins, and version 7 files are UTF-8 whatever they say.
    void EndHead() {
        if (!lines_.BomEncoding() && version_.substr(0, 1) != "7" && !charValue_.empty()) {
            const auto named = GedcomEncodingFromChar(Collapsed(charValue_));
            if (!named)
                throw EInOutError(path_,
                                  LineReason(charLine_, LocalText("#1583.21=onbekende tekenset "
                                                                  "\"%1\"",
                                                                  {charValue_})));
            encoding_ = *named;
        }
        report_.SourceDescription = HeaderText(Text(headNote_, true), kMaxHeaderBytes);
    }

    // A header text in the document's character set, cut to a line's
    // length (on a letter's boundary).
    std::string HeaderText(const std::string& utf8, std::size_t limit) const {
        long ignored = 0;
        std::string text = DocumentText(utf8, ignored);
        if (text.size() <= limit) return text;
        if (options_.Charset == TKSimportCharset::Utf8)
            while (limit > 0 && IsUtf8Continuation(text[limit]))
                --limit;
        text.resize(limit);
        return text;
    }

    // A value (UTF-8) in the document's character set: composed, or the
    // nearest Windows-1252 letters, those replaced counted in replaced.
    std::string DocumentText(const std::string& utf8, long& replaced) const {
        if (options_.Charset == TKSimportCharset::Utf8) return ComposedText(utf8);
        return Utf8ToWindows1252Counted(utf8, replaced);
    }

    void IndividualLine(const TGedcomLine& line) {
        if (line.Level == 1) {
            event_ = EventOf(line.Tag);
            inName_ = false;
            datesLife_ = DatesALife(line.Tag);
            if (event_ != kNoEvent) {
                person_.Happened[event_] = true;
            } else if (line.Tag == "NAME" && !person_.HasName) {
                person_.HasName = inName_ = true;
                Keep(person_.Name, line.Value);
            } else if (line.Tag == "RESN" && KeepsPrivate(line.Value)) {
                person_.Private = true;
            }
        } else if (line.Level == 2) {
            if (inName_) {
                if (line.Tag == "GIVN") person_.HasGiven = true, Keep(person_.Given, line.Value);
                if (line.Tag == "SURN")
                    person_.HasSurname = true, Keep(person_.Surname, line.Value);
                if (line.Tag == "SPFX") person_.HasPrefix = true, Keep(person_.Prefix, line.Value);
            } else if (event_ != kNoEvent && line.Tag == "DATE" && !person_.Dated[event_]) {
                Keep(person_.Years[event_], line.Value); // the date until the record ends
                person_.Dated[event_] = !line.Value.empty();
            } else if (datesLife_ && line.Tag == "DATE") {
                person_.BornBy = EarlierYear(person_.BornBy, GedcomDateLatestYear(line.Value));
            }
        }
    }

    void FamilyLine(const TGedcomLine& line) {
        if (line.Level == 1) {
            datesLife_ = DatesALife(line.Tag);
            if (line.Tag == "HUSB" || line.Tag == "WIFE")
                family_.Spouses.push_back(GedcomRecordKey(line.Value));
            else if (line.Tag == "CHIL")
                family_.Children.push_back(GedcomRecordKey(line.Value));
        } else if (line.Level == 2 && datesLife_ && line.Tag == "DATE") {
            family_.EventYear = EarlierYear(family_.EventYear, GedcomDateLatestYear(line.Value));
        }
    }

    void EndRecord() {
        if (record_ == kHead) EndHead();
        if (record_ == kIndividual) EmitPerson();
        if (record_ == kFamily) takeFamily_(family_);
        record_ = kOther;
        headContext_.clear();
        event_ = kNoEvent;
        inName_ = false;
    }

    // A value as UTF-8, "@@" read as "@"; commas are blanks but in a text
    // kept whole.
    std::string Text(std::string_view raw, bool keepCommas = false) const {
        std::string value(raw);
        const bool seven = version_.substr(0, 1) == "7";
        for (std::size_t at = value.find("@@"); at != std::string::npos;
             at = value.find("@@", at + 1)) {
            if (seven && at != 0) break; // version 7 escapes only a leading "@"
            value.erase(at, 1);
        }
        return Collapsed(GedcomValueToUtf8(value, encoding_), keepCommas);
    }

    // The pieces of the person's name as UTF-8: the surname as the NAME
    // spells it (with its particle), the main surname, its particle and the
    // given names.
    struct TNamePieces {
        std::string Surname, MainSurname, Prefix, Given;
    };

    // A name's pieces; underscores between the words as blanks when asked.
    TNamePieces NamePieces(bool underscoresAsBlanks) const {
        const auto text = [&](std::string_view raw) {
            return underscoresAsBlanks ? UnderscoresAsBlanks(Text(raw)) : Text(raw);
        };
        const std::string name = text(person_.Name);
        std::string given, surname, after;
        const std::size_t open = name.find('/');
        if (open == std::string::npos) {
            given = name;
        } else {
            const std::size_t close = name.find('/', open + 1);
            given = Collapsed(name.substr(0, open));
            surname = Collapsed(name.substr(
                open + 1, close == std::string::npos ? std::string::npos : close - open - 1));
            if (close != std::string::npos) after = Collapsed(name.substr(close + 1));
            // Some programs put the given names behind the surname.
            if (given.empty()) given = after;
        }
        if (person_.HasGiven && !text(person_.Given).empty()) given = text(person_.Given);
        std::string mainSurname = surname, prefix;
        const std::string surn = text(person_.Surname.substr(0, person_.Surname.find(',')));
        const std::string spfx = text(person_.Prefix);
        if (person_.HasSurname && !surn.empty()) {
            mainSurname = surn;
            if (!spfx.empty()) {
                prefix = spfx;
            } else if (surname.size() > surn.size() + 1 && surname.ends_with(" " + surn)) {
                // "/van den Berg/" with SURN Berg: the rest of the name is
                // its particle, which would otherwise be lost.
                prefix = surname.substr(0, surname.size() - surn.size() - 1);
            }
        } else if (!spfx.empty() && surname.starts_with(spfx + " ")) {
            prefix = spfx;
            mainSurname = surname.substr(spfx.size() + 1);
        }
        if (surname.empty() && !mainSurname.empty())
            surname = prefix.empty() ? mainSurname : prefix + " " + mainSurname;
        return {surname, mainSurname, prefix, given};
    }

    bool NameHasUnderscore() const {
        for (const std::string* piece :
             {&person_.Name, &person_.Given, &person_.Surname, &person_.Prefix})
            if (piece->find('_') != std::string::npos) return true;
        return false;
    }

    // The years of the events of birth and death, and what they say of
    // whether the person may be alive.
    void SetYears(TKSimportPerson& person) {
        int latest[kDeath] = {}; // of birth, christening and baptism
        for (int event = kBirth; event < kEvents; ++event) {
            if (!person_.Dated[event]) {
                person_.Years[event].clear();
                continue;
            }
            TKSdateYears years = GedcomDateYears(person_.Years[event]);
            if (event < kDeath)
                latest[event] = years.Latest;
            else // one dies after one is born
                person.BornByYear = EarlierYear(person.BornByYear, years.Latest);
            person_.Years[event] = std::move(years.Year);
        }
        for (int event = kBirth; event <= kBaptism && person.BirthLatestYear == 0; ++event)
            person.BirthLatestYear = latest[event];
        for (int event = kBirth; event <= kBaptism && person.BirthYear.empty(); ++event)
            person.BirthYear = person_.Years[event];
        for (int event = kDeath; event < kEvents && person.DeathYear.empty(); ++event)
            person.DeathYear = person_.Years[event];
        person.BornByYear = EarlierYear(person.BornByYear, person_.BornBy);
        person.HasBirthEvent =
            person_.Dated[kBirth] || person_.Dated[kChristening] || person_.Dated[kBaptism];
        person.HasDeathEvent =
            person_.Happened[kDeath] || person_.Happened[kBurial] || person_.Happened[kCremation];
    }

    void EmitPerson() {
        // Links carry the name as the file spells it; the index reads an
        // underscore between its words as a blank.
        const TNamePieces spelt = NamePieces(false);
        const TNamePieces pieces = NameHasUnderscore() ? NamePieces(true) : spelt;
        TKSimportPerson person;
        person.Surname = DocumentText(pieces.MainSurname, report_.LettersReplaced);
        person.Prefix = DocumentText(pieces.Prefix, report_.LettersReplaced);
        person.GivenNames = DocumentText(pieces.Given, report_.LettersReplaced);
        long ignored = 0;
        person.Id = DocumentText(Text(person_.Id), ignored);
        SetYears(person);
        person.Private = person_.Private;
        person.RecordKey = GedcomRecordKey(person_.Id);
        if (!options_.LinkPattern.empty())
            person.Link = UsablePersonLink(FillLinkPattern(options_.LinkPattern, Text(person_.Id),
                                                           spelt.Surname, spelt.Given));
        person.Line = person_.Line;
        ++report_.PersonsRead;
        take_(person);
    }

    const std::string& path_;
    const TKSgedcomOptions& options_;
    const std::function<void(TKSimportPerson&)>& take_;
    const std::function<void(const TKSimportFamily&)>& takeFamily_;
    TKSimportReport& report_;
    TGedcomLines lines_;
    EGedcomEncoding encoding_ = EGedcomEncoding::Utf8;
    int level_ = -1;
    int valueLevel_ = 0;
    long continuations_ = 0;
    std::string* target_ = nullptr; // the value CONC/CONT lines extend, if kept
    ERecord record_ = kOther;
    std::string headContext_, charValue_, version_, headNote_, submitter_;
    long charLine_ = 0;
    TIndividual person_;
    TKSimportFamily family_;
    EEvent event_ = kNoEvent;
    bool datesLife_ = false; // the date of the current line of a record counts for the living
    bool inName_ = false;
};

} // namespace

void ReadGedcom(const std::string& path, const TKSgedcomOptions& options,
                const std::function<void(TKSimportPerson&)>& take, TKSimportReport& report,
                const std::function<void(const TKSimportFamily&)>& takeFamily) {
    if (!options.LinkPattern.empty())
        if (const std::string problem = LinkPatternProblem(options.LinkPattern); !problem.empty())
            throw EKSError(problem);
    TGedcomReader(path, options, take, takeFamily, report).Read();
}

uint64_t GedcomRecordKey(std::string_view xref) {
    while (!xref.empty() && (xref.front() == '@' || xref.front() == ' '))
        xref.remove_prefix(1);
    while (!xref.empty() && (xref.back() == '@' || xref.back() == ' '))
        xref.remove_suffix(1);
    if (xref.empty()) return 0;
    uint64_t hash = 0xCBF29CE484222325ULL; // FNV-1a
    for (const char c : xref)
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
    return hash == 0 ? 1 : hash;
}

bool LooksLikeGedcom(const std::string& path) {
    // Never waits on a named pipe: only a regular file is opened.
    FileReader reader(path);
    std::string head;
    reader.ReadChunk(head, 64);
    const std::string_view first(head);
    std::size_t bomLength = 0;
    (void)GedcomEncodingFromBytes(first, bomLength);
    std::string text;
    for (const char c : first.substr(bomLength))
        if (c != '\0') text += c; // UTF-16 as its ASCII letters
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    return start != std::string::npos && text.compare(start, 6, "0 HEAD") == 0;
}

} // namespace ks
