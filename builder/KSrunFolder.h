// The folder of a run's temporary record files. A private folder made for
// the run is removed with everything in it when the run ends; a folder named
// by the user (the TEMP switch) is kept, and only the record files go.
#pragma once

#include <string>

namespace ks {

class TKSrunFolder {
public:
    // switchFolder set: use it as it is. Otherwise make a private folder
    // (mode 0700) inside tempFolder. Raises EInOutError when that fails.
    TKSrunFolder(const std::string& tempFolder, const std::string& switchFolder);
    ~TKSrunFolder();
    TKSrunFolder(const TKSrunFolder&) = delete;
    TKSrunFolder& operator=(const TKSrunFolder&) = delete;

    const std::string& Path() const { return path_; } // ends with "/"
    // Leave everything in place (developer mode).
    void Keep() { keep_ = true; }
    // Removes the named files now (for a TEMP switch folder, or when kept).
    void RemoveFiles(const std::string* names, int count) const;

private:
    std::string path_;
    bool isPrivate_ = false;
    bool keep_ = false;
};

} // namespace ks
