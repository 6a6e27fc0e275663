// The user's trash, the one desktop file managers share: a file moved there
// lies under "files/" and a NAME.trashinfo beside it under "info/" tells its
// old place and when it was moved, so that the user can restore it. Only the
// home trash is used; a file on another file system is copied there and then
// deleted.
#pragma once

#include <string>

namespace ks {

// A file moved to the trash: where it was, where it is now, and its record.
struct TKStrashed {
    std::string Original;  // the path it was moved from, as given
    std::string TrashPath; // below files/ of the trash
    std::string InfoPath;  // below info/ of the trash
};

// $XDG_DATA_HOME/Trash when XDG_DATA_HOME is an absolute path, else
// $HOME/.local/share/Trash; "" when neither is known.
std::string HomeTrashFolder();

// The value of "Path=" for an absolute path: every byte other than a letter,
// a digit, "/" or one of "-._~" written as "%XX".
std::string TrashInfoEscape(const std::string& absolutePath);

// Moves the file (or symbolic link) at path into the trash folder trash,
// making its folders as needed (private to the user). Raises EWriteError
// naming path and the reason when it cannot; path is then as it was and no
// record of it is left in the trash.
TKStrashed MoveToTrash(const std::string& path, const std::string& trash = HomeTrashFolder());

// Puts a file that MoveToTrash moved back in its place and removes its
// record; false when the file could not be put back (it stays in the trash).
bool PutBackFromTrash(const TKStrashed& trashed);

} // namespace ks
