// The folders of a run's temporary files. The record files go into a folder
// made for the run alone, or into the folder named by the user (the TEMP
// switch). Every other temporary file (the run files of sorts, sorted copies
// that cannot be written beside their document) goes into a folder of the
// run's own: the same private folder, or one made inside the TEMP folder.
// A private folder is removed with everything in it when the run ends; the
// TEMP folder is kept, and only the record files go. The run holds a lock on
// its private folder while it lasts, so that the folder of a run that was
// killed can be told from that of a run still going, and removed later.
#pragma once

#include "common/KSfileio.h"

#include <string>

namespace ks {

class TKSrunFolder {
public:
    // switchFolder set: record files go there as it is. Otherwise make a
    // private folder (mode 0700) inside tempFolder. keep: leave everything in
    // place (developer mode); such a folder is never taken for a leftover.
    // Raises EInOutError when the folder cannot be made.
    TKSrunFolder(const std::string& tempFolder, const std::string& switchFolder, bool keep = false);
    ~TKSrunFolder();
    TKSrunFolder(const TKSrunFolder&) = delete;
    TKSrunFolder& operator=(const TKSrunFolder&) = delete;

    // The folder of the record files; ends with "/".
    const std::string& Path() const { return path_; }
    // A folder (mode 0700) that only this run writes to; ends with "/".
    // Inside the TEMP folder it is made on first use. Raises EInOutError
    // when it cannot be made.
    const std::string& PrivatePath();
    // Removes a symbolic link found at any of the named files, so that they
    // are written as files of their own (the line stream never writes through
    // a link).
    void RemoveLinks(const std::string* names, int count) const;
    // Removes the named files now (for a TEMP switch folder, or when kept).
    void RemoveFiles(const std::string* names, int count) const;

private:
    std::string MakeFolder(const std::string& parent);

    std::string path_;
    std::string privatePath_; // "" until made
    bool keep_ = false;
    File lock_; // on the private folder, for the life of the run
};

// Removes the private folders that earlier runs left inside tempFolder when
// they were killed. Only inside this user's own private temporary folder,
// only folders of a run (not those developer mode keeps), and never the
// folder of a run still going.
void RemoveAbandonedRunFolders(const std::string& tempFolder);

} // namespace ks
