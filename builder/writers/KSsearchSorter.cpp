#include "builder/writers/KSsearchSorter.h"

#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSlocal.h"
#include "common/KSpaths.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <queue>
#include <span>
#include <system_error>

namespace ks {

namespace {

// Records that come in more runs than this are sorted from scratch.
constexpr std::size_t kMostRuns = 64;

// Sorts lines whose first skip bytes are the same. The next eight bytes,
// big-endian and padded with zeros, settle most comparisons without a call;
// lines equal in them are compared whole (a padded byte may be a real zero).
void SortByBytes(std::span<std::string_view> lines, std::size_t skip) {
    struct Keyed {
        uint64_t prefix;
        std::string_view line;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(lines.size());
    for (std::string_view line : lines) {
        uint64_t prefix = 0;
        for (std::size_t i = skip; i < skip + 8; ++i)
            prefix = prefix << 8 | (i < line.size() ? static_cast<unsigned char>(line[i]) : 0u);
        keyed.push_back({prefix, line});
    }
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        return a.prefix != b.prefix ? a.prefix < b.prefix : a.line < b.line;
    });
    for (std::size_t i = 0; i < lines.size(); ++i)
        lines[i] = keyed[i].line;
}

// string_view compares through char_traits<char>: bytes as unsigned values.
// Records that compare equal are the same bytes, so their order is not seen.
// Lines of one first byte are sorted on their own: in the search data those
// of surnames come mostly in order already (the index is sorted by surname),
// so a few sorted runs are merged rather than sorted again.
void SortSameFirstByte(std::span<std::string_view> lines) {
    std::vector<std::size_t> bounds = {0};
    for (std::size_t i = 1; i < lines.size() && bounds.size() <= kMostRuns; ++i)
        if (lines[i] < lines[i - 1]) bounds.push_back(i);
    if (bounds.size() > kMostRuns) {
        SortByBytes(lines, 1);
        return;
    }
    bounds.push_back(lines.size());
    const auto at = [&lines](std::size_t i) {
        return lines.begin() + static_cast<std::ptrdiff_t>(i);
    };
    while (bounds.size() > 2) {
        std::vector<std::size_t> merged = {0};
        for (std::size_t r = 0; r + 1 < bounds.size(); r += 2) {
            if (r + 2 < bounds.size())
                std::inplace_merge(at(bounds[r]), at(bounds[r + 1]), at(bounds[r + 2]));
            merged.push_back(bounds[std::min(r + 2, bounds.size() - 1)]);
        }
        bounds = std::move(merged);
    }
}

// Groups the lines by their first byte (empty lines first), keeping their
// order, then sorts each group.
void SortRecords(std::vector<std::string_view>& lines) {
    const auto group = [](std::string_view line) {
        return line.empty() ? 0u : 1u + static_cast<unsigned char>(line[0]);
    };
    std::array<std::size_t, 258> starts{};
    for (std::string_view line : lines)
        ++starts[group(line) + 1];
    for (std::size_t g = 1; g < starts.size(); ++g)
        starts[g] += starts[g - 1];
    std::vector<std::string_view> grouped(lines.size());
    std::array<std::size_t, 258> next = starts;
    for (std::string_view line : lines)
        grouped[next[group(line)]++] = line;
    lines.swap(grouped);
    for (std::size_t g = 1; g + 1 < starts.size(); ++g)
        SortSameFirstByte(std::span(lines).subspan(starts[g], starts[g + 1] - starts[g]));
}

// Run files merged at once; more are merged in passes, a group at a time.
constexpr std::size_t kMostOpenRuns = 256;
// The blocks in which run files are read while merged: as large as the
// budget allows, within these bounds. A reader keeps room for a block and
// the start of a record cut off by the block before.
constexpr std::size_t kSmallestBlock = std::size_t{8} << 10;
constexpr std::size_t kLargestBlock = std::size_t{1} << 20;
constexpr std::size_t kCutRecordRoom = std::size_t{4} << 10;
// Only one run file is written at a time.
constexpr std::size_t kRunWriteBlock = std::size_t{256} << 10;

// A run file read back a block at a time, a record at a time.
class RunReader {
public:
    RunReader(const std::string& path, std::size_t block)
        : path_(path), reader_(path), block_(block) {
        if (reader_.Outcome() != ReadOutcome::Read)
            throw EInOutError(path_, LocalText("#1563.2=kan niet gelezen worden"));
        buffer_.reserve(block_ + kCutRecordRoom);
    }

    // line shows the next record until the next call; false after the last.
    bool Next(std::string_view& line) {
        for (;;) {
            const std::size_t end = buffer_.find('\n', start_);
            if (end != std::string::npos) {
                line = std::string_view(buffer_).substr(start_, end - start_);
                start_ = end + 1;
                return true;
            }
            if (!more_) return false;
            buffer_.erase(0, start_);
            start_ = 0;
            more_ = reader_.ReadChunk(buffer_, block_);
            if (reader_.Failed())
                throw EInOutError(path_, LocalText("#1563.2=kan niet gelezen worden"));
        }
    }

private:
    std::string path_;
    FileReader reader_;
    std::size_t block_;
    std::string buffer_;
    std::size_t start_ = 0;
    bool more_ = true;
};

void WriteRecord(BufferedWriter& out, std::string_view record) {
    out.Write(record);
    out.Write("\n");
}

BufferedWriter NewRunFile(const std::string& path) {
    File file = File::OpenWith(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
    if (!file.Valid()) throw EWriteError(path, file.OpenError());
    return BufferedWriter(std::move(file), kRunWriteBlock);
}

} // namespace

TKSsearchSorter::TKSsearchSorter(const std::string& folder, std::size_t budget) : budget_(budget) {
    std::string pattern = WithSlash(folder) + "search-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        throw EInOutError(
            WithSlash(folder),
            LocalReason("#1565.3=er kan geen map om te sorteren gemaakt worden", errno));
    folder_ = WithSlash(pattern);
}

TKSsearchSorter::~TKSsearchSorter() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
}

std::string TKSsearchSorter::NewFileName() {
    return folder_ + std::to_string(++files_) + ".tmp";
}

void TKSsearchSorter::Add(std::string_view record) {
    // A record takes its bytes, a line feed and its place among the sorted
    // lines; the arena is never moved once reserved.
    const std::size_t gathered = arena_.size() + count_ * sizeof(std::string_view);
    if (count_ > 0 && gathered + record.size() + 1 + sizeof(std::string_view) > budget_) Spill();
    if (arena_.capacity() < budget_) arena_.reserve(budget_);
    arena_.append(record).append(1, '\n');
    ++count_;
}

const std::vector<std::string_view>& TKSsearchSorter::SortedBuffer() {
    lines_.clear();
    lines_.reserve(count_);
    for (std::string_view rest(arena_); !rest.empty();) {
        const std::size_t end = rest.find('\n');
        lines_.push_back(rest.substr(0, end));
        rest.remove_prefix(end + 1);
    }
    SortRecords(lines_);
    return lines_;
}

void TKSsearchSorter::Spill() {
    const std::string path = NewFileName();
    BufferedWriter out = NewRunFile(path);
    for (std::string_view line : SortedBuffer())
        WriteRecord(out, line);
    out.Close();
    runs_.push_back(path);
    arena_.clear();
    lines_.clear();
    count_ = 0;
}

void TKSsearchSorter::Finish(const Sink& sink) {
    if (runs_.empty()) {
        for (std::string_view line : SortedBuffer())
            sink(line);
        return;
    }
    if (count_ > 0) Spill();
    std::string().swap(arena_);
    std::vector<std::string_view>().swap(lines_);
    while (runs_.size() > kMostOpenRuns) {
        std::vector<std::string> merged;
        for (std::size_t from = 0; from < runs_.size(); from += kMostOpenRuns) {
            const std::size_t to = std::min(from + kMostOpenRuns, runs_.size());
            const std::string path = NewFileName();
            BufferedWriter out = NewRunFile(path);
            Merge(from, to, [&out](std::string_view line) { WriteRecord(out, line); });
            out.Close();
            for (std::size_t run = from; run < to; ++run)
                std::remove(runs_[run].c_str());
            merged.push_back(path);
        }
        runs_ = std::move(merged);
    }
    Merge(0, runs_.size(), sink);
}

void TKSsearchSorter::Merge(std::size_t from, std::size_t to, const Sink& sink) const {
    const std::size_t count = to - from;
    // Together the readers hold about half the budget, and their cut records.
    const std::size_t block = std::clamp(budget_ / (2 * count), kSmallestBlock, kLargestBlock);
    std::vector<std::unique_ptr<RunReader>> readers;
    std::vector<std::string_view> heads(count);
    // Equal records are the same bytes; the earlier run goes first all the same.
    auto later = [&heads](std::size_t a, std::size_t b) {
        const int order = heads[a].compare(heads[b]);
        return order != 0 ? order > 0 : a > b;
    };
    std::priority_queue<std::size_t, std::vector<std::size_t>, decltype(later)> queue(later);
    for (std::size_t i = 0; i < count; ++i) {
        readers.push_back(std::make_unique<RunReader>(runs_[from + i], block));
        if (readers[i]->Next(heads[i])) queue.push(i);
    }
    while (!queue.empty()) {
        const std::size_t run = queue.top();
        queue.pop();
        // A run goes on for as long as it stays first: runs that hardly
        // overlap (the records come mostly in order) cost one comparison a
        // record.
        bool more = true;
        while (more && (queue.empty() || !later(run, queue.top()))) {
            sink(heads[run]);
            more = readers[run]->Next(heads[run]);
        }
        if (more) queue.push(run);
    }
}

} // namespace ks
