// File services shared by the environment, the wizard and the builder: the
// temporary folder, file stamps, deleting and finding by mask, and the kind
// test of settings-style documents (index documents, layouts).
#pragma once

#include "common/KSpaths.h"
#include "common/KSproblem.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ks {

// The system's temporary folder ($TMPDIR when absolute, else /tmp), with "/".
std::string GetTempPath();

// The private temporary folder of this user below base: base + "KESTRIN-" +
// uid + "/", created with mode 0700 (an existing one of ours is narrowed to
// 0700). "" when it cannot be made, or when that path is a symbolic link, not
// a folder, or belongs to another user.
std::string PrivateTempFolder(const std::string& base);

// Modification stamp (nanoseconds since 1970, UTC) and size of the first
// regular file matching path ('*' and '?' allowed in the file name), or 0, 0.
void FileDateSize(const std::string& path, int64_t& date, int64_t& size);
// 0: both present with equal stamps, or neither present; 1: path1 newer or
// only path1 present; 2: path2 newer or only path2 present.
int CompareFileDates(const std::string& path1, const std::string& path2);

// The entries of folder matching mask that are not folders (full paths,
// sorted). A mask may name a subfolder ("sub/x*.htm"); a subfolder that is
// a symbolic link, or that leaves folder, is never searched. Names match
// with their letter case, as file names differ by case here. Files named in
// keep (any spelling of the same path) are left out.
std::vector<std::string> FindDeletable(const std::string& folder, const std::string& mask,
                                       const std::vector<std::string>& keep = {});
// Deletes what FindDeletable finds. Returns the files that could not be
// deleted, each with the system's reason.
std::vector<TKSproblem> DeleteFiles(const std::string& folder, const std::string& mask,
                                    const std::vector<std::string>& keep = {});
// The regular files of folder matching mask (letter case of A-Z ignored),
// names only, sorted bytewise; hidden names (beginning with ".") are left out.
std::vector<std::string> FindFiles(const std::string& folder, const std::string& mask);
// '*' any run of characters, '?' one character; a mask ending in ".*" also
// matches a name without an extension ("*.*" matches every name); a leading
// "." of the name is matched only by a "." in the mask, never by a wildcard.
bool MatchFileMask(const std::string& name, const std::string& mask, bool ignoreCase);

// True when the "type" of the KESTRIN section of the settings-style file
// equals kind (letter case of A-Z ignored) and its "format" is a whole number
// from minFormat to maxFormat. False when the file, the section or a key is
// missing, and when "format" is not a whole number. unreadable (when given)
// receives the system's reason when the file exists but cannot be read, and
// is emptied otherwise.
bool CheckFileKind(const std::string& path, const std::string& kind, int minFormat, int maxFormat,
                   std::string* unreadable = nullptr);

// Whole decimal number with optional sign and blanks around it; false for
// anything else (also out of the 32-bit range).
bool ParseWholeNumber(const std::string& text, int32_t& value);

} // namespace ks
