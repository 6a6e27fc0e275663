#include "LINE_INPUT/KSrunFileSort.h"

#include "LINE_INPUT/KSFileStream.h"
#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSlocal.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <queue>
#include <unistd.h>

namespace ks {

namespace {

constexpr std::size_t kMaxOpenRuns = 256; // run files merged at once

bool RecordBefore(const TKSsortRecord& a, const TKSsortRecord& b) {
    const int c = a.Key.compare(b.Key);
    if (c != 0) return c < 0;
    return a.Tie < b.Tie;
}

uint64_t KeyPrefix(std::string_view key) {
    unsigned char bytes[8] = {};
    if (!key.empty()) std::memcpy(bytes, key.data(), std::min(key.size(), sizeof bytes));
    uint64_t prefix = 0;
    for (const unsigned char b : bytes)
        prefix = prefix << 8 | b;
    return prefix;
}

// A run file holds three lines per record: key, tie, line. It is always a
// new file: an existing file or a link at its name is an error, never
// something to write through.
class RunWriter {
public:
    explicit RunWriter(const std::string& path)
        : out_(File::OpenWith(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600)) {
        if (!out_.GetFile().Valid())
            throw EWriteError(
                path, LocalReason("#1564.2=kan niet gemaakt worden", out_.GetFile().OpenErrno()));
    }

    void Write(const TKSsortRecord& r) {
        char tie[16];
        tie[0] = '\n';
        char* end = std::to_chars(tie + 1, tie + sizeof tie - 1, r.Tie).ptr;
        *end++ = '\n';
        out_.Write(r.Key);
        out_.Write(std::string_view(tie, static_cast<std::size_t>(end - tie)));
        out_.Write(r.Line);
        out_.Write("\n");
    }
    void Finish() { out_.Close(); }

private:
    BufferedWriter out_;
};

class RunReader {
public:
    explicit RunReader(const std::string& path) : stream_(path, File::OpenMode::Read) {
        if (!stream_.Opened())
            throw EInOutError(path, LocalText("#1563.2=kan niet gelezen worden"));
    }
    // r then shows this reader's texts, until the next call.
    bool Next(TKSsortRecord& r) {
        if (stream_.Eof()) return false;
        stream_.ReadLine(key_);
        stream_.ReadLine(tie_);
        r.Tie = 0;
        std::from_chars(tie_.data(), tie_.data() + tie_.size(), r.Tie);
        stream_.ReadLine(line_);
        r.Key = key_;
        r.Line = line_;
        return true;
    }

private:
    TKSFileStream stream_;
    std::string key_, tie_, line_;
};

// Merges run files in order; on equal (key, tie) the earlier file first,
// which keeps the order added since each file holds later records than the
// one before it.
void MergeRuns(const std::vector<std::string>& paths, const TKSrunFileSort::Sink& sink) {
    std::vector<std::unique_ptr<RunReader>> readers;
    std::vector<TKSsortRecord> heads(paths.size());
    auto later = [&](std::size_t a, std::size_t b) {
        if (RecordBefore(heads[a], heads[b])) return false;
        if (RecordBefore(heads[b], heads[a])) return true;
        return a > b;
    };
    std::priority_queue<std::size_t, std::vector<std::size_t>, decltype(later)> queue(later);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        readers.push_back(std::make_unique<RunReader>(paths[i]));
        if (readers[i]->Next(heads[i])) queue.push(i);
    }
    while (!queue.empty()) {
        const std::size_t i = queue.top();
        queue.pop();
        sink(heads[i]);
        if (readers[i]->Next(heads[i])) queue.push(i);
    }
}

} // namespace

TKSrunFileSort::TKSrunFileSort(RunFileName runFileName, std::size_t bufferBytes, bool keepRunFiles)
    : runFileName_(std::move(runFileName)), bufferLimit_(bufferBytes), keepRunFiles_(keepRunFiles) {
}

TKSrunFileSort::~TKSrunFileSort() {
    if (keepRunFiles_) return;
    for (const std::string& path : allRunFiles_)
        ::unlink(path.c_str());
}

void TKSrunFileSort::Add(std::string_view key, std::string_view line, uint32_t tie) {
    const std::size_t bytes = key.size() + line.size() + sizeof(Entry);
    // The buffer goes out before it would grow past its size, so that the
    // arena is never moved.
    if (!entries_.empty() && BufferBytes() + bytes > bufferLimit_) SpillBuffer();
    if (arena_.capacity() < bufferLimit_) arena_.reserve(bufferLimit_);
    entries_.push_back({KeyPrefix(key), arena_.size(), static_cast<uint32_t>(key.size()),
                        static_cast<uint32_t>(line.size()), tie});
    arena_.append(key).append(line);
    if (BufferBytes() >= bufferLimit_) SpillBuffer();
}

void TKSrunFileSort::ReleaseBuffer() {
    if (runFiles_.empty()) return;
    if (!entries_.empty()) SpillBuffer();
    std::vector<Entry>().swap(entries_);
    std::string().swap(arena_);
}

void TKSrunFileSort::Finish(const Sink& sink) {
    if (runFiles_.empty()) {
        SortBuffer();
        for (const Entry& e : entries_)
            sink(RecordOf(e));
    } else {
        if (!entries_.empty()) SpillBuffer();
        std::vector<Entry>().swap(entries_);
        std::string().swap(arena_);
        while (runFiles_.size() > kMaxOpenRuns)
            MergePass();
        MergeRuns(runFiles_, sink);
    }
    std::vector<Entry>().swap(entries_);
    std::string().swap(arena_);
}

bool TKSrunFileSort::Before(const Entry& a, const Entry& b) const {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    const int c = std::string_view(arena_.data() + a.offset, a.keyLength)
                      .compare(std::string_view(arena_.data() + b.offset, b.keyLength));
    if (c != 0) return c < 0;
    return a.tie < b.tie;
}

TKSsortRecord TKSrunFileSort::RecordOf(const Entry& e) const {
    const char* key = arena_.data() + e.offset;
    return {std::string_view(key, e.keyLength), std::string_view(key + e.keyLength, e.lineLength),
            e.tie};
}

void TKSrunFileSort::SortBuffer() {
    std::stable_sort(entries_.begin(), entries_.end(),
                     [this](const Entry& a, const Entry& b) { return Before(a, b); });
}

std::string TKSrunFileSort::NewRunFile() {
    return runFileName_(++runCounter_);
}

void TKSrunFileSort::SpillBuffer() {
    SortBuffer();
    const std::string path = NewRunFile();
    RunWriter writer(path);
    allRunFiles_.push_back(path); // only a file of its own is ever deleted
    for (const Entry& e : entries_)
        writer.Write(RecordOf(e));
    writer.Finish();
    runFiles_.push_back(path);
    entries_.clear();
    arena_.clear();
}

// Merges the run files in groups of adjacent files, keeping their order.
void TKSrunFileSort::MergePass() {
    std::vector<std::string> merged;
    for (std::size_t from = 0; from < runFiles_.size(); from += kMaxOpenRuns) {
        const std::size_t to = std::min(from + kMaxOpenRuns, runFiles_.size());
        const std::vector<std::string> group(runFiles_.begin() + static_cast<long>(from),
                                             runFiles_.begin() + static_cast<long>(to));
        const std::string path = NewRunFile();
        RunWriter writer(path);
        allRunFiles_.push_back(path);
        MergeRuns(group, [&](const TKSsortRecord& r) { writer.Write(r); });
        writer.Finish();
        merged.push_back(path);
    }
    runFiles_ = std::move(merged);
}

} // namespace ks
