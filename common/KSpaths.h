// Paths and folders: the one place that tests what a path is, joins and
// normalises paths, and decides whether a path lies inside a folder. Paths
// are bytes; folders end with "/".
#pragma once

#include <string>

namespace ks {

// True for an existing folder (links followed).
bool IsFolder(const std::string& path);
// True for an existing regular file (links followed).
bool IsFile(const std::string& path);
// True when something other than a regular file is at path (links followed):
// a folder, a named pipe, a device. Such an input is refused with
// NotAFileText() rather than read, so that nothing waits for a writer.
bool IsOtherThanFile(const std::string& path);
// True when lstat finds a symbolic link at path.
bool IsLink(const std::string& path);
// True when both paths name the same existing file or folder.
bool SameFile(const std::string& a, const std::string& b);

// The folder with a trailing "/" (the empty text stays empty).
std::string WithSlash(std::string folder);
// folder + name with exactly one "/" between them.
std::string JoinPath(const std::string& folder, const std::string& name);
// The folder part of path with its "/", or "" when there is none.
std::string FolderOf(const std::string& path);
// path made absolute against the current folder and lexically normalised
// ("a/./b/../c" gives "a/c"); links are not resolved.
std::string AbsolutePath(const std::string& path);
// The same for a folder, with a trailing "/".
std::string AbsoluteFolder(const std::string& path);
// path with every symbolic link resolved as far as it exists; the part that
// does not exist yet is appended as written.
std::string ResolvedPath(const std::string& path);

// True when path lies inside folder (at any depth) once links are resolved.
bool IsInsideFolder(const std::string& path, const std::string& folder);
// True when name is a relative path whose parts are plain names: no leading
// "/", no "." or ".." part, no empty part.
bool IsPlainRelativePath(const std::string& name);
// A folder of the user's as the XDG base directories name it: the absolute
// path in variable (say "XDG_CACHE_HOME"), else homeFolder (say ".cache")
// under an absolute HOME; without a trailing "/". "" when neither names one.
std::string UserBaseFolder(const char* variable, const char* homeFolder);

} // namespace ks
