#include "builder/entries/KSentryDigest.h"

#include "builder/entries/KSentryReader.h"
#include "builder/entries/KSreferences.h"
#include "builder/entries/KSrunSettings.h"
#include "builder/entries/KSrunState.h"
#include "builder/entries/KSrunView.h"
#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSlocal.h"
#include "common/KSpaths.h"
#include "common/KSreplacingFile.h"
#include "index/KShtxData.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <queue>
#include <unistd.h>
#include <utility>
#include <vector>

namespace ks {

const char* const kEntryDigestName = ".kestrin-digest";

namespace {

namespace fs = std::filesystem;

const char* const kDigestHead = "kestrin-digest 1";
constexpr std::size_t kSortBytes = 4u << 20;
constexpr std::size_t kReadBlock = 64u << 10;
constexpr std::size_t kMaxHeadBytes = 80;

void AppendBigEndian(std::string& out, std::uint64_t value) {
    for (int shift = 56; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

// The previous run's digest, read a block at a time in ascending order.
class TKSdigestReader {
public:
    explicit TKSdigestReader(const std::string& path) : reader_(path) {
        if (reader_.Outcome() != ReadOutcome::Read) return;
        while (block_.find('\n') == std::string::npos && block_.size() < kMaxHeadBytes)
            if (!reader_.ReadChunk(block_, kMaxHeadBytes - block_.size())) break;
        const std::size_t end = block_.find('\n');
        if (end == std::string::npos) return;
        long long time = 0;
        unsigned long long count = 0;
        char tail = 0;
        const std::string head = block_.substr(0, end);
        if (!head.starts_with(std::string(kDigestHead) + " ") ||
            std::sscanf(head.c_str() + std::string(kDigestHead).size(), " %lld %llu%c", &time,
                        &count, &tail) != 2)
            return;
        // A digest cut short or grown counts as none.
        if (reader_.Stamp().size != end + 1 + count * 8) return;
        time_ = time;
        left_ = count;
        at_ = end + 1;
        sound_ = true;
    }

    bool Sound() const { return sound_; }
    std::int64_t Time() const { return time_; }

    // The next hash; false at the end (or when the file ends early, which
    // makes it unsound, as a hash out of order does).
    bool Next(std::uint64_t& hash) {
        if (!sound_ || left_ == 0) return false;
        if (block_.size() - at_ < 8) {
            block_.erase(0, at_);
            at_ = 0;
            while (block_.size() < 8 && reader_.ReadChunk(block_, kReadBlock)) {
            }
            if (block_.size() < 8) {
                sound_ = false;
                return false;
            }
        }
        hash = 0;
        for (int i = 0; i < 8; ++i)
            hash = hash << 8 | static_cast<unsigned char>(block_[at_ + i]);
        at_ += 8;
        --left_;
        if (started_ && hash <= last_) {
            sound_ = false;
            return false;
        }
        started_ = true;
        last_ = hash;
        return true;
    }

private:
    FileReader reader_;
    std::string block_;
    std::size_t at_ = 0;
    std::uint64_t left_ = 0;
    std::uint64_t last_ = 0;
    bool started_ = false;
    std::int64_t time_ = 0;
    bool sound_ = false;
};

// A person new in this run: its entry's number in the order of the index
// and which of that entry's references it is, as one number that sorts so.
std::uint64_t PlaceCode(std::uint32_t entry, std::size_t reference) {
    return static_cast<std::uint64_t>(entry) << 20 |
           std::min<std::uint64_t>(reference, (1u << 20) - 1);
}

// A person as the digest sorts it: the hash, then where it stands in the
// index (PlaceCode), which makes the first of equal hashes the first in the
// index; and its tree's place in the list.
struct TKSpersonRecord {
    std::uint64_t Hash;
    std::uint64_t Place;
    std::uint32_t Tree;
    std::uint32_t Unused;
};
static_assert(sizeof(TKSpersonRecord) == 24);

bool operator<(const TKSpersonRecord& a, const TKSpersonRecord& b) {
    return a.Hash != b.Hash ? a.Hash < b.Hash : a.Place < b.Place;
}

// The persons sorted in a buffer of bounded size, which goes to a run file of
// fixed-size records whenever it fills; the run files are merged at the end,
// each read a block at a time. Run files are removed with the sort (kept in
// developer mode).
class TKSpersonSort {
public:
    TKSpersonSort(std::string folder, bool keepRunFiles)
        : folder_(std::move(folder)), keep_(keepRunFiles) {
        buffer_.reserve(kSortBytes / sizeof(TKSpersonRecord));
    }
    ~TKSpersonSort() {
        if (keep_) return;
        for (const std::string& path : runs_)
            ::unlink(path.c_str());
    }
    TKSpersonSort(const TKSpersonSort&) = delete;
    TKSpersonSort& operator=(const TKSpersonSort&) = delete;

    void Add(const TKSpersonRecord& record) {
        if (buffer_.size() == buffer_.capacity()) Spill();
        buffer_.push_back(record);
    }

    template <class Sink> void Finish(const Sink& sink) {
        std::sort(buffer_.begin(), buffer_.end());
        if (runs_.empty()) {
            for (const TKSpersonRecord& record : buffer_)
                sink(record);
            return;
        }
        if (!buffer_.empty()) Spill();
        std::vector<TKSpersonRecord>().swap(buffer_);
        Merge(sink);
    }

private:
    // A run file read a block at a time.
    struct Run {
        explicit Run(const std::string& path) : path(path), reader(path) {}
        bool Next(std::size_t blockBytes) {
            if (block.size() - at < sizeof(TKSpersonRecord)) {
                block.erase(0, at);
                at = 0;
                while (block.size() < sizeof(TKSpersonRecord) &&
                       reader.ReadChunk(block, blockBytes)) {
                }
                if (reader.Failed() || reader.Outcome() != ReadOutcome::Read)
                    throw EInOutError(path, LocalText("#1613.1=kan niet gelezen worden"));
                if (block.size() < sizeof(TKSpersonRecord)) return false;
            }
            std::memcpy(&current, block.data() + at, sizeof current);
            at += sizeof current;
            return true;
        }
        std::string path;
        FileReader reader;
        std::string block;
        std::size_t at = 0;
        TKSpersonRecord current{};
    };

    void Spill() {
        std::sort(buffer_.begin(), buffer_.end());
        const std::string path = folder_ + "digest-" + std::to_string(runs_.size() + 1) + ".tmp";
        BufferedWriter out(File::OpenWith(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600));
        if (!out.GetFile().Valid())
            throw EWriteError(
                path, LocalReason("#1613.2=kan niet geschreven worden", out.GetFile().OpenErrno()));
        runs_.push_back(path); // only a file of its own is ever removed
        out.Write(std::string_view(reinterpret_cast<const char*>(buffer_.data()),
                                   buffer_.size() * sizeof(TKSpersonRecord)));
        out.Close();
        buffer_.clear();
    }

    // Every run holds a block in memory: together no more than the buffer.
    template <class Sink> void Merge(const Sink& sink) {
        const std::size_t blockBytes =
            std::clamp<std::size_t>(kSortBytes / runs_.size(), 4u << 10, kReadBlock);
        std::vector<std::unique_ptr<Run>> runs;
        using Head = std::pair<TKSpersonRecord, std::size_t>;
        const auto later = [](const Head& a, const Head& b) { return b.first < a.first; };
        std::priority_queue<Head, std::vector<Head>, decltype(later)> heads(later);
        for (const std::string& path : runs_) {
            runs.push_back(std::make_unique<Run>(path));
            if (runs.back()->Next(blockBytes)) heads.emplace(runs.back()->current, runs.size() - 1);
        }
        while (!heads.empty()) {
            const std::size_t from = heads.top().second;
            sink(heads.top().first);
            heads.pop();
            if (runs[from]->Next(blockBytes)) heads.emplace(runs[from]->current, from);
        }
    }

    std::string folder_;
    bool keep_;
    std::vector<TKSpersonRecord> buffer_;
    std::vector<std::string> runs_;
};

class TKSdigestMaker {
public:
    TKSdigestMaker(const TKSrunView& run, const std::string& folder,
                   const std::string& outputFolder, std::int64_t runTime)
        : run_(run), folder_(WithSlash(folder)), outputFolder_(WithSlash(outputFolder)),
          runTime_(runTime) {
        const auto& documents = run.Settings.Documents;
        for (const TKSrunDocument& document : documents)
            treeKeys_.push_back(document.Data != nullptr && document.Selected ? TreeKey(document)
                                                                              : std::string());
        counts_.assign(documents.size(), 0);
        first_.resize(documents.size());
    }

    TKSwhatsNew Run() {
        TKSwhatsNew result;
        result.DigestPath = folder_ + "HTMLdigest.tmp";
        TKSpersonSort sorter(folder_, run_.Settings.DeveloperMode);
        SortPersons(sorter);
        TKSdigestReader previous(outputFolder_ + kEntryDigestName);
        const bool compare = previous.Sound();
        // The hashes go to a body file first: the head names their number.
        const std::string bodyPath = folder_ + "HTMLdigest.body";
        std::uint64_t count = 0;
        {
            BufferedWriter body(File::Open(bodyPath, File::OpenMode::Create));
            std::uint64_t last = 0;
            std::uint64_t old = 0;
            bool haveOld = compare && previous.Next(old);
            std::string bytes;
            sorter.Finish([&](const TKSpersonRecord& record) {
                const std::uint64_t hash = record.Hash;
                if (count > 0 && hash == last) return;
                last = hash;
                ++count;
                bytes.clear();
                AppendBigEndian(bytes, hash);
                body.Write(bytes);
                if (!compare) return;
                while (haveOld && old < hash)
                    haveOld = previous.Next(old);
                if (haveOld && old == hash) return;
                Note(record);
            });
            body.Close();
        }
        // A previous digest found damaged on the way says nothing.
        result.Compared = compare && previous.Sound();
        result.PreviousTime = previous.Time();
        WriteDigest(bodyPath, result.DigestPath, count);
        if (!result.Compared) return result;
        Gather(result);
        return result;
    }

private:
    void SortPersons(TKSpersonSort& sorter) {
        TKSentryReader entries(run_);
        TKShtxRegel entry;
        std::uint32_t number = 0;
        const std::size_t count = run_.Settings.Documents.size();
        while (entries.Next(entry)) {
            std::size_t reference = 0;
            ForEachReference(entry.Link, count, [&](std::size_t index, std::string_view link) {
                const std::size_t ordinal = reference++;
                if (treeKeys_[index].empty()) return;
                sorter.Add({PersonHash(treeKeys_[index], link), PlaceCode(number, ordinal),
                            static_cast<std::uint32_t>(index), 0});
            });
            ++number;
        }
    }

    // A new person: counted for its tree, and kept while among its tree's
    // first in the order of the index.
    void Note(const TKSpersonRecord& record) {
        const std::size_t index = record.Tree;
        ++counts_[index];
        auto& first = first_[index];
        const std::uint64_t code = record.Place;
        if (first.size() < static_cast<std::size_t>(kNewPersonsKept)) {
            first.push(code);
        } else if (code < first.top()) {
            first.pop();
            first.push(code);
        }
    }

    void WriteDigest(const std::string& bodyPath, const std::string& path, std::uint64_t count) {
        BufferedWriter out(File::Open(path, File::OpenMode::Create));
        out.Write(std::string(kDigestHead) + " " + std::to_string(runTime_) + " " +
                  std::to_string(count) + "\n");
        FileReader body(bodyPath);
        std::string block;
        while (body.ReadChunk(block, kReadBlock)) {
            out.Write(block);
            block.clear();
        }
        if (body.Failed() || body.Outcome() != ReadOutcome::Read)
            throw EInOutError(bodyPath, LocalText("#1613.1=kan niet gelezen worden"));
        out.Close();
        ::unlink(bodyPath.c_str());
    }

    // The kept persons' entries, read once more in the order of the index.
    void Gather(TKSwhatsNew& result) {
        std::vector<std::pair<std::uint64_t, std::size_t>> wanted; // place code, tree
        for (std::size_t index = 0; index < first_.size(); ++index)
            for (auto& heap = first_[index]; !heap.empty(); heap.pop())
                wanted.emplace_back(heap.top(), index);
        std::sort(wanted.begin(), wanted.end());
        std::vector<TKSnewTree> trees(counts_.size());
        for (std::size_t index = 0; index < counts_.size(); ++index) {
            trees[index].Document = index;
            trees[index].Count = counts_[index];
            result.Added += counts_[index];
        }
        if (!wanted.empty()) {
            TKSentryReader entries(run_);
            TKShtxRegel entry;
            std::uint32_t number = 0;
            std::size_t next = 0;
            const std::size_t count = run_.Settings.Documents.size();
            while (next < wanted.size() && entries.Next(entry)) {
                std::size_t reference = 0;
                const std::string references = entry.Link;
                ForEachReference(references, count, [&](std::size_t index, std::string_view link) {
                    const std::uint64_t code = PlaceCode(number, reference++);
                    while (next < wanted.size() && wanted[next].first < code)
                        ++next;
                    if (next == wanted.size() || wanted[next].first != code) return;
                    TKShtxRegel person = entry;
                    person.Link = std::string(link);
                    person.DocIndex = static_cast<int32_t>(index);
                    trees[index].First.push_back(std::move(person));
                    ++next;
                });
                ++number;
            }
        }
        for (TKSnewTree& tree : trees)
            if (tree.Count > 0) result.Trees.push_back(std::move(tree));
    }

    const TKSrunView& run_;
    std::string folder_;
    std::string outputFolder_;
    std::int64_t runTime_;
    std::vector<std::string> treeKeys_; // per list position; "" for a tree left out
    std::vector<int64_t> counts_;       // new persons per list position
    // The first new persons per list position, the last of them on top.
    std::vector<std::priority_queue<std::uint64_t>> first_;
};

} // namespace

std::uint64_t PersonHash(std::string_view treeKey, std::string_view link) {
    // FNV-1a over the key, a NUL and the link, then mixed so that the bits
    // of the last bytes reach the top of the value too.
    std::uint64_t hash = 14695981039346656037ull;
    const auto add = [&hash](std::string_view bytes) {
        for (const char c : bytes) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 1099511628211ull;
        }
    };
    add(treeKey);
    add(std::string_view("\0", 1));
    add(link);
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdull;
    hash ^= hash >> 33;
    hash *= 0xc4ceb9fe1a85ec53ull;
    hash ^= hash >> 33;
    return hash;
}

std::string TreeKey(const TKSrunDocument& document) {
    if (!document.WebAddress.empty()) return document.WebAddress;
    if (document.Data == nullptr) return {};
    std::error_code ec;
    const fs::path path = fs::absolute(document.Data->FileName, ec);
    return ec ? document.Data->FileName : path.lexically_normal().string();
}

TKSwhatsNew CompareWithPreviousRun(const TKSrunView& run, const std::string& folder,
                                   const std::string& outputFolder, std::int64_t runTime) {
    return TKSdigestMaker(run, folder, outputFolder, runTime).Run();
}

void CommitEntryDigest(const std::string& outputFolder, const std::string& digestPath) {
    const std::string path = WithSlash(outputFolder) + kEntryDigestName;
    // Written in the output folder itself, never through a link planted there.
    if (IsLink(path)) ::unlink(path.c_str());
    ReplacingFile target(path, ReplacingOptions::WithMode(0644));
    target.RequireValid("#1613.2=kan niet geschreven worden");
    FileReader source(digestPath);
    std::string block;
    while (source.ReadChunk(block, kReadBlock)) {
        target.Writer().Write(block);
        block.clear();
    }
    if (source.Failed() || source.Outcome() != ReadOutcome::Read)
        throw EInOutError(digestPath, LocalText("#1613.1=kan niet gelezen worden"));
    target.Commit();
}

} // namespace ks
