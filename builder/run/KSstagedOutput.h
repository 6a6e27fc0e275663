// The pages of a run are written into a private folder inside the output
// folder and put in place only when every page is written: until then the
// output folder holds the previous result as it was, and a run that fails or
// is stopped leaves it so. Putting in place moves the user's own files that
// the clearing takes to the trash, moves the old results of earlier runs
// aside into a second private folder, moves the new files in (renames within
// the output folder's file system) and then deletes those old results; when a
// move fails, everything is moved back. Before the first move it records
// the files of the earlier run and the new ones (a journal), and after the
// last the new ones alone, so that the next run knows its own files whenever
// this one stops.
#pragma once

#include "builder/run/KSwrittenRecord.h"
#include "common/KSfileio.h"

#include <string>
#include <vector>

namespace ks {

// What clearing the output folder for a run takes, in the order found.
struct TKSclearing {
    std::vector<std::string> Delete; // still as an earlier run recorded it: deleted
    std::vector<std::string> Trash;  // anything else, the user's: moved to the trash
};

// The files of outputFolder (ending in "/") that FindDeletable finds for the
// masks, never one named in keep nor the record of written files, and the
// files (not folders) at the names of newNames (relative to it), split by
// the record an earlier run left there: a file is deleted only while it is
// still the one recorded under its name.
TKSclearing PlanClearing(const std::string& outputFolder, const std::vector<std::string>& masks,
                         const std::vector<std::string>& keep,
                         const std::vector<std::string>& newNames);

class TKSstagedOutput {
public:
    // Removes the private folders that killed runs left in outputFolder (the
    // caller holds the output folder's lock, so no other run writes there)
    // and makes this run's own. Raises EInOutError when it cannot be made.
    explicit TKSstagedOutput(const std::string& outputFolder);
    // Removes the private folder with whatever was not put in place.
    ~TKSstagedOutput();
    TKSstagedOutput(const TKSstagedOutput&) = delete;
    TKSstagedOutput& operator=(const TKSstagedOutput&) = delete;

    // The private folder the pages are written into; ends with "/". A page
    // has the same name there as in the output folder.
    const std::string& Path() const { return path_; }
    // The path in the output folder that a path inside the private folder
    // stands for; any other path as it is.
    std::string FinalPath(const std::string& path) const;

    // Clears the output folder as PlanClearing says (the user's files to the
    // trash first, so that a trash that cannot take them stops it before
    // anything is deleted) and puts every file written into the private
    // folder in its place, making subfolders as needed. Raises EWriteError
    // naming the file concerned when something cannot be moved, deleted or
    // put in place; the output folder is then as it was. Returns the paths
    // the files moved to the trash had in the output folder.
    std::vector<std::string> Publish(const std::vector<std::string>& oldResultMasks,
                                     const std::vector<std::string>& keep);

private:
    std::vector<std::string> StagedFiles() const;
    // The files of names in the private folder, described for the record.
    std::vector<TKSwrittenFile> DescribeStaged(const std::vector<std::string>& names) const;

    std::string outputFolder_;
    std::string path_;
    File lock_;
};

} // namespace ks
