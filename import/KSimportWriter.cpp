#include "import/KSimportWriter.h"

#include "common/KScodepage.h"
#include "common/KSconvert.h"
#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSfiles.h"
#include "common/KSkeyText.h"
#include "common/KSlocal.h"
#include "common/KSproduct.h"
#include "common/KSreplacingFile.h"
#include "common/KSwebLink.h"
#include "import/KSgedcomDate.h"
#include "import/KSindexLetter.h"
#include "index/KShtxRegel.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <functional>
#include <string_view>

namespace ks {

namespace {

namespace fs = std::filesystem;

constexpr char kTab = '\t';
// The fields of a record (sort key, tab, link) that make up the index line.
enum KeyField { kLetter = 0, kYear1 = 5, kYear2 = 6, kSurname = 7, kGiven = 8 };

// Without control characters (of UTF-8 text, or control bytes of
// Windows-1252) and blanks around.
std::string Cleaned(std::string text, bool utf8) {
    if (utf8)
        DropControlCharactersUtf8(text);
    else
        DropControlBytes(text);
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A name (UTF-8) as an index line holds it: cleaned, cut, "?" when unknown.
std::string NameField(std::string utf8) {
    utf8 = Cleaned(std::move(utf8), true);
    CutNameUtf8(utf8);
    return utf8.empty() || utf8 == "_" ? "?" : utf8;
}

void AppendIniLine(std::string& out, const char* key, const std::string& value, bool utf8) {
    out.append(key).append("=").append(Cleaned(value, utf8)).append("\r\n");
}

// A field of the key as the document holds it. The key writes a letter
// Windows-1252 holds as that byte, so a Windows-1252 document takes it as
// it is.
void AppendKeyField(std::string& out, std::string_view field, bool utf8) {
    if (utf8)
        out.append(KeyTextToUtf8(field));
    else
        out.append(field);
}

// The index line of a record: letter, surname, given names, no extra text,
// the years, the number and the link.
void AppendIndexLine(std::string& out, std::string_view record, uint32_t number, bool utf8) {
    std::string_view fields[11];
    std::string_view rest = record;
    for (std::string_view& field : fields) {
        const auto tab = rest.find(kTab);
        field = rest.substr(0, tab);
        rest = tab == std::string_view::npos ? std::string_view() : rest.substr(tab + 1);
    }
    for (const KeyField field : {kLetter, kSurname, kGiven, kYear1, kYear2}) {
        AppendKeyField(out, fields[field], utf8);
        out.append(field == kGiven ? 2 : 1, kTab);
    }
    out.append(std::to_string(number)).push_back(kTab);
    out.append(fields[10]).append("\r\n");
}

// The number a record is written with, 0 when it is left out.
using TRecordNumber = std::function<uint32_t(const TKSsortRecord&)>;

// Writes the header and the index lines of the records to a temporary file
// beside path and renames it into place: the lines go out as they are
// merged, so a large import never holds its document. A failure leaves the
// file at path as it was.
void WriteAtomically(const std::string& path, const std::string& header, TKSrunFileSort& records,
                     const TRecordNumber& numberOf, bool utf8) {
    ReplacingFile file(path, ReplacingOptions::WithMode(0644));
    file.RequireValid("#1583.6=kan niet geschreven worden");
    try {
        BufferedWriter& writer = file.Writer();
        writer.Write(header);
        std::string line;
        records.Finish([&](const TKSsortRecord& record) {
            const uint32_t number = numberOf(record);
            if (number == 0) return;
            line.clear();
            AppendIndexLine(line, record.Key, number, utf8);
            writer.Write(line);
        });
        file.Commit();
    } catch (const EWriteError& e) {
        throw EWriteError(path, e.Reason());
    }
}

} // namespace

int LatestBirthYear(const TKSimportPerson& person) {
    int born = person.BirthLatestYear;
    if (born == 0) { // the date is of no form the readers know: the year it shows
        const std::string& year = person.BirthYear;
        const auto [end, ec] = std::from_chars(year.data(), year.data() + year.size(), born);
        if (year.empty() || ec != std::errc{} || end != year.data() + year.size()) born = 0;
    }
    if (born == kYearWithoutEnd) born = 0;
    if (person.BornByYear > 0 && person.BornByYear != kYearWithoutEnd &&
        (born <= 0 || person.BornByYear < born))
        born = person.BornByYear;
    return std::max(born, 0);
}

bool IsLiving(const TKSimportPerson& person, int thisYear, int livingAge) {
    if (person.HasDeathEvent || !person.DeathYear.empty()) return false;
    const int born = LatestBirthYear(person);
    return born == 0 || born > thisYear - livingAge;
}

std::string ImportTargetProblem(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return {};
        return LocalReason("#1583.1=kan niet gelezen worden", errno);
    }
    std::string unreadable;
    if (S_ISREG(st.st_mode) && CheckFileKind(path, "htx", 1, 1, &unreadable)) return {};
    if (!unreadable.empty())
        return LocalText("#1583.1=kan niet gelezen worden") + ": " + unreadable;
    return LocalText("#1583.5=bestaat al en is geen indexdocument; het blijft zoals het is");
}

TKSimportWriter::TKSimportWriter(int thisYear, bool includeLiving, std::string linkBase,
                                 const TKSimportSorting& sorting, int livingAge,
                                 TKSimportCharset charset)
    : thisYear_(thisYear), includeLiving_(includeLiving), livingAge_(livingAge),
      utf8_(charset == TKSimportCharset::Utf8), linkBase_(std::move(linkBase)),
      folder_(sorting.TempFolder),
      records_([this](int n) { return folder_.Path() + "persons-" + std::to_string(n) + ".tmp"; },
               sorting.BufferBytes) {}

void TKSimportWriter::Add(const TKSimportPerson& person, TKSimportReport& report) {
    // Everyone counts as a relative, also those left out.
    const auto number = static_cast<uint32_t>(added_.size());
    if (!includeLiving_)
        judge_.AddPerson(person.RecordKey, LatestBirthYear(person),
                         person.HasDeathEvent || !person.DeathYear.empty());
    added_.push_back(false);
    // The key is built from UTF-8; it gives a Windows-1252 text its bytes
    // back (AppendKeyField).
    const auto utf8 = [this](const std::string& text) {
        return utf8_ ? text : Windows1252ToUtf8(text);
    };
    TKShtxRegel line;
    line.Surname = NameField(utf8(person.Surname));
    line.GivenNames = NameField(utf8(person.GivenNames));
    if (person.Private) {
        ++report.LeftOutPrivate;
        return;
    }
    if (line.Surname == "?" && line.GivenNames == "?") {
        ++report.LeftOutNoName;
        return;
    }
    added_[number] = true;
    line.Letter = IndexLetter(line.Surname);
    const std::string prefix = Cleaned(utf8(person.Prefix), true);
    if (line.Surname != "?" && !prefix.empty()) {
        line.Surname = Cleaned(line.Surname + ", " + prefix, true);
        CutNameUtf8(line.Surname);
    }
    line.Year1 = Cleaned(utf8(person.BirthYear), true);
    line.Year2 = Cleaned(utf8(person.DeathYear), true);
    line.Number = static_cast<int32_t>(++kept_);
    std::string link = Cleaned(person.Link, utf8_);
    if (!NamesScheme(link)) link.insert(0, linkBase_);

    line.SortKeyInto(record_);
    record_.push_back(kTab);
    record_.append(link);
    records_.Add(record_, {}, number);
}

void TKSimportWriter::AddFamily(const TKSimportFamily& family) {
    if (!includeLiving_) judge_.AddFamily(family);
}

void TKSimportWriter::NumberPersons(TKSimportReport& report) {
    if (!includeLiving_) judge_.Judge(thisYear_, livingAge_);
    uint32_t written = 0;
    numbers_.assign(added_.size(), 0);
    for (uint32_t person = 0; person < added_.size(); ++person) {
        const bool living = added_[person] && !includeLiving_ && judge_.IsLiving(person);
        if (living) ++report.LeftOutLiving;
        if (added_[person] && !living) numbers_[person] = ++written;
    }
    report.PersonsWritten += written;
}

void TKSimportWriter::Write(const std::string& path, const TKSimportHeader& header,
                            TKSimportReport& report) {
    std::string out = "[KESTRIN]\r\n";
    AppendIniLine(out, "version", kProductVersion, utf8_);
    AppendIniLine(out, "type", "htx", utf8_);
    AppendIniLine(out, "format", "1", utf8_);
    if (utf8_) AppendIniLine(out, "charset", "utf-8", utf8_);
    out.append("[userdata]\r\n");
    AppendIniLine(out, "username", header.UserName, utf8_);
    AppendIniLine(out, "email", header.Email, utf8_);
    AppendIniLine(out, "homepage", header.Homepage, utf8_);
    out.append("[metadata]\r\n");
    AppendIniLine(out, "datafile", header.DataFile, utf8_);
    AppendIniLine(out, "title", header.Title, utf8_);
    AppendIniLine(out, "created", header.Created, utf8_);
    AppendIniLine(out, "htmfile", header.HtmFile, utf8_);
    // The description ends at the first number without a key, so an empty
    // line would hide the ones after it.
    int number = 0;
    for (const std::string& description : header.Description)
        if (!Cleaned(description, utf8_).empty())
            AppendIniLine(out, ("description" + std::to_string(++number)).c_str(), description,
                          utf8_);
    if (!header.Choices.empty()) out.append("[import]\r\n");
    for (const auto& [key, value] : header.Choices)
        AppendIniLine(out, key.c_str(), value, utf8_);
    out.append("[indexdata]\r\n");
    TKSimportReport counted;
    records_.ReleaseBuffer(); // the judge needs the memory more
    NumberPersons(counted);
    WriteAtomically(
        path, out, records_, [this](const TKSsortRecord& record) { return numbers_[record.Tie]; },
        utf8_);
    report.PersonsWritten += counted.PersonsWritten;
    report.LeftOutLiving += counted.LeftOutLiving;
}

} // namespace ks
