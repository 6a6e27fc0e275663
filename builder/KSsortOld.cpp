#include "builder/KSsortOld.h"

#include "LINE_INPUT/KSFileStream.h"
#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSlocal.h"
#include "index/KShtxData.h"
#include "index/KShtxRegel.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <queue>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace ks {

namespace {

constexpr std::size_t kDefaultBufferLimit = 16u << 20; // bytes of lines sorted in memory
constexpr std::size_t kMaxOpenRuns = 256;              // run files merged at once
std::size_t gBufferLimit = kDefaultBufferLimit;

struct SortRecord {
    std::string key;
    std::string line;
    uint32_t run = 0; // the ascending run the line belongs to
};

// Order of the copy: key ascending; on equal keys the later run first; within
// a run, input order (kept by the stable sort and by the merge's tie rule).
bool RecordBefore(const SortRecord& a, const SortRecord& b) {
    const int c = a.key.compare(b.key);
    if (c != 0) return c < 0;
    return a.run > b.run;
}

// Assigns each line to the first run whose last key is not above its key.
// The last keys fall strictly from run to run, so a binary search finds it.
class RunAssigner {
public:
    RunAssigner() { lastKeys_.emplace_back(); } // run 1, empty last key

    uint32_t Assign(const std::string& key) {
        auto it = std::partition_point(lastKeys_.begin(), lastKeys_.end(),
                                       [&](const std::string& last) { return last > key; });
        if (it == lastKeys_.end()) {
            lastKeys_.push_back(key);
            return static_cast<uint32_t>(lastKeys_.size());
        }
        *it = key;
        return static_cast<uint32_t>(it - lastKeys_.begin()) + 1;
    }

private:
    std::vector<std::string> lastKeys_;
};

// A run file holds three lines per record: key, run number, index line. It
// is always a new file of this run's own: an existing file or a link at its
// name is an error, never something to write through.
class RunWriter {
public:
    explicit RunWriter(const std::string& path)
        : out_(File::OpenWith(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600)) {
        if (!out_.GetFile().Valid())
            throw EWriteError(
                path, LocalReason("#1564.2=kan niet gemaakt worden", out_.GetFile().OpenErrno()));
    }

    void Write(const SortRecord& r) {
        out_.Write(r.key);
        out_.Write("\n" + std::to_string(r.run) + "\n");
        out_.Write(r.line);
        out_.Write("\n");
    }
    void Finish() { out_.Close(); }

private:
    BufferedWriter out_;
};

class RunReader {
public:
    explicit RunReader(const std::string& path) : stream_(path, File::OpenMode::Read) {}
    bool Next(SortRecord& r) {
        if (stream_.Eof()) return false;
        stream_.ReadLine(r.key);
        std::string run;
        stream_.ReadLine(run);
        r.run = static_cast<uint32_t>(std::strtoul(run.c_str(), nullptr, 10));
        stream_.ReadLine(r.line);
        return true;
    }

private:
    TKSFileStream stream_;
};

// Where records go: a run file or the copy itself.
class RecordSink {
public:
    virtual ~RecordSink() = default;
    virtual void Put(const SortRecord& r) = 0;
};

class CopySink : public RecordSink {
public:
    explicit CopySink(BufferedWriter& copy) : copy_(copy) {}
    void Put(const SortRecord& r) override {
        copy_.Write(r.line);
        copy_.Write("\r\n");
    }

private:
    BufferedWriter& copy_;
};

class RunSink : public RecordSink {
public:
    explicit RunSink(RunWriter& writer) : writer_(writer) {}
    void Put(const SortRecord& r) override { writer_.Write(r); }

private:
    RunWriter& writer_;
};

// Merges run files in order; on equal (key, run) the earlier file first,
// which keeps the input order since each file holds later lines than the one
// before it.
void MergeRuns(const std::vector<std::string>& paths, RecordSink& sink) {
    std::vector<std::unique_ptr<RunReader>> readers;
    std::vector<SortRecord> heads(paths.size());
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
        sink.Put(heads[i]);
        if (readers[i]->Next(heads[i])) queue.push(i);
    }
}

class SortJob {
public:
    SortJob(const std::string& runPrefix, bool keepRunFiles)
        : runPrefix_(runPrefix), keepRunFiles_(keepRunFiles) {}
    ~SortJob() { RemoveRunFiles(); }
    SortJob(const SortJob&) = delete;
    SortJob& operator=(const SortJob&) = delete;

    void Add(const std::string& line) {
        TKShtxRegel regel;
        regel.ParseIndexLine(line);
        SortRecord record;
        record.key = regel.SortKey();
        record.run = assigner_.Assign(record.key);
        bufferBytes_ += record.key.size() + line.size() + sizeof(SortRecord);
        record.line = line;
        buffer_.push_back(std::move(record));
        if (bufferBytes_ >= gBufferLimit) SpillBuffer();
    }

    void Finish(BufferedWriter& copy) {
        CopySink sink(copy);
        if (runFiles_.empty()) {
            SortBuffer();
            for (const SortRecord& r : buffer_)
                sink.Put(r);
            return;
        }
        if (!buffer_.empty()) SpillBuffer();
        while (runFiles_.size() > kMaxOpenRuns)
            MergePass();
        MergeRuns(runFiles_, sink);
    }

private:
    void SortBuffer() { std::stable_sort(buffer_.begin(), buffer_.end(), RecordBefore); }

    std::string NextRunPath() { return runPrefix_ + "-" + std::to_string(++runCounter_) + ".tmp"; }

    void SpillBuffer() {
        SortBuffer();
        const std::string path = NextRunPath();
        RunWriter writer(path);
        allRunFiles_.push_back(path);
        for (const SortRecord& r : buffer_)
            writer.Write(r);
        writer.Finish();
        runFiles_.push_back(path);
        buffer_.clear();
        bufferBytes_ = 0;
    }

    // Merges the run files in groups of adjacent files, keeping their order.
    void MergePass() {
        std::vector<std::string> merged;
        for (std::size_t from = 0; from < runFiles_.size(); from += kMaxOpenRuns) {
            const std::size_t to = std::min(from + kMaxOpenRuns, runFiles_.size());
            const std::vector<std::string> group(runFiles_.begin() + static_cast<long>(from),
                                                 runFiles_.begin() + static_cast<long>(to));
            const std::string path = NextRunPath();
            RunWriter writer(path);
            allRunFiles_.push_back(path);
            RunSink sink(writer);
            MergeRuns(group, sink);
            writer.Finish();
            merged.push_back(path);
        }
        runFiles_ = std::move(merged);
    }

    void RemoveRunFiles() {
        if (keepRunFiles_) return;
        for (const std::string& path : allRunFiles_)
            ::unlink(path.c_str());
    }

    std::string runPrefix_;
    bool keepRunFiles_;
    RunAssigner assigner_;
    std::vector<SortRecord> buffer_;
    std::size_t bufferBytes_ = 0;
    std::vector<std::string> runFiles_;    // to be merged
    std::vector<std::string> allRunFiles_; // every file made, for clean-up
    int runCounter_ = 0;
};

// Why a file that the line stream could not open cannot be read.
std::string OpenFailure(const std::string& path) {
    const File probe = File::OpenWith(path, O_RDONLY | O_NONBLOCK);
    return probe.Valid() ? LocalText("#1563.2=kan niet gelezen worden") : probe.OpenError();
}

} // namespace

void SetSortBufferLimitForTests(std::size_t bytes) {
    gBufferLimit = bytes == 0 ? kDefaultBufferLimit : bytes;
}

void SortOldIndex(const std::string& documentPath, File& copy, const std::string& runPrefix,
                  bool keepRunFiles) {
    BufferedWriter out(std::move(copy));
    SortOldIndex(documentPath, out, runPrefix, keepRunFiles);
    copy = out.TakeFile();
}

void SortOldIndex(const std::string& documentPath, BufferedWriter& out,
                  const std::string& runPrefix, bool keepRunFiles) {
    TKSFileStream document(documentPath, File::OpenMode::Read);
    if (!document.Opened()) throw EInOutError(documentPath, OpenFailure(documentPath));
    std::string line;
    bool inIndex = false;
    while (!inIndex && !document.Eof()) {
        document.ReadLine(line);
        out.Write(line);
        out.Write("\r\n");
        inIndex = TKShtxData::IsIndexDataLine(line);
    }
    SortJob job(runPrefix, keepRunFiles);
    while (inIndex && !document.Eof()) {
        document.ReadLine(line);
        if (line.empty()) break; // the index lines end at the first empty line
        job.Add(line);
    }
    job.Finish(out);
}

} // namespace ks
