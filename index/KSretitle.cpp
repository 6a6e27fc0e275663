#include "index/KSretitle.h"

#include "common/KScodepage.h"
#include "common/KSini.h"
#include "common/KSinidoc.h"
#include "common/KSpaths.h"
#include "index/KShtxData.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace ks {

namespace {

constexpr const char* kSection = "metadata";
constexpr const char* kKey = "title";

std::string ReasonOf(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return "permission denied";
    case EROFS:
        return "the file system is read-only";
    case ENOSPC:
        return "the disk is full";
    case ENOENT:
        return "the file no longer exists";
    default:
        return "the file could not be replaced";
    }
}

// Why the document cannot be rewritten, or "" when nothing stands in the way.
std::string Obstacle(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return ReasonOf(errno);
    if (!S_ISREG(info.st_mode)) return "it is no regular file";
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return "the file is read-only";
    if (::access(path.c_str(), W_OK) != 0) return ReasonOf(errno);
    // The new contents are written beside the file and renamed over it.
    std::string folder = FolderOf(ResolvedPath(path));
    if (folder.empty()) folder = "./";
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return "its folder cannot be written (" + ReasonOf(errno) + ")";
    return "";
}

std::string ReadTitle(const std::string& path) {
    TKSini ini;
    ini.Open(path);
    ini.SetSection(kSection);
    std::string title = ini.ReadString(kKey, "");
    ini.Close();
    return title;
}

// The title as the document keeps it: as typed in a UTF-8 document, with
// the nearest letters Windows-1252 holds in any other.
std::string InDocumentsCharset(const TKShtxData& document, const std::string& typed) {
    if (document.Charset == TKSdocumentCharset::Utf8) return typed;
    return Utf8ToNearestWindows1252(typed).Text;
}

} // namespace

std::string TitleAsStored(const std::string& answer) {
    if (answer.find_first_of("\r\n") != std::string::npos) return answer;
    IniDocument document("[" + std::string(kSection) + "]\n" + kKey + "=" + answer + "\n");
    return document.ReadValue(kSection, kKey).value_or("");
}

RetitleResult RetitleDocument(const std::string& path, const std::string& answer) {
    RetitleResult result;
    result.Reason = Obstacle(path);
    if (!result.Reason.empty()) return result;
    if (answer.find_first_of("\r\n") != std::string::npos) {
        result.Reason = "a title is one line";
        return result;
    }
    const TKShtxData document(path);
    const std::string written = InDocumentsCharset(document, answer);
    TKSini ini;
    ini.Open(path);
    ini.SetSection(kSection);
    ini.WriteString(kKey, written);
    ini.Close();
    const std::string stored = ReadTitle(path);
    if (stored != TitleAsStored(written)) {
        const std::string obstacle = Obstacle(path);
        result.Reason = obstacle.empty() ? "the file could not be replaced" : obstacle;
        return result;
    }
    result.Changed = true;
    result.Title = document.AsTreeText(stored);
    return result;
}

} // namespace ks
