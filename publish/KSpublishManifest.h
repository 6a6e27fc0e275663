// What the publishes to one destination sent, kept in the output folder: per
// file its size and the SHA-256 of the bytes sent. The manifest is
// ".kestrin-publish-" and 16 hex digits of the destination's SHA-256, so each
// destination has its own and publishing to one never rewrites another's:
//
//   kestrin-publish 1
//   destination<TAB>DESTINATION AS GIVEN
//   SIZE<TAB>SHA-256<TAB>PATH            (one line per file)
//
// While a publish runs, each file sent or removed is appended to a journal
// beside it (NAME.journal: "+<TAB>SIZE<TAB>SHA-256<TAB>PATH" or
// "-<TAB>PATH"), so a publish that is killed loses at most the file it was
// sending, and the manifest is rewritten whole only at the end.
#pragma once

#include "common/KSfileio.h"

#include <cstdint>
#include <map>
#include <string>

namespace ks {

struct TKSsentFile {
    std::uint64_t Size = 0;
    std::string Hash; // SHA-256, 64 hex digits
    bool operator==(const TKSsentFile&) const = default;
};

class TKSpublishManifest {
public:
    // Reads the manifest of destination and its journal (a line cut off by a
    // kill is ignored); nothing is written. Raises EKSError naming a damaged
    // manifest or journal.
    TKSpublishManifest(const std::string& outputFolder, const std::string& destination);

    static std::string FileName(const std::string& destination);

    const std::map<std::string, TKSsentFile>& Files() const { return files_; }

    // Journals a file put in place at the destination, or one removed there.
    void Sent(const std::string& path, const TKSsentFile& file);
    void Removed(const std::string& path);
    // Replaces the manifest by what is known now and drops the journal.
    void Commit();

private:
    void ReadManifest();
    void ReadJournal();
    void Journal(const std::string& line);

    std::string destination_;
    std::string path_;
    std::map<std::string, TKSsentFile> files_;
    File journal_;
    std::size_t journalComplete_ = 0; // the journal's bytes up to its last whole line
};

} // namespace ks
