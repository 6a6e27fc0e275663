// Sorted copies of old index documents, whose index lines are not yet in
// sort-key order.
#pragma once

#include "common/KSfileio.h"

#include <cstddef>
#include <string>

namespace ks {

// Writes to the open file copy (a new, empty file, named in errors) the header lines of the
// document up to and including its
// "[indexdata]" line, then its index lines (up to the first empty line) in
// ascending sort-key order, each line ended by CR LF. Equal keys come out as
// a merge of ascending runs would give them: the runs are formed by
// appending each line to the first run whose last key is not above the
// line's key, and the merge takes on equal keys the line of the later run
// first. Memory holds one last key per run and a bounded buffer of lines;
// the rest goes through run files named runPrefix + "-" + number + ".tmp"
// (put them in a folder of the run's own). A run file is always a new file:
// never one that exists, nor the target of a link. The run files are deleted
// unless keepRunFiles. Raises EInOutError when the document cannot be read
// and EWriteError (naming the file and the reason) when the copy or a run
// file cannot be written; the run files are removed then.
void SortOldIndex(const std::string& documentPath, File& copy, const std::string& runPrefix,
                  bool keepRunFiles);
// The same into a buffered writer (left open).
void SortOldIndex(const std::string& documentPath, BufferedWriter& copy,
                  const std::string& runPrefix, bool keepRunFiles);

// The buffer of lines sorted in memory before it goes to a run file.
// Exposed so that tests can force many run files with small documents.
void SetSortBufferLimitForTests(std::size_t bytes);

} // namespace ks
