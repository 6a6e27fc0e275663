#include "builder/KSwrittenRecord.h"

#include "common/KSfileio.h"
#include "common/KSpaths.h"

#include <algorithm>
#include <unistd.h>

namespace ks {

const char* const kWrittenRecordName = ".kestrin-written";

namespace {

const char* const kVersionLine = "kestrin-written 1";

} // namespace

std::vector<std::string> ReadWrittenRecord(const std::string& outputFolder) {
    const std::string path = WithSlash(outputFolder) + kWrittenRecordName;
    std::string text;
    FileStamp stamp;
    // Only a record the run wrote itself counts, never one a link leads to.
    if (IsLink(path) || ReadWholeFile(path, text, stamp) != ReadOutcome::Read) return {};
    std::vector<std::string> names;
    bool first = true;
    for (std::size_t from = 0; from < text.size();) {
        std::size_t end = text.find('\n', from);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(from, end - from);
        from = end + 1;
        if (first) {
            if (line != kVersionLine) return {};
            first = false;
        } else if (!line.empty()) {
            names.push_back(line);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool WriteWrittenRecord(const std::string& outputFolder, const std::vector<std::string>& names) {
    std::string text = std::string(kVersionLine) + "\n";
    for (const std::string& name : names)
        // A name is one line; a name that is not cannot be recorded, and an
        // unrecorded file is only ever moved to the trash.
        if (name.find_first_of("\r\n") == std::string::npos) text += name + "\n";
    const std::string path = WithSlash(outputFolder) + kWrittenRecordName;
    // Written in the output folder itself, never through a link planted there.
    if (IsLink(path)) ::unlink(path.c_str());
    return WriteFileAtomically(path, {text}, 0644);
}

} // namespace ks
