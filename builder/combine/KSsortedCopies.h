// Sorted copies of old index documents (version below 3.22): the merge reads
// them in place of the documents. A copy lies beside its document (the
// document's path with the extension ".new-htx"), carries the document's
// modification time and is reused while that matches. It is built under a
// name of its own and renamed into place, so a copy under its final name is
// always whole; an advisory lock on its path makes a second run that needs
// the same copy wait for it and then reuse it.
#pragma once

#include "common/KSfileio.h"

#include <vector>

namespace ks {

class TKSrunFolder;
struct TKSdocumentRun;
struct TKSrunSettings;

// The locks a run holds on the copies beside its documents. While they are
// held no other run replaces those copies; keep this until the merge has read
// them.
class TKSsortedCopies {
public:
    TKSsortedCopies() = default;
    TKSsortedCopies(TKSsortedCopies&&) noexcept = default;
    TKSsortedCopies& operator=(TKSsortedCopies&&) noexcept = default;

    void Hold(File lock) { locks_.push_back(std::move(lock)); }

private:
    std::vector<File> locks_;
};

// Points DataFileName of every selected document's record in documents (one
// per document of the settings, in list order) at what the merge reads:
// the document itself, or for an old document its current sorted copy,
// (re)built when needed. A copy that cannot be written beside its document,
// the copy of a later document whose copy path an earlier one of this run
// already has, and that of a document that bears the copy's name itself, is
// sorted into the run's private folder instead; the run files of every sort
// go there too. Half-written copies that killed runs left beside the copy
// paths (hidden, named after the copy and their writer's process) are
// removed first, unless the copies go into the run folder only (inRunFolder:
// a run that must touch nothing beside the documents). Raises
// EWriteError (naming the file and the reason) when a copy cannot be written
// at all, EInOutError when a document cannot be read.
TKSsortedCopies PrepareSortedCopies(const TKSrunSettings& settings, bool inRunFolder,
                                    std::vector<TKSdocumentRun>& documents,
                                    TKSrunFolder& runFolder);

} // namespace ks
