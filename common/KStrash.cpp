#include "common/KStrash.h"

#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSlocal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace ks {

namespace fs = std::filesystem;

namespace {

// More names than any trash will hold of one file: a bound, not a limit.
constexpr int kMaxNameTries = 100000;

[[noreturn]] void Refuse(const std::string& path, const std::string& trash, int error) {
    throw EWriteError(
        path, LocalText("#1567.3=kan niet naar de prullenbak %1 verplaatst worden", {trash}) +
                  ": " + std::strerror(error));
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

// Copies a file or link from one file system to another, flushed to disk
// before the caller deletes the original. errno tells why it failed; no
// partial copy is left.
bool CopyAcross(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::copy(from, to, fs::copy_options::copy_symlinks, ec);
    if (!ec && !fs::is_symlink(fs::symlink_status(to, ec)) && !ec) {
        File copy = File::OpenWith(to, O_RDONLY);
        if (!copy.Valid() || ::fsync(copy.Descriptor()) != 0)
            ec.assign(errno, std::generic_category());
    }
    if (!ec) return true;
    std::error_code ignored;
    fs::remove(to, ignored);
    errno = ec.value() != 0 ? ec.value() : EIO;
    return false;
}

// rename(2), or a copy then a delete between file systems.
bool MoveFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    if (errno != EXDEV) return false;
    if (!CopyAcross(from, to)) return false;
    if (::unlink(from.c_str()) == 0) return true;
    const int error = errno;
    ::unlink(to.c_str());
    errno = error;
    return false;
}

} // namespace

std::string HomeTrashFolder() {
    // A trailing "/" of the variable is not doubled in the paths shown.
    const auto under = [](const char* folder, const char* rest) {
        std::string path = folder;
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        return path + rest;
    };
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') return under(data, "/Trash");
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return under(home, "/.local/share/Trash");
    return "";
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
    if (!MakeFolders(files) || !MakeFolders(info)) Refuse(path, trash, errno);
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec).lexically_normal();
    if (ec) Refuse(path, trash, ec.value());
    const std::string base = absolute.filename().string();
    const std::string record = "[Trash Info]\nPath=" + TrashInfoEscape(absolute.string()) +
                               "\nDeletionDate=" + DeletionDate() + "\n";
    // The record claims the name first (O_EXCL), so that two programs
    // trashing at once never take the same one.
    for (int n = 1; n <= kMaxNameTries; ++n) {
        const std::string name = n == 1 ? base : base + "." + std::to_string(n);
        TKStrashed trashed{path, files + name, info + name + ".trashinfo"};
        File file = File::OpenWith(trashed.InfoPath, O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (!file.Valid()) {
            if (file.OpenErrno() == EEXIST) continue;
            Refuse(path, trash, file.OpenErrno());
        }
        struct stat taken {};
        if (::lstat(trashed.TrashPath.c_str(), &taken) == 0) {
            file.Reset();
            ::unlink(trashed.InfoPath.c_str());
            continue;
        }
        if (!file.TryWrite(record) || ::fsync(file.Descriptor()) != 0 ||
            !MoveFile(path, trashed.TrashPath)) {
            const int error = errno;
            file.Reset();
            ::unlink(trashed.InfoPath.c_str());
            Refuse(path, trash, error);
        }
        return trashed;
    }
    Refuse(path, trash, EEXIST);
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
