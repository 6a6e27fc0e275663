// Private folders that a run holds for as long as it lives. The run keeps an
// exclusive lock (flock) on the folder itself; a run that is killed loses the
// lock with its process, so a later run can tell a folder left behind from
// one that is still in use and remove only the first.
#pragma once

#include "common/KSfileio.h"

#include <functional>
#include <string>

namespace ks {

// Makes a new folder (mode 0700) named prefix followed by six letters or
// digits inside parent and locks it; lock receives the lock, which is held
// until it is closed. Returns the folder's path ending with "/". Where the
// file system keeps no locks the folder is made all the same (and is then
// never taken for one left behind). Raises EInOutError naming parent when no
// folder can be made.
std::string MakeLockedFolder(const std::string& parent, const std::string& prefix, File& lock);

// True when name is one MakeLockedFolder gives with prefix.
bool IsLockedFolderName(const std::string& name, const std::string& prefix);

// Removes, with everything in them, the folders of this user inside parent
// that MakeLockedFolder made with prefix and whose lock no process holds.
// Links, files and folders of other names or owners stay, and so does a
// folder that another run (or this one) holds. Failures are ignored: what
// cannot be removed now stays for a later run. Returns the number removed.
// beforeRemoval, when given, is called with each such folder's path (ending
// with "/") while it is held, before it goes.
int RemoveAbandonedFolders(const std::string& parent, const std::string& prefix,
                           const std::function<void(const std::string&)>& beforeRemoval = nullptr);

// True when folder is a real folder (no link) of this user that nobody else
// may enter: the folders where leftovers of this user's runs may be removed.
bool IsPrivateFolder(const std::string& folder);

} // namespace ks
