// The builder variables a template may use (#INDEXDATA!, #TITLE$!, ...), one
// row each: the name, its writer, what it adds to the progress of a template
// that uses it, and whether a split template that uses it goes on to a page
// per index page. List variables write their lines into the template's
// output and are replaced by nothing.
#pragma once

#include "builder/entries/KSrunView.h"

#include <cstdint>
#include <string>

namespace ks {

class TKStemplateParser;
struct TKSvariableCount;

// The names, comma-separated, in the order of the table.
const std::string& BuilderVariableNames();

// The value of the builder variable a placeholder (name and arguments) names,
// written for the run; "" when it names none.
std::string ResolveBuilderVariable(const TKSrunView& run, const std::string& placeholder,
                                   TKStemplateParser& parser);

// Whether a split template that uses these variables goes on to a page per
// index page.
bool PagePerIndexPage(const TKSvariableCount& count);

// The progress maximum of a template from what it uses.
int64_t EstimateProgress(const TKSrunSettings& settings, const TKSrunState& state,
                         const TKSvariableCount& count, bool split);

} // namespace ks
