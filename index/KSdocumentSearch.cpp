#include "index/KSdocumentSearch.h"

#include "common/KSfiles.h"
#include "common/KSpaths.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace ks {

namespace {

constexpr const char* kHtxMask = "*.htx";
// The name lists of other programs, in the order a folder's are reported.
constexpr const char* kNameListMasks[] = {"gendex.txt", "*.ged"};

// The subfolders of folder that a search enters: no hidden ones and no
// symbolic links, in byte order.
std::vector<std::string> SearchableSubfolders(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code kindEc;
        if (name.empty() || name[0] == '.' || it->is_symlink(kindEc) || !it->is_directory(kindEc))
            continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class FolderSearch {
public:
    explicit FolderSearch(TKSdocumentSearchListener& listener) : listener_(listener) {}

    // false once the listener has stopped the search.
    bool Search(const std::string& folder) {
        const std::string base = WithSlash(folder);
        if (!listener_.KeepSearching()) return Stop();
        for (const std::string& name : FindFiles(base, kHtxMask)) {
            if (!listener_.KeepSearching()) return Stop();
            const std::string path = base + name;
            if (!CheckFileKind(path, "htx", 1, 1)) continue;
            ++result_.Found;
            if (!listener_.DocumentFound(path)) return Stop();
        }
        for (const char* mask : kNameListMasks)
            for (const std::string& name : FindFiles(base, mask)) {
                if (!listener_.KeepSearching()) return Stop();
                if (!listener_.NameListFound(base + name)) return Stop();
            }
        for (const std::string& name : SearchableSubfolders(base))
            if (!Search(base + name)) return false;
        return true;
    }

    const TKSdocumentSearchResult& Result() const { return result_; }

private:
    bool Stop() {
        result_.Stopped = true;
        return false;
    }

    TKSdocumentSearchListener& listener_;
    TKSdocumentSearchResult result_;
};

class FunctionListener : public TKSdocumentSearchListener {
public:
    explicit FunctionListener(const std::function<bool(const std::string&)>& found)
        : found_(found) {}
    bool DocumentFound(const std::string& path) override { return found_(path); }

private:
    const std::function<bool(const std::string&)>& found_;
};

} // namespace

TKSdocumentSearchResult SearchIndexDocuments(const std::string& folder,
                                             TKSdocumentSearchListener& listener) {
    FolderSearch search(listener);
    search.Search(folder);
    return search.Result();
}

TKSdocumentSearchResult SearchIndexDocuments(const std::string& folder,
                                             const std::function<bool(const std::string&)>& found) {
    FunctionListener listener(found);
    return SearchIndexDocuments(folder, listener);
}

} // namespace ks
