// The description of an index document as the document list shows it: one
// line per item, a translated label, " : " and the value, the lines aligned
// on their first colon and ended with CR LF.
#pragma once

#include <string>

namespace ks {

class TKShtxData;

std::string DescribeDocument(const TKShtxData& document);

} // namespace ks
