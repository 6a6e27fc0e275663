#include "builder/writers/KSsearchSorter.h"

#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSlocal.h"
#include "common/KSpaths.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <system_error>

namespace ks {

namespace {

// Index of the bucket of a record at a depth: records that end before it
// come first (0), then one bucket per byte value.
std::size_t BucketOf(std::string_view record, std::size_t depth) {
    return depth < record.size() ? 1 + static_cast<unsigned char>(record[depth]) : 0;
}

// The block in which a file of records is read.
constexpr std::size_t kReadBlock = std::size_t{1} << 16;

// Records that come in more runs than this are sorted from scratch.
constexpr std::size_t kMostRuns = 64;

// Where each ascending run of the records begins, and their end.
std::vector<std::size_t> RunBounds(const std::vector<std::string_view>& lines) {
    std::vector<std::size_t> bounds = {0};
    for (std::size_t i = 1; i < lines.size() && bounds.size() <= kMostRuns; ++i)
        if (lines[i] < lines[i - 1]) bounds.push_back(i);
    bounds.push_back(lines.size());
    return bounds;
}

// string_view compares through char_traits<char>: bytes as unsigned values.
// Records that compare equal are the same bytes, so their order is not seen.
// The records of the search data come mostly in order already (the index is
// sorted by surname): a few sorted runs are merged rather than sorted again.
void SortRecords(std::vector<std::string_view>& lines) {
    std::vector<std::size_t> bounds = RunBounds(lines);
    if (bounds.size() - 1 > kMostRuns) {
        std::sort(lines.begin(), lines.end());
        return;
    }
    while (bounds.size() > 2) {
        std::vector<std::size_t> merged = {0};
        for (std::size_t r = 0; r + 1 < bounds.size(); r += 2) {
            if (r + 2 < bounds.size()) {
                const auto first = lines.begin() + static_cast<std::ptrdiff_t>(bounds[r]);
                std::inplace_merge(first,
                                   lines.begin() + static_cast<std::ptrdiff_t>(bounds[r + 1]),
                                   lines.begin() + static_cast<std::ptrdiff_t>(bounds[r + 2]));
            }
            merged.push_back(bounds[std::min(r + 2, bounds.size() - 1)]);
        }
        bounds = std::move(merged);
    }
}

// Hands each line of the file at path (without its line feed) to take, block
// by block, until take returns false. A file that cannot be read raises
// EInOutError naming it: its records would otherwise be lost unseen.
template <class Take> void ForEachLine(const std::string& path, Take take) {
    FileReader reader(path);
    if (reader.Outcome() != ReadOutcome::Read)
        throw EInOutError(path, LocalText("#1563.2=kan niet gelezen worden"));
    std::string buffer;
    std::size_t start = 0;
    for (bool more = true; more;) {
        buffer.erase(0, start);
        start = 0;
        more = reader.ReadChunk(buffer, kReadBlock);
        for (std::size_t end; (end = buffer.find('\n', start)) != std::string::npos;
             start = end + 1)
            if (!take(std::string_view(buffer).substr(start, end - start))) return;
    }
    if (reader.Failed()) throw EInOutError(path, LocalText("#1563.2=kan niet gelezen worden"));
    if (start < buffer.size()) take(std::string_view(buffer).substr(start));
}

constexpr std::size_t kBuckets = 257;
// Up to 257 bucket files are open at once: each gathers a small block.
constexpr std::size_t kBucketBlock = 4096;

} // namespace

struct TKSsearchSorter::Bucket {
    std::string path;
    BufferedWriter file;
    uint64_t bytes = 0;
};

TKSsearchSorter::TKSsearchSorter(const std::string& folder, std::size_t budget)
    : budget_(budget), buckets_(kBuckets) {
    std::string pattern = WithSlash(folder) + "search-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        throw EInOutError(
            WithSlash(folder),
            LocalReason("#1565.3=er kan geen map om te sorteren gemaakt worden", errno));
    folder_ = WithSlash(pattern);
}

TKSsearchSorter::~TKSsearchSorter() {
    buckets_.clear();
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
}

std::string TKSsearchSorter::NewFileName() {
    return folder_ + std::to_string(++files_) + ".tmp";
}

void TKSsearchSorter::Add(std::string_view record) {
    Add(buckets_, 0, record);
}

void TKSsearchSorter::Add(Buckets& buckets, std::size_t depth, std::string_view record) {
    std::unique_ptr<Bucket>& bucket = buckets[BucketOf(record, depth)];
    if (!bucket) {
        bucket = std::make_unique<Bucket>();
        bucket->path = NewFileName();
        File file = File::OpenWith(bucket->path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
        if (!file.Valid()) throw EWriteError(bucket->path, file.OpenError());
        bucket->file = BufferedWriter(std::move(file), kBucketBlock);
    }
    bucket->file.Write(record);
    bucket->file.Write("\n");
    bucket->bytes += record.size() + 1;
}

void TKSsearchSorter::Close(Buckets& buckets) {
    for (std::unique_ptr<Bucket>& bucket : buckets) {
        if (!bucket) continue;
        bucket->file.Close();
    }
}

void TKSsearchSorter::Finish(const std::function<void(std::string_view)>& sink) {
    Close(buckets_);
    Buckets buckets = std::move(buckets_);
    for (std::unique_ptr<Bucket>& bucket : buckets)
        if (bucket) Sort(*bucket, 1, sink);
}

void TKSsearchSorter::Sort(Bucket& bucket, std::size_t depth,
                           const std::function<void(std::string_view)>& sink) {
    if (bucket.bytes <= budget_) {
        SortInMemory(bucket.path, sink);
        return;
    }
    const std::size_t split = SplitDepth(bucket.path, depth);
    if (split == std::string::npos) {
        Stream(bucket.path, sink);
    } else {
        Buckets parts(kBuckets);
        ForEachLine(bucket.path, [&](std::string_view line) {
            Add(parts, split, line);
            return true;
        });
        Close(parts);
        std::remove(bucket.path.c_str());
        for (std::unique_ptr<Bucket>& part : parts)
            if (part) Sort(*part, split + 1, sink);
    }
    std::remove(bucket.path.c_str());
}

void TKSsearchSorter::SortInMemory(const std::string& path,
                                   const std::function<void(std::string_view)>& sink) {
    std::string text;
    FileStamp stamp;
    if (ReadWholeFile(path, text, stamp) != ReadOutcome::Read)
        throw EInOutError(path, LocalText("#1563.2=kan niet gelezen worden"));
    std::remove(path.c_str());
    std::vector<std::string_view> lines;
    std::string_view rest(text);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        lines.push_back(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    SortRecords(lines);
    for (std::string_view line : lines)
        sink(line);
}

std::size_t TKSsearchSorter::SplitDepth(const std::string& path, std::size_t depth) const {
    // Compared with the first record: the smallest position at which another
    // record differs from it (by a byte, or by ending there).
    std::optional<std::string> first;
    std::size_t split = std::string::npos;
    ForEachLine(path, [&](std::string_view line) {
        if (!first) {
            first = line;
        } else if (line != *first) {
            const std::size_t limit = std::min(first->size(), line.size());
            std::size_t same = 0;
            while (same < limit && (*first)[same] == line[same])
                ++same;
            split = std::min(split, same);
        }
        return split > depth;
    });
    // Every record of the file shares its first depth bytes.
    return split == std::string::npos ? split : std::max(split, depth);
}

void TKSsearchSorter::Stream(const std::string& path,
                             const std::function<void(std::string_view)>& sink) const {
    ForEachLine(path, [&](std::string_view line) {
        sink(line);
        return true;
    });
}

} // namespace ks
