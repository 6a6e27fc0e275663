// The private folder of an import's run files: the persons of a large name
// list are sorted through files there rather than held in memory. It is made
// inside the temporary folder when the first run file is needed, locked while
// the import lasts and removed with everything in it when the import ends,
// so that the folder of an import that was killed can be told from that of
// one still going, and removed by a later import.
#pragma once

#include "common/KSfileio.h"

#include <string>

namespace ks {

// The folder an import works in: tempFolder, or when "" the user's private
// temporary folder (as the environment chooses it without a TEMP switch).
std::string ImportTempFolder(const std::string& tempFolder);

class TKSimportFolder {
public:
    // tempFolder as for ImportTempFolder.
    explicit TKSimportFolder(std::string tempFolder);
    ~TKSimportFolder();
    TKSimportFolder(const TKSimportFolder&) = delete;
    TKSimportFolder& operator=(const TKSimportFolder&) = delete;

    // The folder (mode 0700), made on first use; ends with "/". Raises
    // EInOutError naming the temporary folder when it cannot be made.
    const std::string& Path();

private:
    std::string parent_;
    std::string path_; // "" until made
    File lock_;        // on the folder, for the life of the import
};

// Removes the folders that killed imports left inside tempFolder (as for
// ImportTempFolder): only inside this user's own private temporary folder,
// and never the folder of an import still going.
void RemoveAbandonedImportFolders(const std::string& tempFolder);

} // namespace ks
