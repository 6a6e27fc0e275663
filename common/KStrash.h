// The user's trash, the one desktop file managers share: a file moved there
// lies under "files/" and a NAME.trashinfo beside it under "info/" tells its
// old place and when it was moved, so that the user can restore it. Only the
// home trash is used; a file on another file system is copied there (with its
// mode and times) and then deleted. Each move works in a private folder of
// its own inside the trash (".kestrin-pending-XXXXXX", where no file manager
// looks): the copy is made there and takes its name under "files/" only when
// whole, so that a move killed at any moment leaves nothing a user could
// restore by mistake, only that folder, which a later run removes.
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
// making its folders as needed (private to the user). A name too long for
// the trash is cut there, as any name is kept unique, by ".2", ".3" ...; the
// record keeps the whole path. Raises EWriteError naming path and the reason
// when it cannot; path is then as it was and no record of it is left in the
// trash.
TKStrashed MoveToTrash(const std::string& path, const std::string& trash = HomeTrashFolder());

// Removes what moves into the trash folder trash left when their process
// was killed: their private folders, and a record in info/ that one of them
// claimed for a file that never reached files/. Returns the number of
// folders removed.
int RemoveTrashLeftovers(const std::string& trash);

// Puts a file that MoveToTrash moved back in its place and removes its
// record; false when the file could not be put back (it stays in the trash).
bool PutBackFromTrash(const TKStrashed& trashed);

} // namespace ks
