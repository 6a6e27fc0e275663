#include "builder/run/KSdocumentStore.h"

#include "builder/run/KSrunSetup.h"
#include "common/KScommon.h"
#include "common/KSerrors.h"
#include "common/KSfiles.h"
#include "common/KSini.h"
#include "common/KSpaths.h"
#include "common/KStextutil.h"
#include "fetch/KSfetch.h"
#include "import/KSimport.h"
#include "index/KShtxData.h"

#include <unordered_map>
#include <utility>
#include <vector>

namespace ks {

namespace {

constexpr const char* kCurrentValue = "current";

std::string WebAddressValue(std::size_t n) {
    return "url" + std::to_string(n);
}

// What the list holds a document as: its full path, or the address it is
// fetched from.
std::string ListedName(const TKSdocumentList& documents, std::size_t i) {
    return documents.IsAddress(i) ? documents.GivenPath(i) : documents.Document(i).FileName;
}

// The list's documents by full path: a search compares every document it
// finds with them, so a lookup must not cost a pass over the list.
std::unordered_map<std::string, int> ListedPaths(const TKSdocumentList& documents) {
    std::unordered_map<std::string, int> listed;
    for (std::size_t i = 0; i < documents.Count(); ++i)
        listed.emplace(ListedName(documents, i), static_cast<int>(i));
    return listed;
}

int Append(TKSdocumentList& documents, const std::string& path, bool selected) {
    documents.Add(path, selected);
    const int index = static_cast<int>(documents.Count()) - 1;
    if (const TKScommon* env = CurrentEnvironment(); env && env->DebugSwitches.IsSet(0))
        env->WriteLog("\"" + path + "\" added to HTX-list as #" + std::to_string(index));
    return index;
}

// Adds path unless it is listed; its index either way. listed follows.
int AddUnlisted(TKSdocumentList& documents, std::unordered_map<std::string, int>& listed,
                const std::string& path, bool selected) {
    const std::string absolute = IsFetchAddress(path) ? path : AbsolutePath(path);
    if (const auto found = listed.find(absolute); found != listed.end()) return found->second;
    const int index = Append(documents, path, selected);
    listed.emplace(absolute, index);
    return index;
}

// Passes every document found on to the caller's listener once it is listed.
class AddingListener : public TKSdocumentSearchListener {
public:
    AddingListener(TKSdocumentList& documents, TKSdocumentSearchListener& listener)
        : documents_(documents), listener_(listener), listed_(ListedPaths(documents)) {}

    bool DocumentFound(const std::string& path) override {
        try {
            LastFound = AddUnlisted(documents_, listed_, path, true);
        } catch (const EKSError&) {
            // a header that cannot be read: passed over
        }
        return listener_.DocumentFound(path);
    }
    bool NameListFound(const std::string& path) override {
        if (IsNameList(path) && !ImportIsCurrent(path)) NameLists.push_back(path);
        return true;
    }
    bool KeepSearching() override { return listener_.KeepSearching(); }

    int LastFound = -1;
    std::vector<std::string> NameLists;

private:
    TKSdocumentList& documents_;
    TKSdocumentSearchListener& listener_;
    std::unordered_map<std::string, int> listed_;
};

} // namespace

int AddIndexDocument(TKSdocumentList& documents, const std::string& path, std::string* unreadable) {
    if (!CheckFileKind(path, "htx", 1, 1, unreadable)) return -1;
    std::unordered_map<std::string, int> listed = ListedPaths(documents);
    return AddUnlisted(documents, listed, path, true);
}

int AddAddressDocument(TKSdocumentList& documents, const std::string& typed,
                       const std::string& tempFolder, std::string* problem) {
    const std::string address = Trim(typed);
    if (std::string reason = AddressProblem(address); !reason.empty()) {
        if (problem != nullptr) *problem = std::move(reason);
        return -1;
    }
    if (const int listed = documents.Find(address); listed >= 0) return listed;
    const int index = Append(documents, address, true);
    documents.Fetch(static_cast<std::size_t>(index), tempFolder);
    return index;
}

int RestoreDocuments(const std::string& listKey, TKSdocumentList& documents) {
    TKSreg list(listKey);
    const std::string current = list.ReadString(kCurrentValue);
    std::unordered_map<std::string, int> listed = ListedPaths(documents);
    int remembered = -1;
    for (int n = 0;; ++n) {
        std::string entry = list.ReadString(std::to_string(n));
        if (entry.empty()) break;
        std::string flag;
        CutField(entry, ",", '"', flag, false);
        try {
            const bool address = IsFetchAddress(entry);
            if ((!address && !CheckFileKind(entry, "htx", 1, 1)) ||
                listed.count(address ? entry : AbsolutePath(entry)) > 0)
                continue;
            const int index = AddUnlisted(documents, listed, entry, flag == "1");
            documents.SetWebAddress(static_cast<std::size_t>(index),
                                    list.ReadString(WebAddressValue(static_cast<std::size_t>(n))));
        } catch (const EKSError&) {
            continue;
        }
        if (current == std::to_string(n)) remembered = static_cast<int>(documents.Count()) - 1;
    }
    list.Close();
    return remembered;
}

void StoreDocuments(const TKSdocumentList& documents, int current, const std::string& wizardKey,
                    const std::string& name) {
    {
        TKSreg wizard(wizardKey);
        wizard.DeleteKey(name);
        wizard.CreateKey(name);
    }
    TKSreg list(wizardKey + name);
    for (std::size_t n = 0; n < documents.Count(); ++n) {
        if (static_cast<int>(n) == current) list.WriteString(kCurrentValue, std::to_string(n));
        list.WriteString(std::to_string(n), std::string(documents.Selected(n) ? "1," : "0,") +
                                                ListedName(documents, n));
        if (!documents.WebAddress(n).empty())
            list.WriteString(WebAddressValue(n), documents.WebAddress(n));
    }
    list.Close();
}

TKSfolderDocuments AddFolderDocuments(const std::string& folder, TKSdocumentList& documents,
                                      TKSdocumentSearchListener& listener) {
    AddingListener adding(documents, listener);
    TKSfolderDocuments result;
    result.Search = SearchIndexDocuments(folder, adding);
    result.LastFound = adding.LastFound;
    result.NameLists = std::move(adding.NameLists);
    return result;
}

} // namespace ks
