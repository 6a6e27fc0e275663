#include "builder/combine/KSsortOld.h"

#include "LINE_INPUT/KSFileStream.h"
#include "LINE_INPUT/KSrunFileSort.h"
#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSlocal.h"
#include "index/KShtxData.h"
#include "index/KShtxRegel.h"

#include <algorithm>
#include <cstdint>
#include <fcntl.h>
#include <limits>
#include <vector>

namespace ks {

namespace {

constexpr std::size_t kDefaultBufferLimit = 16u << 20; // bytes of lines sorted in memory
std::size_t gBufferLimit = kDefaultBufferLimit;

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

// Order of the copy: key ascending; on equal keys the later ascending run
// first (the lower tie); within a run, input order.
class SortJob {
public:
    SortJob(const std::string& runPrefix, bool keepRunFiles, TKSdocumentCharset charset)
        : charset_(charset),
          sort_([runPrefix](int n) { return runPrefix + "-" + std::to_string(n) + ".tmp"; },
                gBufferLimit, keepRunFiles) {}

    // The key is that of the line as the merge reads it (UTF-8); the copy
    // keeps the document's own bytes.
    void Add(const std::string& line) {
        TKShtxRegel regel;
        DocumentTextToUtf8(line, charset_, utf8_);
        regel.ParseIndexLine(utf8_);
        regel.SortKeyInto(key_);
        sort_.Add(key_, line, std::numeric_limits<uint32_t>::max() - assigner_.Assign(key_));
    }

    void Finish(BufferedWriter& copy) {
        sort_.Finish([&](const TKSsortRecord& r) {
            copy.Write(r.Line);
            copy.Write("\r\n");
        });
    }

private:
    TKSdocumentCharset charset_;
    std::string utf8_;
    RunAssigner assigner_;
    TKSrunFileSort sort_;
    std::string key_;
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
    SortJob job(runPrefix, keepRunFiles, TKShtxData(documentPath).Charset);
    while (inIndex && !document.Eof()) {
        document.ReadLine(line);
        if (line.empty()) break; // the index lines end at the first empty line
        job.Add(line);
    }
    job.Finish(out);
}

} // namespace ks
