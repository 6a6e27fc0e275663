#include "publish/KSpublishManifest.h"

#include "common/KSerrors.h"
#include "common/KSlocal.h"
#include "common/KSreplacingFile.h"
#include "common/KSsha256.h"
#include "publish/KSabandonedCopies.h"

#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace ks {

namespace {

constexpr const char* kVersionLine = "kestrin-publish 1";

std::optional<TKSsentFile> SentFile(std::string_view size, std::string_view hash) {
    TKSsentFile file;
    const auto [end, ec] = std::from_chars(size.data(), size.data() + size.size(), file.Size);
    if (size.empty() || ec != std::errc{} || end != size.data() + size.size() ||
        hash.size() != 64 || hash.find_first_not_of("0123456789abcdef") != std::string_view::npos)
        return std::nullopt;
    file.Hash = hash;
    return file;
}

// The fields of a line split at its first tabs; the last field takes the rest.
std::vector<std::string_view> Fields(std::string_view line, std::size_t count) {
    std::vector<std::string_view> fields;
    while (fields.size() + 1 < count) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) break;
        fields.push_back(line.substr(0, tab));
        line.remove_prefix(tab + 1);
    }
    fields.push_back(line);
    return fields;
}

// Every complete line of the file at path (none when it does not exist);
// complete: the bytes they take.
std::vector<std::string> Lines(const std::string& path, bool& exists, std::size_t& complete) {
    std::string text;
    FileStamp stamp;
    errno = 0;
    const ReadOutcome outcome = ReadWholeFile(path, text, stamp);
    if (outcome == ReadOutcome::Unreadable)
        throw EInOutError(path, LocalReason("#1611.4=kan niet gelezen worden", errno));
    exists = outcome == ReadOutcome::Read;
    std::vector<std::string> lines;
    complete = 0;
    for (std::size_t end; (end = text.find('\n', complete)) != std::string::npos;
         complete = end + 1)
        lines.push_back(text.substr(complete, end - complete));
    return lines;
}

EKSError Damaged(const std::string& path, std::size_t line) {
    return EKSError(path, LocalText("#1611.6=beschadigd op regel %1; verwijder het om opnieuw "
                                    "alles te verzenden",
                                    {std::to_string(line)}));
}

} // namespace

std::string TKSpublishManifest::FileName(const std::string& destination) {
    return ".kestrin-publish-" + Sha256Hex(destination).substr(0, 16);
}

TKSpublishManifest::TKSpublishManifest(const std::string& outputFolder,
                                       const std::string& destination)
    : destination_(destination), path_(outputFolder + "/" + FileName(destination)) {
    ReadManifest();
    ReadJournal();
}

void TKSpublishManifest::ReadManifest() {
    bool exists = false;
    std::size_t complete = 0;
    const std::vector<std::string> lines = Lines(path_, exists, complete);
    if (!exists) return;
    if (lines.size() < 2 || lines[0] != kVersionLine || lines[1] != "destination\t" + destination_)
        throw Damaged(path_, lines.size() < 2 || lines[0] != kVersionLine ? 1 : 2);
    for (std::size_t n = 2; n < lines.size(); ++n) {
        const auto fields = Fields(lines[n], 3);
        const auto file = fields.size() == 3 ? SentFile(fields[0], fields[1]) : std::nullopt;
        if (!file || fields[2].empty()) throw Damaged(path_, n + 1);
        files_[std::string(fields[2])] = *file;
    }
}

void TKSpublishManifest::ReadJournal() {
    bool exists = false;
    const std::string journal = path_ + ".journal";
    const std::vector<std::string> lines = Lines(journal, exists, journalComplete_);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const auto fields = Fields(lines[n], lines[n].rfind("-\t", 0) == 0 ? 2 : 4);
        if (fields.size() == 2 && fields[0] == "-" && !fields[1].empty()) {
            files_.erase(std::string(fields[1]));
            continue;
        }
        const auto file =
            fields.size() == 4 && fields[0] == "+" ? SentFile(fields[1], fields[2]) : std::nullopt;
        if (!file || fields[3].empty()) throw Damaged(journal, n + 1);
        files_[std::string(fields[3])] = *file;
    }
}

void TKSpublishManifest::Journal(const std::string& line) {
    if (!journal_.Valid()) {
        journal_ = File::OpenWith(path_ + ".journal", O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (!journal_.Valid())
            throw EWriteError(journal_.Path(), LocalReason("#1611.7=kan niet geschreven worden",
                                                           journal_.OpenErrno()));
        // A line a kill cut off goes, so the next one starts afresh.
        if (::ftruncate(journal_.Descriptor(), static_cast<off_t>(journalComplete_)) != 0)
            throw EWriteError(journal_.Path(),
                              LocalReason("#1611.7=kan niet geschreven worden", errno));
    }
    journal_.Write(line + "\n");
}

void TKSpublishManifest::Sent(const std::string& path, const TKSsentFile& file) {
    Journal("+\t" + std::to_string(file.Size) + "\t" + file.Hash + "\t" + path);
    files_[path] = file;
}

void TKSpublishManifest::Removed(const std::string& path) {
    Journal("-\t" + path);
    files_.erase(path);
}

void TKSpublishManifest::Commit() {
    const std::string name = FileName(destination_);
    RemoveAbandonedCopies(path_.substr(0, path_.size() - name.size()),
                          [&name](const std::string& target) { return target == name; });
    ReplacingFile manifest(path_, ReplacingOptions::WithMode(0644));
    manifest.RequireValid("#1611.7=kan niet geschreven worden");
    manifest.Writer().Write(std::string(kVersionLine) + "\ndestination\t" + destination_ + "\n");
    for (const auto& [path, file] : files_)
        manifest.Writer().Write(std::to_string(file.Size) + "\t" + file.Hash + "\t" + path + "\n");
    manifest.Commit();
    journal_.Reset();
    journalComplete_ = 0;
    if (::unlink((path_ + ".journal").c_str()) != 0 && errno != ENOENT)
        throw EWriteError(path_ + ".journal",
                          LocalReason("#1611.8=kan niet verwijderd worden", errno));
}

} // namespace ks
