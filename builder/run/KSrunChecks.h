// What is checked before a run touches the output folder: the layout has
// entries and every entry line is complete, its sources lie inside the
// layout's folder, every output stays inside the output folder under a plain
// name without wildcards, and nothing the run writes is one of its inputs.
// Also the making of an output's subfolders, which never follows a link.
#pragma once

#include "common/KSproblem.h"

#include <string>
#include <vector>

namespace ks {

class TKSkslFile;
struct TKSrunSettings;

// Every file the run reads or derives from its inputs: the selected
// documents and the sorted copies that may be written beside them, the
// layout file and the source of every entry.
std::vector<std::string> RunInputs(const TKSrunSettings& settings);

// Everything that would make the run unsafe, each reason naming the entry
// and any other path; empty when it may start.
std::vector<TKSproblem> CheckRun(const TKSrunSettings& settings);

// Refuses output names that would leave the output folder (absolute, with a
// ".." or "." part) or that hold a wildcard; "" when fine, else the reason.
std::string CheckOutputName(const std::string& name);
// Refuses base names that are no plain file name; "" when fine.
std::string CheckBaseName(const std::string& baseName);

// Makes the subfolders of the output name inside outputFolder as needed.
// Raises EWriteError naming the folder when one is a symbolic link or no
// folder, or cannot be made.
void MakeOutputSubfolders(const std::string& outputFolder, const std::string& name);

} // namespace ks
