// The record a run leaves in the output folder of the files it put there, so
// that the next run can tell its own old results (deleted when it clears
// them) from files of the user (moved to the trash). A hidden file: the
// version line "kestrin-written 2", then one line per file: its size, a tab,
// a 64-bit hash of its bytes (16 hexadecimal digits), a tab and its name
// relative to the output folder. A file counts as the run's only while its
// size and hash still match: deleting it then loses nothing that the run did
// not write. (Its modification time is left out on purpose: a copy of the
// folder or a restored backup changes it for the same bytes, and a file
// rewritten within one tick of a coarse clock keeps it for other bytes.)
// One name may be listed more than once: the record written before the
// files are put in place lists both the earlier run's and the new ones.
//
// A record of the first version ("kestrin-written 1", names only) is still
// read, and its names trusted as they were, so that an upgrade does not move
// every page of the earlier run to the trash; the next run replaces it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ks {

// The record's file name inside the output folder.
extern const char* const kWrittenRecordName;

// A record larger than this is not read: no run writes one so large.
constexpr std::uint64_t kMaxWrittenRecordBytes = 16u << 20;

// One file of a run, and what proves that a file is still that one.
struct TKSwrittenFile {
    std::string Name; // relative to the output folder
    std::uint64_t Size = 0;
    std::uint64_t Hash = 0;
    bool NameOnly = false; // from a record of the first version: the name alone counts

    bool operator==(const TKSwrittenFile&) const = default;
};

// The size and hash of the regular file at path (a link is not followed),
// recorded under name; none when there is no regular file or it cannot be read.
std::optional<TKSwrittenFile> DescribeWrittenFile(const std::string& path, const std::string& name);
// The same for many files, by position (paths[i] recorded under names[i]);
// several are read at once, which is faster than one after another.
std::vector<std::optional<TKSwrittenFile>>
DescribeWrittenFiles(const std::vector<std::string>& paths, const std::vector<std::string>& names);

class TKSwrittenRecord {
public:
    // The record in outputFolder. Missing, a link, of another version,
    // damaged or larger than kMaxWrittenRecordBytes: nothing recorded (then
    // every file counts as the user's, which is never a reason to stop a
    // run). Read a block at a time: memory stays bounded whatever lies there.
    static TKSwrittenRecord Read(const std::string& outputFolder);

    // Sorted by name.
    const std::vector<TKSwrittenFile>& Files() const { return files_; }
    // The names, sorted, each once.
    std::vector<std::string> Names() const;
    // True when the file at outputFolder + name is still one the record
    // lists under that name.
    bool Holds(const std::string& outputFolder, const std::string& name) const;
    // Every file listed, the names of a first-version record described by
    // the file now at each name (left out when none is there).
    std::vector<TKSwrittenFile> Proven(const std::string& outputFolder) const;

private:
    std::vector<TKSwrittenFile> files_;
};

// The names of the record in outputFolder (see TKSwrittenRecord::Read).
std::vector<std::string> ReadWrittenRecord(const std::string& outputFolder);

// The other hidden files a complete run keeps beside the record (the digest
// of its persons, the history of its feed): never old results, replaced
// only by a complete run.
const std::vector<std::string>& ProgramRecordNames();

// Removes the temporary files of the record that a run killed while writing
// it left in outputFolder (hidden, beside the record), and those of the
// files of ProgramRecordNames. Only for a run that holds the output
// folder's lock.
void RemoveUnfinishedRecords(const std::string& outputFolder);

// Replaces the record in outputFolder atomically by files. False when it
// cannot be written (errno tells why); the old record is then as it was.
bool WriteWrittenRecord(const std::string& outputFolder, const std::vector<TKSwrittenFile>& files);

} // namespace ks
