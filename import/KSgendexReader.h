// Reads a GENDEX name list (gendex.txt): one person a line,
//   page|SURNAME|given names /Surname/|birth date|birth place|death date|death place|
// as web-site generators write it beside the pages they publish. The page
// is the person's link, relative to the folder of gendex.txt (or an absolute
// http: or https: address). The file is UTF-8 (with or without a byte-order
// mark) or Windows-1252; which one is told from its bytes.
#pragma once

#include "import/KSimportPerson.h"

#include <functional>
#include <string>
#include <string_view>

namespace ks {

// The longest line read; a longer one stops the import as a damaged file.
constexpr std::size_t kMaxGendexLineBytes = 1 << 20;

// The year of a genealogical date: the first number of three or four digits
// ("ABT 1780", "BET 1750 AND 1760", "12 MAR 1780", "@#DJULIAN@ 1650",
// "1780/81"); "" when the date names none.
std::string YearOfDate(std::string_view date);

// One line (already in the document's character set, no line end) into person: false when it
// is no person line (too few fields, no usable link). A person without any
// name is read (and left out by the writer, which counts it).
// Surname and Prefix come as the file spells them: FinishSurname puts them
// into index form.
bool ParseGendexLine(std::string_view line, TKSimportPerson& person);

// Reads the file at path and hands every person to take, its texts in
// charset (a Windows-1252 file read as UTF-8 is converted; a UTF-8 one read
// as Windows-1252 gets the nearest letters), counting persons read, letters
// replaced and lines skipped in report. Lines end in CR LF, LF or CR alone;
// blank lines and lines starting with "#" are passed over.
// Throws EInOutError naming the file (and the line) when it cannot be read,
// a line is too long, or no line of it is a GENDEX line.
void ReadGendex(const std::string& path, const std::function<void(TKSimportPerson&)>& take,
                TKSimportReport& report, TKSimportCharset charset = TKSimportCharset::Windows1252);

} // namespace ks
