// What the tools show of an index document: its description as the
// document list shows it, and how many index lines it holds.
#pragma once

#include <cstdint>
#include <string>

namespace ks {

class TKShtxData;

// One line per item, a translated label, " : " and the value, the lines
// aligned on their first colon and ended with CR LF; UTF-8.
std::string DescribeDocument(const TKShtxData& document);

// The index lines of the document at path: the lines after its index data
// section up to the first empty line or the end. 0 when it cannot be read.
int64_t CountIndexLines(const std::string& path);

} // namespace ks
