#include "common/KStrash.h"

#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSlocal.h"
#include "common/KSlockedFolder.h"
#include "common/KSpaths.h"
#include "common/KSutf8.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace ks {

namespace fs = std::filesystem;

namespace {

// More names than any trash will hold of one file: a bound, not a limit.
constexpr int kMaxNameTries = 100000;
const char* const kInfoSuffix = ".trashinfo";
const char* const kPendingPrefix = ".kestrin-pending-";
const char* const kRecordName = "record";
const char* const kCopyName = "copy";
const char* const kCannotTrash = "#1567.3=kan niet naar de prullenbak %1 verplaatst worden";

[[noreturn]] void Refuse(const std::string& path, const std::string& trash, int error) {
    throw EWriteError(path, LocalText(kCannotTrash, {trash}) + ": " + std::strerror(error));
}

// mkdir -p, every folder made private to the user as the trash asks.
bool MakeFolders(const std::string& path) {
    std::string sofar;
    for (std::size_t from = 0; from <= path.size();) {
        std::size_t to = path.find('/', from);
        if (to == std::string::npos) to = path.size();
        sofar = path.substr(0, to);
        if (!sofar.empty() && ::mkdir(sofar.c_str(), 0700) != 0 && errno != EEXIST) return false;
        from = to + 1;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

std::string DeletionDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// Copies the regular file or link from (whose lstat is st) to the new name
// to on another file system, with its mode and its access and modification
// times, flushed to disk. errno tells why it failed; what was copied then
// stays at to for the caller to remove.
bool CopyAcross(const std::string& from, const std::string& to, const struct stat& st) {
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (S_ISLNK(st.st_mode)) {
        std::string target(static_cast<std::size_t>(st.st_size) + 1, '\0');
        const ssize_t length = ::readlink(from.c_str(), target.data(), target.size());
        if (length < 0) return false;
        target.resize(static_cast<std::size_t>(length));
        return ::symlink(target.c_str(), to.c_str()) == 0 &&
               ::utimensat(AT_FDCWD, to.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
    }
    if (!S_ISREG(st.st_mode)) {
        errno = ENOTSUP;
        return false;
    }
    File source = File::OpenWith(from, O_RDONLY | O_NOFOLLOW | O_NOCTTY);
    if (!source.Valid()) return false;
    File copy = File::OpenWith(to, O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (!copy.Valid()) return false;
    std::string block(64 * 1024, '\0');
    for (;;) {
        const ssize_t n = ::read(source.Descriptor(), block.data(), block.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        if (!copy.TryWrite(std::string_view(block.data(), static_cast<std::size_t>(n))))
            return false;
    }
    if (::fchmod(copy.Descriptor(), st.st_mode & 07777) != 0 ||
        ::futimens(copy.Descriptor(), times) != 0 || ::fsync(copy.Descriptor()) != 0)
        return false;
    const int fd = copy.Release();
    return ::close(fd) == 0;
}

// The name a file of the name base gets in the trash on the nth try: base,
// then "base.2", "base.3" ...; cut (keeping a short extension and whole UTF-8
// letters) where NAME.trashinfo would not fit in nameMax bytes.
std::string TrashName(const std::string& base, int n, std::size_t nameMax) {
    const std::string suffix = n == 1 ? "" : "." + std::to_string(n);
    const std::size_t room = nameMax - suffix.size() - std::strlen(kInfoSuffix);
    if (base.size() <= room) return base + suffix;
    const std::size_t dot = base.rfind('.');
    const std::string extension =
        dot != std::string::npos && dot > 0 && base.size() - dot <= 16 ? base.substr(dot) : "";
    std::size_t cut = room - extension.size();
    while (cut > 0 && IsUtf8Continuation(base[cut]))
        --cut;
    return base.substr(0, cut) + extension + suffix;
}

std::size_t NameMax(const std::string& folder) {
    const long max = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return max >= 64 ? static_cast<std::size_t>(max) : 255;
}

// A private folder of one move inside the trash, where no file manager
// looks: it holds the trash record ("record") and a copy from another file
// system ("copy") until the copy is whole. Locked while the move lives, so
// that a later run knows one left by a killed run and removes it, with the
// record it may have left in info/.
class TKSpendingMove {
public:
    TKSpendingMove(const std::string& path, const std::string& trash) {
        try {
            folder_ = MakeLockedFolder(trash, kPendingPrefix, lock_);
        } catch (const EKSError& e) {
            throw EWriteError(path, LocalText(kCannotTrash, {trash}) + ": " + e.Reason());
        }
    }
    ~TKSpendingMove() {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    TKSpendingMove(const TKSpendingMove&) = delete;
    TKSpendingMove& operator=(const TKSpendingMove&) = delete;

    std::string Record() const { return folder_ + kRecordName; }
    std::string Copy() const { return folder_ + kCopyName; }

private:
    File lock_;
    std::string folder_;
};

// Writes the trash record into the pending move's folder, flushed to disk.
bool WriteRecord(const std::string& path, const std::string& text) {
    File file = File::OpenWith(path, O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (!file.Valid() || !file.TryWrite(text) || ::fsync(file.Descriptor()) != 0) return false;
    const int fd = file.Release();
    return ::close(fd) == 0;
}

// Claims infoPath for the record: a second name of the record's file, made
// only when infoPath is free, so that a later run can tell it for its own by
// the file it names. Where the file system has no such names the record is
// written there directly (claimed all the same by O_EXCL).
bool ClaimInfo(const std::string& record, const std::string& text, const std::string& infoPath) {
    if (::link(record.c_str(), infoPath.c_str()) == 0) return true;
    if (errno != EPERM && errno != EXDEV && errno != ENOTSUP && errno != EMLINK) return false;
    if (WriteRecord(infoPath, text)) return true;
    const int error = errno;
    if (error != EEXIST) ::unlink(infoPath.c_str());
    errno = error;
    return false;
}

// Puts the file at path (whose lstat is st) at target in the trash: renamed
// within a file system, else by way of the pending copy (made now unless
// copied), which is whole before it takes the target's name.
bool PutInTrash(const std::string& path, const struct stat& st, const TKSpendingMove& pending,
                bool copied, const std::string& target) {
    if (!copied) {
        if (::rename(path.c_str(), target.c_str()) == 0) return true;
        if (errno != EXDEV || !CopyAcross(path, pending.Copy(), st)) return false;
    }
    if (::rename(pending.Copy().c_str(), target.c_str()) != 0) return false;
    if (::unlink(path.c_str()) == 0) return true;
    const int error = errno;
    ::unlink(target.c_str());
    errno = error;
    return false;
}

// rename(2), or a copy then a delete between file systems.
bool MoveFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    struct stat st {};
    if (errno != EXDEV || ::lstat(from.c_str(), &st) != 0) return false;
    if (!CopyAcross(from, to, st)) {
        const int error = errno;
        if (error != EEXIST) ::unlink(to.c_str());
        errno = error;
        return false;
    }
    if (::unlink(from.c_str()) == 0) return true;
    const int error = errno;
    ::unlink(to.c_str());
    errno = error;
    return false;
}

// In the folder of a move that a killed run left: the trash record it
// claimed in info/, when its file never reached files/.
void DropUnfinishedRecord(const std::string& trash, const std::string& folder) {
    struct stat record {};
    if (::lstat((folder + kRecordName).c_str(), &record) != 0 || record.st_nlink < 2) return;
    std::error_code ec;
    for (fs::directory_iterator it(trash + "/info", ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const std::string info = it->path().string();
        const std::string name = it->path().filename().string();
        struct stat st {};
        if (!name.ends_with(kInfoSuffix) || ::lstat(info.c_str(), &st) != 0 ||
            st.st_ino != record.st_ino || st.st_dev != record.st_dev)
            continue;
        struct stat file {};
        const std::string stored = name.substr(0, name.size() - std::strlen(kInfoSuffix));
        if (::lstat((trash + "/files/" + stored).c_str(), &file) != 0 && errno == ENOENT)
            ::unlink(info.c_str());
    }
}

} // namespace

std::string HomeTrashFolder() {
    const std::string data = UserBaseFolder("XDG_DATA_HOME", ".local/share");
    return data.empty() ? "" : data + "/Trash";
}

std::string TrashInfoEscape(const std::string& absolutePath) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string escaped;
    for (const char c : absolutePath) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            (byte >= '0' && byte <= '9') || std::strchr("/-._~", byte) != nullptr) {
            escaped += c;
        } else {
            escaped += '%';
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 15];
        }
    }
    return escaped;
}

TKStrashed MoveToTrash(const std::string& path, const std::string& trash) {
    if (trash.empty())
        throw EWriteError(path,
                          LocalText("#1567.4=kan niet naar de prullenbak: geen thuismap bekend"));
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) Refuse(path, trash, errno);
    const std::string files = trash + "/files/";
    const std::string info = trash + "/info/";
    struct stat filesSt {};
    if (!MakeFolders(files) || !MakeFolders(info) || ::stat(files.c_str(), &filesSt) != 0)
        Refuse(path, trash, errno);
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec).lexically_normal();
    if (ec) Refuse(path, trash, ec.value());
    const std::string base = absolute.filename().string();
    const std::string record = "[Trash Info]\nPath=" + TrashInfoEscape(absolute.string()) +
                               "\nDeletionDate=" + DeletionDate() + "\n";
    const TKSpendingMove pending(path, trash);
    // From another file system the copy is made whole first, so that the
    // trash never names a file that is not all there.
    const bool copied = st.st_dev != filesSt.st_dev;
    if (!WriteRecord(pending.Record(), record) || (copied && !CopyAcross(path, pending.Copy(), st)))
        Refuse(path, trash, errno);
    const std::size_t nameMax = NameMax(info);
    // The record claims the name first, so that two programs trashing at
    // once never take the same one.
    for (int n = 1; n <= kMaxNameTries; ++n) {
        const std::string name = TrashName(base, n, nameMax);
        TKStrashed trashed{path, files + name, info + name + kInfoSuffix};
        struct stat taken {};
        if (::lstat(trashed.TrashPath.c_str(), &taken) == 0) continue;
        if (!ClaimInfo(pending.Record(), record, trashed.InfoPath)) {
            if (errno == EEXIST) continue;
            Refuse(path, trash, errno);
        }
        if (::lstat(trashed.TrashPath.c_str(), &taken) == 0) {
            ::unlink(trashed.InfoPath.c_str());
            continue;
        }
        if (!PutInTrash(path, st, pending, copied, trashed.TrashPath)) {
            const int error = errno;
            ::unlink(trashed.InfoPath.c_str());
            Refuse(path, trash, error);
        }
        return trashed;
    }
    Refuse(path, trash, EEXIST);
}

int RemoveTrashLeftovers(const std::string& trash) {
    if (trash.empty()) return 0;
    return RemoveAbandonedFolders(trash, kPendingPrefix, [&trash](const std::string& folder) {
        DropUnfinishedRecord(trash, folder);
    });
}

bool PutBackFromTrash(const TKStrashed& trashed) {
    struct stat st {};
    // Never over a file that took its place meanwhile.
    if (::lstat(trashed.Original.c_str(), &st) == 0) return false;
    if (!MoveFile(trashed.TrashPath, trashed.Original)) return false;
    ::unlink(trashed.InfoPath.c_str());
    return true;
}

} // namespace ks
