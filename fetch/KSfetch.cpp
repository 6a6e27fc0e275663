#include "fetch/KSfetch.h"

#include "common/KSlocal.h"
#include "common/KSpaths.h"
#include "common/KSreplacingFile.h"
#include "common/KSsha256.h"
#include "common/KSwebLink.h"
#include "net/KScurl.h"

#include <signal.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

namespace ks {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMetaHead = "kestrin-fetch 1";
constexpr const char* kMetaSuffix = ".fetch";

// What the cache keeps beside a copy: the host's validators and the time
// the host last confirmed the copy.
struct Meta {
    std::string Address;
    std::string ETag;
    std::string LastModified;
    std::time_t Confirmed = 0;
};

std::optional<Meta> ReadMeta(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != kMetaHead) return std::nullopt;
    Meta meta;
    while (std::getline(in, line)) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) return std::nullopt;
        const std::string key = line.substr(0, tab);
        const std::string value = line.substr(tab + 1);
        if (key == "address")
            meta.Address = value;
        else if (key == "etag")
            meta.ETag = value;
        else if (key == "last-modified")
            meta.LastModified = value;
        else if (key == "confirmed")
            meta.Confirmed = std::strtoll(value.c_str(), nullptr, 10);
    }
    return meta;
}

bool WriteMeta(const std::string& path, const Meta& meta) {
    const std::string text = std::string(kMetaHead) + "\naddress\t" + meta.Address + "\netag\t" +
                             meta.ETag + "\nlast-modified\t" + meta.LastModified + "\nconfirmed\t" +
                             std::to_string(meta.Confirmed) + "\n";
    return WriteFileAtomically(path, {text}, 0600);
}

// A header value as it may be sent back: no line break can reach a request.
std::string HeaderValue(std::string_view line) {
    std::string value(line.substr(line.find(':') + 1));
    while (!value.empty() && std::strchr(" \t\r\n", value.back()) != nullptr)
        value.pop_back();
    const std::size_t start = value.find_first_not_of(" \t");
    value = start == std::string::npos ? std::string() : value.substr(start);
    for (const char c : value)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return {};
    return value;
}

bool HeaderIs(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() || line[name.size()] != ':') return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(line[i])) != name[i]) return false;
    return true;
}

// One request's response as it arrives.
struct Transfer {
    CURL* Handle = nullptr;
    std::string Target;
    int64_t MaxBytes = 0;
    int64_t Bytes = 0;
    bool TooBig = false;
    std::optional<ReplacingFile> File;
    std::string WriteError;
    std::string ETag;
    std::string LastModified;
};

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    const std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) { // a new response: a redirect's validators are not the file's
        t.ETag.clear();
        t.LastModified.clear();
    } else if (HeaderIs(line, "etag")) {
        t.ETag = HeaderValue(line);
    } else if (HeaderIs(line, "last-modified")) {
        t.LastModified = HeaderValue(line);
    }
    return size * count;
}

bool OpenCopy(Transfer& t) {
    if (t.File) return true;
    t.File.emplace(t.Target, ReplacingOptions::WithMode(0600));
    if (t.File->Valid()) return true;
    t.WriteError = LocalReason("#1612.2=de kopie kan niet bewaard worden", t.File->OpenErrno());
    return false;
}

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    long code = 0;
    CurlEasyGetinfo(t.Handle, CURLINFO_RESPONSE_CODE, &code);
    // Only the file itself is kept, not the body of a redirect or an error.
    if (code != 200) return size * count;
    t.Bytes += static_cast<int64_t>(size * count);
    if (t.Bytes > t.MaxBytes) {
        t.TooBig = true;
        return 0;
    }
    try {
        if (!OpenCopy(t)) return 0;
        t.File->Writer().Write(std::string_view(data, size * count));
    } catch (const std::exception& e) {
        t.WriteError = e.what();
        return 0;
    }
    return size * count;
}

// An address a host sent, as a message may quote it: no control byte, and
// not without end.
std::string Quoted(std::string_view address) {
    constexpr std::size_t kShown = 200;
    std::string text(address.substr(0, kShown));
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return address.size() > kShown ? text + "..." : text;
}

std::string TooBigText(const TKSfetchLimits& limits) {
    return LocalText("#1612.3=groter dan %1 MiB", {std::to_string(limits.MaxBytes >> 20)});
}

std::string HexOfAddress(std::string_view address) {
    return Sha256Hex(address).substr(0, 16);
}

std::time_t FileTime(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mtime : 0;
}

} // namespace

bool IsFetchAddress(std::string_view text) {
    return WebSchemeLength(text) == 8 && !WebHost(text).empty();
}

std::string AddressProblem(std::string_view address) {
    bool plain = IsFetchAddress(address);
    for (const char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || std::strchr("\"'<>\\`{}|^", c) != nullptr)
            plain = false;
    }
    if (plain) return "";
    return LocalText("#1612.17=%1 is geen https-adres van een bestand (met een host en zonder "
                     "spaties, aanhalingstekens, <, > of letters buiten ASCII)",
                     {std::string(address)});
}

std::string AddressFolder(std::string_view address) {
    const std::size_t scheme = WebSchemeLength(address);
    std::string_view rest = address.substr(scheme);
    rest = rest.substr(0, rest.find_first_of("?#"));
    const std::size_t slash = rest.rfind('/');
    if (slash == std::string_view::npos)
        return std::string(address.substr(0, scheme)) + std::string(rest) + "/";
    return std::string(address.substr(0, scheme)) + std::string(rest.substr(0, slash + 1));
}

std::string AddressFileName(std::string_view address) {
    std::string_view rest = address.substr(WebSchemeLength(address));
    rest = rest.substr(0, rest.find_first_of("?#"));
    const std::size_t slash = rest.find('/');
    std::string_view path = slash == std::string_view::npos ? "" : rest.substr(slash);
    std::string name(path.substr(path.rfind('/') + 1));
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && std::strchr("._-", c) == nullptr)
            c = '_';
    if (name.empty() || name == "." || name == "..") return "index.htx";
    if (name.front() == '.') name.front() = '_';
    return name;
}

std::string FetchCacheFolder() {
    const std::string cache = UserBaseFolder("XDG_CACHE_HOME", ".cache");
    return cache.empty() ? "" : cache + "/kestrin-index/";
}

std::string CachedCopyPath(std::string_view address) {
    const std::string folder = FetchCacheFolder();
    if (folder.empty()) return "";
    return folder + HexOfAddress(address) + "/" + AddressFileName(address);
}

namespace {

TKSfetchResult Fetch(const std::string& address, const TKSfetchLimits& limits);

} // namespace

TKSfetchResult FetchToCache(const std::string& address, const TKSfetchLimits& limits) {
    TKSfetchResult result = Fetch(address, limits);
    // A first fetch that failed leaves no empty folder behind.
    if (result.Path.empty() && IsFetchAddress(address) && !CachedCopyPath(address).empty()) {
        std::error_code ec;
        fs::remove(fs::path(CachedCopyPath(address)).parent_path(), ec);
    }
    return result;
}

namespace {

// The half downloads of killed fetches of this copy, which no one else removes.
void RemoveKilledDownloads(const std::string& path) {
    std::error_code ec;
    const std::string target = fs::path(path).filename().string();
    for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path(), ec)) {
        const pid_t writer = PendingReplacementWriter(entry.path().filename().string(), target);
        if (writer != 0 && ::kill(writer, 0) != 0 && errno == ESRCH) fs::remove(entry.path(), ec);
    }
}

TKSfetchResult Fetch(const std::string& address, const TKSfetchLimits& limits) {
    TKSfetchResult result;
    if (const std::string problem = AddressProblem(address); !problem.empty()) {
        result.Reason = problem;
        return result;
    }
    const std::string path = CachedCopyPath(address);
    if (path.empty()) {
        result.Reason = LocalText("#1612.5=er is geen map voor opgehaalde bestanden "
                                  "(XDG_CACHE_HOME en HOME noemen geen map)");
        return result;
    }
    const std::string metaPath = path + kMetaSuffix;
    std::error_code ec;
    const bool haveCopy = fs::is_regular_file(path, ec);
    std::optional<Meta> meta = ReadMeta(metaPath);
    if (meta && meta->Address != address) meta.reset();
    if (haveCopy) {
        result.Path = path;
        result.CopyTime = meta && meta->Confirmed != 0 ? meta->Confirmed : FileTime(path);
    }
    fs::create_directories(fs::path(path).parent_path(), ec);
    RemoveKilledDownloads(path);
    ::chmod(fs::path(path).parent_path().parent_path().c_str(), 0700);

    try {
        TKScurl curl;
        CURL* h = curl.Handle();
        CurlEasySetopt(h, CURLOPT_PROTOCOLS_STR, "https");
        CurlEasySetopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "https");
        CurlEasySetopt(h, CURLOPT_FOLLOWLOCATION, 0L);
        CurlEasySetopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
        CurlEasySetopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
        if (const char* ca = std::getenv(kCaBundleVariable); ca != nullptr && ca[0] != '\0')
            CurlEasySetopt(h, CURLOPT_CAINFO, ca);
        CurlEasySetopt(h, CURLOPT_CONNECTTIMEOUT, limits.ConnectSeconds);
        CurlEasySetopt(h, CURLOPT_TIMEOUT, limits.TotalSeconds);
        CurlEasySetopt(h, CURLOPT_LOW_SPEED_LIMIT, limits.LowSpeedBytes);
        CurlEasySetopt(h, CURLOPT_LOW_SPEED_TIME, limits.LowSpeedSeconds);
        CurlEasySetopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.MaxBytes));
        CurlEasySetopt(h, CURLOPT_USERAGENT, "kestrin-index");
        curl_slist* headers = nullptr;
        if (haveCopy && meta && !meta->ETag.empty())
            headers = CurlSlistAppend(headers, ("If-None-Match: " + meta->ETag).c_str());
        if (haveCopy && meta && !meta->LastModified.empty())
            headers =
                CurlSlistAppend(headers, ("If-Modified-Since: " + meta->LastModified).c_str());
        CurlEasySetopt(h, CURLOPT_HTTPHEADER, headers);
        struct HeaderList {
            curl_slist* list;
            ~HeaderList() { CurlSlistFreeAll(list); }
        } const headerList{headers};

        std::string url = address;
        for (int hop = 0;; ++hop) {
            Transfer t;
            t.Handle = h;
            t.Target = path;
            t.MaxBytes = limits.MaxBytes;
            CurlEasySetopt(h, CURLOPT_URL, url.c_str());
            CurlEasySetopt(h, CURLOPT_HEADERFUNCTION, OnHeader);
            CurlEasySetopt(h, CURLOPT_HEADERDATA, &t);
            CurlEasySetopt(h, CURLOPT_WRITEFUNCTION, OnBody);
            CurlEasySetopt(h, CURLOPT_WRITEDATA, &t);
            const CURLcode code = CurlEasyPerform(h);
            if (t.TooBig || code == CURLE_FILESIZE_EXCEEDED) {
                result.Reason = TooBigText(limits);
                return result;
            }
            if (!t.WriteError.empty()) {
                result.Reason = t.WriteError;
                return result;
            }
            if (code != CURLE_OK) {
                result.Reason = curl.Reason(code);
                return result;
            }
            long status = 0;
            CurlEasyGetinfo(h, CURLINFO_RESPONSE_CODE, &status);
            if (status >= 300 && status < 400 && status != 304) {
                char* next = nullptr;
                CurlEasyGetinfo(h, CURLINFO_REDIRECT_URL, &next);
                if (next == nullptr || *next == '\0') {
                    result.Reason = LocalText("#1612.6=de host antwoordt met HTTP %1",
                                              {std::to_string(status)});
                    return result;
                }
                if (!IsFetchAddress(next)) {
                    result.Reason =
                        LocalText("#1612.7=de host stuurt door naar %1, dat geen https-adres is",
                                  {Quoted(next)});
                    return result;
                }
                if (hop >= limits.MaxRedirects) {
                    result.Reason = LocalText("#1612.8=meer dan %1 doorverwijzingen",
                                              {std::to_string(limits.MaxRedirects)});
                    return result;
                }
                url = next;
                continue;
            }
            if (status == 304 && haveCopy && meta) {
                Meta kept = *meta;
                kept.Confirmed = std::time(nullptr);
                WriteMeta(metaPath, kept);
                result.Confirmed = true;
                result.CopyTime = kept.Confirmed;
                return result;
            }
            if (status != 200) {
                result.Reason =
                    LocalText("#1612.6=de host antwoordt met HTTP %1", {std::to_string(status)});
                return result;
            }
            if (!OpenCopy(t)) { // an empty file
                result.Reason = t.WriteError;
                return result;
            }
            if (!t.File->TryCommit()) {
                result.Reason = LocalReason("#1612.2=de kopie kan niet bewaard worden", errno);
                return result;
            }
            // The copy goes first: validators of an older copy only make the
            // next request fetch the file whole once more.
            const Meta fresh{address, t.ETag, t.LastModified, std::time(nullptr)};
            if (!WriteMeta(metaPath, fresh)) ::unlink(metaPath.c_str());
            result.Path = path;
            result.Confirmed = true;
            result.Changed = true;
            result.CopyTime = fresh.Confirmed;
            return result;
        }
    } catch (const std::exception& e) {
        result.Reason = e.what();
    }
    return result;
}

} // namespace

} // namespace ks
