// The letter an index line files a surname under, as the genealogy
// program's own documents give it: the first letter of the surname without
// its marks, in capitals (É, é under E, Æ under A, Ø and Œ under O, Þ under
// T, Ð under D, ß under S), a digit as itself; "?" for the unknown surname and
// for any surname that starts with no letter or digit.
#pragma once

#include <string>
#include <string_view>

namespace ks {

// surname in UTF-8 (a byte that is no UTF-8 read as Windows-1252), "?" when
// unknown. A letter Windows-1252 lacks goes by the letter it is built on: a
// Latin one as that letter (Ł, ő, Ș under L, O, S), a letter or digit of
// another script as its capital without marks (ά under Α, Hangul under its
// first jamo), else "?".
std::string IndexLetter(std::string_view surname);

} // namespace ks
