// A file that replaces the one at its path only when it is whole: it is
// written to a temporary file in the same folder through a BufferedWriter,
// put on disk and renamed over the path by Commit. Until then the file at the
// path is as it was, and a ReplacingFile that goes without a commit takes its
// temporary file with it. The temporary file is hidden and named after the
// target and its writer's process (".NAME.PID-N.tmp"), so that what a killed
// process left can be told from what a live one is writing.
#pragma once

#include "common/KSfileio.h"

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace ks {

struct ReplacingOptions {
    // The permission bits of a new file, less the umask.
    mode_t Mode = 0666;
    // A file at the path keeps its permission bits (and, where allowed, its
    // owner and group); Mode is then for a new file only.
    bool KeepMode = false;
    // Locked (flock) from the start, so that no cleaning of other processes'
    // leftovers takes it; Commit hands the file back open, still locked.
    bool Lock = false;
    // The modification time the file gets before it is put in place.
    std::optional<timespec> ModifiedTime;

    // The defaults, with the given permission bits for a new file.
    static ReplacingOptions WithMode(mode_t mode) {
        ReplacingOptions options;
        options.Mode = mode;
        return options;
    }
};

class ReplacingFile {
public:
    // Makes the temporary file; never throws: Valid() and OpenErrno() tell.
    explicit ReplacingFile(std::string path, const ReplacingOptions& options = {});
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool Valid() const { return writer_.GetFile().Valid(); }
    // Why the temporary file could not be made (errno).
    int OpenErrno() const { return openErrno_; }
    // Raises EWriteError naming the path, with cannotWrite (a local text)
    // and the system's reason, when the temporary file could not be made.
    void RequireValid(const char* cannotWrite) const;
    const std::string& Path() const { return path_; }
    // Writes go here; their errors name the path, not the temporary file.
    BufferedWriter& Writer() { return writer_; }

    // Writes out what is buffered, gives the file its time, puts it on disk
    // and renames it over the path. False when a step fails (errno tells
    // why); the file at the path is then as it was.
    bool TryCommit() noexcept;
    // TryCommit, raising EWriteError naming the path and the step that
    // failed. Returns the file: open and locked with Lock, else closed.
    File Commit();

private:
    enum class Step { Write, Time, Rename };

    std::string path_;
    ReplacingOptions options_;
    std::string temporary_; // "" once renamed or never made
    BufferedWriter writer_;
    int openErrno_ = 0;
    Step failed_ = Step::Write;
};

// Replaces the file at path by the concatenation of pieces. A symbolic link is
// followed and its target replaced. An existing file keeps its permission bits
// (and, where allowed, its owner and group); a new file gets newFileMode less
// the process's umask. Returns false when anything fails (errno tells why);
// then the file at path is as it was and no temporary file is left behind.
bool WriteFileAtomically(const std::string& path, const std::vector<std::string_view>& pieces,
                         mode_t newFileMode);

// The process whose pending replacement of targetName (a name in the same
// folder) fileName is, or 0 when fileName is no such name.
pid_t PendingReplacementWriter(const std::string& fileName, const std::string& targetName);

} // namespace ks
