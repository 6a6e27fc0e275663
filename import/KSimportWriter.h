// The persons of an import written as an index document (.htx, format 1):
// sorted as the builder merges index lines, Windows-1252, CR LF, and put in
// place whole or not at all. Living persons and persons without a name are
// left out here, and counted. A large import is sorted through run files in
// a private folder of its own, so that its memory stays the same however
// many persons it writes.
#pragma once

#include "LINE_INPUT/KSrunFileSort.h"
#include "import/KSimportFolder.h"
#include "import/KSimportPerson.h"

#include <cstddef>
#include <string>
#include <vector>

namespace ks {

// The header of the document; texts are Windows-1252.
struct TKSimportHeader {
    std::string Title;
    std::string UserName;
    std::string Email;
    std::string Homepage;
    std::string DataFile; // the file the persons came from, as a name
    std::string HtmFile;  // the start page of the tree, relative to the document; may be ""
    std::string Created;  // "dd-mm-yyyy"
    std::vector<std::string> Description;
};

// No death or burial, and the latest year the date of birth or christening
// allows less than 100 years before thisYear (a date without an end always
// is), or no year of birth or christening at all.
bool IsLiving(const TKSimportPerson& person, int thisYear);

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
    TKSimportWriter(int thisYear, bool includeLiving, std::string linkBase = {},
                    const TKSimportSorting& sorting = {});

    // Keeps the person for the document, or counts why it is left out.
    // Raises EWriteError naming a run file that cannot be written and
    // EInOutError when their folder cannot be made.
    void Add(const TKSimportPerson& person, TKSimportReport& report);
    // Sorts what was kept and writes the document at path atomically; counts
    // the persons written. Throws EWriteError naming path; the file at path is
    // then as it was. Can be called once.
    void Write(const std::string& path, const TKSimportHeader& header, TKSimportReport& report);

private:
    int thisYear_;
    bool includeLiving_;
    std::string linkBase_;
    long kept_ = 0;
    TKSimportFolder folder_; // declared before records_, whose run files it holds
    // Per person its sort key, a tab and its link: the key holds every other
    // field of the index line, so one text a person is all a sort needs.
    TKSrunFileSort records_;
    std::string record_; // the one being added
};

} // namespace ks
