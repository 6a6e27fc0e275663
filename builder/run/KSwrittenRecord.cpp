#include "builder/run/KSwrittenRecord.h"

#include "builder/entries/KSentryDigest.h"
#include "builder/writers/KSnewsFeed.h"
#include "common/KSfileio.h"
#include "common/KSpaths.h"
#include "common/KSreplacingFile.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace ks {

namespace fs = std::filesystem;

const char* const kWrittenRecordName = ".kestrin-written";

namespace {

const char* const kVersionLine = "kestrin-written 2";
const char* const kFirstVersionLine = "kestrin-written 1";
constexpr std::size_t kBlock = 64 * 1024;
// A name is a path below the output folder: no line of a sound record is longer.
constexpr std::size_t kMaxLine = 8192;

// FNV-1a: enough to notice a file that changed, which is all it is for. Its
// start is a digit short of the published offset basis; records written
// with it stay proof only while it stays.
constexpr std::uint64_t kHashStart = 1469598103934665603ull;
constexpr std::uint64_t kHashPrime = 1099511628211ull;
// Files hashed at once. The hash takes a byte at a time, each waiting on the
// multiplication before it, so one file leaves the processor idle most of
// the time; the hashes of several files, interleaved, keep it busy.
constexpr std::size_t kLanes = 4;

// One file being described: read a block at a time and hashed.
class TKShashLane {
public:
    // False when path is no regular file (a link is not followed) or cannot be read.
    bool Open(const std::string& path, std::size_t index) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
        reader_.emplace(path);
        if (reader_->Outcome() != ReadOutcome::Read || reader_->Stamp().inode != st.st_ino) {
            reader_.reset();
            return false;
        }
        index_ = index;
        hash_ = kHashStart;
        size_ = 0;
        block_.clear();
        at_ = 0;
        return true;
    }
    bool Active() const { return reader_.has_value(); }
    std::size_t Index() const { return index_; }
    // Bytes left to hash: true; false at the end of the file (the lane is
    // then free, Sound telling whether the file was read to its end).
    bool Refill() {
        if (at_ < block_.size()) return true;
        block_.clear();
        at_ = 0;
        if (block_.capacity() < kBlock) block_.reserve(kBlock);
        if (reader_->ReadChunk(block_, kBlock)) {
            size_ += block_.size();
            return true;
        }
        sound_ = !reader_->Failed();
        reader_.reset();
        return false;
    }
    bool Sound() const { return sound_; }
    TKSwrittenFile File(const std::string& name) const { return {name, size_, hash_, false}; }
    std::size_t Left() const { return block_.size() - at_; }
    const unsigned char* Bytes() const {
        return reinterpret_cast<const unsigned char*>(block_.data()) + at_;
    }
    std::uint64_t& Hash() { return hash_; }
    void Skip(std::size_t bytes) { at_ += bytes; }
    void HashRest() {
        const unsigned char* bytes = Bytes();
        std::uint64_t hash = hash_;
        for (std::size_t i = 0, n = Left(); i < n; ++i)
            hash = (hash ^ bytes[i]) * kHashPrime;
        hash_ = hash;
        at_ = block_.size();
    }

private:
    std::optional<FileReader> reader_;
    std::string block_;
    std::size_t at_ = 0;
    std::size_t index_ = 0;
    std::uint64_t hash_ = kHashStart;
    std::uint64_t size_ = 0;
    bool sound_ = false;
};

// The bytes every lane has at hand, hashed in step.
void HashTogether(TKShashLane (&lanes)[kLanes]) {
    std::size_t n = lanes[0].Left();
    for (const TKShashLane& lane : lanes)
        n = std::min(n, lane.Left());
    const unsigned char* a = lanes[0].Bytes();
    const unsigned char* b = lanes[1].Bytes();
    const unsigned char* c = lanes[2].Bytes();
    const unsigned char* d = lanes[3].Bytes();
    std::uint64_t ha = lanes[0].Hash(), hb = lanes[1].Hash(), hc = lanes[2].Hash(),
                  hd = lanes[3].Hash();
    for (std::size_t i = 0; i < n; ++i) {
        ha = (ha ^ a[i]) * kHashPrime;
        hb = (hb ^ b[i]) * kHashPrime;
        hc = (hc ^ c[i]) * kHashPrime;
        hd = (hd ^ d[i]) * kHashPrime;
    }
    lanes[0].Hash() = ha;
    lanes[1].Hash() = hb;
    lanes[2].Hash() = hc;
    lanes[3].Hash() = hd;
    for (TKShashLane& lane : lanes)
        lane.Skip(n);
}

template <typename T> bool ParseNumber(const std::string& text, int base, T& value) {
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value, base);
    return !text.empty() && error == std::errc() && at == end;
}

// "SIZE\tHASH\tNAME"; false for anything else.
bool ParseLine(const std::string& line, TKSwrittenFile& file) {
    const std::size_t tab1 = line.find('\t');
    const std::size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string::npos || tab2 + 1 >= line.size() || tab2 - tab1 != 17) return false;
    file.Name = line.substr(tab2 + 1);
    return ParseNumber(line.substr(0, tab1), 10, file.Size) &&
           ParseNumber(line.substr(tab1 + 1, 16), 16, file.Hash) &&
           file.Name.find('\r') == std::string::npos;
}

// Hands every line of the file at path to take (which returns false to stop
// at a damaged line); false when the file is missing, unreadable, larger than
// the record may be, or take stopped.
template <typename Take> bool ReadLines(const std::string& path, Take take) {
    FileReader reader(path);
    if (reader.Outcome() != ReadOutcome::Read || reader.Stamp().size > kMaxWrittenRecordBytes)
        return false;
    std::string pending;
    std::uint64_t total = 0;
    std::string block;
    for (block.reserve(kBlock); reader.ReadChunk(block, kBlock); block.clear()) {
        total += block.size();
        if (total > kMaxWrittenRecordBytes) return false; // it grew while read
        for (std::size_t from = 0; from < block.size();) {
            const std::size_t end = block.find('\n', from);
            pending.append(block, from, end == std::string::npos ? end : end - from);
            if (pending.size() > kMaxLine) return false;
            if (end == std::string::npos) break;
            if (!take(pending)) return false;
            pending.clear();
            from = end + 1;
        }
    }
    return !reader.Failed() && (pending.empty() || take(pending));
}

} // namespace

std::optional<TKSwrittenFile> DescribeWrittenFile(const std::string& path,
                                                  const std::string& name) {
    return DescribeWrittenFiles({path}, {name}).front();
}

std::vector<std::optional<TKSwrittenFile>>
DescribeWrittenFiles(const std::vector<std::string>& paths, const std::vector<std::string>& names) {
    std::vector<std::optional<TKSwrittenFile>> files(paths.size());
    std::size_t next = 0;
    TKShashLane lanes[kLanes];
    // Each lane takes the next file that can be read.
    const auto start = [&](TKShashLane& lane) {
        while (next < paths.size()) {
            const std::size_t index = next++;
            if (lane.Open(paths[index], index)) return;
        }
    };
    for (TKShashLane& lane : lanes)
        start(lane);
    for (;;) {
        std::size_t active = 0;
        for (TKShashLane& lane : lanes) {
            while (lane.Active() && !lane.Refill()) {
                if (lane.Sound()) files[lane.Index()] = lane.File(names[lane.Index()]);
                start(lane);
            }
            active += lane.Active() ? 1 : 0;
        }
        if (active == 0) break;
        if (active == kLanes) {
            HashTogether(lanes);
        } else {
            for (TKShashLane& lane : lanes)
                if (lane.Active()) lane.HashRest();
        }
    }
    return files;
}

TKSwrittenRecord TKSwrittenRecord::Read(const std::string& outputFolder) {
    const std::string path = WithSlash(outputFolder) + kWrittenRecordName;
    TKSwrittenRecord record;
    // Only a record the run wrote itself counts, never one a link leads to.
    if (IsLink(path)) return record;
    int version = 0;
    const bool sound = ReadLines(path, [&](const std::string& line) {
        if (version == 0) {
            version = line == kVersionLine ? 2 : line == kFirstVersionLine ? 1 : -1;
            return version > 0;
        }
        if (line.empty()) return version == 1;
        TKSwrittenFile file;
        if (version == 1)
            file = {line, 0, 0, true};
        else if (!ParseLine(line, file))
            return false;
        record.files_.push_back(std::move(file));
        return true;
    });
    if (!sound) return {};
    std::stable_sort(
        record.files_.begin(), record.files_.end(),
        [](const TKSwrittenFile& a, const TKSwrittenFile& b) { return a.Name < b.Name; });
    return record;
}

std::vector<std::string> TKSwrittenRecord::Names() const {
    std::vector<std::string> names;
    for (const TKSwrittenFile& file : files_)
        if (names.empty() || names.back() != file.Name) names.push_back(file.Name);
    return names;
}

bool TKSwrittenRecord::Holds(const std::string& outputFolder, const std::string& name) const {
    const auto [first, last] = std::equal_range(
        files_.begin(), files_.end(), TKSwrittenFile{name, 0, 0, false},
        [](const TKSwrittenFile& a, const TKSwrittenFile& b) { return a.Name < b.Name; });
    if (first == last) return false;
    if (std::any_of(first, last, [](const TKSwrittenFile& f) { return f.NameOnly; })) return true;
    struct stat st {};
    const std::string path = WithSlash(outputFolder) + name;
    // Only a file of the size recorded is worth reading.
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        std::none_of(first, last, [&](const TKSwrittenFile& f) {
            return f.Size == static_cast<std::uint64_t>(st.st_size);
        }))
        return false;
    const std::optional<TKSwrittenFile> now = DescribeWrittenFile(path, name);
    return now && std::find(first, last, *now) != last;
}

std::vector<TKSwrittenFile> TKSwrittenRecord::Proven(const std::string& outputFolder) const {
    std::vector<TKSwrittenFile> proven;
    for (const TKSwrittenFile& file : files_) {
        if (!file.NameOnly) {
            proven.push_back(file);
        } else if (const auto now =
                       DescribeWrittenFile(WithSlash(outputFolder) + file.Name, file.Name)) {
            proven.push_back(*now);
        }
    }
    return proven;
}

std::vector<std::string> ReadWrittenRecord(const std::string& outputFolder) {
    return TKSwrittenRecord::Read(outputFolder).Names();
}

const std::vector<std::string>& ProgramRecordNames() {
    static const std::vector<std::string> names = {kEntryDigestName, kFeedHistoryName};
    return names;
}

void RemoveUnfinishedRecords(const std::string& outputFolder) {
    // The replacing writer's temporary names, and the form of earlier versions
    // ("." + the record's name + ".tmp-...").
    const std::string earlier = "." + std::string(kWrittenRecordName) + ".tmp-";
    const std::string folder = WithSlash(outputFolder);
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        struct stat st {};
        bool pending =
            name.starts_with(earlier) || PendingReplacementWriter(name, kWrittenRecordName) != 0;
        for (const std::string& record : ProgramRecordNames())
            pending = pending || PendingReplacementWriter(name, record) != 0;
        if (pending && ::lstat((folder + name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            ::unlink((folder + name).c_str());
    }
}

bool WriteWrittenRecord(const std::string& outputFolder, const std::vector<TKSwrittenFile>& files) {
    std::string text = std::string(kVersionLine) + "\n";
    for (const TKSwrittenFile& file : files) {
        // A name is one line; a name that is not cannot be recorded, and an
        // unrecorded file is only ever moved to the trash.
        if (file.NameOnly || file.Name.find_first_of("\r\n") != std::string::npos) continue;
        char proof[48];
        std::snprintf(proof, sizeof proof, "%llu\t%016llx\t",
                      static_cast<unsigned long long>(file.Size),
                      static_cast<unsigned long long>(file.Hash));
        text += proof + file.Name + "\n";
    }
    const std::string path = WithSlash(outputFolder) + kWrittenRecordName;
    // Written in the output folder itself, never through a link planted there.
    if (IsLink(path)) ::unlink(path.c_str());
    return WriteFileAtomically(path, {text}, 0644);
}

} // namespace ks
