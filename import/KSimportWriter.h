// The persons of an import written as an index document (.htx, format 1):
// sorted as the builder merges index lines, UTF-8 (marked "charset=utf-8")
// or Windows-1252, CR LF, and put in place whole or not at all. Persons without a name, those the
// file keeps private and those who may be alive (KSlivingJudge) are left out here, and counted. A
// large import is sorted through run files in a private folder of its own, so that its memory stays
// nearly the same however many persons it writes: a compact table of the persons and families, for
// judging who may be alive once the whole file is read.
#pragma once

#include "LINE_INPUT/KSrunFileSort.h"
#include "import/KSimportFolder.h"
#include "import/KSimportPerson.h"
#include "import/KSlivingJudge.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace ks {

// The header of the document; texts are in the document's character set.
struct TKSimportHeader {
    std::string Title;
    std::string UserName;
    std::string Email;
    std::string Homepage;
    std::string DataFile; // the file the persons came from, as a name
    std::string HtmFile;  // the start page of the tree, relative to the document; may be ""
    std::string Created;  // "dd-mm-yyyy"
    std::vector<std::string> Description;
    // The keys of the section "[import]" (ImportChoiceLines).
    std::vector<std::pair<std::string, std::string>> Choices;
};

// The latest year the person may have been born in by their own dates: the
// date of birth (else christening, else baptism) and every other dated
// event; 0 when none has a year (a date without an end has none).
int LatestBirthYear(const TKSimportPerson& person);

// Whether the person may be alive by their own dates alone: no death,
// burial or cremation, and no year of birth or of any other event livingAge
// years back or more (KSlivingJudge adds the relatives).
bool IsLiving(const TKSimportPerson& person, int thisYear, int livingAge = kDefaultLivingAge);

// "" when an index document may be written at path: no file is there, or an
// index document that the new one replaces. Else why not, in the language of
// the run (any other file is left alone).
std::string ImportTargetProblem(const std::string& path);

// Where and in how much memory the persons are sorted.
struct TKSimportSorting {
    std::string TempFolder; // the private folder of the run files is made here (ImportTempFolder)
    std::size_t BufferBytes = std::size_t{16} << 20; // of persons sorted in memory at a time
};

class TKSimportWriter {
public:
    // linkBase: put before every relative link, the way from the folder of
    // the new document to the folder the links are relative to ("" when the
    // same, else ending in "/").
    // livingAge: the N of the living rule (KSlivingJudge).
    // charset: of the document, and of the texts of the persons and the
    // header handed in.
    TKSimportWriter(int thisYear, bool includeLiving, std::string linkBase = {},
                    const TKSimportSorting& sorting = {}, int livingAge = kDefaultLivingAge,
                    TKSimportCharset charset = TKSimportCharset::Windows1252);

    // Keeps the person for the document, or counts why it is left out
    // (whether the person may be alive is known in Write). Raises
    // EWriteError naming a run file that cannot be written and EInOutError
    // when their folder cannot be made.
    void Add(const TKSimportPerson& person, TKSimportReport& report);
    // A family of the file, for judging its members.
    void AddFamily(const TKSimportFamily& family);
    // Sorts what was kept and writes the document at path atomically; counts
    // the persons written and those left out as living. Throws EWriteError naming path; the file at
    // path is then as it was. Can be called once.
    void Write(const std::string& path, const TKSimportHeader& header, TKSimportReport& report);

private:
    // The number of each person written, by the person's number in the judge.
    void NumberPersons(TKSimportReport& report);

    int thisYear_;
    bool includeLiving_;
    int livingAge_;
    bool utf8_;
    std::string linkBase_;
    long kept_ = 0;
    TKSlivingJudge judge_;
    std::vector<bool> added_;       // by the person's number in the judge
    std::vector<uint32_t> numbers_; // of the persons written, the same way; 0 left out
    TKSimportFolder folder_;        // declared before records_, whose run files it holds
    // Per person its sort key, a tab and its link: the key holds every other
    // field of the index line, so one text a person is all a sort needs. Its
    // tie is the person's number in the judge (which keeps the order of
    // equal keys, the order they were added in).
    TKSrunFileSort records_;
    std::string record_; // the one being added
};

} // namespace ks
