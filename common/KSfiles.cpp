#include "common/KSfiles.h"

#include "common/KSfileio.h"

#include "common/KSini.h"
#include "common/KStextutil.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace ks {
namespace fs = std::filesystem;

namespace {

bool HasWildcards(const std::string& text) {
    return text.find_first_of("*?") != std::string::npos;
}

char Fold(char c, bool ignoreCase) {
    return ignoreCase && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Iterative wildcard match: on a mismatch the last '*' takes one more character.
bool MatchPlain(const std::string& name, const std::string& mask, bool ignoreCase) {
    std::size_t n = 0, m = 0;
    std::size_t starMask = std::string::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() &&
                   (mask[m] == '?' || Fold(mask[m], ignoreCase) == Fold(name[n], ignoreCase))) {
            ++m;
            ++n;
        } else if (starMask != std::string::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

struct FoundFile {
    int64_t date = 0;
    int64_t size = 0;
};

int64_t StampOf(const struct stat& st) {
    return static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
}

std::optional<FoundFile> StatRegular(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return FoundFile{StampOf(st), static_cast<int64_t>(st.st_size)};
}

std::optional<FoundFile> FindFirstFile(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!HasWildcards(name)) return StatRegular(path);
    const std::string folder = slash == std::string::npos ? "./" : path.substr(0, slash + 1);
    for (const std::string& found : FindFiles(folder, name)) {
        if (!MatchFileMask(found, name, false)) continue;
        if (auto file = StatRegular(folder + found)) return file;
    }
    return std::nullopt;
}

} // namespace

std::string GetTempPath() {
    const char* tmp = std::getenv("TMPDIR");
    if (tmp != nullptr && tmp[0] == '/') return WithSlash(tmp);
    return "/tmp/";
}

std::string PrivateTempFolder(const std::string& base) {
    if (base.empty()) return "";
    std::error_code ec;
    fs::create_directories(base, ec);
    const std::string path = WithSlash(base) + "KESTRIN-" + std::to_string(::geteuid());
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return "";
    // Checked through a descriptor opened without following links, so that
    // what is checked is what gets used.
    const File dir = File::OpenWith(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (!dir.Valid()) return "";
    struct stat st {};
    if (::fstat(dir.Descriptor(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return "";
    if ((st.st_mode & 0777) != 0700 && ::fchmod(dir.Descriptor(), 0700) != 0) return "";
    return path + "/";
}

void FileDateSize(const std::string& path, int64_t& date, int64_t& size) {
    const auto file = FindFirstFile(path);
    date = file ? file->date : 0;
    size = file ? file->size : 0;
}

int CompareFileDates(const std::string& path1, const std::string& path2) {
    const auto file1 = FindFirstFile(path1);
    const auto file2 = FindFirstFile(path2);
    if (file1 && file2) {
        if (file1->date == file2->date) return 0;
        return file1->date > file2->date ? 1 : 2;
    }
    if (file1) return 1;
    if (file2) return 2;
    return 0;
}

namespace {

bool IsOneOf(const fs::path& path, const std::vector<std::string>& paths) {
    for (const std::string& other : paths) {
        std::error_code ec;
        if (fs::equivalent(path, other, ec) && !ec) return true;
    }
    return false;
}

} // namespace

std::vector<std::string> FindDeletable(const std::string& folder, const std::string& mask,
                                       const std::vector<std::string>& keep) {
    std::vector<std::string> found;
    std::string where = WithSlash(folder);
    std::string pattern = mask;
    const std::size_t slash = mask.rfind('/');
    if (slash != std::string::npos) {
        const std::string subfolder = mask.substr(0, slash);
        if (!IsPlainRelativePath(subfolder)) return found;
        // Each step down must be a real folder, never a link to elsewhere.
        for (std::size_t from = 0; from <= subfolder.size();) {
            std::size_t to = subfolder.find('/', from);
            if (to == std::string::npos) to = subfolder.size();
            where += subfolder.substr(from, to - from) + "/";
            if (IsLink(where.substr(0, where.size() - 1))) return found;
            from = to + 1;
        }
        pattern = mask.substr(slash + 1);
    }
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(where, ec)) return found;
    fs::directory_iterator it(where, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!MatchFileMask(name, pattern, false)) continue;
        std::error_code statEc;
        // Neither a folder nor a link to one is removed.
        if (it->is_directory(statEc)) continue;
        if (IsOneOf(it->path(), keep)) continue;
        found.push_back(it->path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<TKSproblem> DeleteFiles(const std::string& folder, const std::string& mask,
                                    const std::vector<std::string>& keep) {
    std::vector<TKSproblem> failed;
    for (const std::string& path : FindDeletable(folder, mask, keep))
        if (::unlink(path.c_str()) != 0 && errno != ENOENT)
            failed.push_back({path, std::strerror(errno)});
    return failed;
}

std::vector<std::string> FindFiles(const std::string& folder, const std::string& mask) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? "." : folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue;
        std::error_code statEc;
        if (!it->is_regular_file(statEc) || !MatchFileMask(name, mask, true)) continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool MatchFileMask(const std::string& name, const std::string& mask, bool ignoreCase) {
    if (name.empty() || mask.empty()) return false;
    if (name[0] == '.' && mask[0] != '.') return false;
    if (MatchPlain(name, mask, ignoreCase)) return true;
    // "x.*" also names "x" without an extension.
    return mask.size() >= 2 && mask.compare(mask.size() - 2, 2, ".*") == 0 &&
           name.find('.') == std::string::npos &&
           MatchPlain(name, mask.substr(0, mask.size() - 2), ignoreCase);
}

bool CheckFileKind(const std::string& path, const std::string& kind, int minFormat, int maxFormat,
                   std::string* unreadable) {
    if (unreadable != nullptr) unreadable->clear();
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    if (const File file = File::OpenWith(path, O_RDONLY | O_NONBLOCK); !file.Valid()) {
        if (unreadable != nullptr) *unreadable = file.OpenError();
        return false;
    }
    TKSini ini;
    ini.Open(path);
    const std::string type = ini.ReadType();
    const std::string format = ini.ReadFormat();
    ini.Close();
    int32_t number = 0;
    return SameTextAscii(type, kind) && ParseWholeNumber(format, number) && number >= minFormat &&
           number <= maxFormat;
}

bool ParseWholeNumber(const std::string& text, int32_t& value) {
    const std::string trimmed = Trim(text);
    if (trimmed.empty()) return false;
    const char* first = trimmed.data();
    const char* last = first + trimmed.size();
    if (*first == '+') {
        ++first; // from_chars takes only '-'
        if (first == last || *first == '-') return false;
    }
    int32_t parsed = 0;
    const auto [end, error] = std::from_chars(first, last, parsed);
    if (error != std::errc() || end != last) return false;
    value = parsed;
    return true;
}

} // namespace ks
