#include "builder/writers/KSnewsFeed.h"

#include "builder/entries/KSrunSettings.h"
#include "builder/entries/KSrunState.h"
#include "builder/entries/KSrunView.h"
#include "builder/entries/KSurlPath.h"
#include "builder/writers/KSsiteExport.h"
#include "common/KScodepage.h"
#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSlocal.h"
#include "common/KSpaths.h"
#include "common/KSreplacingFile.h"
#include "common/KSsha256.h"
#include "common/KStextutil.h"
#include "common/KSwebLink.h"
#include "index/KShtxData.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace ks {

const char* const kFeedName = "feed.xml";
const char* const kFeedHistoryName = ".kestrin-feed";

namespace {

const char* const kHistoryHead = "kestrin-feed 1";
constexpr std::size_t kMaxSummaryBytes = 1000;

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

// A number of digits alone; -1 for anything else.
int64_t Count(const std::string& text) {
    if (text.empty() || text.size() > 18 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::stoll(text);
}

// A text fit for one field of the history: tabs and line ends as blanks.
std::string FieldText(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return text;
}

// Text (UTF-8) as XML element text or attribute value; control
// characters XML does not allow are left out.
std::string XmlText(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else if (byte >= 0x20 || c == '\t' || c == '\n')
            out += c;
    }
    return out;
}

std::string Rfc3339(int64_t time) {
    const std::time_t when = static_cast<std::time_t>(time);
    std::tm utc{};
    char text[32] = "1970-01-01T00:00:00Z";
    if (::gmtime_r(&when, &utc) != nullptr)
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

// 32 hex digits as a UUID of the given version (RFC 9562: 4 random, 8
// made from a hash of a name).
std::string UuidFromHex(std::string hex, char version) {
    static const char kVariant[] = "89ab";
    hex[12] = version;
    hex[16] = kVariant[std::stoi(hex.substr(16, 1), nullptr, 16) & 3];
    return "urn:uuid:" + hex.substr(0, 8) + "-" + hex.substr(8, 4) + "-" + hex.substr(12, 4) + "-" +
           hex.substr(16, 4) + "-" + hex.substr(20, 12);
}

std::string RandomFeedId() {
    std::random_device random;
    std::string hex;
    char part[16];
    for (int i = 0; i < 4; ++i) {
        std::snprintf(part, sizeof part, "%08x", static_cast<unsigned>(random()));
        hex += part;
    }
    return UuidFromHex(hex, '4');
}

// The id of the entry of the run at time in the feed feedId.
std::string EntryId(const std::string& feedId, int64_t time) {
    return UuidFromHex(Sha256Hex(feedId + "\t" + std::to_string(time)).substr(0, 32), '8');
}

std::string Utf8Setting(const std::string& kept, const std::string& typed) {
    return !typed.empty() ? typed : Windows1252ToUtf8(kept);
}

// The summary of what a run added: each tree's title and number, in list
// order, cut at a tree when it grows long.
std::string RunSummary(const TKSrunView& run) {
    std::string summary;
    for (const TKSnewTree& tree : run.State.WhatsNew.Trees) {
        const TKSrunDocument& document = run.Settings.Documents[tree.Document];
        if (document.Data == nullptr) continue;
        // The title is UTF-8 already: put in after the text is converted.
        const std::string part = WithValues(MessageToUtf8(LocalText("#1613.3=%1: %2")),
                                            {document.Data->Title, std::to_string(tree.Count)});
        if (!summary.empty() && summary.size() + part.size() > kMaxSummaryBytes) {
            summary += "; \xE2\x80\xA6";
            break;
        }
        summary += (summary.empty() ? "" : "; ") + part;
    }
    return FieldText(summary);
}

// A file of the export, never over one a layout entry wrote.
void RefuseTaken(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0)
        throw EKSError(path, LocalText("#1584.3=een onderdeel van de stijl schrijft al een "
                                       "bestand met deze naam"));
}

std::string FeedXml(const TKSrunView& run, const TKSfeedHistory& history) {
    const TKSrunSettings& settings = run.Settings;
    const TKSrunState& state = run.State;
    const std::string site =
        settings.SiteAddress.empty() ? "" : SiteAddressBase(settings.SiteAddress);
    const std::string page = site + UrlPath(state.NewPagePath.substr(std::min(
                                        state.OutputFolder.size(), state.NewPagePath.size())));
    const std::string title = Utf8Setting(settings.Title, settings.TypedTitle);
    const std::string heading = MessageToUtf8(LocalText("#1613.4=Nieuw in deze index"));
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                      "<feed xmlns=\"http://www.w3.org/2005/Atom\">\n";
    xml += "  <id>" + history.Id + "</id>\n";
    xml += "  <title>" + XmlText(title.empty() ? heading : title + " \xE2\x80\x93 " + heading) +
           "</title>\n";
    const int64_t updated = history.Runs.empty() ? state.RunTime : history.Runs.back().Time;
    xml += "  <updated>" + Rfc3339(updated) + "</updated>\n";
    xml += "  <author>\n    <name>" +
           XmlText(title.empty() ? std::string("KESTRIN HTML verzamelindex") : title) + "</name>\n";
    const std::string homepage = Utf8Setting(settings.Homepage, settings.TypedHomepage);
    if (IsWebLink(homepage) && IsSafeLink(homepage))
        xml += "    <uri>" + XmlText(homepage) + "</uri>\n";
    const std::string email = Utf8Setting(settings.Email, settings.TypedEmail);
    if (email.find('@') != std::string::npos && email.find_first_of(" \t<>\"") == std::string::npos)
        xml += "    <email>" + XmlText(email) + "</email>\n";
    xml += "  </author>\n";
    if (!site.empty())
        xml += "  <link rel=\"self\" type=\"application/atom+xml\" href=\"" +
               XmlText(site + kFeedName) + "\"/>\n";
    xml += "  <link rel=\"alternate\" type=\"text/html\" href=\"" + XmlText(page) + "\"/>\n";
    xml += "  <generator>KESTRIN HTML verzamelindex</generator>\n";
    // The latest run first, as readers list them.
    for (auto it = history.Runs.rbegin(); it != history.Runs.rend(); ++it) {
        xml += "  <entry>\n";
        xml += "    <id>" + EntryId(history.Id, it->Time) + "</id>\n";
        xml += "    <title>" + XmlText(it->Title) + "</title>\n";
        xml += "    <updated>" + Rfc3339(it->Time) + "</updated>\n";
        xml += "    <link rel=\"alternate\" type=\"text/html\" href=\"" + XmlText(page) + "\"/>\n";
        xml += "    <summary>" + XmlText(it->Summary) + "</summary>\n";
        xml += "  </entry>\n";
    }
    xml += "</feed>\n";
    return xml;
}

} // namespace

TKSfeedHistory ReadFeedHistory(const std::string& outputFolder) {
    TKSfeedHistory history;
    const std::string path = WithSlash(outputFolder) + kFeedHistoryName;
    if (IsLink(path)) return history;
    FileReader reader(path);
    std::string text;
    while (text.size() <= kMaxFeedHistoryBytes && reader.ReadChunk(text, 64u << 10)) {
    }
    if (reader.Outcome() != ReadOutcome::Read || reader.Failed() ||
        text.size() > kMaxFeedHistoryBytes)
        return history;
    std::vector<std::string> lines = Split(text, '\n');
    if (lines.size() < 2 || lines[0] != kHistoryHead) return history;
    const std::vector<std::string> id = Split(lines[1], '\t');
    if (id.size() != 2 || id[0] != "id" || !id[1].starts_with("urn:uuid:") || id[1].size() != 45)
        return history;
    TKSfeedHistory read;
    read.Id = id[1];
    for (std::size_t i = 2; i < lines.size(); ++i) {
        if (lines[i].empty() && i + 1 == lines.size()) break;
        const std::vector<std::string> fields = Split(lines[i], '\t');
        if (fields.size() != 5 || fields[0] != "run") return history;
        TKSfeedRun run;
        run.Time = Count(fields[1]);
        run.Added = Count(fields[2]);
        if (run.Time < 0 || run.Added < 0) return history;
        run.Title = fields[3];
        run.Summary = fields[4];
        read.Runs.push_back(std::move(run));
    }
    return read;
}

std::string FeedHistoryText(const TKSfeedHistory& history) {
    std::string text = std::string(kHistoryHead) + "\nid\t" + history.Id + "\n";
    for (const TKSfeedRun& run : history.Runs)
        text += "run\t" + std::to_string(run.Time) + "\t" + std::to_string(run.Added) + "\t" +
                FieldText(run.Title) + "\t" + FieldText(run.Summary) + "\n";
    return text;
}

void WriteFeed(const TKSrunView& run, const std::string& writeRoot) {
    TKSrunState& state = run.State;
    TKSfeedHistory history = ReadFeedHistory(state.OutputFolder);
    if (history.Id.empty()) {
        history.Id = RandomFeedId();
        history.Runs.clear();
    }
    const TKSwhatsNew& news = state.WhatsNew;
    if (news.Compared && news.Added > 0) {
        TKSfeedRun entry;
        // Each entry has a second of its own, which its id is made from: a
        // run in the same second as the last one kept (or a clock set back)
        // comes a second after it.
        entry.Time = history.Runs.empty() ? state.RunTime
                                          : std::max(state.RunTime, history.Runs.back().Time + 1);
        entry.Added = news.Added;
        entry.Title = FieldText(MessageToUtf8(
            LocalText("#1613.5=%1{ persoon| personen} toegevoegd op %2",
                      {std::to_string(news.Added), Rfc3339(entry.Time).substr(0, 10)})));
        entry.Summary = RunSummary(run);
        history.Runs.push_back(std::move(entry));
    }
    if (history.Runs.size() > kFeedEntries)
        history.Runs.erase(history.Runs.begin(),
                           history.Runs.end() - static_cast<std::ptrdiff_t>(kFeedEntries));
    const std::string path = writeRoot + kFeedName;
    RefuseTaken(path);
    BufferedWriter out(File::Open(path, File::OpenMode::Create));
    out.Write(FeedXml(run, history));
    out.Close();
    state.FeedHistory = FeedHistoryText(history);
}

void CommitFeedHistory(const std::string& outputFolder, const std::string& text) {
    const std::string path = WithSlash(outputFolder) + kFeedHistoryName;
    // Written in the output folder itself, never through a link planted there.
    if (IsLink(path)) ::unlink(path.c_str());
    if (!WriteFileAtomically(path, {text}, 0644))
        throw EWriteError(path, LocalReason("#1613.2=kan niet geschreven worden", errno));
}

} // namespace ks
