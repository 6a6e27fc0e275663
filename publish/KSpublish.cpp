#include "publish/KSpublish.h"

#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSlocal.h"
#include "publish/KSfolderTarget.h"
#include "publish/KShostTarget.h"
#include "publish/KSpublishDestination.h"
#include "publish/KSpublishManifest.h"
#include "publish/KSsiteFiles.h"

#include <fcntl.h>
#include <map>
#include <memory>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>

namespace ks {

namespace {

class Publisher {
public:
    Publisher(const TKSpublishRequest& request, const TKSpublishDestination& destination,
              TKSpublishTarget& target)
        : request_(request), target_(target), manifest_(request.OutputFolder, destination.Given) {}

    TKSpublishResult Run(const std::function<void(const TKSpublishProgress&)>& progress) {
        const TKSsiteListing site = ListSiteFiles(request_.OutputFolder);
        result_.Skipped = site.Skipped;
        for (const TKSsiteFile& file : site.Files)
            Plan(file);
        for (const auto& [path, sent] : manifest_.Files())
            if (!local_.contains(path)) PlanRemoval(path, sent);
        if (request_.DryRun) return result_;
        SendAll(progress);
        for (const std::string& path : result_.Remove)
            if (!removedFirst_.contains(path)) Remove(path);
        manifest_.Commit();
        return result_;
    }

private:
    void Plan(const TKSsiteFile& file) {
        const TKSsentFile now = ReadThrough(request_.OutputFolder + "/" + file.Path);
        local_[file.Path] = now;
        const auto sent = manifest_.Files().find(file.Path);
        const bool there = sent != manifest_.Files().end() && sent->second == now &&
                           target_.StillThere(file.Path, now.Size);
        if (there) {
            ++result_.Unchanged;
            return;
        }
        result_.Send.push_back(file.Path);
        result_.Bytes += now.Size;
    }

    // Only a file still as this program sent it goes; one changed since is
    // the user's now and stays.
    void PlanRemoval(const std::string& path, const TKSsentFile& sent) {
        const long long size = target_.Size(path);
        if (size < 0) {
            forgotten_.push_back(path);
            return;
        }
        if (static_cast<std::uint64_t>(size) == sent.Size && target_.Fetch(path) == sent)
            result_.Remove.push_back(path);
        else
            result_.Kept.push_back(path);
    }

    void SendAll(const std::function<void(const TKSpublishProgress&)>& progress) {
        for (const std::string& path : forgotten_)
            manifest_.Removed(path);
        for (const std::string& path : result_.Kept)
            manifest_.Removed(path);
        RemoveWhatIsInTheWay();
        TKSpublishProgress state{0, result_.Send.size(), 0};
        for (const std::string& path : result_.Send) {
            CleanFolderOf(path);
            // The output folder is locked against runs of the build: what
            // the plan read is what went, unless something else wrote there.
            const std::string source = request_.OutputFolder + "/" + path;
            const TKSsentFile& planned = local_.at(path);
            if (target_.Send(source, path) != planned.Size)
                throw EInOutError(source, LocalText("#1611.54=veranderde terwijl het verzonden "
                                                    "werd; publiceer opnieuw"));
            manifest_.Sent(path, planned);
            ++state.Done;
            state.Bytes += planned.Size;
            if (progress) progress(state);
        }
        result_.Bytes = state.Bytes;
    }

    // A page that became a folder, or a folder that became a page: the old
    // files go first, so that the new ones find their place free.
    void RemoveWhatIsInTheWay() {
        const std::set<std::string> removing(result_.Remove.begin(), result_.Remove.end());
        for (const std::string& path : result_.Send) {
            for (std::size_t slash = path.find('/'); slash != std::string::npos;
                 slash = path.find('/', slash + 1))
                if (removing.contains(path.substr(0, slash))) RemoveFirst(path.substr(0, slash));
            for (auto it = removing.lower_bound(path + "/");
                 it != removing.end() && it->starts_with(path + "/"); ++it)
                RemoveFirst(*it);
        }
    }

    void RemoveFirst(const std::string& path) {
        if (removedFirst_.insert(path).second) Remove(path);
    }

    // Once per folder sent into: what a killed publish was writing there.
    void CleanFolderOf(const std::string& path) {
        const std::size_t slash = path.rfind('/');
        const std::string relative = slash == std::string::npos ? "" : path.substr(0, slash);
        if (!cleaned_.insert(relative).second) return;
        target_.Prepare(relative, [this, &relative](const std::string& name) {
            return local_.contains(relative.empty() ? name : relative + "/" + name);
        });
    }

    void Remove(const std::string& path) {
        target_.Remove(path);
        manifest_.Removed(path);
    }

    const TKSpublishRequest& request_;
    TKSpublishTarget& target_;
    TKSpublishManifest manifest_;
    TKSpublishResult result_;
    std::vector<std::string> forgotten_;       // in the manifest, gone from the destination
    std::map<std::string, TKSsentFile> local_; // the site's files as they are now
    std::set<std::string> cleaned_;            // folders cleared of abandoned copies
    std::set<std::string> removedFirst_;       // removed before the sending
};

// A run of the build writes into the folder under this lock: a publish then
// would send a half-cleared site.
File LockOutputFolder(const std::string& folder) {
    File lock = File::OpenWith(folder, O_RDONLY | O_DIRECTORY);
    if (!lock.Valid())
        throw EInOutError(folder, LocalReason("#1611.4=kan niet gelezen worden", lock.OpenErrno()));
    if (::flock(lock.Descriptor(), LOCK_EX | LOCK_NB) != 0)
        throw EKSError(folder, LocalText("#1611.11=er wordt al in deze map geschreven of eruit "
                                         "gepubliceerd"));
    return lock;
}

} // namespace

TKSpublishResult Publish(const TKSpublishRequest& request,
                         const std::function<void(const TKSpublishProgress&)>& progress) {
    const TKSpublishDestination destination = ParseDestination(request.Destination);
    struct stat info {};
    if (::stat(request.OutputFolder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        throw EInOutError(request.OutputFolder, LocalText("#1611.12=is geen map"));
    const File lock = LockOutputFolder(request.OutputFolder);
    const std::unique_ptr<TKSpublishTarget> target =
        destination.Kind == TKSdestinationKind::Folder
            ? OpenFolderTarget(request.OutputFolder, destination.Folder, request.DryRun)
            : OpenHostTarget(destination);
    Publisher publisher(request, destination, *target);
    return publisher.Run(progress);
}

} // namespace ks
