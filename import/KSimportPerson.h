// A person read from another program's name list (a GENDEX line or a GEDCOM
// INDI record), and what an import counts on the way. Every text is in the
// character set of the index document written (TKSimportCharset).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ks {

// The character set of an index document an import writes: UTF-8, every
// letter as the name list spells it, or Windows-1252 for older readers, a
// letter that code page lacks as its nearest one.
enum class TKSimportCharset { Utf8, Windows1252 };

struct TKSimportPerson {
    std::string Surname;    // main surname without its particle: "Berg"; empty when unknown
    std::string Prefix;     // the particle: "van den"; empty when none
    std::string GivenNames; // empty when unknown
    std::string BirthYear;  // year of birth, else of christening, else of baptism, as digits; empty
                            // when unknown
    std::string DeathYear;  // year of death, else of burial, as digits; empty when unknown
    bool HasBirthEvent = false; // a birth, christening or baptism with any date, also one without
                                // a year
    bool HasDeathEvent = false; // a death, burial or cremation, with or without a date
    // The file asks to keep the person private (GEDCOM RESN privacy or
    // confidential): never published.
    bool Private = false;
    std::string Id;   // the record's identifier ("I12") for link patterns; empty in GENDEX
    std::string Link; // relative to the index document's folder, or an absolute address
    long Line = 0;    // line of the source file where the person starts
    // The latest year the date of birth (else of christening, else of
    // baptism) allows, for the
    // test whether the person may be alive: "BET 1900 AND 1990" is 1990;
    // kYearWithoutEnd for "AFT 1900"; 0 when the date names no year.
    int BirthLatestYear = 0;
    // The latest year the person may have been born in, by every dated event
    // or fact of theirs (a residence in 1850: born by 1850); 0 when none has
    // a year.
    int BornByYear = 0;
    // The key of the record (GedcomRecordKey), by which families name the
    // person; 0 when it has none.
    uint64_t RecordKey = 0;
};

struct TKSimportReport {
    long PersonsRead = 0;
    long PersonsWritten = 0;
    long LeftOutLiving = 0;
    long LeftOutPrivate = 0;
    long LeftOutNoName = 0;
    long LettersReplaced = 0;       // characters written as their nearest Windows-1252 letter (only
                                    // in a Windows-1252 document)
    std::vector<long> SkippedLines; // lines that could not be read, in file order
    bool MissingTrailer = false;
    // What the file says of itself (GEDCOM: the submitter's name and the
    // header's note), for a document's header where the user gives none.
    std::string SourceUser;
    std::string SourceDescription; // a GEDCOM file ends after whole lines but without 0 TRLR
    // The link pattern used when it leads to a host set aside for examples
    // (IsExampleAddress): the persons' links lead nowhere.
    std::string ExampleLinkPattern;
};

} // namespace ks
