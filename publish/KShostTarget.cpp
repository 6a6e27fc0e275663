#include "publish/KShostTarget.h"

#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSlocal.h"
#include "common/KSsha256.h"
#include "net/KScurl.h"

#include <cstdlib>
#include <exception>
#include <map>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ks {

namespace {

constexpr long kConnectSeconds = 30;
constexpr long kStalledSeconds = 60; // a transfer that moves no byte this long fails
constexpr long kUploadBuffer = 2 * 1024 * 1024;
constexpr const char* kUploadSuffix = ".kestrin-up";

// Every byte but the unreserved ones and "/" as %XX, for a path in an address.
std::string Encoded(const std::string& path) {
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            out += c;
        } else {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 15];
        }
    }
    return out;
}

std::string Decoded(const std::string& text) {
    char* bytes = CurlEasyUnescape(nullptr, text.c_str(), static_cast<int>(text.size()), nullptr);
    std::string out = bytes ? bytes : "";
    CurlFree(bytes);
    return out;
}

// A path as one argument of an SFTP command of libcurl.
std::string Quoted(const std::string& path) {
    std::string out = "\"";
    for (const char c : path) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string Home() {
    const char* home = std::getenv("HOME");
    return home ? home : "";
}

std::string LoginName() {
    if (const passwd* entry = ::getpwuid(::getuid())) return entry->pw_name;
    const char* user = std::getenv("USER");
    return user ? user : "";
}

bool IsFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The folder of path ("" for the top) and its last name.
std::pair<std::string, std::string> Split(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {"", path};
    return {path.substr(0, slash), path.substr(slash + 1)};
}

std::size_t Discard(char*, std::size_t size, std::size_t count, void*) {
    return size * count;
}

// A list of commands for CURLOPT_QUOTE and CURLOPT_POSTQUOTE, owned.
class Commands {
public:
    Commands() = default;
    Commands(const Commands&) = delete;
    Commands& operator=(const Commands&) = delete;
    ~Commands() { CurlSlistFreeAll(list_); }
    void Add(const std::string& command) {
        curl_slist* longer = CurlSlistAppend(list_, command.c_str());
        if (!longer) throw std::bad_alloc();
        list_ = longer;
    }
    curl_slist* List() const { return list_; }

private:
    curl_slist* list_ = nullptr;
};

// One way of logging in over SSH.
struct SshLogin {
    bool Agent = false;
    std::string KeyFile;
};

class HostTarget : public TKSpublishTarget {
public:
    explicit HostTarget(const TKSpublishDestination& destination)
        : sftp_(destination.Kind == TKSdestinationKind::Sftp), shown_(destination.Given) {
        while (shown_.size() > 1 && shown_.back() == '/')
            shown_.pop_back();
        base_ = std::string(sftp_ ? "sftp://" : "ftp://") + destination.Host +
                (destination.Port ? ":" + std::to_string(destination.Port) : "") +
                (destination.Path == "/" ? "" : destination.Path);
        // SFTP commands take whole paths: "/~/" is the home folder, and a
        // path without a leading "/" starts there.
        const std::string path = Decoded(destination.Path);
        remote_ = path == "/~"              ? ""
                  : path.starts_with("/~/") ? path.substr(3) + "/"
                  : path == "/"             ? "/"
                                            : path + "/";
        CURL* h = curl_.Handle();
        CurlEasySetopt(h, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
        CurlEasySetopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
        CurlEasySetopt(h, CURLOPT_LOW_SPEED_TIME, kStalledSeconds);
        CurlEasySetopt(h, CURLOPT_PROTOCOLS_STR, sftp_ ? "sftp" : "ftp");
        // A reply with a body (a listing) goes nowhere, never to standard output.
        CurlEasySetopt(h, CURLOPT_WRITEFUNCTION, &Discard);
        // Larger writes keep more SFTP write requests under way at once.
        CurlEasySetopt(h, CURLOPT_UPLOAD_BUFFERSIZE, kUploadBuffer);
        // Without a name in the address, SSH logs in as the user running
        // this, as ssh does; FTP looks in ~/.netrc.
        user_ = !destination.User.empty() ? Decoded(destination.User) : sftp_ ? LoginName() : "";
        if (!user_.empty()) CurlEasySetopt(h, CURLOPT_USERNAME, user_.c_str());
        if (sftp_) {
            SetUpSsh();
        } else {
            SetUpFtp(destination.Kind == TKSdestinationKind::Ftps);
        }
    }

    // Checking each file at the host would cost a round trip per file: the
    // manifest is trusted.
    bool StillThere(const std::string&, std::uint64_t) override { return true; }

    long long Size(const std::string& path) override {
        const std::optional<TKSsentFile> file = Download(path);
        if (!file) return -1;
        fetched_[path] = *file;
        return static_cast<long long>(file->Size);
    }

    TKSsentFile Fetch(const std::string& path) override {
        if (const auto known = fetched_.find(path); known != fetched_.end()) return known->second;
        const std::optional<TKSsentFile> file = Download(path);
        if (!file)
            throw EInOutError(Address(path), LocalText("#1611.4=kan niet gelezen worden") + ": " +
                                                 LocalText("#1611.45=niet gevonden op de host"));
        return *file;
    }

    void Prepare(const std::string&, const std::function<bool(const std::string&)>&) override {}

    std::uint64_t Send(const std::string& source, const std::string& path) override {
        const auto [folder, name] = Split(path);
        const std::string upload =
            (folder.empty() ? "" : folder + "/") + "." + name + kUploadSuffix;
        Commands after;
        if (sftp_) {
            after.Add("*rm " + Quoted(remote_ + path));
            after.Add("rename " + Quoted(remote_ + upload) + " " + Quoted(remote_ + path));
        } else {
            after.Add("RNFR ." + name + kUploadSuffix);
            after.Add("RNTO " + name);
        }
        Reader reader;
        reader.Source = source;
        CURL* h = curl_.Handle();
        CURLcode code = Perform([&] {
            reader.Open();
            CurlEasySetopt(h, CURLOPT_URL, (base_ + "/" + Encoded(upload)).c_str());
            CurlEasySetopt(h, CURLOPT_UPLOAD, 1L);
            CurlEasySetopt(h, CURLOPT_READFUNCTION, &Reader::Read);
            CurlEasySetopt(h, CURLOPT_READDATA, &reader);
            CurlEasySetopt(h, CURLOPT_SEEKFUNCTION, &Reader::Rewind);
            CurlEasySetopt(h, CURLOPT_SEEKDATA, &reader);
            CurlEasySetopt(h, CURLOPT_INFILESIZE_LARGE,
                           static_cast<curl_off_t>(reader.File.Size()));
            CurlEasySetopt(h, CURLOPT_FTP_CREATE_MISSING_DIRS,
                           static_cast<long>(CURLFTP_CREATE_DIR_RETRY));
            CurlEasySetopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_MULTICWD));
            CurlEasySetopt(h, CURLOPT_POSTQUOTE, after.List());
        });
        if (reader.Failure) std::rethrow_exception(reader.Failure);
        if (code == CURLE_QUOTE_ERROR && !sftp_ &&
            SizeAtHost(upload) == static_cast<long long>(reader.Sent))
            code = ReplaceByRename(upload, path);
        if (code != CURLE_OK)
            throw EWriteError(Address(path), LocalText("#1611.7=kan niet geschreven worden") +
                                                 ": " + curl_.Reason(code));
        return reader.Sent;
    }

    // The folders above path that are empty then go too; one that is not
    // empty stays, and that is no failure.
    void Remove(const std::string& path) override {
        Commands before;
        std::string folder = path;
        if (sftp_) {
            before.Add("rm " + Quoted(remote_ + path));
            for (std::size_t slash; (slash = folder.rfind('/')) != std::string::npos;) {
                folder.resize(slash);
                before.Add("*rmdir " + Quoted(remote_ + folder));
            }
        } else {
            before.Add("DELE " + path);
            for (std::size_t slash; (slash = folder.rfind('/')) != std::string::npos;) {
                folder.resize(slash);
                before.Add("*RMD " + folder);
            }
        }
        CURL* h = curl_.Handle();
        const CURLcode code = Perform([&] {
            // SFTP: the commands run before the (empty) transfer; FTP: after
            // the change into the destination's folder.
            CurlEasySetopt(h, CURLOPT_URL, (base_ + "/").c_str());
            CurlEasySetopt(h, CURLOPT_NOBODY, 1L);
            CurlEasySetopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_MULTICWD));
            CurlEasySetopt(h, sftp_ ? CURLOPT_QUOTE : CURLOPT_POSTQUOTE, before.List());
        });
        if (code != CURLE_OK)
            throw EWriteError(Address(path), LocalText("#1611.8=kan niet verwijderd worden") +
                                                 ": " + curl_.Reason(code));
    }

private:
    // The bytes of the file being sent, counted as libcurl reads them.
    struct Reader {
        std::string Source;
        ks::File File;
        std::uint64_t Sent = 0;
        std::exception_ptr Failure;

        void Open() {
            File = File::Open(Source, File::OpenMode::Read);
            if (!File.Valid())
                throw EInOutError(Source, LocalText("#1611.4=kan niet gelezen worden") + ": " +
                                              File.OpenError());
            Sent = 0;
        }
        static std::size_t Read(char* buffer, std::size_t size, std::size_t count, void* data) {
            auto* reader = static_cast<Reader*>(data);
            try {
                const std::size_t read = reader->File.Read(buffer, size * count);
                reader->Sent += read;
                return read;
            } catch (...) {
                reader->Failure = std::current_exception();
                return CURL_READFUNC_ABORT;
            }
        }
        static int Rewind(void* data, curl_off_t offset, int origin) {
            auto* reader = static_cast<Reader*>(data);
            if (offset != 0 || origin != SEEK_SET || reader->File.Seek(0, 0) != 0)
                return CURL_SEEKFUNC_CANTSEEK;
            reader->Sent = 0;
            return CURL_SEEKFUNC_OK;
        }
    };

    struct Sink {
        Sha256 Hash;
        TKSsentFile Got;
        static std::size_t Write(char* bytes, std::size_t size, std::size_t count, void* data) {
            auto* sink = static_cast<Sink*>(data);
            sink->Hash.Update({bytes, size * count});
            sink->Got.Size += size * count;
            return size * count;
        }
    };

    std::string Address(const std::string& path) const { return shown_ + "/" + path; }

    // Some FTP servers refuse to rename onto a file that exists: once the
    // upload is known to be whole at the host, the old file goes first.
    CURLcode ReplaceByRename(const std::string& upload, const std::string& path) {
        Commands commands;
        commands.Add("DELE " + path);
        commands.Add("RNFR " + upload);
        commands.Add("RNTO " + path);
        CURL* h = curl_.Handle();
        return Perform([&] {
            CurlEasySetopt(h, CURLOPT_URL, (base_ + "/").c_str());
            CurlEasySetopt(h, CURLOPT_NOBODY, 1L);
            CurlEasySetopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_MULTICWD));
            CurlEasySetopt(h, CURLOPT_POSTQUOTE, commands.List());
        });
    }

    // The size of the file at path at the host, by FTP's SIZE; -1 when it
    // cannot be told.
    long long SizeAtHost(const std::string& path) {
        CURL* h = curl_.Handle();
        const CURLcode code = Perform([&] {
            CurlEasySetopt(h, CURLOPT_URL, (base_ + "/" + Encoded(path)).c_str());
            CurlEasySetopt(h, CURLOPT_NOBODY, 1L);
            CurlEasySetopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
        });
        curl_off_t size = -1;
        if (code != CURLE_OK ||
            CurlEasyGetinfo(h, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size) != CURLE_OK)
            return -1;
        return size;
    }

    // The file at path as it is at the host; nullopt when there is none.
    std::optional<TKSsentFile> Download(const std::string& path) {
        Sink sink;
        CURL* h = curl_.Handle();
        const CURLcode code = Perform([&] {
            sink = Sink();
            CurlEasySetopt(h, CURLOPT_URL, (base_ + "/" + Encoded(path)).c_str());
            CurlEasySetopt(h, CURLOPT_WRITEFUNCTION, &Sink::Write);
            CurlEasySetopt(h, CURLOPT_WRITEDATA, &sink);
            // No change of folder: a folder that is gone is a file not found.
            CurlEasySetopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
        });
        if (code == CURLE_REMOTE_FILE_NOT_FOUND) return std::nullopt;
        if (code != CURLE_OK)
            throw EInOutError(Address(path), LocalText("#1611.4=kan niet gelezen worden") + ": " +
                                                 curl_.Reason(code));
        sink.Got.Hash = sink.Hash.HexDigest();
        return sink.Got;
    }

    // One transfer: setUp sets its own options on the handle; every option
    // one transfer sets is reset for the next. While no login has succeeded,
    // a refused one is tried again with the next way of logging in. Failures
    // of the connection and the login raise EKSError naming the destination;
    // those of the transfer itself are returned.
    CURLcode Perform(const std::function<void()>& setUp) {
        CURL* h = curl_.Handle();
        for (;;) {
            setUp();
            const CURLcode code = curl_.Perform();
            CurlEasySetopt(h, CURLOPT_UPLOAD, 0L);
            CurlEasySetopt(h, CURLOPT_NOBODY, 0L);
            CurlEasySetopt(h, CURLOPT_QUOTE, nullptr);
            CurlEasySetopt(h, CURLOPT_POSTQUOTE, nullptr);
            CurlEasySetopt(h, CURLOPT_READFUNCTION, nullptr);
            CurlEasySetopt(h, CURLOPT_SEEKFUNCTION, nullptr);
            CurlEasySetopt(h, CURLOPT_WRITEFUNCTION, &Discard);
            CurlEasySetopt(h, CURLOPT_FTP_CREATE_MISSING_DIRS,
                           static_cast<long>(CURLFTP_CREATE_DIR_NONE));
            if (code == CURLE_LOGIN_DENIED && !loggedIn_ && login_ + 1 < logins_.size()) {
                UseLogin(++login_);
                continue;
            }
            if (code == CURLE_OK || code == CURLE_REMOTE_FILE_NOT_FOUND) loggedIn_ = true;
            Refused(code);
            return code;
        }
    }

    // Raises the error of a connection or login that failed.
    void Refused(CURLcode code) {
        if (code != CURLE_OK && !hostKeyProblem_.empty()) throw EKSError(shown_, hostKeyProblem_);
        switch (code) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT:
        case CURLE_OPERATION_TIMEDOUT:
        case CURLE_SSH:
            if (loggedIn_) return;
            throw EKSError(
                shown_, LocalText("#1611.46=de host is niet bereikbaar: %1", {curl_.Reason(code)}));
        case CURLE_LOGIN_DENIED:
            throw EKSError(shown_, LocalText("#1611.47=de host weigert de aanmelding (%1): %2",
                                             {Tried(), curl_.Reason(code)}));
        case CURLE_PEER_FAILED_VERIFICATION:
            throw EKSError(shown_, LocalText("#1611.48=het certificaat van de host is niet te "
                                             "vertrouwen: %1",
                                             {curl_.Reason(code)}));
        case CURLE_USE_SSL_FAILED:
            throw EKSError(shown_, LocalText("#1611.49=de host biedt geen TLS aan; gebruik "
                                             "ftp:// alleen als onversleuteld verzenden mag"));
        default:
            return;
        }
    }

    // What was tried to log in, for the message of a refused login.
    std::string Tried() const {
        if (!sftp_) return "~/.netrc";
        std::string tried;
        for (const SshLogin& login : logins_)
            tried += (tried.empty() ? "" : ", ") +
                     (login.Agent ? LocalText("#1611.50=de SSH-agent") : login.KeyFile);
        return tried.empty() ? LocalText("#1611.51=geen SSH-agent of sleutel in ~/.ssh") : tried;
    }

    void SetUpSsh() {
        CURL* h = curl_.Handle();
        if (const char* agent = std::getenv("SSH_AUTH_SOCK"); agent && *agent)
            logins_.push_back({true, ""});
        const std::string ssh = Home() + "/.ssh/";
        for (const char* name : {"id_ed25519", "id_ecdsa", "id_rsa"})
            if (IsFile(ssh + name)) logins_.push_back({false, ssh + name});
        knownHosts_ = ssh + "known_hosts";
        CurlEasySetopt(h, CURLOPT_SSH_KNOWNHOSTS, knownHosts_.c_str());
        CurlEasySetopt(h, CURLOPT_SSH_KEYFUNCTION, &HostTarget::CheckHostKey);
        CurlEasySetopt(h, CURLOPT_SSH_KEYDATA, this);
        CurlEasySetopt(h, CURLOPT_NEW_FILE_PERMS, 0644L);
        CurlEasySetopt(h, CURLOPT_NEW_DIRECTORY_PERMS, 0755L);
        if (logins_.empty())
            CurlEasySetopt(h, CURLOPT_SSH_AUTH_TYPES, static_cast<long>(CURLSSH_AUTH_NONE));
        else
            UseLogin(0);
    }

    void UseLogin(std::size_t index) {
        CURL* h = curl_.Handle();
        const SshLogin& login = logins_[index];
        CurlEasySetopt(
            h, CURLOPT_SSH_AUTH_TYPES,
            static_cast<long>(login.Agent ? CURLSSH_AUTH_AGENT : CURLSSH_AUTH_PUBLICKEY));
        CurlEasySetopt(h, CURLOPT_SSH_PRIVATE_KEYFILE,
                       login.Agent ? nullptr : login.KeyFile.c_str());
    }

    void SetUpFtp(bool tls) {
        CURL* h = curl_.Handle();
        CurlEasySetopt(h, CURLOPT_NETRC, static_cast<long>(CURL_NETRC_OPTIONAL));
        netrc_ = Home() + "/.netrc";
        if (const char* other = std::getenv("NETRC"); other && *other) netrc_ = other;
        CurlEasySetopt(h, CURLOPT_NETRC_FILE, netrc_.c_str());
        if (tls) {
            CurlEasySetopt(h, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
            if (const char* bundle = std::getenv("KESTRIN_CA_BUNDLE"); bundle && *bundle) {
                caBundle_ = bundle;
                CurlEasySetopt(h, CURLOPT_CAINFO, caBundle_.c_str());
            }
        }
    }

    // Only a key known_hosts holds for this host is accepted.
    static int CheckHostKey(CURL*, const curl_khkey*, const curl_khkey*, curl_khmatch match,
                            void* data) {
        auto* self = static_cast<HostTarget*>(data);
        if (match == CURLKHMATCH_OK) return CURLKHSTAT_FINE;
        self->hostKeyProblem_ =
            match == CURLKHMATCH_MISMATCH
                ? LocalText("#1611.52=de sleutel van de host verschilt van die in %1: de host is "
                            "veranderd, of een ander doet zich als de host voor; ga na welke "
                            "sleutel juist is voor u hem in %1 vervangt",
                            {self->knownHosts_})
                : LocalText("#1611.53=de sleutel van de host staat niet in %1; controleer hem en "
                            "voeg hem toe, bijvoorbeeld met ssh-keyscan",
                            {self->knownHosts_});
        return CURLKHSTAT_REJECT;
    }

    TKScurl curl_;
    bool sftp_;
    std::string shown_;  // the destination as given, without a trailing "/"
    std::string base_;   // the address of the destination's folder, for libcurl
    std::string remote_; // SFTP: the folder's path for commands, with its "/"
    std::string user_;
    std::string knownHosts_;
    std::string netrc_;
    std::string caBundle_;
    std::vector<SshLogin> logins_;
    std::size_t login_ = 0;
    bool loggedIn_ = false;
    std::string hostKeyProblem_;
    std::map<std::string, TKSsentFile> fetched_; // read for the check before a removal
};

} // namespace

std::unique_ptr<TKSpublishTarget> OpenHostTarget(const TKSpublishDestination& destination) {
    return std::make_unique<HostTarget>(destination);
}

} // namespace ks
