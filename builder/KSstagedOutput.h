// The pages of a run are written into a private folder inside the output
// folder and put in place only when every page is written: until then the
// output folder holds the previous result as it was, and a run that fails or
// is stopped leaves it so. Putting in place moves the old results aside into
// a second private folder, moves the new files in (renames within the output
// folder's file system) and then deletes the old results; when a move fails,
// everything is moved back.
#pragma once

#include "common/KSfileio.h"

#include <string>
#include <vector>

namespace ks {

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

    // Deletes the old results (what FindDeletable finds in the output folder
    // for each of the masks, never a file named in keep) and puts every file
    // written into the private folder in its place, making subfolders as
    // needed and replacing what is at its name. Raises EWriteError naming
    // the file concerned when something cannot be deleted or put in place;
    // the output folder is then as it was.
    void Publish(const std::vector<std::string>& oldResultMasks,
                 const std::vector<std::string>& keep);

private:
    std::vector<std::string> StagedFiles() const;

    std::string outputFolder_;
    std::string path_;
    File lock_;
};

} // namespace ks
